// Internal files: transacted chains through the session cache (raw and
// compressed), direct files with their lock positions, and the table list.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "KrxBytes.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxInternalDBDirectAccessFile.h"
#include "KrxInternalDBTransactedAccessFile.h"
#include "KrxMemoryManager.h"
#include "KrxTableListFile.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

class InternalFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pm_.CreateDatabaseFile(dir_.File("files.krx"), {}, 8, 4096);
    TKrxHeldPage first(pm_.AllocatePage(0, 4));  // keep page 2 taken, as a database does
    first.Reset();
    pm_.Commit(0);
  }

  std::vector<uint8_t> Pattern(size_t n) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 251);
    return v;
  }

  int32_t ChainLength(int32_t start) {
    int32_t n = 0;
    for (int32_t p = start; p != -1; ++n) {
      TKrxHeldPage page(pm_.GetPage(0, p));
      p = page->GetNextPageNo();
    }
    return n;
  }

  test::TempDir dir_;
  TKrxDiskPageManager pm_;
};

TEST_F(InternalFileTest, TransactedFileGrowsAndShrinksItsChain) {
  TKrxInternalDBTransactedAccessFile file(pm_, 8);
  int32_t start = file.Create(0);
  std::vector<uint8_t> big = Pattern(4056 * 2);  // + 10 header bytes: 3 pages
  file.WriteFile(0, big.data(), 0, 0, static_cast<int32_t>(big.size()));
  pm_.Commit(0);
  EXPECT_EQ(ChainLength(start), 3);
  EXPECT_EQ(file.ReadAll(0), big);
  {
    TKrxHeldPage first(pm_.GetPage(0, start));
    EXPECT_EQ(first->Data()[0], 10);
    EXPECT_EQ(GetI32(first->Data(), 1), 4056 * 2);
    EXPECT_EQ(GetI32(first->Data(), 5), 4056 * 2);
    EXPECT_EQ(first->Data()[9], 0);
    EXPECT_EQ(first->Data()[10], big[0]);
  }
  int32_t totalBefore = pm_.ReloadMainHeader().lastUsedPageNo;
  std::vector<uint8_t> small = Pattern(100);
  file.WriteFile(0, small.data(), 0, 0, 100);
  pm_.Commit(0);
  EXPECT_EQ(ChainLength(start), 1);
  EXPECT_EQ(file.ReadAll(0), small);
  EXPECT_LT(pm_.ReloadMainHeader().lastUsedPageNo, totalBefore);  // the cut pages are free again

  std::vector<uint8_t> out(200);
  try {
    file.ReadFile(0, out.data(), false, 200);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot Read internal file. FileSize=100. ReadSize=200");
  }
}

TEST_F(InternalFileTest, CompressedContentIsStoredAsOneZlibBuffer) {
  TKrxInternalDBTransactedAccessFile file(pm_, 8);
  int32_t start = file.Create(0);
  std::vector<uint8_t> text(20000, 'a');
  file.WriteFile(0, text.data(), 1, 1, static_cast<int32_t>(text.size()));
  pm_.Commit(0);
  EXPECT_EQ(file.GetSize(0), 20000);
  EXPECT_EQ(file.ReadAll(0), text);
  TKrxHeldPage first(pm_.GetPage(0, start));
  EXPECT_LT(GetI32(first->Data(), 1), 1000);
  EXPECT_EQ(GetI32(first->Data(), 5), 20000);
  EXPECT_EQ(first->Data()[9], 1);
  EXPECT_EQ(first->Data()[10], 0x78);  // zlib stream header
  // Corrupt the stored stream.
  first->Data()[12] ^= 0xFF;
  first->Data()[13] ^= 0xFF;
  first->MarkDirty();
  first.Reset();
  try {
    file.ReadAll(0);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(std::string(e.what()), "Table file decompression error. Probably table is corrupted - Native error: 20189");
  }
}

TEST_F(InternalFileTest, EmptyContentWithAnAlgorithmFailsAndLeavesTheFile) {
  TKrxInternalDBTransactedAccessFile file(pm_, 8);
  file.Create(0);
  std::vector<uint8_t> content = Pattern(50);
  file.WriteFile(0, content.data(), 0, 0, 50);
  try {
    file.WriteFile(0, content.data(), 1, 1, 0);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(std::string(e.what()), "Table file compression error - Native error: 20187");
  }
  EXPECT_EQ(file.ReadAll(0), content);
  file.WriteFile(0, nullptr, 0, 0, 0);  // without an algorithm: stored raw
  EXPECT_EQ(file.GetSize(0), 0);
}

TEST_F(InternalFileTest, ClosedFileNamesTheOperation) {
  TKrxInternalDBTransactedAccessFile file(pm_, 8);
  try {
    file.GetSize(0);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot perform this operation (GetSize) on closed internal file");
  }
  file.Create(0);
  EXPECT_THROW(file.Create(0), EKrxException);
}

TEST_F(InternalFileTest, DirectFileBypassesTheCacheAndLocksItsContentBytes) {
  TKrxInternalDBDirectAccessFile file(pm_, 7);
  int32_t start = file.Create(5000);  // 5010 bytes: two pages
  pm_.Commit(kKrxEngineSession);
  ASSERT_EQ(file.PageNumbers().size(), 2u);

  TKrxInternalDBDirectAccessFile opened(pm_, 7);
  opened.Open(start);
  EXPECT_EQ(opened.GetSize(), 5000);
  EXPECT_EQ(opened.PageNumbers(), file.PageNumbers());
  std::vector<uint8_t> bytes = Pattern(100);
  opened.DirectWriteBuffer(bytes.data(), 100, 4000);  // crosses into the second page
  std::vector<uint8_t> back(100);
  file.DirectReadBuffer(back.data(), 100, 4000);
  EXPECT_EQ(back, bytes);
  // Content position 4046 is the first byte of the second page's data.
  uint8_t raw = 0;
  pm_.ReadPageBytes(file.PageNumbers()[1], 40, &raw, 1);
  EXPECT_EQ(raw, bytes[46]);

  try {
    file.DirectWriteBuffer(bytes.data(), 10, 4995);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot write after end of file. FileSize=5000. Position=4995, Count=10");
  }
  try {
    file.DirectReadBuffer(back.data(), 1, 5001);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Seek position bigger then file size. FileSize=5000. Position=5001");
  }

  // Locks: position x of the first page sits at 40 + 10 + x in the page.
  EXPECT_TRUE(file.LockByte(3));
  EXPECT_TRUE(pm_.IsPageByteLocked(start, 53));
  EXPECT_FALSE(pm_.IsPageByteLocked(start, 52));
  EXPECT_TRUE(file.LockFile());
  EXPECT_TRUE(pm_.IsPageByteLocked(start, 40));
  EXPECT_TRUE(file.LockByte(4046));
  EXPECT_TRUE(pm_.IsPageByteLocked(file.PageNumbers()[1], 40));
  EXPECT_TRUE(opened.IsRegionLocked(4040, 10));
  EXPECT_FALSE(opened.IsRegionLocked(4047, 10));
  EXPECT_TRUE(file.UnlockByte(3));
  EXPECT_FALSE(pm_.IsPageByteLocked(start, 53));

  TKrxInternalDBTransactedAccessFile wrongType(pm_, 8);
  TKrxInternalDBDirectAccessFile wrong(pm_, 5);
  try {
    wrong.Open(start);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Invalid PageType found: 7 but wanted: 5");
  }
}

TEST(InternalFileTableListTest, EntriesAreStoredByTheByteAndNamesIgnoreCase) {
  test::TempDir dir;
  auto data = TKrxDiskDatabaseData::Acquire(dir.File("list.krx"));
  data->CreateDatabase({}, 8, 4096, 10);
  TKrxTableListFile& list = data->TableList();
  list.Add(kKrxEngineSession, {"cqsalebill", 7, 11, 12, 13});
  list.Add(kKrxEngineSession, {"cqproduct", 8, 21, 22, 23});
  try {
    list.Add(kKrxEngineSession, {"CQSALEBILL", 9, 1, 1, 1});
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot create table. Table 'CQSALEBILL' already exists");
  }
  data->Commit(kKrxEngineSession, false);

  TKrxInternalDBTransactedAccessFile raw(data->PageManager(), 6);
  raw.Open(list.StartPageNo());
  std::vector<uint8_t> bytes = raw.ReadAll(0);
  ASSERT_EQ(bytes.size(), 2 * 272u);
  EXPECT_EQ(bytes[0], 10);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[1]), 10), "cqsalebill");
  EXPECT_EQ(GetI32(bytes.data(), 256), 7);
  EXPECT_EQ(GetI32(bytes.data(), 260), 11);
  EXPECT_EQ(GetI32(bytes.data(), 264), 12);
  EXPECT_EQ(GetI32(bytes.data(), 268), 13);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(&bytes[273]), 9), "cqproduct");

  list.Rename(kKrxEngineSession, "CqProduct", "cqgoods");
  list.Delete(kKrxEngineSession, "CQSALEBILL");
  try {
    list.Delete(kKrxEngineSession, "nothing");
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Table 'nothing' not exists.");
  }
  data->Commit(kKrxEngineSession, false);
  data->Close();
  bool multiUser = false, readOnly = false;
  data->Open({}, multiUser, false, readOnly);
  EXPECT_EQ(data->TableList().TableNames(), std::vector<std::string>{"cqgoods"});
  TKrxTableListEntry entry;
  ASSERT_TRUE(data->TableList().Find("CQGOODS", entry));
  EXPECT_EQ(entry.tableID, 8);
  EXPECT_EQ(entry.locksPageNo, 23);
  data->Close();
}

TEST(InternalFileMemoryManagerTest, GuardsCatchOverrunsAndForeignPointers) {
  TKrxMemoryManager& mm = TKrxMemoryManager::Instance();
  for (size_t size : {size_t{16}, size_t{100000}, size_t{2000000}}) {  // heap, global heap, page allocator
    uint8_t* block = mm.Allocate(size);
    EXPECT_EQ(TKrxMemoryManager::BlockSize(block), size);
    block[size - 1] = 1;
    mm.Free(block);
  }
  uint8_t* block = mm.Allocate(32);
  block[32] ^= 0xFF;  // one past the end: the trailing guard
  try {
    mm.Free(block);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Memory overrun detected");
  }
  block[32] ^= 0xFF;
  mm.Free(block);
  std::vector<uint8_t> foreign(64, 0);
  try {
    mm.Free(foreign.data() + 16);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Invalid pointer");
  }
  try {
    mm.Allocate(0);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot allocate 0 bytes");
  }
  size_t before = mm.AllocatedBytes();
  mm.SetLimit(before + 1000);
  try {
    mm.Allocate(2000);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Memory limit exceeded (Limit = " + std::to_string(before + 1000) + " bytes)");
  }
  mm.SetLimit(0);
}

}  // namespace
}  // namespace krx
