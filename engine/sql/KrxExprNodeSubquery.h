// A nested query expression inside an expression: a scalar subquery, or the
// right side of IN, EXISTS and ANY/SOME/ALL. The node owns the parsed query;
// the executor attaches a runner before evaluation.
#pragma once

#include <memory>

#include "KrxExprNode.h"

namespace krx {

class TKrxSQLUnion;

class TKrxExprNodeSubquery : public TKrxExprNode {
 public:
  explicit TKrxExprNodeSubquery(std::unique_ptr<TKrxSQLUnion> query);
  ~TKrxExprNodeSubquery() override;

  TKrxSQLUnion* Query() const { return query_.get(); }
  void SetRunner(std::unique_ptr<IKrxSubqueryRunner> runner) { runner_ = std::move(runner); }
  IKrxSubqueryRunner* Runner() const { return runner_.get(); }

  // The scalar value: one column ("Subquery must have only one result
  // field ...") and exactly one row.
  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override;
  int32_t ResultSize() const override;
  bool IsAggregate() const override { return false; }
  bool IsConstant() const override { return false; }

  // Row access for IN, EXISTS and quantified comparisons: Open checks the
  // single column (unless anyColumns) and runs the query.
  void Open(bool anyColumns = false);
  bool Next() { return runner_->Next(); }
  const TKrxVariant& Value() const { return runner_->Value(0); }

 private:
  IKrxSubqueryRunner& Runner();

  std::unique_ptr<TKrxSQLUnion> query_;
  std::unique_ptr<IKrxSubqueryRunner> runner_;
};

}  // namespace krx
