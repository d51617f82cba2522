// Truth-valued operators in three-valued logic (NULL = unknown):
//   NOT [x] · AND [x…] · OR [x…] · truth [value]
//   IN [operand, v1, v2 …] or [operand, subquery] · EXISTS [subquery]
//   BETWEEN [operand, low, high] · LIKE [operand, pattern (, escape)]
//   IS NULL [operand]
// The negated flag gives NOT IN, NOT BETWEEN, NOT LIKE and IS NOT NULL.
#pragma once

#include <string>

#include "KrxExprNode.h"
#include "KrxLike.h"

namespace krx {

class TKrxExprNodeBoolean : public TKrxExprNode {
 public:
  explicit TKrxExprNodeBoolean(TKrxExprOp op, bool negated = false) : TKrxExprNode(op), negated_(negated) {}

  bool Negated() const { return negated_; }
  // BETWEEN and IN compare null-strictly unless told otherwise.
  void SetNullStrict(bool on) { nullStrict_ = on; }

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override { return TKrxAdvancedType::Boolean; }
  int32_t ResultSize() const override { return 0; }

 private:
  // Each returns 1 true, 0 false, -1 unknown.
  int EvaluateAnd();
  int EvaluateOr();
  int EvaluateIn();
  int EvaluateBetween();
  int EvaluateLike();
  bool Holds(TKrxExprOp op, const TKrxVariant& a, const TKrxVariant& b) const;

  bool negated_;
  bool nullStrict_ = true;
  // LIKE with a constant pattern compiles it once.
  bool patternCompiled_ = false;
  bool patternWide_ = false;
  TKrxLikePattern narrowPattern_;
  TKrxWideLikePattern widePattern_;
  std::string valueBuffer_;
};

}  // namespace krx
