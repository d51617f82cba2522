// A direct internal file: a fixed-size chain of pages of one type, created
// once, read and written straight from and to the database file (never
// through the cache, never enciphered). Its first page's data begins with
// the same 10-byte file header as a transacted file (content start 10,
// stored size, uncompressed size, algorithm 0). Content position x lives in
// the page that holds it, at in-page offset 40 + x's offset in that page's
// data (+10 on the first page); byte locks on the content use exactly that
// file position.
#pragma once

#include <cstdint>
#include <vector>

#include "KrxDiskPageManager.h"

namespace krx {

class TKrxInternalDBDirectAccessFile {
 public:
  TKrxInternalDBDirectAccessFile(TKrxDiskPageManager& pageManager, uint16_t pageType);

  // Allocates every page of a file of size bytes under the engine's session
  // (written at its commit); returns the start page.
  int32_t Create(int32_t size);
  // Reads the chain of an existing file.
  void Open(int32_t startPageNo);
  void Close();
  bool IsOpen() const { return startPageNo_ != kKrxNoPage; }
  int32_t StartPageNo() const { return startPageNo_; }
  // Deletes every page of the chain for the session; the file is closed.
  void Delete(int32_t session);

  int32_t GetSize() const { return size_; }
  void DirectReadBuffer(uint8_t* buffer, int32_t count, int32_t position);
  void DirectWriteBuffer(const uint8_t* buffer, int32_t count, int32_t position);

  // The file's own lock: the byte at data offset 0 of the first page.
  bool LockFile();
  bool UnlockFile();
  bool LockByte(int32_t position);
  bool UnlockByte(int32_t position);
  bool IsByteLocked(int32_t position);
  bool IsRegionLocked(int32_t position, int32_t count);
  // Locks count bytes from position as a whole: on failure nothing stays
  // locked.
  bool LockRegion(int32_t position, int32_t count);
  bool UnlockRegion(int32_t position, int32_t count);

  const std::vector<int32_t>& PageNumbers() const { return pages_; }

 private:
  void CheckOpen(const char* operation) const;
  // Page and in-page offset of content position x.
  void Locate(int32_t position, int32_t& pageNo, int32_t& inPageOffset) const;
  void CheckPageType(int32_t pageNo);

  TKrxDiskPageManager& pageManager_;
  uint16_t pageType_;
  int32_t startPageNo_ = kKrxNoPage;
  int32_t size_ = 0;
  std::vector<int32_t> pages_;
};

}  // namespace krx
