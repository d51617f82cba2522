// The six comparisons [left, right], plain or against ANY/SOME/ALL of a
// subquery's single column (right is then the subquery node). Always true or
// false, never NULL: with the null-strict flag any NULL makes it false,
// without it NULL equals NULL and sorts above every value.
#pragma once

#include "KrxExprNode.h"

namespace krx {

enum class TKrxQuantifier : uint8_t { None, Any, All };

class TKrxExprNodeComparison : public TKrxExprNode {
 public:
  TKrxExprNodeComparison(TKrxExprOp op, TKrxQuantifier quantifier = TKrxQuantifier::None)
      : TKrxExprNode(op), quantifier_(quantifier) {}

  TKrxQuantifier Quantifier() const { return quantifier_; }
  bool NullStrict() const { return nullStrict_; }
  void SetNullStrict(bool on) { nullStrict_ = on; }

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override { return TKrxAdvancedType::Boolean; }
  int32_t ResultSize() const override { return 0; }

 private:
  bool Holds(const TKrxVariant& left, const TKrxVariant& right) const;

  TKrxQuantifier quantifier_;
  bool nullStrict_ = true;
};

}  // namespace krx
