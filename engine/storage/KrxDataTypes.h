// The engine's data types, listed once. Every field has an advanced type (what
// the user declared, named by the SQL type words) and a storage type derived
// from it (how its value is encoded in a record). The client components see a
// dataset field kind for each advanced type.
//
// Bytes a value occupies in a record (n = declared size):
//     1 fixed string, 3 string        n + 1        system code page (GB18030), zero-terminated
//     2 fixed wide, 4 wide string     2·(n + 1)    UTF-16LE, zero-terminated
//     5/6/7/8 signed, 9/10/11 unsigned 1/2/4/8, 1/2/4
//     12 single 4, 13 double 8, 14 extended 10 (80-bit)
//     15 date 4 (day number, 0001-01-01 = 1), 16 time 4 (ms since midnight)
//     17 date-time 8 (date, then time)
//     18/19/20 BLOBs 6 on disk, 10 in the in-memory record buffer
//     21 boolean 2, 22 currency 8 (double), 23 bytes / 24 varbytes n + 1
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace krx {

enum class TKrxAdvancedType : uint8_t {
  Unknown = 0,
  FixedChar = 1,
  String = 2,
  FixedWideChar = 3,
  WideString = 4,
  ShortInt = 5,
  SmallInt = 6,
  Integer = 7,
  LargeInt = 8,
  Byte = 9,
  Word = 10,
  Cardinal = 11,
  AutoInc = 12,
  AutoIncShortInt = 13,
  AutoIncSmallInt = 14,
  AutoIncInteger = 15,
  AutoIncLargeInt = 16,
  AutoIncByte = 17,
  AutoIncWord = 18,
  AutoIncCardinal = 19,
  Single = 20,
  Double = 21,
  Extended = 22,
  Boolean = 23,
  Currency = 24,
  Date = 25,
  Time = 26,
  DateTime = 27,
  TimeStamp = 28,
  Bytes = 29,
  VarBytes = 30,
  Blob = 31,
  Graphic = 32,
  Memo = 33,
  FormattedMemo = 34,
  WideMemo = 35,
  Guid = 36,
};
inline constexpr int kKrxAdvancedTypeCount = 36;

enum class TKrxStorageType : uint8_t {
  Unknown = 0,
  FixedString = 1,
  FixedWideString = 2,
  String = 3,
  WideString = 4,
  Int8 = 5,
  Int16 = 6,
  Int32 = 7,
  Int64 = 8,
  UInt8 = 9,
  UInt16 = 10,
  UInt32 = 11,
  Single = 12,
  Double = 13,
  Extended = 14,
  Date = 15,
  Time = 16,
  DateTime = 17,
  Blob = 18,
  TextBlob = 19,
  WideTextBlob = 20,
  Boolean = 21,
  Currency = 22,
  Bytes = 23,
  VarBytes = 24,
};
inline constexpr int kKrxStorageTypeMax = 24;

// The dataset field kinds of the client components.
enum class TKrxClientFieldKind : uint8_t {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftDate,
  ftTime,
  ftDateTime,
  ftBytes,
  ftVarBytes,
  ftAutoInc,
  ftBlob,
  ftMemo,
  ftGraphic,
  ftFmtMemo,
  ftParadoxOle,
  ftDBaseOle,
  ftTypedBinary,
  ftFixedChar,
  ftWideString,
  ftLargeint,
  ftOraBlob,
  ftOraClob,
  ftGuid,
  ftTimeStamp,
};

// On-disk and in-memory size of a BLOB reference in a record.
inline constexpr size_t kKrxBlobDiskSize = 6;
inline constexpr size_t kKrxBlobMemorySize = 10;
// Days from 0001-01-01 (day 1) to 1899-12-30, the zero of a date-time value.
inline constexpr int32_t kKrxDateDelta = 693594;
inline constexpr int32_t kKrxMsPerDay = 86400000;

// ---- lookups by the type table (first matching row wins) ----

// The advanced type of an SQL type word (any case); Unknown when none.
TKrxAdvancedType KrxAdvancedTypeFromSqlName(std::string_view name);
// As above, raising "Unknown DataType: '%s'" for an unknown word.
TKrxAdvancedType KrxAdvancedTypeByName(std::string_view name);
// The advanced type of a client field kind; "Unknown DataType: '%s'" when the
// kind maps to none.
TKrxAdvancedType KrxAdvancedTypeFromClientKind(TKrxClientFieldKind kind);
// The advanced type of a numeric code 1..36; "Unknown DataType: '%s'" otherwise.
TKrxAdvancedType KrxAdvancedTypeFromCode(int code);

// The storage type of an advanced type; "Unsupported data type '%s'" when it
// has none.
TKrxStorageType KrxStorageTypeOf(TKrxAdvancedType type);
TKrxClientFieldKind KrxClientFieldKindOf(TKrxAdvancedType type);
// The natural advanced type of a storage type (the first row with it), used
// to name values that carry only a storage type.
TKrxAdvancedType KrxAdvancedTypeOfStorage(TKrxStorageType type);
// A storage type code read from disk; "Unknown DataType: '%s'" when invalid.
TKrxStorageType KrxStorageTypeFromCode(int code);

// Names for messages: the first SQL word of the row, "Unknown" when missing.
const char* KrxAdvancedTypeName(TKrxAdvancedType type);
const char* KrxStorageTypeName(TKrxStorageType type);
const char* KrxClientFieldKindName(TKrxClientFieldKind kind);
// Every SQL word of a row, in table order; empty for Unknown.
const char* const* KrxAdvancedTypeSqlNames(TKrxAdvancedType type, int* count);

// ---- sizes ----

// Bytes of a value in a record; BLOBs take 6 on disk and 10 in memory.
size_t KrxStorageSize(TKrxStorageType type, int32_t declaredSize, bool inMemory);
// True for the types that need a declared size (strings, wide strings,
// BYTES, VARBYTES).
bool KrxAdvancedTypeNeedsSize(TKrxAdvancedType type);

// ---- classes of types ----
bool KrxIsNarrowStringType(TKrxStorageType type);  // 1, 3
bool KrxIsWideStringType(TKrxStorageType type);    // 2, 4
bool KrxIsStringType(TKrxStorageType type);        // 1..4
bool KrxIsBytesType(TKrxStorageType type);         // 23, 24
bool KrxIsBlobType(TKrxStorageType type);          // 18..20
bool KrxIsSignedIntType(TKrxStorageType type);     // 5..8
bool KrxIsUnsignedIntType(TKrxStorageType type);   // 9..11
bool KrxIsIntegerType(TKrxStorageType type);       // 5..11
bool KrxIsFloatType(TKrxStorageType type);         // 12, 13, 14, 22
bool KrxIsNumericType(TKrxStorageType type);       // integers and floats
bool KrxIsDateTimeType(TKrxStorageType type);      // 15, 16, 17
bool KrxIsAutoIncType(TKrxAdvancedType type);      // 12..19
bool KrxIsBlobType(TKrxAdvancedType type);         // 31..35

// ---- the type promotion table ----
// The common type two operands are converted to before a mixed-type
// operation (comparison, arithmetic, concatenation); Unknown when the pair has
// none. The table is symmetric.
//   - equal types stay; fixed and variable strings meet as variable strings;
//   - a wide string with a narrow string or any scalar gives the wide string;
//   - a string with a number or boolean gives the string; a string with a
//     date, time or date-time gives that date type (the text is read as one);
//   - a text BLOB meets strings as a string (wide text BLOB as wide string);
//   - integers meet in the smallest signed type holding both ranges (two
//     unsigned types stay unsigned); an integer with a float gives the float
//     (single becomes double beside a 32- or 64-bit integer); extended wins
//     over every number; currency with an integer stays currency, currency
//     with single or double becomes double;
//   - a boolean with a number gives the number;
//   - date with time gives date-time; a date type with an integer keeps the
//     date type (days added), with a float gives date-time;
//   - bytes meet bytes and strings as variable bytes; binary BLOBs meet only
//     BLOBs and bytes.
TKrxStorageType KrxPromoteStorageTypes(TKrxStorageType a, TKrxStorageType b);
// The same table over advanced types: the advanced type of the promoted
// storage type, keeping the operand's own advanced type when it is the result
// (so INTEGER with AUTOINC gives INTEGER, TIMESTAMP with TIMESTAMP stays).
TKrxAdvancedType KrxPromoteAdvancedTypes(TKrxAdvancedType a, TKrxAdvancedType b);

}  // namespace krx
