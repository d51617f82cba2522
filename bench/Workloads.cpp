#include "Workloads.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <stdexcept>

namespace bench {
namespace {

using TClock = std::chrono::steady_clock;

double CpuNow() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

template <class F>
double Timed(F&& action) {
  const auto start = TClock::now();
  action();
  return std::chrono::duration<double>(TClock::now() - start).count();
}

// Runs step(i) for i in [0, count) and times it, wall and processor, until
// the processor budget is spent.
template <class F>
void TimedLoop(TWorkloadResult& result, int count, double budget, F&& step) {
  result.planned = count;
  result.done = 0;
  const auto wallStart = TClock::now();
  const double cpuStart = CpuNow();
  for (int i = 0; i < count; ++i) {
    step(i);
    ++result.done;
    if (CpuNow() - cpuStart > budget) break;
  }
  result.cpuSeconds = CpuNow() - cpuStart;
  result.seconds = std::chrono::duration<double>(TClock::now() - wallStart).count();
}

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f s", s);
  return text;
}

int64_t CountLines(TBenchDatabase& db) {
  return std::stoll(db.Query("select count(*) as n from cqsalebill").firstValue);
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool HasName(const std::vector<std::string>& names, const std::string& wanted) {
  const std::string key = Upper(wanted);
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return Upper(n) == key; });
}

// A new file holding the initial database.
void CreateWithSchema(TEngineRun& run, const std::string& stem, const TBenchTexts& texts) {
  run.db.Create(run.db.FileFor(run.dir, stem));
  try {
    run.db.ExecuteScript(texts.schema);
  } catch (const std::exception& e) {
    throw std::runtime_error(std::string("initial database script: ") + e.what());
  }
}

void InsertAllInOneTransaction(TBenchDatabase& db, const std::vector<std::string>& statements) {
  db.StartTransaction();
  for (const std::string& sql : statements) db.Execute(sql);
  db.Commit();
}

void BuildBillsFile(TEngineRun& run, const TBenchTexts& texts, double budget, TWorkloadResult& timed) {
  CreateWithSchema(run, "bills", texts);
  run.db.StartTransaction();
  TimedLoop(timed, static_cast<int>(texts.inserts.size()), budget,
            [&](int i) { run.db.Execute(texts.inserts[static_cast<size_t>(i)]); });
  // The commit belongs to the measured work.
  const auto wallStart = TClock::now();
  const double cpuStart = CpuNow();
  run.db.Commit();
  timed.cpuSeconds += CpuNow() - cpuStart;
  timed.seconds += std::chrono::duration<double>(TClock::now() - wallStart).count();
  run.billsFileReady = true;
}

void EnsureSalesFile(TEngineRun& run, const TBenchTexts& texts) {
  if (run.salesFileReady) return;
  const double s = Timed([&] {
    CreateWithSchema(run, "sales", texts);
    InsertAllInOneTransaction(run.db, texts.salesLines);
    run.db.Close();
  });
  run.notes.push_back("sales history of " + std::to_string(texts.salesLines.size()) + " lines built in " + Seconds(s));
  run.salesFileReady = true;
}

void EnsureProductsFile(TEngineRun& run, const TBenchTexts& texts) {
  if (run.productsFileReady) return;
  const double s = Timed([&] {
    CreateWithSchema(run, "products", texts);
    // The starter catalogue goes; the benchmark's rows are numbered from 1.
    run.db.Execute("delete from cqproduct");
    std::vector<std::string> inserts;
    inserts.reserve(texts.catalogue.size());
    for (const TProduct& p : texts.catalogue) inserts.push_back(ProductInsertSql(p));
    InsertAllInOneTransaction(run.db, inserts);
    run.db.Close();
  });
  run.notes.push_back("catalogue of " + std::to_string(texts.catalogue.size()) + " products built in " + Seconds(s));
  run.productsFileReady = true;
}

TWorkloadResult InsertsEachCommitting(TEngineRun& run, const TBenchPlan& plan, const TBenchTexts& texts) {
  TWorkloadResult result;
  const std::string file = run.db.FileFor(run.dir, "inserts");
  CreateWithSchema(run, "inserts", texts);
  TimedLoop(result, static_cast<int>(texts.inserts.size()), plan.budgetSeconds,
            [&](int i) { run.db.Execute(texts.inserts[static_cast<size_t>(i)]); });
  result.check = CountLines(run.db);
  run.db.Close();
  run.fileSizeAfterInserts = static_cast<int64_t>(std::filesystem::file_size(file));
  return result;
}

TWorkloadResult InsertsInOneTransaction(TEngineRun& run, const TBenchPlan& plan, const TBenchTexts& texts) {
  TWorkloadResult result;
  BuildBillsFile(run, texts, plan.budgetSeconds, result);
  result.check = CountLines(run.db);
  run.db.Close();
  return result;
}

TWorkloadResult SaveBills(TEngineRun& run, const TBenchPlan& plan, const TBenchTexts& texts) {
  TWorkloadResult result;
  if (run.billsFileReady) {
    run.db.Open(run.db.FileFor(run.dir, "bills"));
  } else {
    TWorkloadResult setup;
    BuildBillsFile(run, texts, 1e9, setup);
  }
  const size_t perSave = static_cast<size_t>(plan.saveLines) + 1;
  TimedLoop(result, static_cast<int>(texts.saves.size() / perSave), plan.budgetSeconds, [&](int i) {
    for (size_t k = 0; k < perSave; ++k) run.db.Execute(texts.saves[static_cast<size_t>(i) * perSave + k]);
  });
  result.check = CountLines(run.db);
  run.db.Close();
  return result;
}

TWorkloadResult LoadBills(TEngineRun& run, const TBenchPlan& plan, const TBenchTexts& texts) {
  TWorkloadResult result;
  EnsureSalesFile(run, texts);
  run.db.Open(run.db.FileFor(run.dir, "sales"));
  TimedLoop(result, static_cast<int>(texts.loads.size()), plan.budgetSeconds,
            [&](int i) { result.check += run.db.Query(texts.loads[static_cast<size_t>(i)]).rows; });
  run.db.Close();
  return result;
}

TWorkloadResult RunStatement(TEngineRun& run, const TBenchPlan& plan, const std::string& sql, const TBenchTexts& texts) {
  TWorkloadResult result;
  EnsureSalesFile(run, texts);
  run.db.Open(run.db.FileFor(run.dir, "sales"));
  TimedLoop(result, plan.reportRepeats, plan.budgetSeconds, [&](int) { result.check = run.db.Query(sql).rows; });
  run.db.Close();
  return result;
}

TWorkloadResult SearchProducts(TEngineRun& run, const TBenchPlan& plan, const TBenchTexts& texts) {
  TWorkloadResult result;
  EnsureProductsFile(run, texts);
  run.db.Open(run.db.FileFor(run.dir, "products"));
  TimedLoop(result, static_cast<int>(texts.searches.size()), plan.budgetSeconds,
            [&](int i) { result.check += run.db.Query(texts.searches[static_cast<size_t>(i)]).rows; });
  run.db.Close();
  return result;
}

TWorkloadResult NextNumbers(TEngineRun& run, const TBenchPlan& plan, const TBenchTexts& texts) {
  TWorkloadResult result;
  EnsureProductsFile(run, texts);
  run.db.Open(run.db.FileFor(run.dir, "products"));
  const std::string sql = NextNumberSql("cqproduct", "FModelID", "");
  std::string last;
  TimedLoop(result, plan.nextNumbers, plan.budgetSeconds, [&](int) { last = run.db.Query(sql).firstValue; });
  // GetNextNumber: the largest value plus 1.
  result.check = last.empty() ? 1 : std::stoll(last) + 1;
  run.db.Close();
  return result;
}

// The reads of the schema upgrade on an up-to-date file; answers how many of
// the looked-for rows, columns and tables it found.
int64_t UpgradeReads(TBenchDatabase& db) {
  static const char* kParameters[] = {"打印时自动保存", "保存成功是否提示", "条形码最短长度", "启用条码功能",
                                      "是否空表格补齐", "是否严格要求颜色数量字段之和等于总数量"};
  int64_t found = 0;
  for (const char* name : kParameters)
    found += db.Query(std::string("select fitemid from pisysparameter where fname='") + name + "'").rows > 0;
  found += HasName(db.Query("select * from cqproduct where 1=2").fieldNames, "ftiaoma");
  found += HasName(db.Query("select * from cqsalebill where 1=2").fieldNames, "ffukuan");
  const std::vector<std::string> tables = db.TableNames();
  found += HasName(tables, "cqchangeprice");
  found += HasName(tables, "cqfriendhint");
  found += db.Query("select finterid from cqfriendhint where finterid=1").rows > 0;
  for (int i = 1; i <= 10; ++i) {
    char column[8];
    std::snprintf(column, sizeof column, "FC%02d", i);
    found += HasName(db.Query("select * from cqsalebill where 1=2").fieldNames, column);
  }
  return found;
}

TWorkloadResult OpenAndUpgrade(TEngineRun& run, const TBenchPlan& plan, const TBenchTexts& texts) {
  TWorkloadResult result;
  EnsureSalesFile(run, texts);
  const std::string file = run.db.FileFor(run.dir, "sales");
  TimedLoop(result, plan.opens, plan.budgetSeconds, [&](int) {
    run.db.Open(file);
    result.check = UpgradeReads(run.db);
    run.db.Close();
  });
  return result;
}

std::string Count(int n) { return std::to_string(n); }

}  // namespace

void TBenchPlan::Scale(double factor) {
  for (int* n : {&insertLines, &saves, &loads, &salesLines, &products, &searches, &nextNumbers, &opens})
    *n = std::max(1, static_cast<int>(*n * factor));
}

TBenchTexts TBenchTexts::Make(const TBenchPlan& plan, const std::string& schemaScript, uint64_t seed) {
  TBenchTexts texts;
  texts.schema = schemaScript;
  const TSalesData data(seed);

  TBenchRandom insertRandom(seed + 1);
  const std::vector<TBillLine> inserted = data.MakeBills(plan.insertLines, 1, insertRandom);
  for (const TBillLine& line : inserted) texts.inserts.push_back(BillInsertSql(line));
  texts.insertBills = inserted.empty() ? 0 : inserted.back().interId;

  // Each save rewrites one stored bill: its old lines go, the new ones come.
  TBenchRandom saveRandom(seed + 2);
  for (int i = 0; i < plan.saves; ++i) {
    const int interId = 1 + i % std::max(1, texts.insertBills);
    texts.saves.push_back(BillDeleteSql(interId));
    for (const TBillLine& line : data.MakeBill(interId, plan.saveLines, saveRandom))
      texts.saves.push_back(BillInsertSql(line));
  }

  TBenchRandom salesRandom(seed + 3);
  const std::vector<TBillLine> sales = data.MakeBills(plan.salesLines, 1, salesRandom);
  for (const TBillLine& line : sales) texts.salesLines.push_back(BillInsertSql(line));
  texts.salesBills = sales.empty() ? 0 : sales.back().interId;
  TBenchRandom loadRandom(seed + 4);
  for (int i = 0; i < plan.loads; ++i) texts.loads.push_back(BillLoadSql(1 + loadRandom.Below(std::max(1, texts.salesBills))));

  TBenchRandom productRandom(seed + 5);
  texts.catalogue = data.MakeCatalogue(plan.products, 1, productRandom);
  // Two terms as a user types them: a model fragment and a size fragment.
  static const char* kModelTerms[] = {"yjv", "vv", "zr", "kvv", "bv", "rvv", "nh", "yc"};
  static const char* kSizeTerms[] = {"95", "2.5", "4*", "*16", "3*", "+1", "240", "10"};
  for (int i = 0; i < plan.searches; ++i)
    texts.searches.push_back(ProductSearchSql({kModelTerms[i % 8], kSizeTerms[(i / 8) % 8]}));
  return texts;
}

std::vector<TWorkload> AllWorkloads(const TBenchPlan& plan) {
  std::vector<TWorkload> list = {
      {"1 insert " + Count(plan.insertLines) + " lines, each committing", InsertsEachCommitting},
      {"2 insert " + Count(plan.insertLines) + " lines, one transaction", InsertsInOneTransaction},
      {"3 save a bill " + Count(plan.saves) + "x (delete, " + Count(plan.saveLines) + " inserts)", SaveBills},
      {"4 load a bill " + Count(plan.loads) + "x", LoadBills},
  };
  struct TNamed {
    const char* title;
    TReport report;
  };
  static const TNamed kReports[] = {{"records", TReport::Records},
                                    {"by customer", TReport::Customers},
                                    {"by product", TReport::Products},
                                    {"by customer-product", TReport::CustomerProduct},
                                    {"by product-customer", TReport::ProductCustomer}};
  const std::string repeats = Count(plan.reportRepeats) + "x";
  char letter = 'a';
  for (const TNamed& r : kReports) {
    const std::string sql = ReportSql(r.report, plan.periodFrom, plan.periodTo, "");
    list.push_back({std::string("5") + letter++ + " report " + r.title + " " + repeats,
                    [sql](TEngineRun& run, const TBenchPlan& p, const TBenchTexts& t) {
                      return RunStatement(run, p, sql, t);
                    }});
  }
  const std::string search = BillSearchSql(plan.periodFrom, plan.periodTo);
  list.push_back({std::string("5") + letter + " bill search " + repeats,
                  [search](TEngineRun& run, const TBenchPlan& p, const TBenchTexts& t) {
                    return RunStatement(run, p, search, t);
                  }});
  list.push_back({"6 product search, 2 terms, " + Count(plan.searches) + "x", SearchProducts});
  list.push_back({"7 next number (max) " + Count(plan.nextNumbers) + "x", NextNumbers});
  list.push_back({"8 open and upgrade reads " + Count(plan.opens) + "x", OpenAndUpgrade});
  return list;
}

}  // namespace bench
