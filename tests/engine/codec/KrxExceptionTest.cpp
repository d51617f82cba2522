#include <gtest/gtest.h>

#include "KrxException.h"

namespace krx {
namespace {

struct FormatCase {
  const char* format;
  std::vector<KrxFormatArg> args;
  const char* expected;
};

TEST(KrxFormat, FormatsConversionsAndFlagsBadArguments) {
  const FormatCase kCases[] = {
      {"Table '%s' not found", {std::string("cqsalebill")}, "Table 'cqsalebill' not found"},
      {"at line %d, column %d", {int64_t{1}, int64_t{8}}, "at line 1, column 8"},
      {"100%% done", {}, "100% done"},
      {"%.2f", {1.005}, "1.00"},
      {"%5d|", {int64_t{42}}, "   42|"},
      {"PageNo: %d", {}, "PageNo: %d Arguments are invalid!"},
      {"PageNo: %d", {std::string("x")}, "PageNo: %d Arguments are invalid!"},
      {"odd %q", {int64_t{1}}, "odd %q Arguments are invalid!"},
  };
  for (const auto& c : kCases) EXPECT_EQ(KrxFormat(c.format, c.args), c.expected) << c.format;
}

TEST(EKrxException, ShowsMessageWithFiveDigitCode) {
  EKrxException e("Database is locked", 7);
  EXPECT_STREQ(e.what(), "Database is locked - Native error: 00007");
  EXPECT_EQ(e.Message(), "Database is locked");
  EXPECT_EQ(e.NativeError(), 7);
  EXPECT_STREQ(EKrxException("x", 30059).what(), "x - Native error: 30059");
}

}  // namespace
}  // namespace krx
