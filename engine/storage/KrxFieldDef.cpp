#include "KrxFieldDef.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "KrxBytes.h"
#include "KrxException.h"

namespace krx {

bool KrxSameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

TKrxFieldDef& TKrxFieldDefs::Add(std::string name, TKrxAdvancedType type, int32_t size) {
  TKrxFieldDef def;
  def.name = std::move(name);
  def.advancedType = type;
  def.size = size;
  return Add(def);
}

TKrxFieldDef& TKrxFieldDefs::Add(const TKrxFieldDef& def) {
  fields_.push_back(def);
  TKrxFieldDef& added = fields_.back();
  if (added.storageType == TKrxStorageType::Unknown) added.storageType = KrxStorageTypeOf(added.advancedType);
  // A GUID is kept as the 38 characters of its text form.
  if (added.advancedType == TKrxAdvancedType::Guid && added.size == 0) added.size = 38;
  added.fieldNo = static_cast<int>(fields_.size() - 1);
  return added;
}

void TKrxFieldDefs::Clear() {
  fields_.clear();
  nullBitmapSize_ = diskRecordSize_ = memoryRecordSize_ = 0;
}

const TKrxFieldDef& TKrxFieldDefs::Field(int fieldNo) const {
  if (fieldNo < 0 || static_cast<size_t>(fieldNo) >= fields_.size())
    throw EKrxException(KrxError::InvalidFieldNumber, fieldNo, static_cast<int64_t>(fields_.size()));
  return fields_[fieldNo];
}

int TKrxFieldDefs::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (KrxSameName(fields_[i].name, name)) return static_cast<int>(i);
  return -1;
}

int TKrxFieldDefs::FieldNoByName(std::string_view name) const {
  int i = IndexOf(name);
  if (i < 0) throw EKrxException(KrxError::FieldNotFound, std::string(name));
  return i;
}

bool TKrxFieldDefs::HasBlobs() const {
  for (const TKrxFieldDef& f : fields_)
    if (f.IsBlob()) return true;
  return false;
}

void TKrxFieldDefs::Layout() {
  nullBitmapSize_ = (fields_.size() + 7) / 8;
  size_t disk = nullBitmapSize_, memory = nullBitmapSize_;
  for (size_t i = 0; i < fields_.size(); ++i) {
    TKrxFieldDef& f = fields_[i];
    for (size_t j = 0; j < i; ++j)
      if (KrxSameName(fields_[j].name, f.name)) throw EKrxException(KrxError::DuplicateFieldName, f.name);
    f.fieldNo = static_cast<int>(i);
    f.diskSize = KrxStorageSize(f.storageType, f.size, false);
    f.memorySize = KrxStorageSize(f.storageType, f.size, true);
    f.diskOffset = disk;
    f.memoryOffset = memory;
    disk += f.diskSize;
    memory += f.memorySize;
  }
  diskRecordSize_ = disk;
  memoryRecordSize_ = memory;
}

void TKrxFieldDefs::Write(std::vector<uint8_t>& out) const {
  KrxAppendI32(out, static_cast<int32_t>(fields_.size()));
  for (const TKrxFieldDef& f : fields_) {
    KrxWriteShortString(out, f.name);
    KrxAppendI32(out, f.objectID);
    KrxAppendU8(out, static_cast<uint8_t>(f.storageType));
    KrxAppendU8(out, static_cast<uint8_t>(f.advancedType));
    KrxAppendI32(out, f.size);
    if (f.IsBlob()) {
      KrxAppendU8(out, f.blobCompressionAlgorithm);
      KrxAppendU8(out, f.blobCompressionMode);
      KrxAppendI32(out, f.blobBlockSize);
    }
    KrxAppendI64(out, f.autoincStep);
    KrxAppendI64(out, f.autoincInitial);
    KrxAppendI64(out, f.autoincMinimum);
    KrxAppendI64(out, f.autoincMaximum);
    KrxAppendU8(out, f.autoincCycle ? 1 : 0);
    f.defaultValue.AppendStored(out);
  }
}

void TKrxFieldDefs::Read(const uint8_t* data, size_t size, size_t& offset) {
  Clear();
  int32_t count = KrxReadI32(data, size, offset);
  if (count < 0 || count > 65535) throw EKrxException(KrxError::InvalidTableHeaderData);
  for (int32_t i = 0; i < count; ++i) {
    TKrxFieldDef f;
    f.name = KrxReadShortString(data, size, offset);
    f.objectID = KrxReadI32(data, size, offset);
    int storage = KrxReadU8(data, size, offset);
    int advanced = KrxReadU8(data, size, offset);
    if (storage < 1 || storage > kKrxStorageTypeMax || advanced < 1 || advanced > kKrxAdvancedTypeCount)
      throw EKrxException(KrxError::InvalidTableHeaderData);
    f.storageType = static_cast<TKrxStorageType>(storage);
    f.advancedType = static_cast<TKrxAdvancedType>(advanced);
    f.size = KrxReadI32(data, size, offset);
    if (f.IsBlob()) {
      f.blobCompressionAlgorithm = KrxReadU8(data, size, offset);
      f.blobCompressionMode = KrxReadU8(data, size, offset);
      f.blobBlockSize = KrxReadI32(data, size, offset);
    }
    f.autoincStep = KrxReadI64(data, size, offset);
    f.autoincInitial = KrxReadI64(data, size, offset);
    f.autoincMinimum = KrxReadI64(data, size, offset);
    f.autoincMaximum = KrxReadI64(data, size, offset);
    f.autoincCycle = KrxReadU8(data, size, offset) != 0;
    try {
      f.defaultValue = TKrxVariant::ReadStored(data, size, offset);
    } catch (const EKrxException&) {
      throw EKrxException(KrxError::InvalidTableHeaderData);
    }
    fields_.push_back(std::move(f));
  }
  Layout();
}

std::vector<uint8_t> KrxNewRecordBuffer(const TKrxFieldDefs& defs) {
  std::vector<uint8_t> record(defs.MemoryRecordSize(), 0);
  KrxClearRecordBuffer(defs, record.data());
  return record;
}

void KrxClearRecordBuffer(const TKrxFieldDefs& defs, uint8_t* record) {
  std::memset(record, 0, defs.MemoryRecordSize());
  for (size_t i = 0; i < defs.Count(); ++i) KrxRecordSetFieldNull(record, static_cast<int>(i), true);
}

void KrxGetRecordField(const TKrxFieldDefs& defs, const uint8_t* record, int fieldNo, TKrxVariant& value) {
  const TKrxFieldDef& f = defs.Field(fieldNo);
  if (KrxRecordFieldIsNull(record, fieldNo)) {
    value.SetNull(f.storageType);
    return;
  }
  value.AssignField(f.storageType, record + f.memoryOffset, f.memorySize);
}

TKrxVariant KrxGetRecordField(const TKrxFieldDefs& defs, const uint8_t* record, int fieldNo) {
  TKrxVariant v;
  KrxGetRecordField(defs, record, fieldNo, v);
  return v;
}

void KrxSetRecordField(const TKrxFieldDefs& defs, uint8_t* record, int fieldNo, const TKrxVariant& value) {
  const TKrxFieldDef& f = defs.Field(fieldNo);
  if (value.IsNull()) {
    std::memset(record + f.memoryOffset, 0, f.memorySize);
    KrxRecordSetFieldNull(record, fieldNo, true);
    return;
  }
  if (value.Type() == f.storageType) {
    value.WriteField(record + f.memoryOffset, f.memorySize);
  } else {
    TKrxVariant converted = value.ConvertedTo(f.storageType);
    converted.WriteField(record + f.memoryOffset, f.memorySize);
  }
  // A text cut to nothing by the field is still a value; an empty one is NULL.
  KrxRecordSetFieldNull(record, fieldNo, false);
}

void KrxRecordToDisk(const TKrxFieldDefs& defs, const uint8_t* memory, uint8_t* disk) {
  std::memcpy(disk, memory, defs.NullBitmapSize());
  for (const TKrxFieldDef& f : defs) std::memcpy(disk + f.diskOffset, memory + f.memoryOffset, f.diskSize);
}

void KrxRecordFromDisk(const TKrxFieldDefs& defs, const uint8_t* disk, uint8_t* memory) {
  std::memcpy(memory, disk, defs.NullBitmapSize());
  for (const TKrxFieldDef& f : defs) {
    std::memcpy(memory + f.memoryOffset, disk + f.diskOffset, f.diskSize);
    if (f.memorySize > f.diskSize) std::memset(memory + f.memoryOffset + f.diskSize, 0, f.memorySize - f.diskSize);
  }
}

void KrxCheckRemaining(size_t size, size_t offset, size_t count) {
  if (offset > size || size - offset < count) throw EKrxException(KrxError::InvalidTableHeaderData);
}

void KrxWriteShortString(std::vector<uint8_t>& out, std::string_view text) {
  size_t n = std::min<size_t>(text.size(), 255);
  out.push_back(static_cast<uint8_t>(n));
  out.insert(out.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
}

std::string KrxReadShortString(const uint8_t* data, size_t size, size_t& offset) {
  KrxCheckRemaining(size, offset, 1);
  size_t n = data[offset++];
  KrxCheckRemaining(size, offset, n);
  std::string s(reinterpret_cast<const char*>(data + offset), n);
  offset += n;
  return s;
}

void KrxAppendU8(std::vector<uint8_t>& out, uint8_t v) { out.push_back(v); }
void KrxAppendI32(std::vector<uint8_t>& out, int32_t v) {
  size_t at = out.size();
  out.resize(at + 4);
  PutI32(out.data(), at, v);
}
void KrxAppendI64(std::vector<uint8_t>& out, int64_t v) {
  size_t at = out.size();
  out.resize(at + 8);
  PutI64(out.data(), at, v);
}
uint8_t KrxReadU8(const uint8_t* data, size_t size, size_t& offset) {
  KrxCheckRemaining(size, offset, 1);
  return data[offset++];
}
int32_t KrxReadI32(const uint8_t* data, size_t size, size_t& offset) {
  KrxCheckRemaining(size, offset, 4);
  int32_t v = GetI32(data, offset);
  offset += 4;
  return v;
}
int64_t KrxReadI64(const uint8_t* data, size_t size, size_t& offset) {
  KrxCheckRemaining(size, offset, 8);
  int64_t v = GetI64(data, offset);
  offset += 8;
  return v;
}

}  // namespace krx
