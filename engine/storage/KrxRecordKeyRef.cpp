#include "KrxRecordKeyRef.h"

#include <cstring>

#include "KrxException.h"
#include "KrxLocale.h"

namespace krx {
namespace {

using S = TKrxStorageType;

template <typename T>
int ThreeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

void DecodeWide(const uint8_t* p, size_t length, std::u16string& out) {
  out.clear();
  for (size_t i = 0; i + 1 < length; i += 2) {
    char16_t c = static_cast<char16_t>(GetU16(p, i));
    if (c == 0) break;
    out.push_back(c);
  }
}

}  // namespace

TKrxRecordKeyRef::TKrxRecordKeyRef(const TKrxFieldDefs& fields, const std::vector<TKrxIndexColumnSpec>& columns) {
  size_t stored = 0, full = 0;
  for (const TKrxIndexColumnSpec& spec : columns) {
    const TKrxFieldDef& f = fields.Field(spec.fieldNo);
    if (f.IsBlob()) throw EKrxException(KrxError::CannotIndexBlobField, f.name);
    Column c{};
    c.fieldNo = spec.fieldNo;
    c.type = f.storageType;
    c.memoryOffset = f.memoryOffset;
    c.memorySize = f.memorySize;
    size_t setting = spec.keyLength > 0 ? static_cast<size_t>(spec.keyLength) : 0;
    c.storedLength = f.memorySize <= setting ? f.memorySize : std::min(f.memorySize, setting + 2);
    if (c.storedLength < f.memorySize) hasTruncated_ = true;
    c.storedOffset = stored;
    c.fullOffset = full;
    c.descending = spec.descending;
    c.caseInsensitive = spec.caseInsensitive;
    stored += 1 + c.storedLength;
    full += 1 + c.memorySize;
    columns_.push_back(c);
  }
  keyLength_ = stored;
  fullKeyLength_ = full;
  entryFull_.resize(fullKeyLength_);
}

void TKrxRecordKeyRef::BuildKey(const uint8_t* record, uint8_t* key, uint8_t* fullKey) const {
  for (const Column& c : columns_) {
    bool isNull = KrxRecordFieldIsNull(record, c.fieldNo);
    key[c.storedOffset] = isNull ? 1 : 0;
    if (isNull) std::memset(key + c.storedOffset + 1, 0, c.storedLength);
    else std::memcpy(key + c.storedOffset + 1, record + c.memoryOffset, c.storedLength);
    if (fullKey) {
      fullKey[c.fullOffset] = isNull ? 1 : 0;
      if (isNull) std::memset(fullKey + c.fullOffset + 1, 0, c.memorySize);
      else std::memcpy(fullKey + c.fullOffset + 1, record + c.memoryOffset, c.memorySize);
    }
  }
}

void TKrxRecordKeyRef::BuildKeyFromValues(const std::vector<TKrxVariant>& values, uint8_t* key,
                                          uint8_t* fullKey) const {
  std::vector<uint8_t> value;
  for (size_t i = 0; i < columns_.size(); ++i) {
    const Column& c = columns_[i];
    bool isNull = i >= values.size() || values[i].IsNull();
    value.assign(c.memorySize, 0);
    if (!isNull) {
      if (values[i].Type() == c.type) values[i].WriteField(value.data(), c.memorySize);
      else values[i].ConvertedTo(c.type).WriteField(value.data(), c.memorySize);
    }
    key[c.storedOffset] = isNull ? 1 : 0;
    std::memcpy(key + c.storedOffset + 1, value.data(), c.storedLength);
    if (fullKey) {
      fullKey[c.fullOffset] = isNull ? 1 : 0;
      std::memcpy(fullKey + c.fullOffset + 1, value.data(), c.memorySize);
    }
  }
}

int TKrxRecordKeyRef::ComparePart(const Column& c, const uint8_t* a, const uint8_t* b, size_t length) const {
  switch (c.type) {
    case S::FixedString:
    case S::String:
    case S::Bytes:
    case S::VarBytes: {
      std::string_view x(reinterpret_cast<const char*>(a), strnlen(reinterpret_cast<const char*>(a), length));
      std::string_view y(reinterpret_cast<const char*>(b), strnlen(reinterpret_cast<const char*>(b), length));
      return KrxCompareStrings(x, y, c.caseInsensitive);
    }
    case S::FixedWideString:
    case S::WideString: {
      thread_local std::u16string x, y;
      DecodeWide(a, length, x);
      DecodeWide(b, length, y);
      return KrxCompareWideStrings(x, y, c.caseInsensitive);
    }
    case S::Int8: return ThreeWay(static_cast<int8_t>(a[0]), static_cast<int8_t>(b[0]));
    case S::UInt8: return ThreeWay(a[0], b[0]);
    case S::Int16: return ThreeWay(GetI16(a, 0), GetI16(b, 0));
    case S::UInt16: return ThreeWay(GetU16(a, 0), GetU16(b, 0));
    case S::Boolean: return ThreeWay(GetU16(a, 0) != 0, GetU16(b, 0) != 0);
    case S::Int32:
    case S::Date:
    case S::Time: return ThreeWay(GetI32(a, 0), GetI32(b, 0));
    case S::UInt32: return ThreeWay(GetU32(a, 0), GetU32(b, 0));
    case S::Int64: return ThreeWay(GetI64(a, 0), GetI64(b, 0));
    case S::Single: return ThreeWay(GetF32(a, 0), GetF32(b, 0));
    case S::Double:
    case S::Currency: return ThreeWay(GetF64(a, 0), GetF64(b, 0));
    case S::Extended: return ThreeWay(KrxGetExtended(a, 0), KrxGetExtended(b, 0));
    case S::DateTime: {
      int r = ThreeWay(GetI32(a, 0), GetI32(b, 0));
      return r != 0 ? r : ThreeWay(GetI32(a, 4), GetI32(b, 4));
    }
    default: break;
  }
  return std::memcmp(a, b, length) < 0 ? -1 : (std::memcmp(a, b, length) > 0 ? 1 : 0);
}

int TKrxRecordKeyRef::CompareParts(const uint8_t* a, const uint8_t* b, bool full, size_t parts) const {
  for (size_t i = 0; i < parts && i < columns_.size(); ++i) {
    const Column& c = columns_[i];
    size_t offset = full ? c.fullOffset : c.storedOffset;
    size_t length = full ? c.memorySize : c.storedLength;
    bool nullA = a[offset] != 0, nullB = b[offset] != 0;
    int r;
    if (nullA || nullB) r = nullA == nullB ? 0 : (nullA ? -1 : 1);
    else r = ComparePart(c, a + offset + 1, b + offset + 1, length);
    if (r != 0) return c.descending ? -r : r;
  }
  return 0;
}

int TKrxRecordKeyRef::CompareStored(const uint8_t* a, const uint8_t* b) const {
  return CompareParts(a, b, false, columns_.size());
}

int TKrxRecordKeyRef::CompareFull(const uint8_t* a, const uint8_t* b) const {
  return CompareParts(a, b, true, columns_.size());
}

int TKrxRecordKeyRef::CompareStoredPrefix(const uint8_t* a, const uint8_t* b, size_t parts) const {
  return CompareParts(a, b, false, parts);
}

int TKrxRecordKeyRef::CompareFullPrefix(const uint8_t* a, const uint8_t* b, size_t parts) const {
  return CompareParts(a, b, true, parts);
}

int TKrxRecordKeyRef::CompareTie(const TKrxBTreeSearch& s, const uint8_t* /*entryKey*/,
                                 const uint8_t* entryRef) const {
  TKrxRecordID entryID = KrxGetRecordID(entryRef, 0);
  if (hasTruncated_ && s.fullKey) {
    bool same = s.ref && KrxCompareRecordIDs(KrxGetRecordID(s.ref, 0), entryID) == 0;
    if (!same) {
      if (!reader_ || !reader_(entryID, entryFull_.data())) throw EKrxException(KrxError::CannotRetrieveRecordForIndex);
      int r = CompareFull(s.fullKey, entryFull_.data());
      if (r != 0) return r;
    }
  }
  if (s.ref) return KrxCompareRecordIDs(KrxGetRecordID(s.ref, 0), entryID);
  return 0;
}

}  // namespace krx
