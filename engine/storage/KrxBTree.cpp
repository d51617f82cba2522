#include "KrxBTree.h"

#include <cstring>
#include <unordered_set>

#include "KrxException.h"

namespace krx {
namespace {

using namespace KrxBTreePage;

constexpr uint16_t kIndexPageType = 12;

inline int Count(const uint8_t* data) { return GetU16(data, kEntryCount); }
inline void SetCount(uint8_t* data, int n) { PutU16(data, kEntryCount, static_cast<uint16_t>(n)); }
inline bool IsLeaf(const uint8_t* data) { return data[kLeafFlag] != 0; }
inline size_t Extra(const uint8_t* data) { return GetU16(data, kExtraLength); }
inline int32_t PrevOf(const uint8_t* data) { return GetI32(data, kPrevPage); }
inline int32_t NextOf(const uint8_t* data) { return GetI32(data, kNextPage); }

}  // namespace

TKrxBTree::TKrxBTree(TKrxPageManager& pageManager, const TKrxBTreeKeyRef& keyRef, int32_t rootPageNo)
    : pm_(pageManager), keyRef_(keyRef), rootPageNo_(rootPageNo) {}

int32_t TKrxBTree::CreateRoot(TKrxPageManager& pageManager, int32_t session, uint16_t keyLength) {
  TKrxHeldPage page(pageManager.AllocatePage(session, kIndexPageType));
  uint8_t* data = page->Data();
  std::memset(data, 0, kHeaderSize);
  data[kRootFlag] = 1;
  data[kLeafFlag] = 1;
  PutI32(data, kPrevPage, -1);
  PutI32(data, kNextPage, -1);
  data[kFirstRoot] = 1;
  PutU16(data, kKeyLength, keyLength);
  page->MarkDirty();
  return page->PageNo();
}

size_t TKrxBTree::LeafCapacity() const { return (pm_.PageDataSize() - kHeaderSize) / LeafEntrySize(); }

TKrxHeldPage TKrxBTree::GetPage(int32_t session, int32_t pageNo) {
  if (pageNo < 0) throw EKrxException(KrxError::IndexInvalidPageNumber);
  return TKrxHeldPage(pm_.GetPage(session, pageNo, false, kIndexPageType));
}

size_t TKrxBTree::EntrySize(const uint8_t* data) const { return IsLeaf(data) ? LeafEntrySize() : NodeEntrySize(); }

void TKrxBTree::InitPage(TKrxPage& page, bool root, bool leaf, bool firstRoot) {
  uint8_t* data = page.Data();
  std::memset(data, 0, kHeaderSize);
  data[kRootFlag] = root ? 1 : 0;
  data[kLeafFlag] = leaf ? 1 : 0;
  PutI32(data, kPrevPage, -1);
  PutI32(data, kNextPage, -1);
  data[kFirstRoot] = firstRoot ? 1 : 0;
  PutU16(data, kKeyLength, static_cast<uint16_t>(keyRef_.KeyLength()));
  page.MarkDirty();
}

// ---------------------------------------------------------------- ordering

int TKrxBTree::CompareToLeafEntry(const TKrxBTreeSearch& s, const uint8_t* entry) {
  int c = keyRef_.CompareStored(s.key, entry);
  if (c != 0 || !keyRef_.NeedsTie(s)) return c;
  return keyRef_.CompareTie(s, entry, entry + keyRef_.KeyLength());
}

bool TKrxBTree::LeftmostLeafEntry(int32_t session, int32_t pageNo, std::vector<uint8_t>& entry) {
  for (int depth = 0; depth < TKrxKeyPath::kMaxLevels; ++depth) {
    TKrxHeldPage page = GetPage(session, pageNo);
    const uint8_t* data = page->Data();
    if (Count(data) == 0) return false;
    const uint8_t* first = data + kHeaderSize + Extra(data);
    if (IsLeaf(data)) {
      entry.assign(first, first + LeafEntrySize());
      return true;
    }
    pageNo = GetI32(first, keyRef_.KeyLength());
  }
  throw EKrxException(KrxError::InternalIndexError);
}

int TKrxBTree::CompareToEntry(int32_t session, const TKrxBTreeSearch& s, const uint8_t* data, int i) {
  const uint8_t* entry = data + kHeaderSize + Extra(data) + static_cast<size_t>(i) * EntrySize(data);
  if (IsLeaf(data)) return CompareToLeafEntry(s, entry);
  int c = keyRef_.CompareStored(s.key, entry);
  if (c != 0 || !keyRef_.NeedsTie(s)) return c;
  // A node entry has no reference of its own: the tie is decided by the
  // first entry of the child's subtree.
  if (!LeftmostLeafEntry(session, GetI32(entry, keyRef_.KeyLength()), tieEntry_)) return 0;
  return CompareToLeafEntry(s, tieEntry_.data());
}

int TKrxBTree::ChildIndex(int32_t session, const TKrxBTreeSearch& s, const uint8_t* data, bool strict) {
  int lo = 1, hi = Count(data) - 1, answer = 0;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = CompareToEntry(session, s, data, mid);
    if (strict ? c > 0 : c >= 0) {
      answer = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return answer;
}

int TKrxBTree::LowerBound(const TKrxBTreeSearch& s, const uint8_t* data) {
  const uint8_t* entries = data + kHeaderSize + Extra(data);
  size_t e = LeafEntrySize();
  int lo = 0, hi = Count(data);
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (CompareToLeafEntry(s, entries + static_cast<size_t>(mid) * e) > 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

int TKrxBTree::UpperBound(const TKrxBTreeSearch& s, const uint8_t* data) {
  const uint8_t* entries = data + kHeaderSize + Extra(data);
  size_t e = LeafEntrySize();
  int lo = 0, hi = Count(data);
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (CompareToLeafEntry(s, entries + static_cast<size_t>(mid) * e) >= 0) lo = mid + 1;
    else hi = mid;
  }
  return lo;
}

// ---------------------------------------------------------------- paths

void TKrxBTree::Descend(int32_t session, const TKrxBTreeSearch& s, bool strict, TKrxKeyPath& path) {
  path.index = this;
  path.levelCount = 0;
  int32_t pageNo = rootPageNo_;
  for (;;) {
    if (path.levelCount >= TKrxKeyPath::kMaxLevels) throw EKrxException(KrxError::InternalIndexError);
    TKrxHeldPage page = GetPage(session, pageNo);
    const uint8_t* data = page->Data();
    TKrxKeyPathLevel& level = path.levels[path.levelCount++];
    level.pageNo = pageNo;
    level.count = Count(data);
    level.entry = 0;
    if (IsLeaf(data)) return;
    if (level.count == 0) throw EKrxException(KrxError::IndexIntegrityViolated, pageNo, 0);
    level.entry = ChildIndex(session, s, data, strict);
    pageNo = GetI32(data, kHeaderSize + Extra(data) + static_cast<size_t>(level.entry) * NodeEntrySize() +
                              keyRef_.KeyLength());
  }
}

void TKrxBTree::DescendEdge(int32_t session, bool last, TKrxKeyPath& path) {
  path.index = this;
  path.levelCount = 0;
  int32_t pageNo = rootPageNo_;
  for (;;) {
    if (path.levelCount >= TKrxKeyPath::kMaxLevels) throw EKrxException(KrxError::InternalIndexError);
    TKrxHeldPage page = GetPage(session, pageNo);
    const uint8_t* data = page->Data();
    TKrxKeyPathLevel& level = path.levels[path.levelCount++];
    level.pageNo = pageNo;
    level.count = Count(data);
    level.entry = last ? level.count - 1 : 0;
    if (IsLeaf(data)) return;
    if (level.count == 0) throw EKrxException(KrxError::IndexIntegrityViolated, pageNo, 0);
    pageNo = GetI32(data, kHeaderSize + Extra(data) + static_cast<size_t>(level.entry) * NodeEntrySize() +
                              keyRef_.KeyLength());
  }
}

bool TKrxBTree::StepLevel(int32_t session, TKrxKeyPath& path, int level, bool forward) {
  for (;;) {
    TKrxKeyPathLevel& at = path.levels[level];
    if (forward ? at.entry + 1 < at.count : at.entry - 1 >= 0) {
      at.entry += forward ? 1 : -1;
      return true;
    }
    if (level == 0) return false;
    if (!StepLevel(session, path, level - 1, forward)) return false;
    const TKrxKeyPathLevel& parent = path.levels[level - 1];
    TKrxHeldPage parentPage = GetPage(session, parent.pageNo);
    const uint8_t* pdata = parentPage->Data();
    if (IsLeaf(pdata)) throw EKrxException(KrxError::InternalIndexError);
    int32_t child = GetI32(pdata, kHeaderSize + Extra(pdata) + static_cast<size_t>(parent.entry) * NodeEntrySize() +
                                      keyRef_.KeyLength());
    TKrxHeldPage childPage = GetPage(session, child);
    at.pageNo = child;
    at.count = Count(childPage->Data());
    if (at.count > 0) {
      at.entry = forward ? 0 : at.count - 1;
      return true;
    }
    // An empty leaf (possible only below a root left with one child): the
    // next round moves past it.
    at.entry = forward ? -1 : 0;
  }
}

bool TKrxBTree::Find(int32_t session, const TKrxBTreeSearch& s, TKrxFindMode mode, TKrxKeyPath& path) {
  if (mode == TKrxFindMode::First) {
    Descend(session, s, true, path);
    TKrxHeldPage leaf = GetPage(session, path.Leaf().pageNo);
    int pos = LowerBound(s, leaf->Data());
    path.Leaf().entry = pos;
    if (pos >= path.Leaf().count) {
      TKrxKeyPath moved = path;
      moved.Leaf().entry = moved.Leaf().count - 1;
      if (!StepLevel(session, moved, moved.levelCount - 1, true)) return false;
      path = moved;
    }
  } else {
    Descend(session, s, false, path);
    TKrxHeldPage leaf = GetPage(session, path.Leaf().pageNo);
    int pos = UpperBound(s, leaf->Data()) - 1;
    path.Leaf().entry = pos;
    if (pos < 0) {
      TKrxKeyPath moved = path;
      moved.Leaf().entry = 0;
      if (!StepLevel(session, moved, moved.levelCount - 1, false)) {
        path.Leaf().entry = -1;
        return false;
      }
      path = moved;
    }
  }
  TKrxHeldPage leaf = GetPage(session, path.Leaf().pageNo);
  const uint8_t* data = leaf->Data();
  return CompareToLeafEntry(s, data + kHeaderSize + Extra(data) + static_cast<size_t>(path.Leaf().entry) *
                                                                        LeafEntrySize()) == 0;
}

bool TKrxBTree::First(int32_t session, TKrxKeyPath& path) {
  DescendEdge(session, false, path);
  if (path.Leaf().count > 0) return true;
  TKrxKeyPath moved = path;
  moved.Leaf().entry = -1;
  if (!StepLevel(session, moved, moved.levelCount - 1, true)) return false;
  path = moved;
  return true;
}

bool TKrxBTree::Last(int32_t session, TKrxKeyPath& path) {
  DescendEdge(session, true, path);
  if (path.Leaf().count > 0) return true;
  TKrxKeyPath moved = path;
  moved.Leaf().entry = 0;
  if (!StepLevel(session, moved, moved.levelCount - 1, false)) return false;
  path = moved;
  return true;
}

bool TKrxBTree::Next(int32_t session, TKrxKeyPath& path) {
  if (path.levelCount == 0) return false;
  TKrxKeyPath moved = path;
  if (!StepLevel(session, moved, moved.levelCount - 1, true)) return false;
  path = moved;
  return true;
}

bool TKrxBTree::Prior(int32_t session, TKrxKeyPath& path) {
  if (path.levelCount == 0) return false;
  TKrxKeyPath moved = path;
  if (!StepLevel(session, moved, moved.levelCount - 1, false)) return false;
  path = moved;
  return true;
}

void TKrxBTree::ReadEntry(int32_t session, const TKrxKeyPath& path, uint8_t* key, uint8_t* ref) {
  if (path.levelCount == 0 || path.index != this) throw EKrxException(KrxError::InvalidIndexKeyPath);
  TKrxHeldPage page = GetPage(session, path.Leaf().pageNo);
  const uint8_t* data = page->Data();
  if (!IsLeaf(data)) throw EKrxException(KrxError::InternalIndexError);
  int entry = path.Leaf().entry;
  if (entry < 0 || entry >= Count(data)) throw EKrxException(KrxError::IndexInvalidPosition);
  const uint8_t* at = data + kHeaderSize + Extra(data) + static_cast<size_t>(entry) * LeafEntrySize();
  if (key) std::memcpy(key, at, keyRef_.KeyLength());
  if (ref) std::memcpy(ref, at + keyRef_.KeyLength(), keyRef_.RefLength());
}

void TKrxBTree::WriteRef(int32_t session, const TKrxKeyPath& path, const uint8_t* ref) {
  TKrxHeldPage page = GetPage(session, path.Leaf().pageNo);
  uint8_t* data = page->Data();
  int entry = path.Leaf().entry;
  if (!IsLeaf(data) || entry < 0 || entry >= Count(data)) throw EKrxException(KrxError::IndexInvalidPosition);
  std::memcpy(data + kHeaderSize + Extra(data) + static_cast<size_t>(entry) * LeafEntrySize() + keyRef_.KeyLength(),
              ref, keyRef_.RefLength());
  page->MarkDirty();
}

// ---------------------------------------------------------------- insertion

void TKrxBTree::Insert(int32_t session, const TKrxBTreeSearch& s, const uint8_t* ref) {
  std::vector<uint8_t> entry(LeafEntrySize());
  std::memcpy(entry.data(), s.key, keyRef_.KeyLength());
  std::memcpy(entry.data() + keyRef_.KeyLength(), ref, keyRef_.RefLength());
  InsertInto(session, rootPageNo_, s, entry.data());
}

TKrxBTree::Split TKrxBTree::InsertInto(int32_t session, int32_t pageNo, const TKrxBTreeSearch& s,
                                       const uint8_t* entry) {
  TKrxHeldPage page = GetPage(session, pageNo);
  const uint8_t* data = page->Data();
  Split split;
  if (IsLeaf(data)) {
    InsertAt(session, *page, LowerBound(s, data), entry, split);
    return split;
  }
  if (Count(data) == 0) throw EKrxException(KrxError::IndexIntegrityViolated, pageNo, 0);
  int i = ChildIndex(session, s, data, false);
  int32_t child = GetI32(data, kHeaderSize + Extra(data) + static_cast<size_t>(i) * NodeEntrySize() +
                                   keyRef_.KeyLength());
  Split below = InsertInto(session, child, s, entry);
  if (!below.happened) return split;
  std::vector<uint8_t> nodeEntry(NodeEntrySize());
  std::memcpy(nodeEntry.data(), below.key.data(), keyRef_.KeyLength());
  PutI32(nodeEntry.data(), keyRef_.KeyLength(), below.newPageNo);
  InsertAt(session, *page, i + 1, nodeEntry.data(), split);
  return split;
}

void TKrxBTree::InsertAt(int32_t session, TKrxPage& page, int position, const uint8_t* entry, Split& split) {
  uint8_t* data = page.Data();
  const size_t e = EntrySize(data);
  const size_t start = kHeaderSize + Extra(data);
  const int n = Count(data);
  if (position < 0 || position > n) throw EKrxException(KrxError::IndexInvalidPosition);
  uint8_t* entries = data + start;
  if (start + static_cast<size_t>(n + 1) * e <= pm_.PageDataSize()) {
    std::memmove(entries + static_cast<size_t>(position + 1) * e, entries + static_cast<size_t>(position) * e,
                 static_cast<size_t>(n - position) * e);
    std::memcpy(entries + static_cast<size_t>(position) * e, entry, e);
    SetCount(data, n + 1);
    page.MarkDirty();
    return;
  }
  // The page overflows: lay the n + 1 entries out in memory and split.
  const int total = n + 1;
  scratch_.resize(static_cast<size_t>(total) * e);
  std::memcpy(scratch_.data(), entries, static_cast<size_t>(position) * e);
  std::memcpy(scratch_.data() + static_cast<size_t>(position) * e, entry, e);
  std::memcpy(scratch_.data() + static_cast<size_t>(position + 1) * e, entries + static_cast<size_t>(position) * e,
              static_cast<size_t>(n - position) * e);
  if (data[kRootFlag]) {
    SplitRoot(session, page, scratch_.data(), total, e);
    return;
  }
  const int half = total / 2;
  TKrxHeldPage upper(pm_.AllocatePage(session, kIndexPageType));
  InitPage(*upper, false, IsLeaf(data), false);
  uint8_t* udata = upper->Data();
  std::memcpy(udata + kHeaderSize, scratch_.data() + static_cast<size_t>(half) * e,
              static_cast<size_t>(total - half) * e);
  SetCount(udata, total - half);
  int32_t oldNext = NextOf(data);
  PutI32(udata, kPrevPage, page.PageNo());
  PutI32(udata, kNextPage, oldNext);
  if (oldNext >= 0) {
    TKrxHeldPage next = GetPage(session, oldNext);
    PutI32(next->Data(), kPrevPage, upper->PageNo());
    next->MarkDirty();
  }
  PutI32(data, kNextPage, upper->PageNo());
  std::memcpy(entries, scratch_.data(), static_cast<size_t>(half) * e);
  SetCount(data, half);
  page.MarkDirty();
  upper->MarkDirty();
  split.happened = true;
  split.key.assign(udata + kHeaderSize, udata + kHeaderSize + keyRef_.KeyLength());
  split.newPageNo = upper->PageNo();
}

void TKrxBTree::SplitRoot(int32_t session, TKrxPage& root, const uint8_t* entries, int count, size_t entrySize) {
  uint8_t* data = root.Data();
  const bool leaf = IsLeaf(data);
  const int half = count / 2;
  TKrxHeldPage lower(pm_.AllocatePage(session, kIndexPageType));
  TKrxHeldPage upper(pm_.AllocatePage(session, kIndexPageType));
  InitPage(*lower, false, leaf, false);
  InitPage(*upper, false, leaf, false);
  std::memcpy(lower->Data() + kHeaderSize, entries, static_cast<size_t>(half) * entrySize);
  SetCount(lower->Data(), half);
  std::memcpy(upper->Data() + kHeaderSize, entries + static_cast<size_t>(half) * entrySize,
              static_cast<size_t>(count - half) * entrySize);
  SetCount(upper->Data(), count - half);
  PutI32(lower->Data(), kNextPage, upper->PageNo());
  PutI32(upper->Data(), kPrevPage, lower->PageNo());
  lower->MarkDirty();
  upper->MarkDirty();

  const size_t k = keyRef_.KeyLength();
  data[kLeafFlag] = 0;
  PutU16(data, kExtraLength, 0);
  uint8_t* out = data + kHeaderSize;
  std::memset(out, 0, k);
  PutI32(out, k, lower->PageNo());
  std::memcpy(out + k + 4, upper->Data() + kHeaderSize, k);
  PutI32(out + k + 4, k, upper->PageNo());
  SetCount(data, 2);
  root.MarkDirty();
}

// ---------------------------------------------------------------- deletion

void TKrxBTree::Delete(int32_t session, const TKrxBTreeSearch& s) {
  TKrxKeyPath path;
  if (!Find(session, s, TKrxFindMode::First, path)) throw EKrxException(KrxError::IndexEntryNotFound);
  {
    TKrxHeldPage page = GetPage(session, path.Leaf().pageNo);
    uint8_t* data = page->Data();
    int n = Count(data);
    if (n == 0) throw EKrxException(KrxError::IndexPageIsEmpty);
    size_t e = LeafEntrySize();
    uint8_t* entries = data + kHeaderSize + Extra(data);
    int pos = path.Leaf().entry;
    std::memmove(entries + static_cast<size_t>(pos) * e, entries + static_cast<size_t>(pos + 1) * e,
                 static_cast<size_t>(n - pos - 1) * e);
    SetCount(data, n - 1);
    page->MarkDirty();
  }
  Rebalance(session, path);
}

void TKrxBTree::Rebalance(int32_t session, TKrxKeyPath& path) {
  const size_t k = keyRef_.KeyLength();
  const size_t pageData = pm_.PageDataSize();
  for (int level = path.levelCount - 1; level >= 1; --level) {
    const int32_t pageNo = path.levels[level].pageNo;
    TKrxHeldPage page = GetPage(session, pageNo);
    uint8_t* data = page->Data();
    const size_t e = EntrySize(data);
    const size_t extra = Extra(data);
    const int n = Count(data);
    if (static_cast<size_t>(n) * e >= (pageData - kHeaderSize - extra) / 2) return;

    TKrxHeldPage parent = GetPage(session, path.levels[level - 1].pageNo);
    uint8_t* pdata = parent->Data();
    const size_t pe = NodeEntrySize();
    uint8_t* pentries = pdata + kHeaderSize + Extra(pdata);
    const int idx = path.levels[level - 1].entry;
    const int pn = Count(pdata);
    const bool leaf = IsLeaf(data);
    auto childAt = [&](int i) { return GetI32(pentries, static_cast<size_t>(i) * pe + k); };
    auto removeParentEntry = [&](int i) {
      std::memmove(pentries + static_cast<size_t>(i) * pe, pentries + static_cast<size_t>(i + 1) * pe,
                   static_cast<size_t>(pn - i - 1) * pe);
      SetCount(pdata, pn - 1);
      parent->MarkDirty();
    };
    auto fits = [&](int a, int b) { return kHeaderSize + extra + static_cast<size_t>(a + b) * e <= pageData; };
    uint8_t* entries = data + kHeaderSize + extra;
    bool merged = false;

    if (idx > 0) {
      TKrxHeldPage prev = GetPage(session, childAt(idx - 1));
      uint8_t* vdata = prev->Data();
      int pc = Count(vdata);
      if (fits(pc, n)) {
        // The separator comes down onto the moved node's first entry.
        if (!leaf && n > 0) std::memcpy(entries, pentries + static_cast<size_t>(idx) * pe, k);
        std::memcpy(vdata + kHeaderSize + Extra(vdata) + static_cast<size_t>(pc) * e, entries,
                    static_cast<size_t>(n) * e);
        SetCount(vdata, pc + n);
        int32_t next = NextOf(data);
        PutI32(vdata, kNextPage, next);
        prev->MarkDirty();
        if (next >= 0) {
          TKrxHeldPage nextPage = GetPage(session, next);
          PutI32(nextPage->Data(), kPrevPage, prev->PageNo());
          nextPage->MarkDirty();
        }
        removeParentEntry(idx);
        merged = true;
      }
    }
    if (!merged && idx < pn - 1) {
      const int32_t nextNo = childAt(idx + 1);
      TKrxHeldPage next = GetPage(session, nextNo);
      uint8_t* ndata = next->Data();
      int nc = Count(ndata);
      if (fits(nc, n)) {
        uint8_t* nentries = ndata + kHeaderSize + Extra(ndata);
        if (!leaf && nc > 0) std::memcpy(nentries, pentries + static_cast<size_t>(idx + 1) * pe, k);
        std::memmove(nentries + static_cast<size_t>(n) * e, nentries, static_cast<size_t>(nc) * e);
        std::memcpy(nentries, entries, static_cast<size_t>(n) * e);
        SetCount(ndata, nc + n);
        int32_t prevNo = PrevOf(data);
        PutI32(ndata, kPrevPage, prevNo);
        next->MarkDirty();
        if (prevNo >= 0) {
          TKrxHeldPage prevPage = GetPage(session, prevNo);
          PutI32(prevPage->Data(), kNextPage, nextNo);
          prevPage->MarkDirty();
        }
        PutI32(pentries, static_cast<size_t>(idx) * pe + k, nextNo);
        removeParentEntry(idx + 1);
        merged = true;
      }
    }
    if (!merged) return;
    page.Reset();
    pm_.DeletePage(session, pageNo);
  }
}

// ---------------------------------------------------------------- whole tree

int32_t TKrxBTree::FirstLeafPageNo(int32_t session) {
  TKrxKeyPath path;
  DescendEdge(session, false, path);
  return path.Leaf().pageNo;
}

int32_t TKrxBTree::LastLeafPageNo(int32_t session) {
  TKrxKeyPath path;
  DescendEdge(session, true, path);
  return path.Leaf().pageNo;
}

const uint8_t* TKrxBTree::LeafEntries(int32_t session, int32_t pageNo, TKrxHeldPage& held, int* count,
                                      int32_t* prev, int32_t* next) {
  held = GetPage(session, pageNo);
  const uint8_t* data = held->Data();
  if (!IsLeaf(data)) throw EKrxException(KrxError::InternalIndexError);
  *count = Count(data);
  if (prev) *prev = PrevOf(data);
  if (next) *next = NextOf(data);
  return data + kHeaderSize + Extra(data);
}

void TKrxBTree::ForEach(int32_t session, const std::function<bool(const uint8_t*, const uint8_t*)>& visit) {
  int32_t pageNo = FirstLeafPageNo(session);
  const size_t e = LeafEntrySize(), k = keyRef_.KeyLength();
  while (pageNo >= 0) {
    TKrxHeldPage held;
    int count;
    int32_t next;
    const uint8_t* entries = LeafEntries(session, pageNo, held, &count, nullptr, &next);
    for (int i = 0; i < count; ++i) {
      const uint8_t* at = entries + static_cast<size_t>(i) * e;
      if (!visit(at, at + k)) return;
    }
    pageNo = next;
  }
}

int64_t TKrxBTree::EntryCount(int32_t session) {
  int64_t total = 0;
  int32_t pageNo = FirstLeafPageNo(session);
  while (pageNo >= 0) {
    TKrxHeldPage held;
    int count;
    int32_t next;
    LeafEntries(session, pageNo, held, &count, nullptr, &next);
    total += count;
    pageNo = next;
  }
  return total;
}

int64_t TKrxBTree::EntryNumber(int32_t session, const TKrxKeyPath& path) {
  if (path.levelCount == 0 || path.index != this) throw EKrxException(KrxError::InvalidIndexKeyPath);
  int64_t before = 0;
  int32_t pageNo = FirstLeafPageNo(session);
  while (pageNo >= 0 && pageNo != path.Leaf().pageNo) {
    TKrxHeldPage held;
    int count;
    int32_t next;
    LeafEntries(session, pageNo, held, &count, nullptr, &next);
    before += count;
    pageNo = next;
  }
  if (pageNo < 0) throw EKrxException(KrxError::IndexInvalidPageNumber);
  return before + path.Leaf().entry;
}

void TKrxBTree::PathOfEntryNumber(int32_t session, int64_t k, TKrxKeyPath& path) {
  if (!First(session, path)) throw EKrxException(KrxError::CannotRetrieveFromEmptyIndex);
  if (k < 0) throw EKrxException(KrxError::IndexInvalidParams);
  for (;;) {
    int64_t remaining = path.Leaf().count - path.Leaf().entry;
    if (k < remaining) {
      path.Leaf().entry += static_cast<int32_t>(k);
      return;
    }
    k -= remaining;
    path.Leaf().entry = path.Leaf().count - 1;
    if (!Next(session, path)) throw EKrxException(KrxError::CannotSetRecNoGreater);
  }
}

int TKrxBTree::Height(int32_t session) {
  TKrxKeyPath path;
  DescendEdge(session, false, path);
  return path.levelCount;
}

void TKrxBTree::CollectPages(int32_t session, std::vector<int32_t>& pages) {
  // Level by level: the leftmost page of each level, then its right links.
  int32_t levelStart = rootPageNo_;
  std::unordered_set<int32_t> seen;
  while (levelStart >= 0) {
    int32_t nextLevel = -1;
    for (int32_t pageNo = levelStart; pageNo >= 0;) {
      if (!seen.insert(pageNo).second) throw EKrxException(KrxError::IndexCircularLinks, pageNo, 0);
      pages.push_back(pageNo);
      TKrxHeldPage page = GetPage(session, pageNo);
      const uint8_t* data = page->Data();
      if (pageNo == levelStart && !IsLeaf(data) && Count(data) > 0)
        nextLevel = GetI32(data, kHeaderSize + Extra(data) + keyRef_.KeyLength());
      pageNo = pageNo == rootPageNo_ ? -1 : NextOf(data);
    }
    levelStart = nextLevel;
  }
}

int64_t TKrxBTree::PageCount(int32_t session) {
  std::vector<int32_t> pages;
  CollectPages(session, pages);
  return static_cast<int64_t>(pages.size());
}

void TKrxBTree::Drop(int32_t session) {
  std::vector<int32_t> pages;
  CollectPages(session, pages);
  for (int32_t pageNo : pages) pm_.DeletePage(session, pageNo);
  rootPageNo_ = -1;
}

void TKrxBTree::Clear(int32_t session) {
  std::vector<int32_t> pages;
  CollectPages(session, pages);
  for (int32_t pageNo : pages)
    if (pageNo != rootPageNo_) pm_.DeletePage(session, pageNo);
  TKrxHeldPage root = GetPage(session, rootPageNo_);
  bool firstRoot = root->Data()[kFirstRoot] != 0;
  InitPage(*root, true, true, firstRoot);
}

void TKrxBTree::Check(int32_t session) {
  // Node pointers: every child a page of the next level, leaves all at the
  // same depth, no page reached twice.
  std::unordered_set<int32_t> seen;
  int leafDepth = -1;
  std::vector<int32_t> leaves;
  std::function<void(int32_t, int)> visit = [&](int32_t pageNo, int depth) {
    if (depth >= TKrxKeyPath::kMaxLevels) throw EKrxException(KrxError::IndexIntegrityViolated, pageNo, 0);
    TKrxHeldPage page = GetPage(session, pageNo);
    const uint8_t* data = page->Data();
    if (IsLeaf(data)) {
      if (leafDepth < 0) leafDepth = depth;
      if (leafDepth != depth) throw EKrxException(KrxError::IndexIntegrityViolated, pageNo, 0);
      leaves.push_back(pageNo);
      return;
    }
    int n = Count(data);
    if (n == 0) throw EKrxException(KrxError::IndexIntegrityViolated, pageNo, 0);
    std::vector<int32_t> children(n);
    for (int i = 0; i < n; ++i)
      children[i] = GetI32(data, kHeaderSize + Extra(data) + static_cast<size_t>(i) * NodeEntrySize() +
                                     keyRef_.KeyLength());
    page.Reset();
    for (int i = 0; i < n; ++i) {
      if (children[i] < 0) throw EKrxException(KrxError::IndexIntegrityViolated, pageNo, i);
      if (!seen.insert(children[i]).second) throw EKrxException(KrxError::IndexCircularLinks, pageNo, i);
      try {
        visit(children[i], depth + 1);
      } catch (const EKrxException& e) {
        if (e.NativeError() == KrxErrorCode(KrxError::IndexIntegrityViolated) ||
            e.NativeError() == KrxErrorCode(KrxError::IndexCircularLinks) ||
            e.NativeError() == KrxErrorCode(KrxError::IndexInvalidLeafLink))
          throw;
        throw EKrxException(KrxError::IndexIntegrityViolated, pageNo, i);
      }
    }
  };
  seen.insert(rootPageNo_);
  visit(rootPageNo_, 0);
  // Leaf links: left to right exactly the leaves in tree order.
  int32_t prev = -1;
  for (size_t i = 0; i < leaves.size(); ++i) {
    TKrxHeldPage page = GetPage(session, leaves[i]);
    const uint8_t* data = page->Data();
    int32_t expectedNext = i + 1 < leaves.size() ? leaves[i + 1] : -1;
    if (leaves.size() > 1 || leaves[i] != rootPageNo_) {
      if (PrevOf(data) != prev || NextOf(data) != expectedNext)
        throw EKrxException(KrxError::IndexInvalidLeafLink, leaves[i], static_cast<int64_t>(i));
    }
    prev = leaves[i];
  }
}

}  // namespace krx
