// Free-space maps: map page positions, growth by steps past map pages,
// release and the shrink rule, and the map page bytes.
#include <gtest/gtest.h>

#include <vector>

#include "KrxBytes.h"
#include "KrxDiskPageManager.h"
#include "KrxException.h"
#include "KrxFreeSpaceManager.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

// A map store without a file: enough to ask where map pages are.
class NoStore : public IKrxMapPageStore {
 public:
  void ReadMapPage(int32_t, uint16_t, uint8_t*) override {}
  void WriteMapPage(int32_t, uint8_t*) override {}
  void ReadPageCounts(int32_t&, int32_t&) override {}
  void WritePageCounts(int32_t, int32_t) override {}
  void ResizeToPages(int32_t) override {}
  void MarkPageReleased(int32_t) override {}
};

TEST(StorageFreeSpaceTest, MapPagesOfPageSize4096AndEightPageExtents) {
  NoStore store;
  TKrxDatabaseFreeSpaceManager fsm(store, 4096, 8, -1, 0);
  EXPECT_EQ(fsm.PagesPerPFS(), 32448);
  EXPECT_EQ(fsm.PagesPerEAM(), 129792);
  const int32_t kMapPages[] = {0, 1, 32448, 64896, 97344, 129792, 129793, 259584, 259585};
  for (int32_t p : kMapPages) EXPECT_TRUE(fsm.IsMapPage(p)) << p;
  const int32_t kOrdinary[] = {2, 3, 32447, 32449, 64897, 129791, 129794, 259583, 259586};
  for (int32_t p : kOrdinary) EXPECT_FALSE(fsm.IsMapPage(p)) << p;
  EXPECT_EQ(fsm.EAMPageNo(0), 1);
  EXPECT_EQ(fsm.EAMPageNo(1), 129793);
  EXPECT_EQ(fsm.EAMPageNo(2), 259585);
}

// A small page size (D = 24: 192 pages per PFS, 96 * 4 = 384 pages per EAM)
// lets a test cross map page boundaries with few pages.
class StorageFreeSpaceFileTest : public ::testing::Test {
 protected:
  static constexpr uint16_t kPageSize = 64;
  static constexpr uint16_t kExtent = 4;

  void SetUp() override {
    pm_.CreateDatabaseFile(dir_.File("small.krx"), {}, kExtent, kPageSize);
  }

  int32_t Allocate() {
    TKrxHeldPage page(pm_.AllocatePage(0, 10));
    return page->PageNo();
  }

  bool Used(int32_t p) { return pm_.FreeSpace().IsPageUsed(p); }

  test::TempDir dir_;
  TKrxDiskPageManager pm_;
};

TEST_F(StorageFreeSpaceFileTest, GrowthStepsSkipMapPagesAndWriteThem) {
  EXPECT_EQ(Allocate(), 2);
  EXPECT_EQ(pm_.MainHeader().totalPageCount, 6);
  EXPECT_EQ(pm_.FileSize(), 380 + 6 * kPageSize);
  EXPECT_EQ(Allocate(), 3);
  EXPECT_EQ(Allocate(), 4);
  EXPECT_EQ(Allocate(), 5);
  EXPECT_EQ(Allocate(), 6);  // grows by max(6 div 10, E) = 4
  EXPECT_EQ(pm_.MainHeader().totalPageCount, 10);

  // Fill up to the second PFS page at 192: it is skipped and written.
  int32_t last = 6;
  while (last < 191) last = Allocate();
  EXPECT_EQ(last, 191);
  EXPECT_EQ(Allocate(), 193);
  const TKrxMainHeader& h = pm_.ReloadMainHeader();
  EXPECT_EQ(h.lastUsedPageNo, 193);
  EXPECT_GT(h.totalPageCount, 193);
  EXPECT_TRUE(Used(192));
  EXPECT_TRUE(Used(193));
  EXPECT_FALSE(Used(194));

  // The PFS page at 192 carries its own bit and type 3.
  std::vector<uint8_t> page(kPageSize);
  pm_.ReadPageBytes(192, 0, page.data(), kPageSize);
  EXPECT_EQ(GetU16(page.data(), 8), 3);
  EXPECT_EQ(page[40], 0x03);  // pages 192 and 193

  // Growing past page 384 writes a PFS (384) and an EAM page (385); from
  // then on the search starts in the EAM page over the end of the file, so
  // the pages after 385 come before the free ones below 384.
  while (pm_.MainHeader().totalPageCount <= 384) {
    last = Allocate();
    ASSERT_FALSE(pm_.FreeSpace().IsMapPage(last)) << last;
  }
  int32_t afterGrowth = Allocate();
  EXPECT_EQ(afterGrowth, 386);
  pm_.ReadPageBytes(385, 0, page.data(), kPageSize);
  EXPECT_EQ(GetU16(page.data(), 8), 2);
  pm_.ReadPageBytes(384, 0, page.data(), kPageSize);
  EXPECT_EQ(GetU16(page.data(), 8), 3);
  EXPECT_TRUE(Used(384));
  EXPECT_TRUE(Used(385));
  EXPECT_FALSE(Used(last + 1));
  EXPECT_FALSE(Used(383));
}

TEST_F(StorageFreeSpaceFileTest, ExtentStatesFollowTheirPages) {
  for (int i = 0; i < 6; ++i) Allocate();  // pages 2..7: extents 0 and 1 full
  EXPECT_EQ(pm_.FreeSpace().ExtentState(0), 3);
  EXPECT_EQ(pm_.FreeSpace().ExtentState(4), 3);
  pm_.DeletePage(0, 5);
  pm_.Commit(0);
  EXPECT_EQ(pm_.FreeSpace().ExtentState(4), 1);
  EXPECT_FALSE(Used(5));
  EXPECT_EQ(Allocate(), 5);  // a freed page is found again before growing
  EXPECT_EQ(pm_.FreeSpace().ExtentState(4), 3);
}

TEST_F(StorageFreeSpaceFileTest, ReleaseLowersLastUsedAndCutsOnlyWholeSteps) {
  EXPECT_EQ(Allocate(), 2);
  EXPECT_EQ(Allocate(), 3);
  pm_.Commit(0);
  pm_.DeletePage(0, 3);
  pm_.Commit(0);
  // Free tail 6 - 2 - 1 = 3 < step 6: no cut.
  EXPECT_EQ(pm_.ReloadMainHeader().lastUsedPageNo, 2);
  EXPECT_EQ(pm_.MainHeader().totalPageCount, 6);

  int32_t last = 0;
  while (last < 30) last = Allocate();
  pm_.Commit(0);
  int32_t total = pm_.ReloadMainHeader().totalPageCount;
  int32_t step = std::max(total / 10, 4);
  for (int32_t p = 30; p > 10; --p) pm_.DeletePage(0, p);
  pm_.Commit(0);
  const TKrxMainHeader& h = pm_.ReloadMainHeader();
  EXPECT_EQ(h.lastUsedPageNo, 10);
  int32_t freeTail = total - 10 - 1;
  EXPECT_EQ(h.totalPageCount, total - freeTail / step * step);
  EXPECT_EQ(pm_.FileSize(), 380 + int64_t{h.totalPageCount} * kPageSize);
  // A released page carries the released mark on disk.
  uint8_t counter[4];
  pm_.ReadPageBytes(7, 4, counter, 4);
  EXPECT_NE(GetI32(counter, 0), 0x7FFFFFFF);
  pm_.DeletePage(0, 7);
  pm_.Commit(0);
  pm_.ReadPageBytes(7, 4, counter, 4);
  EXPECT_EQ(GetI32(counter, 0), 0x7FFFFFFF);
  EXPECT_EQ(pm_.ReloadMainHeader().lastUsedPageNo, 10);
}

TEST_F(StorageFreeSpaceFileTest, MapPagesAreRefusedBySessionOperations) {
  Allocate();
  for (int32_t p : {0, 1}) {
    try {
      pm_.GetPage(0, p);
      FAIL();
    } catch (const EKrxException& e) {
      EXPECT_EQ(e.Message(), "Cannot delete PFS or EAM page. PageNo=" + std::to_string(p));
    }
    EXPECT_THROW(pm_.DeletePage(0, p), EKrxException);
  }
}

TEST_F(StorageFreeSpaceFileTest, ReleasingAFreePageOrOutsideTheFileFails) {
  Allocate();
  pm_.Commit(0);
  pm_.DeletePage(0, 4);
  try {
    pm_.Commit(0);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Page: 4 already free");
  }
  pm_.Rollback(0);  // forgets the failed request
  pm_.DeletePage(0, 600);
  try {
    pm_.Commit(0);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Page: 600 cannot be addressed. TotalPageCount=6");
  }
}

TEST_F(StorageFreeSpaceFileTest, TrimCutsAfterTheLastUsedPage) {
  for (int i = 0; i < 5; ++i) Allocate();  // 2..6, total 10
  pm_.Commit(0);
  EXPECT_EQ(pm_.ReloadMainHeader().totalPageCount, 10);
  pm_.TrimFile();
  EXPECT_EQ(pm_.ReloadMainHeader().totalPageCount, 7);
  EXPECT_EQ(pm_.FileSize(), 380 + 7 * kPageSize);
  EXPECT_EQ(Allocate(), 7);
}

}  // namespace
}  // namespace krx
