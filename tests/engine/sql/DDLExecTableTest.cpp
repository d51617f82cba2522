// Data definition statements against a database file.
#include <gtest/gtest.h>

#include "ExecTestDatabase.h"
#include "KrxTableDataDisk.h"

namespace krx {
namespace {

using test::ExecDatabase;

TEST(DDLExecTableTest, CreateTableMakesTheColumnsItNames) {
  ExecDatabase db;
  db.Run("CREATE TABLE cqfriendhint(finterid Integer,fhint char(200))");
  auto table = TKrxDiskTableData::OpenTable(db.Data(), "cqfriendhint");
  ASSERT_EQ(table->Fields().Count(), 2u);
  EXPECT_EQ(table->Fields()[0].advancedType, TKrxAdvancedType::Integer);
  EXPECT_EQ(table->Fields()[1].advancedType, TKrxAdvancedType::FixedChar);
  EXPECT_EQ(table->Fields()[1].size, 200);
  EXPECT_TRUE(table->IndexDefs().empty());
}

TEST(DDLExecTableTest, ExistingAndMissingTables) {
  ExecDatabase db;
  db.Run("create table t(a integer)");
  EXPECT_EQ(db.Error("create table t(b integer)"), "Cannot create table. Table 't' already exists #30247");
  EXPECT_EQ(db.Error("create table if not exists t(b integer)"), "");
  EXPECT_EQ(db.Error("drop table nothing"), "");
  db.Run("drop table t");
  EXPECT_FALSE(TKrxDiskTableData::TableExists(db.Data(), "t"));
  EXPECT_EQ(db.Error("create table u(a integer, a varchar(5))"), "Error creating table: 'Duplicate field name a' #30248");
  EXPECT_FALSE(TKrxDiskTableData::TableExists(db.Data(), "u"));
}

TEST(DDLExecTableTest, AlterAddKeepsRowsAndRefusesARepeat) {
  ExecDatabase db;
  db.Run("create table cqsalebill(FInterID integer, fname varchar(20))");
  db.Run("insert into cqsalebill values('1','甲');insert into cqsalebill values('2','乙')");
  db.Run(" alter table cqsalebill add (FC01 FLOAT) ");
  auto table = TKrxDiskTableData::OpenTable(db.Data(), "cqsalebill");
  ASSERT_EQ(table->Fields().Count(), 3u);
  EXPECT_EQ(table->Fields()[2].advancedType, TKrxAdvancedType::Double);
  table.reset();
  EXPECT_EQ(db.Rows("select * from cqsalebill order by FInterID"), (std::vector<std::string>{"1|甲|NULL", "2|乙|NULL"}));
  EXPECT_EQ(db.Error(" alter table cqsalebill add (FC01 FLOAT) "),
            "Error altering table: 'Field by name 'FC01' already exists' #30265");
  EXPECT_EQ(db.Error("alter table cqsalebill add (if not exists FC01 FLOAT, FC02 varchar(10))"), "");
  EXPECT_EQ(db.Rows("select FC02 from cqsalebill").size(), 2u);
}

TEST(DDLExecTableTest, AlterDropModifyRenameAndIndexes) {
  ExecDatabase db;
  db.Run("create table p(id integer, code varchar(10), qty varchar(10))");
  db.Run("create index i_code on p(code)");
  db.Run("insert into p values(1,'a','2.5');insert into p values(2,'b','x')");
  // A value that does not convert stops the change and leaves the table.
  std::string error = db.Error("alter table p modify (qty float)");
  EXPECT_NE(error.find("Error altering table: 'Restructure table error:"), std::string::npos) << error;
  EXPECT_EQ(db.Rows("select qty from p order by id"), (std::vector<std::string>{"2.5", "x"}));
  db.Run("update p set qty='' where id=2");
  db.Run("alter table p modify (qty float)");
  EXPECT_EQ(db.Rows("select qty+1 as q from p order by id"), (std::vector<std::string>{"3.5", "NULL"}));
  db.Run("alter table p drop (qty)");
  db.Run("alter table p rename column code to fcode");
  EXPECT_EQ(db.Rows("select * from p where fcode='b'"), (std::vector<std::string>{"2|b"}));
  EXPECT_EQ(TKrxDiskTableData::OpenTable(db.Data(), "p")->IndexNoByName("i_code"), 0);
  db.Run("alter table p rename to q");
  EXPECT_EQ(db.Rows("select count(*) as n from q"), (std::vector<std::string>{"2"}));
  db.Run("drop index q.i_code");
  EXPECT_EQ(TKrxDiskTableData::OpenTable(db.Data(), "q")->IndexNoByName("i_code"), -1);
  db.Run("truncate table q");
  EXPECT_EQ(db.Rows("select count(*) as n from q"), (std::vector<std::string>{"0"}));
}

TEST(DDLExecTableTest, UnnamedIndexesAreNamedByTheirColumns) {
  ExecDatabase db;
  db.Run("create table k(finterid integer primary key, fname varchar(10), fcode varchar(10), index (fname, fcode))");
  auto table = TKrxDiskTableData::OpenTable(db.Data(), "k");
  EXPECT_GE(table->IndexNoByName("C_PK$finterid"), 0);
  EXPECT_GE(table->IndexNoByName("i$fname$fcode"), 0);
  table.reset();
  db.Run("insert into k values(1,'a','b')");
  EXPECT_NE(db.Error("insert into k values(1,'c','d')"), "");
  EXPECT_EQ(db.Rows("select fname from k"), (std::vector<std::string>{"a"}));
}

}  // namespace
}  // namespace krx
