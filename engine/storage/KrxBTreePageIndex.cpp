#include "KrxBTreePageIndex.h"

#include "KrxException.h"

namespace krx {
namespace {

struct PageKey {
  uint8_t bytes[4];
  explicit PageKey(int32_t pageNo) { PutI32(bytes, 0, pageNo); }
  TKrxBTreeSearch Search() const { return TKrxBTreeSearch{bytes, nullptr, nullptr}; }
};

}  // namespace

TKrxBTreePageIndex::TKrxBTreePageIndex(TKrxPageManager& pageManager, int32_t rootPageNo)
    : tree_(pageManager, keyRef_, rootPageNo) {}

int32_t TKrxBTreePageIndex::Create(int32_t session) {
  int32_t root = TKrxBTree::CreateRoot(tree_.PageManager(), session, 4);
  tree_.SetRootPageNo(root);
  return root;
}

bool TKrxBTreePageIndex::At(int32_t session, const TKrxKeyPath& path, int32_t& pageNo, int& count) {
  uint8_t key[4], ref[2];
  tree_.ReadEntry(session, path, key, ref);
  pageNo = GetI32(key, 0);
  count = GetU16(ref, 0);
  return true;
}

bool TKrxBTreePageIndex::FirstPage(int32_t session, int32_t& pageNo, int& count) {
  TKrxKeyPath path;
  return tree_.First(session, path) && At(session, path, pageNo, count);
}

bool TKrxBTreePageIndex::LastPage(int32_t session, int32_t& pageNo, int& count) {
  TKrxKeyPath path;
  return tree_.Last(session, path) && At(session, path, pageNo, count);
}

bool TKrxBTreePageIndex::NextPage(int32_t session, int32_t after, int32_t& pageNo, int& count) {
  if (after == INT32_MAX) return false;
  PageKey key(after + 1);
  TKrxKeyPath path;
  tree_.Find(session, key.Search(), TKrxFindMode::First, path);
  if (!path.IsValid()) return false;
  return At(session, path, pageNo, count);
}

bool TKrxBTreePageIndex::PriorPage(int32_t session, int32_t before, int32_t& pageNo, int& count) {
  if (before == INT32_MIN) return false;
  PageKey key(before - 1);
  TKrxKeyPath path;
  tree_.Find(session, key.Search(), TKrxFindMode::Last, path);
  if (!path.IsValid()) return false;
  return At(session, path, pageNo, count);
}

bool TKrxBTreePageIndex::FindPage(int32_t session, int32_t pageNo, int& count) {
  PageKey key(pageNo);
  TKrxKeyPath path;
  if (!tree_.Find(session, key.Search(), TKrxFindMode::First, path)) return false;
  int32_t found;
  return At(session, path, found, count);
}

int TKrxBTreePageIndex::Add(int32_t session, int32_t pageNo, int amount) {
  PageKey key(pageNo);
  TKrxKeyPath path;
  uint8_t ref[2];
  if (tree_.Find(session, key.Search(), TKrxFindMode::First, path)) {
    int32_t found;
    int count;
    At(session, path, found, count);
    int updated = count + amount;
    if (!Acceptable(updated) || updated > 0xFFFF) throw EKrxException(KrxError::CannotAddDataItemPageFull);
    PutU16(ref, 0, static_cast<uint16_t>(updated));
    tree_.WriteRef(session, path, ref);
    return updated;
  }
  if (!Acceptable(amount) || amount > 0xFFFF || amount < 0) throw EKrxException(KrxError::CannotAddDataItemPageFull);
  PutU16(ref, 0, static_cast<uint16_t>(amount));
  tree_.Insert(session, key.Search(), ref);
  return amount;
}

int TKrxBTreePageIndex::Subtract(int32_t session, int32_t pageNo, int amount) {
  PageKey key(pageNo);
  TKrxKeyPath path;
  if (!tree_.Find(session, key.Search(), TKrxFindMode::First, path))
    throw EKrxException(KrxError::PageIndexInvalidPageNumber);
  int32_t found;
  int count;
  At(session, path, found, count);
  if (count == 0) throw EKrxException(KrxError::IndexPageIsEmpty);
  int updated = count - amount;
  if (updated < 0) throw EKrxException(KrxError::IndexInvalidParams);
  if (updated == 0) {
    tree_.Delete(session, key.Search());
    return 0;
  }
  uint8_t ref[2];
  PutU16(ref, 0, static_cast<uint16_t>(updated));
  tree_.WriteRef(session, path, ref);
  return updated;
}

void TKrxBTreePageIndex::SetCount(int32_t session, int32_t pageNo, int count) {
  int current = 0;
  if (FindPage(session, pageNo, current)) {
    if (count == current) return;
    if (count == 0) {
      Subtract(session, pageNo, current);
      return;
    }
    Add(session, pageNo, count - current);
    return;
  }
  if (count > 0) Add(session, pageNo, count);
}

int32_t TKrxBTreePageIndex::FindPageWithRoom(int32_t session, int amount) {
  const size_t e = tree_.LeafEntrySize();
  int32_t lastLeaf = tree_.LastLeafPageNo(session);
  {
    TKrxHeldPage held;
    int count;
    const uint8_t* entries = tree_.LeafEntries(session, lastLeaf, held, &count, nullptr, nullptr);
    for (int i = count - 1; i >= 0; --i) {
      const uint8_t* at = entries + static_cast<size_t>(i) * e;
      if (Admits(GetU16(at, 4), amount)) return GetI32(at, 0);
    }
  }
  int32_t firstLeaf = tree_.FirstLeafPageNo(session);
  if (firstLeaf == lastLeaf) return -1;
  TKrxHeldPage held;
  int count;
  const uint8_t* entries = tree_.LeafEntries(session, firstLeaf, held, &count, nullptr, nullptr);
  for (int i = 0; i < count; ++i) {
    const uint8_t* at = entries + static_cast<size_t>(i) * e;
    if (Admits(GetU16(at, 4), amount)) return GetI32(at, 0);
  }
  return -1;
}

int64_t TKrxBTreePageIndex::SumCounts(int32_t session) {
  int64_t sum = 0;
  tree_.ForEach(session, [&](const uint8_t*, const uint8_t* ref) {
    sum += GetU16(ref, 0);
    return true;
  });
  return sum;
}

bool TKrxBTreePageIndex::PageOfNumber(int32_t session, int64_t k, int32_t& pageNo, int& occurrence) {
  if (k < 0) return false;
  int64_t before = 0;
  bool found = false;
  tree_.ForEach(session, [&](const uint8_t* key, const uint8_t* ref) {
    int count = GetU16(ref, 0);
    if (k < before + count) {
      pageNo = GetI32(key, 0);
      occurrence = static_cast<int>(k - before);
      found = true;
      return false;
    }
    before += count;
    return true;
  });
  return found;
}

int64_t TKrxBTreePageIndex::CountBefore(int32_t session, int32_t pageNo) {
  int64_t before = 0;
  tree_.ForEach(session, [&](const uint8_t* key, const uint8_t* ref) {
    if (GetI32(key, 0) >= pageNo) return false;
    before += GetU16(ref, 0);
    return true;
  });
  return before;
}

}  // namespace krx
