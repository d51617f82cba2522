#include <gtest/gtest.h>

#include "KrxLike.h"

namespace krx {
namespace {

struct LikeCase {
  const char* value;
  const char* pattern;
  const char* escape;
  bool matches;
};

// 电 is B5 E7, 缆 is C0 C2; 丂 (81 40) has the trail byte '@', 亗 (81 44)
// the trail byte 'D'; 81 39 EE 39 is one four-byte character.
const LikeCase kCases[] = {
    {"xABCx", "%ABC%", "", true},
    {"xabcx", "%ABC%", "", false},
    {"ABC", "A_C", "", true},
    {"ABBC", "A_C", "", false},
    {"A%", "A!%", "!", true},
    {"AB", "A!%", "!", false},
    {"A", "A!%", "!", false},
    {"A_", "A!_", "!", true},
    {"AX", "A!_", "!", false},
    {"A!", "A!!", "!", true},
    {"", "%", "", true},
    {"", "_", "", false},
    {"", "", "", true},
    {"abc", "", "", false},
    {"abc", "ab", "", false},  // a value longer than the pattern
    {"abc", "ab%", "", true},
    {"abc", "%c", "", true},
    {"abc", "%b", "", false},
    {"aXbXc", "a%b%c", "", true},
    {"abcbd", "%b%d", "", true},
    {"abcbe", "%b%d", "", false},
    {"mississippi", "%iss%ppi", "", true},
    {"ab", "a%%%b", "", true},
    // A national character is one character for _ and is matched whole.
    {"\xB5\xE7\xC0\xC2", "__", "", true},
    {"\xB5\xE7\xC0\xC2", "___", "", false},
    {"\xB5\xE7\xC0\xC2", "\xB5\xE7%", "", true},
    {"\xB5\xE7\xC0\xC2", "%\xC0\xC2", "", true},
    {"x\x81\x40", "%@", "", false},      // the trail byte '@' does not end a match
    {"\x81\x44", "%D%", "", false},      // nor does 'D' inside 亗
    {"\x81\x44" "D", "%D", "", true},
    {"\x81\x39\xEE\x39z", "_z", "", true},  // four-byte character is one
    {"\x81\x39\xEE\x39z", "__z", "", false},
    // A national character as the escape.
    {"a%", "a\xB5\xE7%", "\xB5\xE7", true},
    {"ab", "a\xB5\xE7%", "\xB5\xE7", false},
};

TEST(LikeMatchTest, MatchesNarrowStrings) {
  for (const LikeCase& c : kCases) {
    EXPECT_EQ(KrxLikeMatch(c.value, c.pattern, c.escape), c.matches)
        << "'" << c.value << "' LIKE '" << c.pattern << "' ESCAPE '" << c.escape << "'";
  }
}

TEST(LikeMatchTest, WideStringsMatchByUnits) {
  EXPECT_TRUE(KrxLikeMatchWide(u"电缆销售", u"电_销%"));
  EXPECT_FALSE(KrxLikeMatchWide(u"电缆销售", u"电_售"));
  EXPECT_TRUE(KrxLikeMatchWide(u"100%", u"100!%", u"!"));
  EXPECT_FALSE(KrxLikeMatchWide(u"1000", u"100!%", u"!"));
}

TEST(LikeMatchTest, CompiledPatternIsReusable) {
  TKrxLikePattern pattern("%ab_", "");
  EXPECT_TRUE(pattern.Matches("xxabc"));
  EXPECT_FALSE(pattern.Matches("xxab"));
  EXPECT_TRUE(pattern.Matches("abz"));
}

TEST(LikeMatchTest, ManyPercentSignsStayFast) {
  // A naive backtracking matcher takes exponential time here.
  const std::string value(2000, 'a');
  EXPECT_FALSE(KrxLikeMatch(value, "%a%a%a%a%a%a%a%a%a%a%a%b"));
}

}  // namespace
}  // namespace krx
