// The date functions: the current date and time (SYSDATE, NOW,
// CURRENT_TIMESTAMP, CURRENT_DATE, CURRENT_TIME), TOSTRING(v, format),
// TODATE(s, format) and EXTRACT(part FROM v). The format is parsed once,
// when the node is built.
#pragma once

#include <memory>
#include <string>

#include "KrxDateFormat.h"
#include "KrxExprNode.h"

namespace krx {

enum class TKrxDatePart : uint8_t { Year, Month, Day, Hour, Minute, Second };

class TKrxExprNodeDateFunction : public TKrxExprNode {
 public:
  explicit TKrxExprNodeDateFunction(TKrxExprOp op) : TKrxExprNode(op) {}
  // TOSTRING and TODATE
  TKrxExprNodeDateFunction(TKrxExprOp op, std::string format)
      : TKrxExprNode(op), formatText_(std::move(format)), formater_(std::make_unique<TDateFormater>(formatText_)) {}
  // EXTRACT
  TKrxExprNodeDateFunction(TKrxDatePart part) : TKrxExprNode(eoExtract), part_(part) {}

  const TDateFormater* Formater() const { return formater_.get(); }

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override;
  int32_t ResultSize() const override;
  bool IsConstant() const override;

 private:
  const TKrxVariant& EvaluateToDate(const TKrxVariant& arg);

  std::string formatText_;
  std::unique_ptr<TDateFormater> formater_;
  TKrxDatePart part_ = TKrxDatePart::Year;
  std::string text_;
};

}  // namespace krx
