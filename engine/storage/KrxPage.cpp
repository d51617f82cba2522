#include "KrxPage.h"

#include <cstring>

#include "KrxBytes.h"
#include "KrxException.h"
#include "KrxMemoryManager.h"

namespace krx {

const char* KrxPageTypeName(uint16_t pageType) {
  static const char* const kNames[] = {
      "Unknown Page",      "Empty Page",          "EAM Page",           "PFS Page",
      "FileSystemDirectory Page", "ActiveSessionList Page", "TableList Page", "TableLocks Page",
      "TableMetaData Page", "TableMostUpdated Page", "TableRecord Page", "TableBlob Page",
      "TableIndex Page"};
  return pageType <= kKrxMaxPageType ? kNames[pageType] : "";
}

namespace KrxPageHeader {

void Initialise(uint8_t* buffer, uint16_t pageType, int32_t writeCounter) {
  std::memset(buffer, 0, kKrxPageHeaderSize);
  std::memcpy(buffer + kSignature, "KRXP", 4);
  PutI32(buffer, kWriteCounter, writeCounter);
  PutU16(buffer, kPageType, pageType);
  PutI32(buffer, kNextPageNo, kKrxNoPage);
  PutI32(buffer, kOwner, -1);
  PutI32(buffer, kReserved26, -1);
}

int32_t NextWriteCounter(int32_t current) {
  int64_t next = static_cast<int64_t>(current) + 1;
  return next >= 0x7FFFFFFD ? 0 : static_cast<int32_t>(next);
}

}  // namespace KrxPageHeader

TKrxPage::TKrxPage(TKrxPageManager* manager, int32_t pageNo, size_t pageSize, size_t headerSize)
    : manager_(manager),
      pageNo_(pageNo),
      buffer_(TKrxMemoryManager::Instance().AllocateZeroed(pageSize)),
      pageSize_(pageSize),
      headerSize_(headerSize),
      ownsBuffer_(true) {}

TKrxPage::TKrxPage(TKrxPageManager* manager, int32_t pageNo, uint8_t* foreignBuffer, size_t pageSize,
                   size_t headerSize)
    : manager_(manager),
      pageNo_(pageNo),
      buffer_(foreignBuffer),
      pageSize_(pageSize),
      headerSize_(headerSize),
      ownsBuffer_(false) {
  if (buffer_ == nullptr) throw EKrxException(KrxError::InvalidPageBuffer);
}

TKrxPage::~TKrxPage() {
  if (ownsBuffer_) {
    try {
      TKrxMemoryManager::Instance().Free(buffer_);
    } catch (...) {
      // A guard fault in a destructor cannot be reported; the block is lost.
    }
  }
}

int32_t TKrxPage::GetWriteCounter() const { return GetI32(buffer_, KrxPageHeader::kWriteCounter); }
void TKrxPage::SetWriteCounter(int32_t value) { PutI32(buffer_, KrxPageHeader::kWriteCounter, value); }
uint16_t TKrxPage::GetPageType() const { return GetU16(buffer_, KrxPageHeader::kPageType); }
void TKrxPage::SetPageType(uint16_t pageType) { PutU16(buffer_, KrxPageHeader::kPageType, pageType); }
int32_t TKrxPage::GetNextPageNo() const { return GetI32(buffer_, KrxPageHeader::kNextPageNo); }
void TKrxPage::SetNextPageNo(int32_t pageNo) { PutI32(buffer_, KrxPageHeader::kNextPageNo, pageNo); }
uint32_t TKrxPage::GetDataCRC() const { return GetU32(buffer_, KrxPageHeader::kDataCRC); }
void TKrxPage::SetDataCRC(uint32_t crc) { PutU32(buffer_, KrxPageHeader::kDataCRC, crc); }
uint8_t TKrxPage::GetCipherID() const { return GetU8(buffer_, KrxPageHeader::kCipherID); }
void TKrxPage::SetCipherID(uint8_t id) { PutU8(buffer_, KrxPageHeader::kCipherID, id); }
int32_t TKrxPage::GetOwnerID() const { return GetI32(buffer_, KrxPageHeader::kOwner); }
void TKrxPage::SetOwnerID(int32_t id) { PutI32(buffer_, KrxPageHeader::kOwner, id); }
bool TKrxPage::HasValidSignature() const { return std::memcmp(buffer_, "KRXP", 4) == 0; }

bool TKrxPage::IsStamped(int32_t session, int32_t version) const {
  size_t index = static_cast<size_t>(session + 2);
  return index < stamps_.size() && stamps_[index].set && stamps_[index].version == version;
}

void TKrxPage::Stamp(int32_t session, int32_t version) {
  size_t index = static_cast<size_t>(session + 2);
  if (index >= stamps_.size()) stamps_.resize(index + 1);
  stamps_[index] = {version, true};
}

}  // namespace krx
