// A constant: a literal, a parameter's value or a folded value.
#pragma once

#include "KrxExprNode.h"

namespace krx {

class TKrxExprNodeConst : public TKrxExprNode {
 public:
  explicit TKrxExprNodeConst(const TKrxVariant& value, TKrxAdvancedType type = TKrxAdvancedType::Unknown)
      : TKrxExprNode(eoConst), type_(type == TKrxAdvancedType::Unknown ? KrxAdvancedTypeOfStorage(value.Type()) : type) {
    value_ = value;
  }

  const TKrxVariant& Evaluate() override { return value_; }
  const TKrxVariant& Value() const { return value_; }
  TKrxAdvancedType ResultType() const override { return type_; }
  int32_t ResultSize() const override;
  bool IsConstant() const override { return true; }

 private:
  TKrxAdvancedType type_;
};

}  // namespace krx
