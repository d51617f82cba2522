// An ordered collection of pages: kept sorted by page number and searched by
// binary search, with a use stamp per entry for least-recently-used order.
// The list owns the pages it holds.
#pragma once

#include <cstdint>
#include <map>
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
  // Takes the page in (its number must not be present yet) with a fresh
  // use stamp.
  void Insert(std::unique_ptr<TKrxPage> page);
  // Hands the page of that number back to the caller; raises when absent.
  std::unique_ptr<TKrxPage> Extract(int32_t pageNo);
  // Removes and frees the page of that number; raises when absent.
  void Delete(int32_t pageNo);
  // Gives the page a newer use stamp than every other entry.
  void Touch(int32_t pageNo);
  // The entry not in use with the oldest stamp, or nullptr.
  TKrxPage* LeastRecentlyUsedFree() const;

  // Entries by position, in page-number order.
  TKrxPage* At(size_t index) const { return entries_[index].page.get(); }
  void Clear();

 private:
  struct Entry {
    int32_t pageNo;
    uint64_t useStamp;
    std::unique_ptr<TKrxPage> page;
  };
  // Index of the first entry whose number is >= pageNo.
  size_t LowerBound(int32_t pageNo) const;
  void Grow();

  std::vector<Entry> entries_;
  std::map<uint64_t, int32_t> byStamp_;  // use stamp -> page number, oldest first
  uint64_t nextStamp_ = 1;
  size_t growthStep_ = 1000;
};

}  // namespace krx
