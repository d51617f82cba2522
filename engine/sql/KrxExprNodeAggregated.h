// COUNT(*), COUNT(v), SUM, AVG, MIN and MAX. The executor resets the node at
// the start of a group, accumulates it once per row and then evaluates it.
// NULL values are skipped; with none left SUM, AVG, MIN and MAX give NULL and
// COUNT 0. DISTINCT is accepted and does not change the result.
#pragma once

#include "KrxExprNode.h"

namespace krx {

class TKrxExprNodeAggregated : public TKrxExprNode {
 public:
  TKrxExprNodeAggregated(TKrxExprOp op, bool distinct) : TKrxExprNode(op), distinct_(distinct) {}

  bool Distinct() const { return distinct_; }

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override;
  int32_t ResultSize() const override;
  bool IsAggregate() const override { return true; }
  bool IsConstant() const override { return false; }
  void ResetAggregates() override;
  void AccumulateAggregates() override;

 private:
  bool distinct_;
  int64_t count_ = 0;
  TKrxVariant running_;   // sum, minimum or maximum so far
  long double average_ = 0;  // AVG adds as floating point
};

}  // namespace krx
