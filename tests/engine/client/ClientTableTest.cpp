// The table component over a stored table: create, append, read back
// through fields, rename, empty, delete.
#include <gtest/gtest.h>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxTable.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "no error";
}

TEST(ClientTable, CreateAppendReadRenameEmptyDelete) {
  test::TempDir dir;
  TKrxDatabase db;
  db.SetDatabaseName("TABLES");
  db.SetDatabaseFileName(dir.File("cpbill"));
  db.CreateDataBase();
  db.Connect();

  TKrxTable table("KrxT");
  table.SetDatabaseName("TABLES");
  table.SetTableName("cqproduct");
  TKrxTableDefinition definition;
  definition.fields.Add("FItemID", TKrxAdvancedType::Integer);
  definition.fields.Add("型号规格", TKrxAdvancedType::String, 40);
  definition.fields.Add("FPrice", TKrxAdvancedType::Currency);
  table.CreateTable(std::move(definition));
  EXPECT_TRUE(table.Exists());

  table.Open();
  EXPECT_TRUE(table.Eof());
  table.AppendRecord({TKrxVariant::FromInt32(1), TKrxVariant::FromUtf8("YJV-3×95"), TKrxVariant::FromCurrency(37.5)});
  table.AppendRecord({TKrxVariant::FromInt32(2), TKrxVariant::FromUtf8("VV-4×10")});
  EXPECT_EQ(table.RecordCount(), 2);
  std::vector<std::string> rows;
  for (table.First(); !table.Eof(); table.Next()) {
    rows.push_back(table.FieldByName("fitemid").AsString() + "|" + table.FieldByName("型号规格").AsString() + "|" +
                   table.FieldByName("FPRICE").AsString());
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"1|YJV-3×95|37.5", "2|VV-4×10|"}));
  table.Close();

  std::vector<std::string> names;
  db.GetTableNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"cqproduct"}));

  table.RenameTable("cqproduct2");
  EXPECT_EQ(table.TableName(), "cqproduct2");
  table.EmptyTable();
  table.Open();
  EXPECT_EQ(table.RecordCount(), 0);
  table.Close();
  table.DeleteTable();
  EXPECT_FALSE(table.Exists());
  EXPECT_EQ(MessageOf([&] { table.Open(); }), "Table not found, table name = cqproduct2 - Native error: 10028");
  EXPECT_FALSE(table.Active());
}

}  // namespace
}  // namespace krx
