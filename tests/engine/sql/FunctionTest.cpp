#include "ExprTestSupport.h"

namespace krx::test {
namespace {

using A = TKrxAdvancedType;

FakeRow FunctionRow() {
  FakeRow row;
  row.Add("s", A::String, TKrxVariant::FromString("  a b  "))
      .Add("cn", A::String, TKrxVariant::FromString(KrxUtf8ToGb("电缆Abc")))
      .Add("w", A::WideString, TKrxVariant::FromWideString(u"电缆Abc"))
      .Add("n", A::String)
      .Add("d", A::Date, TKrxVariant::FromDate(KrxEncodeDate(2024, 1, 5)))
      .Add("dn", A::Date)
      .Add("ts", A::DateTime, TKrxVariant::FromTimeStamp({KrxEncodeDate(2024, 3, 9), KrxEncodeTime(14, 7, 9, 0)}))
      .Add("x", A::Double, TKrxVariant::FromDouble(-2.5))
      .Add("i", A::Integer, TKrxVariant::FromInt32(-7));
  return row;
}

struct FunctionCase {
  const char* text;
  const char* expected;
};

const FunctionCase kCases[] = {
    // String functions; narrow strings count bytes, a Chinese character 2.
    {"UPPER('abc') || LOWER('XyZ')", "ABCxyz"},
    {"UPPER(cn)", "电缆ABC"},
    {"LOWER(cn)", "电缆abc"},
    {"UPPER('éàü电')", "ÉÀÜ电"},  // accented letters change, Chinese stays
    {"UPPER(w)", "电缆ABC"},
    {"TRIM(s)", "a b"},
    {"LTRIM(s) || '|'", "a b  |"},
    {"RTRIM(s) || '|'", "  a b|"},
    {"LENGTH(cn)", "7"},
    {"LENGTH(w)", "5"},  // wide strings count UTF-16 units
    {"LENGTH('abc')", "3"},
    {"POS('缆', cn)", "3"},
    {"POSITION('Abc' IN cn)", "5"},
    {"POS('z', cn)", "0"},
    {"POS('b', w)", "4"},
    {"SUBSTRING('abcdef', 2, 3)", "bcd"},
    {"SUBSTRING('abcdef' FROM 3)", "cdef"},
    {"SUBSTRING('abcdef' FROM 5 FOR 10)", "ef"},
    {"SUBSTRING(cn, 3, 2)", "缆"},
    {"SUBSTRING(cn, 1, 3)", "电"},  // never half a character
    {"SUBSTRING(w, 2, 1)", "缆"},
    {"UPPER(n)", "NULL"},
    {"LENGTH(n)", "NULL"},
    {"SUBSTRING(n, 1, 2)", "NULL"},
    {"POS(n, 'abc')", "NULL"},
    // Date functions.
    {"TOSTRING(d, 'yyyy-mm-dd')", "2024-01-05"},
    {"TOSTRING(d FROM 'dd/mm/yy')", "05/01/24"},
    {"TOSTRING(ts, 'hh24:nn:ss AMPM')", "14:07:09 PM"},
    {"TOSTRING(ts, 'yyyy年m月d日')", "2024年3月9日"},
    {"TOSTRING(dn, 'yyyy-mm-dd')", "NULL"},
    {"TOSTRING('2024-01-05', 'dd.mm.yyyy')", "05.01.2024"},
    {"EXTRACT(YEAR FROM ts)", "2024"},
    {"EXTRACT(MONTH FROM ts)", "3"},
    {"EXTRACT(DAY FROM ts)", "9"},
    {"EXTRACT(HOUR FROM ts)", "14"},
    {"EXTRACT(MINUTE FROM ts)", "7"},
    {"EXTRACT(SECOND FROM ts)", "9"},
    {"EXTRACT(YEAR FROM dn)", "NULL"},
    {"TODATE('05.01.2024', 'dd.mm.yyyy')", "2024-01-05"},
    {"TODATE('14:30', 'hh24:nn')", "14:30:00"},
    {"TODATE('2024-01-05 14:30', 'yyyy-mm-dd hh24:nn')", "2024-01-05 14:30:00"},
    // Math functions.
    {"ABS(x)", "2.5"},
    {"ABS(i)", "7"},
    {"SQR(i)", "49"},
    {"SQRT(16)", "4"},
    {"POWER(2, 10)", "1024"},
    {"CEIL(1.2)", "2"},
    {"FLOOR(-1.5)", "-2"},
    {"SIGN(i)", "-1"},
    {"SIGN(0)", "0"},
    {"EXP(0)", "1"},
    {"LOG(EXP(2))", "2"},
    {"COS(0) + SIN(0)", "1"},
    {"ROUND(2.5)", "3"},
    {"ROUND(-2.5)", "-3"},
    {"ROUND(2.675, 2)", "2.68"},
    {"ROUND(1234.5, -2)", "1200"},
    {"ROUND(2.5, 0, HALFEVEN)", "2"},
    {"ROUND(3.5, 0, HALFEVEN)", "4"},
    {"ROUND(-2.5, 0, HALFPOS)", "-2"},
    {"ROUND(2.5, 0, HALFNEG)", "2"},
    {"ROUND(2.5, 0, HALFDOWN)", "2"},
    {"ROUND(-2.5, 0, HALFUP)", "-3"},
    {"ROUND(2.71, 1, RNDNEG)", "2.7"},
    {"ROUND(2.71, 1, RNDPOS)", "2.8"},
    {"ROUND(-2.79, 1, RNDDOWN)", "-2.7"},
    {"ROUND(-2.71, 1, RNDUP)", "-2.8"},
    {"ABS(n)", "NULL"},
    {"RAND(1)", "0"},
};

TEST(FunctionTest, EvaluatesBuiltInFunctions) {
  const FakeRow row = FunctionRow();
  for (const FunctionCase& c : kCases) {
    Parsed parsed = Parse(c.text, false);
    ASSERT_TRUE(parsed.complete) << c.text;
    parsed.expression->Bind({&row});
    EXPECT_EQ(Show(parsed.expression->GetValue()), c.expected) << c.text;
  }
}

TEST(FunctionTest, ResultTypesFollowTheFunction) {
  struct TypeCase {
    const char* text;
    A type;
  };
  const TypeCase cases[] = {
      {"ABS(i)", A::Integer},          {"ABS(x)", A::Double},     {"SQR(i)", A::Integer},
      {"CEIL(x)", A::Integer},         {"FLOOR(x)", A::Integer},  {"SIGN(x)", A::Integer},
      {"RAND(10)", A::Integer},        {"ROUND(x)", A::Integer},  {"ROUND(x, 1)", A::Double},
      {"SQRT(4)", A::Double},          {"POWER(2, 3)", A::Double}, {"LENGTH(cn)", A::Integer},
      {"POS('a', cn)", A::Integer},    {"UPPER(cn)", A::String},  {"UPPER(w)", A::WideString},
      {"TOSTRING(d, 'yyyy')", A::String}, {"EXTRACT(DAY FROM d)", A::Integer},
      {"TODATE('1', 'd')", A::Date},   {"TODATE('1', 'hh')", A::Time}, {"TODATE('1 1', 'd hh')", A::DateTime},
      {"SYSDATE", A::DateTime},        {"NOW", A::DateTime},      {"CURRENT_TIMESTAMP", A::DateTime},
      {"CURRENT_DATE", A::Date},       {"CURRENT_TIME", A::Time}, {"CAST(i AS SMALLINT)", A::SmallInt},
      {"ROWNUM", A::Integer},
  };
  const FakeRow row = FunctionRow();
  for (const TypeCase& c : cases) {
    Parsed parsed = Parse(c.text, false);
    ASSERT_TRUE(parsed.complete) << c.text;
    parsed.expression->Bind({&row});
    EXPECT_EQ(parsed.expression->ResultType(), c.type) << c.text;
  }
}

TEST(FunctionTest, CurrentDateAndTimeAreNow) {
  Parsed date = Parse("CURRENT_DATE", false);
  Parsed stamp = Parse("NOW()", false);
  ASSERT_TRUE(date.complete);
  ASSERT_TRUE(stamp.complete);
  const int32_t today = KrxNow().date;
  const TKrxVariant& d = date.expression->GetValue();
  // Around midnight the two readings may fall on different days.
  EXPECT_LE(std::abs(d.AsDate() - today), 1);
  EXPECT_LE(std::abs(stamp.expression->GetValue().AsTimeStamp().date - today), 1);
}

class Runtime : public IKrxExprRuntime {
 public:
  int64_t RowNumber() const override { return 42; }
  int64_t LastAutoIncValue(const std::string& table, bool inMemory, const std::string& column) override {
    asked = table + (inMemory ? " MEMORY " : " ") + column;
    return 1001;
  }
  std::string asked;
};

TEST(FunctionTest, RowNumberAndLastAutoIncComeFromTheRunningStatement) {
  Runtime runtime;
  Parsed parsed = Parse("ROWNUM * 10 + LASTAUTOINC(cqsalebill MEMORY, FInterID)", false);
  ASSERT_TRUE(parsed.complete);
  parsed.expression->SetRuntime(&runtime);
  EXPECT_EQ(Show(parsed.expression->GetValue()), "1421");
  EXPECT_EQ(runtime.asked, "cqsalebill MEMORY FInterID");
  Parsed alone = Parse("LASTAUTOINC(t, c)", false);
  EXPECT_EQ(ErrorOf([&] { alone.expression->GetValue(); }), "LASTAUTOINC cannot be evaluated here - Native error: 20606");
}

}  // namespace
}  // namespace krx::test
