#include "KrxPageManager.h"

#include <algorithm>
#include <random>

#include "KrxException.h"
#include "KrxMemoryManager.h"

namespace krx {

TKrxPageManager::TKrxPageManager(size_t pageSize, size_t headerSize)
    : pageSize_(pageSize), headerSize_(headerSize), cacheCapacity_(DefaultCacheCapacity()) {}

TKrxPageManager::~TKrxPageManager() = default;

size_t TKrxPageManager::DefaultCacheCapacity() {
  size_t pages = TKrxMemoryManager::Instance().AvailableMemory() / 65536;
  return std::clamp<size_t>(pages, 16, 65536);
}

void TKrxPageManager::SetPageGeometry(size_t pageSize, size_t headerSize) {
  pageSize_ = pageSize;
  headerSize_ = headerSize;
}

void TKrxPageManager::SetCacheCapacity(size_t pages) {
  cacheCapacity_ = pages;
  EvictWhileOverCapacity();
}

int32_t TKrxPageManager::RandomWriteCounter() {
  static thread_local std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<int32_t>(0, 0x3FFFFFFE)(generator);
}

std::unique_ptr<TKrxPage> TKrxPageManager::NewPage(int32_t pageNo) {
  return std::make_unique<TKrxPage>(this, pageNo, pageSize_, headerSize_);
}

int32_t TKrxPageManager::ReadStoredWriteCounter(int32_t /*pageNo*/) { return kKrxReleasedWriteCounter; }

void TKrxPageManager::CheckSession(int32_t session) const {
  if (session == -1 || session < kKrxEngineSession) throw EKrxException(KrxError::InvalidSessionID);
}

TKrxPageManager::SessionPages& TKrxPageManager::Session(int32_t session) {
  auto& entry = sessions_[session];
  if (!entry) entry = std::make_unique<SessionPages>();
  return *entry;
}

const TKrxPageManager::SessionPages* TKrxPageManager::FindSession(int32_t session) const {
  auto it = sessions_.find(session);
  return it == sessions_.end() ? nullptr : it->second.get();
}

bool TKrxPageManager::HasChanges(int32_t session) const {
  const SessionPages* sp = FindSession(session);
  return sp != nullptr && (!sp->dirty.Empty() || !sp->allocated.empty() || !sp->released.empty());
}

size_t TKrxPageManager::PrivatePageCount(int32_t session) const {
  const SessionPages* sp = FindSession(session);
  return sp ? sp->dirty.Count() : 0;
}

bool TKrxPageManager::PageValidForSession(const TKrxPage& /*page*/, int32_t /*session*/) const {
  // In single-user mode nobody else writes the file. In multi-user mode a
  // cached page is confirmed against its WriteCounter on disk each time a
  // caller asks for validation.
  return !multiUser_;
}

TKrxPage* TKrxPageManager::AllocatePage(int32_t session, uint16_t pageType) {
  CheckSession(session);
  int32_t pageNo = AllocatePageNo();
  TKrxPage* raw = nullptr;
  try {
    std::unique_ptr<TKrxPage> page = NewPage(pageNo);
    if (headerSize_ > 0) KrxPageHeader::Initialise(page->Buffer(), pageType, RandomWriteCounter());
    page->dirty_ = true;
    page->ownerSession_ = session;
    page->useCount_ = 1;
    if (TKrxPage* stale = cache_.Find(pageNo); stale != nullptr) {
      if (stale->UseCount() > 0) throw EKrxException(KrxError::PageUsedByOtherSession);
      cache_.Delete(pageNo);
    }
    SessionPages& sp = Session(session);
    if (sp.dirty.Find(pageNo) != nullptr) sp.dirty.Delete(pageNo);
    raw = page.get();
    sp.dirty.Insert(std::move(page));
    sp.allocated.push_back(pageNo);
  } catch (...) {
    try {
      FreePageNo(pageNo);
    } catch (...) {
    }
    throw;
  }
  return raw;
}

TKrxPage* TKrxPageManager::GetPage(int32_t session, int32_t pageNo, bool validate, uint8_t expectedType) {
  CheckSession(session);
  if (pageNo < 0) throw EKrxException(KrxError::InvalidPageNo, pageNo);
  if (IsMapPageNo(pageNo)) throw EKrxException(KrxError::CannotDeleteMapPage, pageNo);

  auto sit = sessions_.find(session);
  if (sit != sessions_.end()) {
    if (TKrxPage* page = sit->second->dirty.Find(pageNo); page != nullptr) {
      ++page->useCount_;
      return page;
    }
  }

  TKrxPage* page = cache_.Find(pageNo);
  if (page != nullptr) {
    if (page->useCount_ > 0 && page->ownerSession_ != session) throw EKrxException(KrxError::PageUsedByOtherSession);
    if ((validate || validateEveryUse_) && !page->dirty_ && !PageValidForSession(*page, session)) {
      int32_t stored = ReadStoredWriteCounter(pageNo);
      if (stored != page->GetWriteCounter() && stored != kKrxReleasedWriteCounter) {
        ReadPageFromStore(*page);
        page->ClearStamps();
      }
      page->Stamp(session, page->GetWriteCounter());
    }
  } else {
    std::unique_ptr<TKrxPage> fresh = NewPage(pageNo);
    ReadPageFromStore(*fresh);
    fresh->readFromDisk_ = true;
    if (expectedType != kKrxAnyPageType && headerSize_ > 0 && fresh->GetPageType() != expectedType)
      throw EKrxException(KrxError::InvalidPageType, static_cast<int>(expectedType),
                          static_cast<int>(fresh->GetPageType()));
    fresh->Stamp(session, fresh->GetWriteCounter());
    page = fresh.get();
    cache_.Insert(std::move(fresh));
  }
  page->ownerSession_ = session;
  ++page->useCount_;
  return page;
}

void TKrxPageManager::ReleasePage(TKrxPage* page) {
  if (page == nullptr) return;
  if (page->useCount_ <= 0) throw EKrxException(KrxError::InvalidPageModification);
  --page->useCount_;
  if (page->useCount_ == 0 && page->list_ == &cache_) {
    if (page->dirty_) {
      // From now on other sessions read the committed version from disk.
      int32_t owner = page->ownerSession_;
      std::unique_ptr<TKrxPage> own = cache_.Extract(page->PageNo());
      Session(owner).dirty.Insert(std::move(own));
    } else {
      cache_.Touch(page->PageNo());
    }
  }
  EvictWhileOverCapacity();
}

void TKrxPageManager::EvictWhileOverCapacity() {
  while (cache_.Count() > cacheCapacity_) {
    TKrxPage* victim = cache_.LeastRecentlyUsedFree();
    if (victim == nullptr) return;
    if (victim->dirty_) {  // a changed page waiting for its owner: keep it private
      int32_t owner = victim->ownerSession_;
      Session(owner).dirty.Insert(cache_.Extract(victim->PageNo()));
      continue;
    }
    cache_.Delete(victim->PageNo());
  }
}

void TKrxPageManager::DeletePage(int32_t session, int32_t pageNo) {
  CheckSession(session);
  if (pageNo < 0) throw EKrxException(KrxError::InvalidPageNo, pageNo);
  if (IsMapPageNo(pageNo)) throw EKrxException(KrxError::CannotDeleteMapPage, pageNo);
  SessionPages& sp = Session(session);
  if (std::find(sp.released.begin(), sp.released.end(), pageNo) == sp.released.end()) sp.released.push_back(pageNo);
}

void TKrxPageManager::CommitSessionPages(int32_t session) {
  auto sit = sessions_.find(session);
  if (sit == sessions_.end()) return;
  SessionPages& sp = *sit->second;

  // 1. Nothing of the session may still be held.
  for (size_t i = 0; i < cache_.Count(); ++i) {
    const TKrxPage* page = cache_.At(i);
    if (page->UseCount() > 0 && page->OwnerSession() == session)
      throw EKrxException(KrxError::SessionPagesNotReleased);
  }
  // 2. Deleted pages go back to the free space.
  for (int32_t pageNo : sp.released) {
    FreePageNo(pageNo);
    if (sp.dirty.Find(pageNo) != nullptr) sp.dirty.Delete(pageNo);
    if (TKrxPage* cached = cache_.Find(pageNo); cached != nullptr && cached->UseCount() == 0) cache_.Delete(pageNo);
  }
  // 3.
  sp.allocated.clear();
  sp.released.clear();
  // 4. The private pages, in page-number order.
  while (!sp.dirty.Empty()) {
    TKrxPage* page = sp.dirty.At(0);
    if (!page->IsDirty()) throw EKrxException(KrxError::InvalidDirtyPage);
    if (page->UseCount() > 0) throw EKrxException(KrxError::CannotWriteUsedPage);
    WritePageToStore(*page);
    page->SetDirty(false);
    page->ClearStamps();
    std::unique_ptr<TKrxPage> written = sp.dirty.Extract(page->PageNo());
    if (TKrxPage* stale = cache_.Find(written->PageNo()); stale != nullptr && stale->UseCount() == 0)
      cache_.Delete(written->PageNo());
    // Direct-file pages are read from disk each time, never from the cache.
    if (cache_.Count() < cacheCapacity_ && written->MayBeEnciphered() && cache_.Find(written->PageNo()) == nullptr)
      cache_.Insert(std::move(written));
  }
  // 5.
  sessions_.erase(sit);
}

void TKrxPageManager::SessionPageNumbers(int32_t session, std::vector<int32_t>& written,
                                         std::vector<int32_t>& allocated, std::vector<int32_t>& released) const {
  written.clear();
  allocated.clear();
  released.clear();
  const SessionPages* sp = FindSession(session);
  if (sp == nullptr) return;
  for (size_t i = 0; i < sp->dirty.Count(); ++i) written.push_back(sp->dirty.At(i)->PageNo());
  allocated = sp->allocated;
  released = sp->released;
}

void TKrxPageManager::ForgetCleanPages() {
  for (size_t i = 0; i < cache_.Count();) {
    TKrxPage* page = cache_.At(i);
    if (page->UseCount() == 0 && !page->IsDirty()) {
      cache_.Delete(page->PageNo());
    } else {
      ++i;
    }
  }
}

void TKrxPageManager::Commit(int32_t session) {
  CheckSession(session);
  if (!HasChanges(session)) return;
  CommitSessionPages(session);
}

void TKrxPageManager::Rollback(int32_t session) {
  CheckSession(session);
  // Changed pages of the session still in the shared cache hold uncommitted
  // bytes too: they go with the rest.
  for (size_t i = 0; i < cache_.Count();) {
    TKrxPage* page = cache_.At(i);
    if (page->IsDirty() && page->OwnerSession() == session) {
      if (page->UseCount() > 0) throw EKrxException(KrxError::CannotRemoveUsedPage);
      cache_.Delete(page->PageNo());
    } else {
      ++i;
    }
  }
  auto sit = sessions_.find(session);
  if (sit == sessions_.end()) return;
  SessionPages& sp = *sit->second;
  for (size_t i = 0; i < sp.dirty.Count(); ++i) {
    const TKrxPage* page = sp.dirty.At(i);
    if (!page->IsDirty()) throw EKrxException(KrxError::InvalidIndexPage);
    if (page->UseCount() > 0) throw EKrxException(KrxError::CannotRemoveUsedPage);
  }
  sp.dirty.Clear();
  std::vector<int32_t> allocated = std::move(sp.allocated);
  sessions_.erase(sit);
  for (int32_t pageNo : allocated) FreePageNo(pageNo);
}

void TKrxPageManager::DropAllPages(bool failOnUncommitted) {
  if (failOnUncommitted) {
    for (const auto& [session, sp] : sessions_)
      if (!sp->dirty.Empty()) throw EKrxException(KrxError::CannotFreeUncommittedPages);
  }
  sessions_.clear();
  cache_.Clear();
}

TKrxHeldPage& TKrxHeldPage::operator=(TKrxHeldPage&& other) noexcept {
  if (this != &other) {
    Reset();
    page_ = other.page_;
    other.page_ = nullptr;
  }
  return *this;
}

void TKrxHeldPage::Reset() {
  if (page_ == nullptr) return;
  TKrxPage* page = page_;
  page_ = nullptr;
  try {
    page->Manager()->ReleasePage(page);
  } catch (...) {
    // Letting a page go only fails on a use-count fault, already reported
    // where it arose.
  }
}

}  // namespace krx
