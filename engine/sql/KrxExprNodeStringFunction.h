// Concatenation (|| or + in a string expression) and the string functions
// UPPER, LOWER, TRIM, LTRIM, RTRIM, LENGTH, POS and SUBSTRING.
//
// Narrow strings count bytes (a GBK Chinese character counts 2), wide
// strings UTF-16 units. POS finds only whole characters, and SUBSTRING never
// returns half a national character: a start inside one moves to the next
// character, an end inside one drops it. A NULL argument gives NULL.
#pragma once

#include <string>

#include "KrxExprNode.h"

namespace krx {

class TKrxExprNodeStringFunction : public TKrxExprNode {
 public:
  explicit TKrxExprNodeStringFunction(TKrxExprOp op) : TKrxExprNode(op) {}

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override;
  int32_t ResultSize() const override;

 private:
  const TKrxVariant& EvaluateConcat();
  const TKrxVariant& EvaluateCaseOrTrim(const TKrxVariant& arg);
  const TKrxVariant& EvaluatePos();
  const TKrxVariant& EvaluateSubstring(const TKrxVariant& arg);

  std::string narrow_;
  std::u16string wide_;
};

// The 1-based byte position of `sub` in `text` at a character boundary; 0
// when absent.
int64_t KrxFindWholeCharacters(std::string_view text, std::string_view sub);

}  // namespace krx
