// Tokenising SQL text: commands, token kinds, positions, quoting, numbers,
// operators, keywords, parameters, national characters and the lexer's
// errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KrxException.h"
#include "KrxKeywords.h"
#include "KrxLexer.h"
#include "KrxSQLParams.h"

namespace krx {
namespace {

// "kind:text" for every token of every command, commands separated by " ; ".
std::string Dump(const std::string& sql, const TKrxSQLParams* params = nullptr) {
  TKrxLexer lexer(sql, params);
  std::string out;
  while (lexer.NextCommand()) {
    if (!out.empty()) out += " ; ";
    bool first = true;
    for (const TToken& t : lexer.Command().tokens) {
      if (!first) out += ' ';
      first = false;
      out += std::to_string(t.kind) + ":" + t.text;
    }
  }
  return out;
}

std::string ErrorOf(const std::string& sql, const TKrxSQLParams* params = nullptr) {
  try {
    TKrxLexer lexer(sql, params);
  } catch (const EKrxException& e) {
    return e.what();
  }
  return "no error";
}

TEST(LexerKeywords, TableOrderAndLookup) {
  EXPECT_EQ(kKrxKeywordCount, 292);
  EXPECT_EQ(kwSELECT, 179);
  EXPECT_EQ(kwFROM, 90);
  EXPECT_EQ(kwWHERE, 224);
  EXPECT_EQ(kwTOSTRING, 246);
  EXPECT_EQ(kwRNDUP, 291);
  EXPECT_EQ(KrxKeywordText(0), "ABSOLUTE");
  EXPECT_EQ(KrxKeywordText(kwEND_EXEC), "END-EXEC");
  EXPECT_EQ(KrxKeywordText(kwPASSWORD), "PASSWORD");
  for (int i = 0; i < kKrxKeywordCount; ++i) {
    EXPECT_EQ(KrxFindKeyword(KrxKeywordText(i)), i) << KrxKeywordText(i);
  }
  EXPECT_EQ(KrxFindKeyword("sElEcT"), kwSELECT);
  EXPECT_EQ(KrxFindKeyword("fname"), kwNone);
  EXPECT_EQ(KrxFindKeyword("SELECTX"), kwNone);
}

struct DumpCase {
  const char* sql;
  const char* tokens;
};

TEST(Lexer, TokenKindsAndTexts) {
  const DumpCase cases[] = {
      {"select * from cqproduct where 1=2", "6:select 1:* 6:from 1:cqproduct 6:where 4:1 1:= 4:2"},
      {"select 'it''s', \"a\"\"b\" from t", "6:select 2:it's 10:, 2:a\"b 6:from 1:t"},
      {"[my col] [a]]b] `x``y` `a\\`b`", "3:my col 3:a]b 1:x`y 1:a`b"},
      {"[select] `from` select", "3:select 1:from 6:select"},
      {"1.5 2E3 1e-4 1E+5 .5 7", "5:1.5 5:2E3 5:1e-4 5:1E+5 5:.5 4:7"},
      {"1-4 a-b a+b", "4:1 1:- 4:4 1:a 1:- 1:b 1:a 1:+ 1:b"},
      {"a<=b a<>b a>=b a<b a>b a||b a|b", "1:a 1:<= 1:b 1:a 1:<> 1:b 1:a 1:>= 1:b 1:a 1:< 1:b 1:a 1:> 1:b "
                                           "1:a 1:|| 1:b 1:a 1:| 1:b"},
      {"fqty>'5' x<5", "1:fqty 1:> 2:5 1:x 1:< 4:5"},
      {"t.fname t.* count(*)", "1:t 11:. 1:fname 1:t 11:. 1:* 6:count 8:( 1:* 9:)"},
      {"a*b/c=d", "1:a 1:* 1:b 1:/ 1:c 1:= 1:d"},
      {"fname like'%a%'", "1:fname 6:like 2:%a%"},
      {"select 1;;select 2;", "6:select 4:1 ; 6:select 4:2"},
      {";;", ""},
      {"select 1 -- note\nfrom t /* a\nb */ where", "6:select 4:1 6:from 1:t 6:where"},
      {"select 'a;b' from t", "6:select 2:a;b 6:from 1:t"},
      {"2147483646 2147483647", "4:2147483646 4:2147483647"},
  };
  for (const auto& c : cases) EXPECT_EQ(Dump(c.sql), c.tokens) << c.sql;
}

TEST(Lexer, LinesAndColumnsSurviveCommentsAndLineBreaks) {
  TKrxLexer lexer("select a, -- first\r\n  b /* two\nlines */ c\r from t", nullptr);
  ASSERT_TRUE(lexer.NextCommand());
  const auto& t = lexer.Command().tokens;
  struct Expected {
    const char* text;
    int line, column;
  };
  const Expected expected[] = {{"select", 1, 1}, {"a", 1, 8}, {",", 1, 9}, {"b", 2, 3},
                               {"c", 3, 10},     {"from", 4, 2}, {"t", 4, 7}};
  ASSERT_EQ(t.size(), std::size(expected));
  for (size_t i = 0; i < t.size(); ++i) {
    EXPECT_EQ(t[i].text, expected[i].text);
    EXPECT_EQ(t[i].line, expected[i].line) << expected[i].text;
    EXPECT_EQ(t[i].column, expected[i].column) << expected[i].text;
  }
}

TEST(Lexer, NationalCharactersAreSteppedOverWhole) {
  // GBK bytes whose trail byte equals '|', '[', ']', '\', '`' or a letter.
  const std::string pipe = "\xD8\x7C";     // trail byte '|'
  const std::string open = "\x81\x5B";     // trail byte '['
  const std::string close = "\x81\x5D";    // trail byte ']'
  const std::string slash = "\x81\x5C";    // trail byte '\'
  const std::string tick = "\x81\x60";     // trail byte '`'
  const std::string letter = "\xB0\x61";   // trail byte 'a'
  const std::string four = "\x81\x30\x81\x30";  // a four-byte character
  const std::string alias = "\xD0\xCD\xBA\xC5\xB9\xE6\xB8\xF1";  // 型号规格

  EXPECT_EQ(Dump("FXinghao+' '+FGuige as " + alias),
            "1:FXinghao 1:+ 2:  1:+ 1:FGuige 6:as 1:" + alias);
  EXPECT_EQ(Dump("a" + pipe + "b"), "1:a" + pipe + "b");
  EXPECT_EQ(Dump("[" + close + "x]"), "3:" + close + "x");
  EXPECT_EQ(Dump("'" + open + slash + "'"), "2:" + open + slash);
  EXPECT_EQ(Dump("`" + tick + "`"), "1:" + tick);
  EXPECT_EQ(Dump(four + "x " + letter), "1:" + four + "x 1:" + letter);
  // A trail byte that spells a keyword never makes the word a keyword.
  EXPECT_EQ(Dump("\xB0" "AS"), "1:\xB0" "AS");

  TKrxLexer lexer(alias + " x", nullptr);
  ASSERT_TRUE(lexer.NextCommand());
  EXPECT_EQ(lexer.Command().tokens[1].column, 6);  // four characters, one blank
}

TEST(Lexer, Errors) {
  const DumpCase cases[] = {
      {"select 'abc from t", "Unterminated string at line 1, column 8 - Native error: 30061"},
      {"select (1 from t", "Missing symbol ')' at line 1, column 8 - Native error: 30059"},
      {"select ((1) from t", "Missing symbol ')' at line 1, column 9 - Native error: 30059"},
      {"select 1) from t", "Unexpected symbol ')' found at line 1, column 9 - Native error: 30060"},
      {"select 12abc", "Invalid numeric symbol 'a' at line 1, column 10 - Native error: 30062"},
      {"select 1;\n select [x", "Unterminated string at line 2, column 9 - Native error: 30061"},
      {"select (1;) ", "Missing symbol ')' at line 1, column 8 - Native error: 30059"},
      {"select :p", "Value for parameter 'p' not found - Native error: 30358"},
      {"select ?", "Value for parameter 'Param1' not found - Native error: 30358"},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorOf(c.sql), c.tokens) << c.sql;
}

TEST(Lexer, ParametersTakeCopiesOfTheirValues) {
  TKrxSQLParams params;
  params.Add("Name");
  params.Add("second");
  EXPECT_EQ(Dump("select :name, :'SECOND', :\"name\", :[Name]", &params),
            "6:select 7:name 10:, 7:SECOND 10:, 7:name 10:, 7:Name");

  TKrxLexer lexer("select ? ; select ?, :second", &params);
  ASSERT_TRUE(lexer.NextCommand());
  const TToken first = lexer.Command().tokens[1];
  ASSERT_TRUE(lexer.NextCommand());
  const TToken second = lexer.Command().tokens[1];
  const TToken named = lexer.Command().tokens[3];
  EXPECT_EQ(first.kind, tkParameter);
  EXPECT_EQ(first.text, "Param1");
  EXPECT_EQ(second.text, "Param2");
  ASSERT_TRUE(first.value && second.value && named.value);
  EXPECT_EQ(first.value->Name(), "Name");
  EXPECT_EQ(second.value->Name(), "second");
  // The token holds a copy, not the list's parameter.
  EXPECT_NE(named.value.get(), &params.Item(1));

  EXPECT_EQ(ErrorOf("select ?, ?, ?", &params), "Value for parameter 'Param3' not found - Native error: 30358");
}

TEST(Lexer, InterfaceWalksAndBacktracks) {
  TKrxLexer lexer("select a from t", nullptr);
  TToken token;
  EXPECT_FALSE(lexer.CurrentToken(token));  // no command yet
  ASSERT_TRUE(lexer.NextCommand());
  ASSERT_TRUE(lexer.CurrentToken(token));
  EXPECT_TRUE(token.IsKeyword(kwSELECT));
  ASSERT_TRUE(lexer.Peek(token));
  EXPECT_EQ(token.text, "a");
  const int mark = lexer.GetPosition();
  ASSERT_TRUE(lexer.Advance(token));
  ASSERT_TRUE(lexer.Advance(token));
  EXPECT_TRUE(token.IsKeyword(kwFROM));
  ASSERT_TRUE(lexer.Advance(token));
  EXPECT_FALSE(lexer.Peek(token));
  EXPECT_FALSE(lexer.Advance(token));
  EXPECT_EQ(token.kind, tkNone);
  EXPECT_TRUE(token.text.empty());
  EXPECT_FALSE(lexer.Advance(token));
  lexer.SetPosition(mark);
  ASSERT_TRUE(lexer.CurrentToken(token));
  EXPECT_EQ(token.text, "select");
  EXPECT_FALSE(lexer.NextCommand());

  TKrxLexer built;
  built.AppendCommand();
  TToken star;
  star.kind = tkWord;
  star.text = "*";
  built.AppendToken(star);
  ASSERT_TRUE(built.CurrentToken(token));
  EXPECT_EQ(token.text, "*");
}

}  // namespace
}  // namespace krx
