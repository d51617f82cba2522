// Parsing the data definition statements: columns, types, sizes, options,
// index elements and their generated names, and the messages.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "KrxDDLStatements.h"
#include "KrxException.h"
#include "KrxProcessor.h"
#include "KrxStatement.h"

namespace krx {
namespace {

std::unique_ptr<TKrxSQLProcessor> ParseOne(const std::string& sql) {
  auto processor = std::make_unique<TKrxSQLProcessor>(nullptr);
  processor->SetSQL(sql);
  processor->Parse();
  EXPECT_EQ(processor->Statements().size(), 1u);
  return processor;
}

template <typename T>
const T& Statement(const TKrxSQLProcessor& processor) {
  const T* typed = dynamic_cast<const T*>(processor.Statements()[0].get());
  EXPECT_NE(typed, nullptr);
  return *typed;
}

std::string ErrorOf(const std::string& sql) {
  try {
    ParseOne(sql);
  } catch (const EKrxException& e) {
    return e.what();
  }
  return "no error";
}

TEST(DDLCreateTable, ColumnsTypesAndSizes) {
  auto p = ParseOne("CREATE TABLE cqfriendhint(finterid Integer,fhint char(200))");
  const auto& create = Statement<TKrxDDLCreateTable>(*p);
  EXPECT_EQ(create.Table().tableName, "cqfriendhint");
  ASSERT_EQ(create.FieldDefs().size(), 2u);
  EXPECT_EQ(create.FieldDefs()[0].name, "finterid");
  EXPECT_EQ(create.FieldDefs()[0].fieldType, TKrxAdvancedType::Integer);
  EXPECT_FALSE(create.FieldDefs()[0].hasSize);
  EXPECT_EQ(create.FieldDefs()[1].fieldType, TKrxAdvancedType::FixedChar);
  EXPECT_EQ(create.FieldDefs()[1].size, 200);
  EXPECT_TRUE(create.IndexDefs().empty());
  EXPECT_FALSE(create.IfNotExists());
}

TEST(DDLCreateTable, OptionsDefaultsAndIndexes) {
  auto p = ParseOne(
      "create table if not exists memory t ("
      " id autoinc(largeint, increment 2, startvalue 10, nomaxvalue, cycled) primary key,"
      " fname varchar(20) not null default 'x',"
      " fdate datetime default now,"
      " fqty float default null minvalue -5 maxvalue 100,"
      " fmemo blob blobblocksize 4096 blobcompressionalgorithm zlib blobcompressionmode 5,"
      " fcode varchar(10) unique,"
      " index (fname desc, fcode nocase),"
      " unique index byname (fname))");
  const auto& create = Statement<TKrxDDLCreateTable>(*p);
  EXPECT_TRUE(create.IfNotExists());
  EXPECT_TRUE(create.Table().inMemory);
  const auto& f = create.FieldDefs();
  ASSERT_EQ(f.size(), 6u);
  EXPECT_EQ(f[0].fieldType, TKrxAdvancedType::AutoIncLargeInt);
  EXPECT_EQ(f[0].autoIncIncrement, 2);
  EXPECT_EQ(f[0].autoIncInitialValue, 10);
  EXPECT_EQ(f[0].autoIncMaxValue, INT64_MAX);
  EXPECT_TRUE(f[0].autoIncCycled);
  EXPECT_TRUE(f[1].notNull);
  EXPECT_EQ(f[1].defaultValue.AsString(), "\"x\"");
  EXPECT_EQ(f[2].defaultValue.AsString(), "NOW");
  EXPECT_TRUE(f[3].hasDefaultValue);
  EXPECT_TRUE(f[3].defaultValue.IsNull());
  EXPECT_EQ(f[3].minValue.AsInt64(), -5);
  EXPECT_EQ(f[3].maxValue.AsInt64(), 100);
  EXPECT_EQ(f[4].blobBlockSize, 4096);
  EXPECT_EQ(f[4].blobCompressionAlgorithm, 1);
  EXPECT_EQ(f[4].blobCompressionMode, 5);

  const auto& indexes = create.IndexDefs();
  ASSERT_EQ(indexes.size(), 4u);
  EXPECT_EQ(indexes[0].name, "C_PK$id");
  EXPECT_EQ(indexes[0].Options(), kIndexOptionPrimary);
  EXPECT_EQ(indexes[1].name, "C_Unique$fcode");
  EXPECT_EQ(indexes[1].Options(), kIndexOptionUnique);
  EXPECT_EQ(indexes[2].name, "i$fname$fcode");
  EXPECT_EQ(indexes[2].ColumnNames(','), "fname,fcode");
  EXPECT_EQ(indexes[2].DescendingColumns(','), "fname");
  EXPECT_EQ(indexes[2].CaseInsensitiveColumns(','), "fcode");
  EXPECT_EQ(indexes[3].name, "byname");
}

TEST(DDLCreateTable, DefaultExpressionIsEvaluatedAtOnce) {
  auto p = ParseOne("create table t (n integer default 2*3+1)");
  EXPECT_EQ(Statement<TKrxDDLCreateTable>(*p).FieldDefs()[0].defaultValue.AsInt64(), 7);
}

TEST(DDLStatements, OtherStatements) {
  auto alter = ParseOne(" alter table cqsalebill add (FC01 FLOAT) ");
  const auto& add = Statement<TKrxDDLAlterTable>(*alter);
  EXPECT_EQ(add.Action(), aaAdd);
  ASSERT_EQ(add.FieldDefs().size(), 1u);
  EXPECT_EQ(add.FieldDefs()[0].fieldType, TKrxAdvancedType::Double);

  auto drop = ParseOne("alter table t drop (a, b)");
  EXPECT_EQ(Statement<TKrxDDLAlterTable>(*drop).DropColumns().size(), 2u);
  auto column = ParseOne("alter table t rename column a to b");
  EXPECT_EQ(Statement<TKrxDDLAlterTable>(*column).Action(), aaRenameColumn);
  EXPECT_EQ(Statement<TKrxDDLAlterTable>(*column).NewColumnName(), "b");
  auto renameTo = ParseOne("alter table t rename to u");
  EXPECT_EQ(Statement<TKrxDDLAlterTable>(*renameTo).NewTableName(), "u");
  auto rename = ParseOne("rename table t to u");
  EXPECT_EQ(Statement<TKrxDDLRenameTable>(*rename).NewTableName(), "u");
  auto dropTable = ParseOne("drop table if exists t");
  EXPECT_TRUE(Statement<TKrxDDLDropTable>(*dropTable).IfExists());
  auto truncate = ParseOne("truncate table t");
  EXPECT_EQ(Statement<TKrxDDLTruncateTable>(*truncate).Table().tableName, "t");
  auto index = ParseOne("create unique index ix on t (a desc, password 'pw', b)");
  const auto& createIndex = Statement<TKrxDDLCreateIndex>(*index);
  EXPECT_TRUE(createIndex.Index().unique);
  EXPECT_EQ(createIndex.Index().ColumnNames(';'), "a;b");
  EXPECT_EQ(createIndex.Table().password, "pw");
  auto dropIndex = ParseOne("drop index db.t.ix");
  EXPECT_EQ(Statement<TKrxDDLDropIndex>(*dropIndex).Table().databaseName, "db");
  EXPECT_EQ(Statement<TKrxDDLDropIndex>(*dropIndex).IndexName(), "ix");
}

struct ErrorCase {
  const char* sql;
  const char* message;
};

TEST(DDLErrors, MessagesAndCodes) {
  const ErrorCase cases[] = {
      {"create table t (a int)", "Unknown field type 'int' at line 1, column 19 - Native error: 30232"},
      {"create table t (a decimal)", "Unknown field type 'decimal' at line 1, column 19 - Native error: 30232"},
      {"create table t (a numeric)", "Unknown field type 'numeric' at line 1, column 19 - Native error: 30232"},
      {"create table t (a real)", "Unknown field type 'real' at line 1, column 19 - Native error: 30232"},
      {"create table t (a varchar)", "'(' symbol expected, but ')' found at line 1, column 26 - Native error: 30233"},
      {"create table t (a varchar(x))",
       "Decimal constant expected, but 'x' found at line 1, column 27 - Native error: 30235"},
      // A word after the table name is its alias.
      {"create table t a int", "Token '(' expected, but 'int' found at line 1, column 18 - Native error: 30226"},
      {"create table t (a integer) x", "Unexpected token 'x' found at line 1, column 28 - Native error: 30246"},
      {"create table t (a integer not x)",
       "'NULL' expected (for NOT NULL), but 'x' found at line 1, column 31 - Native error: 02011"},
      {"create table t (a integer default 1 default 2)",
       "default value for column 'a' declared twice - Native error: 30299"},
      {"create table t (a autoinc(float))",
       "Unsupported Autoinc DataType (float) found at line 1, column 27 - Native error: 30295"},
      {"create table if exists t (a integer)",
       "Token 'NOT' expected, but 'exists' found at line 1, column 17 - Native error: 30486"},
      {"create table t (unique x (a))",
       "'INDEX' keyword expected, but 'x' found at line 1, column 24 - Native error: 30267"},
      {"drop index ix", "Table name expected, but 'ix' found at line 1, column 12 - Native error: 30498"},
      {"create index ix t (a)", "'ON' keyword expected, but 't' found at line 1, column 17 - Native error: 30271"},
      {"alter table t add x", "Token '(' expected, but 'x' found at line 1, column 19 - Native error: 20430"},
      {"alter table t insert (a)",
       "ADD, DROP or MODIFY keyword expected, but 'insert' found at line 1, column 15 - Native error: 30252"},
      {"alter table t 5", "ADD, DROP or MODIFY keyword expected, but '5' found at line 1, column 15 - Native error: 30253"},
      {"rename table t 'u'", "Token 'TO' expected, but 'u' found at line 1, column 16 - Native error: 30355"},
      {"drop table if t", "Token 'EXISTS' expected, but 't' found at line 1, column 15 - Native error: 30485"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.sql), c.message) << c.sql;
}

}  // namespace
}  // namespace krx
