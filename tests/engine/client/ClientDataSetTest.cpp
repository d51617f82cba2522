// Walking rows and reading fields of a dataset.
#include <gtest/gtest.h>

#include "ClientRowSetDataSet.h"
#include "KrxException.h"
#include "KrxLocale.h"

namespace krx {
namespace {

using test::RowSetDataSet;

TKrxFieldDefs ProductDefs() {
  TKrxFieldDefs defs;
  defs.Add("FItemID", TKrxAdvancedType::Integer);
  defs.Add(KrxUtf8ToGb("型号规格"), TKrxAdvancedType::String, 40);
  defs.Add("FPrice", TKrxAdvancedType::Double);
  defs.Add("FDate", TKrxAdvancedType::Date);
  return defs;
}

std::unique_ptr<TKrxRowSet> Products(int count) {
  auto rows = std::make_unique<TKrxRowSet>(ProductDefs());
  for (int i = 1; i <= count; ++i) {
    rows->AppendRow({TKrxVariant::FromInt32(i), TKrxVariant::FromUtf8("YJV-" + std::to_string(i) + "×4"),
                     TKrxVariant::FromDouble(i * 1.5), TKrxVariant::FromDate(KrxEncodeDate(2024, 1, i))});
  }
  return rows;
}

TEST(ClientDataSet, EmptyResultIsAtEndAtOnceAndReadsEmpty) {
  RowSetDataSet data([] { return Products(0); });
  data.Open();
  EXPECT_TRUE(data.Eof());
  EXPECT_TRUE(data.Bof());
  EXPECT_EQ(data.RecordCount(), 0);
  EXPECT_EQ(data.FieldByName("fitemid").AsString(), "");
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 0);
  EXPECT_EQ(data.FieldByName("fprice").AsFloat(), 0.0);
  EXPECT_EQ(data.FieldByName("fdate").AsDateTime(), 0.0);
  data.Next();
  EXPECT_TRUE(data.Eof());
}

TEST(ClientDataSet, NullValueReadsEmptyAsMaxOverAnEmptyTableDoes) {
  // The one row of "select max(x) as x from t" over an empty table.
  TKrxFieldDefs defs;
  defs.Add("FItemID", TKrxAdvancedType::Integer);
  RowSetDataSet data([defs] {
    auto rows = std::make_unique<TKrxRowSet>(defs);
    rows->AppendRow({TKrxVariant::Null(TKrxStorageType::Int32)});
    return rows;
  });
  data.Open();
  ASSERT_FALSE(data.Eof());
  EXPECT_TRUE(data.FieldByName("FITEMID").IsNull());
  EXPECT_EQ(data.FieldByName("FITEMID").AsString(), "");
  EXPECT_EQ(data.FieldByName("FITEMID").AsInteger(), 0);
}

TEST(ClientDataSet, WalksRowsForwardAndBack) {
  RowSetDataSet data([] { return Products(3); });
  data.Open();
  EXPECT_EQ(data.RecordCount(), 3);
  std::vector<int> seen;
  for (data.First(); !data.Eof(); data.Next()) seen.push_back(data.FieldByName("FItemID").AsInteger());
  EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
  // Past the end the last row stays on show, and Prior steps from it.
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 3);
  data.Prior();
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 2);
  data.Last();
  EXPECT_TRUE(data.Eof());
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 3);
  data.Prior();
  data.Prior();
  data.Prior();
  EXPECT_TRUE(data.Bof());
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 1);
}

TEST(ClientDataSet, FieldsInOrderByNameWithNationalNames) {
  RowSetDataSet data([] { return Products(2); });
  data.Open();
  EXPECT_EQ(data.FieldCount(), 4);
  EXPECT_EQ(data.FieldNames(), (std::vector<std::string>{"FItemID", "型号规格", "FPrice", "FDate"}));
  EXPECT_EQ(data.FieldByName("型号规格").AsString(), "YJV-1×4");
  EXPECT_EQ(data.FieldByName("FPRICE").AsString(), "1.5");
  TKrxFormatSettings settings;
  settings.shortDateFormat = "yyyy-MM-dd";
  data.SetFormatSettings(settings);
  EXPECT_EQ(data.FieldByName("fdate").AsString(), "2024-01-01");
  EXPECT_EQ(data.FieldByName("FPrice").AsInteger(), 2);  // 1.5 rounds
  try {
    data.FieldByName("FNoSuch");
    FAIL() << "no error";
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Field 'FNoSuch' not found");
  }
}

TEST(ClientDataSet, ClosedDataSetCountsNoRows) {
  RowSetDataSet data([] { return Products(5); });
  EXPECT_EQ(data.RecordCount(), 0);
  data.Open();
  EXPECT_EQ(data.RecordCount(), 5);
  data.Close();
  EXPECT_EQ(data.RecordCount(), 0);
  EXPECT_EQ(data.FieldCount(), 0);
}

TEST(ClientDataSet, LocateLookupFilterAndBookmarks) {
  RowSetDataSet data([] { return Products(5); });
  data.Open();
  EXPECT_TRUE(data.Locate("型号规格", {TKrxVariant::FromUtf8("yjv-3×4")}, {true, false}));
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 3);
  TKrxRecordID mark = data.GetBookmark();
  EXPECT_FALSE(data.Locate("FItemID", {TKrxVariant::FromInt32(99)}));
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 3);  // stays
  EXPECT_TRUE(data.Locate("型号规格", {TKrxVariant::FromUtf8("YJV-5")}, {false, true}));
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 5);
  data.GotoBookmark(mark);
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 3);

  std::vector<TKrxVariant> found = data.Lookup("FItemID", {TKrxVariant::FromInt32(4)}, "FPrice;FItemID");
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].AsDouble(), 6.0);
  EXPECT_EQ(data.FieldByName("FItemID").AsInteger(), 3);  // Lookup does not move

  data.SetFilter([](TKrxDataSet& d) { return d.FieldByName("FItemID").AsInteger() % 2 == 0; });
  EXPECT_EQ(data.RecordCount(), 2);
  std::vector<int> seen;
  for (data.First(); !data.Eof(); data.Next()) seen.push_back(data.FieldByName("FItemID").AsInteger());
  EXPECT_EQ(seen, (std::vector<int>{2, 4}));
}

TEST(ClientDataSet, RecordBufferCarriesThePositionBehindTheFields) {
  RowSetDataSet data([] { return Products(2); });
  data.Open();
  data.Next();
  const TKrxLocalCursor& cursor = *data.Cursor();
  EXPECT_EQ(cursor.RecordBufferSize(), data.FieldDefs().MemoryRecordSize() + 7);
  TKrxRecordID position = TKrxLocalCursor::BufferPosition(data.CurrentRecord(), cursor.PositionOffset());
  EXPECT_EQ(position.pageNo, 1);
  EXPECT_EQ(data.CurrentRecord()[cursor.BookmarkFlagOffset()], 0);
  EXPECT_LT(KrxCompareBookmarks({1, 9}, {2, 0}), 0);
  EXPECT_LT(KrxCompareBookmarks({2, 0}, {2, 1}), 0);
}

}  // namespace
}  // namespace krx
