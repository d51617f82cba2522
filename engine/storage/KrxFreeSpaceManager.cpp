#include "KrxFreeSpaceManager.h"

#include <algorithm>
#include <cstring>

#include "KrxBytes.h"
#include "KrxException.h"
#include "KrxPage.h"

namespace krx {

namespace {
constexpr uint8_t kExtentInUse = 1;
constexpr uint8_t kExtentFull = 3;
}  // namespace

TKrxDatabaseFreeSpaceManager::TKrxDatabaseFreeSpaceManager(IKrxMapPageStore& store, uint16_t pageSize,
                                                           uint16_t extentPageCount, int32_t lastUsedPageNo,
                                                           int32_t totalPageCount)
    : store_(store),
      pageSize_(pageSize),
      dataSize_(pageSize - static_cast<int32_t>(kKrxPageHeaderSize)),
      extentPageCount_(std::max<int32_t>(extentPageCount, 1)),
      pagesPerPFS_(8 * dataSize_),
      extentsPerEAM_(4 * dataSize_),
      pagesPerEAM_(4 * dataSize_ * extentPageCount_),
      lastUsedPageNo_(lastUsedPageNo),
      totalPageCount_(totalPageCount) {}

bool TKrxDatabaseFreeSpaceManager::IsMapPage(int32_t p) const {
  if (p < 0) return false;
  if (p % pagesPerPFS_ == 0 || p % pagesPerEAM_ == 0) return true;
  return p >= 1 && (p - 1) % pagesPerPFS_ == 0 && (p - 1) % pagesPerEAM_ == 0;
}

bool TKrxDatabaseFreeSpaceManager::IsEAMPage(int32_t p) const {
  if (p < 0) return false;
  if (p % pagesPerEAM_ == 0 && p % pagesPerPFS_ != 0) return true;
  return p >= 1 && (p - 1) % pagesPerPFS_ == 0 && (p - 1) % pagesPerEAM_ == 0;
}

int32_t TKrxDatabaseFreeSpaceManager::EAMPageNo(int32_t k) const {
  int32_t p = k * pagesPerEAM_;
  return p % pagesPerPFS_ == 0 ? p + 1 : p;
}

int32_t TKrxDatabaseFreeSpaceManager::GrowthStep() const {
  if (totalPageCount_ <= 0) return 6;
  return std::max(totalPageCount_ / 10, extentPageCount_);
}

void TKrxDatabaseFreeSpaceManager::ReloadCounts() { store_.ReadPageCounts(lastUsedPageNo_, totalPageCount_); }

uint8_t* TKrxDatabaseFreeSpaceManager::MapPage(int32_t pageNo, uint16_t type) {
  for (MapPageBuffer& m : mapPages_)
    if (m.pageNo == pageNo) return m.bytes.data();
  mapPages_.push_back({pageNo, std::vector<uint8_t>(static_cast<size_t>(pageSize_))});
  uint8_t* bytes = mapPages_.back().bytes.data();
  store_.ReadMapPage(pageNo, type, bytes);
  return bytes;
}

void TKrxDatabaseFreeSpaceManager::WriteMapPageNow(int32_t pageNo) {
  for (MapPageBuffer& m : mapPages_)
    if (m.pageNo == pageNo) store_.WriteMapPage(pageNo, m.bytes.data());
}

bool TKrxDatabaseFreeSpaceManager::IsPageUsed(int32_t pageNo) {
  if (pageNo < 0 || pageNo >= totalPageCount_) return false;
  const uint8_t* pfs = MapPage(PFSPageFor(pageNo), static_cast<uint16_t>(TKrxPageType::PFS)) + kKrxPageHeaderSize;
  int32_t bit = pageNo % pagesPerPFS_;
  bool used = (pfs[bit / 8] >> (bit % 8)) & 1;
  ForgetMapPages();
  return used;
}

void TKrxDatabaseFreeSpaceManager::SetPageBit(int32_t pageNo, bool used) {
  if (pageNo < 0 || pageNo >= totalPageCount_)
    throw EKrxException(KrxError::PageCannotBeAddressed, pageNo, totalPageCount_);
  int32_t pfsNo = PFSPageFor(pageNo);
  uint8_t* data = MapPage(pfsNo, static_cast<uint16_t>(TKrxPageType::PFS)) + kKrxPageHeaderSize;
  int32_t bit = pageNo % pagesPerPFS_;
  uint8_t mask = static_cast<uint8_t>(1u << (bit % 8));
  bool isSet = (data[bit / 8] & mask) != 0;
  if (used && isSet) throw EKrxException(KrxError::PageAlreadyUsed, pageNo);
  if (!used && !isSet) throw EKrxException(KrxError::PageAlreadyFree, pageNo);
  if (used) data[bit / 8] |= mask; else data[bit / 8] &= static_cast<uint8_t>(~mask);
  WriteMapPageNow(pfsNo);
}

uint8_t TKrxDatabaseFreeSpaceManager::ExtentState(int32_t pageNo) {
  int32_t extent = pageNo / extentPageCount_;
  int32_t eamNo = EAMPageNo(extent / extentsPerEAM_);
  if (eamNo >= totalPageCount_) return 0;
  const uint8_t* data = MapPage(eamNo, static_cast<uint16_t>(TKrxPageType::EAM)) + kKrxPageHeaderSize;
  int32_t x = extent % extentsPerEAM_;
  uint8_t state = (data[x / 4] >> (2 * (x % 4))) & 3;
  ForgetMapPages();
  return state;
}

void TKrxDatabaseFreeSpaceManager::UpdateExtentState(int32_t pageNo) {
  int32_t extent = pageNo / extentPageCount_;
  int32_t first = extent * extentPageCount_;
  int used = 0, free = 0;
  for (int32_t p = first; p < first + extentPageCount_ && (used == 0 || free == 0); ++p) {
    int32_t pfsNo = PFSPageFor(p);
    if (pfsNo >= totalPageCount_ || p >= totalPageCount_) {  // no map for it in the file: free
      ++free;
      continue;
    }
    const uint8_t* pfs = MapPage(pfsNo, static_cast<uint16_t>(TKrxPageType::PFS)) + kKrxPageHeaderSize;
    int32_t bit = p % pagesPerPFS_;
    if ((pfs[bit / 8] >> (bit % 8)) & 1) ++used; else ++free;
  }
  uint8_t state = free == 0 ? kExtentFull : kExtentInUse;
  int32_t eamNo = EAMPageNo(extent / extentsPerEAM_);
  if (eamNo >= totalPageCount_) return;
  uint8_t* eam = MapPage(eamNo, static_cast<uint16_t>(TKrxPageType::EAM)) + kKrxPageHeaderSize;
  int32_t x = extent % extentsPerEAM_;
  int shift = 2 * (x % 4);
  uint8_t old = eam[x / 4];
  uint8_t updated = static_cast<uint8_t>((old & ~(3 << shift)) | (state << shift));
  if (updated != old) {
    eam[x / 4] = updated;
    WriteMapPageNow(eamNo);
  }
}

int32_t TKrxDatabaseFreeSpaceManager::FindFreeInEAM(int32_t eamIndex) {
  int32_t eamNo = EAMPageNo(eamIndex);
  if (eamNo >= totalPageCount_) return kKrxNoPage;
  const uint8_t* eam = MapPage(eamNo, static_cast<uint16_t>(TKrxPageType::EAM)) + kKrxPageHeaderSize;
  int32_t firstExtent = eamIndex * extentsPerEAM_;
  for (int32_t x = 0; x < extentsPerEAM_; ++x) {
    int32_t extent = firstExtent + x;
    int32_t firstPage = extent * extentPageCount_;
    if (firstPage >= totalPageCount_) return kKrxNoPage;
    if (((eam[x / 4] >> (2 * (x % 4))) & 2) != 0) continue;  // full bit set
    // The first extent with room: look through the PFS pages over it.
    int32_t lastPage = firstPage + extentPageCount_ - 1;
    for (int32_t pfsNo = PFSPageFor(firstPage); pfsNo <= PFSPageFor(lastPage); pfsNo += pagesPerPFS_) {
      if (pfsNo >= totalPageCount_) break;
      const uint8_t* pfs = MapPage(pfsNo, static_cast<uint16_t>(TKrxPageType::PFS)) + kKrxPageHeaderSize;
      for (int32_t b = 0; b < dataSize_; ++b) {
        if (pfs[b] == 0xFF) continue;
        for (int bit = 0; bit < 8; ++bit) {
          if ((pfs[b] >> bit) & 1) continue;
          int32_t pageNo = pfsNo + b * 8 + bit;
          if (pageNo < totalPageCount_) return pageNo;
          break;
        }
        break;  // the first clear bit decides for this PFS page
      }
    }
    return kKrxNoPage;
  }
  return kKrxNoPage;
}

int32_t TKrxDatabaseFreeSpaceManager::Extend() {
  int32_t newPage = lastUsedPageNo_ + 1;
  while (IsMapPage(newPage)) ++newPage;
  int32_t oldTotal = totalPageCount_;
  int32_t newTotal = oldTotal + GrowthStep();
  if (newTotal < newPage + 1) newTotal = newPage + 1;
  while (IsMapPage(newTotal - 1)) ++newTotal;
  store_.ResizeToPages(newTotal);
  totalPageCount_ = newTotal;

  for (int32_t p = oldTotal; p < newTotal; ++p) {
    if (!IsMapPage(p)) continue;
    bool pfs = IsPFSPage(p);
    mapPages_.push_back({p, std::vector<uint8_t>(static_cast<size_t>(pageSize_))});
    uint8_t* bytes = mapPages_.back().bytes.data();
    KrxPageHeader::Initialise(bytes, static_cast<uint16_t>(pfs ? TKrxPageType::PFS : TKrxPageType::EAM), 0);
    bytes[kKrxPageHeaderSize] = 1;  // PFS: its own bit; EAM: its first extent in use
    WriteMapPageNow(p);
  }
  for (int32_t p = oldTotal; p < newTotal; ++p) {
    if (!IsMapPage(p)) continue;
    if (!IsPFSPage(p)) {
      // A cut file may have left the bit of this EAM page set in a PFS page
      // that stayed; setting it again is harmless.
      int32_t pfsNo = PFSPageFor(p);
      uint8_t* data = MapPage(pfsNo, static_cast<uint16_t>(TKrxPageType::PFS)) + kKrxPageHeaderSize;
      int32_t bit = p % pagesPerPFS_;
      data[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
      WriteMapPageNow(pfsNo);
    }
    UpdateExtentState(p);
  }
  return newPage;
}

int32_t TKrxDatabaseFreeSpaceManager::AllocatePageNo() {
  ReloadCounts();
  int32_t oldLast = lastUsedPageNo_, oldTotal = totalPageCount_;
  int32_t result = kKrxNoPage;
  try {
    if (lastUsedPageNo_ != kKrxNoPage && totalPageCount_ > 0) {
      int32_t lastEAM = EAMIndexFor(totalPageCount_ - 1);
      result = FindFreeInEAM(lastEAM);
      for (int32_t k = 0; result == kKrxNoPage && k <= lastEAM; ++k) result = FindFreeInEAM(k);
    }
    if (result == kKrxNoPage) result = Extend();
    SetPageBit(result, true);
    UpdateExtentState(result);
    if (result > lastUsedPageNo_) lastUsedPageNo_ = result;
    if (lastUsedPageNo_ != oldLast || totalPageCount_ != oldTotal) store_.WritePageCounts(lastUsedPageNo_, totalPageCount_);
  } catch (...) {
    ForgetMapPages();
    throw;
  }
  ForgetMapPages();
  return result;
}

int32_t TKrxDatabaseFreeSpaceManager::HighestUsedOrdinaryPage() {
  if (totalPageCount_ <= 0) return kKrxNoPage;
  for (int32_t pfsNo = PFSPageFor(totalPageCount_ - 1); pfsNo >= 0; pfsNo -= pagesPerPFS_) {
    const uint8_t* pfs = MapPage(pfsNo, static_cast<uint16_t>(TKrxPageType::PFS)) + kKrxPageHeaderSize;
    for (int32_t b = dataSize_ - 1; b >= 0; --b) {
      if (pfs[b] == 0) continue;
      for (int bit = 7; bit >= 0; --bit) {
        if (((pfs[b] >> bit) & 1) == 0) continue;
        int32_t pageNo = pfsNo + b * 8 + bit;
        if (pageNo < totalPageCount_ && !IsMapPage(pageNo)) return pageNo;
      }
    }
  }
  return kKrxNoPage;
}

void TKrxDatabaseFreeSpaceManager::ReleasePageNo(int32_t pageNo) {
  ReloadCounts();
  int32_t oldLast = lastUsedPageNo_, oldTotal = totalPageCount_;
  try {
    if (pageNo < 0 || pageNo >= totalPageCount_)
      throw EKrxException(KrxError::PageCannotBeAddressed, pageNo, totalPageCount_);
    store_.MarkPageReleased(pageNo);
    SetPageBit(pageNo, false);
    UpdateExtentState(pageNo);
    lastUsedPageNo_ = HighestUsedOrdinaryPage();
    int32_t step = GrowthStep();
    int32_t freeTail = totalPageCount_ - lastUsedPageNo_ - 1;
    if (freeTail >= step) {
      totalPageCount_ -= freeTail / step * step;
      store_.ResizeToPages(totalPageCount_);
    }
    if (lastUsedPageNo_ != oldLast || totalPageCount_ != oldTotal) store_.WritePageCounts(lastUsedPageNo_, totalPageCount_);
  } catch (...) {
    ForgetMapPages();
    throw;
  }
  ForgetMapPages();
}

}  // namespace krx
