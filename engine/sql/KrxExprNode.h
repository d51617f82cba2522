// Expression trees: the base of every node, and the three small interfaces
// through which a tree meets the query executor.
//
// - IKrxRowSource: what column references read. The executor's operators
//   (and cursors) implement it; binding looks every column reference up in
//   a list of sources, and evaluation then reads the bound source's current
//   row. Tests implement it with a fake row.
// - IKrxSubqueryRunner: runs a nested query expression for the current outer
//   row and hands out its rows. The executor attaches one to every subquery
//   node before evaluation (TKrxExpression::Subqueries()).
// - IKrxExprRuntime: the values that depend on the running statement
//   (ROWNUM, LASTAUTOINC).
//
// A node evaluates into its own variant and returns a reference to it (or to
// the bound column's value), so evaluation allocates nothing per row beyond
// what string results need. Truth values are BOOLEAN variants; NULL means
// unknown.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KrxDataTypes.h"
#include "KrxVariant.h"

namespace krx {

// Operation codes. 1-6 and the function codes are part of the language.
enum TKrxExprOp : int16_t {
  eoNone = 0,
  eoEqual = 1,
  eoNotEqual = 2,
  eoGreater = 3,
  eoLess = 4,
  eoGreaterEqual = 5,
  eoLessEqual = 6,
  eoAnd = 7,
  eoOr = 8,
  eoNot = 9,
  eoIn = 10,
  eoExists = 11,
  eoBetween = 12,
  eoLike = 13,
  eoIsNull = 14,
  eoSum = 15,
  eoNegate = 16,
  eoMultiply = 17,
  eoDivide = 18,
  eoConcat = 19,
  eoConst = 20,
  eoField = 21,
  eoCast = 22,
  eoCase = 23,
  eoCoalesce = 24,
  eoTruth = 25,  // a value used as a truth value
  eoUpper = 26,
  eoLower = 27,
  eoTrim = 28,
  eoLTrim = 29,
  eoRTrim = 30,
  eoLength = 31,
  eoPos = 32,
  eoSubstring = 33,
  eoAggSum = 34,
  eoAggAvg = 35,
  eoAggMin = 36,
  eoAggMax = 37,
  eoAggCount = 38,
  eoAggCountAll = 39,
  eoSysDate = 40,
  eoCurrentDate = 41,
  eoCurrentTime = 42,
  eoToDate = 43,
  eoToString = 44,
  eoExtract = 45,
  eoSubquery = 46,
  eoLastAutoInc = 47,
  eoMimeToBin = 48,
  eoRowNum = 49,
  eoAbs = 50,
  eoAcos = 51,
  eoAsin = 52,
  eoAtan = 53,
  eoCeil = 54,
  eoCos = 55,
  eoExp = 56,
  eoFloor = 57,
  eoLog = 58,
  eoPower = 59,
  eoRand = 60,
  eoRound = 61,
  eoSign = 62,
  eoSin = 63,
  eoSqr = 64,
  eoSqrt = 65,
};

class IKrxRowSource {
 public:
  virtual ~IKrxRowSource() = default;
  // How many columns answer to [qualifier.]name (names compare without
  // regard to case; an empty qualifier matches any); `column` receives the
  // first.
  virtual int FindColumn(std::string_view qualifier, std::string_view name, int& column) const = 0;
  virtual TKrxAdvancedType ColumnType(int column) const = 0;
  virtual int32_t ColumnSize(int column) const = 0;
  // The column's value in the current row.
  virtual const TKrxVariant& ColumnValue(int column) const = 0;
};

class IKrxSubqueryRunner {
 public:
  virtual ~IKrxSubqueryRunner() = default;
  // Runs (or rewinds) the query for the current outer row; the first Next
  // then moves to its first row.
  virtual void Open() = 0;
  virtual int FieldCount() const = 0;
  virtual TKrxAdvancedType FieldType(int column) const = 0;
  virtual int32_t FieldSize(int column) const = 0;
  // Moves to the next row; false after the last.
  virtual bool Next() = 0;
  virtual const TKrxVariant& Value(int column) const = 0;
};

class IKrxExprRuntime {
 public:
  virtual ~IKrxExprRuntime() = default;
  // The 1-based number of the result row being produced.
  virtual int64_t RowNumber() const = 0;
  // The last autoincrement value the session gave `column` of `table`.
  virtual int64_t LastAutoIncValue(const std::string& table, bool inMemory, const std::string& column) = 0;
};

class TKrxExprNode {
 public:
  explicit TKrxExprNode(TKrxExprOp op) : op_(op) {}
  virtual ~TKrxExprNode() = default;
  TKrxExprNode(const TKrxExprNode&) = delete;
  TKrxExprNode& operator=(const TKrxExprNode&) = delete;

  TKrxExprOp Operation() const { return op_; }
  size_t ChildCount() const { return children_.size(); }
  TKrxExprNode& Child(size_t index) const { return *children_[index]; }
  void AddChild(std::unique_ptr<TKrxExprNode> child) { children_.push_back(std::move(child)); }
  std::unique_ptr<TKrxExprNode>& ChildSlot(size_t index) { return children_[index]; }

  // The node's value for the current row.
  virtual const TKrxVariant& Evaluate() = 0;
  // The advanced type of the value; a node with children gives the
  // promotion of their types ("Cannot determine expression type" when none).
  virtual TKrxAdvancedType ResultType() const;
  virtual int32_t ResultSize() const;
  // True when the node or a child is an aggregate.
  virtual bool IsAggregate() const;
  // Aggregates: start a group, take the current row.
  virtual void ResetAggregates();
  virtual void AccumulateAggregates();
  // True when the value depends on no row, no query and no clock.
  virtual bool IsConstant() const;

  bool CaseInsensitive() const { return caseInsensitive_; }
  void SetCaseInsensitive(bool on) { caseInsensitive_ = on; }
  bool PartialMatch() const { return partialMatch_; }
  void SetPartialMatch(bool on) { partialMatch_ = on; }

  // Calls f on this node and every descendant, parents first.
  template <typename F>
  void ForEach(F&& f) {
    f(*this);
    for (auto& child : children_) child->ForEach(f);
  }

 protected:
  // The promotion of the children's result types from `first` on.
  TKrxAdvancedType PromotedChildType(size_t first = 0) const;

  TKrxExprOp op_;
  std::vector<std::unique_ptr<TKrxExprNode>> children_;
  TKrxVariant value_;
  bool caseInsensitive_ = false;
  bool partialMatch_ = false;
};

using TKrxExprNodePtr = std::unique_ptr<TKrxExprNode>;

// The storage type that carries values of an advanced type.
TKrxStorageType KrxExprStorageOf(TKrxAdvancedType type);

}  // namespace krx
