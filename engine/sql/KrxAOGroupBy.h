// Grouping: rows of the input with equal GROUP BY values form a group (the
// whole input is one group when there are no GROUP BY columns); the
// aggregates of the items are fed every row of the group, and the other
// items take the group's values. Groups come out in the order of their
// GROUP BY values. The GROUP BY columns follow the items as hidden columns.
#pragma once

#include <memory>
#include <vector>

#include "KrxAOTableExpr.h"

namespace krx {

class TKrxAOGroupBy : public TKrxAO {
 public:
  TKrxAOGroupBy(std::unique_ptr<TKrxAO> input, std::vector<TKrxAOItem> items, std::vector<int> groupColumns,
                TKrxExecRuntime* runtime);

  // HAVING, bound to the input; judged once per group after its rows.
  void SetHaving(TKrxExpression* having) { having_ = having; }

 protected:
  void Run(TKrxExecSession& session) override;

 private:
  std::vector<TKrxAOItem> items_;
  std::vector<int> groupColumns_;
  TKrxExpression* having_ = nullptr;
  TKrxExecRuntime* runtime_;
};

}  // namespace krx
