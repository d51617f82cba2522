// Field definitions of a table and the record layout they give.
//
// A record (page slot and in-memory record buffer alike) is
//     null bitmap : ceil(F/8) bytes, bit i (lowest bit of byte i div 8 first)
//                   set = field i is NULL
//     fields      : in definition order, packed without gaps
// BLOB fields take 6 bytes on disk ({i32 page, i16 entry ID}) and 10 in the
// in-memory buffer (the same 6 bytes, then a u32 BLOB cache handle).
//
// A field definition as written in the table's metadata file:
//     string  name (u8 length + bytes)
//     i32     object ID
//     u8      storage type
//     u8      advanced type
//     i32     declared size
//     -- only for BLOB storage types:
//     u8      BLOB compression algorithm
//     u8      BLOB compression mode
//     i32     BLOB block size
//     i64     autoincrement step
//     i64     autoincrement initial value
//     i64     autoincrement minimum (restart value when cycling)
//     i64     autoincrement maximum
//     u8      cycle flag
//     value   default value (stored variant)
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "KrxDataTypes.h"
#include "KrxVariant.h"

namespace krx {

struct TKrxFieldDef {
  std::string name;
  int32_t objectID = -1;
  TKrxStorageType storageType = TKrxStorageType::Unknown;
  TKrxAdvancedType advancedType = TKrxAdvancedType::Unknown;
  int32_t size = 0;
  uint8_t blobCompressionAlgorithm = 0;
  uint8_t blobCompressionMode = 0;
  int32_t blobBlockSize = 102400;
  int64_t autoincStep = 1;
  int64_t autoincInitial = 0;
  int64_t autoincMinimum = 0;
  int64_t autoincMaximum = std::numeric_limits<int64_t>::max();
  bool autoincCycle = false;
  TKrxVariant defaultValue;  // NULL

  // Layout, filled by TKrxFieldDefs::Layout.
  int fieldNo = 0;
  size_t diskOffset = 0;
  size_t diskSize = 0;
  size_t memoryOffset = 0;
  size_t memorySize = 0;

  bool IsBlob() const { return KrxIsBlobType(storageType); }
  bool IsAutoInc() const { return KrxIsAutoIncType(advancedType); }
};

class TKrxFieldDefs {
 public:
  // Adds a field of an advanced type; the storage type follows from it.
  TKrxFieldDef& Add(std::string name, TKrxAdvancedType type, int32_t size = 0);
  // Adds a definition as given (storage type filled when Unknown).
  TKrxFieldDef& Add(const TKrxFieldDef& def);
  void Clear();

  size_t Count() const { return fields_.size(); }
  TKrxFieldDef& operator[](size_t i) { return fields_[i]; }
  const TKrxFieldDef& operator[](size_t i) const { return fields_[i]; }
  // "Invalid field number - FieldNo = %d, FieldCount = %d" when out of range.
  const TKrxFieldDef& Field(int fieldNo) const;
  // Index of a field by name without regard to case; -1 when none.
  int IndexOf(std::string_view name) const;
  // As IndexOf, raising "Field '%s' not found".
  int FieldNoByName(std::string_view name) const;
  bool HasBlobs() const;

  // Computes offsets and sizes; "Duplicate field name %s" when two fields
  // share a name.
  void Layout();
  size_t NullBitmapSize() const { return nullBitmapSize_; }
  size_t DiskRecordSize() const { return diskRecordSize_; }
  size_t MemoryRecordSize() const { return memoryRecordSize_; }

  void Write(std::vector<uint8_t>& out) const;
  // Reads the definitions at offset (advancing it); "Invalid table header
  // data" when they do not fit the bytes.
  void Read(const uint8_t* data, size_t size, size_t& offset);

  std::vector<TKrxFieldDef>::const_iterator begin() const { return fields_.begin(); }
  std::vector<TKrxFieldDef>::const_iterator end() const { return fields_.end(); }

 private:
  std::vector<TKrxFieldDef> fields_;
  size_t nullBitmapSize_ = 0;
  size_t diskRecordSize_ = 0;
  size_t memoryRecordSize_ = 0;
};

// ---- record buffer access (in-memory layout) ----
inline bool KrxRecordFieldIsNull(const uint8_t* record, int fieldNo) {
  return (record[fieldNo / 8] >> (fieldNo % 8)) & 1;
}
inline void KrxRecordSetFieldNull(uint8_t* record, int fieldNo, bool isNull) {
  uint8_t bit = static_cast<uint8_t>(1u << (fieldNo % 8));
  if (isNull) record[fieldNo / 8] |= bit;
  else record[fieldNo / 8] = static_cast<uint8_t>(record[fieldNo / 8] & ~bit);
}

// A record buffer of a table: every field NULL, zero bytes.
std::vector<uint8_t> KrxNewRecordBuffer(const TKrxFieldDefs& defs);
void KrxClearRecordBuffer(const TKrxFieldDefs& defs, uint8_t* record);
// Reads field fieldNo of an in-memory record into value (NULL when the bit is
// set). BLOB fields are not read this way.
void KrxGetRecordField(const TKrxFieldDefs& defs, const uint8_t* record, int fieldNo, TKrxVariant& value);
TKrxVariant KrxGetRecordField(const TKrxFieldDefs& defs, const uint8_t* record, int fieldNo);
// Writes value, converted to the field's storage type, into the record;
// a NULL value sets the NULL bit.
void KrxSetRecordField(const TKrxFieldDefs& defs, uint8_t* record, int fieldNo, const TKrxVariant& value);
// Converts between the in-memory and the disk layout (they differ only in
// the BLOB fields' trailing cache handles, which the disk form drops and the
// memory form gets as 0).
void KrxRecordToDisk(const TKrxFieldDefs& defs, const uint8_t* memory, uint8_t* disk);
void KrxRecordFromDisk(const TKrxFieldDefs& defs, const uint8_t* disk, uint8_t* memory);

// Length-prefixed strings of definitions: one length byte and the bytes.
void KrxWriteShortString(std::vector<uint8_t>& out, std::string_view text);
std::string KrxReadShortString(const uint8_t* data, size_t size, size_t& offset);
// Checks that count bytes remain at offset ("Invalid table header data").
void KrxCheckRemaining(size_t size, size_t offset, size_t count);
void KrxAppendU8(std::vector<uint8_t>& out, uint8_t v);
void KrxAppendI32(std::vector<uint8_t>& out, int32_t v);
void KrxAppendI64(std::vector<uint8_t>& out, int64_t v);
uint8_t KrxReadU8(const uint8_t* data, size_t size, size_t& offset);
int32_t KrxReadI32(const uint8_t* data, size_t size, size_t& offset);
int64_t KrxReadI64(const uint8_t* data, size_t size, size_t& offset);

// Case-insensitive equality of names (ASCII letters).
bool KrxSameName(std::string_view a, std::string_view b);

}  // namespace krx
