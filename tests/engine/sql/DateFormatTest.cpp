#include <gtest/gtest.h>

#include "KrxDateFormat.h"

namespace krx {
namespace {

// 2024-01-05 was a Friday; 14:07:09 is after noon.
const TKrxDateTimeParts kFridayAfternoon{2024, 1, 5, 14, 7, 9, 0};

struct FormatCase {
  const char* format;
  TKrxDateTimeParts value;
  const char* expected;
};

const FormatCase kFormatCases[] = {
    {"yyyy-mm-dd", kFridayAfternoon, "2024-01-05"},
    {"YYYY-MM-DD HH24:NN:SS", kFridayAfternoon, "2024-01-05 14:07:09"},
    {"year/m/d", kFridayAfternoon, "2024/1/5"},
    {"yy", kFridayAfternoon, "24"},
    {"Q", {2024, 8, 1, 0, 0, 0, 0}, "3"},
    {"Month Mon", {2024, 9, 1, 0, 0, 0, 0}, "September Sep"},
    {"RM", {2024, 9, 1, 0, 0, 0, 0}, "IX"},
    {"RM", {2024, 12, 1, 0, 0, 0, 0}, "XII"},
    {"DDD DAY", kFridayAfternoon, "Fri Friday"},
    {"DY", {2024, 12, 31, 0, 0, 0, 0}, "366"},  // leap year
    {"DY", {2023, 2, 1, 0, 0, 0, 0}, "32"},
    {"DW", kFridayAfternoon, "5"},
    {"DW", {2024, 1, 7, 0, 0, 0, 0}, "7"},  // Sunday
    {"DW", {2024, 1, 1, 0, 0, 0, 0}, "1"},  // Monday
    {"HH HH12 H H12", kFridayAfternoon, "02 02 2 2"},
    {"HH", {2024, 1, 5, 12, 0, 0, 0}, "00"},  // 12 o'clock gives 00
    {"HH24 H24", {2024, 1, 5, 9, 0, 0, 0}, "09 9"},
    {"NN N SS S", {2024, 1, 5, 9, 4, 3, 0}, "04 4 03 3"},
    {"AMPM", kFridayAfternoon, "PM"},
    {"AMPM", {2024, 1, 5, 11, 59, 59, 0}, "AM"},
    {"AMPM", {2024, 1, 5, 12, 0, 0, 0}, "PM"},
    // Quoted text is literal, quotes dropped; both quote kinds.
    {"'Day:' dd \"of\" mm", kFridayAfternoon, "Day: 05 of 01"},
    // Characters that start no element are copied.
    {"yyyy.mm.dd@x", kFridayAfternoon, "2024.01.05@x"},
    // Longest element wins: YYY is YY then a literal y.
    {"yyy", kFridayAfternoon, "24y"},
    {"yyyy", {987, 3, 4, 0, 0, 0, 0}, "0987"},
    // National characters are literal and never split: the trail bytes of
    // 年 (C4 EA), 月 (D4 C2), 日 (C8 D5) and of 亗 (81 44, 'D') stay whole.
    {"yyyy\xC4\xEAmm\xD4\xC2" "dd\xC8\xD5", kFridayAfternoon, "2024\xC4\xEA" "01\xD4\xC2" "05\xC8\xD5"},
    {"\x81\x44" "dd", kFridayAfternoon, "\x81\x44" "05"},
    {"\x81\x30\x81\x30" "d", kFridayAfternoon, "\x81\x30\x81\x30" "5"},
};

TEST(DateFormatTest, FormatsEveryElement) {
  for (const FormatCase& c : kFormatCases) {
    TDateFormater formater(c.format);
    EXPECT_EQ(formater.Format(c.value, KrxEnglishDateNames()), c.expected) << c.format;
  }
}

TEST(DateFormatTest, FormatToAppendsToTheBuffer) {
  TDateFormater formater("dd");
  std::string buffer = "x";
  formater.FormatTo(buffer, kFridayAfternoon, KrxEnglishDateNames());
  EXPECT_EQ(buffer, "x05");
}

TEST(DateFormatTest, KnowsWhetherDateOrTimeElementsArePresent) {
  EXPECT_TRUE(TDateFormater("yyyy").HasDateElements());
  EXPECT_FALSE(TDateFormater("yyyy").HasTimeElements());
  EXPECT_TRUE(TDateFormater("hh:nn").HasTimeElements());
  EXPECT_FALSE(TDateFormater("'yyyy'").HasDateElements());
}

struct ParseCase {
  const char* format;
  const char* text;
  bool ok;
  TKrxDateTimeParts parts;
  bool hasDate;
  bool hasTime;
};

const ParseCase kParseCases[] = {
    {"yyyy-mm-dd", "2024-01-05", true, {2024, 1, 5, 0, 0, 0, 0}, true, false},
    {"yyyy-m-d", "2024-1-5", true, {2024, 1, 5, 0, 0, 0, 0}, true, false},
    {"yyyymmdd", "20240105", true, {2024, 1, 5, 0, 0, 0, 0}, true, false},
    {"yyyy-mm-dd hh24:nn:ss", "2024-01-05 14:07:09", true, {2024, 1, 5, 14, 7, 9, 0}, true, true},
    {"hh24:nn", "23:59", true, {2000, 1, 1, 23, 59, 0, 0}, false, true},
    {"hh:nn AMPM", "02:30 PM", true, {2000, 1, 1, 14, 30, 0, 0}, false, true},
    {"hh:nn AMPM", "00:30 pm", true, {2000, 1, 1, 12, 30, 0, 0}, false, true},
    {"hh:nn AMPM", "12:30 AM", true, {2000, 1, 1, 0, 30, 0, 0}, false, true},
    {"dd Month yyyy", "05 september 2024", true, {2024, 9, 5, 0, 0, 0, 0}, true, false},
    {"dd Mon yyyy", "05 Sep 2024", true, {2024, 9, 5, 0, 0, 0, 0}, true, false},
    {"DAY dd-mm-yy", "Friday 05-01-24", true, {2024, 1, 5, 0, 0, 0, 0}, true, false},
    {"yy", "75", true, {1975, 1, 1, 0, 0, 0, 0}, true, false},
    {"yyyy-RM", "2024-IX", true, {2024, 9, 1, 0, 0, 0, 0}, true, false},
    {"yyyy-RM", "2024-viii", true, {2024, 8, 1, 0, 0, 0, 0}, true, false},
    {"yyyy DY", "2024 60", true, {2024, 2, 29, 0, 0, 0, 0}, true, false},
    {"yyyy Q", "2024 4", true, {2024, 10, 1, 0, 0, 0, 0}, true, false},
    {"yyyy\xC4\xEAmm\xD4\xC2" "dd\xC8\xD5", "2024\xC4\xEA" "01\xD4\xC2" "05\xC8\xD5", true, {2024, 1, 5, 0, 0, 0, 0}, true, false},
    // Trailing blanks are allowed; other leftovers are not.
    {"yyyy-mm-dd", "2024-01-05  ", true, {2024, 1, 5, 0, 0, 0, 0}, true, false},
    {"yyyy-mm-dd", "2024-01-05x", false, {}, false, false},
    {"yyyy-mm-dd", "2024/01/05", false, {}, false, false},
    {"yyyy-mm-dd", "2023-02-29", false, {}, false, false},
    {"yyyy-mm-dd", "2024-13-01", false, {}, false, false},
    {"hh24:nn", "24:00", false, {}, false, false},
    {"hh24:nn", "12:60", false, {}, false, false},
    {"yyyy-mm-dd", "", false, {}, false, false},
    {"yyyy DY", "2023 366", false, {}, false, false},
};

TEST(DateFormatTest, ParsesWhatTheFormatDescribes) {
  for (const ParseCase& c : kParseCases) {
    TDateFormater formater(c.format);
    TKrxParsedDate parsed;
    const bool ok = formater.Parse(c.text, KrxEnglishDateNames(), 2000, parsed);
    ASSERT_EQ(ok, c.ok) << c.format << " / " << c.text;
    if (!ok) continue;
    const TKrxDateTimeParts& p = parsed.parts;
    EXPECT_EQ(p.year, c.parts.year) << c.text;
    EXPECT_EQ(p.month, c.parts.month) << c.text;
    EXPECT_EQ(p.day, c.parts.day) << c.text;
    EXPECT_EQ(p.hour, c.parts.hour) << c.text;
    EXPECT_EQ(p.minute, c.parts.minute) << c.text;
    EXPECT_EQ(p.second, c.parts.second) << c.text;
    EXPECT_EQ(parsed.hasDate, c.hasDate) << c.text;
    EXPECT_EQ(parsed.hasTime, c.hasTime) << c.text;
  }
}

TEST(DateFormatTest, ReadsBackWhatItWritesForNumericElements) {
  const char* formats[] = {"yyyy-mm-dd hh24:nn:ss", "d/m/yyyy h24.n.s", "yyyy RM dd HH:NN AMPM", "yyyy DY"};
  const TKrxDateTimeParts values[] = {{2024, 1, 5, 14, 7, 9, 0}, {1999, 12, 31, 0, 0, 0, 0}, {2000, 2, 29, 12, 30, 0, 0}};
  for (const char* format : formats) {
    TDateFormater formater(format);
    for (const TKrxDateTimeParts& v : values) {
      const std::string text = formater.Format(v, KrxEnglishDateNames());
      TKrxParsedDate parsed;
      ASSERT_TRUE(formater.Parse(text, KrxEnglishDateNames(), 1900, parsed)) << format << " / " << text;
      EXPECT_EQ(formater.Format(parsed.parts, KrxEnglishDateNames()), text) << format;
    }
  }
}

}  // namespace
}  // namespace krx
