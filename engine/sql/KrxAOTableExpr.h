// Projection: computes the select items of its input row by row. Output
// columns are the items; every input column follows as a hidden column, so a
// sort can use columns the list does not show. With DISTINCT a row whose
// items all equal those of an earlier row is dropped (the first one stays,
// with its hidden values).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "KrxAO.h"

namespace krx {

class TKrxExpression;
class TKrxExecRuntime;

// One select item as an operator computes it: an input column or an
// expression bound to the input.
struct TKrxAOItem {
  std::string name;
  std::string qualifier;
  int inputColumn = -1;
  TKrxExpression* expression = nullptr;
};

class TKrxAOTableExpr : public TKrxAO {
 public:
  TKrxAOTableExpr(std::unique_ptr<TKrxAO> input, std::vector<TKrxAOItem> items, bool distinct,
                  TKrxExecRuntime* runtime);

  const std::vector<TKrxAOItem>& Items() const { return items_; }

 protected:
  bool FiltersInRun() const override { return true; }
  void Run(TKrxExecSession& session) override;

 private:
  std::vector<TKrxAOItem> items_;
  bool distinct_;
  TKrxExecRuntime* runtime_;
};

// The type and size of an item over its input.
void KrxDescribeItem(const TKrxAOItem& item, const TKrxAO& input, TKrxAOColumn& column);

}  // namespace krx
