#include "KrxDiskPageManager.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "KrxBytes.h"
#include "KrxCRC32.h"
#include "KrxException.h"
#include "KrxProtection.h"

namespace krx {

namespace {

constexpr int64_t kScanWindow = 10000;
constexpr int64_t kScanOverlap = 16;
constexpr size_t kFirstRead = 92;

bool SignatureAt(const uint8_t* bytes) {
  return std::memcmp(bytes, kKrxFileSignature, kKrxSignatureSize) == 0 &&
         GetU16(bytes, kKrxSignatureSize) == kKrxMainHeaderSize;
}

}  // namespace

TKrxDiskPageManager::TKrxDiskPageManager() : TKrxPageManager(4096, kKrxPageHeaderSize) {}

TKrxDiskPageManager::~TKrxDiskPageManager() {
  try {
    CloseDatabaseFile();
  } catch (...) {
  }
}

bool TKrxDiskPageManager::IsOpen() const { return file_.IsOpen(); }

void TKrxDiskPageManager::CheckOpen() const {
  if (!file_.IsOpen()) throw EKrxException(KrxError::DatabaseFileNotOpened);
}

void TKrxDiskPageManager::CheckPageNo(int32_t pageNo) const {
  if (pageNo < 0) throw EKrxException(KrxError::InvalidPageNo, pageNo);
}

int64_t TKrxDiskPageManager::PagePosition(int32_t pageNo) const {
  return imageStart_ + firstPageOffset_ + static_cast<int64_t>(pageNo) * static_cast<int64_t>(PageSize());
}

void TKrxDiskPageManager::ResetState() {
  fileName_.clear();
  header_ = TKrxMainHeader{};
  security_ = TKrxSecurityHeader{};
  password_ = TKrxPasswordRecord{};
  lockAreaLength_ = kKrxLockAreaSize;
  imageStart_ = 0;
  counterOffset_ = kKrxLockAreaOffset + kKrxLockAreaSize;
  firstPageOffset_ = counterOffset_ + 4;
  exclusive_ = false;
  readOnly_ = false;
  headerLockCount_ = 0;
  inCommit_ = false;
  commitWrites_ = 0;
  journalCheckOnLock_ = false;
  readThrough_.reset();
  SetMultiUser(false);
}

// ---- locks -----------------------------------------------------------------

bool TKrxDiskPageManager::RetryLock(int64_t position) {
  if (exclusive_) return true;  // nobody else can have the file
  for (int attempt = 0; attempt < lockAttempts_; ++attempt) {
    if (file_.LockByte(imageStart_ + position)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(lockPauseMs_));
  }
  return false;
}

void TKrxDiskPageManager::UnlockPosition(int64_t position) {
  if (!exclusive_) file_.UnlockByte(imageStart_ + position);
}

void TKrxDiskPageManager::LockHeader() {
  CheckOpen();
  if (headerLockCount_ > 0) {
    ++headerLockCount_;
    return;
  }
  if (!RetryLock(kKrxHeaderLockPosition)) throw EKrxException(KrxError::DatabaseIsLocked);
  ++headerLockCount_;
  // Holding the header lock, no live commit can own a journal: one found now
  // was left by a process that died in its commit.
  if (journalCheckOnLock_ && KrxJournal::Exists(KrxJournal::NameFor(fileName_))) {
    try {
      RecoverFromJournal();
      ForgetCleanPages();
    } catch (...) {
      UnlockHeader();
      throw;
    }
  }
}

void TKrxDiskPageManager::SettleHotJournal() {
  if (!journalCheckOnLock_ || headerLockCount_ > 0) return;
  if (!KrxJournal::Exists(KrxJournal::NameFor(fileName_))) return;
  LockHeader();
  UnlockHeader();
}

void TKrxDiskPageManager::UnlockHeader() {
  if (headerLockCount_ <= 0) return;
  if (--headerLockCount_ == 0 && file_.IsOpen()) UnlockPosition(kKrxHeaderLockPosition);
}

void TKrxDiskPageManager::LockTables() {
  CheckOpen();
  if (!RetryLock(kKrxTablesLockPosition)) throw EKrxException(KrxError::DatabaseTablesLocked);
}

void TKrxDiskPageManager::UnlockTables() {
  CheckOpen();
  if (!exclusive_ && !file_.UnlockByte(imageStart_ + kKrxTablesLockPosition))
    throw EKrxException(KrxError::CannotUnlockDatabaseTables);
}

// ---- headers -----------------------------------------------------------------

int64_t TKrxDiskPageManager::LocateImage() {
  uint8_t first[kFirstRead] = {};
  file_.ReadBuffer(first, 0, kFirstRead);
  if (SignatureAt(first)) return 0;
  int64_t size = file_.GetSize();
  std::vector<uint8_t> window(static_cast<size_t>(kScanWindow));
  for (int64_t start = 0; start < size; start += kScanWindow - kScanOverlap) {
    int64_t length = std::min(kScanWindow, size - start);
    file_.ReadBuffer(window.data(), start, length);
    for (int64_t i = 0; i + static_cast<int64_t>(kKrxSignatureSize) <= length; ++i) {
      if (std::memcmp(window.data() + i, kKrxFileSignature, kKrxSignatureSize) != 0) continue;
      if (i + static_cast<int64_t>(kKrxSignatureSize) + 2 <= length) {
        if (GetU16(window.data() + i, kKrxSignatureSize) == kKrxMainHeaderSize) return start + i;
        continue;
      }
      // The size field lies past this window: read it from the file.
      uint8_t tail[kKrxSignatureSize + 2];
      if (file_.ReadBuffer(tail, start + i, sizeof tail) && SignatureAt(tail)) return start + i;
    }
    if (start + length >= size) break;
  }
  return 0;
}

void TKrxDiskPageManager::ReadMainHeader() {
  if (readThrough_ != nullptr && readThrough_->headerImage.size() >= kKrxMainHeaderSize) {
    header_ = TKrxMainHeader::Decode(readThrough_->headerImage.data());
    return;
  }
  uint8_t bytes[kKrxMainHeaderSize] = {};
  file_.ReadBuffer(bytes, imageStart_, kKrxMainHeaderSize);
  header_ = TKrxMainHeader::Decode(bytes);
}

const TKrxMainHeader& TKrxDiskPageManager::ReloadMainHeader() {
  CheckOpen();
  ReadMainHeader();
  return header_;
}

void TKrxDiskPageManager::WriteMainHeader() {
  uint8_t bytes[kKrxMainHeaderSize];
  header_.Encode(bytes);
  file_.WriteBuffer(bytes, imageStart_, kKrxMainHeaderSize);
  if (inCommit_) AfterCommitWrite();
}

// ---- create, open, close -----------------------------------------------------

void TKrxDiskPageManager::CreateDatabaseFile(const std::string& fileName, const TKrxPasswordRecord& password,
                                             uint16_t extentPageCount, uint16_t pageSize) {
  if (IsOpen()) throw EKrxException(KrxError::DatabaseFileInUse, fileName_);
  if (pageSize <= kKrxPageHeaderSize + 8 || extentPageCount == 0) throw EKrxException(KrxError::InvalidDatabaseFormat);
  ResetState();
  file_.CreateFile(fileName);
  try {
    fileName_ = fileName;
    password_ = password;
    exclusive_ = true;  // created unshared: no lock byte is needed meanwhile
    header_ = TKrxMainHeader{};
    header_.pageSize = pageSize;
    header_.extentPageCount = extentPageCount;
    header_.encrypted = !password.password.empty();
    security_ = TKrxSecurityHeader{};
    if (header_.encrypted) {
      security_.cipherID = password.cipherID;
      if (!KrxMakePasswordCheck(password.cipherID, password.password, security_.checkBlock.data(), security_.checkCRC))
        throw EKrxException(KrxError::OpenIncorrectPassword);
    }
    SetPageGeometry(pageSize, kKrxPageHeaderSize);

    uint8_t start[kKrxLockAreaOffset + kKrxLockAreaSize + 4] = {};
    header_.Encode(start);
    security_.Encode(start + kKrxSecurityHeaderOffset);
    PutU16(start, kKrxLockAreaOffset, kKrxLockAreaSize);
    file_.WriteBuffer(start, 0, kKrxLockAreaOffset + kKrxLockAreaSize);
    if (!RetryLock(kKrxObjectIDLockPosition)) throw EKrxException(KrxError::CannotGetNextObjectID);
    uint8_t counter[4] = {};
    file_.WriteBuffer(counter, counterOffset_, 4);
    UnlockPosition(kKrxObjectIDLockPosition);
    exclusive_ = false;
    freeSpace_ = std::make_unique<TKrxDatabaseFreeSpaceManager>(static_cast<IKrxMapPageStore&>(*this), pageSize, extentPageCount,
                                                                header_.lastUsedPageNo, header_.totalPageCount);
  } catch (...) {
    freeSpace_.reset();
    try {
      file_.CloseFile();
    } catch (...) {
    }
    ResetState();
    throw;
  }
}

namespace {
// The file's read-only attribute: no write permission for anybody, or none
// for this process.
bool HasReadOnlyAttribute(const std::string& fileName) {
  struct stat st{};
  if (::stat(fileName.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  return ::access(fileName.c_str(), W_OK) != 0 && errno == EACCES;
}
}  // namespace

bool TKrxDiskPageManager::DecideReadOnly(const std::string& fileName, bool multiUser) {
  // Probe: can this process write the file with the sharing it will use?
  TKrxDatabaseFile probe;
  try {
    probe.OpenFile(fileName, TKrxDatabaseFile::kAccessReadWrite, TKrxDatabaseFile::kShareReadWrite);
    // In single-user mode the probe does not share reading: anybody else
    // having the file open makes this process a reader only.
    if (!multiUser && probe.OpenedElsewhere()) return true;
    uint8_t byte = 0;
    if (probe.ReadBuffer(&byte, 0, 1)) probe.WriteBuffer(&byte, 0, 1);
    probe.CloseFile();
  } catch (const EKrxException&) {
    return true;
  }
  return false;
}

bool TKrxDiskPageManager::OpenDatabaseFile(const std::string& fileName, const TKrxPasswordRecord& password,
                                           bool& multiUser, bool exclusive, bool& readOnly) {
  if (IsOpen()) throw EKrxException(KrxError::DatabaseFileInUse, fileName_);
  ResetState();
  bool repairNeeded = false;
  try {
    if (!readOnly && HasReadOnlyAttribute(fileName)) {
      readOnly = true;
      multiUser = false;
    }
    if (!readOnly) readOnly = DecideReadOnly(fileName, multiUser);
    if (readOnly) {
      file_.OpenFile(fileName, TKrxDatabaseFile::kAccessRead, TKrxDatabaseFile::kShareReadWrite);
    } else if (exclusive) {
      file_.OpenFile(fileName, TKrxDatabaseFile::kAccessReadWrite, TKrxDatabaseFile::kShareNone);
      multiUser = false;
    } else {
      file_.OpenFile(fileName, TKrxDatabaseFile::kAccessReadWrite, TKrxDatabaseFile::kShareReadWrite);
    }
    fileName_ = fileName;
    password_ = password;
    readOnly_ = readOnly;
    exclusive_ = exclusive && !readOnly;
    SetMultiUser(multiUser);

    // The header lock sits inside the image, which is only known after the
    // scan; a file found at offset 0 is the rule.
    imageStart_ = LocateImage();
    LockHeader();
    try {
      RecoverFromJournal();
      ReadMainHeader();
    } catch (...) {
      UnlockHeader();
      throw;
    }
    UnlockHeader();
    repairNeeded = header_.fileState != kKrxFileStateConsistent || header_.version < kKrxOldestSoundVersion;

    if (header_.signature != std::string(kKrxFileSignature, kKrxSignatureSize))
      throw EKrxException(KrxError::InvalidFileFormat, header_.signature.c_str(), kKrxFileSignature);
    if (header_.pageSize <= kKrxPageHeaderSize + 8 || header_.extentPageCount == 0)
      throw EKrxException(KrxError::InvalidDatabaseFormat);
    SetPageGeometry(header_.pageSize, kKrxPageHeaderSize);

    uint8_t security[kKrxSecurityHeaderSize] = {};
    file_.ReadBuffer(security, imageStart_ + kKrxSecurityHeaderOffset, kKrxSecurityHeaderSize);
    security_ = TKrxSecurityHeader::Decode(security);
    if (header_.encrypted &&
        !KrxPasswordCheckMatches(security_.cipherID, password.password, security_.checkBlock.data(), security_.checkCRC))
      throw EKrxException(KrxError::OpenIncorrectPassword);
    if (security_.length != kKrxSecurityHeaderSize) throw EKrxException(KrxError::InvalidDatabaseFormat);
    uint8_t lockArea[2] = {};
    file_.ReadBuffer(lockArea, imageStart_ + kKrxLockAreaOffset, 2);
    lockAreaLength_ = GetU16(lockArea, 0);
    counterOffset_ = kKrxLockAreaOffset + lockAreaLength_;
    firstPageOffset_ = counterOffset_ + 4;

    freeSpace_ = std::make_unique<TKrxDatabaseFreeSpaceManager>(static_cast<IKrxMapPageStore&>(*this), header_.pageSize, header_.extentPageCount,
                                                                header_.lastUsedPageNo, header_.totalPageCount);
    journalCheckOnLock_ = multiUser && !readOnly_;
  } catch (...) {
    freeSpace_.reset();
    if (file_.IsOpen()) {
      try {
        file_.CloseFile();
      } catch (...) {
      }
    }
    ResetState();
    throw;
  }
  return repairNeeded;
}

void TKrxDiskPageManager::CloseDatabaseFile() {
  if (!file_.IsOpen()) return;
  DropAllPages(false);
  freeSpace_.reset();
  if (headerLockCount_ > 0) {
    headerLockCount_ = 1;
    UnlockHeader();
  }
  try {
    file_.CloseFile();
  } catch (...) {
    ResetState();
    throw;
  }
  ResetState();
}

// ---- page I/O ----------------------------------------------------------------

bool TKrxDiskPageManager::CipherBytes(bool encipher, uint8_t cipherID, uint8_t* data, size_t count) {
  return encipher ? KrxEncipher(cipherID, password_.password, data, count)
                  : KrxDecipher(cipherID, password_.password, data, count);
}

void TKrxDiskPageManager::EncipherPageData(TKrxPage& page) {
  page.SetCipherID(security_.cipherID);
  page.SetDataCRC(KrxCRC32(0, page.Data(), page.DataSize()));
  if (!CipherBytes(true, security_.cipherID, page.Data(), page.DataSize()))
    throw EKrxException(KrxError::PageEncryptionFailed, page.PageNo());
}

void TKrxDiskPageManager::DecipherPageData(TKrxPage& page) {
  if (!CipherBytes(false, page.GetCipherID(), page.Data(), page.DataSize()) ||
      KrxCRC32(0, page.Data(), page.DataSize()) != page.GetDataCRC())
    throw EKrxException(KrxError::PageDecryptCrcFailed, page.PageNo());
}

void TKrxDiskPageManager::ReadPage(TKrxPage& page) {
  CheckOpen();
  CheckPageNo(page.PageNo());
  if (!ReadStoredBytes(page.PageNo(), 0, page.Buffer(), static_cast<int64_t>(PageSize()))) {
    std::memset(page.Buffer(), 0, PageSize());
    page.SetWriteCounter(kKrxReleasedWriteCounter);
    return;
  }
  if (page.GetPageType() > kKrxMaxPageType) throw EKrxException(KrxError::UnknownPageType, page.GetPageType());
  if (header_.encrypted && page.MayBeEnciphered() && !IsMapPageNo(page.PageNo())) DecipherPageData(page);
}

void TKrxDiskPageManager::WritePage(TKrxPage& page) {
  CheckOpen();
  CheckPageNo(page.PageNo());
  page.SetWriteCounter(KrxPageHeader::NextWriteCounter(page.GetWriteCounter()));
  bool encipher = header_.encrypted && page.MayBeEnciphered() && !IsMapPageNo(page.PageNo());
  if (encipher) EncipherPageData(page);
  try {
    file_.WriteBuffer(page.Buffer(), PagePosition(page.PageNo()), static_cast<int64_t>(PageSize()));
  } catch (...) {
    if (encipher) DecipherPageData(page);
    throw;
  }
  if (encipher) DecipherPageData(page);  // the cached copy stays plain
  if (inCommit_) AfterCommitWrite();
}

bool TKrxDiskPageManager::ReadStoredBytes(int32_t pageNo, int64_t offset, uint8_t* buffer, int64_t count) {
  if (readThrough_ != nullptr) {
    if (const std::vector<uint8_t>* image = readThrough_->FindPage(pageNo); image != nullptr) {
      if (offset < 0 || offset + count > static_cast<int64_t>(image->size())) return false;
      std::memcpy(buffer, image->data() + offset, static_cast<size_t>(count));
      return true;
    }
  }
  return file_.ReadBuffer(buffer, PagePosition(pageNo) + offset, count);
}

int32_t TKrxDiskPageManager::ReadStoredWriteCounter(int32_t pageNo) {
  uint8_t bytes[4];
  if (!ReadStoredBytes(pageNo, KrxPageHeader::kWriteCounter, bytes, 4)) return kKrxReleasedWriteCounter;
  return GetI32(bytes, 0);
}

bool TKrxDiskPageManager::IsMapPageNo(int32_t pageNo) const {
  return freeSpace_ != nullptr && freeSpace_->IsMapPage(pageNo);
}

int32_t TKrxDiskPageManager::AllocatePageNo() {
  CheckOpen();
  LockHeader();
  int32_t pageNo;
  try {
    pageNo = freeSpace_->AllocatePageNo();
  } catch (...) {
    UnlockHeader();
    throw;
  }
  UnlockHeader();
  return pageNo;
}

void TKrxDiskPageManager::FreePageNo(int32_t pageNo) {
  CheckOpen();
  LockHeader();
  try {
    freeSpace_->ReleasePageNo(pageNo);
  } catch (...) {
    UnlockHeader();
    throw;
  }
  UnlockHeader();
}

// ---- the free-space maps' access to the file ------------------------------

void TKrxDiskPageManager::ReadMapPage(int32_t pageNo, uint16_t expectedType, uint8_t* page) {
  if (!ReadStoredBytes(pageNo, 0, page, static_cast<int64_t>(PageSize()))) std::memset(page, 0, PageSize());
  uint16_t found = GetU16(page, KrxPageHeader::kPageType);
  if (found > kKrxMaxPageType) throw EKrxException(KrxError::UnknownPageType, found);
  if (found != expectedType)
    throw EKrxException(KrxError::WrongMapPageType, KrxPageTypeName(found), KrxPageTypeName(expectedType));
}

void TKrxDiskPageManager::WriteMapPage(int32_t pageNo, uint8_t* page) {
  PutI32(page, KrxPageHeader::kWriteCounter,
         KrxPageHeader::NextWriteCounter(GetI32(page, KrxPageHeader::kWriteCounter)));
  file_.WriteBuffer(page, PagePosition(pageNo), static_cast<int64_t>(PageSize()));
  if (inCommit_) AfterCommitWrite();
}

void TKrxDiskPageManager::ReadPageCounts(int32_t& lastUsedPageNo, int32_t& totalPageCount) {
  ReadMainHeader();
  lastUsedPageNo = header_.lastUsedPageNo;
  totalPageCount = header_.totalPageCount;
}

void TKrxDiskPageManager::WritePageCounts(int32_t lastUsedPageNo, int32_t totalPageCount) {
  header_.lastUsedPageNo = lastUsedPageNo;
  header_.totalPageCount = totalPageCount;
  WriteMainHeader();
}

void TKrxDiskPageManager::ResizeToPages(int32_t totalPageCount) {
  file_.SetSize(PagePosition(totalPageCount));
  if (inCommit_) AfterCommitWrite();
}

void TKrxDiskPageManager::MarkPageReleased(int32_t pageNo) {
  uint8_t bytes[4];
  PutI32(bytes, 0, kKrxReleasedWriteCounter);
  file_.WriteBuffer(bytes, PagePosition(pageNo) + KrxPageHeader::kWriteCounter, 4);
  if (inCommit_) AfterCommitWrite();
}

// ---- object IDs, trimming, raw access --------------------------------------

int32_t TKrxDiskPageManager::GetNextObjectID() {
  CheckOpen();
  if (!RetryLock(kKrxObjectIDLockPosition)) throw EKrxException(KrxError::CannotGetNextObjectID);
  int32_t next;
  try {
    uint8_t bytes[4] = {};
    file_.ReadBuffer(bytes, imageStart_ + counterOffset_, 4);
    next = GetI32(bytes, 0) + 1;
    if (readOnly_) {
      // The counter cannot be advanced: keep IDs of this process apart from
      // each other as well as chance allows.
      static thread_local std::mt19937 generator{std::random_device{}()};
      next += std::uniform_int_distribution<int32_t>(0, 9999)(generator);
    } else {
      PutI32(bytes, 0, next);
      file_.WriteBuffer(bytes, imageStart_ + counterOffset_, 4);
    }
  } catch (...) {
    UnlockPosition(kKrxObjectIDLockPosition);
    throw;
  }
  UnlockPosition(kKrxObjectIDLockPosition);
  return next;
}

void TKrxDiskPageManager::TrimFile() {
  CheckOpen();
  LockHeader();
  try {
    ReadMainHeader();
    int32_t keep = header_.lastUsedPageNo + 1;
    if (keep < header_.totalPageCount) {
      header_.totalPageCount = keep;
      ResizeToPages(keep);
      WriteMainHeader();
      freeSpace_ = std::make_unique<TKrxDatabaseFreeSpaceManager>(static_cast<IKrxMapPageStore&>(*this), header_.pageSize, header_.extentPageCount,
                                                                  header_.lastUsedPageNo, header_.totalPageCount);
    }
  } catch (...) {
    UnlockHeader();
    throw;
  }
  UnlockHeader();
}

void TKrxDiskPageManager::FlushFileBuffers() {
  CheckOpen();
  file_.FlushFileBuffers();
}

void TKrxDiskPageManager::ReadPageBytes(int32_t pageNo, int32_t offset, uint8_t* buffer, int32_t count) {
  CheckOpen();
  CheckPageNo(pageNo);
  if (offset < 0 || count < 0 || static_cast<size_t>(offset) + static_cast<size_t>(count) > PageSize())
    throw EKrxException(KrxError::InvalidPageOffset, offset, static_cast<int64_t>(PageSize()));
  if (!ReadStoredBytes(pageNo, offset, buffer, count)) std::memset(buffer, 0, static_cast<size_t>(count));
}

void TKrxDiskPageManager::WritePageBytes(int32_t pageNo, int32_t offset, const uint8_t* buffer, int32_t count) {
  CheckOpen();
  CheckPageNo(pageNo);
  if (offset < 0 || count < 0 || static_cast<size_t>(offset) + static_cast<size_t>(count) > PageSize())
    throw EKrxException(KrxError::InvalidPageOffset, offset, static_cast<int64_t>(PageSize()));
  file_.WriteBuffer(buffer, PagePosition(pageNo) + offset, count);
}

bool TKrxDiskPageManager::LockPageBytes(int32_t pageNo, int32_t offset, int32_t count) {
  CheckOpen();
  if (exclusive_) return true;
  return file_.LockByte(PagePosition(pageNo) + offset, count);
}

bool TKrxDiskPageManager::UnlockPageBytes(int32_t pageNo, int32_t offset, int32_t count) {
  CheckOpen();
  if (exclusive_) return true;
  return file_.UnlockByte(PagePosition(pageNo) + offset, count);
}

bool TKrxDiskPageManager::IsPageByteLocked(int32_t pageNo, int32_t offset) {
  CheckOpen();
  return !exclusive_ && file_.IsByteLocked(PagePosition(pageNo) + offset);
}

bool TKrxDiskPageManager::IsPageRegionLocked(int32_t pageNo, int32_t offset, int32_t count) {
  CheckOpen();
  return !exclusive_ && file_.IsRegionLocked(PagePosition(pageNo) + offset, count);
}

// ---- journal -----------------------------------------------------------------

void TKrxDiskPageManager::AfterCommitWrite() {
  ++commitWrites_;
  if (commitStepHook_) commitStepHook_(TKrxCommitStep::DatabaseWritten, commitWrites_);
}

void TKrxDiskPageManager::PlayBack(const TKrxJournalContents& journal) {
  // Pages first, the header last: a playback cut off itself is simply done
  // again from the same journal.
  for (const auto& [pageNo, image] : journal.pages)
    file_.WriteBuffer(image.data(), PagePosition(pageNo), static_cast<int64_t>(image.size()));
  file_.WriteBuffer(journal.headerImage.data(), imageStart_, static_cast<int64_t>(journal.headerImage.size()));
  // Pages the commit added beyond the old end go; pages it cut off came back
  // with their images above.
  if (file_.GetSize() != journal.oldFileSize) file_.SetSize(journal.oldFileSize);
  file_.FlushFileBuffers();
}

void TKrxDiskPageManager::RecoverFromJournal() {
  std::string name = KrxJournal::NameFor(fileName_);
  if (!KrxJournal::Exists(name)) return;
  uint8_t raw[kKrxMainHeaderSize] = {};
  file_.ReadBuffer(raw, imageStart_, kKrxMainHeaderSize);
  TKrxMainHeader onDisk = TKrxMainHeader::Decode(raw);
  // Not a database header: open reports that, the journal stays untouched.
  if (onDisk.signature != std::string(kKrxFileSignature, kKrxSignatureSize) ||
      onDisk.pageSize <= kKrxPageHeaderSize + 8)
    return;
  uint8_t lockArea[2] = {};
  file_.ReadBuffer(lockArea, imageStart_ + kKrxLockAreaOffset, 2);
  lockAreaLength_ = GetU16(lockArea, 0);
  counterOffset_ = kKrxLockAreaOffset + lockAreaLength_;
  firstPageOffset_ = counterOffset_ + 4;
  SetPageGeometry(onDisk.pageSize, kKrxPageHeaderSize);

  TKrxJournalContents journal;
  switch (KrxJournal::Read(name, onDisk.pageSize, imageStart_, journal)) {
    case TKrxJournalState::Absent:
      return;
    case TKrxJournalState::OtherFile:
      throw EKrxException(KrxError::JournalOfOtherFile, name, fileName_);
    case TKrxJournalState::Complete:
      if (readOnly_) {
        readThrough_ = std::make_unique<TKrxJournalContents>(std::move(journal));
      } else {
        PlayBack(journal);
        KrxJournal::Remove(name, true);
      }
      return;
    case TKrxJournalState::Incomplete:
    case TKrxJournalState::Damaged:
      // A commit marks the header FileState 1 only after its journal is
      // complete, and 2 again after its last page: with 2 on disk the file
      // holds no page of the cut-off commit, whatever the journal says.
      if (onDisk.fileState == kKrxFileStateConsistent) {
        if (!readOnly_) KrxJournal::Remove(name, true);
        return;
      }
      throw EKrxException(KrxError::JournalDamaged, name, fileName_);
  }
}

void TKrxDiskPageManager::WriteJournal(int32_t session, bool flush, const uint8_t* headerImage) {
  std::vector<int32_t> written, allocated, released;
  SessionPageNumbers(session, written, allocated, released);
  const int32_t oldTotal = header_.totalPageCount;
  // Pages the session allocated held nothing committed: no image needed.
  std::set<int32_t> fresh(allocated.begin(), allocated.end());
  std::set<int32_t> pages;
  auto keep = [&](int32_t pageNo) {
    if (pageNo >= 0 && pageNo < oldTotal && fresh.count(pageNo) == 0) pages.insert(pageNo);
  };
  for (int32_t pageNo : written) keep(pageNo);
  for (int32_t pageNo : released) keep(pageNo);
  if (!released.empty()) {
    // Freeing pages rewrites map pages and may cut the file's tail, map
    // pages included: all of them are kept.
    for (int32_t pageNo = 0; pageNo < oldTotal; pageNo += freeSpace_->PagesPerPFS()) pages.insert(pageNo);
    for (int32_t k = 0; freeSpace_->EAMPageNo(k) < oldTotal; ++k) pages.insert(freeSpace_->EAMPageNo(k));
  }

  std::string name = KrxJournal::NameFor(fileName_);
  TKrxJournalWriter writer(name, &commitStepHook_);
  writer.Begin(static_cast<uint16_t>(PageSize()), imageStart_, file_.GetSize(), static_cast<int32_t>(pages.size()),
               headerImage, kKrxMainHeaderSize);
  try {
    journalPage_.resize(PageSize());
    for (int32_t pageNo : pages) {
      std::fill(journalPage_.begin(), journalPage_.end(), 0);
      file_.ReadBuffer(journalPage_.data(), PagePosition(pageNo), static_cast<int64_t>(PageSize()));
      writer.AddPage(pageNo, journalPage_.data());
    }
    writer.Complete(flush);
  } catch (...) {
    // Nothing was overwritten yet: the journal begun means nothing.
    try {
      KrxJournal::Remove(name, false);
    } catch (...) {
    }
    throw;
  }
}

void TKrxDiskPageManager::UndoFailedCommit() {
  std::string name = KrxJournal::NameFor(fileName_);
  try {
    TKrxJournalContents journal;
    if (KrxJournal::Read(name, static_cast<uint16_t>(PageSize()), imageStart_, journal) == TKrxJournalState::Complete) {
      PlayBack(journal);
      KrxJournal::Remove(name, true);
    }
  } catch (...) {
    // The journal stays: the next open, or the next header lock of a
    // multi-user writer, plays it back.
  }
  // Cached copies of written pages hold what was just undone.
  ForgetCleanPages();
  try {
    ReadMainHeader();
  } catch (...) {
  }
}

// ---- commit ------------------------------------------------------------------

// One committed batch. The journal comes first and is complete before the
// header says "a commit is being written" (FileState 1); then the pages, then
// the header with CommitCounter + 1 and FileState 2, then the journal goes.
// A failure on the way plays the journal back at once; a process that dies
// on the way leaves the journal for the next open.
void TKrxDiskPageManager::Commit(int32_t session, bool flush) {
  CheckOpen();
  if (session == -1) throw EKrxException(KrxError::InvalidSessionID);
  if (!HasChanges(session)) return;
  LockHeader();
  try {
    uint8_t headerImage[kKrxMainHeaderSize] = {};
    file_.ReadBuffer(headerImage, imageStart_, kKrxMainHeaderSize);
    header_ = TKrxMainHeader::Decode(headerImage);
    WriteJournal(session, flush, headerImage);
    try {
      inCommit_ = true;
      commitWrites_ = 0;
      header_.fileState = kKrxFileStateCommitting;
      WriteMainHeader();

      CommitSessionPages(session);
      if (beforeCommitComplete_) beforeCommitComplete_();

      ReadMainHeader();  // the batch may have changed the page counts
      ++header_.commitCounter;
      header_.fileState = kKrxFileStateConsistent;
      WriteMainHeader();
      inCommit_ = false;
      if (flush) file_.FlushFileBuffers();
      KrxJournal::Remove(KrxJournal::NameFor(fileName_), flush);  // the durable moment
    } catch (...) {
      inCommit_ = false;
      UndoFailedCommit();
      throw;
    }
  } catch (...) {
    UnlockHeader();
    throw;
  }
  UnlockHeader();
}

void TKrxDiskPageManager::Rollback(int32_t session) {
  CheckOpen();
  TKrxPageManager::Rollback(session);
}

}  // namespace krx
