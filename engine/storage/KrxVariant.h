// The engine variant: one typed value. It carries a storage type and a NULL
// flag, and for a value its payload: an integer (all integer widths and the
// boolean), a double (single, double, currency), an 80-bit extended, a date
// (day number), time (milliseconds) or date-time (both), a narrow string
// (GB18030 bytes), a wide string (UTF-16) or bytes (byte types and BLOBs).
//
// A text of length zero is NULL: assigning an empty string, wide string,
// byte string or BLOB leaves the variant NULL.
//
// Stored form (field defaults in the metadata file, values in definitions):
//     u8  storage type
//     u8  is-NULL flag (1 = NULL)
//     -- when not NULL:
//     i32 byte length L
//     L   bytes of the value in its record encoding (strings and byte types
//         zero-terminated, wide strings UTF-16LE zero-terminated)
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "KrxDataTypes.h"

namespace krx {

// A date-time as the engine stores it: day number (0001-01-01 = 1) and
// milliseconds since midnight.
struct TKrxTimeStamp {
  int32_t date = 0;
  int32_t time = 0;
  friend bool operator==(const TKrxTimeStamp&, const TKrxTimeStamp&) = default;
};

// Calendar helpers on day numbers (0001-01-01 = day 1, proleptic Gregorian).
int32_t KrxEncodeDate(int year, int month, int day);  // 0 when invalid
bool KrxDecodeDate(int32_t dayNumber, int* year, int* month, int* day);
bool KrxIsValidDate(int year, int month, int day);
int32_t KrxEncodeTime(int hour, int minute, int second, int ms);
void KrxDecodeTime(int32_t msOfDay, int* hour, int* minute, int* second, int* ms);
// A date-time value (days since 1899-12-30 with the time as fraction) and back.
TKrxTimeStamp KrxTimeStampFromDateTime(double dateTime);
double KrxDateTimeFromTimeStamp(const TKrxTimeStamp& ts);
// The current local date and time.
TKrxTimeStamp KrxNow();

class TKrxVariant {
 public:
  TKrxVariant() = default;  // NULL of type INTEGER (the NULL literal's type)
  explicit TKrxVariant(TKrxStorageType nullOfType) : type_(nullOfType) {}

  static TKrxVariant Null(TKrxStorageType type) { return TKrxVariant(type); }
  static TKrxVariant FromInt32(int32_t v);
  static TKrxVariant FromInt64(int64_t v);
  static TKrxVariant FromDouble(double v);
  static TKrxVariant FromCurrency(double v);
  static TKrxVariant FromExtended(long double v);
  static TKrxVariant FromBoolean(bool v);
  static TKrxVariant FromString(std::string_view gbText);      // narrow, GB18030
  static TKrxVariant FromUtf8(std::string_view utf8Text);      // narrow, converted
  static TKrxVariant FromWideString(std::u16string_view text);
  static TKrxVariant FromBytes(std::string_view bytes, TKrxStorageType type = TKrxStorageType::VarBytes);
  static TKrxVariant FromDate(int32_t dayNumber);
  static TKrxVariant FromTime(int32_t msOfDay);
  static TKrxVariant FromTimeStamp(const TKrxTimeStamp& ts);

  TKrxStorageType Type() const { return type_; }
  bool IsNull() const { return null_; }

  // Makes the variant NULL, optionally of another type.
  void SetNull();
  void SetNull(TKrxStorageType type);

  // Setters keep the payload kind of the given storage type; integer setters
  // accept every integer width and the boolean, and so on.
  void SetInt64(int64_t v, TKrxStorageType type = TKrxStorageType::Int64);
  void SetInt32(int32_t v) { SetInt64(v, TKrxStorageType::Int32); }
  void SetDouble(double v, TKrxStorageType type = TKrxStorageType::Double);
  void SetExtended(long double v);
  void SetBoolean(bool v);
  void SetString(std::string_view gbText, TKrxStorageType type = TKrxStorageType::String);
  void SetWideString(std::u16string_view text, TKrxStorageType type = TKrxStorageType::WideString);
  void SetBytes(std::string_view bytes, TKrxStorageType type = TKrxStorageType::VarBytes);
  void SetDate(int32_t dayNumber);
  void SetTime(int32_t msOfDay);
  void SetTimeStamp(const TKrxTimeStamp& ts);

  // Conversions. Each reads the value as the asked kind, converting from any
  // type that has a meaning there; "Value is Null" for a NULL and
  // "Cannot convert value ..." where there is none (a text that is no number,
  // a BLOB read as a number).
  int64_t AsInt64() const;
  int32_t AsInt32() const;
  double AsDouble() const;
  long double AsExtended() const;
  bool AsBoolean() const;
  std::string AsString() const;         // GB18030 text (numbers, dates formatted)
  std::string AsUtf8() const;           // the same text in UTF-8
  std::u16string AsWideString() const;
  std::string AsBytes() const;          // raw payload of strings, bytes and BLOBs
  int32_t AsDate() const;               // day number
  int32_t AsTime() const;               // ms of day
  TKrxTimeStamp AsTimeStamp() const;
  double AsDateTime() const;            // days since 1899-12-30

  // The raw payloads without conversion (valid for the matching kind only).
  int64_t IntValue() const { return int_; }
  double DoubleValue() const { return double_; }
  long double ExtendedValue() const { return extended_; }
  const std::string& StringValue() const { return text_; }    // narrow strings, bytes, BLOBs
  const std::u16string& WideValue() const { return wide_; }
  TKrxTimeStamp TimeStampValue() const { return {date_, time_}; }

  // Converts to another storage type in place (NULL stays NULL of the new
  // type). Strings are truncated to no size here; fields cut them on write.
  void ConvertTo(TKrxStorageType type);
  TKrxVariant ConvertedTo(TKrxStorageType type) const;

  // Record encoding: writes the value into a field of `size` bytes (as
  // returned by KrxStorageSize for this type; strings are cut to size - 1
  // bytes, wide strings to size/2 - 1 units, and zero-padded). BLOB types are
  // not written this way (their field holds a reference).
  void WriteField(uint8_t* field, size_t size) const;
  // Reads a value of storage type `type` from a field of `size` bytes.
  static TKrxVariant ReadField(TKrxStorageType type, const uint8_t* field, size_t size);
  // Reads into this variant, reusing its buffers (for scans).
  void AssignField(TKrxStorageType type, const uint8_t* field, size_t size);

  // The stored form drawn above.
  void AppendStored(std::vector<uint8_t>& out) const;
  // Reads a stored value at `offset`, advancing it; "Invalid stored value of
  // type %s" on a truncated or malformed value.
  static TKrxVariant ReadStored(const uint8_t* data, size_t size, size_t& offset);

  // Three-way comparison of two non-NULL values after promotion to their
  // common type ("Value is Null" for a NULL operand, "Cannot compare
  // Incompatible DataTypes" when none). Strings compare with the locale;
  // caseInsensitive ignores case.
  static int Compare(const TKrxVariant& a, const TKrxVariant& b, bool caseInsensitive = false);
  // Exact equality of type, NULL flag and payload (for tests and caches).
  bool SameAs(const TKrxVariant& other) const;

 private:
  TKrxStorageType type_ = TKrxStorageType::Int32;
  bool null_ = true;
  int64_t int_ = 0;
  double double_ = 0;
  long double extended_ = 0;
  int32_t date_ = 0;
  int32_t time_ = 0;
  std::string text_;
  std::u16string wide_;
};

// 80-bit extended precision bytes (little-endian: 64-bit mantissa with
// explicit integer bit, then 15-bit exponent and sign).
void KrxPutExtended(uint8_t* p, size_t off, long double v);
long double KrxGetExtended(const uint8_t* p, size_t off);

// Formats a double the way the engine writes numbers as text (up to 15
// significant digits, no trailing zeros, no exponent for ordinary sizes).
std::string KrxFloatToString(long double v, int significantDigits = 15);
// Reads a decimal number (optional sign, digits, '.', exponent); false when
// the text is no number.
bool KrxTryParseNumber(std::string_view text, long double* value, bool* isInteger, int64_t* intValue);
// Reads "yyyy-mm-dd", "yyyy/mm/dd", optionally followed by a time
// "hh:nn[:ss[.zzz]]", or a time alone. False when it is not a date/time.
bool KrxTryParseTimeStamp(std::string_view text, TKrxTimeStamp* ts, bool* hasDate, bool* hasTime);
// "yyyy-mm-dd", "hh:nn:ss" and "yyyy-mm-dd hh:nn:ss" (the time part only when
// it is not midnight).
std::string KrxDateToString(int32_t dayNumber);
std::string KrxTimeToString(int32_t msOfDay);
std::string KrxTimeStampToString(const TKrxTimeStamp& ts);

}  // namespace krx
