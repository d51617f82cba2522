// DELETE and UPDATE by one key of a bill table: a bill is saved as "delete
// its lines by FInterID, then insert them again", so these statements must
// touch exactly the rows of that key, with or without an index on it, inside
// or outside a transaction, on tables small and large enough to split pages,
// and the result must survive closing and reopening the file.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ExecTestDatabase.h"
#include "KrxTableDataDisk.h"

namespace krx {
namespace {

struct DeleteCase {
  const char* name;
  bool indexed;
  bool inTransaction;
  int linesPerBill;
};

// The SQL test database with the count of bill lines.
class ReopenableDatabase : public test::ExecDatabase {
 public:
  int64_t Count(const std::string& where = "") {
    const auto rows = Rows("select count(*) from cqsalebill" + where);
    return rows.size() == 1 ? std::stoll(rows[0]) : -1;
  }
};

constexpr int kBills = 4;

std::string Line(int bill, int entry) { return std::to_string(bill) + "|" + std::to_string(entry); }

class ExecDeleteRegressionTest : public ::testing::TestWithParam<DeleteCase> {
 protected:
  void SetUp() override {
    const DeleteCase& c = GetParam();
    db_.Run(
        "CREATE TABLE cqsalebill(FInterID INTEGER, FEntryID INTEGER, fbillno VARCHAR(40), Fname VARCHAR(120), "
        "fqty FLOAT, fmemo VARCHAR(255))");
    if (c.indexed) db_.Run("CREATE INDEX i_salebill_interid ON cqsalebill(FInterID)");
    std::string script;
    if (c.inTransaction) script += "START TRANSACTION;\n";
    for (int bill = 1; bill <= kBills; ++bill) {
      for (int entry = 1; entry <= c.linesPerBill; ++entry) {
        script += "INSERT INTO cqsalebill(FInterID,FEntryID,fbillno,Fname,fqty,fmemo) VALUES(" +
                  std::to_string(bill) + "," + std::to_string(entry) + ",'XS" + std::to_string(bill) +
                  "','电缆 YJV 3*" + std::to_string(entry) + "'," + std::to_string(entry) +
                  ",'line memo long enough to fill record pages quickly');\n";
      }
    }
    if (c.inTransaction) script += "COMMIT;\n";
    db_.Run(script);
    ASSERT_EQ(db_.Count(), int64_t{kBills} * c.linesPerBill);
    ASSERT_EQ(Remaining(), Expected({1, 2, 3, 4}));
  }

  // The (FInterID, FEntryID) of every row that should remain.
  std::set<std::string> Expected(const std::set<int>& bills) const {
    std::set<std::string> lines;
    for (int bill : bills)
      for (int entry = 1; entry <= GetParam().linesPerBill; ++entry) lines.insert(Line(bill, entry));
    return lines;
  }
  std::set<std::string> Remaining() {
    const auto rows = db_.Rows("select FInterID, FEntryID from cqsalebill");
    return {rows.begin(), rows.end()};
  }
  void ExpectBills(const std::set<int>& bills) {
    const int64_t lines = GetParam().linesPerBill;
    EXPECT_EQ(db_.Count(), lines * static_cast<int64_t>(bills.size()));
    EXPECT_EQ(Remaining(), Expected(bills));
    for (int bill = 1; bill <= kBills; ++bill)
      EXPECT_EQ(db_.Count(" where FInterID=" + std::to_string(bill)), bills.count(bill) ? lines : 0) << bill;
  }

  ReopenableDatabase db_;
};

TEST_P(ExecDeleteRegressionTest, DeleteByKeyRemovesExactlyThatBill) {
  const int64_t lines = GetParam().linesPerBill;
  EXPECT_EQ(db_.Run("delete from cqsalebill where FInterID=1"), lines);
  ExpectBills({2, 3, 4});
  EXPECT_EQ(db_.Run("delete from cqsalebill where FInterID=3"), lines);
  ExpectBills({2, 4});
  EXPECT_EQ(db_.Run("delete from cqsalebill where FInterID=3"), 0);
  db_.Reopen();
  ExpectBills({2, 4});
}

TEST_P(ExecDeleteRegressionTest, SavingABillAgainKeepsTheOthers) {
  // Delete by key, then insert the lines again, in one transaction.
  const int lines = GetParam().linesPerBill;
  std::string script = "START TRANSACTION;\ndelete from cqsalebill where FInterID=2;\n";
  for (int entry = 1; entry <= lines; ++entry)
    script += "INSERT INTO cqsalebill(FInterID,FEntryID,fbillno) VALUES(2," + std::to_string(entry) + ",'XS2b');\n";
  script += "COMMIT;\n";
  db_.Run(script);
  ExpectBills({1, 2, 3, 4});
  EXPECT_EQ(db_.Count(" where fbillno='XS2b'"), lines);
  db_.Reopen();
  ExpectBills({1, 2, 3, 4});
  EXPECT_EQ(db_.Count(" where fbillno='XS2b'"), lines);
}

TEST_P(ExecDeleteRegressionTest, UpdateByKeyChangesExactlyThatBill) {
  const int64_t lines = GetParam().linesPerBill;
  EXPECT_EQ(db_.Run("update cqsalebill set fbillno='XS9', fqty=fqty+1 where FInterID=3"), lines);
  EXPECT_EQ(db_.Count(" where fbillno='XS9'"), lines);
  EXPECT_EQ(db_.Count(" where fbillno='XS3'"), 0);
  ExpectBills({1, 2, 3, 4});
  // Moving the key itself moves the rows to the other bill.
  EXPECT_EQ(db_.Run("update cqsalebill set FInterID=5 where FInterID=1"), lines);
  EXPECT_EQ(db_.Count(" where FInterID=5"), lines);
  EXPECT_EQ(db_.Count(" where FInterID=1"), 0);
  db_.Reopen();
  EXPECT_EQ(db_.Count(" where FInterID=5"), lines);
  EXPECT_EQ(db_.Count(" where fbillno='XS9'"), lines);
  EXPECT_EQ(db_.Count(), lines * kBills);
}

INSTANTIATE_TEST_SUITE_P(Bills, ExecDeleteRegressionTest,
                         ::testing::Values(DeleteCase{"FewPlain", false, false, 3},
                                           DeleteCase{"FewIndexed", true, false, 3},
                                           DeleteCase{"FewPlainInTransaction", false, true, 3},
                                           DeleteCase{"FewIndexedInTransaction", true, true, 3},
                                           DeleteCase{"ManyPlain", false, false, 800},
                                           DeleteCase{"ManyIndexed", true, false, 800},
                                           DeleteCase{"ManyPlainInTransaction", false, true, 800},
                                           DeleteCase{"ManyIndexedInTransaction", true, true, 800}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace krx
namespace krx {
namespace {

// Each statement opens the table anew; inside a transaction the table's
// record count must still be the one the session's own inserts left.
TEST(ExecTransactionTableStateTest, RecordCountOfTheTransactionsOwnInserts) {
  test::TempDir dir;
  auto data = TKrxDiskDatabaseData::Acquire(dir.File("count.krx"));
  data->CreateDatabase({}, 8, 4096, 10);
  {
    TKrxDirectExecSession session(*data, 0);
    TKrxSQLProcessor processor(nullptr);
    processor.SetSQL("CREATE TABLE t(a INTEGER, b INTEGER)");
    processor.Execute(session);
    processor.SetSQL(
        "START TRANSACTION;INSERT INTO t(a,b) VALUES(1,1);INSERT INTO t(a,b) VALUES(1,2);"
        "INSERT INTO t(a,b) VALUES(2,3);");
    processor.Execute(session);
    processor.SetSQL("select count(*) from t");
    processor.Execute(session);
    auto inside = processor.TakeResult();
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->Value(0, 0).AsUtf8(), "3");
    processor.SetSQL("COMMIT");
    processor.Execute(session);
    auto table = TKrxDiskTableData::OpenTable(*data, "t");
    EXPECT_NO_THROW(table->CheckRecordPageIndex(0));
    EXPECT_EQ(table->RecordCount(*std::make_unique<TKrxCursor>(0)), 3);
  }
  data->Close();
}

}  // namespace
}  // namespace krx
