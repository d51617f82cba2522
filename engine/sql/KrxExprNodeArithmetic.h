// Numbers: the sum (all terms of a run of + and - in one list, each term
// with its sign), negation, product, quotient, and the math functions
// ABS … SQRT, POWER and ROUND.
//
// A sum adds term by term: a NULL term leaves a string sum unchanged and
// makes any other sum NULL; a NULL sum so far takes a string term and stays
// NULL otherwise; two values meet in their promoted type and are
// concatenated (strings) or added (numbers; days added to dates).
#pragma once

#include <vector>

#include "KrxExprNode.h"

namespace krx {

enum class TKrxRoundMode : uint8_t {
  HalfUp,    // half away from zero (the default)
  HalfEven,
  HalfPos,   // half towards +infinity
  HalfNeg,   // half towards -infinity
  HalfDown,  // half towards zero
  RndNeg,    // floor
  RndPos,    // ceiling
  RndDown,   // towards zero
  RndUp,     // away from zero
};

class TKrxExprNodeArithmetic : public TKrxExprNode {
 public:
  explicit TKrxExprNodeArithmetic(TKrxExprOp op) : TKrxExprNode(op) {}

  // A term of a sum; subtract for a term after '-'.
  void AddTerm(TKrxExprNodePtr term, bool subtract);
  bool IsSubtracted(size_t index) const { return index < subtracted_.size() && subtracted_[index]; }
  void SetRoundMode(TKrxRoundMode mode) { roundMode_ = mode; }

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override;

 private:
  const TKrxVariant& EvaluateSum();
  const TKrxVariant& EvaluateProduct();
  const TKrxVariant& EvaluateMath();

  std::vector<bool> subtracted_;
  TKrxRoundMode roundMode_ = TKrxRoundMode::HalfUp;
};

// The sum rule above, for sums and concatenations: acc ± value into acc.
void KrxExprAddValue(TKrxVariant& acc, const TKrxVariant& value, bool subtract);

// Rounds x to `digits` decimals (negative: to tens, hundreds …).
long double KrxRoundNumber(long double x, int digits, TKrxRoundMode mode);

}  // namespace krx
