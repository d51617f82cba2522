// CASE and COALESCE.
//   simple CASE   [input, when1, then1, when2, then2 … (, else)]
//   searched CASE [cond1, then1, cond2, then2 … (, else)]
//   COALESCE      [v1, v2 …]
// The result is converted to the promotion of the result branches' types.
#pragma once

#include "KrxExprNode.h"

namespace krx {

enum class TKrxCaseForm : uint8_t { Simple, Searched, Coalesce };

class TKrxExprNodeCase : public TKrxExprNode {
 public:
  TKrxExprNodeCase(TKrxCaseForm form, bool hasElse)
      : TKrxExprNode(form == TKrxCaseForm::Coalesce ? eoCoalesce : eoCase), form_(form), hasElse_(hasElse) {}

  TKrxCaseForm Form() const { return form_; }
  void SetHasElse(bool on) { hasElse_ = on; }

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override;
  int32_t ResultSize() const override;

 private:
  // The child indexes of the results.
  template <typename F>
  void ForEachResult(F&& f) const;
  const TKrxVariant& Result(const TKrxVariant& value);

  TKrxCaseForm form_;
  bool hasElse_;
};

}  // namespace krx
