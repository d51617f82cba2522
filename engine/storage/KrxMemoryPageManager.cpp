#include "KrxMemoryPageManager.h"

#include <cstring>

#include "KrxBytes.h"
#include "KrxException.h"

namespace krx {

TKrxMemoryPageManager::TKrxMemoryPageManager() : TKrxPageManager(kPageSize, 0) {}

TKrxMemoryPageManager::~TKrxMemoryPageManager() { DropAllPages(false); }

bool TKrxMemoryPageManager::IsPageInUse(int32_t pageNo) const {
  return pageNo >= 0 && pageNo < static_cast<int32_t>(inUse_.size()) && inUse_[static_cast<size_t>(pageNo)];
}

void TKrxMemoryPageManager::CheckInUse(int32_t pageNo) const {
  if (!IsPageInUse(pageNo)) throw EKrxException(KrxError::NotReleasedPageAllocated);
}

int32_t TKrxMemoryPageManager::HighestPageNo() const {
  for (int32_t p = static_cast<int32_t>(inUse_.size()) - 1; p >= 0; --p)
    if (inUse_[static_cast<size_t>(p)]) return p;
  return kKrxNoPage;
}

void TKrxMemoryPageManager::GrowTo(int32_t capacity) {
  int32_t rounded = (capacity + kGrowthStep - 1) / kGrowthStep * kGrowthStep;
  if (rounded <= Capacity()) return;
  blocks_.resize(static_cast<size_t>(rounded));
  inUse_.resize(static_cast<size_t>(rounded), false);
}

uint8_t* TKrxMemoryPageManager::Block(int32_t pageNo) {
  CheckInUse(pageNo);
  return blocks_[static_cast<size_t>(pageNo)].get();
}

void TKrxMemoryPageManager::TakePageNo(int32_t pageNo) {
  if (pageNo < 0) throw EKrxException(KrxError::InvalidPageNumber);
  if (IsPageInUse(pageNo)) throw EKrxException(KrxError::PageAlreadyUsed, pageNo);
  GrowTo(pageNo + 1);
  TKrxMemoryBlock& block = blocks_[static_cast<size_t>(pageNo)];
  if (!block) block = KrxAllocateBlock(kPageSize);
  else std::memset(block.get(), 0, kPageSize);
  inUse_[static_cast<size_t>(pageNo)] = true;
  ++pagesInUse_;
}

int32_t TKrxMemoryPageManager::AllocatePageNo() {
  int32_t pageNo = 0;
  while (pageNo < Capacity() && inUse_[static_cast<size_t>(pageNo)]) ++pageNo;
  TakePageNo(pageNo);
  return pageNo;
}

void TKrxMemoryPageManager::FreePageNo(int32_t pageNo) {
  if (!IsPageInUse(pageNo)) throw EKrxException(KrxError::PageAlreadyFree, pageNo);
  // The block stays for the next page of that number: a page object of the
  // cache may still point at it.
  inUse_[static_cast<size_t>(pageNo)] = false;
  --pagesInUse_;
}

void TKrxMemoryPageManager::ReadPageFromStore(TKrxPage& page) { CheckInUse(page.PageNo()); }

void TKrxMemoryPageManager::WritePageToStore(TKrxPage& page) { CheckInUse(page.PageNo()); }

std::unique_ptr<TKrxPage> TKrxMemoryPageManager::NewPage(int32_t pageNo) {
  CheckInUse(pageNo);
  return std::make_unique<TKrxPage>(this, pageNo, blocks_[static_cast<size_t>(pageNo)].get(), kPageSize, 0);
}

void TKrxMemoryPageManager::SaveToStream(TKrxStream& stream) {
  uint8_t head[24];
  PutI32(head, 0, Capacity());
  PutI32(head, 4, HighestPageNo());
  PutI32(head, 8, kGrowthStep);
  PutI32(head, 12, static_cast<int32_t>(kPageSize));
  PutI32(head, 16, 0);
  PutI32(head, 20, pagesInUse_);
  stream.Write(head, sizeof head);
  std::vector<uint8_t> bits((inUse_.size() + 7) / 8, 0);
  for (size_t p = 0; p < inUse_.size(); ++p)
    if (inUse_[p]) bits[p / 8] |= static_cast<uint8_t>(1u << (p % 8));
  stream.Write(bits.data(), static_cast<int64_t>(bits.size()));
  for (size_t p = 0; p < inUse_.size(); ++p)
    if (inUse_[p]) stream.Write(blocks_[p].get(), kPageSize);
}

void TKrxMemoryPageManager::LoadFromStream(TKrxStream& stream) {
  uint8_t head[24];
  if (stream.Read(head, sizeof head) != static_cast<int64_t>(sizeof head)) throw EKrxException(KrxError::PageNotFound);
  int32_t capacity = GetI32(head, 0);
  int32_t used = GetI32(head, 20);
  if (capacity < 0 || used < 0 || used > capacity || GetI32(head, 12) != static_cast<int32_t>(kPageSize))
    throw EKrxException(KrxError::InvalidPageBuffer);
  std::vector<uint8_t> bits((static_cast<size_t>(capacity) + 7) / 8);
  if (stream.Read(bits.data(), static_cast<int64_t>(bits.size())) != static_cast<int64_t>(bits.size()))
    throw EKrxException(KrxError::PageNotFound);
  DropAllPages(false);
  blocks_.clear();
  inUse_.clear();
  pagesInUse_ = 0;
  GrowTo(capacity);
  for (int32_t p = 0; p < capacity; ++p) {
    if (!((bits[static_cast<size_t>(p) / 8] >> (p % 8)) & 1)) continue;
    TakePageNo(p);
    if (stream.Read(blocks_[static_cast<size_t>(p)].get(), kPageSize) != static_cast<int64_t>(kPageSize))
      throw EKrxException(KrxError::PageNotFound);
  }
  if (pagesInUse_ != used) throw EKrxException(KrxError::InvalidPageBuffer);
}

}  // namespace krx
