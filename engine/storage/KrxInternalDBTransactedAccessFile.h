// A transacted internal file: a chain of pages of one type, linked by
// NextPageNo, read and written through a session's page set, so its changes
// belong to the session's transaction. The first page's data starts with
//     0 u8  10 (where the content begins)
//     1 i32 stored size (bytes kept in the chain)
//     5 i32 uncompressed size (equals the stored size when not compressed)
//     9 u8  compression algorithm, 0 = none
// and the content follows, continuing at data offset 0 of every next page.
// The chain has ceil((stored size + 10) / PageDataSize) pages.
#pragma once

#include <cstdint>
#include <vector>

#include "KrxPageManager.h"

namespace krx {

constexpr int32_t kKrxInternalFileHeaderSize = 10;

class TKrxInternalDBTransactedAccessFile {
 public:
  TKrxInternalDBTransactedAccessFile(TKrxPageManager& pageManager, uint16_t pageType);

  // Makes a new empty file for the session; returns its start page.
  int32_t Create(int32_t session);
  void Open(int32_t startPageNo);
  void Close() { startPageNo_ = kKrxNoPage; }
  bool IsOpen() const { return startPageNo_ != kKrxNoPage; }
  int32_t StartPageNo() const { return startPageNo_; }
  uint16_t PageType() const { return pageType_; }
  // Deletes every page of the chain for the session; the file is closed.
  void Delete(int32_t session);

  // Sets the stored size (growing or cutting the chain), the algorithm and
  // the uncompressed size recorded in the file header.
  void SetSize(int32_t session, int32_t storedSize, uint8_t algorithm, int32_t uncompressedSize);
  // The content size before compression.
  int32_t GetSize(int32_t session);
  // Reads size bytes of content (decompressed) into buffer.
  void ReadFile(int32_t session, uint8_t* buffer, bool validate, int32_t size);
  // The whole content (decompressed).
  std::vector<uint8_t> ReadAll(int32_t session, bool validate = false);
  // Replaces the content with size bytes of data, compressed with algorithm
  // (0 = stored raw) at level.
  void WriteFile(int32_t session, const uint8_t* data, uint8_t level, uint8_t algorithm, int32_t size);

 private:
  struct Header {
    int32_t storedSize;
    int32_t uncompressedSize;
    uint8_t algorithm;
  };
  void CheckOpen(const char* operation) const;
  Header ReadHeader(int32_t session, bool validate);
  int32_t PagesFor(int32_t storedSize) const;
  void WriteStored(int32_t session, const uint8_t* data, int32_t size);
  int32_t ReadStored(int32_t session, uint8_t* buffer, int32_t size, bool validate);

  TKrxPageManager& pageManager_;
  uint16_t pageType_;
  int32_t startPageNo_ = kKrxNoPage;
  std::vector<uint8_t> compressed_;  // reused between writes
};

}  // namespace krx
