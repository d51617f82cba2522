// MIMETOBIN('text'): a BLOB decoded from base64 (MIME) text, once, when the
// node is built.
#pragma once

#include <string_view>

#include "KrxExprNode.h"

namespace krx {

class TKrxExprNodeBlob : public TKrxExprNode {
 public:
  // Raises "Invalid MIME encoded text for MIMETOBIN" for text that is not
  // base64.
  explicit TKrxExprNodeBlob(std::string_view mimeText);

  const TKrxVariant& Evaluate() override { return value_; }
  TKrxAdvancedType ResultType() const override { return TKrxAdvancedType::Blob; }
  int32_t ResultSize() const override { return 0; }
  bool IsConstant() const override { return true; }
};

}  // namespace krx
