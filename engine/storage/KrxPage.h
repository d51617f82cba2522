// One page of a database in memory.
//
// A page of the database file is PageSize bytes: a 40-byte header, then the
// data part (PageDataSize = PageSize - 40 bytes):
//     0  4 chars  signature "KRXP"
//     4  i32      WriteCounter  random 0..0x3FFFFFFE at allocation, +1 per
//                               write (0x7FFFFFFD and above wrap to 0);
//                               0x7FFFFFFF = released or unreadable page
//     8  u16      page type (TKrxPageType)
//    10  i32      NextPageNo    next page of a chain, -1 = end
//    14  u32      CRC-32 of the plain data part (encrypted files only)
//    18  u8 x2    reserved 0
//    20  u8       cipher id of the data part (encrypted files only)
//    21  u8       reserved 0
//    22  i32      owner field (-1); record pages keep their table ID here
//    26  i32      reserved -1
//    30  u16      reserved 0
//    32  8 bytes  reserved 0
// Pages of the memory and temporary engines have no header: the header
// length of their page manager is 0 and the whole buffer is data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace krx {

class TKrxPageManager;
class TKrxSortedPageList;

enum class TKrxPageType : uint16_t {
  Unknown = 0,
  Empty = 1,
  EAM = 2,
  PFS = 3,
  FileSystemDirectory = 4,
  ActiveSessionList = 5,
  TableList = 6,
  TableLocks = 7,
  TableMetaData = 8,
  TableMostUpdated = 9,
  TableRecord = 10,
  TableBlob = 11,
  TableIndex = 12,
};

constexpr uint16_t kKrxMaxPageType = 12;
constexpr uint8_t kKrxAnyPageType = 255;  // "any type" for GetPage
constexpr int32_t kKrxNoPage = -1;
constexpr size_t kKrxPageHeaderSize = 40;
constexpr int32_t kKrxReleasedWriteCounter = 0x7FFFFFFF;

// Name of a page type as used in messages ("TableRecord Page"); "" above 12.
const char* KrxPageTypeName(uint16_t pageType);

// Fields of the 40-byte page header, read and written in a page buffer.
namespace KrxPageHeader {
constexpr size_t kSignature = 0;
constexpr size_t kWriteCounter = 4;
constexpr size_t kPageType = 8;
constexpr size_t kNextPageNo = 10;
constexpr size_t kDataCRC = 14;
constexpr size_t kCipherID = 20;
constexpr size_t kOwner = 22;
constexpr size_t kReserved26 = 26;
// Writes a fresh header: signature, counter, type, NextPageNo -1, the
// reserved fields as laid out above.
void Initialise(uint8_t* buffer, uint16_t pageType, int32_t writeCounter);
// The next WriteCounter after a write (+1, wrapping to 0 at 0x7FFFFFFD).
int32_t NextWriteCounter(int32_t current);
}  // namespace KrxPageHeader

class TKrxPage {
 public:
  // A page with its own zero-filled buffer of pageSize bytes.
  TKrxPage(TKrxPageManager* manager, int32_t pageNo, size_t pageSize, size_t headerSize);
  // A page that works on a buffer kept elsewhere (memory page manager).
  TKrxPage(TKrxPageManager* manager, int32_t pageNo, uint8_t* foreignBuffer, size_t pageSize,
           size_t headerSize);
  ~TKrxPage();
  TKrxPage(const TKrxPage&) = delete;
  TKrxPage& operator=(const TKrxPage&) = delete;

  TKrxPageManager* Manager() const { return manager_; }
  int32_t PageNo() const { return pageNo_; }
  void SetPageNo(int32_t pageNo) { pageNo_ = pageNo; }

  // The whole page and its data part (after the header).
  uint8_t* Buffer() { return buffer_; }
  const uint8_t* Buffer() const { return buffer_; }
  uint8_t* Data() { return buffer_ + headerSize_; }
  const uint8_t* Data() const { return buffer_ + headerSize_; }
  size_t PageSize() const { return pageSize_; }
  size_t HeaderSize() const { return headerSize_; }
  size_t DataSize() const { return pageSize_ - headerSize_; }
  bool OwnsBuffer() const { return ownsBuffer_; }

  // Header fields (meaningful only when the header size is 40).
  int32_t GetWriteCounter() const;
  void SetWriteCounter(int32_t value);
  uint16_t GetPageType() const;
  void SetPageType(uint16_t pageType);
  int32_t GetNextPageNo() const;
  void SetNextPageNo(int32_t pageNo);
  uint32_t GetDataCRC() const;
  void SetDataCRC(uint32_t crc);
  uint8_t GetCipherID() const;
  void SetCipherID(uint8_t id);
  // Header offset 22: the owning table ID on record pages.
  int32_t GetOwnerID() const;
  void SetOwnerID(int32_t id);
  bool HasValidSignature() const;

  // Every change of a page's bytes must be followed by MarkDirty so that the
  // session's commit writes it.
  void MarkDirty() { dirty_ = true; }
  bool IsDirty() const { return dirty_; }
  void SetDirty(bool dirty) { dirty_ = dirty; }

  int UseCount() const { return useCount_; }
  int32_t OwnerSession() const { return ownerSession_; }
  bool ReadFromDisk() const { return readFromDisk_; }
  bool MayBeEnciphered() const { return mayBeEnciphered_; }
  void SetMayBeEnciphered(bool value) { mayBeEnciphered_ = value; }

  // Validation stamp of a session (multi-user cache validity).
  bool IsStamped(int32_t session, int32_t version) const;
  void Stamp(int32_t session, int32_t version);
  void ClearStamps() { stamps_.clear(); }

 private:
  friend class TKrxPageManager;
  friend class TKrxSortedPageList;

  struct SessionStamp {
    int32_t version = 0;
    bool set = false;
  };

  TKrxPageManager* manager_;
  int32_t pageNo_;
  uint8_t* buffer_;
  size_t pageSize_;
  size_t headerSize_;
  bool ownsBuffer_;
  bool dirty_ = false;
  int useCount_ = 0;
  TKrxSortedPageList* list_ = nullptr;  // the list the page sits in, if any
  int32_t ownerSession_ = kKrxNoPage;
  bool readFromDisk_ = false;
  bool mayBeEnciphered_ = true;
  std::vector<SessionStamp> stamps_;  // indexed by session ID + 2
};

}  // namespace krx
