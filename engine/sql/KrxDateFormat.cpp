#include "KrxDateFormat.h"

#include <algorithm>
#include <cstdio>

namespace krx {

namespace {

struct ElementName {
  const char* name;
  TKrxDateElement element;
};

// Every element name; scanning takes the longest that matches.
constexpr ElementName kElementNames[] = {
    {"YYYY", TKrxDateElement::Year4},        {"YEAR", TKrxDateElement::Year4},
    {"YY", TKrxDateElement::Year2},          {"Q", TKrxDateElement::Quarter},
    {"MONTH", TKrxDateElement::MonthLongName}, {"MON", TKrxDateElement::MonthShortName},
    {"MM", TKrxDateElement::Month2},         {"M", TKrxDateElement::Month},
    {"RM", TKrxDateElement::MonthRoman},     {"DDD", TKrxDateElement::DayShortName},
    {"DD", TKrxDateElement::Day2},           {"DAY", TKrxDateElement::DayLongName},
    {"DY", TKrxDateElement::DayOfYear},      {"DW", TKrxDateElement::DayOfWeek},
    {"D", TKrxDateElement::Day},             {"HH12", TKrxDateElement::Hour12Padded},
    {"HH", TKrxDateElement::Hour12Padded},   {"HH24", TKrxDateElement::Hour24Padded},
    {"H12", TKrxDateElement::Hour12},        {"H", TKrxDateElement::Hour12},
    {"H24", TKrxDateElement::Hour24},        {"NN", TKrxDateElement::Minute2},
    {"N", TKrxDateElement::Minute},          {"SS", TKrxDateElement::Second2},
    {"S", TKrxDateElement::Second},          {"AMPM", TKrxDateElement::AmPm},
};
constexpr size_t kLongestElementName = 5;

constexpr const char* kRomanMonths[12] = {"I",   "II", "III", "IV", "V",  "VI",
                                          "VII", "VIII", "IX", "X", "XI", "XII"};

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Bytes of the GB18030 character at text[pos].
size_t CharLength(std::string_view text, size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x81 || lead > 0xFE || pos + 1 >= text.size()) return 1;
  const auto second = static_cast<unsigned char>(text[pos + 1]);
  if (second >= 0x30 && second <= 0x39) return pos + 3 < text.size() ? 4 : text.size() - pos;
  return 2;
}

bool FindElement(std::string_view upper, TKrxDateElement& element) {
  for (const ElementName& entry : kElementNames) {
    if (upper == entry.name) {
      element = entry.element;
      return true;
    }
  }
  return false;
}

bool IsDateElement(TKrxDateElement e) {
  switch (e) {
    case TKrxDateElement::Year4:
    case TKrxDateElement::Year2:
    case TKrxDateElement::Quarter:
    case TKrxDateElement::MonthLongName:
    case TKrxDateElement::MonthShortName:
    case TKrxDateElement::Month2:
    case TKrxDateElement::Month:
    case TKrxDateElement::MonthRoman:
    case TKrxDateElement::DayShortName:
    case TKrxDateElement::Day2:
    case TKrxDateElement::DayLongName:
    case TKrxDateElement::DayOfYear:
    case TKrxDateElement::DayOfWeek:
    case TKrxDateElement::Day:
      return true;
    default:
      return false;
  }
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Monday 1 … Sunday 7; 1970-01-01 was a Thursday.
int DayOfWeek(const TKrxDateTimeParts& p) {
  int64_t w = (DaysFromCivil(p.year, p.month, p.day) + 3) % 7;
  if (w < 0) w += 7;
  return static_cast<int>(w) + 1;
}

int DayOfYear(const TKrxDateTimeParts& p) {
  return static_cast<int>(DaysFromCivil(p.year, p.month, p.day) - DaysFromCivil(p.year, 1, 1)) + 1;
}

void AppendNumber(std::string& out, int value, int minDigits) {
  char buf[16];
  const int n = std::snprintf(buf, sizeof buf, "%0*d", minDigits, value);
  out.append(buf, static_cast<size_t>(n));
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  }
  return true;
}

// Reads 1..maxDigits digits at text[pos].
bool ReadNumber(std::string_view text, size_t& pos, int maxDigits, int& value) {
  int digits = 0;
  value = 0;
  while (pos < text.size() && digits < maxDigits && IsDigit(text[pos])) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  return digits > 0;
}

// The index of the longest of `names` that text[pos..] starts with; -1 when
// none does.
template <size_t N>
int ReadName(std::string_view text, size_t& pos, const std::array<std::string, N>& names) {
  int best = -1;
  size_t bestLength = 0;
  for (size_t i = 0; i < N; ++i) {
    const std::string& name = names[i];
    if (name.empty() || name.size() <= bestLength || pos + name.size() > text.size()) continue;
    if (EqualsIgnoringAsciiCase(text.substr(pos, name.size()), name)) {
      best = static_cast<int>(i);
      bestLength = name.size();
    }
  }
  pos += bestLength;
  return best;
}

int ReadRomanMonth(std::string_view text, size_t& pos) {
  int best = -1;
  size_t bestLength = 0;
  for (int i = 0; i < 12; ++i) {
    const std::string_view roman = kRomanMonths[i];
    if (roman.size() <= bestLength || pos + roman.size() > text.size()) continue;
    if (EqualsIgnoringAsciiCase(text.substr(pos, roman.size()), roman)) {
      best = i;
      bestLength = roman.size();
    }
  }
  pos += bestLength;
  return best;
}

}  // namespace

const TKrxDateNames& KrxEnglishDateNames() {
  static const TKrxDateNames names = {
      {"January", "February", "March", "April", "May", "June", "July", "August", "September", "October",
       "November", "December"},
      {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"},
      {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"},
      {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"},
  };
  return names;
}

TDateFormater::TDateFormater(std::string_view format) {
  auto appendLiteral = [this](std::string_view text) {
    if (text.empty()) return;
    if (tokens_.empty() || tokens_.back().element != TKrxDateElement::Literal) {
      tokens_.push_back({TKrxDateElement::Literal, {}});
    }
    tokens_.back().literal.append(text);
  };

  std::string upper;
  size_t pos = 0;
  while (pos < format.size()) {
    const char c = format[pos];
    if (c == '\'' || c == '"') {
      const size_t close = format.find(c, pos + 1);
      const size_t end = close == std::string_view::npos ? format.size() : close;
      appendLiteral(format.substr(pos + 1, end - pos - 1));
      pos = close == std::string_view::npos ? format.size() : close + 1;
      continue;
    }
    const size_t charLength = CharLength(format, pos);
    if (charLength > 1) {
      appendLiteral(format.substr(pos, charLength));
      pos += charLength;
      continue;
    }
    bool found = false;
    for (size_t length = std::min(kLongestElementName, format.size() - pos); length > 0; --length) {
      upper.assign(format.substr(pos, length));
      std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper);
      TKrxDateElement element;
      if (FindElement(upper, element)) {
        tokens_.push_back({element, {}});
        if (IsDateElement(element)) {
          hasDate_ = true;
        } else {
          hasTime_ = true;
        }
        pos += length;
        found = true;
        break;
      }
    }
    if (!found) {
      appendLiteral(format.substr(pos, 1));
      ++pos;
    }
  }
}

void TDateFormater::FormatTo(std::string& out, const TKrxDateTimeParts& v, const TKrxDateNames& names) const {
  for (const TDateFormatToken& token : tokens_) {
    switch (token.element) {
      case TKrxDateElement::Literal: out.append(token.literal); break;
      case TKrxDateElement::Year4: AppendNumber(out, v.year, 4); break;
      case TKrxDateElement::Year2: AppendNumber(out, v.year % 100, 2); break;
      case TKrxDateElement::Quarter: AppendNumber(out, (v.month - 1) / 3 + 1, 1); break;
      case TKrxDateElement::MonthLongName: out.append(names.longMonths[v.month - 1]); break;
      case TKrxDateElement::MonthShortName: out.append(names.shortMonths[v.month - 1]); break;
      case TKrxDateElement::Month2: AppendNumber(out, v.month, 2); break;
      case TKrxDateElement::Month: AppendNumber(out, v.month, 1); break;
      case TKrxDateElement::MonthRoman: out.append(kRomanMonths[v.month - 1]); break;
      case TKrxDateElement::DayShortName: out.append(names.shortDays[DayOfWeek(v) - 1]); break;
      case TKrxDateElement::Day2: AppendNumber(out, v.day, 2); break;
      case TKrxDateElement::DayLongName: out.append(names.longDays[DayOfWeek(v) - 1]); break;
      case TKrxDateElement::DayOfYear: AppendNumber(out, DayOfYear(v), 1); break;
      case TKrxDateElement::DayOfWeek: AppendNumber(out, DayOfWeek(v), 1); break;
      case TKrxDateElement::Day: AppendNumber(out, v.day, 1); break;
      case TKrxDateElement::Hour12Padded: AppendNumber(out, v.hour % 12, 2); break;
      case TKrxDateElement::Hour24Padded: AppendNumber(out, v.hour, 2); break;
      case TKrxDateElement::Hour12: AppendNumber(out, v.hour % 12, 1); break;
      case TKrxDateElement::Hour24: AppendNumber(out, v.hour, 1); break;
      case TKrxDateElement::Minute2: AppendNumber(out, v.minute, 2); break;
      case TKrxDateElement::Minute: AppendNumber(out, v.minute, 1); break;
      case TKrxDateElement::Second2: AppendNumber(out, v.second, 2); break;
      case TKrxDateElement::Second: AppendNumber(out, v.second, 1); break;
      case TKrxDateElement::AmPm: out.append(v.hour >= 12 ? "PM" : "AM"); break;
    }
  }
}

std::string TDateFormater::Format(const TKrxDateTimeParts& value, const TKrxDateNames& names) const {
  std::string out;
  FormatTo(out, value, names);
  return out;
}

bool TDateFormater::Parse(std::string_view text, const TKrxDateNames& names, int defaultYear,
                          TKrxParsedDate& result) const {
  int year = -1, month = -1, day = -1, quarter = -1, dayOfYear = -1;
  int hour = 0, minute = 0, second = 0;
  int meridiem = -1;  // 0 AM, 1 PM
  bool anyDate = false, anyTime = false;
  size_t pos = 0;

  for (const TDateFormatToken& token : tokens_) {
    int value = 0;
    switch (token.element) {
      case TKrxDateElement::Literal:
        for (char expected : token.literal) {
          if (IsBlank(expected)) {
            while (pos < text.size() && IsBlank(text[pos])) ++pos;
          } else if (pos < text.size() && AsciiUpper(text[pos]) == AsciiUpper(expected)) {
            ++pos;
          } else {
            return false;
          }
        }
        break;
      case TKrxDateElement::Year4:
        if (!ReadNumber(text, pos, 4, year)) return false;
        break;
      case TKrxDateElement::Year2:
        if (!ReadNumber(text, pos, 2, value)) return false;
        // Two-digit years fall in 1950..2049.
        year = value < 50 ? 2000 + value : 1900 + value;
        break;
      case TKrxDateElement::Quarter:
        if (!ReadNumber(text, pos, 1, quarter) || quarter < 1 || quarter > 4) return false;
        break;
      case TKrxDateElement::MonthLongName:
      case TKrxDateElement::MonthShortName: {
        const auto& list = token.element == TKrxDateElement::MonthLongName ? names.longMonths : names.shortMonths;
        const int index = ReadName(text, pos, list);
        if (index < 0) return false;
        month = index + 1;
        break;
      }
      case TKrxDateElement::Month2:
      case TKrxDateElement::Month:
        if (!ReadNumber(text, pos, 2, month)) return false;
        break;
      case TKrxDateElement::MonthRoman: {
        const int index = ReadRomanMonth(text, pos);
        if (index < 0) return false;
        month = index + 1;
        break;
      }
      case TKrxDateElement::DayShortName:
      case TKrxDateElement::DayLongName: {
        // The weekday follows from the date; it is read only to step over it.
        const auto& list = token.element == TKrxDateElement::DayLongName ? names.longDays : names.shortDays;
        if (ReadName(text, pos, list) < 0) return false;
        break;
      }
      case TKrxDateElement::Day2:
      case TKrxDateElement::Day:
        if (!ReadNumber(text, pos, 2, day)) return false;
        break;
      case TKrxDateElement::DayOfYear:
        if (!ReadNumber(text, pos, 3, dayOfYear)) return false;
        break;
      case TKrxDateElement::DayOfWeek:
        if (!ReadNumber(text, pos, 1, value) || value < 1 || value > 7) return false;
        break;
      case TKrxDateElement::Hour12Padded:
      case TKrxDateElement::Hour24Padded:
      case TKrxDateElement::Hour12:
      case TKrxDateElement::Hour24:
        if (!ReadNumber(text, pos, 2, hour)) return false;
        break;
      case TKrxDateElement::Minute2:
      case TKrxDateElement::Minute:
        if (!ReadNumber(text, pos, 2, minute)) return false;
        break;
      case TKrxDateElement::Second2:
      case TKrxDateElement::Second:
        if (!ReadNumber(text, pos, 2, second)) return false;
        break;
      case TKrxDateElement::AmPm:
        if (pos + 2 > text.size()) return false;
        if (EqualsIgnoringAsciiCase(text.substr(pos, 2), "AM")) {
          meridiem = 0;
        } else if (EqualsIgnoringAsciiCase(text.substr(pos, 2), "PM")) {
          meridiem = 1;
        } else {
          return false;
        }
        pos += 2;
        break;
    }
    if (token.element != TKrxDateElement::Literal) {
      if (IsDateElement(token.element)) {
        anyDate = true;
      } else {
        anyTime = true;
      }
    }
  }
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  if (pos != text.size()) return false;

  if (year < 0) year = defaultYear;
  if (year < 1 || year > 9999) return false;
  if (month < 0 && day < 0 && dayOfYear > 0) {
    if (dayOfYear > (IsLeap(year) ? 366 : 365)) return false;
    month = 1;
    day = dayOfYear;
    while (day > DaysInMonth(year, month)) {
      day -= DaysInMonth(year, month);
      ++month;
    }
  }
  if (month < 0) month = quarter > 0 ? (quarter - 1) * 3 + 1 : 1;
  if (day < 0) day = 1;
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return false;

  if (meridiem >= 0) {
    if (hour > 12) return false;
    hour %= 12;
    if (meridiem == 1) hour += 12;
  }
  if (hour > 23 || minute > 59 || second > 59) return false;

  result.parts = {year, month, day, hour, minute, second, 0};
  result.hasDate = anyDate;
  result.hasTime = anyTime;
  return true;
}

}  // namespace krx
