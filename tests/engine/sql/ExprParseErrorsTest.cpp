#include "ExprTestSupport.h"

namespace krx::test {
namespace {

struct ErrorCase {
  const char* text;
  bool condition;
  const char* message;
};

const ErrorCase kCases[] = {
    {"a = 1 OR", true, "Boolean expression expected, but '' found at line 1, column 7 - Native error: 30070"},
    {"a = 1 OR ,", true, "Boolean expression expected, but ',' found at line 1, column 10 - Native error: 30070"},
    {"a = 1 AND", true, "Boolean expression expected, but '' found at line 1, column 7 - Native error: 30069"},
    {"(a = 1) IS MAYBE", true,
     "Token 'TRUE, FALSE or UNKNOWN' expected, but 'MAYBE' found at line 1, column 12 - Native error: 30067"},
    {"a LIKE 'x' ESCAPE 'ab'", true,
     "Invalid escape character length (should be a single character) at line 1, column 19 - Native error: 20294"},
    {"a LIKE 'x' ESCAPE ''", true,
     "Invalid escape character length (should be a single character) at line 1, column 19 - Native error: 20294"},
    {"DATE 5", false, "Date string expected \"YYYY-MM-DD\", but found \"5\" at line 1, column 6 - Native error: 20283"},
    {"DATE '2024-1-05'", false,
     "Token 'YYYY-MM-DD' expected, but '2024-1-05' found at line 1, column 6 - Native error: 20284"},
    {"DATE '2024-01-05 '", false,
     "Token 'YYYY-MM-DD' expected, but '2024-01-05 ' found at line 1, column 6 - Native error: 20284"},
    {"DATE '2024--01-05'", false,
     "Token 'YYYY-MM-DD' expected, but '2024--01-05' found at line 1, column 6 - Native error: 20284"},
    {"TIME 5", false, "Time string expected \"HH:MM:SS\", but found \"5\" at line 1, column 6 - Native error: 20285"},
    {"TIME '1:00:00'", false, "Token 'HH:MM:SS' expected, but '1:00:00' found at line 1, column 6 - Native error: 20286"},
    {"CAST(a AS BLOB)", false, "Cannot convert an expression to specified type: 'BLOB' - Native error: 30077"},
    {"CAST(a AS GUID)", false, "Cannot convert an expression to specified type: 'GUID' - Native error: 30077"},
    {"CAST(a AS NOSUCHTYPE)", false, "Cannot convert an expression to specified type: 'NOSUCHTYPE' - Native error: 30077"},
    {"CASE THEN 1 END", false,
     "Input expression for CASE function expected, but 'THEN' found at line 1, column 6 - Native error: 30467"},
    {"CASE a THEN 1 END", false, "Token 'WHEN' expected, but 'THEN' found at line 1, column 8 - Native error: 30468"},
    {"CASE a WHEN THEN 1 END", false,
     "When Expression for CASE function expected, but 'THEN' found at line 1, column 13 - Native error: 30469"},
    {"CASE a WHEN 1 2 END", false, "Token 'THEN' expected, but '2' found at line 1, column 15 - Native error: 30470"},
    {"CASE a WHEN 1 THEN 2 ELSE END", false,
     "'Else Result Expression' for CASE function expected, but 'END' found at line 1, column 27 - Native error: 30471"},
    {"CASE a WHEN 1 THEN 2 x", false, "Token 'END' expected, but 'x' found at line 1, column 22 - Native error: 30472"},
    {"CASE WHEN THEN 1 END", false,
     "Search Condition for CASE function expected, but 'THEN' found at line 1, column 11 - Native error: 30474"},
    {"CASE WHEN a = 1 ELSE 2 END", false, "Token 'THEN' expected, but 'ELSE' found at line 1, column 17 - Native error: 30475"},
    {"CASE WHEN a = 1 THEN , END", false,
     "When Expression for CASE function expected, but ',' found at line 1, column 22 - Native error: 30476"},
    {"CASE WHEN a = 1 THEN 1 ELSE , END", false,
     "'Else Result Expression' for CASE function expected, but ',' found at line 1, column 29 - Native error: 30477"},
    {"CASE WHEN a = 1 THEN 1", false, "Token 'END' expected, but '' found at line 1, column 22 - Native error: 30478"},
    {"COALESCE()", false, "COALESCE arguments are missed at line 1, column 10 - Native error: 20276"},
    {"UPPER()", false, "Argument expected for function 'UPPER' at line 1, column 7 - Native error: 20641"},
    {"UPPER(>)", false, "String argument expected for function 'UPPER', but '>' found at line 1, column 7 - Native error: 20602"},
    {"UPPER a", false, "Token '(' expected, but 'a' found at line 1, column 7 - Native error: 20620"},
    {"UPPER(a b)", false, "Token ')' expected, but 'b' found at line 1, column 9 - Native error: 20621"},
    {"SUM()", false, "Argument expected for function 'SUM' at line 1, column 5 - Native error: 20601"},
    {"COUNT()", false, "Argument expected for function 'COUNT' at line 1, column 7 - Native error: 20601"},
    {"TOSTRING(a, b)", false, "Const DateFormat string expected, but 'b' found at line 1, column 13 - Native error: 30096"},
    {"TODATE('x', b)", false, "Const DateFormat string expected, but 'b' found at line 1, column 13 - Native error: 30109"},
    {"POWER(2 3)", false, "comma (\",\") expected but not found at line 1, column 9 - Native error: 20267"},
    {"EXTRACT(WEEK FROM a)", false,
     "Token 'YEAR or MONTH or DAY or HOUR or MINUTE or SECOND' expected, but 'WEEK' found at line 1, column 9 - Native "
     "error: 20622"},
    {"MIMETOBIN('**')", false, "Invalid MIME encoded text for MIMETOBIN - Native error: 20607"},
    {"a BETWEEN 1 OR 2", true, "Token 'AND' expected, but 'OR' found at line 1, column 13 - Native error: 20627"},
    {"a IN 1", true, "Token '(' expected, but '1' found at line 1, column 6 - Native error: 20625"},
};

TEST(ExprParseErrorsTest, MalformedExpressionsRaiseTheirMessage) {
  for (const ErrorCase& c : kCases) {
    EXPECT_EQ(ErrorOf([&] { Parse(c.text, c.condition); }), c.message) << c.text;
  }
}

TEST(ExprParseErrorsTest, WhatDoesNotParseLeavesThePositionUnchanged) {
  for (const char* text : {"= 1", "AND", "OR a", ",", "*"}) {
    TKrxLexer lexer(text, nullptr);
    ASSERT_TRUE(lexer.NextCommand());
    TKrxExpression expression(lexer, nullptr);
    EXPECT_FALSE(expression.ParseCondition()) << text;
    EXPECT_EQ(lexer.GetPosition(), 0) << text;
  }
}

TEST(ExprParseErrorsTest, TheValueStopsAtTheFirstTokenItDoesNotUse) {
  // A select item followed by its alias, a condition followed by a clause.
  Parsed item = Parse("FXinghao+' '+FGuige as 型号规格", false);
  ASSERT_TRUE(item.expression);
  EXPECT_TRUE(item.lexer->Current().IsKeyword(kwAS));
  EXPECT_EQ(item.expression->Root()->Operation(), eoConcat);
  Parsed where = Parse("a = 1 ORDER BY a", true);
  ASSERT_TRUE(where.expression);
  EXPECT_TRUE(where.lexer->Current().IsKeyword(kwORDER));
}

}  // namespace
}  // namespace krx::test
