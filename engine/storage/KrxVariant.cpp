#include "KrxVariant.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "KrxBytes.h"
#include "KrxException.h"
#include "KrxLocale.h"

namespace krx {
namespace {

using S = TKrxStorageType;

enum class Payload { Int, Float, Extended, Date, Time, DateTime, Narrow, Wide, Binary, None };

Payload PayloadOf(S t) {
  switch (t) {
    case S::Int8: case S::Int16: case S::Int32: case S::Int64:
    case S::UInt8: case S::UInt16: case S::UInt32: case S::Boolean: return Payload::Int;
    case S::Single: case S::Double: case S::Currency: return Payload::Float;
    case S::Extended: return Payload::Extended;
    case S::Date: return Payload::Date;
    case S::Time: return Payload::Time;
    case S::DateTime: return Payload::DateTime;
    case S::FixedString: case S::String: case S::TextBlob: return Payload::Narrow;
    case S::FixedWideString: case S::WideString: return Payload::Wide;
    case S::Bytes: case S::VarBytes: case S::Blob: case S::WideTextBlob: return Payload::Binary;
    case S::Unknown: break;
  }
  return Payload::None;
}

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  *d = doy - (153 * mp + 2) / 5 + 1;
  *m = mp < 10 ? mp + 3 : mp - 9;
  *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2);
}

// Day number 1 is 0001-01-01, which is 719162 days before 1970-01-01.
constexpr int64_t kDaysTo1970 = 719162;

[[noreturn]] void ThrowConvert(const TKrxVariant& v, S to) {
  std::string text;
  try {
    text = v.AsString();
  } catch (const EKrxException&) {
    text = "?";
  }
  throw EKrxException(KrxError::CannotConvertValue, text, KrxStorageTypeName(v.Type()), KrxStorageTypeName(to));
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
  while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
  return s;
}

bool ParseBoolText(std::string_view s, bool* value) {
  s = TrimBlanks(s);
  std::string u(s);
  for (char& c : u) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (u == "TRUE" || u == "T" || u == "YES" || u == "Y" || u == "1") return *value = true, true;
  if (u == "FALSE" || u == "F" || u == "NO" || u == "N" || u == "0") return *value = false, true;
  return false;
}

std::u16string WideFromLeBytes(const std::string& bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<char16_t>(GetU16(reinterpret_cast<const uint8_t*>(bytes.data()), 2 * i));
  return out;
}

std::string LeBytesFromWide(std::u16string_view text) {
  std::string out(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) PutU16(reinterpret_cast<uint8_t*>(out.data()), 2 * i, text[i]);
  return out;
}

// The number of bytes of `text` that fit in `room` without cutting a
// national character in half.
size_t FitGb(std::string_view text, size_t room) {
  if (text.size() <= room) return text.size();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t len = KrxGbCharLength(text, pos);
    if (pos + len > room) break;
    pos += len;
  }
  return pos;
}

}  // namespace

// ---------------------------------------------------------------- calendar

bool KrxIsValidDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  int max = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
  return day <= max;
}

int32_t KrxEncodeDate(int year, int month, int day) {
  if (!KrxIsValidDate(year, month, day)) return 0;
  return static_cast<int32_t>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                              kDaysTo1970 + 1);
}

bool KrxDecodeDate(int32_t dayNumber, int* year, int* month, int* day) {
  int64_t y;
  unsigned m, d;
  CivilFromDays(static_cast<int64_t>(dayNumber) - 1 - kDaysTo1970, &y, &m, &d);
  *year = static_cast<int>(y);
  *month = static_cast<int>(m);
  *day = static_cast<int>(d);
  return dayNumber >= 1;
}

int32_t KrxEncodeTime(int hour, int minute, int second, int ms) {
  return ((hour * 60 + minute) * 60 + second) * 1000 + ms;
}

void KrxDecodeTime(int32_t msOfDay, int* hour, int* minute, int* second, int* ms) {
  *ms = msOfDay % 1000;
  int32_t s = msOfDay / 1000;
  *second = s % 60;
  *minute = (s / 60) % 60;
  *hour = s / 3600;
}

TKrxTimeStamp KrxTimeStampFromDateTime(double dateTime) {
  double whole = std::trunc(dateTime);
  double frac = std::fabs(dateTime - whole);
  auto time = static_cast<int64_t>(std::llround(frac * kKrxMsPerDay));
  auto date = static_cast<int64_t>(whole) + kKrxDateDelta;
  if (time >= kKrxMsPerDay) {
    time -= kKrxMsPerDay;
    date += dateTime < 0 ? -1 : 1;
  }
  return {static_cast<int32_t>(date), static_cast<int32_t>(time)};
}

double KrxDateTimeFromTimeStamp(const TKrxTimeStamp& ts) {
  double days = static_cast<double>(ts.date) - kKrxDateDelta;
  double frac = static_cast<double>(ts.time) / kKrxMsPerDay;
  return days < 0 ? days - frac : days + frac;
}

TKrxTimeStamp KrxNow() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return {KrxEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
          KrxEncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(now.tv_nsec / 1000000))};
}

std::string KrxDateToString(int32_t dayNumber) {
  int y, m, d;
  KrxDecodeDate(dayNumber, &y, &m, &d);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
  return buf;
}

std::string KrxTimeToString(int32_t msOfDay) {
  int h, n, s, ms;
  KrxDecodeTime(msOfDay, &h, &n, &s, &ms);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, n, s);
  return buf;
}

std::string KrxTimeStampToString(const TKrxTimeStamp& ts) {
  if (ts.time == 0) return KrxDateToString(ts.date);
  return KrxDateToString(ts.date) + " " + KrxTimeToString(ts.time);
}

bool KrxTryParseTimeStamp(std::string_view text, TKrxTimeStamp* ts, bool* hasDate, bool* hasTime) {
  text = TrimBlanks(text);
  size_t pos = 0;
  auto readInt = [&](int maxDigits, int* out) {
    size_t start = pos;
    int v = 0;
    while (pos < text.size() && pos - start < static_cast<size_t>(maxDigits) && text[pos] >= '0' && text[pos] <= '9')
      v = v * 10 + (text[pos++] - '0');
    *out = v;
    return pos > start;
  };
  *hasDate = *hasTime = false;
  TKrxTimeStamp result{};
  // A date part: y sep m sep d.
  size_t save = pos;
  int y, m, d;
  if (readInt(4, &y) && pos < text.size() && (text[pos] == '-' || text[pos] == '/' || text[pos] == '.')) {
    char sep = text[pos++];
    if (!readInt(2, &m) || pos >= text.size() || text[pos] != sep) return false;
    ++pos;
    if (!readInt(2, &d)) return false;
    result.date = KrxEncodeDate(y, m, d);
    if (result.date == 0) return false;
    *hasDate = true;
    if (pos < text.size()) {
      if (text[pos] != ' ' && text[pos] != 'T') return false;
      while (pos < text.size() && (text[pos] == ' ' || text[pos] == 'T')) ++pos;
    }
  } else {
    pos = save;
  }
  if (pos < text.size()) {
    int h, n = 0, s = 0, ms = 0;
    if (!readInt(2, &h) || pos >= text.size() || text[pos] != ':') return false;
    ++pos;
    if (!readInt(2, &n)) return false;
    if (pos < text.size() && text[pos] == ':') {
      ++pos;
      if (!readInt(2, &s)) return false;
      if (pos < text.size() && text[pos] == '.') {
        ++pos;
        size_t start = pos;
        if (!readInt(3, &ms)) return false;
        for (size_t digits = pos - start; digits < 3; ++digits) ms *= 10;
      }
    }
    if (pos != text.size() || h > 23 || n > 59 || s > 59) return false;
    result.time = KrxEncodeTime(h, n, s, ms);
    *hasTime = true;
  }
  if (!*hasDate && !*hasTime) return false;
  *ts = result;
  return true;
}

std::string KrxFloatToString(long double v, int significantDigits) {
  if (std::isnan(v)) return "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*Lg", significantDigits, v);
  std::string out(buf);
  if (out == "-0") out = "0";
  return out;
}

bool KrxTryParseNumber(std::string_view text, long double* value, bool* isInteger, int64_t* intValue) {
  text = TrimBlanks(text);
  if (text.empty() || text.size() > 400) return false;
  size_t pos = 0;
  if (text[pos] == '+' || text[pos] == '-') ++pos;
  size_t digits = 0, intDigits = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) ++pos, ++digits, ++intDigits;
  bool integer = true;
  if (pos < text.size() && text[pos] == '.') {
    integer = false;
    ++pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) ++pos, ++digits;
  }
  if (digits == 0) return false;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    integer = false;
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    size_t expDigits = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) ++pos, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (pos != text.size()) return false;
  std::string copy(text);
  *value = std::strtold(copy.c_str(), nullptr);
  *isInteger = false;
  if (integer && intDigits <= 19) {
    errno = 0;
    long long iv = std::strtoll(copy.c_str(), nullptr, 10);
    if (errno == 0) {
      *isInteger = true;
      *intValue = iv;
    }
  }
  return true;
}

// ---------------------------------------------------------------- extended

void KrxPutExtended(uint8_t* p, size_t off, long double v) {
  uint16_t signExp = 0;
  uint64_t mantissa = 0;
  if (std::signbit(v)) signExp = 0x8000;
  long double a = std::fabs(v);
  if (std::isnan(v)) {
    signExp |= 0x7FFF;
    mantissa = 0xC000000000000000ULL;
  } else if (std::isinf(v)) {
    signExp |= 0x7FFF;
    mantissa = 0x8000000000000000ULL;
  } else if (a != 0) {
    int e = 0;
    long double m = std::frexp(a, &e);  // a = m · 2^e, 0.5 <= m < 1
    int biased = e - 1 + 16383;
    if (biased <= 0) {
      mantissa = 0;  // below the normal range: stored as zero
      biased = 0;
    } else if (biased >= 0x7FFF) {
      biased = 0x7FFF;
      mantissa = 0x8000000000000000ULL;
    } else {
      mantissa = static_cast<uint64_t>(std::ldexp(m, 64));
    }
    signExp |= static_cast<uint16_t>(biased);
  }
  PutU64(p, off, mantissa);
  PutU16(p, off + 8, signExp);
}

long double KrxGetExtended(const uint8_t* p, size_t off) {
  uint64_t mantissa = GetU64(p, off);
  uint16_t signExp = GetU16(p, off + 8);
  bool negative = (signExp & 0x8000) != 0;
  int exponent = signExp & 0x7FFF;
  long double v;
  if (exponent == 0x7FFF) {
    v = (mantissa << 1) == 0 ? HUGE_VALL : NAN;
  } else if (exponent == 0 && mantissa == 0) {
    v = 0;
  } else {
    v = std::ldexp(static_cast<long double>(mantissa), exponent - 16383 - 63);
  }
  return negative ? -v : v;
}

// ---------------------------------------------------------------- variant

TKrxVariant TKrxVariant::FromInt32(int32_t v) { TKrxVariant r; r.SetInt64(v, S::Int32); return r; }
TKrxVariant TKrxVariant::FromInt64(int64_t v) { TKrxVariant r; r.SetInt64(v, S::Int64); return r; }
TKrxVariant TKrxVariant::FromDouble(double v) { TKrxVariant r; r.SetDouble(v); return r; }
TKrxVariant TKrxVariant::FromCurrency(double v) { TKrxVariant r; r.SetDouble(v, S::Currency); return r; }
TKrxVariant TKrxVariant::FromExtended(long double v) { TKrxVariant r; r.SetExtended(v); return r; }
TKrxVariant TKrxVariant::FromBoolean(bool v) { TKrxVariant r; r.SetBoolean(v); return r; }
TKrxVariant TKrxVariant::FromString(std::string_view t) { TKrxVariant r; r.SetString(t); return r; }
TKrxVariant TKrxVariant::FromUtf8(std::string_view t) { TKrxVariant r; r.SetString(KrxUtf8ToGb(t)); return r; }
TKrxVariant TKrxVariant::FromWideString(std::u16string_view t) { TKrxVariant r; r.SetWideString(t); return r; }
TKrxVariant TKrxVariant::FromBytes(std::string_view b, S type) { TKrxVariant r; r.SetBytes(b, type); return r; }
TKrxVariant TKrxVariant::FromDate(int32_t d) { TKrxVariant r; r.SetDate(d); return r; }
TKrxVariant TKrxVariant::FromTime(int32_t t) { TKrxVariant r; r.SetTime(t); return r; }
TKrxVariant TKrxVariant::FromTimeStamp(const TKrxTimeStamp& ts) { TKrxVariant r; r.SetTimeStamp(ts); return r; }

void TKrxVariant::SetNull() {
  null_ = true;
  text_.clear();
  wide_.clear();
}

void TKrxVariant::SetNull(TKrxStorageType type) {
  type_ = type;
  SetNull();
}

void TKrxVariant::SetInt64(int64_t v, TKrxStorageType type) {
  if (PayloadOf(type) != Payload::Int) type = S::Int64;
  type_ = type;
  null_ = false;
  int_ = type == S::Boolean ? (v != 0) : v;
}

void TKrxVariant::SetDouble(double v, TKrxStorageType type) {
  if (PayloadOf(type) != Payload::Float) type = S::Double;
  type_ = type;
  null_ = false;
  double_ = type == S::Single ? static_cast<double>(static_cast<float>(v)) : v;
}

void TKrxVariant::SetExtended(long double v) {
  type_ = S::Extended;
  null_ = false;
  extended_ = v;
}

void TKrxVariant::SetBoolean(bool v) {
  type_ = S::Boolean;
  null_ = false;
  int_ = v ? 1 : 0;
}

void TKrxVariant::SetString(std::string_view gbText, TKrxStorageType type) {
  if (PayloadOf(type) != Payload::Narrow) type = S::String;
  type_ = type;
  wide_.clear();
  text_.assign(gbText.data(), gbText.size());
  null_ = text_.empty();
}

void TKrxVariant::SetWideString(std::u16string_view text, TKrxStorageType type) {
  if (type == S::WideTextBlob) {
    SetBytes(LeBytesFromWide(text), S::WideTextBlob);
    return;
  }
  if (PayloadOf(type) != Payload::Wide) type = S::WideString;
  type_ = type;
  text_.clear();
  wide_.assign(text.data(), text.size());
  null_ = wide_.empty();
}

void TKrxVariant::SetBytes(std::string_view bytes, TKrxStorageType type) {
  if (PayloadOf(type) != Payload::Binary && type != S::TextBlob) type = S::VarBytes;
  type_ = type;
  wide_.clear();
  text_.assign(bytes.data(), bytes.size());
  null_ = text_.empty();
}

void TKrxVariant::SetDate(int32_t dayNumber) {
  type_ = S::Date;
  null_ = false;
  date_ = dayNumber;
  time_ = 0;
}

void TKrxVariant::SetTime(int32_t msOfDay) {
  type_ = S::Time;
  null_ = false;
  date_ = 0;
  time_ = msOfDay;
}

void TKrxVariant::SetTimeStamp(const TKrxTimeStamp& ts) {
  type_ = S::DateTime;
  null_ = false;
  date_ = ts.date;
  time_ = ts.time;
}

int64_t TKrxVariant::AsInt64() const {
  if (null_) throw EKrxException(KrxError::ValueIsNull);
  switch (PayloadOf(type_)) {
    case Payload::Int: return int_;
    case Payload::Float: return static_cast<int64_t>(std::trunc(double_));
    case Payload::Extended: return static_cast<int64_t>(std::trunc(extended_));
    case Payload::Date: return date_ - kKrxDateDelta;
    case Payload::Time: return 0;
    case Payload::DateTime: return static_cast<int64_t>(std::trunc(AsDateTime()));
    case Payload::Narrow:
    case Payload::Wide: {
      std::string text = AsString();
      long double v;
      bool isInt;
      int64_t iv;
      if (KrxTryParseNumber(text, &v, &isInt, &iv)) return isInt ? iv : static_cast<int64_t>(std::trunc(v));
      bool b;
      if (ParseBoolText(text, &b)) return b ? 1 : 0;
      break;
    }
    default: break;
  }
  ThrowConvert(*this, S::Int64);
}

int32_t TKrxVariant::AsInt32() const { return static_cast<int32_t>(AsInt64()); }

long double TKrxVariant::AsExtended() const {
  if (null_) throw EKrxException(KrxError::ValueIsNull);
  switch (PayloadOf(type_)) {
    case Payload::Int: return static_cast<long double>(int_);
    case Payload::Float: return double_;
    case Payload::Extended: return extended_;
    case Payload::Date:
    case Payload::Time:
    case Payload::DateTime: return AsDateTime();
    case Payload::Narrow:
    case Payload::Wide: {
      long double v;
      bool isInt;
      int64_t iv;
      if (KrxTryParseNumber(AsString(), &v, &isInt, &iv)) return v;
      break;
    }
    default: break;
  }
  ThrowConvert(*this, S::Extended);
}

double TKrxVariant::AsDouble() const {
  if (!null_ && PayloadOf(type_) == Payload::Float) return double_;
  return static_cast<double>(AsExtended());
}

bool TKrxVariant::AsBoolean() const {
  if (null_) throw EKrxException(KrxError::ValueIsNull);
  switch (PayloadOf(type_)) {
    case Payload::Int: return int_ != 0;
    case Payload::Float: return double_ != 0;
    case Payload::Extended: return extended_ != 0;
    case Payload::Narrow:
    case Payload::Wide: {
      bool b;
      if (ParseBoolText(AsString(), &b)) return b;
      break;
    }
    default: break;
  }
  ThrowConvert(*this, S::Boolean);
}

std::string TKrxVariant::AsString() const {
  if (null_) return std::string();
  switch (PayloadOf(type_)) {
    case Payload::Int:
      if (type_ == S::Boolean) return int_ ? "True" : "False";
      return std::to_string(int_);
    case Payload::Float:
      return KrxFloatToString(double_, type_ == S::Single ? 7 : 15);
    case Payload::Extended: return KrxFloatToString(extended_, 18);
    case Payload::Date: return KrxDateToString(date_);
    case Payload::Time: return KrxTimeToString(time_);
    case Payload::DateTime: return KrxTimeStampToString({date_, time_});
    case Payload::Narrow: return text_;
    case Payload::Wide: return KrxUtf16ToGb(wide_);
    case Payload::Binary:
      if (type_ == S::WideTextBlob) return KrxUtf16ToGb(WideFromLeBytes(text_));
      return text_;
    case Payload::None: break;
  }
  return std::string();
}

std::string TKrxVariant::AsUtf8() const {
  if (!null_ && PayloadOf(type_) == Payload::Wide) return KrxUtf16ToUtf8(wide_);
  return KrxGbToUtf8(AsString());
}

std::u16string TKrxVariant::AsWideString() const {
  if (null_) return std::u16string();
  if (PayloadOf(type_) == Payload::Wide) return wide_;
  if (type_ == S::WideTextBlob) return WideFromLeBytes(text_);
  return KrxGbToUtf16(AsString());
}

std::string TKrxVariant::AsBytes() const {
  if (null_) return std::string();
  switch (PayloadOf(type_)) {
    case Payload::Narrow:
    case Payload::Binary: return text_;
    case Payload::Wide: return LeBytesFromWide(wide_);
    default: return AsString();
  }
}

TKrxTimeStamp TKrxVariant::AsTimeStamp() const {
  if (null_) throw EKrxException(KrxError::ValueIsNull);
  switch (PayloadOf(type_)) {
    case Payload::Date:
    case Payload::Time:
    case Payload::DateTime: return {date_, time_};
    case Payload::Int: return {static_cast<int32_t>(int_ + kKrxDateDelta), 0};
    case Payload::Float:
    case Payload::Extended: return KrxTimeStampFromDateTime(AsDouble());
    case Payload::Narrow:
    case Payload::Wide: {
      TKrxTimeStamp ts;
      bool hasDate, hasTime;
      if (KrxTryParseTimeStamp(AsString(), &ts, &hasDate, &hasTime)) return ts;
      break;
    }
    default: break;
  }
  ThrowConvert(*this, S::DateTime);
}

int32_t TKrxVariant::AsDate() const { return AsTimeStamp().date; }
int32_t TKrxVariant::AsTime() const { return AsTimeStamp().time; }
double TKrxVariant::AsDateTime() const {
  if (null_) throw EKrxException(KrxError::ValueIsNull);
  switch (PayloadOf(type_)) {
    case Payload::Date:
    case Payload::Time:
    case Payload::DateTime: return KrxDateTimeFromTimeStamp({date_, time_});
    case Payload::Int: return static_cast<double>(int_);
    case Payload::Float: return double_;
    case Payload::Extended: return static_cast<double>(extended_);
    default: return KrxDateTimeFromTimeStamp(AsTimeStamp());
  }
}

void TKrxVariant::ConvertTo(TKrxStorageType type) {
  if (type == type_) return;
  if (null_) {
    SetNull(type);
    return;
  }
  switch (PayloadOf(type)) {
    case Payload::Int:
      if (type == S::Boolean) SetBoolean(AsBoolean());
      else SetInt64(AsInt64(), type);
      break;
    case Payload::Float: SetDouble(AsDouble(), type); break;
    case Payload::Extended: SetExtended(AsExtended()); break;
    case Payload::Date: SetDate(AsDate()); break;
    case Payload::Time: SetTime(AsTime()); break;
    case Payload::DateTime: SetTimeStamp(AsTimeStamp()); break;
    case Payload::Narrow: {
      std::string text = AsString();
      SetString(text, type);
      break;
    }
    case Payload::Wide: {
      std::u16string text = AsWideString();
      SetWideString(text, type);
      break;
    }
    case Payload::Binary: {
      if (type == S::WideTextBlob) {
        std::u16string text = AsWideString();
        SetWideString(text, type);
      } else {
        std::string bytes = AsBytes();
        SetBytes(bytes, type);
      }
      break;
    }
    case Payload::None: throw EKrxException(KrxError::UnsupportedDataType, KrxStorageTypeName(type));
  }
}

TKrxVariant TKrxVariant::ConvertedTo(TKrxStorageType type) const {
  TKrxVariant copy(*this);
  copy.ConvertTo(type);
  return copy;
}

void TKrxVariant::WriteField(uint8_t* field, size_t size) const {
  std::memset(field, 0, size);
  if (null_) return;
  switch (type_) {
    case S::Int8: case S::UInt8: if (size >= 1) PutU8(field, 0, static_cast<uint8_t>(int_)); return;
    case S::Int16: case S::UInt16: case S::Boolean:
      if (size >= 2) PutU16(field, 0, static_cast<uint16_t>(int_));
      return;
    case S::Int32: case S::UInt32: if (size >= 4) PutU32(field, 0, static_cast<uint32_t>(int_)); return;
    case S::Int64: if (size >= 8) PutI64(field, 0, int_); return;
    case S::Single: if (size >= 4) PutF32(field, 0, static_cast<float>(double_)); return;
    case S::Double: case S::Currency: if (size >= 8) PutF64(field, 0, double_); return;
    case S::Extended: if (size >= 10) KrxPutExtended(field, 0, extended_); return;
    case S::Date: if (size >= 4) PutI32(field, 0, date_); return;
    case S::Time: if (size >= 4) PutI32(field, 0, time_); return;
    case S::DateTime:
      if (size >= 8) {
        PutI32(field, 0, date_);
        PutI32(field, 4, time_);
      }
      return;
    case S::FixedString: case S::String: {
      if (size == 0) return;
      size_t n = FitGb(text_, size - 1);
      std::memcpy(field, text_.data(), n);
      return;
    }
    case S::Bytes: case S::VarBytes: {
      if (size == 0) return;
      size_t n = std::min(text_.size(), size - 1);
      std::memcpy(field, text_.data(), n);
      return;
    }
    case S::FixedWideString: case S::WideString: {
      if (size < 2) return;
      size_t n = std::min(wide_.size(), size / 2 - 1);
      for (size_t i = 0; i < n; ++i) PutU16(field, 2 * i, wide_[i]);
      return;
    }
    default: throw EKrxException(KrxError::UnsupportedDataType, KrxStorageTypeName(type_));
  }
}

void TKrxVariant::AssignField(TKrxStorageType type, const uint8_t* field, size_t size) {
  type_ = type;
  null_ = false;
  switch (type) {
    case S::Int8: int_ = static_cast<int8_t>(GetU8(field, 0)); return;
    case S::UInt8: int_ = GetU8(field, 0); return;
    case S::Int16: int_ = GetI16(field, 0); return;
    case S::UInt16: int_ = GetU16(field, 0); return;
    case S::Boolean: int_ = GetU16(field, 0) != 0; return;
    case S::Int32: int_ = GetI32(field, 0); return;
    case S::UInt32: int_ = GetU32(field, 0); return;
    case S::Int64: int_ = GetI64(field, 0); return;
    case S::Single: double_ = GetF32(field, 0); return;
    case S::Double: case S::Currency: double_ = GetF64(field, 0); return;
    case S::Extended: extended_ = KrxGetExtended(field, 0); return;
    case S::Date: date_ = GetI32(field, 0); time_ = 0; return;
    case S::Time: date_ = 0; time_ = GetI32(field, 0); return;
    case S::DateTime: date_ = GetI32(field, 0); time_ = GetI32(field, 4); return;
    case S::FixedString: case S::String: case S::Bytes: case S::VarBytes: {
      const void* end = std::memchr(field, 0, size);
      size_t n = end ? static_cast<size_t>(static_cast<const uint8_t*>(end) - field) : size;
      text_.assign(reinterpret_cast<const char*>(field), n);
      wide_.clear();
      null_ = n == 0;
      return;
    }
    case S::FixedWideString: case S::WideString: {
      wide_.clear();
      text_.clear();
      for (size_t i = 0; i + 1 < size; i += 2) {
        char16_t c = static_cast<char16_t>(GetU16(field, i));
        if (c == 0) break;
        wide_.push_back(c);
      }
      null_ = wide_.empty();
      return;
    }
    default: throw EKrxException(KrxError::UnsupportedDataType, KrxStorageTypeName(type));
  }
}

TKrxVariant TKrxVariant::ReadField(TKrxStorageType type, const uint8_t* field, size_t size) {
  TKrxVariant v;
  v.AssignField(type, field, size);
  return v;
}

void TKrxVariant::AppendStored(std::vector<uint8_t>& out) const {
  size_t at = out.size();
  out.resize(at + 2);
  PutU8(out.data(), at, static_cast<uint8_t>(type_));
  PutU8(out.data(), at + 1, null_ ? 1 : 0);
  if (null_) return;
  std::string bytes;
  switch (PayloadOf(type_)) {
    case Payload::Narrow:
      bytes = text_;
      if (type_ != S::TextBlob) bytes.push_back('\0');
      break;
    case Payload::Binary:
      bytes = text_;
      if (KrxIsBytesType(type_)) bytes.push_back('\0');
      break;
    case Payload::Wide:
      bytes = LeBytesFromWide(wide_);
      bytes.append(2, '\0');
      break;
    default: {
      size_t size = KrxStorageSize(type_, 0, false);
      bytes.assign(size, '\0');
      WriteField(reinterpret_cast<uint8_t*>(bytes.data()), size);
      break;
    }
  }
  size_t lenAt = out.size();
  out.resize(lenAt + 4 + bytes.size());
  PutI32(out.data(), lenAt, static_cast<int32_t>(bytes.size()));
  std::memcpy(out.data() + lenAt + 4, bytes.data(), bytes.size());
}

TKrxVariant TKrxVariant::ReadStored(const uint8_t* data, size_t size, size_t& offset) {
  if (offset + 2 > size) throw EKrxException(KrxError::InvalidStoredValue, "Unknown");
  int code = GetU8(data, offset);
  bool isNull = GetU8(data, offset + 1) != 0;
  S type = static_cast<S>(code);
  if (PayloadOf(type) == Payload::None) throw EKrxException(KrxError::InvalidStoredValue, std::to_string(code));
  offset += 2;
  TKrxVariant v(type);
  if (isNull) return v;
  if (offset + 4 > size) throw EKrxException(KrxError::InvalidStoredValue, KrxStorageTypeName(type));
  int32_t len = GetI32(data, offset);
  offset += 4;
  if (len < 0 || offset + static_cast<size_t>(len) > size)
    throw EKrxException(KrxError::InvalidStoredValue, KrxStorageTypeName(type));
  const uint8_t* bytes = data + offset;
  offset += static_cast<size_t>(len);
  switch (PayloadOf(type)) {
    case Payload::Narrow:
      if (type == S::TextBlob) v.SetBytes(std::string_view(reinterpret_cast<const char*>(bytes), len), type);
      else v.AssignField(type, bytes, static_cast<size_t>(len));
      return v;
    case Payload::Binary:
      if (KrxIsBytesType(type)) v.AssignField(type, bytes, static_cast<size_t>(len));
      else v.SetBytes(std::string_view(reinterpret_cast<const char*>(bytes), len), type);
      return v;
    case Payload::Wide: v.AssignField(type, bytes, static_cast<size_t>(len)); return v;
    default:
      if (static_cast<size_t>(len) < KrxStorageSize(type, 0, false))
        throw EKrxException(KrxError::InvalidStoredValue, KrxStorageTypeName(type));
      v.AssignField(type, bytes, static_cast<size_t>(len));
      return v;
  }
}

namespace {

template <typename T>
int ThreeWay(T a, T b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int CompareSameType(const TKrxVariant& a, const TKrxVariant& b, bool caseInsensitive) {
  switch (PayloadOf(a.Type())) {
    case Payload::Int:
      return ThreeWay(a.IntValue(), b.IntValue());
    case Payload::Float: return ThreeWay(a.DoubleValue(), b.DoubleValue());
    case Payload::Extended: return ThreeWay(a.ExtendedValue(), b.ExtendedValue());
    case Payload::Date:
    case Payload::Time:
    case Payload::DateTime: {
      TKrxTimeStamp x = a.TimeStampValue(), y = b.TimeStampValue();
      int r = ThreeWay(x.date, y.date);
      return r != 0 ? r : ThreeWay(x.time, y.time);
    }
    case Payload::Narrow: return KrxCompareStrings(a.StringValue(), b.StringValue(), caseInsensitive);
    case Payload::Wide: return KrxCompareWideStrings(a.WideValue(), b.WideValue(), caseInsensitive);
    case Payload::Binary:
      if (a.Type() == S::WideTextBlob)
        return KrxCompareWideStrings(a.AsWideString(), b.AsWideString(), caseInsensitive);
      if (KrxIsBytesType(a.Type())) return KrxCompareStrings(a.StringValue(), b.StringValue(), caseInsensitive);
      return ThreeWay(a.StringValue().compare(b.StringValue()), 0);
    case Payload::None: break;
  }
  return 0;
}

}  // namespace

int TKrxVariant::Compare(const TKrxVariant& a, const TKrxVariant& b, bool caseInsensitive) {
  if (a.IsNull() || b.IsNull()) throw EKrxException(KrxError::ValueIsNull);
  if (a.Type() == b.Type()) return CompareSameType(a, b, caseInsensitive);
  S common = KrxPromoteStorageTypes(a.Type(), b.Type());
  if (common == S::Unknown)
    throw EKrxException(KrxError::IncompatibleDataTypes, KrxStorageTypeName(a.Type()), KrxStorageTypeName(b.Type()));
  const TKrxVariant* x = &a;
  const TKrxVariant* y = &b;
  TKrxVariant cx, cy;
  if (a.Type() != common) {
    cx = a.ConvertedTo(common);
    x = &cx;
  }
  if (b.Type() != common) {
    cy = b.ConvertedTo(common);
    y = &cy;
  }
  return CompareSameType(*x, *y, caseInsensitive);
}

bool TKrxVariant::SameAs(const TKrxVariant& other) const {
  if (type_ != other.type_ || null_ != other.null_) return false;
  if (null_) return true;
  switch (PayloadOf(type_)) {
    case Payload::Int: return int_ == other.int_;
    case Payload::Float: return double_ == other.double_ || (std::isnan(double_) && std::isnan(other.double_));
    case Payload::Extended: return extended_ == other.extended_;
    case Payload::Date:
    case Payload::Time:
    case Payload::DateTime: return date_ == other.date_ && time_ == other.time_;
    case Payload::Narrow:
    case Payload::Binary: return text_ == other.text_;
    case Payload::Wide: return wide_ == other.wide_;
    case Payload::None: break;
  }
  return true;
}

}  // namespace krx
