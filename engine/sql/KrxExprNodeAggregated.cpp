#include "KrxExprNodeAggregated.h"

#include "KrxCompare.h"
#include "KrxException.h"
#include "KrxExprNodeArithmetic.h"
#include "KrxFunctions.h"
#include "KrxParserErrors.h"

namespace krx {

namespace {

using A = TKrxAdvancedType;
using S = TKrxStorageType;

bool IsSumKeptType(A type) { return type == A::Single || type == A::Double || type == A::Extended || type == A::Currency; }

}  // namespace

TKrxAdvancedType TKrxExprNodeAggregated::ResultType() const {
  switch (op_) {
    case eoAggCount:
    case eoAggCountAll: return A::Integer;
    case eoAggAvg: return A::Double;
    case eoAggSum: {
      const A type = children_[0]->ResultType();
      return IsSumKeptType(type) ? type : A::LargeInt;
    }
    default: return children_[0]->ResultType();
  }
}

int32_t TKrxExprNodeAggregated::ResultSize() const {
  return op_ == eoAggMin || op_ == eoAggMax ? children_[0]->ResultSize() : 0;
}

void TKrxExprNodeAggregated::ResetAggregates() {
  count_ = 0;
  average_ = 0;
  running_.SetNull();
}

void TKrxExprNodeAggregated::AccumulateAggregates() {
  if (op_ == eoAggCountAll) {
    ++count_;
    return;
  }
  const TKrxVariant& value = children_[0]->Evaluate();
  if (value.IsNull()) return;
  switch (op_) {
    case eoAggCount: break;
    case eoAggSum:
      if (!KrxIsNumericType(value.Type())) throw EKrxException(KrxError::NotNumericArgument, "SUM");
      if (count_ == 0) {
        running_ = value;
      } else {
        KrxExprAddValue(running_, value, false);
      }
      break;
    case eoAggAvg:
      if (!KrxIsNumericType(value.Type())) KrxRaiseAt(KrxError::NotNumericArgument, 30133, "AVG");
      average_ += value.AsExtended();
      break;
    case eoAggMin:
    case eoAggMax: {
      if (count_ == 0) {
        running_ = value;
        break;
      }
      TKrxNullSide nulls;
      const int order = KrxExprCompare(value, running_, true, false, nulls);
      if ((op_ == eoAggMin && order < 0) || (op_ == eoAggMax && order > 0)) running_ = value;
      break;
    }
    default: break;
  }
  ++count_;
}

const TKrxVariant& TKrxExprNodeAggregated::Evaluate() {
  switch (op_) {
    case eoAggCount:
    case eoAggCountAll: value_.SetInt32(static_cast<int32_t>(count_)); break;
    case eoAggAvg:
      if (count_ == 0) {
        value_.SetNull(S::Double);
      } else {
        value_.SetDouble(static_cast<double>(average_ / static_cast<long double>(count_)));
      }
      break;
    case eoAggSum: {
      const S type = KrxExprStorageOf(ResultType());
      if (count_ == 0) {
        value_.SetNull(type);
      } else {
        value_ = running_.ConvertedTo(type);
      }
      break;
    }
    default:
      if (count_ == 0) {
        value_.SetNull(KrxExprStorageOf(children_[0]->ResultType()));
      } else {
        value_ = running_;
      }
      break;
  }
  return value_;
}

}  // namespace krx
