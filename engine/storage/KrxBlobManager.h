// BLOB storage on BLOB pages (page type 11).
//
// BLOB reference in a record (6 bytes): i32 page number, i16 entry ID.
// Page 0 or -1 means no stored value; ID -1 a large BLOB starting at the
// page; any other ID an entry of a shared page. In the in-memory record
// buffer a u32 BLOB cache handle follows the reference (0 = none).
//
// BLOB header (22 bytes), stored with every value:
//      0 i16 entry ID (shared pages); 0 on a large BLOB's first page
//      2 i32 number of compressed blocks (0 when not compressed)
//      6 i64 stored size (bytes kept on pages)
//     14 i64 uncompressed size
//
// Shared page data: u16 entry count, then entries back to back, each the
// header and the stored bytes. A value goes to a shared page when its stored
// size + 24 is below PageDataSize.
//
// Large BLOB: first page data = header at 0, locator at 22 {i32 list page,
// i16 offset in that page's data, i32 list entry count}, stored bytes from
// 32; further content pages hold bytes from 0, each full but the last. The
// page list (i32 page numbers of all content pages, the first included)
// follows the last content byte, in the last content page when room is
// left, else on new pages, continuing over pages linked by NextPageNo.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "KrxBTreePageIndex.h"
#include "KrxPageManager.h"

namespace krx {

struct TKrxBlobRef {
  int32_t pageNo = -1;
  int16_t entryID = -1;
  bool HasValue() const { return pageNo > 0; }
};
inline constexpr size_t kKrxBlobHeaderSize = 22;
inline constexpr size_t kKrxLargeBlobDataStart = 32;
inline constexpr int16_t kKrxLargeBlobID = -1;

TKrxBlobRef KrxGetBlobRef(const uint8_t* p, size_t off);
void KrxPutBlobRef(uint8_t* p, size_t off, const TKrxBlobRef& ref);

// One value as it is stored.
struct TKrxBlobValue {
  int32_t blockCount = 0;
  int64_t uncompressedSize = 0;
  std::vector<uint8_t> stored;
};

// A BLOB value held for a record buffer.
struct TKrxBlobCacheEntry {
  int32_t blockCount = 0;
  int64_t uncompressedSize = 0;
  bool modified = false;
  std::vector<uint8_t> stored;
};

class TKrxDiskBlobManager {
 public:
  TKrxDiskBlobManager(TKrxPageManager& pageManager, int32_t blobIndexRoot);

  int32_t BlobIndexRoot() const { return index_.RootPageNo(); }
  TKrxBTreeBlobPageIndex& Index() { return index_; }

  TKrxBlobRef Write(int32_t session, const TKrxBlobValue& value);
  // "Cannot read BLOB field value" when the reference leads to no value.
  TKrxBlobValue Read(int32_t session, const TKrxBlobRef& ref);
  void Delete(int32_t session, const TKrxBlobRef& ref);
  // Pages holding a large BLOB (content and list), for checks.
  std::vector<int32_t> LargeBlobPages(int32_t session, const TKrxBlobRef& ref);

  // ---- the cache of record buffers ----
  uint32_t NewCacheEntry();
  // The entry of a handle; nullptr when the handle names no live entry.
  TKrxBlobCacheEntry* CacheEntry(uint32_t handle);
  void ReleaseCacheEntry(uint32_t handle, bool force);
  size_t LiveCacheEntries() const;

 private:
  TKrxBlobRef WriteShared(int32_t session, const TKrxBlobValue& value);
  TKrxBlobRef WriteLarge(int32_t session, const TKrxBlobValue& value);
  bool ReadShared(int32_t session, const TKrxBlobRef& ref, TKrxBlobValue& value);
  bool ReadLarge(int32_t session, const TKrxBlobRef& ref, TKrxBlobValue& value);
  std::vector<int32_t> ReadPageList(int32_t session, int32_t firstPage, std::vector<int32_t>* listPages);
  void DeleteShared(int32_t session, const TKrxBlobRef& ref);
  void DeleteLarge(int32_t session, const TKrxBlobRef& ref);

  TKrxPageManager& pm_;
  TKrxBTreeBlobPageIndex index_;
  std::vector<std::unique_ptr<TKrxBlobCacheEntry>> cache_;  // handle = slot + 1
};

}  // namespace krx
