#include <set>

#include "ExprTestSupport.h"

namespace krx::test {
namespace {

using A = TKrxAdvancedType;

struct BillRow {
  int id;
  const char* name;  // nullptr for NULL; "" is NULL too
  bool hasQty;
  double qty;
  int year, month, day;  // year 0: NULL date
};

const BillRow kRows[] = {
    {1, "abc", true, 5, 2024, 1, 5},
    {2, nullptr, false, 0, 0, 0, 0},
    {3, "xABCx", true, 0, 2023, 12, 31},
    {4, "", true, -1, 2024, 2, 1},
    {5, "A%", true, 2, 2024, 1, 31},
};

class ExprConditionTest : public ::testing::Test {
 protected:
  ExprConditionTest() {
    row_.Add("fid", A::Integer).Add("fname", A::String).Add("fqty", A::Double).Add("fdate", A::Date);
  }

  void Load(const BillRow& r) {
    row_.Set("fid", TKrxVariant::FromInt32(r.id));
    row_.Set("fname", r.name ? TKrxVariant::FromString(r.name) : TKrxVariant());
    row_.Set("fqty", r.hasQty ? TKrxVariant::FromDouble(r.qty) : TKrxVariant());
    row_.Set("fdate", r.year ? TKrxVariant::FromDate(KrxEncodeDate(r.year, r.month, r.day)) : TKrxVariant());
  }

  // The ids of the rows the condition selects, as "1,3".
  std::string Selected(const std::string& condition) {
    Parsed parsed = Parse(condition, true);
    if (!parsed.complete) return "<no parse>";
    parsed.expression->Bind({&row_});
    std::string ids;
    for (const BillRow& r : kRows) {
      Load(r);
      if (parsed.expression->IsTrue()) ids += (ids.empty() ? "" : ",") + std::to_string(r.id);
    }
    return ids;
  }

  FakeRow row_{"cqsalebill"};
};

struct ConditionCase {
  const char* condition;
  const char* selected;
};

const ConditionCase kCases[] = {
    // An empty string is NULL, and a column against a string constant is
    // not null-strict: = '' finds NULL and empty, <> '' the others.
    {"fname = ''", "2,4"},
    {"fname <> ''", "1,3,5"},
    {"fname = 'abc'", "1"},
    {"fname <> 'abc'", "2,3,4,5"},  // NULL differs from 'abc'
    {"fname > 'b'", "2,3,4"},       // NULL is greater than every value
    // A numeric column against a number is null-strict.
    {"fqty > 0", "1,5"},
    {"fqty = 5", "1"},
    {"fqty <> 5", "3,4,5"},
    {"0 < fqty", "1,5"},
    {"fqty + 1 > 1", "1,5"},
    // A quoted number against a numeric column compares as a number.
    {"fqty = '5.00'", "1"},
    {"fqty > '1'", "1,2,5"},  // against a string constant NULL sorts last
    {"fqty < '10'", "1,3,4,5"},
    {"fid IN ('2', '3')", "2,3"},
    {"1 = 2", ""},
    {"1 = 1", "1,2,3,4,5"},
    {"NULL = NULL", ""},
    {"fname = fname", "1,3,5"},  // column against column is null-strict
    // LIKE, its prefix form and ESCAPE.
    {"fname LIKE '%ABC%'", "3"},
    {"fname LIKE '%abc%'", "1"},
    {"fname LIKE 'a_c'", "1"},
    {"fname LIKE 'ab%'", "1"},
    {"fname NOT LIKE 'ab%'", "2,3,4,5"},
    {"fname LIKE 'A!%' ESCAPE '!'", "5"},
    {"fname LIKE '%'", "1,2,3,4,5"},  // NULL is matched as the empty string
    {"fname NOT LIKE '%B%'", "1,2,4,5"},
    {"UPPER(fname) LIKE '%ABC%'", "1,3"},
    // IS [NOT] NULL, BETWEEN, IN.
    {"fname IS NULL", "2,4"},
    {"fname IS NOT NULL", "1,3,5"},
    {"fqty BETWEEN 0 AND 5", "1,3,5"},
    {"fqty NOT BETWEEN 0 AND 2", "1,4"},
    {"fqty IN (0, -1)", "3,4"},
    {"fqty NOT IN (0, -1)", "1,5"},
    {"fname IN ('abc', 'A%')", "1,5"},
    // Three-valued logic and the IS tests.
    {"NOT (fqty > 0)", "2,3,4"},
    {"fqty > 0 OR fname IS NULL", "1,2,4,5"},
    {"fqty > 0 AND fname = 'abc'", "1"},
    {"fqty > 0 AND fqty < 5 OR fid = 4", "4,5"},
    {"fid = 1 OR fid = 2 AND fqty > 100", "1"},
    {"(fid = 1 OR fid = 2) AND fqty IS NULL", "2"},
    {"(fqty > 0) IS TRUE", "1,5"},
    {"(fqty > 0) IS NOT TRUE", "2,3,4"},
    {"(fqty > 0) IS FALSE", "2,3,4"},
    {"(fqty > 0) IS NOT FALSE", "1,5"},
    {"fqty IS UNKNOWN", "2"},
    {"fqty IS NOT UNKNOWN", "1,3,4,5"},
    {"fqty", "1,4,5"},  // a value as a truth value: 0 and NULL are not true
    {"NOT fqty", "3"},  // NOT of NULL stays NULL
    {"TRUE", "1,2,3,4,5"},
    {"FALSE", ""},
    // Dates formatted for a period filter; a NULL date formats to NULL and
    // sorts above every text.
    {"TOSTRING(fdate,'yyyy-mm-dd')>='2024-01-01'", "1,2,4,5"},
    {"TOSTRING(fdate,'yyyy-mm-dd')>='2024-01-01' and TOSTRING(fdate,'yyyy-mm-dd')<='2024-01-31'", "1,5"},
    {"fdate >= DATE '2024-01-05'", "1,2,4,5"},
    {"EXTRACT(YEAR FROM fdate) = 2023", "3"},
    {"CASE WHEN fqty > 1 THEN 1 ELSE 0 END = 1", "1,5"},
};

TEST_F(ExprConditionTest, SelectsRowsByTheNullAndComparisonRules) {
  for (const ConditionCase& c : kCases) {
    EXPECT_EQ(Selected(c.condition), c.selected) << c.condition;
  }
}

TEST_F(ExprConditionTest, TypedNullComparisonBecomesIsNull) {
  TKrxSQLParams params;
  params.Add("p").SetNull(TKrxStorageType::String);
  Parsed parsed = Parse("fname = :p", true, &params);
  ASSERT_TRUE(parsed.complete);
  EXPECT_EQ(parsed.expression->Root()->Operation(), eoIsNull);
  // The NULL literal is an INTEGER NULL and stays a comparison.
  Parsed literal = Parse("fname = NULL", true);
  ASSERT_TRUE(literal.complete);
  EXPECT_EQ(literal.expression->Root()->Operation(), eoEqual);
  EXPECT_EQ(Selected("fname = NULL"), "");
}

TEST_F(ExprConditionTest, PrefixLikeBecomesPartialComparison) {
  Parsed prefix = Parse("fname LIKE 'ab%'", true);
  ASSERT_TRUE(prefix.complete);
  EXPECT_EQ(prefix.expression->Root()->Operation(), eoEqual);
  EXPECT_TRUE(prefix.expression->Root()->PartialMatch());
  // A % elsewhere, a one-character pattern or an ESCAPE keep LIKE.
  for (const char* text : {"fname LIKE '%ab'", "fname LIKE '%'", "fname LIKE 'a%b%'", "fname LIKE 'ab%' ESCAPE '!'"}) {
    Parsed like = Parse(text, true);
    ASSERT_TRUE(like.complete) << text;
    EXPECT_EQ(like.expression->Root()->Operation(), eoLike) << text;
  }
  // In the prefix form _ is an ordinary character.
  EXPECT_EQ(Selected("fname LIKE 'a_%'"), "");
}

TEST_F(ExprConditionTest, NationalTextComparesAndMatchesWhole) {
  FakeRow row;
  row.Add("fname", A::String, TKrxVariant::FromString(KrxUtf8ToGb("电缆YJV")));
  auto holds = [&](const char* condition) {
    Parsed parsed = Parse(condition, true);
    EXPECT_TRUE(parsed.complete) << condition;
    if (!parsed.complete) return false;
    parsed.expression->Bind({&row});
    return parsed.expression->IsTrue();
  };
  EXPECT_TRUE(holds("fname LIKE '电缆%'"));
  EXPECT_TRUE(holds("fname LIKE '__YJV'"));
  EXPECT_FALSE(holds("fname LIKE '___YJV'"));
  EXPECT_TRUE(holds("fname = '电缆YJV'"));
  EXPECT_TRUE(holds("UPPER(fname) = '电缆YJV'"));
  EXPECT_TRUE(holds("LENGTH(fname) = 7"));
}

TEST_F(ExprConditionTest, NonStringLikeOperandIsRefused) {
  Parsed parsed = Parse("fqty LIKE '%1'", true);
  ASSERT_TRUE(parsed.complete);
  parsed.expression->Bind({&row_});
  Load(kRows[0]);
  EXPECT_EQ(ErrorOf([&] { parsed.expression->IsTrue(); }), "Not string argument in function 'LIKE' - Native error: 30120");
}

TEST_F(ExprConditionTest, BindingFindsColumnsAcrossSources) {
  FakeRow bills("b");
  bills.Add("FInterID", A::Integer, TKrxVariant::FromInt32(1)).Add("FName", A::String);
  FakeRow customers("c");
  customers.Add("FInterID", A::Integer, TKrxVariant::FromInt32(2)).Add("FCode", A::String);

  Parsed qualified = Parse("b.FInterID < c.finterid", true);
  ASSERT_TRUE(qualified.complete);
  qualified.expression->Bind({&bills, &customers});
  EXPECT_TRUE(qualified.expression->IsTrue());

  Parsed ambiguous = Parse("FInterID = 1", true);
  EXPECT_EQ(ErrorOf([&] { ambiguous.expression->Bind({&bills, &customers}); }),
            "Ambiguous field reference to 'FInterID' - Native error: 10404");
  Parsed missing = Parse("c.FName = 'x'", true);
  EXPECT_FALSE(missing.expression->CanBind({&bills, &customers}));
  EXPECT_TRUE(missing.expression->CanBind({&bills}) == false);
  EXPECT_EQ(ErrorOf([&] { missing.expression->Bind({&bills, &customers}); }),
            "Field 'c.FName' not found - Native error: 21150");
  Parsed one = Parse("FCode = 'x'", true);
  EXPECT_FALSE(one.expression->CanBind({&bills}));
  EXPECT_TRUE(one.expression->CanBind({&bills, &customers}));
}

TEST_F(ExprConditionTest, AliasesStandForTheirColumns) {
  Parsed parsed = Parse("n = 'abc' AND x.n IS NULL AND t.n > 'a'", true);
  ASSERT_TRUE(parsed.complete);
  KrxSubstituteAliases(*parsed.expression, {{"n", "t", "fname"}});
  std::vector<std::string> names;
  for (TKrxExprNodeField* field : parsed.expression->Fields()) names.push_back(field->DisplayName());
  EXPECT_EQ(names, (std::vector<std::string>{"t.fname", "x.n", "t.fname"}));
}

}  // namespace
}  // namespace krx::test
