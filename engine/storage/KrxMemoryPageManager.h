// Pages kept in memory: 4096-byte pages without a page header, each a block
// of the memory manager, in an array that grows by 50 pages. A bit array
// marks the numbers in use; the lowest free number is given out first. A
// page object works on the stored block itself.
//
// Written to a stream as (all i32 little-endian unless said):
//     page count (array size), highest page number in use (-1 none),
//     growth step, page size, header size (0), number of pages in use,
//     the bit array (ceil(page count / 8) bytes, lowest bit first),
//     then every page in use, in page-number order (page size bytes each)
#pragma once

#include <cstdint>
#include <vector>

#include "KrxMemoryManager.h"
#include "KrxPageManager.h"
#include "KrxStream.h"

namespace krx {

class TKrxMemoryPageManager : public TKrxPageManager {
 public:
  static constexpr size_t kPageSize = 4096;
  static constexpr int32_t kGrowthStep = 50;

  TKrxMemoryPageManager();
  ~TKrxMemoryPageManager() override;

  bool IsPageInUse(int32_t pageNo) const;
  int32_t PagesInUse() const { return pagesInUse_; }
  int32_t HighestPageNo() const;
  int32_t Capacity() const { return static_cast<int32_t>(blocks_.size()); }

  void SaveToStream(TKrxStream& stream);
  // Replaces every page with those of the stream.
  void LoadFromStream(TKrxStream& stream);

  // The stored block of a page in use (for the temporary page manager).
  uint8_t* Block(int32_t pageNo);
  // Takes a given page number into use (for the temporary page manager).
  void TakePageNo(int32_t pageNo);
  int32_t AllocatePageNo() override;
  void FreePageNo(int32_t pageNo) override;

 protected:
  void ReadPageFromStore(TKrxPage& page) override;
  void WritePageToStore(TKrxPage& page) override;
  std::unique_ptr<TKrxPage> NewPage(int32_t pageNo) override;

 private:
  void CheckInUse(int32_t pageNo) const;
  void GrowTo(int32_t capacity);

  std::vector<TKrxMemoryBlock> blocks_;
  std::vector<bool> inUse_;
  int32_t pagesInUse_ = 0;
};

}  // namespace krx
