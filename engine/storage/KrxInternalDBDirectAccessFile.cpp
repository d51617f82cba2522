#include "KrxInternalDBDirectAccessFile.h"

#include <algorithm>

#include "KrxBytes.h"
#include "KrxException.h"
#include "KrxInternalDBTransactedAccessFile.h"

namespace krx {

TKrxInternalDBDirectAccessFile::TKrxInternalDBDirectAccessFile(TKrxDiskPageManager& pageManager, uint16_t pageType)
    : pageManager_(pageManager), pageType_(pageType) {}

void TKrxInternalDBDirectAccessFile::CheckOpen(const char* operation) const {
  if (!IsOpen()) throw EKrxException(KrxError::OperationOnClosedInternalFile, operation);
}

int32_t TKrxInternalDBDirectAccessFile::Create(int32_t size) {
  if (IsOpen()) throw EKrxException(KrxError::InternalFileAlreadyExists, startPageNo_);
  int64_t dataSize = static_cast<int64_t>(pageManager_.PageDataSize());
  int32_t pageCount =
      static_cast<int32_t>(std::max<int64_t>(1, (size + kKrxInternalFileHeaderSize + dataSize - 1) / dataSize));
  std::vector<int32_t> pages;
  TKrxHeldPage previous;
  for (int32_t i = 0; i < pageCount; ++i) {
    TKrxHeldPage page(pageManager_.AllocatePage(kKrxEngineSession, pageType_));
    page->SetMayBeEnciphered(false);
    if (i == 0) {
      uint8_t* data = page->Data();
      PutU8(data, 0, kKrxInternalFileHeaderSize);
      PutI32(data, 1, size);
      PutI32(data, 5, size);
      PutU8(data, 9, 0);
    }
    page->MarkDirty();
    pages.push_back(page->PageNo());
    if (previous) {
      previous->SetNextPageNo(page->PageNo());
      previous->MarkDirty();
    }
    previous = std::move(page);
  }
  previous.Reset();
  pages_ = std::move(pages);
  startPageNo_ = pages_.front();
  size_ = size;
  return startPageNo_;
}

void TKrxInternalDBDirectAccessFile::CheckPageType(int32_t pageNo) {
  uint8_t header[kKrxPageHeaderSize];
  pageManager_.ReadPageBytes(pageNo, 0, header, kKrxPageHeaderSize);
  uint16_t found = GetU16(header, KrxPageHeader::kPageType);
  if (found != pageType_) throw EKrxException(KrxError::InvalidInternalPageType, found, pageType_);
}

void TKrxInternalDBDirectAccessFile::Open(int32_t startPageNo) {
  if (startPageNo < 0) throw EKrxException(KrxError::InvalidPageNo, startPageNo);
  uint8_t first[kKrxPageHeaderSize + kKrxInternalFileHeaderSize];
  pageManager_.ReadPageBytes(startPageNo, 0, first, sizeof first);
  uint16_t found = GetU16(first, KrxPageHeader::kPageType);
  if (found != pageType_) throw EKrxException(KrxError::InvalidInternalPageType, found, pageType_);
  int32_t size = GetI32(first, kKrxPageHeaderSize + 1);
  std::vector<int32_t> pages{startPageNo};
  int32_t next = GetI32(first, KrxPageHeader::kNextPageNo);
  while (next != kKrxNoPage) {
    if (next < 0 || std::find(pages.begin(), pages.end(), next) != pages.end())
      throw EKrxException(KrxError::InvalidPageNumber);
    uint8_t header[kKrxPageHeaderSize];
    pageManager_.ReadPageBytes(next, 0, header, kKrxPageHeaderSize);
    uint16_t type = GetU16(header, KrxPageHeader::kPageType);
    if (type != pageType_) throw EKrxException(KrxError::InvalidInternalPageType, type, pageType_);
    pages.push_back(next);
    next = GetI32(header, KrxPageHeader::kNextPageNo);
  }
  pages_ = std::move(pages);
  startPageNo_ = startPageNo;
  size_ = size;
}

void TKrxInternalDBDirectAccessFile::Close() {
  startPageNo_ = kKrxNoPage;
  size_ = 0;
  pages_.clear();
}

void TKrxInternalDBDirectAccessFile::Delete(int32_t session) {
  CheckOpen("Delete");
  for (int32_t pageNo : pages_) pageManager_.DeletePage(session, pageNo);
  Close();
}

void TKrxInternalDBDirectAccessFile::Locate(int32_t position, int32_t& pageNo, int32_t& inPageOffset) const {
  int32_t dataSize = static_cast<int32_t>(pageManager_.PageDataSize());
  int32_t firstCapacity = dataSize - kKrxInternalFileHeaderSize;
  size_t index;
  int32_t offsetInData;
  if (position < firstCapacity) {
    index = 0;
    offsetInData = kKrxInternalFileHeaderSize + position;
  } else {
    int32_t rest = position - firstCapacity;
    index = 1 + static_cast<size_t>(rest / dataSize);
    offsetInData = rest % dataSize;
  }
  if (index >= pages_.size()) throw EKrxException(KrxError::SeekBeyondFileSize, size_, position);
  pageNo = pages_[index];
  inPageOffset = static_cast<int32_t>(kKrxPageHeaderSize) + offsetInData;
}

void TKrxInternalDBDirectAccessFile::DirectReadBuffer(uint8_t* buffer, int32_t count, int32_t position) {
  CheckOpen("DirectReadBuffer");
  if (position < 0 || position > size_) throw EKrxException(KrxError::SeekBeyondFileSize, size_, position);
  if (count < 0 || static_cast<int64_t>(position) + count > size_)
    throw EKrxException(KrxError::SeekBeyondFileSize, size_, position + count);
  int32_t done = 0;
  while (done < count) {
    int32_t pageNo, offset;
    Locate(position + done, pageNo, offset);
    int32_t n = std::min(count - done, static_cast<int32_t>(pageManager_.PageSize()) - offset);
    pageManager_.ReadPageBytes(pageNo, offset, buffer + done, n);
    done += n;
  }
}

void TKrxInternalDBDirectAccessFile::DirectWriteBuffer(const uint8_t* buffer, int32_t count, int32_t position) {
  CheckOpen("DirectWriteBuffer");
  if (position < 0 || position > size_) throw EKrxException(KrxError::SeekBeyondFileSize, size_, position);
  if (count < 0 || static_cast<int64_t>(position) + count > size_)
    throw EKrxException(KrxError::WriteAfterEndOfFile, size_, position, count);
  int32_t done = 0;
  while (done < count) {
    int32_t pageNo, offset;
    Locate(position + done, pageNo, offset);
    int32_t n = std::min(count - done, static_cast<int32_t>(pageManager_.PageSize()) - offset);
    pageManager_.WritePageBytes(pageNo, offset, buffer + done, n);
    done += n;
  }
}

bool TKrxInternalDBDirectAccessFile::LockFile() {
  CheckOpen("LockFile");
  return pageManager_.LockPageBytes(startPageNo_, static_cast<int32_t>(kKrxPageHeaderSize));
}

bool TKrxInternalDBDirectAccessFile::UnlockFile() {
  CheckOpen("UnlockFile");
  return pageManager_.UnlockPageBytes(startPageNo_, static_cast<int32_t>(kKrxPageHeaderSize));
}

bool TKrxInternalDBDirectAccessFile::LockByte(int32_t position) {
  CheckOpen("LockByte");
  int32_t pageNo, offset;
  Locate(position, pageNo, offset);
  return pageManager_.LockPageBytes(pageNo, offset);
}

bool TKrxInternalDBDirectAccessFile::UnlockByte(int32_t position) {
  CheckOpen("UnlockByte");
  int32_t pageNo, offset;
  Locate(position, pageNo, offset);
  return pageManager_.UnlockPageBytes(pageNo, offset);
}

bool TKrxInternalDBDirectAccessFile::IsByteLocked(int32_t position) {
  CheckOpen("IsByteLocked");
  int32_t pageNo, offset;
  Locate(position, pageNo, offset);
  return pageManager_.IsPageByteLocked(pageNo, offset);
}

bool TKrxInternalDBDirectAccessFile::IsRegionLocked(int32_t position, int32_t count) {
  CheckOpen("IsRegionLocked");
  int32_t done = 0;
  while (done < count) {
    int32_t pageNo, offset;
    Locate(position + done, pageNo, offset);
    int32_t n = std::min(count - done, static_cast<int32_t>(pageManager_.PageSize()) - offset);
    if (pageManager_.IsPageRegionLocked(pageNo, offset, n)) return true;
    done += n;
  }
  return false;
}

bool TKrxInternalDBDirectAccessFile::LockRegion(int32_t position, int32_t count) {
  CheckOpen("LockRegion");
  int32_t done = 0;
  while (done < count) {
    int32_t pageNo, offset;
    Locate(position + done, pageNo, offset);
    int32_t n = std::min(count - done, static_cast<int32_t>(pageManager_.PageSize()) - offset);
    if (!pageManager_.LockPageBytes(pageNo, offset, n)) {
      if (done > 0) UnlockRegion(position, done);
      return false;
    }
    done += n;
  }
  return true;
}

bool TKrxInternalDBDirectAccessFile::UnlockRegion(int32_t position, int32_t count) {
  CheckOpen("UnlockRegion");
  bool all = true;
  int32_t done = 0;
  while (done < count) {
    int32_t pageNo, offset;
    Locate(position + done, pageNo, offset);
    int32_t n = std::min(count - done, static_cast<int32_t>(pageManager_.PageSize()) - offset);
    all = pageManager_.UnlockPageBytes(pageNo, offset, n) && all;
    done += n;
  }
  return all;
}

}  // namespace krx
