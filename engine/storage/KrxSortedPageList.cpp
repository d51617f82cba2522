#include "KrxSortedPageList.h"

#include <algorithm>

#include "KrxException.h"

namespace krx {

size_t TKrxSortedPageList::LowerBound(int32_t pageNo) const {
  size_t lo = 0, hi = entries_.size();
  while (lo < hi) {
    size_t mid = lo + (hi - lo) / 2;
    if (entries_[mid].pageNo < pageNo) lo = mid + 1; else hi = mid;
  }
  return lo;
}

TKrxPage* TKrxSortedPageList::Find(int32_t pageNo) const {
  size_t i = LowerBound(pageNo);
  return (i < entries_.size() && entries_[i].pageNo == pageNo) ? entries_[i].page.get() : nullptr;
}

void TKrxSortedPageList::Grow() {
  // Capacity grows by a step that starts at 1000 entries and doubles up to
  // 10000, so large caches do not reallocate on every few inserts.
  if (entries_.size() < entries_.capacity()) return;
  entries_.reserve(entries_.capacity() + growthStep_);
  growthStep_ = std::min<size_t>(growthStep_ * 2, 10000);
}

void TKrxSortedPageList::Insert(std::unique_ptr<TKrxPage> page) {
  int32_t pageNo = page->PageNo();
  size_t i = LowerBound(pageNo);
  if (i < entries_.size() && entries_[i].pageNo == pageNo) throw EKrxException(KrxError::InvalidPageModification);
  Grow();
  page->list_ = this;
  UseOrder::iterator use = useOrder_.insert(useOrder_.end(), page.get());
  entries_.insert(entries_.begin() + static_cast<ptrdiff_t>(i), Entry{pageNo, use, std::move(page)});
}

std::unique_ptr<TKrxPage> TKrxSortedPageList::Extract(int32_t pageNo) {
  if (entries_.empty()) throw EKrxException(KrxError::SortedPageListDeleteEmpty);
  size_t i = LowerBound(pageNo);
  if (i >= entries_.size() || entries_[i].pageNo != pageNo)
    throw EKrxException(KrxError::SortedPageListDeleteNotFound, pageNo, static_cast<int64_t>(entries_.size()));
  std::unique_ptr<TKrxPage> page = std::move(entries_[i].page);
  useOrder_.erase(entries_[i].use);
  entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(i));
  page->list_ = nullptr;
  return page;
}

void TKrxSortedPageList::Delete(int32_t pageNo) { Extract(pageNo).reset(); }

void TKrxSortedPageList::Touch(int32_t pageNo) {
  size_t i = LowerBound(pageNo);
  if (i >= entries_.size() || entries_[i].pageNo != pageNo) return;
  useOrder_.splice(useOrder_.end(), useOrder_, entries_[i].use);
}

TKrxPage* TKrxSortedPageList::LeastRecentlyUsedFree() const {
  for (TKrxPage* page : useOrder_)
    if (page->UseCount() == 0) return page;
  return nullptr;
}

void TKrxSortedPageList::Clear() {
  entries_.clear();
  useOrder_.clear();
}

}  // namespace krx
