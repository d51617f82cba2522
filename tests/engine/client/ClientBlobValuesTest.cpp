// MEMO, BLOB and WIDEMEMO fields through the query component: values given
// as SQL literals and as memo and BLOB parameters, read back as UTF-8 text
// (memo, wide memo) and as raw bytes (BLOB), exactly, after the database is
// closed and opened again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxQuery.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

std::string Pattern(size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  unsigned x = seed;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(x >> 16);
  }
  return bytes;
}

class ClientBlobValues : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.SetDatabaseName("QUOTE");
    db_.SetDatabaseFileName(dir_.File("blobs"));
    db_.CreateDataBase();
    db_.Connect();
    q_.SetDatabaseName("QUOTE");
    Exec("CREATE TABLE cqnote (FID INTEGER, FNAME VARCHAR(20), "
         "FMEMO MEMO BLOBBLOCKSIZE 4096 BLOBCOMPRESSIONALGORITHM ZLIB, FBLOB BLOB, FWIDE WIDEMEMO)");
  }
  void Exec(const std::string& sql) {
    q_.Close();
    q_.SQLClear();
    q_.SQLAdd(sql);
    q_.ExecSQL();
  }
  void Open(const std::string& sql) {
    q_.Close();
    q_.SQLClear();
    q_.SQLAdd(sql);
    q_.Open();
  }
  void Reconnect() {
    q_.Close();
    db_.Disconnect();
    db_.Connect();
  }

  test::TempDir dir_;
  TKrxDatabase db_;
  TKrxQuery q_{"KrxQ1"};
};

TEST_F(ClientBlobValues, FieldKindsAndLiteralValuesReadBack) {
  Exec("insert into cqnote values (1, 'a', '铜芯''电缆', 'raw', '宽字符 wide')");
  Exec("insert into cqnote values (2, 'b', '', NULL, '')");
  Reconnect();
  Open("select FID, FMEMO, FBLOB, FWIDE from cqnote order by FID");
  EXPECT_EQ(q_.FieldByName("FMEMO").DataType(), TKrxClientFieldKind::ftMemo);
  EXPECT_EQ(q_.FieldByName("FBLOB").DataType(), TKrxClientFieldKind::ftBlob);
  EXPECT_EQ(q_.FieldByName("FWIDE").DataType(), TKrxClientFieldKind::ftBlob);
  EXPECT_EQ(q_.FieldByName("FMEMO").AsString(), "铜芯'电缆");
  EXPECT_EQ(q_.FieldByName("FMEMO").AsBytes(), KrxUtf8ToGb("铜芯'电缆"));
  EXPECT_EQ(q_.FieldByName("FBLOB").AsString(), "raw");
  EXPECT_EQ(q_.FieldByName("FWIDE").AsString(), "宽字符 wide");
  EXPECT_FALSE(q_.FieldByName("FMEMO").IsNull());
  q_.Next();
  // An empty text is NULL, as for every string.
  EXPECT_TRUE(q_.FieldByName("FMEMO").IsNull());
  EXPECT_TRUE(q_.FieldByName("FBLOB").IsNull());
  EXPECT_TRUE(q_.FieldByName("FWIDE").IsNull());
  EXPECT_EQ(q_.FieldByName("FMEMO").AsString(), "");
  q_.Next();
  EXPECT_TRUE(q_.Eof());
}

TEST_F(ClientBlobValues, LargeParametersSurviveUpdatesAndReopening) {
  std::string memo;
  while (memo.size() < 300 * 1024) memo += "聚氯乙烯绝缘电缆 BVR-1.5 ";
  const std::string picture = Pattern(300 * 1024 + 11, 7);
  q_.SQLClear();
  q_.SQLAdd("insert into cqnote (FID, FNAME, FMEMO, FBLOB, FWIDE) values (:id, :name, :memo, :pic, :wide)");
  q_.ParamByName("id").SetAsInteger(1);
  q_.ParamByName("name").SetAsString("first");
  q_.ParamByName("memo").SetAsMemo(memo);
  q_.ParamByName("pic").SetAsBlob(picture);
  q_.ParamByName("wide").SetAsString("宽");
  q_.ExecSQL();
  EXPECT_EQ(q_.RowsAffected(), 1);

  Exec("update cqnote set FNAME = 'renamed' where FID = 1");
  Reconnect();
  Open("select FNAME, FMEMO, FBLOB, FWIDE from cqnote");
  EXPECT_EQ(q_.FieldByName("FNAME").AsString(), "renamed");
  EXPECT_EQ(q_.FieldByName("FMEMO").AsString(), memo);
  EXPECT_EQ(q_.FieldByName("FBLOB").AsBytes(), picture);
  EXPECT_EQ(q_.FieldByName("FWIDE").AsString(), "宽");

  // A new value replaces the old one; a search on the memo finds the row.
  const std::string second = Pattern(5000, 2);
  q_.Close();
  q_.SQLClear();
  q_.SQLAdd("update cqnote set FBLOB = :pic, FMEMO = FMEMO || :tail where FMEMO like :like");
  q_.ParamByName("pic").SetAsBlob(second);
  q_.ParamByName("tail").SetAsMemo("尾");
  q_.ParamByName("like").SetAsString("聚氯乙烯%");
  q_.ExecSQL();
  EXPECT_EQ(q_.RowsAffected(), 1);
  Reconnect();
  Open("select FMEMO, FBLOB from cqnote where FID = 1");
  EXPECT_EQ(q_.FieldByName("FMEMO").AsString(), memo + "尾");
  EXPECT_EQ(q_.FieldByName("FBLOB").AsBytes(), second);
}

TEST_F(ClientBlobValues, DeletedRowsTakeTheirValuesWith) {
  q_.SQLClear();
  q_.SQLAdd("insert into cqnote (FID, FBLOB) values (:id, :pic)");
  for (int i = 1; i <= 3; ++i) {
    q_.ParamByName("id").SetAsInteger(i);
    q_.ParamByName("pic").SetAsBlob(Pattern(1000 * i, static_cast<unsigned>(i)));
    q_.ExecSQL();
  }
  Exec("delete from cqnote where FID = 2");
  Reconnect();
  Open("select FID, FBLOB from cqnote order by FID");
  std::vector<int> ids;
  for (q_.First(); !q_.Eof(); q_.Next()) {
    const int id = q_.FieldByName("FID").AsInteger();
    ids.push_back(id);
    EXPECT_EQ(q_.FieldByName("FBLOB").AsBytes(), Pattern(1000 * static_cast<size_t>(id), static_cast<unsigned>(id)));
  }
  EXPECT_EQ(ids, (std::vector<int>{1, 3}));
}

}  // namespace
}  // namespace krx
