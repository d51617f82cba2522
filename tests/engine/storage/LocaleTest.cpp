#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "KrxLocale.h"

namespace krx {
namespace {

TEST(Locale, Gb18030RoundTripsAndUsesTwoBytesForGbk) {
  const std::string utf8 = "Velmor电缆销售开单系统";
  std::string gb = KrxUtf8ToGb(utf8);
  EXPECT_EQ(gb.size(), 6u + 8u * 2u);
  EXPECT_EQ(KrxGbToUtf8(gb), utf8);
  EXPECT_EQ(KrxUtf16ToGb(KrxGbToUtf16(gb)), gb);
  // A character outside GBK takes four bytes.
  EXPECT_EQ(KrxUtf8ToGb("😀").size(), 4u);
  std::string mixed = KrxUtf8ToGb("a电😀");
  EXPECT_EQ(KrxGbCharLength(mixed, 0), 1u);
  EXPECT_EQ(KrxGbCharLength(mixed, 1), 2u);
  EXPECT_EQ(KrxGbCharLength(mixed, 3), 4u);
}

TEST(Locale, ChineseOrderPutsLatinFirstAndHanziByPinyin) {
  // Expected order: symbols, digits, Latin (lower before upper), then Chinese
  // by pinyin: 啊 (a), 电 (dian), 缆 (lan), 中 (zhong).
  const std::vector<std::string> expected = {"-", "1", "a", "A", "b", "啊", "电", "缆", "中"};
  std::vector<std::string> gb;
  for (const auto& s : expected) gb.push_back(KrxUtf8ToGb(s));
  std::vector<std::string> sorted = gb;
  std::reverse(sorted.begin(), sorted.end());
  std::sort(sorted.begin(), sorted.end(),
            [](const std::string& a, const std::string& b) { return KrxCompareStrings(a, b) < 0; });
  EXPECT_EQ(sorted, gb);
}

TEST(Locale, CaseInsensitiveComparisonIgnoresOnlyCase) {
  EXPECT_EQ(KrxCompareStrings("abc", "ABC", true), 0);
  EXPECT_NE(KrxCompareStrings("abc", "ABC", false), 0);
  EXPECT_LT(KrxCompareStrings("abc", "abd", true), 0);
  EXPECT_EQ(KrxCompareWideStrings(u"Äb", u"äB", true), 0);
  EXPECT_EQ(KrxCompareStrings(KrxUtf8ToGb("电缆"), KrxUtf8ToGb("电缆")), 0);
}

TEST(Locale, UpperCasingKeepsChineseAndMapsAccentedLetters) {
  EXPECT_EQ(KrxGbToUtf8(KrxUpperString(KrxUtf8ToGb("yjv电缆é"))), "YJV电缆É");
  EXPECT_EQ(KrxUpperString("abc-1"), "ABC-1");
  EXPECT_EQ(KrxLowerString("ABC"), "abc");
  EXPECT_EQ(KrxUpperWideString(u"ä"), u"Ä");
}

}  // namespace
}  // namespace krx
