// The page cache: private page sets per session, commit as one batch,
// roll back, sharing rules, eviction and the interrupted commit.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "KrxBytes.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxDiskPageManager.h"
#include "KrxException.h"
#include "KrxSortedPageList.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

class PageCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("cache.krx");
    pm_.CreateDatabaseFile(path_, {}, 8, 4096);
  }

  // Allocates a record page holding text at data offset 0.
  int32_t NewPage(int32_t session, const char* text) {
    TKrxHeldPage page(pm_.AllocatePage(session, 10));
    std::memcpy(page->Data(), text, std::strlen(text) + 1);
    page->MarkDirty();
    return page->PageNo();
  }

  std::string OnDisk(int32_t pageNo) {
    char text[32] = {};
    pm_.ReadPageBytes(pageNo, 40, reinterpret_cast<uint8_t*>(text), sizeof text - 1);
    return text;
  }

  std::string Cached(int32_t session, int32_t pageNo) {
    TKrxHeldPage page(pm_.GetPage(session, pageNo));
    return reinterpret_cast<const char*>(page->Data());
  }

  void Change(int32_t session, int32_t pageNo, const char* text) {
    TKrxHeldPage page(pm_.GetPage(session, pageNo));
    std::memcpy(page->Data(), text, std::strlen(text) + 1);
    page->MarkDirty();
  }

  test::TempDir dir_;
  std::string path_;
  TKrxDiskPageManager pm_;
};

TEST_F(PageCacheTest, ChangesStayPrivateUntilCommit) {
  int32_t p = NewPage(0, "first");
  EXPECT_EQ(OnDisk(p), "");
  pm_.Commit(0);
  EXPECT_EQ(OnDisk(p), "first");
  EXPECT_EQ(pm_.ReloadMainHeader().commitCounter, 1);
  EXPECT_EQ(pm_.MainHeader().fileState, 2);

  Change(0, p, "second");
  EXPECT_EQ(pm_.PrivatePageCount(0), 1u);
  EXPECT_EQ(Cached(0, p), "second");
  EXPECT_EQ(Cached(1, p), "first");  // another session reads the committed page
  EXPECT_EQ(OnDisk(p), "first");
  pm_.Commit(0);
  EXPECT_EQ(OnDisk(p), "second");
  EXPECT_EQ(Cached(1, p), "second");
  EXPECT_EQ(pm_.ReloadMainHeader().commitCounter, 2);
}

TEST_F(PageCacheTest, WriteCounterStartsRandomAndCountsWrites) {
  int32_t p = NewPage(0, "x");
  int32_t start;
  {
    TKrxHeldPage page(pm_.GetPage(0, p));
    start = page->GetWriteCounter();
    EXPECT_GE(start, 0);
    EXPECT_LE(start, 0x3FFFFFFE);
  }
  pm_.Commit(0);
  uint8_t counter[4];
  pm_.ReadPageBytes(p, 4, counter, 4);
  EXPECT_EQ(GetI32(counter, 0), start + 1);
  EXPECT_EQ(KrxPageHeader::NextWriteCounter(0x7FFFFFFC), 0);
  EXPECT_EQ(KrxPageHeader::NextWriteCounter(0x7FFFFFFB), 0x7FFFFFFC);
  EXPECT_EQ(KrxPageHeader::NextWriteCounter(0x7FFFFFFF), 0);
}

TEST_F(PageCacheTest, RollbackKeepsEarlierCommitsAndFreesNewPages) {
  int32_t kept = NewPage(0, "kept");
  pm_.Commit(0);
  Change(0, kept, "changed");
  int32_t added = NewPage(0, "added");
  EXPECT_TRUE(pm_.FreeSpace().IsPageUsed(added));
  pm_.Rollback(0);
  EXPECT_FALSE(pm_.HasChanges(0));
  EXPECT_EQ(OnDisk(kept), "kept");
  EXPECT_EQ(Cached(0, kept), "kept");
  EXPECT_FALSE(pm_.FreeSpace().IsPageUsed(added));
  EXPECT_EQ(NewPage(0, "again"), added);  // the number is free again
}

TEST_F(PageCacheTest, PageHeldByAnotherSessionIsRefused) {
  int32_t p = NewPage(0, "x");
  pm_.Commit(0);
  TKrxHeldPage held(pm_.GetPage(0, p));
  try {
    pm_.GetPage(1, p);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Page is used by other session");
  }
  TKrxHeldPage again(pm_.GetPage(0, p));  // the same session may hold it twice
  EXPECT_EQ(again->UseCount(), 2);
}

TEST_F(PageCacheTest, SessionRulesAndPageTypeChecks) {
  EXPECT_THROW(pm_.GetPage(-1, 2), EKrxException);
  try {
    pm_.AllocatePage(-1, 10);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Invalid Session ID");
  }
  try {
    pm_.GetPage(0, -1);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Invalid PageNo = -1");
  }
  int32_t p = NewPage(0, "x");
  pm_.Commit(0);
  pm_.SetCacheCapacity(0);  // forces the next get to read from disk
  pm_.SetCacheCapacity(100);
  try {
    pm_.GetPage(0, p, false, 8);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Invalid page type. Possibly data is corrupted. Expected type 8, but found 10");
  }
}

TEST_F(PageCacheTest, CommitRefusesPagesStillHeld) {
  int32_t p = NewPage(0, "x");
  TKrxHeldPage held(pm_.GetPage(0, p));
  try {
    pm_.Commit(0);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot write used page");
  }
}

TEST_F(PageCacheTest, CacheEvictsLeastRecentlyUsedBeyondCapacity) {
  int32_t a = NewPage(0, "a"), b = NewPage(0, "b"), c = NewPage(0, "c");
  pm_.Commit(0);
  pm_.SetCacheCapacity(2);
  EXPECT_LE(pm_.CachedPageCount(), 2u);
  Cached(0, a);
  Cached(0, b);
  Cached(0, c);  // a goes
  EXPECT_EQ(pm_.CachedPageCount(), 2u);
  EXPECT_EQ(Cached(0, a), "a");  // read from disk again
}

TEST_F(PageCacheTest, InterruptedCommitIsUndoneAndNeedsNoRepair) {
  int32_t p = NewPage(0, "before");
  pm_.Commit(0);
  Change(0, p, "after");
  pm_.SetBeforeCommitCompleteHook([] { throw std::runtime_error("killed"); });
  EXPECT_THROW(pm_.Commit(0), std::runtime_error);
  EXPECT_EQ(pm_.HeaderLockCount(), 0);
  pm_.CloseDatabaseFile();

  std::ifstream in(path_, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(b[42], 2);                  // closed cleanly: the journal put the old pages back
  EXPECT_EQ(GetI32(b.data(), 38), 1);  // the counter of the complete commit only

  TKrxDiskPageManager again;
  bool multiUser = false, readOnly = false;
  EXPECT_FALSE(again.OpenDatabaseFile(path_, {}, multiUser, false, readOnly));
  char text[32] = {};
  again.ReadPageBytes(p, 40, reinterpret_cast<uint8_t*>(text), sizeof text - 1);
  EXPECT_STREQ(text, "before");
  again.CloseDatabaseFile();
}

TEST_F(PageCacheTest, DatabaseObjectsOfTheEngineSessionCommitAsOne) {
  pm_.CloseDatabaseFile();
  auto data = TKrxDiskDatabaseData::Acquire(dir_.File("whole.krx"));
  data->CreateDatabase({}, 8, 4096, 64);
  TKrxPageManager& pages = data->PageManager();
  int32_t p;
  {
    TKrxHeldPage page(pages.AllocatePage(0, 11));
    p = page->PageNo();
    page->Data()[0] = 42;
    page->MarkDirty();
  }
  data->Commit(0, true);
  data->Close();
  bool multiUser = false, readOnly = false;
  data->Open({}, multiUser, false, readOnly);
  TKrxHeldPage page(data->PageManager().GetPage(0, p, false, 11));
  EXPECT_EQ(page->Data()[0], 42);
  page.Reset();
  data->Close();
}

TEST(PageCacheSortedListTest, KeepsPageOrderAndReportsMisses) {
  TKrxSortedPageList list;
  for (int32_t n : {30, 10, 20, 5}) list.Insert(std::make_unique<TKrxPage>(nullptr, n, 64, 40));
  ASSERT_EQ(list.Count(), 4u);
  EXPECT_EQ(list.At(0)->PageNo(), 5);
  EXPECT_EQ(list.At(3)->PageNo(), 30);
  EXPECT_NE(list.Find(20), nullptr);
  EXPECT_EQ(list.Find(21), nullptr);
  EXPECT_EQ(list.LeastRecentlyUsedFree()->PageNo(), 30);
  list.Touch(30);
  EXPECT_EQ(list.LeastRecentlyUsedFree()->PageNo(), 10);
  try {
    list.Delete(7);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "TSortedPageList.Delete - element not found, key = 7, itemCount = 4");
  }
  list.Clear();
  try {
    list.Delete(7);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "TSortedPageList.Delete - no elements in array!");
  }
}

}  // namespace
}  // namespace krx

namespace krx {
namespace {

// Two page managers on one file stand for two processes in multi-user mode.
TEST(PageCacheMultiUserTest, PageChangedElsewhereIsReadAgainWhenValidated) {
  test::TempDir dir;
  std::string path = dir.File("mu.krx");
  int32_t p;
  {
    auto data = TKrxDiskDatabaseData::Acquire(path);
    data->CreateDatabase({}, 8, 4096, 8);
    TKrxHeldPage page(data->PageManager().AllocatePage(0, 10));
    p = page->PageNo();
    page->Data()[0] = 'A';
    page->MarkDirty();
    page.Reset();
    data->Commit(0, false);
    data->Close();
  }
  TKrxDiskPageManager one, two;
  bool multiUser = true, readOnly = false;
  one.OpenDatabaseFile(path, {}, multiUser, false, readOnly);
  ASSERT_TRUE(multiUser);
  two.OpenDatabaseFile(path, {}, multiUser, false, readOnly);
  {
    TKrxHeldPage page(one.GetPage(1, p));
    EXPECT_EQ(page->Data()[0], 'A');
  }
  {
    TKrxHeldPage page(two.GetPage(3, p));
    page->Data()[0] = 'B';
    page->MarkDirty();
  }
  two.Commit(3);
  {
    TKrxHeldPage stale(one.GetPage(1, p, false));
    EXPECT_EQ(stale->Data()[0], 'A');  // no validation: the cached copy
  }
  TKrxHeldPage fresh(one.GetPage(1, p, true));
  EXPECT_EQ(fresh->Data()[0], 'B');
  fresh.Reset();
  one.CloseDatabaseFile();
  two.CloseDatabaseFile();
}

}  // namespace
}  // namespace krx
