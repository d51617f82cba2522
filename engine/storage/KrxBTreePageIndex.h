// A page index: a B-tree mapping a page number (i32 key) to a u16 count,
// the records on a record page or the used bytes of a shared BLOB page.
#pragma once

#include <cstdint>

#include "KrxBTree.h"

namespace krx {

class TKrxBTreePageIndex {
 public:
  TKrxBTreePageIndex(TKrxPageManager& pageManager, int32_t rootPageNo);
  virtual ~TKrxBTreePageIndex() = default;

  // Creates an empty tree and makes it this index's.
  int32_t Create(int32_t session);
  int32_t RootPageNo() const { return tree_.RootPageNo(); }
  void SetRoot(int32_t rootPageNo) { tree_.SetRootPageNo(rootPageNo); }
  TKrxBTree& Tree() { return tree_; }

  bool FirstPage(int32_t session, int32_t& pageNo, int& count);
  bool LastPage(int32_t session, int32_t& pageNo, int& count);
  bool NextPage(int32_t session, int32_t after, int32_t& pageNo, int& count);
  bool PriorPage(int32_t session, int32_t before, int32_t& pageNo, int& count);
  bool FindPage(int32_t session, int32_t pageNo, int& count);

  // Adds amount to a page's count, inserting the page when missing ("Cannot
  // add data item to page. Page is full" when the new count is not
  // acceptable). Returns the new count.
  int Add(int32_t session, int32_t pageNo, int amount);
  // Subtracts amount, removing the page at 0 ("Index error: page is empty"
  // when the count is 0 already, "Invalid page number" for a page not held).
  int Subtract(int32_t session, int32_t pageNo, int amount);
  // Sets a page's count (removing the page at 0).
  void SetCount(int32_t session, int32_t pageNo, int count);

  // A page whose count admits amount more: only the last leaf is examined,
  // from its last entry backwards, then the first leaf from its first entry
  // forwards. -1 when none qualifies.
  int32_t FindPageWithRoom(int32_t session, int amount);
  int64_t SumCounts(int32_t session);
  // The page holding the k-th (0-based) counted item in page order and the
  // item's occurrence within the page; false past the end.
  bool PageOfNumber(int32_t session, int64_t k, int32_t& pageNo, int& occurrence);
  // The sum of the counts of all pages before pageNo.
  int64_t CountBefore(int32_t session, int32_t pageNo);

  void Drop(int32_t session) { tree_.Drop(session); }
  void Clear(int32_t session) { tree_.Clear(session); }

 protected:
  virtual bool Admits(int count, int amount) const = 0;
  virtual bool Acceptable(int count) const = 0;

 private:
  bool At(int32_t session, const TKrxKeyPath& path, int32_t& pageNo, int& count);

  TKrxPageKeyRef keyRef_;
  TKrxBTree tree_;
};

// Record pages and their occupied slots; a count admits another record while
// it is below the table's records per page.
class TKrxBTreeRecordPageIndex : public TKrxBTreePageIndex {
 public:
  TKrxBTreeRecordPageIndex(TKrxPageManager& pageManager, int32_t rootPageNo, int recordsPerPage)
      : TKrxBTreePageIndex(pageManager, rootPageNo), recordsPerPage_(recordsPerPage) {}
  void SetRecordsPerPage(int n) { recordsPerPage_ = n; }

 protected:
  bool Admits(int count, int amount) const override { return count + amount <= recordsPerPage_; }
  bool Acceptable(int count) const override { return count <= recordsPerPage_; }

 private:
  int recordsPerPage_;
};

// Shared BLOB pages and their used bytes; a used size u admits an entry of s
// bytes while u + s < PageDataSize - 2.
class TKrxBTreeBlobPageIndex : public TKrxBTreePageIndex {
 public:
  TKrxBTreeBlobPageIndex(TKrxPageManager& pageManager, int32_t rootPageNo)
      : TKrxBTreePageIndex(pageManager, rootPageNo), pageDataSize_(static_cast<int>(pageManager.PageDataSize())) {}

 protected:
  bool Admits(int count, int amount) const override { return count + amount < pageDataSize_ - 2; }
  bool Acceptable(int count) const override { return count <= pageDataSize_; }

 private:
  int pageDataSize_;
};

}  // namespace krx
