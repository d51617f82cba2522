#include "ExprTestSupport.h"
#include "KrxExprNodeSubquery.h"

namespace krx::test {
namespace {

using A = TKrxAdvancedType;

// The executor's part: the rows of a nested query.
class FakeSubquery : public IKrxSubqueryRunner {
 public:
  FakeSubquery(int fieldCount, std::vector<TKrxVariant> values) : fieldCount_(fieldCount), values_(std::move(values)) {}

  void Open() override {
    row_ = -1;
    ++opens;
  }
  int FieldCount() const override { return fieldCount_; }
  TKrxAdvancedType FieldType(int) const override { return A::Integer; }
  int32_t FieldSize(int) const override { return 0; }
  bool Next() override { return ++row_ < static_cast<int>(values_.size()); }
  const TKrxVariant& Value(int) const override { return values_[row_]; }

  int opens = 0;

 private:
  int fieldCount_;
  std::vector<TKrxVariant> values_;
  int row_ = -1;
};

std::vector<TKrxVariant> Ints(std::initializer_list<int> values) {
  std::vector<TKrxVariant> out;
  for (int v : values) out.push_back(TKrxVariant::FromInt32(v));
  return out;
}

class ExprSubqueryTest : public ::testing::Test {
 protected:
  ExprSubqueryTest() { row_.Add("fqty", A::Integer, TKrxVariant::FromInt32(3)); }

  // Evaluates text with every subquery answering `values` in `fields`
  // columns.
  std::string Run(const std::string& text, bool condition, int fields, std::initializer_list<int> values) {
    Parsed parsed = Parse(text, condition);
    if (!parsed.complete) return "<no parse>";
    parsed.expression->Bind({&row_});
    const auto subqueries = parsed.expression->Subqueries();
    EXPECT_FALSE(subqueries.empty()) << text;
    for (TKrxExprNodeSubquery* node : subqueries) {
      EXPECT_NE(node->Query(), nullptr);
      node->SetRunner(std::make_unique<FakeSubquery>(fields, Ints(values)));
    }
    return ErrorOr([&] { return Show(parsed.expression->GetValue()); });
  }

  template <typename F>
  static std::string ErrorOr(F&& f) {
    try {
      return f();
    } catch (const EKrxException& e) {
      return KrxFullMessage(e.Message(), e.NativeError());
    }
  }

  FakeRow row_;
};

TEST_F(ExprSubqueryTest, SubqueriesAnswerInExistsAnyAndAll) {
  struct Case {
    const char* text;
    std::initializer_list<int> values;
    const char* expected;
  };
  const Case cases[] = {
      {"fqty IN (SELECT x FROM t)", {1, 3}, "True"},
      {"fqty IN (SELECT x FROM t)", {1, 2}, "False"},
      {"fqty NOT IN (SELECT x FROM t)", {1, 2}, "True"},
      {"fqty IN ((SELECT x FROM t))", {3}, "True"},
      {"EXISTS (SELECT x FROM t)", {7}, "True"},
      {"EXISTS (SELECT x FROM t)", {}, "False"},
      {"NOT EXISTS ((SELECT x FROM t))", {}, "True"},
      {"fqty > ANY (SELECT x FROM t)", {5, 2}, "True"},
      {"fqty > SOME (SELECT x FROM t)", {5, 4}, "False"},
      {"fqty > ALL (SELECT x FROM t)", {1, 2}, "True"},
      {"fqty > ALL (SELECT x FROM t)", {1, 4}, "False"},
      {"fqty > ALL (SELECT x FROM t)", {}, "True"},
      {"fqty = (SELECT x FROM t)", {3}, "True"},
      {"(SELECT x FROM t) < fqty", {2}, "True"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Run(c.text, true, 1, c.values), c.expected) << c.text;
  }
}

TEST_F(ExprSubqueryTest, ScalarSubqueryIsOneColumnAndOneRow) {
  EXPECT_EQ(Run("(SELECT x FROM t) + 1", false, 1, {41}), "42");
  EXPECT_EQ(Run("((SELECT x FROM t))", false, 1, {5}), "5");
  EXPECT_EQ(Run("(SELECT x FROM t)", false, 2, {5}),
            "Subquery must have only one result field, but subquery's FieldCount=2 - Native error: 20246");
  EXPECT_EQ(Run("(SELECT x FROM t)", false, 1, {}), "Subquery must have one row, but it contains 0 rows - Native error: 20249");
  EXPECT_EQ(Run("(SELECT x FROM t)", false, 1, {1, 2}), "Subquery must have only one row - Native error: 20247");
  EXPECT_EQ(Run("fqty IN (SELECT x, y FROM t)", true, 2, {1}),
            "Subquery must have only one result field, but subquery's FieldCount=2 - Native error: 20246");
}

TEST_F(ExprSubqueryTest, SubqueryWithoutRunnerIsRefused) {
  Parsed parsed = Parse("EXISTS (SELECT x FROM t)", true);
  ASSERT_TRUE(parsed.complete);
  EXPECT_EQ(ErrorOf([&] { parsed.expression->IsTrue(); }), "Subquery cannot be evaluated here - Native error: 20605");
}

TEST_F(ExprSubqueryTest, ExistsNeedsItsParentheses) {
  EXPECT_EQ(ErrorOf([&] { Parse("EXISTS SELECT x FROM t", true); }),
            "Token '(' expected, but 'SELECT' found at line 1, column 8 - Native error: 20637");
  // Extra parentheses around the query must all close.
  EXPECT_EQ(ErrorOf([&] { Parse("EXISTS ((SELECT x FROM t) x)", true); }),
            "Missing symbol ')' at line 1, column 27 - Native error: 30492");
}

}  // namespace
}  // namespace krx::test
