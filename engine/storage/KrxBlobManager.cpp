#include "KrxBlobManager.h"

#include <algorithm>
#include <cstring>

#include "KrxBytes.h"
#include "KrxException.h"

namespace krx {
namespace {

constexpr uint16_t kBlobPageType = 11;

struct Header {
  int16_t id;
  int32_t blockCount;
  int64_t storedSize;
  int64_t uncompressedSize;
};

void PutHeader(uint8_t* p, const Header& h) {
  PutI16(p, 0, h.id);
  PutI32(p, 2, h.blockCount);
  PutI64(p, 6, h.storedSize);
  PutI64(p, 14, h.uncompressedSize);
}

Header GetHeader(const uint8_t* p) { return {GetI16(p, 0), GetI32(p, 2), GetI64(p, 6), GetI64(p, 14)}; }

int16_t NextID(int16_t id) { return id == -2 ? 0 : static_cast<int16_t>(static_cast<uint16_t>(id) + 1); }

}  // namespace

TKrxBlobRef KrxGetBlobRef(const uint8_t* p, size_t off) { return {GetI32(p, off), GetI16(p, off + 4)}; }
void KrxPutBlobRef(uint8_t* p, size_t off, const TKrxBlobRef& ref) {
  PutI32(p, off, ref.pageNo);
  PutI16(p, off + 4, ref.entryID);
}

TKrxDiskBlobManager::TKrxDiskBlobManager(TKrxPageManager& pageManager, int32_t blobIndexRoot)
    : pm_(pageManager), index_(pageManager, blobIndexRoot) {}

TKrxBlobRef TKrxDiskBlobManager::Write(int32_t session, const TKrxBlobValue& value) {
  if (value.stored.size() + 24 < pm_.PageDataSize()) return WriteShared(session, value);
  return WriteLarge(session, value);
}

TKrxBlobRef TKrxDiskBlobManager::WriteShared(int32_t session, const TKrxBlobValue& value) {
  const size_t d = pm_.PageDataSize();
  const int need = static_cast<int>(value.stored.size() + kKrxBlobHeaderSize);
  int32_t pageNo = index_.FindPageWithRoom(session, need);
  TKrxHeldPage page;
  int indexedSize = 0;
  if (pageNo < 0) {
    page = TKrxHeldPage(pm_.AllocatePage(session, kBlobPageType));
    std::memset(page->Data(), 0, d);
    pageNo = page->PageNo();
  } else {
    page = TKrxHeldPage(pm_.GetPage(session, pageNo, false, kBlobPageType));
    index_.FindPage(session, pageNo, indexedSize);
  }
  uint8_t* data = page->Data();
  const int count = GetU16(data, 0);
  // Walk the entries: their IDs and the end of the last one.
  std::vector<int16_t> ids;
  size_t end = 2;
  for (int i = 0; i < count; ++i) {
    Header h = GetHeader(data + end);
    ids.push_back(h.id);
    end += kKrxBlobHeaderSize + static_cast<size_t>(h.storedSize);
  }
  int16_t id = static_cast<int16_t>(count);
  for (size_t guard = 0; std::find(ids.begin(), ids.end(), id) != ids.end(); ++guard) {
    id = NextID(id);
    if (guard > 65536) throw EKrxException(KrxError::InvalidBlobFieldId);
  }
  if (id == kKrxLargeBlobID) throw EKrxException(KrxError::InvalidBlobFieldId);
  if (end + static_cast<size_t>(need) > d)
    throw EKrxException(KrxError::CannotAddBlobPageFull, count, static_cast<int64_t>(end), need,
                        static_cast<int64_t>(d), indexedSize);
  PutHeader(data + end, {id, value.blockCount, static_cast<int64_t>(value.stored.size()), value.uncompressedSize});
  std::memcpy(data + end + kKrxBlobHeaderSize, value.stored.data(), value.stored.size());
  PutU16(data, 0, static_cast<uint16_t>(count + 1));
  page->MarkDirty();
  page.Reset();
  index_.SetCount(session, pageNo, static_cast<int>(end + static_cast<size_t>(need)));
  return {pageNo, id};
}

TKrxBlobRef TKrxDiskBlobManager::WriteLarge(int32_t session, const TKrxBlobValue& value) {
  const size_t d = pm_.PageDataSize();
  TKrxHeldPage first(pm_.AllocatePage(session, kBlobPageType));
  const int32_t firstNo = first->PageNo();
  std::memset(first->Data(), 0, d);
  PutHeader(first->Data(), {0, value.blockCount, static_cast<int64_t>(value.stored.size()), value.uncompressedSize});
  std::vector<int32_t> content{firstNo};
  // Content: from offset 32 of the first page, then whole pages.
  size_t done = std::min(value.stored.size(), d - kKrxLargeBlobDataStart);
  std::memcpy(first->Data() + kKrxLargeBlobDataStart, value.stored.data(), done);
  first->MarkDirty();
  TKrxHeldPage current;
  size_t position = kKrxLargeBlobDataStart + done;  // in the last content page
  int32_t lastNo = firstNo;
  while (done < value.stored.size()) {
    current = TKrxHeldPage(pm_.AllocatePage(session, kBlobPageType));
    std::memset(current->Data(), 0, d);
    size_t n = std::min(value.stored.size() - done, d);
    std::memcpy(current->Data(), value.stored.data() + done, n);
    current->MarkDirty();
    done += n;
    position = n;
    lastNo = current->PageNo();
    content.push_back(lastNo);
  }
  // The page list behind the last content byte; a full page means a new one.
  TKrxHeldPage listPage;
  if (lastNo == firstNo) listPage = std::move(first);
  else listPage = std::move(current);
  if (position + 4 > d) {
    TKrxHeldPage fresh(pm_.AllocatePage(session, kBlobPageType));
    std::memset(fresh->Data(), 0, d);
    listPage = std::move(fresh);
    position = 0;
  }
  const int32_t listStart = listPage->PageNo();
  const size_t listOffset = position;
  for (int32_t pageNo : content) {
    if (position + 4 > d) {
      TKrxHeldPage fresh(pm_.AllocatePage(session, kBlobPageType));
      std::memset(fresh->Data(), 0, d);
      listPage->SetNextPageNo(fresh->PageNo());
      listPage->MarkDirty();
      listPage = std::move(fresh);
      position = 0;
    }
    PutI32(listPage->Data(), position, pageNo);
    position += 4;
    listPage->MarkDirty();
  }
  listPage.Reset();
  first.Reset();
  TKrxHeldPage head(pm_.GetPage(session, firstNo, false, kBlobPageType));
  PutI32(head->Data(), kKrxBlobHeaderSize, listStart);
  PutI16(head->Data(), kKrxBlobHeaderSize + 4, static_cast<int16_t>(listOffset));
  PutI32(head->Data(), kKrxBlobHeaderSize + 6, static_cast<int32_t>(content.size()));
  head->MarkDirty();
  return {firstNo, kKrxLargeBlobID};
}

bool TKrxDiskBlobManager::ReadShared(int32_t session, const TKrxBlobRef& ref, TKrxBlobValue& value) {
  TKrxHeldPage page(pm_.GetPage(session, ref.pageNo, false, kBlobPageType));
  const uint8_t* data = page->Data();
  const size_t d = pm_.PageDataSize();
  int count = GetU16(data, 0);
  size_t at = 2;
  for (int i = 0; i < count; ++i) {
    if (at + kKrxBlobHeaderSize > d) return false;
    Header h = GetHeader(data + at);
    if (h.storedSize < 0 || at + kKrxBlobHeaderSize + static_cast<size_t>(h.storedSize) > d) return false;
    if (h.id == ref.entryID) {
      value.blockCount = h.blockCount;
      value.uncompressedSize = h.uncompressedSize;
      value.stored.assign(data + at + kKrxBlobHeaderSize, data + at + kKrxBlobHeaderSize + h.storedSize);
      return true;
    }
    at += kKrxBlobHeaderSize + static_cast<size_t>(h.storedSize);
  }
  return false;
}

std::vector<int32_t> TKrxDiskBlobManager::ReadPageList(int32_t session, int32_t firstPage,
                                                       std::vector<int32_t>* listPages) {
  const size_t d = pm_.PageDataSize();
  TKrxHeldPage head(pm_.GetPage(session, firstPage, false, kBlobPageType));
  int32_t listPage = GetI32(head->Data(), kKrxBlobHeaderSize);
  size_t position = static_cast<uint16_t>(GetI16(head->Data(), kKrxBlobHeaderSize + 4));
  int32_t count = GetI32(head->Data(), kKrxBlobHeaderSize + 6);
  head.Reset();
  if (count <= 0 || listPage <= 0) throw EKrxException(KrxError::CannotReadBlobFieldValue);
  std::vector<int32_t> pages;
  TKrxHeldPage page(pm_.GetPage(session, listPage, false, kBlobPageType));
  if (listPages) listPages->push_back(listPage);
  while (static_cast<int32_t>(pages.size()) < count) {
    if (position + 4 > d) {
      int32_t next = page->GetNextPageNo();
      if (next <= 0) throw EKrxException(KrxError::CannotReadBlobFieldValue);
      page = TKrxHeldPage(pm_.GetPage(session, next, false, kBlobPageType));
      if (listPages) listPages->push_back(next);
      position = 0;
    }
    pages.push_back(GetI32(page->Data(), position));
    position += 4;
  }
  return pages;
}

bool TKrxDiskBlobManager::ReadLarge(int32_t session, const TKrxBlobRef& ref, TKrxBlobValue& value) {
  const size_t d = pm_.PageDataSize();
  Header h;
  {
    TKrxHeldPage head(pm_.GetPage(session, ref.pageNo, false, kBlobPageType));
    h = GetHeader(head->Data());
  }
  if (h.storedSize < 0) throw EKrxException(KrxError::InvalidBlobFieldSize);
  std::vector<int32_t> pages = ReadPageList(session, ref.pageNo, nullptr);
  if (pages.empty() || pages[0] != ref.pageNo) return false;
  value.blockCount = h.blockCount;
  value.uncompressedSize = h.uncompressedSize;
  value.stored.resize(static_cast<size_t>(h.storedSize));
  size_t done = 0;
  for (size_t i = 0; i < pages.size() && done < value.stored.size(); ++i) {
    TKrxHeldPage page(pm_.GetPage(session, pages[i], false, kBlobPageType));
    size_t from = i == 0 ? kKrxLargeBlobDataStart : 0;
    size_t n = std::min(value.stored.size() - done, d - from);
    std::memcpy(value.stored.data() + done, page->Data() + from, n);
    done += n;
  }
  return done == value.stored.size();
}

TKrxBlobValue TKrxDiskBlobManager::Read(int32_t session, const TKrxBlobRef& ref) {
  TKrxBlobValue value;
  if (!ref.HasValue()) throw EKrxException(KrxError::CannotReadBlobFieldValue);
  bool ok = false;
  if (ref.entryID == 255) {
    // 255 may name either layout: the first page's header and locator say
    // which to try first.
    bool largeFirst = false;
    try {
      TKrxHeldPage head(pm_.GetPage(session, ref.pageNo, false, kBlobPageType));
      Header h = GetHeader(head->Data());
      int64_t n = GetI32(head->Data(), kKrxBlobHeaderSize + 6);
      int64_t d = static_cast<int64_t>(pm_.PageDataSize());
      largeFirst = h.storedSize >= (n - 2) * d && h.storedSize <= n * d;
    } catch (const EKrxException&) {
    }
    auto attempt = [&](bool large) {
      try {
        return large ? ReadLarge(session, ref, value) : ReadShared(session, ref, value);
      } catch (const EKrxException&) {
        return false;
      }
    };
    ok = attempt(largeFirst) || attempt(!largeFirst);
  } else if (ref.entryID == kKrxLargeBlobID) {
    ok = ReadLarge(session, ref, value);
  } else {
    ok = ReadShared(session, ref, value);
    if (!ok) throw EKrxException(KrxError::CannotFindBlobField);
  }
  if (!ok) throw EKrxException(KrxError::CannotReadBlobFieldValue);
  return value;
}

void TKrxDiskBlobManager::DeleteShared(int32_t session, const TKrxBlobRef& ref) {
  int remainingEnd = 0;
  bool empty = false;
  {
    TKrxHeldPage page(pm_.GetPage(session, ref.pageNo, false, kBlobPageType));
    uint8_t* data = page->Data();
    int count = GetU16(data, 0);
    size_t at = 2, found = 0, foundSize = 0;
    bool hit = false;
    for (int i = 0; i < count; ++i) {
      Header h = GetHeader(data + at);
      size_t size = kKrxBlobHeaderSize + static_cast<size_t>(h.storedSize);
      if (!hit && h.id == ref.entryID) {
        hit = true;
        found = at;
        foundSize = size;
      }
      at += size;
    }
    if (!hit) throw EKrxException(KrxError::CannotFindBlobField);
    std::memmove(data + found, data + found + foundSize, at - found - foundSize);
    std::memset(data + at - foundSize, 0, foundSize);
    PutU16(data, 0, static_cast<uint16_t>(count - 1));
    page->MarkDirty();
    remainingEnd = static_cast<int>(at - foundSize);
    empty = count - 1 == 0;
  }
  if (empty) {
    index_.SetCount(session, ref.pageNo, 0);
    pm_.DeletePage(session, ref.pageNo);
  } else {
    index_.SetCount(session, ref.pageNo, remainingEnd);
  }
}

std::vector<int32_t> TKrxDiskBlobManager::LargeBlobPages(int32_t session, const TKrxBlobRef& ref) {
  std::vector<int32_t> listPages;
  std::vector<int32_t> pages = ReadPageList(session, ref.pageNo, &listPages);
  for (int32_t p : listPages)
    if (std::find(pages.begin(), pages.end(), p) == pages.end()) pages.push_back(p);
  return pages;
}

void TKrxDiskBlobManager::DeleteLarge(int32_t session, const TKrxBlobRef& ref) {
  for (int32_t p : LargeBlobPages(session, ref)) pm_.DeletePage(session, p);
}

void TKrxDiskBlobManager::Delete(int32_t session, const TKrxBlobRef& ref) {
  if (!ref.HasValue()) return;
  if (ref.entryID == kKrxLargeBlobID) {
    DeleteLarge(session, ref);
    return;
  }
  if (ref.entryID == 255) {
    TKrxBlobValue probe;
    bool large = false;
    try {
      large = ReadLarge(session, ref, probe);
    } catch (const EKrxException&) {
    }
    if (large) {
      DeleteLarge(session, ref);
      return;
    }
  }
  DeleteShared(session, ref);
}

uint32_t TKrxDiskBlobManager::NewCacheEntry() {
  for (size_t i = 0; i < cache_.size(); ++i)
    if (!cache_[i]) {
      cache_[i] = std::make_unique<TKrxBlobCacheEntry>();
      return static_cast<uint32_t>(i + 1);
    }
  cache_.push_back(std::make_unique<TKrxBlobCacheEntry>());
  return static_cast<uint32_t>(cache_.size());
}

TKrxBlobCacheEntry* TKrxDiskBlobManager::CacheEntry(uint32_t handle) {
  if (handle == 0 || handle > cache_.size()) return nullptr;
  return cache_[handle - 1].get();
}

void TKrxDiskBlobManager::ReleaseCacheEntry(uint32_t handle, bool force) {
  TKrxBlobCacheEntry* entry = CacheEntry(handle);
  if (!entry || (entry->modified && !force)) return;
  cache_[handle - 1].reset();
}

size_t TKrxDiskBlobManager::LiveCacheEntries() const {
  return static_cast<size_t>(std::count_if(cache_.begin(), cache_.end(), [](const auto& e) { return e != nullptr; }));
}

}  // namespace krx
