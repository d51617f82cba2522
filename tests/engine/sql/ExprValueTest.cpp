#include "ExprTestSupport.h"

namespace krx::test {
namespace {

using A = TKrxAdvancedType;

// One row of the product list: model 'YJV', specification NULL, name 'abc',
// quantity 5, no second quantity, a date.
FakeRow ProductRow() {
  FakeRow row("cqproduct");
  row.Add("FXinghao", A::String, TKrxVariant::FromString("YJV"))
      .Add("FGuige", A::String)
      .Add("FName", A::String, TKrxVariant::FromString("abc"))
      .Add("FQty", A::Double, TKrxVariant::FromDouble(5))
      .Add("FQtyNull", A::Double)
      .Add("FCount", A::Integer, TKrxVariant::FromInt32(7))
      .Add("FDate", A::Date, TKrxVariant::FromDate(KrxEncodeDate(2024, 1, 5)))
      .Add("FBlob", A::Blob, TKrxVariant::FromBytes("ABC", TKrxStorageType::Blob));
  return row;
}

std::string Evaluate(const std::string& text, const FakeRow& row) {
  Parsed parsed = Parse(text, false);
  if (!parsed.complete) return "<no parse>";
  parsed.expression->Bind({&row});
  return Show(parsed.expression->GetValue());
}

struct ValueCase {
  const char* text;
  const char* expected;
};

const ValueCase kValueCases[] = {
    {"1 + 2 * 3", "7"},
    {"(1 + 2) * 3", "9"},
    {"10 - 2 - 3", "5"},
    {"-FCount + 10", "3"},
    {"7 / 2", "3"},  // INTEGER with INTEGER stays INTEGER
    {"7.0 / 2", "3.5"},
    {"FQty * 2", "10"},
    // A NULL part of a concatenation is empty; a NULL in a numeric sum is NULL.
    {"FXinghao + FGuige", "YJV"},
    {"FGuige + FXinghao", "YJV"},
    {"FQtyNull + 1", "NULL"},
    {"1 + FQtyNull", "NULL"},
    {"FXinghao + ' ' + FName", "YJV abc"},
    {"FXinghao || '-' || FCount", "YJV-7"},
    {"'a' || NULL || 'b'", "ab"},
    // A number and a string constant meet as strings.
    {"1 + 'a'", "1a"},
    {"FCount + 'x'", "7x"},
    {"''", "NULL"},
    {"NULL", "NULL"},
    {"UPPER(FXinghao + FName)", "YJVABC"},
    {"DATE '2024-02-28' + 1", "2024-02-29"},
    {"FDate + 30", "2024-02-04"},
    {"TODATE('2024-01-05', 'yyyy-mm-dd') - 1 + 2", "2024-01-06"},
    {"TIMESTAMP '2024-01-05 10:20:30'", "2024-01-05 10:20:30"},
    {"TIME '23:59:58'", "23:59:58"},
    {"CAST('12' AS INTEGER) + 1", "13"},
    {"CAST(FName AS VARCHAR(2))", "ab"},
    {"CAST(FCount, FLOAT) / 2", "3.5"},
    {"CAST(NULL AS INTEGER)", "NULL"},
    {"CAST('2024-01-05' AS DATE) + 1", "2024-01-06"},
    {"CAST(FCount AS VARCHAR(10)) || '#'", "7#"},
    {"CASE FName WHEN 'x' THEN 1 WHEN 'abc' THEN 2 ELSE 3 END", "2"},
    {"CASE FName WHEN 'x' THEN 1 END", "NULL"},
    {"CASE WHEN FQty > 3 THEN 'big' ELSE 'small' END", "big"},
    {"CASE WHEN FQtyNull > 3 THEN 'big' ELSE 'small' END", "small"},
    {"COALESCE(FGuige, FQtyNull, FName)", "abc"},
    {"COALESCE(FGuige)", "NULL"},
    {"MIMETOBIN('QUJD')", "ABC"},
    {"TRUE", "True"},
};

TEST(ExprValueTest, EvaluatesValueExpressions) {
  const FakeRow row = ProductRow();
  for (const ValueCase& c : kValueCases) {
    EXPECT_EQ(Evaluate(c.text, row), c.expected) << c.text;
  }
}

TEST(ExprValueTest, IntegerLiteralWidthFollowsItsMagnitude) {
  struct TypeCase {
    const char* text;
    A type;
  };
  const TypeCase cases[] = {
      {"2147483646", A::Integer}, {"2147483647", A::LargeInt}, {"-5", A::Integer},
      {"1.5", A::Double},         {"2E3", A::Double},          {"'x'", A::String},
      {"1 + 'a'", A::String},     {"FCount + FQty", A::Double}, {"FDate + 1", A::Date},
  };
  const FakeRow row = ProductRow();
  for (const TypeCase& c : cases) {
    Parsed parsed = Parse(c.text, false);
    ASSERT_TRUE(parsed.complete) << c.text;
    parsed.expression->Bind({&row});
    EXPECT_EQ(parsed.expression->ResultType(), c.type) << c.text;
  }
}

TEST(ExprValueTest, SumOfTwoColumnsParsesAsNumberAndAddsByValueType) {
  // a + b with two columns is a numeric sum even for text columns; the
  // values' types decide between adding and concatenating.
  FakeRow row;
  row.Add("a", A::String, TKrxVariant::FromString("12")).Add("b", A::String, TKrxVariant::FromString("34"));
  row.Add("x", A::Integer, TKrxVariant::FromInt32(12)).Add("y", A::Integer, TKrxVariant::FromInt32(34));
  EXPECT_EQ(Evaluate("a + b", row), "1234");
  EXPECT_EQ(Evaluate("x + y", row), "46");
  Parsed parsed = Parse("a + b", false);
  ASSERT_TRUE(parsed.complete);
  EXPECT_EQ(parsed.expression->Root()->Operation(), eoSum);
  Parsed text = Parse("a + ' ' + b", false);
  ASSERT_TRUE(text.complete);
  EXPECT_EQ(text.expression->Root()->Operation(), eoConcat);
}

TEST(ExprValueTest, OverflowingIntegerSumWidensInsteadOfWrapping) {
  FakeRow row;
  row.Add("big", A::Integer, TKrxVariant::FromInt32(2147483600));
  EXPECT_EQ(Evaluate("big + 100", row), "2147483700");
}

TEST(ExprValueTest, TypedNullOfRootIsAvailable) {
  const FakeRow row = ProductRow();
  Parsed parsed = Parse("FGuige || FGuige", false);
  ASSERT_TRUE(parsed.complete);
  parsed.expression->Bind({&row});
  const TKrxVariant& value = parsed.expression->GetValue(true);
  EXPECT_TRUE(value.IsNull());
  EXPECT_EQ(value.Type(), TKrxStorageType::String);
}

TEST(ExprValueTest, EvaluationErrorsCarryTheirCodes) {
  const FakeRow row = ProductRow();
  struct ErrorCase {
    const char* text;
    const char* message;
  };
  const ErrorCase cases[] = {
      {"1 / 0", "Division by zero - Native error: 20603"},
      {"FName - 1", "Not numeric argument in numeric operator '-' - Native error: 30132"},
      {"FBlob + 1", "Cannot compare Incompatible DataTypes: 'BLOB' and 'INTEGER' - Native error: 30044"},
      {"TODATE('2024-13-01', 'yyyy-mm-dd')",
       "Date string '2024-13-01' does not match format 'yyyy-mm-dd' - Native error: 20604"},
      {"SQRT(-1)", "Argument out of range in function 'SQRT' - Native error: 20610"},
  };
  for (const ErrorCase& c : cases) {
    Parsed parsed = Parse(c.text, false);
    ASSERT_TRUE(parsed.complete) << c.text;
    parsed.expression->Bind({&row});
    EXPECT_EQ(ErrorOf([&] { parsed.expression->GetValue(); }), c.message) << c.text;
  }
  Parsed mixed = Parse("FBlob + 1", false);
  mixed.expression->Bind({&row});
  EXPECT_EQ(ErrorOf([&] { mixed.expression->ResultType(); }), "Cannot determine expression type - Native error: 30283");
}

TEST(ExprValueTest, ParametersSupplyValues) {
  TKrxSQLParams params;
  params.Add("qty").SetValue(TKrxVariant::FromInt32(4));
  params.Add("name").SetValue(TKrxVariant::FromString("YJV"));
  Parsed parsed = Parse(":qty * 2 + ?", false, &params);
  // ? takes the first parameter of the list: 4 * 2 + 4.
  ASSERT_TRUE(parsed.complete);
  EXPECT_EQ(Show(parsed.expression->GetValue()), "12");
}

TEST(ExprValueTest, ValidValueExpressionTest) {
  EXPECT_TRUE(TKrxExpression::IsValidValueExpression("a + 1"));
  EXPECT_TRUE(TKrxExpression::IsValidValueExpression("UPPER(a) || 'x'"));
  EXPECT_FALSE(TKrxExpression::IsValidValueExpression("a +"));
  EXPECT_FALSE(TKrxExpression::IsValidValueExpression("a b"));
  EXPECT_FALSE(TKrxExpression::IsValidValueExpression("a; b"));
  EXPECT_FALSE(TKrxExpression::IsValidValueExpression(""));
  EXPECT_FALSE(TKrxExpression::IsValidValueExpression("'unterminated"));
  EXPECT_FALSE(TKrxExpression::IsValidValueExpression(":p"));
}

TEST(ExprValueTest, DeepParenthesesParseQuickly) {
  std::string text = "a";
  for (int i = 0; i < 40; ++i) text = "(" + text + ")";
  EXPECT_TRUE(Parse(text + " + 1", false).complete);
  EXPECT_TRUE(Parse(text + " = 1", true).complete);
  std::string condition = "a = 1";
  for (int i = 0; i < 40; ++i) condition = "(" + condition + ")";
  EXPECT_TRUE(Parse(condition + " AND b = 2", true).complete);
}

}  // namespace
}  // namespace krx::test
