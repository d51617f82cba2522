// SQL text run end to end through the query component: changes, the rows
// of the last statement, national text, quotes, and the edge cases every
// window relies on.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxQuery.h"
#include "KrxTable.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

class ClientSqlRun : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.SetDatabaseName("SQLRUN");
    db_.SetDatabaseFileName(dir_.File("cpbill"));
    db_.CreateDataBase();
    db_.Connect();
    q_.SetDatabaseName("SQLRUN");
  }

  // Runs text for its changes; returns the rows affected.
  int64_t Exec(const std::string& sql) {
    q_.Close();
    q_.SetSQLText(sql);
    q_.ExecSQL();
    return q_.RowsAffected();
  }

  // Opens text and reads every row as the lists show it.
  std::vector<std::vector<std::string>> Rows(const std::string& sql) {
    q_.Close();
    q_.SetSQLText(sql);
    q_.Open();
    std::vector<std::vector<std::string>> rows;
    for (; !q_.Eof(); q_.Next()) {
      std::vector<std::string> row;
      for (int i = 0; i < q_.FieldCount(); ++i) row.push_back(q_.Fields(i).AsString());
      rows.push_back(row);
    }
    return rows;
  }

  std::string MessageOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const EKrxException& e) {
      return e.what();
    }
    return "no error";
  }

  test::TempDir dir_;
  TKrxDatabase db_;
  TKrxQuery q_{"KrxRun"};
};

using Table = std::vector<std::vector<std::string>>;

TEST_F(ClientSqlRun, CreateInsertSelectUpdateDeleteWithNationalTextAndQuotes) {
  EXPECT_EQ(Exec("create table cqproduct(fitemid integer, fname varchar(60), fprice float)"), 0);
  // A single quote in a value is doubled in the text and stored as typed.
  EXPECT_EQ(Exec("insert into cqproduct(fitemid, fname, fprice) values (1, '电力电缆 YJV-3*95', 37.5);\n"
                 "insert into cqproduct(fitemid, fname, fprice) values (2, 'O''Brien''s 控制线', 12)"),
            2);
  EXPECT_EQ(Rows("select fitemid, fname, fprice from cqproduct order by fitemid"),
            (Table{{"1", "电力电缆 YJV-3*95", "37.5"}, {"2", "O'Brien's 控制线", "12"}}));

  // Looking a value up by its quoted form finds it.
  EXPECT_EQ(Rows("select fitemid from cqproduct where fname = 'O''Brien''s 控制线'"), (Table{{"2"}}));
  EXPECT_EQ(Rows("select fitemid from cqproduct where fname like '电力%'"), (Table{{"1"}}));

  EXPECT_EQ(Exec("update cqproduct set fname = '铜芯''线''', fprice = fprice * 2 where fitemid = 2"), 1);
  EXPECT_EQ(Rows("select fname, fprice from cqproduct where fitemid = 2"), (Table{{"铜芯'线'", "24"}}));

  EXPECT_EQ(Exec("delete from cqproduct where fitemid = 1"), 1);
  EXPECT_EQ(Rows("select fitemid, fname from cqproduct"), (Table{{"2", "铜芯'线'"}}));
}

TEST_F(ClientSqlRun, OpenPresentsTheLastStatementsRowsOnTheFirstRow) {
  q_.SetSQLText(
      "create table 规格(型号 varchar(20), 数量 integer);\n"
      "insert into 规格 values ('BV-2.5', 3);\n"
      "insert into 规格 values ('RVV-4', 5);\n"
      "select 型号, 数量 from 规格 order by 数量 desc");
  q_.Open();
  ASSERT_TRUE(q_.Active());
  EXPECT_FALSE(q_.Eof());
  EXPECT_EQ(q_.RecordCount(), 2);
  EXPECT_EQ(q_.FieldNames(), (std::vector<std::string>{"型号", "数量"}));
  EXPECT_EQ(q_.FieldByName("型号").AsString(), "RVV-4");
  EXPECT_EQ(q_.FieldByName("数量").AsInteger(), 5);
  q_.Next();
  EXPECT_EQ(q_.FieldByName("型号").AsString(), "BV-2.5");
  q_.Next();
  EXPECT_TRUE(q_.Eof());
  // Rows affected count the changes of the run.
  EXPECT_EQ(q_.RowsAffected(), 2);
  q_.Close();
  EXPECT_EQ(q_.RecordCount(), 0);
}

TEST_F(ClientSqlRun, FieldByNameIgnoresCaseAndNamesAMissingField) {
  Exec("create table t(FName varchar(20)); insert into t values ('x')");
  q_.SetSQLText("select FName from t");
  q_.Open();
  EXPECT_EQ(q_.FieldByName("fname").AsString(), "x");
  EXPECT_EQ(q_.FieldByName("FNAME").AsString(), "x");
  EXPECT_EQ(MessageOf([&] { q_.FieldByName("fnone"); }), "Field 'fnone' not found - Native error: 22003");
}

TEST_F(ClientSqlRun, MaxOverAnEmptyTableAndAnEmptyResultReadEmpty) {
  Exec("create table t(col integer, fname varchar(20))");
  q_.SetSQLText("select max(col) as col from t");
  q_.Open();
  ASSERT_FALSE(q_.Eof());
  EXPECT_EQ(q_.FieldByName("col").AsString(), "");
  EXPECT_EQ(q_.FieldByName("col").AsInteger(), 0);
  q_.Close();

  q_.SetSQLText("select col, fname from t where col > 0");
  q_.Open();
  EXPECT_TRUE(q_.Eof());
  EXPECT_EQ(q_.RecordCount(), 0);
  EXPECT_EQ(q_.FieldByName("fname").AsString(), "");
  EXPECT_EQ(q_.FieldByName("col").AsInteger(), 0);
  EXPECT_EQ(q_.FieldByName("col").AsFloat(), 0.0);
}

TEST_F(ClientSqlRun, AFailingStatementLeavesTheEarlierOnesDone) {
  Exec("create table t(fitemid integer)");
  std::string message = MessageOf([&] {
    Exec("insert into t values (1);\n"
         "insert into t values (2);\n"
         "insert into tnone values (3);\n"
         "insert into t values (4)");
  });
  EXPECT_NE(message, "no error");
  EXPECT_NE(message.find("tnone"), std::string::npos) << message;
  EXPECT_EQ(Rows("select fitemid from t order by fitemid"), (Table{{"1"}, {"2"}}));
}

TEST_F(ClientSqlRun, ErrorsNamingNationalTablesComeBackInUtf8) {
  std::string message = MessageOf([&] { Rows("select * from 客户表"); });
  EXPECT_NE(message.find("客户表"), std::string::npos) << message;
  EXPECT_FALSE(q_.Active());
}

TEST_F(ClientSqlRun, OpenOfAStatementWithoutRowsIsRefusedAfterItRan) {
  Exec("create table t(fitemid integer)");
  q_.SetSQLText("insert into t values (7)");
  EXPECT_NE(MessageOf([&] { q_.Open(); }), "no error");
  EXPECT_FALSE(q_.Active());
  EXPECT_EQ(Rows("select fitemid from t"), (Table{{"7"}}));
}

TEST_F(ClientSqlRun, TransactionsInTheTextAreTheComponentsTransactions) {
  Exec("create table t(fitemid integer)");
  Exec("start transaction; insert into t values (1)");
  EXPECT_TRUE(db_.InTransaction());
  db_.Rollback();
  EXPECT_EQ(Rows("select count(*) from t"), (Table{{"0"}}));

  db_.StartTransaction();
  Exec("insert into t values (2); commit");
  EXPECT_FALSE(db_.InTransaction());
  EXPECT_EQ(Rows("select fitemid from t"), (Table{{"2"}}));
}

TEST_F(ClientSqlRun, ARolledBackInsertGivesItsCounterBack) {
  struct Case {
    const char* table;
    std::function<void()> rollback;
  };
  const Case kCases[] = {
      {"c1", [&] { db_.Rollback(); }},
      {"c2", [&] { Exec("rollback"); }},
  };
  for (const Case& c : kCases) {
    const std::string table = c.table;
    Exec("create table " + table + "(fitemid autoinc, fname varchar(10))");
    // An open table keeps the table's shared object, and its counters, alive.
    TKrxTable open("KrxOpen");
    open.SetDatabaseName("SQLRUN");
    open.SetTableName(table);
    open.Open();
    Exec("start transaction; insert into " + table + "(fname) values ('gone')");
    c.rollback();
    EXPECT_FALSE(db_.InTransaction()) << table;
    Exec("insert into " + table + "(fname) values ('kept')");
    EXPECT_EQ(Rows("select fitemid, fname from " + table), (Table{{"1", "kept"}})) << table;
  }
}

TEST_F(ClientSqlRun, TextValuesAreReadWithTheProcessDateFormat) {
  TKrxFormatSettings saved = KrxDefaultFormatSettings();
  TKrxFormatSettings dmy = saved;
  dmy.shortDateFormat = "dd/MM/yyyy";
  KrxSetDefaultFormatSettings(dmy);
  Exec("create table t(fdate date); insert into t values ('03/04/2026')");
  KrxSetDefaultFormatSettings(saved);
  q_.SetFormatSettings(saved);
  EXPECT_EQ(Rows("select fdate from t"), (Table{{"2026/4/3"}}));
}

}  // namespace
}  // namespace krx
