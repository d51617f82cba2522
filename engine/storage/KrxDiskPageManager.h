// The page manager of a database file: its headers, page I/O, free space,
// the object-ID counter and the byte locks between processes.
//
// Page N of the image is at image start + 380 + N * PageSize (the 380 being
// 356 + the lock-area length + 4). Lock bytes (image relative): 359 tables
// lock, 360 header lock (re-entrant in the process), 376 object-ID lock.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "KrxDatabaseFile.h"
#include "KrxFileHeader.h"
#include "KrxFreeSpaceManager.h"
#include "KrxJournal.h"
#include "KrxPageManager.h"

namespace krx {

class TKrxDiskPageManager : public TKrxPageManager, private IKrxMapPageStore {
 public:
  TKrxDiskPageManager();
  ~TKrxDiskPageManager() override;

  // Creates a new database file with its headers; no pages yet.
  void CreateDatabaseFile(const std::string& fileName, const TKrxPasswordRecord& password,
                          uint16_t extentPageCount, uint16_t pageSize);
  // Opens an existing database file. multiUser and readOnly come back as
  // decided (a read-only file is opened single-user). Returns true when the
  // file needs repair (an interrupted commit, or a very old format).
  // A journal left by a cut-off commit is dealt with first, under the header
  // lock: a complete one is played back (read through, in memory, when the
  // file is opened read-only), an incomplete one is deleted.
  bool OpenDatabaseFile(const std::string& fileName, const TKrxPasswordRecord& password,
                        bool& multiUser, bool exclusive, bool& readOnly);
  void CloseDatabaseFile();
  bool IsOpen() const;
  const std::string& FileName() const { return fileName_; }
  bool ReadOnly() const { return readOnly_; }
  bool Exclusive() const { return exclusive_; }
  int64_t ImageStart() const { return imageStart_; }
  // The main header as last read or written.
  const TKrxMainHeader& MainHeader() const { return header_; }
  const TKrxSecurityHeader& SecurityHeader() const { return security_; }
  // Re-reads the main header from the file.
  const TKrxMainHeader& ReloadMainHeader();

  // Whole-page I/O by page number (page.PageNo()).
  void ReadPage(TKrxPage& page);
  void WritePage(TKrxPage& page);

  // The next object ID of the file (table IDs and the like).
  int32_t GetNextObjectID();
  // Cuts the file after LastUsedPageNo.
  void TrimFile();
  void FlushFileBuffers();
  // Size of the operating-system file in bytes.
  int64_t FileSize() { return file_.GetSize(); }

  // Raw access to bytes of a page for direct internal files, bypassing the
  // cache: offset is within the page (header included).
  void ReadPageBytes(int32_t pageNo, int32_t offset, uint8_t* buffer, int32_t count);
  void WritePageBytes(int32_t pageNo, int32_t offset, const uint8_t* buffer, int32_t count);
  bool LockPageBytes(int32_t pageNo, int32_t offset, int32_t count = 1);
  bool UnlockPageBytes(int32_t pageNo, int32_t offset, int32_t count = 1);
  bool IsPageByteLocked(int32_t pageNo, int32_t offset);
  bool IsPageRegionLocked(int32_t pageNo, int32_t offset, int32_t count);

  // The locks of the file, retried 4500 times 20 ms apart. The header lock
  // is re-entrant within the process.
  void LockHeader();
  void UnlockHeader();
  // For readers of a file shared by many users: a journal seen now belongs
  // to a commit in progress or to one whose process died; waiting for the
  // header lock tells them apart, and the dead one is played back before
  // anything is read.
  void SettleHotJournal();
  int HeaderLockCount() const { return headerLockCount_; }
  void LockTables();
  void UnlockTables();

  // A commit first saves the images it will overwrite in the journal; the
  // journal's deletion is the moment the commit becomes durable. With flush
  // the journal is on the disk before the first page is written and the
  // database before the journal is deleted, so power loss is survived too.
  void Commit(int32_t session) override { Commit(session, false); }
  void Commit(int32_t session, bool flush);
  void Rollback(int32_t session) override;

  TKrxDatabaseFreeSpaceManager& FreeSpace() { return *freeSpace_; }
  TKrxDatabaseFile& File() { return file_; }

  // Called inside Commit after the pages are written and before the header
  // that marks the commit complete is written. A hook that throws makes the
  // commit fail: the file is restored from the journal.
  void SetBeforeCommitCompleteHook(std::function<void()> hook) { beforeCommitComplete_ = std::move(hook); }
  // Called at each step of a commit (journal records, writes to the
  // database file), so that a test can stop the process at any of them.
  void SetCommitStepHook(TKrxCommitStepHook hook) { commitStepHook_ = std::move(hook); }
  // True when a read-only open found a complete journal: reads of the pages
  // and header it holds come from it, showing the state before the commit.
  bool ReadsThroughJournal() const { return readThrough_ != nullptr; }

  // Attempts and pause of the lock retries (4500 x 20 ms by default).
  void SetLockRetry(int attempts, int pauseMs) {
    lockAttempts_ = attempts;
    lockPauseMs_ = pauseMs;
  }

 protected:
  void ReadPageFromStore(TKrxPage& page) override { ReadPage(page); }
  void WritePageToStore(TKrxPage& page) override { WritePage(page); }
  int32_t AllocatePageNo() override;
  void FreePageNo(int32_t pageNo) override;
  bool IsMapPageNo(int32_t pageNo) const override;
  int32_t ReadStoredWriteCounter(int32_t pageNo) override;

 private:
  // IKrxMapPageStore
  void ReadMapPage(int32_t pageNo, uint16_t expectedType, uint8_t* page) override;
  void WriteMapPage(int32_t pageNo, uint8_t* page) override;
  void ReadPageCounts(int32_t& lastUsedPageNo, int32_t& totalPageCount) override;
  void WritePageCounts(int32_t lastUsedPageNo, int32_t totalPageCount) override;
  void ResizeToPages(int32_t totalPageCount) override;
  void MarkPageReleased(int32_t pageNo) override;

  void CheckOpen() const;
  void CheckPageNo(int32_t pageNo) const;
  int64_t PagePosition(int32_t pageNo) const;
  int64_t LocateImage();
  void ReadMainHeader();
  void WriteMainHeader();
  // count bytes at offset of a page as stored: through the journal of a
  // read-only open where it holds the page. False on a short read.
  bool ReadStoredBytes(int32_t pageNo, int64_t offset, uint8_t* buffer, int64_t count);
  // Journal handling: see KrxJournal.h.
  void RecoverFromJournal();
  void PlayBack(const TKrxJournalContents& journal);
  void WriteJournal(int32_t session, bool flush, const uint8_t* headerImage);
  void UndoFailedCommit();
  void AfterCommitWrite();
  bool RetryLock(int64_t position);
  void UnlockPosition(int64_t position);
  void EncipherPageData(TKrxPage& page);
  void DecipherPageData(TKrxPage& page);
  // The cipher step of page and check-block data; false when it failed.
  bool CipherBytes(bool encipher, uint8_t cipherID, uint8_t* data, size_t count);
  bool DecideReadOnly(const std::string& fileName, bool multiUser);
  void ResetState();

  TKrxDatabaseFile file_;
  std::string fileName_;
  std::unique_ptr<TKrxDatabaseFreeSpaceManager> freeSpace_;
  TKrxMainHeader header_;
  TKrxSecurityHeader security_;
  TKrxPasswordRecord password_;
  int32_t lockAreaLength_ = kKrxLockAreaSize;
  int64_t imageStart_ = 0;
  int64_t counterOffset_ = 376;
  int64_t firstPageOffset_ = 380;
  bool exclusive_ = false;
  bool readOnly_ = false;
  int headerLockCount_ = 0;
  int lockAttempts_ = 4500;
  int lockPauseMs_ = 20;
  std::function<void()> beforeCommitComplete_;
  TKrxCommitStepHook commitStepHook_;
  bool inCommit_ = false;
  int commitWrites_ = 0;
  // Multi-user writers look for a journal of a dead commit at each header lock.
  bool journalCheckOnLock_ = false;
  std::unique_ptr<TKrxJournalContents> readThrough_;
  std::vector<uint8_t> journalPage_;
};

}  // namespace krx
