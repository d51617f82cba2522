#include "ExprTestSupport.h"

namespace krx::test {
namespace {

using A = TKrxAdvancedType;

class ExprAggregateTest : public ::testing::Test {
 protected:
  ExprAggregateTest() {
    row_.Add("fname", A::String).Add("fqty", A::Integer).Add("fprice", A::Double);
  }

  // Feeds a group of rows (name, quantity or NULL, price) and evaluates.
  std::string Aggregate(const std::string& text, bool feed = true) {
    Parsed parsed = Parse(text, false);
    if (!parsed.complete) return "<no parse>";
    parsed.expression->Bind({&row_});
    EXPECT_TRUE(parsed.expression->IsAggregate()) << text;
    // Two groups in a row: the second must not see the first.
    for (int group = 0; group < 2; ++group) {
      parsed.expression->ResetAggregates();
      if (!feed) continue;
      struct Row {
        const char* name;
        bool hasQty;
        int qty;
        double price;
      };
      const Row rows[] = {{"b", true, 3, 1.5}, {nullptr, false, 0, 2.0}, {"A", true, 4, 0.25}, {"c", true, 3, 4.0}};
      for (const Row& r : rows) {
        row_.Set("fname", r.name ? TKrxVariant::FromString(r.name) : TKrxVariant());
        row_.Set("fqty", r.hasQty ? TKrxVariant::FromInt32(r.qty) : TKrxVariant());
        row_.Set("fprice", TKrxVariant::FromDouble(r.price));
        parsed.expression->AccumulateAggregates();
      }
    }
    type_ = parsed.expression->ResultType();
    return Show(parsed.expression->GetValue());
  }

  FakeRow row_;
  A type_ = A::Unknown;
};

TEST_F(ExprAggregateTest, AggregatesSkipNullsAndKeepTheirTypes) {
  struct Case {
    const char* text;
    const char* expected;
    A type;
  };
  const Case cases[] = {
      {"COUNT(*)", "4", A::Integer},
      {"COUNT(fqty)", "3", A::Integer},
      {"COUNT(DISTINCT fqty)", "3", A::Integer},  // DISTINCT changes nothing
      {"SUM(fqty)", "10", A::LargeInt},
      {"SUM(DISTINCT fqty)", "10", A::LargeInt},
      {"SUM(fprice)", "7.75", A::Double},
      {"AVG(fqty)", "3.33333333333333", A::Double},
      {"AVG(fprice)", "1.9375", A::Double},
      {"MIN(fqty)", "3", A::Integer},
      {"MAX(fprice)", "4", A::Double},
      // Text compares case-insensitively: A < b < c.
      {"MIN(fname)", "A", A::String},
      {"MAX(fname)", "c", A::String},
      {"SUM(fqty) * 2 + COUNT(*)", "24", A::LargeInt},
      {"SUM(fqty * fprice)", "17.5", A::Double},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Aggregate(c.text), c.expected) << c.text;
    EXPECT_EQ(type_, c.type) << c.text;
  }
}

TEST_F(ExprAggregateTest, EmptyGroupGivesNullAndZeroCount) {
  EXPECT_EQ(Aggregate("COUNT(*)", false), "0");
  EXPECT_EQ(Aggregate("COUNT(fqty)", false), "0");
  for (const char* text : {"SUM(fqty)", "AVG(fqty)", "MIN(fqty)", "MAX(fname)"}) {
    EXPECT_EQ(Aggregate(text, false), "NULL") << text;
  }
}

TEST_F(ExprAggregateTest, NonNumericSumAndAverageAreRefused) {
  EXPECT_EQ(ErrorOf([&] { Aggregate("SUM(fname)"); }), "Not numeric argument in numeric operator 'SUM' - Native error: 30132");
  EXPECT_EQ(ErrorOf([&] { Aggregate("AVG(fname)"); }), "Not numeric argument in numeric operator 'AVG' - Native error: 30133");
}

TEST_F(ExprAggregateTest, PlainExpressionsAreNotAggregates) {
  Parsed parsed = Parse("fqty + 1", false);
  ASSERT_TRUE(parsed.complete);
  EXPECT_FALSE(parsed.expression->IsAggregate());
}

}  // namespace
}  // namespace krx::test
