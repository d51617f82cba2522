// Deterministic test data of a cable dealer: customers, products, bills and
// their lines, and the SQL texts the program builds from them. Everything
// comes from one seed, so both engines get exactly the same rows.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace bench {

// splitmix64: small, fast and the same on every platform.
class TBenchRandom {
 public:
  explicit TBenchRandom(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // Uniform in [0, bound).
  int Below(int bound) { return static_cast<int>(Next() % static_cast<uint64_t>(bound)); }

 private:
  uint64_t state_;
};

struct TBillLine {
  int interId = 0;
  int entryId = 0;
  std::string billNo, date, customer, contractNo, address, plate, writer, handler, salesman, memo;
  std::string code, name, model, spec, qty, unit, price, amount, colour, pack;
  std::array<std::string, 10> colourQty;
  std::string payment, description;
};

struct TProduct {
  int modelId = 0;
  int classId = 0;
  std::string code, name, model, spec, unit, factoryPrice, listPrice, weight, barcode;
  std::array<std::string, 5> salePrices;
  int index = 0;
};

class TSalesData {
 public:
  static constexpr int kCustomers = 200;
  static constexpr int kBillProducts = 500;

  explicit TSalesData(uint64_t seed);

  // Whole bills of 1 to 30 lines, numbered from firstInterId, dated in 2024,
  // until `lineCount` lines are made (the last bill may be cut short).
  std::vector<TBillLine> MakeBills(int lineCount, int firstInterId, TBenchRandom& random) const;
  // One bill of `lineCount` lines under the given internal number.
  std::vector<TBillLine> MakeBill(int interId, int lineCount, TBenchRandom& random) const;
  // `count` catalogue rows, distinct in model and specification, numbered
  // from firstModelId.
  std::vector<TProduct> MakeCatalogue(int count, int firstModelId, TBenchRandom& random) const;

  const std::vector<std::string>& Customers() const { return customers_; }

 private:
  struct TItem {
    std::string code, name, model, spec, unit;
    double price;
  };
  void FillBillLine(TBillLine& line, TBenchRandom& random) const;

  std::vector<std::string> customers_;
  std::vector<TItem> billProducts_;
};

// A value between single quotes, a quote inside doubled.
std::string QuoteSql(std::string_view value);

// The texts the program sends.
std::string BillInsertSql(const TBillLine& line);
std::string ProductInsertSql(const TProduct& product);
std::string BillDeleteSql(int interId);
std::string BillLoadSql(int interId);
// The search statement of the bill list and the five report statements,
// for the period [from, to] (yyyy-mm-dd) and an optional customer.
std::string BillSearchSql(const std::string& from, const std::string& to);
enum class TReport { Records, Customers, Products, CustomerProduct, ProductCustomer };
std::string ReportSql(TReport report, const std::string& from, const std::string& to, const std::string& customer);
// The catalogue search over model and specification, every term upper-cased.
std::string ProductSearchSql(const std::vector<std::string>& terms);
std::string NextNumberSql(const std::string& table, const std::string& column, const std::string& condition);

}  // namespace bench
