#include "KrxExprNodeComparison.h"

#include "KrxCompare.h"
#include "KrxExprNodeSubquery.h"

namespace krx {

bool TKrxExprNodeComparison::Holds(const TKrxVariant& left, const TKrxVariant& right) const {
  TKrxNullSide nulls;
  const int order = KrxExprCompare(left, right, caseInsensitive_, partialMatch_, nulls);
  return KrxComparisonHolds(op_, order, nulls, nullStrict_);
}

const TKrxVariant& TKrxExprNodeComparison::Evaluate() {
  const TKrxVariant& left = children_[0]->Evaluate();
  bool result;
  if (quantifier_ == TKrxQuantifier::None) {
    result = Holds(left, children_[1]->Evaluate());
  } else {
    auto& subquery = static_cast<TKrxExprNodeSubquery&>(*children_[1]);
    subquery.Open();
    // ANY: some row satisfies; ALL: no row fails (true for no rows).
    result = quantifier_ == TKrxQuantifier::All;
    while (subquery.Next()) {
      if (Holds(left, subquery.Value()) != result) {
        result = !result;
        break;
      }
    }
  }
  value_.SetBoolean(result);
  return value_;
}

}  // namespace krx
