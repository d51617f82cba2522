// The text forms every list of the program shows, and the code page
// boundary: UTF-8 outside, GB18030 inside.
#include <gtest/gtest.h>

#include "KrxFormatSettings.h"
#include "KrxLocale.h"

namespace krx {
namespace {

TKrxFormatSettings Iso() {
  TKrxFormatSettings settings;
  settings.shortDateFormat = "yyyy-MM-dd";
  return settings;
}

TEST(ClientValueText, ValuesReadAsTheListsShowThem) {
  struct Case {
    TKrxVariant value;
    const char* expected;
  };
  const int32_t day = KrxEncodeDate(2024, 3, 5);
  const Case kCases[] = {
      {TKrxVariant::FromInt32(-42), "-42"},
      {TKrxVariant::FromInt64(9007199254740993LL), "9007199254740993"},
      {TKrxVariant::FromDouble(37.5), "37.5"},
      {TKrxVariant::FromDouble(12.0), "12"},
      {TKrxVariant::FromDouble(0.1), "0.1"},
      {TKrxVariant::FromDouble(0.1 + 0.2), "0.3"},
      {TKrxVariant::FromCurrency(1234.56), "1234.56"},
      {TKrxVariant::FromBoolean(true), "True"},
      {TKrxVariant::FromBoolean(false), "False"},
      {TKrxVariant::FromDate(day), "2024-03-05"},
      {TKrxVariant::FromTime(KrxEncodeTime(7, 5, 9, 0)), "07:05:09"},
      {TKrxVariant::FromTimeStamp({day, 0}), "2024-03-05"},
      {TKrxVariant::FromTimeStamp({day, KrxEncodeTime(23, 59, 1, 0)}), "2024-03-05 23:59:01"},
      {TKrxVariant::FromUtf8("型号规格"), "型号规格"},
      {TKrxVariant::Null(TKrxStorageType::Int32), ""},
      {TKrxVariant::Null(TKrxStorageType::String), ""},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(KrxValueToText(c.value, Iso()), c.expected);
  }
}

TEST(ClientValueText, ShortDateFormatAndSeparatorsComeFromTheCaller) {
  const int32_t day = KrxEncodeDate(2009, 1, 7);
  struct Case {
    const char* format;
    char separator;
    const char* expected;
  };
  const Case kCases[] = {
      {"yyyy/M/d", '/', "2009/1/7"},
      {"yyyy/M/d", '-', "2009-1-7"},
      {"dd.MM.yyyy", '/', "07.01.2009"},
      {"yy'年'M'月'd'日'", '/', "09年1月7日"},
  };
  for (const Case& c : kCases) {
    TKrxFormatSettings settings;
    settings.shortDateFormat = c.format;
    settings.dateSeparator = c.separator;
    EXPECT_EQ(KrxFormatShortDate(day, settings), c.expected) << c.format;
  }
  TKrxFormatSettings comma;
  comma.decimalSeparator = ',';
  EXPECT_EQ(KrxValueToText(TKrxVariant::FromDouble(37.5), comma), "37,5");
}

TEST(ClientValueText, ProcessDefaultIsWhatTheCallerSet) {
  TKrxFormatSettings saved = KrxDefaultFormatSettings();
  TKrxFormatSettings changed = saved;
  changed.shortDateFormat = "dd/MM/yyyy";
  KrxSetDefaultFormatSettings(changed);
  EXPECT_EQ(KrxDefaultFormatSettings().shortDateFormat, "dd/MM/yyyy");
  KrxSetDefaultFormatSettings(saved);
}

TEST(ClientValueText, CharactersOutsideGbkSurviveTheBoundary) {
  // U+20000 (an extension-B ideograph) and an emoji have no GBK code; the
  // four-byte GB18030 forms carry them through.
  const std::string text = "电缆\xF0\xA0\x80\x80 \xF0\x9F\x94\x8C";
  TKrxVariant value = TKrxVariant::FromUtf8(text);
  EXPECT_EQ(value.StringValue().size(), 4u + 4u + 1u + 4u);
  EXPECT_EQ(KrxValueToText(value, Iso()), text);
}

}  // namespace
}  // namespace krx
