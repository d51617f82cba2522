// Free-space maps of a database file. D = PageDataSize, E = ExtentPageCount.
//
// PFS page: one bit per page for 8*D consecutive pages, bit set = in use.
//   Page p's bit is bit (p mod 8D) mod 8 (lowest first) of data byte
//   (p mod 8D) div 8 of the PFS page at (p div 8D)*8D, the first page of the
//   interval it covers: pages 0, 8D, 16D, ... are PFS pages.
// EAM page: two bits per extent of E pages for 4*D extents (4*D*E pages).
//   Extent x's bits are bits 2(x mod 4) and 2(x mod 4)+1 of data byte
//   (x mod 4D) div 4; state 0 = not set up, 1 = has free pages, 3 = full
//   (the higher bit is the full bit). EAM page k is at k*4*D*E, or one page
//   later when that page is a PFS page; page 1 is the first EAM page.
#pragma once

#include <cstdint>
#include <vector>

namespace krx {

// What the free-space maps need from the file underneath.
class IKrxMapPageStore {
 public:
  virtual ~IKrxMapPageStore() = default;
  // Whole pages (header and data) of a map page; reading checks its type.
  virtual void ReadMapPage(int32_t pageNo, uint16_t expectedType, uint8_t* page) = 0;
  virtual void WriteMapPage(int32_t pageNo, uint8_t* page) = 0;
  // The counts as stored in the main header.
  virtual void ReadPageCounts(int32_t& lastUsedPageNo, int32_t& totalPageCount) = 0;
  virtual void WritePageCounts(int32_t lastUsedPageNo, int32_t totalPageCount) = 0;
  // Makes the file hold exactly totalPageCount pages.
  virtual void ResizeToPages(int32_t totalPageCount) = 0;
  // Marks a page released on disk (WriteCounter 0x7FFFFFFF).
  virtual void MarkPageReleased(int32_t pageNo) = 0;
};

class TKrxDatabaseFreeSpaceManager {
 public:
  TKrxDatabaseFreeSpaceManager(IKrxMapPageStore& store, uint16_t pageSize, uint16_t extentPageCount,
                               int32_t lastUsedPageNo, int32_t totalPageCount);

  // A free page number, marked in use; the file grows when none is free.
  // The caller holds the header lock.
  int32_t AllocatePageNo();
  // Marks the page free, lowers LastUsedPageNo and cuts the file by whole
  // growth steps. The caller holds the header lock.
  void ReleasePageNo(int32_t pageNo);
  bool IsMapPage(int32_t pageNo) const;
  bool IsPageUsed(int32_t pageNo);

  int32_t LastUsedPageNo() const { return lastUsedPageNo_; }
  int32_t TotalPageCount() const { return totalPageCount_; }
  int32_t PagesPerPFS() const { return pagesPerPFS_; }
  int32_t PagesPerEAM() const { return pagesPerEAM_; }
  // The growth step for the current size: max(total div 10, E), 6 when empty.
  int32_t GrowthStep() const;
  // Page number of the k-th EAM page.
  int32_t EAMPageNo(int32_t k) const;
  // Extent state of the extent holding pageNo (0, 1 or 3).
  uint8_t ExtentState(int32_t pageNo);

 private:
  int32_t PFSPageFor(int32_t pageNo) const { return pageNo / pagesPerPFS_ * pagesPerPFS_; }
  int32_t EAMIndexFor(int32_t pageNo) const { return pageNo / pagesPerEAM_; }
  bool IsPFSPage(int32_t pageNo) const { return pageNo % pagesPerPFS_ == 0; }
  bool IsEAMPage(int32_t pageNo) const;
  void ReloadCounts();
  int32_t FindFreeInEAM(int32_t eamIndex);
  int32_t Extend();
  void SetPageBit(int32_t pageNo, bool used);
  void UpdateExtentState(int32_t pageNo);
  int32_t HighestUsedOrdinaryPage();
  // Cached map page buffers of one operation.
  uint8_t* MapPage(int32_t pageNo, uint16_t type);
  void WriteMapPageNow(int32_t pageNo);
  void ForgetMapPages() { mapPages_.clear(); }

  struct MapPageBuffer {
    int32_t pageNo;
    std::vector<uint8_t> bytes;
  };

  IKrxMapPageStore& store_;
  int32_t pageSize_;
  int32_t dataSize_;
  int32_t extentPageCount_;
  int32_t pagesPerPFS_;     // 8*D
  int32_t extentsPerEAM_;   // 4*D
  int32_t pagesPerEAM_;     // 4*D*E
  int32_t lastUsedPageNo_;
  int32_t totalPageCount_;
  std::vector<MapPageBuffer> mapPages_;
};

}  // namespace krx
