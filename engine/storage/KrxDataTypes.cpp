#include "KrxDataTypes.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "KrxException.h"

namespace krx {
namespace {

using A = TKrxAdvancedType;
using S = TKrxStorageType;
using K = TKrxClientFieldKind;

struct TypeRow {
  A type;
  S storage;
  K kind;
  const char* names[5];
  int nameCount;
};

// The type table in its fixed order; lookups take the first matching row.
constexpr TypeRow kRows[kKrxAdvancedTypeCount] = {
    {A::FixedChar, S::FixedString, K::ftFixedChar, {"CHAR", "FIXEDCHAR"}, 2},
    {A::String, S::String, K::ftString, {"STRING", "VARCHAR", "VARCHAR2"}, 3},
    {A::FixedWideChar, S::FixedWideString, K::ftWideString, {"WIDECHAR", "FIXEDWIDECHAR"}, 2},
    {A::WideString, S::WideString, K::ftWideString, {"WIDESTRING", "WIDEVARCHAR"}, 2},
    {A::ShortInt, S::Int8, K::ftSmallint, {"SHORTINT", "SIGNEDINT8"}, 2},
    {A::SmallInt, S::Int16, K::ftSmallint, {"SMALLINT", "SIGNEDINT16"}, 2},
    {A::Integer, S::Int32, K::ftInteger, {"INTEGER", "SIGNEDINT32"}, 2},
    {A::LargeInt, S::Int64, K::ftLargeint, {"LARGEINT", "INT64", "SIGNEDINT64"}, 3},
    {A::Byte, S::UInt8, K::ftWord, {"BYTE", "UNSIGNEDINT8"}, 2},
    {A::Word, S::UInt16, K::ftWord, {"WORD", "UNSIGNEDINT16"}, 2},
    {A::Cardinal, S::UInt32, K::ftLargeint, {"CARDINAL", "UNSIGNEDINT32"}, 2},
    {A::AutoInc, S::Int32, K::ftAutoInc, {"AUTOINC"}, 1},
    {A::AutoIncShortInt, S::Int8, K::ftAutoInc, {"AUTOINCSHORTINT"}, 1},
    {A::AutoIncSmallInt, S::Int16, K::ftAutoInc, {"AUTOINCSMALLINT"}, 1},
    {A::AutoIncInteger, S::Int32, K::ftAutoInc, {"AUTOINCINTEGER"}, 1},
    {A::AutoIncLargeInt, S::Int64, K::ftLargeint, {"AUTOINCLARGEINT"}, 1},
    {A::AutoIncByte, S::UInt8, K::ftAutoInc, {"AUTOINCBYTE"}, 1},
    {A::AutoIncWord, S::UInt16, K::ftAutoInc, {"AUTOINCWORD"}, 1},
    {A::AutoIncCardinal, S::UInt32, K::ftAutoInc, {"AUTOINCCARDINAL"}, 1},
    {A::Single, S::Single, K::ftFloat, {"SINGLE"}, 1},
    {A::Double, S::Double, K::ftFloat, {"FLOAT", "DOUBLE"}, 2},
    {A::Extended, S::Extended, K::ftFloat, {"EXTENDED"}, 1},
    {A::Boolean, S::Boolean, K::ftBoolean, {"LOGICAL", "BOOLEAN", "BOOL", "BIT"}, 4},
    {A::Currency, S::Currency, K::ftCurrency, {"CURRENCY", "MONEY"}, 2},
    {A::Date, S::Date, K::ftDate, {"DATE"}, 1},
    {A::Time, S::Time, K::ftTime, {"TIME"}, 1},
    {A::DateTime, S::DateTime, K::ftDateTime, {"DATETIME"}, 1},
    {A::TimeStamp, S::DateTime, K::ftTimeStamp, {"TIMESTAMP"}, 1},
    {A::Bytes, S::Bytes, K::ftBytes, {"BYTES"}, 1},
    {A::VarBytes, S::VarBytes, K::ftVarBytes, {"VARBYTES"}, 1},
    {A::Blob, S::Blob, K::ftBlob, {"BLOB"}, 1},
    {A::Graphic, S::Blob, K::ftGraphic, {"GRAPHIC"}, 1},
    {A::Memo, S::TextBlob, K::ftMemo, {"MEMO", "CLOB"}, 2},
    {A::FormattedMemo, S::TextBlob, K::ftFmtMemo, {"FORMATTEDMEMO"}, 1},
    {A::WideMemo, S::WideTextBlob, K::ftBlob, {"WIDEMEMO", "WIDECLOB"}, 2},
    {A::Guid, S::FixedString, K::ftGuid, {"GUID"}, 1},
};

const TypeRow* Row(A type) {
  int code = static_cast<int>(type);
  if (code < 1 || code > kKrxAdvancedTypeCount) return nullptr;
  return &kRows[code - 1];
}

bool EqualsIgnoreCase(std::string_view a, const char* b) {
  size_t i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == '\0') return false;
    if (std::toupper(static_cast<unsigned char>(a[i])) != static_cast<unsigned char>(b[i])) return false;
  }
  return b[i] == '\0';
}

constexpr const char* kKindNames[] = {
    "ftUnknown", "ftString",    "ftSmallint", "ftInteger",   "ftWord",     "ftBoolean",     "ftFloat",    "ftCurrency",
    "ftBCD",     "ftDate",      "ftTime",     "ftDateTime",  "ftBytes",    "ftVarBytes",    "ftAutoInc",  "ftBlob",
    "ftMemo",    "ftGraphic",   "ftFmtMemo",  "ftParadoxOle", "ftDBaseOle", "ftTypedBinary", "ftFixedChar", "ftWideString",
    "ftLargeint", "ftOraBlob",  "ftOraClob",  "ftGuid",      "ftTimeStamp",
};

// Integer ranges for the promotion of integer pairs.
struct IntRange {
  S type;
  bool isSigned;
  int bits;
};
IntRange RangeOf(S t) {
  switch (t) {
    case S::Int8: return {t, true, 8};
    case S::Int16: return {t, true, 16};
    case S::Int32: return {t, true, 32};
    case S::Int64: return {t, true, 64};
    case S::UInt8: return {t, false, 8};
    case S::UInt16: return {t, false, 16};
    case S::UInt32: return {t, false, 32};
    case S::Boolean: return {S::Int16, true, 1};
    default: return {S::Unknown, false, 0};
  }
}

S SignedOfBits(int bits) {
  if (bits <= 8) return S::Int8;
  if (bits <= 16) return S::Int16;
  if (bits <= 32) return S::Int32;
  return S::Int64;
}

S PromoteIntegers(S a, S b) {
  IntRange ra = RangeOf(a), rb = RangeOf(b);
  if (!ra.isSigned && !rb.isSigned) return ra.bits >= rb.bits ? a : b;
  if (ra.isSigned && rb.isSigned) return ra.bits >= rb.bits ? a : b;
  const IntRange& u = ra.isSigned ? rb : ra;
  const IntRange& s = ra.isSigned ? ra : rb;
  // A signed type holds the unsigned one only when it is wider.
  int need = std::max(s.bits, u.bits + 1);
  return SignedOfBits(need);
}

bool IsDateKind(S t) { return t == S::Date || t == S::Time || t == S::DateTime; }

S PromoteOrdered(S a, S b) {
  // Called with a <= b by code; every rule below is stated for that order.
  if (a == b) return a;
  // Text BLOBs meet strings as strings.
  auto textOf = [](S t) {
    if (t == S::TextBlob) return S::String;
    if (t == S::WideTextBlob) return S::WideString;
    if (t == S::FixedString) return S::String;
    if (t == S::FixedWideString) return S::WideString;
    return t;
  };
  bool aText = KrxIsStringType(a) || a == S::TextBlob || a == S::WideTextBlob;
  bool bText = KrxIsStringType(b) || b == S::TextBlob || b == S::WideTextBlob;
  if (aText && bText) {
    S ta = textOf(a), tb = textOf(b);
    if (ta == S::WideString || tb == S::WideString) return S::WideString;
    // Two text BLOBs of the same kind are caught by a == b; a text BLOB with
    // a string compares as a string.
    return S::String;
  }
  if (aText || bText) {
    S text = textOf(aText ? a : b);
    S other = aText ? b : a;
    if (other == S::Blob) return S::Unknown;
    if (KrxIsBytesType(other)) return text == S::WideString ? S::Unknown : S::VarBytes;
    if (IsDateKind(other)) return other;
    if (text == S::WideString) return S::WideString;
    return S::String;  // numbers and booleans become text
  }
  // Binary data.
  if (a == S::Blob || b == S::Blob) {
    S other = a == S::Blob ? b : a;
    return KrxIsBytesType(other) ? S::Blob : S::Unknown;
  }
  if (KrxIsBytesType(a) || KrxIsBytesType(b)) {
    return (KrxIsBytesType(a) && KrxIsBytesType(b)) ? S::VarBytes : S::Unknown;
  }
  // Dates and times.
  if (IsDateKind(a) || IsDateKind(b)) {
    if (IsDateKind(a) && IsDateKind(b)) return S::DateTime;
    S date = IsDateKind(a) ? a : b;
    S other = IsDateKind(a) ? b : a;
    if (KrxIsIntegerType(other)) return date;
    if (KrxIsFloatType(other)) return S::DateTime;
    return S::Unknown;  // boolean with a date
  }
  // Numbers and booleans.
  bool aInt = KrxIsIntegerType(a) || a == S::Boolean;
  bool bInt = KrxIsIntegerType(b) || b == S::Boolean;
  if (aInt && bInt) {
    if (a == S::Boolean) return b;
    if (b == S::Boolean) return a;
    return PromoteIntegers(a, b);
  }
  if (a == S::Extended || b == S::Extended) return S::Extended;
  if (aInt || bInt) {
    S flt = aInt ? b : a;
    S in = aInt ? a : b;
    if (flt == S::Single) {
      IntRange r = RangeOf(in);
      return (r.bits >= 32) ? S::Double : S::Single;
    }
    return flt;  // double or currency
  }
  // Two different float types among single, double, currency.
  return S::Double;
}

}  // namespace

TKrxAdvancedType KrxAdvancedTypeFromSqlName(std::string_view name) {
  for (const TypeRow& row : kRows)
    for (int i = 0; i < row.nameCount; ++i)
      if (EqualsIgnoreCase(name, row.names[i])) return row.type;
  return A::Unknown;
}

TKrxAdvancedType KrxAdvancedTypeByName(std::string_view name) {
  A type = KrxAdvancedTypeFromSqlName(name);
  if (type == A::Unknown) throw EKrxException(KrxError::UnknownDataType, std::string(name));
  return type;
}

TKrxAdvancedType KrxAdvancedTypeFromClientKind(TKrxClientFieldKind kind) {
  switch (kind) {
    case K::ftBCD: return A::Double;
    case K::ftParadoxOle:
    case K::ftDBaseOle:
    case K::ftTypedBinary:
    case K::ftOraBlob:
    case K::ftOraClob: return A::Blob;
    default: break;
  }
  for (const TypeRow& row : kRows)
    if (row.kind == kind) return row.type;
  throw EKrxException(KrxError::UnknownDataType, KrxClientFieldKindName(kind));
}

TKrxAdvancedType KrxAdvancedTypeFromCode(int code) {
  if (code < 1 || code > kKrxAdvancedTypeCount) throw EKrxException(KrxError::UnknownDataType, std::to_string(code));
  return static_cast<A>(code);
}

TKrxStorageType KrxStorageTypeOf(TKrxAdvancedType type) {
  const TypeRow* row = Row(type);
  if (!row) throw EKrxException(KrxError::UnsupportedDataType, KrxAdvancedTypeName(type));
  return row->storage;
}

TKrxClientFieldKind KrxClientFieldKindOf(TKrxAdvancedType type) {
  const TypeRow* row = Row(type);
  return row ? row->kind : K::ftUnknown;
}

TKrxAdvancedType KrxAdvancedTypeOfStorage(TKrxStorageType type) {
  switch (type) {
    case S::Currency: return A::Currency;
    case S::Boolean: return A::Boolean;
    default: break;
  }
  for (const TypeRow& row : kRows)
    if (row.storage == type) return row.type;
  return A::Unknown;
}

TKrxStorageType KrxStorageTypeFromCode(int code) {
  if (code < 1 || code > kKrxStorageTypeMax) throw EKrxException(KrxError::UnknownDataType, std::to_string(code));
  return static_cast<S>(code);
}

const char* KrxAdvancedTypeName(TKrxAdvancedType type) {
  const TypeRow* row = Row(type);
  return row ? row->names[0] : "Unknown";
}

const char* KrxStorageTypeName(TKrxStorageType type) { return KrxAdvancedTypeName(KrxAdvancedTypeOfStorage(type)); }

const char* KrxClientFieldKindName(TKrxClientFieldKind kind) {
  auto index = static_cast<size_t>(kind);
  return index < std::size(kKindNames) ? kKindNames[index] : "Unknown";
}

const char* const* KrxAdvancedTypeSqlNames(TKrxAdvancedType type, int* count) {
  const TypeRow* row = Row(type);
  *count = row ? row->nameCount : 0;
  return row ? row->names : nullptr;
}

size_t KrxStorageSize(TKrxStorageType type, int32_t declaredSize, bool inMemory) {
  size_t n = declaredSize > 0 ? static_cast<size_t>(declaredSize) : 0;
  switch (type) {
    case S::FixedString:
    case S::String:
    case S::Bytes:
    case S::VarBytes: return n + 1;
    case S::FixedWideString:
    case S::WideString: return 2 * (n + 1);
    case S::Int8:
    case S::UInt8: return 1;
    case S::Int16:
    case S::UInt16:
    case S::Boolean: return 2;
    case S::Int32:
    case S::UInt32:
    case S::Single:
    case S::Date:
    case S::Time: return 4;
    case S::Int64:
    case S::Double:
    case S::Currency:
    case S::DateTime: return 8;
    case S::Extended: return 10;
    case S::Blob:
    case S::TextBlob:
    case S::WideTextBlob: return inMemory ? kKrxBlobMemorySize : kKrxBlobDiskSize;
    case S::Unknown: break;
  }
  throw EKrxException(KrxError::UnsupportedDataType, KrxStorageTypeName(type));
}

bool KrxAdvancedTypeNeedsSize(TKrxAdvancedType type) {
  switch (type) {
    case A::FixedChar:
    case A::String:
    case A::FixedWideChar:
    case A::WideString:
    case A::Bytes:
    case A::VarBytes: return true;
    default: return false;
  }
}

bool KrxIsNarrowStringType(TKrxStorageType t) { return t == S::FixedString || t == S::String; }
bool KrxIsWideStringType(TKrxStorageType t) { return t == S::FixedWideString || t == S::WideString; }
bool KrxIsStringType(TKrxStorageType t) { return KrxIsNarrowStringType(t) || KrxIsWideStringType(t); }
bool KrxIsBytesType(TKrxStorageType t) { return t == S::Bytes || t == S::VarBytes; }
bool KrxIsBlobType(TKrxStorageType t) { return t == S::Blob || t == S::TextBlob || t == S::WideTextBlob; }
bool KrxIsSignedIntType(TKrxStorageType t) { return t >= S::Int8 && t <= S::Int64; }
bool KrxIsUnsignedIntType(TKrxStorageType t) { return t >= S::UInt8 && t <= S::UInt32; }
bool KrxIsIntegerType(TKrxStorageType t) { return t >= S::Int8 && t <= S::UInt32; }
bool KrxIsFloatType(TKrxStorageType t) {
  return t == S::Single || t == S::Double || t == S::Extended || t == S::Currency;
}
bool KrxIsNumericType(TKrxStorageType t) { return KrxIsIntegerType(t) || KrxIsFloatType(t); }
bool KrxIsDateTimeType(TKrxStorageType t) { return IsDateKind(t); }
bool KrxIsAutoIncType(TKrxAdvancedType t) { return t >= A::AutoInc && t <= A::AutoIncCardinal; }
bool KrxIsBlobType(TKrxAdvancedType t) { return t >= A::Blob && t <= A::WideMemo; }

TKrxStorageType KrxPromoteStorageTypes(TKrxStorageType a, TKrxStorageType b) {
  if (a == S::Unknown || b == S::Unknown) return S::Unknown;
  return a <= b ? PromoteOrdered(a, b) : PromoteOrdered(b, a);
}

TKrxAdvancedType KrxPromoteAdvancedTypes(TKrxAdvancedType a, TKrxAdvancedType b) {
  const TypeRow* ra = Row(a);
  const TypeRow* rb = Row(b);
  if (!ra || !rb) return A::Unknown;
  if (a == b) return a;
  S common = KrxPromoteStorageTypes(ra->storage, rb->storage);
  if (common == S::Unknown) return A::Unknown;
  // Prefer an operand's own type when it is the result, a plain type over an
  // autoincrement one.
  bool aFits = ra->storage == common, bFits = rb->storage == common;
  if (aFits && bFits) return KrxIsAutoIncType(a) ? b : a;
  if (aFits && !KrxIsAutoIncType(a)) return a;
  if (bFits && !KrxIsAutoIncType(b)) return b;
  return KrxAdvancedTypeOfStorage(common);
}

}  // namespace krx
