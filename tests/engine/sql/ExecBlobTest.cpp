// BLOB, memo and wide memo columns through SQL: values stored by INSERT and
// UPDATE (literals, NULL, expressions, parameters), read back by SELECT and
// usable in conditions; an update that does not name a BLOB keeps it, and
// deleting rows frees their BLOB pages.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ExecTestDatabase.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxExecSession.h"
#include "KrxLocale.h"
#include "KrxProcessor.h"
#include "KrxResultCursor.h"
#include "KrxTableDataDisk.h"

namespace krx {
namespace {

constexpr const char* kCreate =
    "CREATE TABLE TB (FID INTEGER, FNAME VARCHAR(20), FMEMO MEMO, FBLOB BLOB, FWIDE WIDEMEMO)";

// The SQL test database with what the BLOB tests look at besides rows.
class BlobDatabase : public test::ExecDatabase {
 public:
  // True when the table has no BLOB page left.
  bool NoBlobPages(const std::string& table) {
    auto t = TKrxDiskTableData::OpenTable(Data(), table);
    int32_t page = -1;
    int used = 0;
    return !t->BlobManager()->Index().FirstPage(0, page, used);
  }
  uintmax_t FileSize() const { return std::filesystem::file_size(Path()); }
};

std::string Utf16Le(const std::u16string& text) {
  std::string bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return bytes;
}

std::string Pattern(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned x = seed;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(x >> 16);
  }
  return bytes;
}

// ---- values stored by INSERT and read back by SELECT ----

struct StoreCase {
  const char* name;
  const char* column;
  const char* valueSql;  // the VALUES expression
  bool null;
  std::string bytes;     // the stored bytes when not NULL
};

class ExecBlobStoreTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(ExecBlobStoreTest, InsertStoresTheValueAndSelectReturnsIt) {
  const StoreCase& c = GetParam();
  BlobDatabase db;
  db.Run(kCreate);
  ASSERT_EQ(db.Run(std::string("INSERT INTO TB (FID, ") + c.column + ") VALUES (1, " + c.valueSql + ")"), 1);
  auto result = db.Query(std::string("SELECT ") + c.column + " FROM TB");
  ASSERT_TRUE(result);
  ASSERT_EQ(result->RowCount(), 1);
  TKrxVariant v = result->Value(0, 0);
  EXPECT_EQ(v.IsNull(), c.null);
  if (!c.null) EXPECT_EQ(v.StringValue(), c.bytes);
  db.Reopen();
  EXPECT_EQ(db.Rows(std::string("SELECT FID FROM TB WHERE ") + c.column + " IS NULL").size(), c.null ? 1u : 0u);
  auto again = db.Query(std::string("SELECT ") + c.column + " FROM TB");
  ASSERT_TRUE(again);
  EXPECT_TRUE(again->Value(0, 0).SameAs(v));
}

INSTANTIATE_TEST_SUITE_P(
    Values, ExecBlobStoreTest,
    ::testing::Values(
        StoreCase{"MemoChineseInNationalCodePage", "FMEMO", "'型号规格 YJV 3*4'", false,
                  KrxUtf8ToGb("型号规格 YJV 3*4")},
        StoreCase{"MemoQuoteDoubled", "FMEMO", "'it''s'", false, "it's"},
        StoreCase{"MemoEmptyTextIsNull", "FMEMO", "''", true, ""},
        StoreCase{"MemoNull", "FMEMO", "NULL", true, ""},
        StoreCase{"MemoConcatenation", "FMEMO", "'铜芯' || '电缆'", false, KrxUtf8ToGb("铜芯电缆")},
        StoreCase{"MemoNumber", "FMEMO", "12", false, "12"},
        StoreCase{"WideMemoUtf16", "FWIDE", "'电缆 cable'", false, Utf16Le(u"电缆 cable")},
        StoreCase{"WideMemoNull", "FWIDE", "NULL", true, ""},
        StoreCase{"BlobFromText", "FBLOB", "'abc'", false, "abc"},
        StoreCase{"BlobFromMime", "FBLOB", "MIMETOBIN('AAEC/w==')", false, std::string("\x00\x01\x02\xff", 4)},
        StoreCase{"BlobNull", "FBLOB", "NULL", true, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- parameters, large and compressed values ----

TEST(ExecBlobTest, ParametersOfEveryKindAndValuesOfManyBlocks) {
  BlobDatabase db;
  db.Run("CREATE TABLE TZ (FID INTEGER, FMEMO MEMO BLOBBLOCKSIZE 4096 BLOBCOMPRESSIONALGORITHM ZLIB, "
         "FBLOB BLOB BLOBBLOCKSIZE 8192, FWIDE WIDEMEMO)");
  std::string text;
  while (text.size() < 300 * 1024) text += KrxUtf8ToGb("铜芯聚氯乙烯绝缘电缆 BV-2.5 ");
  const std::string binary = Pattern(300 * 1024 + 7, 3);
  TKrxVariant memo, blob, wide;
  memo.SetBytes(text, TKrxStorageType::TextBlob);
  blob.SetBytes(binary, TKrxStorageType::Blob);
  wide = TKrxVariant::FromString(KrxUtf8ToGb("宽字符"));
  db.Params().Add("M").SetValue(memo);
  db.Params().Add("B").SetValue(blob);
  db.Params().Add("W").SetValue(wide);
  ASSERT_EQ(db.Run("INSERT INTO TZ VALUES (1, :M, :B, :W)"), 1);
  db.Params().Clear();
  db.Reopen();
  EXPECT_EQ(db.Bytes("SELECT FMEMO FROM TZ"), text);
  EXPECT_EQ(db.Bytes("SELECT FBLOB FROM TZ"), binary);
  EXPECT_EQ(db.Bytes("SELECT FWIDE FROM TZ"), Utf16Le(u"宽字符"));
  // A raw BLOB parameter goes into a wide memo as it is.
  TKrxVariant rawWide;
  rawWide.SetBytes(Utf16Le(u"原样"), TKrxStorageType::Blob);
  db.Params().Add("W").SetValue(rawWide);
  ASSERT_EQ(db.Run("UPDATE TZ SET FWIDE = :W WHERE FID = 1"), 1);
  db.Params().Clear();
  EXPECT_EQ(db.Bytes("SELECT FWIDE FROM TZ"), Utf16Le(u"原样"));
  EXPECT_EQ(db.Bytes("SELECT FMEMO FROM TZ"), text);
}

// ---- UPDATE and DELETE ----

TEST(ExecBlobTest, UpdateKeepsUntouchedBlobsAndChangesNamedOnes) {
  BlobDatabase db;
  db.Run(kCreate);
  const std::string big = Pattern(150000, 9);
  TKrxVariant blob;
  blob.SetBytes(big, TKrxStorageType::Blob);
  db.Params().Add("B").SetValue(blob);
  db.Run("INSERT INTO TB VALUES (1, 'one', '第一', :B, '一')");
  db.Params().Clear();
  db.Run("INSERT INTO TB VALUES (2, 'two', '第二', 'small', '二')");

  EXPECT_EQ(db.Run("UPDATE TB SET FNAME = 'uno' WHERE FID = 1"), 1);
  EXPECT_EQ(db.Bytes("SELECT FBLOB FROM TB WHERE FID = 1"), big);
  EXPECT_EQ(db.Rows("SELECT FNAME, FMEMO, FWIDE FROM TB WHERE FID = 1"), std::vector<std::string>{"uno|第一|一"});

  EXPECT_EQ(db.Run("UPDATE TB SET FMEMO = FMEMO || '行', FWIDE = NULL WHERE FID = 2"), 1);
  EXPECT_EQ(db.Rows("SELECT FMEMO, FWIDE, FBLOB FROM TB WHERE FID = 2"), std::vector<std::string>{"第二行|NULL|small"});
  EXPECT_EQ(db.Run("UPDATE TB SET FBLOB = 'tiny' WHERE FID = 1"), 1);
  db.Reopen();
  EXPECT_EQ(db.Rows("SELECT FID, FNAME, FMEMO, FBLOB, FWIDE FROM TB ORDER BY FID"),
            (std::vector<std::string>{"1|uno|第一|tiny|一", "2|two|第二行|small|NULL"}));
}

TEST(ExecBlobTest, DeletingRowsAndClearingValuesFreesTheirPages) {
  BlobDatabase db;
  db.Run(kCreate);
  TKrxVariant blob;
  blob.SetBytes(Pattern(300 * 1024, 5), TKrxStorageType::Blob);
  db.Params().Add("B").SetValue(blob);
  db.Run("INSERT INTO TB (FID, FBLOB, FMEMO) VALUES (1, :B, 'a')");
  db.Params().Clear();
  db.Run("INSERT INTO TB (FID, FMEMO) VALUES (2, 'b')");
  const uintmax_t size = db.FileSize();
  EXPECT_FALSE(db.NoBlobPages("TB"));
  EXPECT_EQ(db.Run("DELETE FROM TB WHERE FID = 1"), 1);
  EXPECT_EQ(db.Run("UPDATE TB SET FMEMO = NULL"), 1);
  EXPECT_TRUE(db.NoBlobPages("TB"));
  // The freed pages take the next large value: the file does not grow.
  db.Params().Add("B").SetValue(blob);
  db.Run("INSERT INTO TB (FID, FBLOB) VALUES (3, :B)");
  db.Params().Clear();
  EXPECT_EQ(db.FileSize(), size);
  EXPECT_EQ(db.Run("DELETE FROM TB"), 2);
  EXPECT_TRUE(db.NoBlobPages("TB"));
}

// ---- BLOB values in conditions and expressions (text compares in the
// national collation: 电缆 < 电线, 铝 < 铜) ----

struct QueryCase {
  const char* sql;
  std::vector<std::string> rows;
};

class ExecBlobQueryTest : public ::testing::TestWithParam<QueryCase> {};

TEST_P(ExecBlobQueryTest, Rows) {
  BlobDatabase db;
  db.Run(kCreate);
  db.Run("INSERT INTO TB VALUES (1, 'a', '电缆 YJV', 'x1', '铜芯')");
  db.Run("INSERT INTO TB VALUES (2, 'b', NULL, NULL, NULL)");
  db.Run("INSERT INTO TB VALUES (3, 'c', '电线 BV', 'x3', '铝芯')");
  EXPECT_EQ(db.Rows(GetParam().sql), GetParam().rows) << GetParam().sql;
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, ExecBlobQueryTest,
    ::testing::Values(
        QueryCase{"SELECT FID FROM TB WHERE FMEMO LIKE '%YJV%'", {"1"}},
        QueryCase{"SELECT FID FROM TB WHERE FMEMO LIKE '电%' ORDER BY FID", {"1", "3"}},
        QueryCase{"SELECT FID FROM TB WHERE FWIDE LIKE '铝%'", {"3"}},
        QueryCase{"SELECT FID FROM TB WHERE FMEMO IS NULL", {"2"}},
        QueryCase{"SELECT FID FROM TB WHERE FBLOB IS NOT NULL ORDER BY FID", {"1", "3"}},
        QueryCase{"SELECT FID FROM TB WHERE FMEMO = '电线 BV'", {"3"}},
        QueryCase{"SELECT FID FROM TB WHERE FID > 1 AND FMEMO IS NOT NULL", {"3"}},
        QueryCase{"SELECT FID, FMEMO FROM TB WHERE FID = 1", {"1|电缆 YJV"}},
        QueryCase{"SELECT FID FROM TB ORDER BY FMEMO DESC", {"3", "1", "2"}},
        QueryCase{"SELECT FID, FNAME FROM TB ORDER BY FID", {"1|a", "2|b", "3|c"}},
        QueryCase{"SELECT FID, (SELECT COUNT(*) FROM TB T2 WHERE T2.FMEMO LIKE TB.FMEMO) FROM TB WHERE FID = 3",
                  {"3|1"}},
        QueryCase{"SELECT FMEMO || '!' FROM TB WHERE FID = 3", {"电线 BV!"}},
        QueryCase{"SELECT UPPER(FMEMO) FROM TB WHERE FID = 1", {"电缆 YJV"}},
        QueryCase{"SELECT LENGTH(FMEMO) FROM TB WHERE FID = 1", {"8"}},
        QueryCase{"SELECT T1.FID FROM TB T1, TB T2 WHERE T1.FMEMO = T2.FMEMO ORDER BY T1.FID", {"1", "3"}},
        QueryCase{"SELECT DISTINCT FBLOB FROM TB ORDER BY FBLOB", {"NULL", "x1", "x3"}},
        QueryCase{"SELECT MIN(FMEMO), MAX(FWIDE) FROM TB", {"电缆 YJV|铜芯"}},
        QueryCase{"SELECT COUNT(FMEMO), COUNT(*) FROM TB", {"2|3"}},
        QueryCase{"SELECT FWIDE, COUNT(*) FROM TB GROUP BY FWIDE ORDER BY FWIDE", {"NULL|1", "铝芯|1", "铜芯|1"}}));

TEST(ExecBlobTest, ChangesChosenByABlobConditionAndCopiesBetweenTables) {
  BlobDatabase db;
  db.Run(kCreate);
  db.Run("CREATE TABLE TD (FID INTEGER, FMEMO MEMO, FBLOB BLOB)");
  db.Run("INSERT INTO TB VALUES (1, 'a', '电缆 YJV', 'x1', '铜芯')");
  db.Run("INSERT INTO TB VALUES (2, 'b', '电线 BV', 'x2', '铝芯')");
  EXPECT_EQ(db.Run("UPDATE TB SET FNAME = 'z' WHERE FMEMO LIKE '%BV'"), 1);
  EXPECT_EQ(db.Rows("SELECT FID, FNAME, FMEMO, FBLOB FROM TB ORDER BY FID"),
            (std::vector<std::string>{"1|a|电缆 YJV|x1", "2|z|电线 BV|x2"}));
  EXPECT_EQ(db.Run("INSERT INTO TD SELECT FID, FWIDE, FBLOB FROM TB"), 2);
  EXPECT_EQ(db.Run("DELETE FROM TB WHERE FWIDE LIKE '铜%'"), 1);
  db.Reopen();
  EXPECT_EQ(db.Rows("SELECT FID, FMEMO, FBLOB FROM TD ORDER BY FID"),
            (std::vector<std::string>{"1|铜芯|x1", "2|铝芯|x2"}));
  EXPECT_EQ(db.Bytes("SELECT FMEMO FROM TD WHERE FID = 1"), KrxUtf8ToGb("铜芯"));
  EXPECT_EQ(db.Rows("SELECT FID, FMEMO FROM TB"), std::vector<std::string>{"2|电线 BV"});
  EXPECT_EQ(db.Error("SELECT CAST(FMEMO AS BLOB) FROM TB"), "Cannot convert an expression to specified type: 'BLOB' #30077");
}

TEST(ExecBlobTest, SelectIntoCopiesBlobValues) {
  BlobDatabase db;
  db.Run(kCreate);
  db.Run("INSERT INTO TB VALUES (1, 'a', '备注', 'bytes', '宽')");
  db.Run("SELECT FID, FMEMO, FBLOB, FWIDE INTO TC FROM TB");
  db.Run("DELETE FROM TB");
  EXPECT_EQ(db.Rows("SELECT * FROM TC"), std::vector<std::string>{"1|备注|bytes|宽"});
}

TEST(ExecBlobTest, AlterTableCarriesBlobValuesOver) {
  BlobDatabase db;
  db.Run(kCreate);
  const std::string big = Pattern(120000, 4);
  TKrxVariant blob;
  blob.SetBytes(big, TKrxStorageType::Blob);
  db.Params().Add("B").SetValue(blob);
  db.Run("INSERT INTO TB VALUES (1, 'a', '备注', :B, '宽')");
  db.Params().Clear();
  db.Run("INSERT INTO TB VALUES (2, 'b', NULL, NULL, NULL)");
  db.Run("ALTER TABLE TB ADD (FQTY FLOAT)");
  db.Run("ALTER TABLE TB DROP (FNAME)");
  db.Reopen();
  EXPECT_EQ(db.Bytes("SELECT FBLOB FROM TB WHERE FID = 1"), big);
  EXPECT_EQ(db.Rows("SELECT FID, FMEMO, FWIDE, FQTY FROM TB ORDER BY FID"),
            (std::vector<std::string>{"1|备注|宽|NULL", "2|NULL|NULL|NULL"}));
}

TEST(ExecBlobTest, KeyLookupAndFilteredScanReadTheKeptRowsValues) {
  BlobDatabase db;
  db.Run("CREATE TABLE TK (FID INTEGER PRIMARY KEY, FMEMO MEMO)");
  for (int i = 1; i <= 40; ++i)
    db.Run("INSERT INTO TK VALUES (" + std::to_string(i) + ", 'memo " + std::to_string(i) + "')");
  EXPECT_EQ(db.Rows("SELECT FMEMO FROM TK WHERE FID = 17"), std::vector<std::string>{"memo 17"});
  EXPECT_EQ(db.Rows("SELECT FMEMO FROM TK WHERE FID > 38 ORDER BY FID"),
            (std::vector<std::string>{"memo 39", "memo 40"}));
  EXPECT_EQ(db.Rows("SELECT COUNT(*) FROM TK WHERE FMEMO LIKE 'memo 3%'"), std::vector<std::string>{"11"});
  EXPECT_EQ(db.Rows("SELECT MAX(FID) FROM TK WHERE FMEMO LIKE '%4'"), std::vector<std::string>{"34"});
}

}  // namespace
}  // namespace krx
