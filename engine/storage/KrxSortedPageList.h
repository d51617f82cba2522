// An ordered collection of pages: kept sorted by page number and searched by
// binary search, and chained in least-recently-used order beside that, so
// that touching a page on every record step costs no search and no
// allocation. The list owns the pages it holds.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "KrxPage.h"

namespace krx {

class TKrxSortedPageList {
 public:
  TKrxSortedPageList() = default;
  TKrxSortedPageList(const TKrxSortedPageList&) = delete;
  TKrxSortedPageList& operator=(const TKrxSortedPageList&) = delete;

  size_t Count() const { return entries_.size(); }
  bool Empty() const { return entries_.empty(); }

  // The page with that number, or nullptr.
  TKrxPage* Find(int32_t pageNo) const;
  // Takes the page in (its number must not be present yet) as the most
  // recently used.
  void Insert(std::unique_ptr<TKrxPage> page);
  // Hands the page of that number back to the caller; raises when absent.
  std::unique_ptr<TKrxPage> Extract(int32_t pageNo);
  // Removes and frees the page of that number; raises when absent.
  void Delete(int32_t pageNo);
  // Makes the page the most recently used.
  void Touch(int32_t pageNo);
  // The least recently used entry not in use, or nullptr.
  TKrxPage* LeastRecentlyUsedFree() const;

  // Entries by position, in page-number order.
  TKrxPage* At(size_t index) const { return entries_[index].page.get(); }
  void Clear();

 private:
  using UseOrder = std::list<TKrxPage*>;
  struct Entry {
    int32_t pageNo;
    UseOrder::iterator use;
    std::unique_ptr<TKrxPage> page;
  };
  // Index of the first entry whose number is >= pageNo.
  size_t LowerBound(int32_t pageNo) const;
  void Grow();

  std::vector<Entry> entries_;
  UseOrder useOrder_;  // least recently used first
  size_t growthStep_ = 1000;
};

}  // namespace krx
