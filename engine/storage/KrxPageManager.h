// The page cache of one database and the private page sets of its sessions.
//
// Clean pages are shared by all sessions in one cache (least recently used
// pages are evicted first). A page a session changes becomes private to that
// session when it is let go, so other sessions keep reading the committed
// version; Commit writes the session's private pages as one batch and
// Rollback drops them. Derived managers supply the store underneath: the
// database file, memory, or a temporary file.
//
// Session IDs: -2 is the engine's own work, 0 every session in single-user
// mode, the slot number in multi-user mode; -1 is never a valid session.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "KrxPage.h"
#include "KrxSortedPageList.h"

namespace krx {

constexpr int32_t kKrxEngineSession = -2;

class TKrxPageManager {
 public:
  TKrxPageManager(size_t pageSize, size_t headerSize);
  virtual ~TKrxPageManager();
  TKrxPageManager(const TKrxPageManager&) = delete;
  TKrxPageManager& operator=(const TKrxPageManager&) = delete;

  size_t PageSize() const { return pageSize_; }
  size_t HeaderSize() const { return headerSize_; }
  size_t PageDataSize() const { return pageSize_ - headerSize_; }
  bool MultiUser() const { return multiUser_; }
  // Another process may rewrite any cached page: the database object of a
  // multi-user file has every use checked against the WriteCounter on disk.
  void SetValidateEveryUse(bool on) { validateEveryUse_ = on; }

  // A new page of that type, held by the session (use count 1), dirty, with
  // a fresh header. The page number comes from the store's free space.
  TKrxPage* AllocatePage(int32_t session, uint16_t pageType);
  // The page of that number held by the session. With an expected type other
  // than kKrxAnyPageType a page read from the store must carry that type.
  // validate re-reads a cached page changed by another process.
  TKrxPage* GetPage(int32_t session, int32_t pageNo, bool validate = false,
                    uint8_t expectedType = kKrxAnyPageType);
  // Lets a page of GetPage/AllocatePage go. A changed page (MarkDirty) then
  // belongs to its session's private set until commit or roll back.
  void ReleasePage(TKrxPage* page);
  // Frees the page number at the session's commit.
  void DeletePage(int32_t session, int32_t pageNo);

  // Writes the session's private pages as one batch and frees the pages it
  // deleted.
  virtual void Commit(int32_t session);
  // Drops the session's private pages and frees the pages it allocated.
  virtual void Rollback(int32_t session);
  // True when the session has private, allocated or deleted pages.
  bool HasChanges(int32_t session) const;

  size_t CacheCapacity() const { return cacheCapacity_; }
  void SetCacheCapacity(size_t pages);
  size_t CachedPageCount() const { return cache_.Count(); }
  // Pages a session holds privately (changed, not yet committed).
  size_t PrivatePageCount(int32_t session) const;

  // The cache capacity of a new manager: min(available memory / 65536, 65536).
  static size_t DefaultCacheCapacity();

 protected:
  // The store underneath.
  // Fills page.Buffer() with the stored bytes of page.PageNo(); a page that
  // cannot be read gets WriteCounter 0x7FFFFFFF.
  virtual void ReadPageFromStore(TKrxPage& page) = 0;
  virtual void WritePageToStore(TKrxPage& page) = 0;
  // A free page number, taken from the free space at once.
  virtual int32_t AllocatePageNo() = 0;
  // Gives a page number back to the free space.
  virtual void FreePageNo(int32_t pageNo) = 0;
  virtual bool IsMapPageNo(int32_t /*pageNo*/) const { return false; }
  // Multi-user validation: the WriteCounter of the page in the store.
  virtual int32_t ReadStoredWriteCounter(int32_t pageNo);
  // A page object for a number; the memory engine hands out its own blocks.
  virtual std::unique_ptr<TKrxPage> NewPage(int32_t pageNo);
  // A random WriteCounter for a newly allocated page.
  static int32_t RandomWriteCounter();

  void SetMultiUser(bool multiUser) { multiUser_ = multiUser; }
  // For stores that learn their page size when a file is opened.
  void SetPageGeometry(size_t pageSize, size_t headerSize);

  // The batch of a commit, without what the store does around it: checks
  // that no page is still held, frees the deleted pages, writes the private
  // pages in page-number order and moves them into the cache.
  void CommitSessionPages(int32_t session);
  // The page numbers a commit of the session writes (its private pages),
  // those it allocated and those it deletes.
  void SessionPageNumbers(int32_t session, std::vector<int32_t>& written, std::vector<int32_t>& allocated,
                          std::vector<int32_t>& released) const;
  // Drops the cached copies of pages nobody holds or changed, for when the
  // store was changed underneath (a journal played back).
  void ForgetCleanPages();
  // Forgets every page object (closing the store); raises "Cannot free not
  // commited pages" when a session still has private pages and
  // failOnUncommitted is set.
  void DropAllPages(bool failOnUncommitted);

 private:
  struct SessionPages {
    TKrxSortedPageList dirty;
    std::vector<int32_t> allocated;
    std::vector<int32_t> released;
  };

  SessionPages& Session(int32_t session);
  const SessionPages* FindSession(int32_t session) const;
  void CheckSession(int32_t session) const;
  void EvictWhileOverCapacity();
  bool PageValidForSession(const TKrxPage& page, int32_t session) const;

  size_t pageSize_;
  size_t headerSize_;
  bool multiUser_ = false;
  bool validateEveryUse_ = false;
  size_t cacheCapacity_;
  TKrxSortedPageList cache_;
  std::map<int32_t, std::unique_ptr<SessionPages>> sessions_;
};

// Holds a page of a page manager for one scope and lets it go at the end.
class TKrxHeldPage {
 public:
  TKrxHeldPage() = default;
  explicit TKrxHeldPage(TKrxPage* page) : page_(page) {}
  ~TKrxHeldPage() { Reset(); }
  TKrxHeldPage(TKrxHeldPage&& other) noexcept : page_(other.page_) { other.page_ = nullptr; }
  TKrxHeldPage& operator=(TKrxHeldPage&& other) noexcept;
  TKrxHeldPage(const TKrxHeldPage&) = delete;
  TKrxHeldPage& operator=(const TKrxHeldPage&) = delete;

  TKrxPage* operator->() const { return page_; }
  TKrxPage& operator*() const { return *page_; }
  TKrxPage* Get() const { return page_; }
  explicit operator bool() const { return page_ != nullptr; }
  void Reset();

 private:
  TKrxPage* page_ = nullptr;
};

}  // namespace krx
