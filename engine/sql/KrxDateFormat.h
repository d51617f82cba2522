// The date format language of TOSTRING and TODATE.
//
// A format is scanned once into tokens. Text between single or double quotes
// is literal. Elsewhere the longest upper-cased run (at most five characters,
// the longest element name) that names an element is that element; any other
// character is literal. A national character (GB18030: lead byte 0x81..0xFE,
// two bytes, four when the second is a digit) is stepped over whole, so its
// trail byte never reads as a letter of an element.
//
//   YYYY YEAR  four-digit year        YY   two-digit year     Q   quarter
//   MONTH      long month name        MON  short month name
//   MM / M     month, 2 digits / bare RM   month in Roman numerals
//   DDD        short day name         DAY  long day name
//   DD / D     day, 2 digits / bare   DY   day of year        DW  Monday 1 … Sunday 7
//   HH12 HH    hour mod 12, 2 digits  H12 H  hour mod 12, bare
//   HH24       hour 0-23, 2 digits    H24  hour 0-23, bare
//   NN / N     minutes                SS / S seconds          AMPM "AM" / "PM"
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>


namespace krx {

// A date-time taken apart.
struct TKrxDateTimeParts {
  int year = 1;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

enum class TKrxDateElement : uint8_t {
  Literal,
  Year4,
  Year2,
  Quarter,
  MonthLongName,
  MonthShortName,
  Month2,
  Month,
  MonthRoman,
  DayShortName,
  Day2,
  DayLongName,
  DayOfYear,
  DayOfWeek,
  Day,
  Hour12Padded,
  Hour24Padded,
  Hour12,
  Hour24,
  Minute2,
  Minute,
  Second2,
  Second,
  AmPm,
};

struct TDateFormatToken {
  TKrxDateElement element = TKrxDateElement::Literal;
  std::string literal;  // only for Literal
};

// Month and day names in the engine's narrow character set. Days are indexed
// Monday 0 … Sunday 6.
struct TKrxDateNames {
  std::array<std::string, 12> longMonths;
  std::array<std::string, 12> shortMonths;
  std::array<std::string, 7> longDays;
  std::array<std::string, 7> shortDays;
};

// English names, for callers without a locale.
const TKrxDateNames& KrxEnglishDateNames();

// What TODATE read: the parts and which halves the format supplied.
struct TKrxParsedDate {
  TKrxDateTimeParts parts;
  bool hasDate = false;
  bool hasTime = false;
};

class TDateFormater {
 public:
  explicit TDateFormater(std::string_view format);

  const std::vector<TDateFormatToken>& Tokens() const { return tokens_; }

  // Appends the formatted date-time to out (out is not cleared, so a caller
  // can reuse its buffer).
  void FormatTo(std::string& out, const TKrxDateTimeParts& value, const TKrxDateNames& names) const;
  std::string Format(const TKrxDateTimeParts& value, const TKrxDateNames& names) const;

  // Reads text by the format. Numeric elements take up to their digit count
  // (at least one digit), names match case-insensitively, literals must match
  // (a blank in the format also accepts any run of blanks). Missing date
  // parts default to `defaultYear`, January and the first day. False when
  // the text does not fit or names an impossible date or time.
  bool Parse(std::string_view text, const TKrxDateNames& names, int defaultYear, TKrxParsedDate& result) const;

  // True when the format has an element of the date or of the time of day.
  bool HasDateElements() const { return hasDate_; }
  bool HasTimeElements() const { return hasTime_; }

 private:
  std::vector<TDateFormatToken> tokens_;
  bool hasDate_ = false;
  bool hasTime_ = false;
};

}  // namespace krx
