// CAST(v AS type [(size)]): the value converted to the type; a string is cut
// to the size (never inside a national character).
#pragma once

#include "KrxExprNode.h"

namespace krx {

class TKrxExprNodeCast : public TKrxExprNode {
 public:
  TKrxExprNodeCast(TKrxAdvancedType type, int32_t size) : TKrxExprNode(eoCast), type_(type), size_(size) {}

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override { return type_; }
  int32_t ResultSize() const override;

 private:
  TKrxAdvancedType type_;
  int32_t size_;
};

}  // namespace krx
