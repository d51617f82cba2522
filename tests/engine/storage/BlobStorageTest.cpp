// BLOB values on shared and large BLOB pages, and BLOB fields of tables.
#include <gtest/gtest.h>

#include <filesystem>
#include <numeric>

#include "KrxBlobManager.h"
#include "KrxCompression.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxTableDataDisk.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

class BlobStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = TKrxDiskDatabaseData::Acquire(dir_.File("blob.krx"));
    db_->CreateDatabase({}, 8, 4096, 4);
  }
  void TearDown() override { db_->Close(); }

  static TKrxBlobValue Value(size_t size, uint8_t seed) {
    TKrxBlobValue v;
    v.stored.resize(size);
    for (size_t i = 0; i < size; ++i) v.stored[i] = static_cast<uint8_t>(seed + i * 7);
    v.uncompressedSize = static_cast<int64_t>(size);
    return v;
  }

  test::TempDir dir_;
  std::shared_ptr<TKrxDiskDatabaseData> db_;
};

TEST_F(BlobStorageTest, LayoutBoundaryIs4031SharedAnd4032Large) {
  TKrxPageManager& pm = db_->PageManager();
  ASSERT_EQ(pm.PageDataSize(), 4056u);
  TKrxDiskBlobManager blobs(pm, -1);
  blobs.Index().Create(0);
  TKrxBlobRef small = blobs.Write(0, Value(4031, 1));
  TKrxBlobRef large = blobs.Write(0, Value(4032, 2));
  EXPECT_EQ(small.entryID, 0);
  EXPECT_EQ(large.entryID, kKrxLargeBlobID);
  EXPECT_EQ(blobs.Read(0, small).stored, Value(4031, 1).stored);
  EXPECT_EQ(blobs.Read(0, large).stored, Value(4032, 2).stored);
  int used;
  ASSERT_TRUE(blobs.Index().FindPage(0, small.pageNo, used));
  EXPECT_EQ(used, 2 + 22 + 4031);
}

TEST_F(BlobStorageTest, SmallValuesShareAPageWithConsecutiveIDs) {
  TKrxDiskBlobManager blobs(db_->PageManager(), -1);
  blobs.Index().Create(0);
  std::vector<TKrxBlobRef> refs;
  for (uint8_t i = 0; i < 4; ++i) refs.push_back(blobs.Write(0, Value(100, i)));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(refs[i].pageNo, refs[0].pageNo);
    EXPECT_EQ(refs[i].entryID, i);
  }
  // Removing entry 1 moves the others down; they stay readable. The next
  // value starts at the count (3), which is taken, and gets 4.
  blobs.Delete(0, refs[1]);
  EXPECT_EQ(blobs.Read(0, refs[2]).stored, Value(100, 2).stored);
  TKrxBlobRef again = blobs.Write(0, Value(10, 9));
  EXPECT_EQ(again.entryID, 4);
  EXPECT_THROW(blobs.Read(0, {refs[0].pageNo, 77}), EKrxException);
  // Deleting every entry deletes the page.
  for (int i : {0, 2, 3}) blobs.Delete(0, refs[i]);
  blobs.Delete(0, again);
  int used;
  EXPECT_FALSE(blobs.Index().FindPage(0, refs[0].pageNo, used));
}

TEST_F(BlobStorageTest, LargeBlobFillingTwoPagesKeepsItsListOnAThird) {
  TKrxPageManager& pm = db_->PageManager();
  const size_t d = pm.PageDataSize();
  TKrxDiskBlobManager blobs(pm, -1);
  blobs.Index().Create(0);
  TKrxBlobValue v = Value(2 * d - 32, 5);
  TKrxBlobRef ref = blobs.Write(0, v);
  std::vector<int32_t> pages = blobs.LargeBlobPages(0, ref);
  ASSERT_EQ(pages.size(), 3u);  // two content pages and the list page
  {
    TKrxHeldPage head(pm.GetPage(0, ref.pageNo));
    EXPECT_EQ(GetI32(head->Data(), 22), pages[2]);  // list page
    EXPECT_EQ(GetI16(head->Data(), 26), 0);         // at its start
    EXPECT_EQ(GetI32(head->Data(), 28), 2);         // two content pages
    EXPECT_EQ(GetI64(head->Data(), 6), static_cast<int64_t>(2 * d - 32));
  }
  EXPECT_EQ(blobs.Read(0, ref).stored, v.stored);
  // A value one page shorter keeps its list in its last content page.
  TKrxBlobRef shorter = blobs.Write(0, Value(2 * d - 100, 6));
  EXPECT_EQ(blobs.LargeBlobPages(0, shorter).size(), 2u);
  EXPECT_EQ(blobs.Read(0, shorter).stored, Value(2 * d - 100, 6).stored);
  blobs.Delete(0, ref);
  blobs.Delete(0, shorter);
  db_->Commit(0, false);
}

TEST_F(BlobStorageTest, BlobFieldsOfATableWithCompression) {
  TKrxTableDefinition def;
  def.fields.Add("FID", TKrxAdvancedType::Integer);
  TKrxFieldDef& memo = def.fields.Add("FMEMO", TKrxAdvancedType::Memo);
  memo.blobCompressionAlgorithm = kKrxCompressZlib;
  memo.blobCompressionMode = 6;
  memo.blobBlockSize = 1000;
  def.fields.Add("FPIC", TKrxAdvancedType::Blob);
  TKrxDiskTableData::CreateTable(*db_, "K", def);
  TKrxCursor c;
  auto t = TKrxDiskTableData::OpenTable(*db_, "K");
  t->Attach(c);
  std::string text(20000, 'z');
  std::vector<uint8_t> picture(9000);
  std::iota(picture.begin(), picture.end(), 0);
  t->PrepareNewRecord(c);
  t->SetField(c, 0, TKrxVariant::FromInt32(1));
  t->SetBlobData(c, 1, reinterpret_cast<const uint8_t*>(text.data()), text.size());
  t->SetBlobData(c, 2, picture.data(), picture.size());
  t->InsertRecord(c);
  t->PrepareNewRecord(c);
  t->SetField(c, 0, TKrxVariant::FromInt32(2));
  t->SetBlobData(c, 1, nullptr, 0);  // zero length: NULL, nothing written
  t->InsertRecord(c);
  EXPECT_TRUE(t->GetField(c, 1).IsNull());
  EXPECT_TRUE(t->GetBlobData(c, 1).empty());

  ASSERT_EQ(t->ReadRecord(c, TKrxReadMode::First), kKrxRecordFound);
  std::vector<uint8_t> readText = t->GetBlobData(c, 1);
  EXPECT_EQ(std::string(readText.begin(), readText.end()), text);
  EXPECT_EQ(t->GetBlobData(c, 2), picture);
  // Compressed: the memo's stored bytes fit a shared page.
  TKrxBlobRef memoRef = KrxGetBlobRef(c.record.data(), t->Fields()[1].memoryOffset);
  EXPECT_NE(memoRef.entryID, kKrxLargeBlobID);
  // Updating the picture replaces the stored value; deleting frees it.
  std::vector<uint8_t> small(10, 3);
  t->SetBlobData(c, 2, small.data(), small.size());
  t->UpdateRecord(c);
  ASSERT_EQ(t->ReadRecord(c, TKrxReadMode::Current), kKrxRecordFound);
  EXPECT_EQ(t->GetBlobData(c, 2), small);
  t->DeleteRecord(c);
  t->DeleteRecord(c);
  EXPECT_EQ(t->RecordCount(c), 0);
  int32_t page;
  int used;
  EXPECT_FALSE(t->BlobManager()->Index().FirstPage(0, page, used));
  t->Detach(c);
  EXPECT_EQ(t->BlobManager()->LiveCacheEntries(), 0u);

  TKrxTableDefinition bad;
  TKrxFieldDef& zero = bad.fields.Add("FB", TKrxAdvancedType::Blob);
  zero.blobBlockSize = 0;
  try {
    TKrxDiskTableData::CreateTable(*db_, "BAD", bad);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "BLOB block size should be > 0 for field FB");
  }
}

}  // namespace
}  // namespace krx

#include "KrxBlobTemporaryStream.h"

namespace krx {
namespace {

TEST(BlobTemporaryStream, MovesToAKrxFileBeyondOneMegabyteUnlessDisabled) {
  std::vector<uint8_t> chunk(600000);
  for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<uint8_t>(i * 13);
  for (bool disabled : {false, true}) {
    std::string fileName;
    {
      TKrxTemporaryStream stream(disabled);
      EXPECT_EQ(stream.Write(chunk.data(), static_cast<int64_t>(chunk.size())), 600000);
      EXPECT_FALSE(stream.InFile());
      EXPECT_EQ(stream.Write(chunk.data(), static_cast<int64_t>(chunk.size())), 600000);
      EXPECT_EQ(stream.InFile(), !disabled);
      fileName = stream.FileName();
      if (!disabled) {
        EXPECT_EQ(std::filesystem::path(fileName).filename().string().rfind("Krx", 0), 0u);
      }
      EXPECT_EQ(stream.GetSize(), 1200000);
      std::vector<uint8_t> back(chunk.size());
      stream.Seek(600000, kKrxSeekBeginning);
      EXPECT_EQ(stream.Read(back.data(), static_cast<int64_t>(back.size())), 600000);
      EXPECT_EQ(back, chunk);
    }
    if (!disabled) EXPECT_FALSE(std::filesystem::exists(fileName));
  }
}

}  // namespace
}  // namespace krx
