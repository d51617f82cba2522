// A B+-tree on index pages (page type 12), shared by record indexes and page
// indexes. The data part of an index page:
//      0 u8   root flag (1 on the root page)
//      1 u8   leaf flag (1 on leaf pages)
//      2 i32  previous page on the same level, -1 = none
//      6 i32  next page on the same level, -1 = none
//     10 u8   1 on a root page created as the tree's first page, else 0
//     11 u8   extended entries flag (always 0 here)
//     12 u16  key length K
//     14 u16  entry count
//     16 u16  length of an extra area after this header (0)
//     18      entries, entry i at 18 + extra + i × E
// E = K + V on leaves (V = the key object's reference length) and K + 4 on
// nodes, where the reference is the child page number and the key the lowest
// key of the child's subtree. The first entry of a node sorts before
// everything whatever its key bytes.
//
// The root keeps its page number for the tree's life: a root that overflows
// moves its halves to two new pages and becomes their parent; merges never
// lower the height.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "KrxBTreeKeyRef.h"
#include "KrxKeyPath.h"
#include "KrxPageManager.h"

namespace krx {

namespace KrxBTreePage {
constexpr size_t kRootFlag = 0;
constexpr size_t kLeafFlag = 1;
constexpr size_t kPrevPage = 2;
constexpr size_t kNextPage = 6;
constexpr size_t kFirstRoot = 10;
constexpr size_t kExtended = 11;
constexpr size_t kKeyLength = 12;
constexpr size_t kEntryCount = 14;
constexpr size_t kExtraLength = 16;
constexpr size_t kHeaderSize = 18;
}  // namespace KrxBTreePage

enum class TKrxFindMode {
  First,  // the first entry equal to the key, else the first greater
  Last,   // the last entry equal to the key, else the last smaller
};

class TKrxBTree {
 public:
  TKrxBTree(TKrxPageManager& pageManager, const TKrxBTreeKeyRef& keyRef, int32_t rootPageNo);

  // A new empty root leaf for a tree with key length K.
  static int32_t CreateRoot(TKrxPageManager& pageManager, int32_t session, uint16_t keyLength);

  TKrxPageManager& PageManager() const { return pm_; }
  int32_t RootPageNo() const { return rootPageNo_; }
  void SetRootPageNo(int32_t pageNo) { rootPageNo_ = pageNo; }
  const TKrxBTreeKeyRef& KeyRef() const { return keyRef_; }
  size_t LeafEntrySize() const { return keyRef_.KeyLength() + keyRef_.RefLength(); }
  size_t NodeEntrySize() const { return keyRef_.KeyLength() + 4; }
  // Entries a page of this tree holds at most.
  size_t LeafCapacity() const;

  // Inserts the entry {s.key, ref}; its place is that of s (with s.ref the
  // reference itself for unique placement).
  void Insert(int32_t session, const TKrxBTreeSearch& s, const uint8_t* ref);
  // Deletes the entry equal to s ("Index error: cannot delete entry. Entry
  // not found" when none).
  void Delete(int32_t session, const TKrxBTreeSearch& s);

  // Positions path; true when it stands on an entry equal to s.
  bool Find(int32_t session, const TKrxBTreeSearch& s, TKrxFindMode mode, TKrxKeyPath& path);
  // First/last entry of the tree; false when the tree is empty.
  bool First(int32_t session, TKrxKeyPath& path);
  bool Last(int32_t session, TKrxKeyPath& path);
  // Moves to the neighbour; false (path unchanged) at the end.
  bool Next(int32_t session, TKrxKeyPath& path);
  bool Prior(int32_t session, TKrxKeyPath& path);

  // The leaf entry at a valid path ("Index error: invalid position").
  void ReadEntry(int32_t session, const TKrxKeyPath& path, uint8_t* key, uint8_t* ref);
  // Overwrites the reference of the leaf entry at path (page index counts).
  void WriteRef(int32_t session, const TKrxKeyPath& path, const uint8_t* ref);

  // Number of leaf entries before the path's entry; and the path of the k-th
  // entry (0-based). "Cannot retreive record from empty index" on an empty
  // tree and "Cannot set RecNo greater than RecordCount" past the end.
  int64_t EntryNumber(int32_t session, const TKrxKeyPath& path);
  void PathOfEntryNumber(int32_t session, int64_t k, TKrxKeyPath& path);
  // Every leaf entry in order; the visitor returns false to stop.
  void ForEach(int32_t session, const std::function<bool(const uint8_t* key, const uint8_t* ref)>& visit);
  int64_t EntryCount(int32_t session);
  int Height(int32_t session);
  // Pages of the tree, for tests and checks.
  int64_t PageCount(int32_t session);

  // Deletes every page of the tree, the root too.
  void Drop(int32_t session);
  // Deletes every entry and page but the root, which becomes an empty leaf.
  void Clear(int32_t session);
  // Verifies node pointers, levels and leaf links (the "Index integrity
  // violated" messages).
  void Check(int32_t session);

  // The leaf page holding the leftmost and rightmost entries.
  int32_t FirstLeafPageNo(int32_t session);
  int32_t LastLeafPageNo(int32_t session);
  // Reads one leaf page's entries: count, and a pointer into the page valid
  // while `held` holds it.
  const uint8_t* LeafEntries(int32_t session, int32_t pageNo, TKrxHeldPage& held, int* count, int32_t* prev,
                             int32_t* next);

 private:
  struct Split {
    bool happened = false;
    std::vector<uint8_t> key;
    int32_t newPageNo = -1;
  };

  TKrxHeldPage GetPage(int32_t session, int32_t pageNo);
  size_t EntrySize(const uint8_t* data) const;
  int CompareToEntry(int32_t session, const TKrxBTreeSearch& s, const uint8_t* data, int i);
  int CompareToLeafEntry(const TKrxBTreeSearch& s, const uint8_t* entry);
  bool LeftmostLeafEntry(int32_t session, int32_t pageNo, std::vector<uint8_t>& entry);
  int ChildIndex(int32_t session, const TKrxBTreeSearch& s, const uint8_t* data, bool strict);
  int LowerBound(const TKrxBTreeSearch& s, const uint8_t* data);
  int UpperBound(const TKrxBTreeSearch& s, const uint8_t* data);
  void Descend(int32_t session, const TKrxBTreeSearch& s, bool strict, TKrxKeyPath& path);
  void DescendEdge(int32_t session, bool last, TKrxKeyPath& path);
  bool StepLevel(int32_t session, TKrxKeyPath& path, int level, bool forward);
  Split InsertInto(int32_t session, int32_t pageNo, const TKrxBTreeSearch& s, const uint8_t* entry);
  void InsertAt(int32_t session, TKrxPage& page, int position, const uint8_t* entry, Split& split);
  void SplitRoot(int32_t session, TKrxPage& root, const uint8_t* entries, int count, size_t entrySize);
  void Rebalance(int32_t session, TKrxKeyPath& path);
  void InitPage(TKrxPage& page, bool root, bool leaf, bool firstRoot);
  void CollectPages(int32_t session, std::vector<int32_t>& pages);

  TKrxPageManager& pm_;
  const TKrxBTreeKeyRef& keyRef_;
  int32_t rootPageNo_;
  std::vector<uint8_t> scratch_;  // entries of an overflowing page, reused
  std::vector<uint8_t> tieEntry_;
};

}  // namespace krx
