#include "KrxInternalDBTransactedAccessFile.h"

#include <algorithm>
#include <cstring>

#include "KrxBytes.h"
#include "KrxCompression.h"
#include "KrxException.h"

namespace krx {

TKrxInternalDBTransactedAccessFile::TKrxInternalDBTransactedAccessFile(TKrxPageManager& pageManager, uint16_t pageType)
    : pageManager_(pageManager), pageType_(pageType) {}

void TKrxInternalDBTransactedAccessFile::CheckOpen(const char* operation) const {
  if (!IsOpen()) throw EKrxException(KrxError::OperationOnClosedInternalFile, operation);
}

int32_t TKrxInternalDBTransactedAccessFile::PagesFor(int32_t storedSize) const {
  int64_t dataSize = static_cast<int64_t>(pageManager_.PageDataSize());
  return static_cast<int32_t>(std::max<int64_t>(1, (storedSize + kKrxInternalFileHeaderSize + dataSize - 1) / dataSize));
}

int32_t TKrxInternalDBTransactedAccessFile::Create(int32_t session) {
  if (IsOpen()) throw EKrxException(KrxError::InternalFileAlreadyExists, startPageNo_);
  TKrxHeldPage page(pageManager_.AllocatePage(session, pageType_));
  uint8_t* data = page->Data();
  PutU8(data, 0, kKrxInternalFileHeaderSize);
  PutI32(data, 1, 0);
  PutI32(data, 5, 0);
  PutU8(data, 9, 0);
  page->MarkDirty();
  startPageNo_ = page->PageNo();
  return startPageNo_;
}

void TKrxInternalDBTransactedAccessFile::Open(int32_t startPageNo) {
  if (startPageNo < 0) throw EKrxException(KrxError::InvalidPageNo, startPageNo);
  startPageNo_ = startPageNo;
}

TKrxInternalDBTransactedAccessFile::Header TKrxInternalDBTransactedAccessFile::ReadHeader(int32_t session, bool validate) {
  TKrxHeldPage page(pageManager_.GetPage(session, startPageNo_, validate, static_cast<uint8_t>(pageType_)));
  const uint8_t* data = page->Data();
  return Header{GetI32(data, 1), GetI32(data, 5), GetU8(data, 9)};
}

void TKrxInternalDBTransactedAccessFile::Delete(int32_t session) {
  CheckOpen("Delete");
  int32_t pageNo = startPageNo_;
  std::vector<int32_t> chain;
  while (pageNo != kKrxNoPage) {
    chain.push_back(pageNo);
    TKrxHeldPage page(pageManager_.GetPage(session, pageNo, false, static_cast<uint8_t>(pageType_)));
    pageNo = page->GetNextPageNo();
  }
  for (int32_t p : chain) pageManager_.DeletePage(session, p);
  Close();
}

void TKrxInternalDBTransactedAccessFile::SetSize(int32_t session, int32_t storedSize, uint8_t algorithm,
                                                 int32_t uncompressedSize) {
  CheckOpen("SetSize");
  Header header = ReadHeader(session, false);
  int32_t oldPages = PagesFor(header.storedSize);
  int32_t newPages = PagesFor(storedSize);
  if (newPages > oldPages) {
    TKrxHeldPage last(pageManager_.GetPage(session, startPageNo_, false, static_cast<uint8_t>(pageType_)));
    for (int32_t i = 1; i < oldPages; ++i)
      last = TKrxHeldPage(pageManager_.GetPage(session, last->GetNextPageNo(), false, static_cast<uint8_t>(pageType_)));
    for (int32_t i = oldPages; i < newPages; ++i) {
      TKrxHeldPage added(pageManager_.AllocatePage(session, pageType_));
      last->SetNextPageNo(added->PageNo());
      last->MarkDirty();
      last = std::move(added);
    }
  } else if (newPages < oldPages) {
    TKrxHeldPage last(pageManager_.GetPage(session, startPageNo_, false, static_cast<uint8_t>(pageType_)));
    for (int32_t i = 1; i < newPages; ++i)
      last = TKrxHeldPage(pageManager_.GetPage(session, last->GetNextPageNo(), false, static_cast<uint8_t>(pageType_)));
    int32_t dropped = last->GetNextPageNo();
    last->SetNextPageNo(kKrxNoPage);
    last->MarkDirty();
    last.Reset();
    // The pages no longer needed go back to the free space at commit.
    while (dropped != kKrxNoPage) {
      TKrxHeldPage page(pageManager_.GetPage(session, dropped, false, static_cast<uint8_t>(pageType_)));
      int32_t next = page->GetNextPageNo();
      page.Reset();
      pageManager_.DeletePage(session, dropped);
      dropped = next;
    }
  }
  TKrxHeldPage first(pageManager_.GetPage(session, startPageNo_, false, static_cast<uint8_t>(pageType_)));
  uint8_t* data = first->Data();
  PutU8(data, 0, kKrxInternalFileHeaderSize);
  PutI32(data, 1, storedSize);
  PutI32(data, 5, uncompressedSize);
  PutU8(data, 9, algorithm);
  first->MarkDirty();
}

int32_t TKrxInternalDBTransactedAccessFile::GetSize(int32_t session) {
  CheckOpen("GetSize");
  return ReadHeader(session, false).uncompressedSize;
}

void TKrxInternalDBTransactedAccessFile::WriteStored(int32_t session, const uint8_t* data, int32_t size) {
  int32_t pageNo = startPageNo_;
  int32_t offset = kKrxInternalFileHeaderSize;
  int32_t done = 0;
  int32_t dataSize = static_cast<int32_t>(pageManager_.PageDataSize());
  while (done < size) {
    if (pageNo == kKrxNoPage) throw EKrxException(KrxError::PageNotFound);
    TKrxHeldPage page(pageManager_.GetPage(session, pageNo, false, static_cast<uint8_t>(pageType_)));
    int32_t n = std::min(size - done, dataSize - offset);
    std::memcpy(page->Data() + offset, data + done, static_cast<size_t>(n));
    page->MarkDirty();
    done += n;
    offset = 0;
    pageNo = page->GetNextPageNo();
  }
}

int32_t TKrxInternalDBTransactedAccessFile::ReadStored(int32_t session, uint8_t* buffer, int32_t size, bool validate) {
  int32_t pageNo = startPageNo_;
  int32_t offset = kKrxInternalFileHeaderSize;
  int32_t done = 0;
  int32_t dataSize = static_cast<int32_t>(pageManager_.PageDataSize());
  while (done < size && pageNo != kKrxNoPage) {
    TKrxHeldPage page(pageManager_.GetPage(session, pageNo, validate, static_cast<uint8_t>(pageType_)));
    int32_t n = std::min(size - done, dataSize - offset);
    std::memcpy(buffer + done, page->Data() + offset, static_cast<size_t>(n));
    done += n;
    offset = 0;
    pageNo = page->GetNextPageNo();
  }
  return done;
}

void TKrxInternalDBTransactedAccessFile::WriteFile(int32_t session, const uint8_t* data, uint8_t level,
                                                   uint8_t algorithm, int32_t size) {
  CheckOpen("WriteFile");
  const uint8_t* stored = data;
  int32_t storedSize = size;
  if (algorithm != kKrxCompressNone) {
    if (!KrxCompressBuffer(algorithm, level, data, static_cast<size_t>(std::max(size, 0)), compressed_))
      throw EKrxException(KrxError::TableFileCompressionError);
    stored = compressed_.data();
    storedSize = static_cast<int32_t>(compressed_.size());
  }
  SetSize(session, storedSize, algorithm, size);
  WriteStored(session, stored, storedSize);
}

void TKrxInternalDBTransactedAccessFile::ReadFile(int32_t session, uint8_t* buffer, bool validate, int32_t size) {
  CheckOpen("ReadFile");
  Header header = ReadHeader(session, validate);
  if (header.uncompressedSize < size)
    throw EKrxException(KrxError::CannotReadInternalFileSize, header.uncompressedSize, size);
  if (header.algorithm == kKrxCompressNone) {
    int32_t got = ReadStored(session, buffer, size, validate);
    if (got < size)
      throw EKrxException(KrxError::CannotReadInternalFileBytes, header.uncompressedSize, size, got);
    return;
  }
  std::vector<uint8_t> stored(static_cast<size_t>(std::max(header.storedSize, 0)));
  int32_t got = ReadStored(session, stored.data(), header.storedSize, validate);
  if (got < header.storedSize)
    throw EKrxException(KrxError::CannotReadInternalFileBytes, header.storedSize, header.storedSize, got);
  std::vector<uint8_t> plain;
  if (!KrxDecompressBuffer(header.algorithm, stored.data(), stored.size(), static_cast<size_t>(header.uncompressedSize),
                           plain) ||
      plain.size() != static_cast<size_t>(header.uncompressedSize))
    throw EKrxException(KrxError::TableFileDecompressionError);
  std::memcpy(buffer, plain.data(), static_cast<size_t>(size));
}

std::vector<uint8_t> TKrxInternalDBTransactedAccessFile::ReadAll(int32_t session, bool validate) {
  CheckOpen("ReadFile");
  int32_t size = ReadHeader(session, validate).uncompressedSize;
  std::vector<uint8_t> content(static_cast<size_t>(std::max(size, 0)));
  if (size > 0) ReadFile(session, content.data(), validate, size);
  return content;
}

}  // namespace krx
