// Evaluation of CAST, CASE and COALESCE.
#include <algorithm>

#include "KrxCompare.h"
#include "KrxException.h"
#include "KrxExprNodeCase.h"
#include "KrxExprNodeCast.h"
#include "KrxLocale.h"

namespace krx {

using S = TKrxStorageType;

const TKrxVariant& TKrxExprNodeCast::Evaluate() {
  const TKrxVariant& arg = children_[0]->Evaluate();
  const S type = KrxStorageTypeOf(type_);
  if (arg.IsNull()) {
    value_.SetNull(type);
    return value_;
  }
  value_ = arg;
  value_.ConvertTo(type);
  if (size_ > 0 && !value_.IsNull()) {
    if (KrxIsNarrowStringType(type) && value_.StringValue().size() > static_cast<size_t>(size_)) {
      const std::string& text = value_.StringValue();
      size_t keep = 0;
      while (keep < text.size() && keep + KrxGbCharLength(text, keep) <= static_cast<size_t>(size_)) {
        keep += KrxGbCharLength(text, keep);
      }
      const std::string cut = text.substr(0, keep);
      value_.SetString(cut, type);
    } else if (KrxIsWideStringType(type) && value_.WideValue().size() > static_cast<size_t>(size_)) {
      const std::u16string cut = value_.WideValue().substr(0, static_cast<size_t>(size_));
      value_.SetWideString(cut, type);
    }
  }
  return value_;
}

int32_t TKrxExprNodeCast::ResultSize() const { return size_ > 0 ? size_ : children_[0]->ResultSize(); }

template <typename F>
void TKrxExprNodeCase::ForEachResult(F&& f) const {
  const size_t count = children_.size();
  if (form_ == TKrxCaseForm::Coalesce) {
    for (size_t i = 0; i < count; ++i) f(i);
    return;
  }
  const size_t first = form_ == TKrxCaseForm::Simple ? 1 : 0;
  const size_t pairsEnd = hasElse_ ? count - 1 : count;
  for (size_t i = first + 1; i < pairsEnd; i += 2) f(i);
  if (hasElse_) f(count - 1);
}

TKrxAdvancedType TKrxExprNodeCase::ResultType() const {
  TKrxAdvancedType type = TKrxAdvancedType::Unknown;
  bool first = true;
  ForEachResult([&](size_t i) {
    const TKrxAdvancedType t = children_[i]->ResultType();
    type = first ? t : KrxPromoteAdvancedTypes(type, t);
    first = false;
  });
  if (type == TKrxAdvancedType::Unknown) throw EKrxException(KrxError::CannotDetermineExprType);
  return type;
}

int32_t TKrxExprNodeCase::ResultSize() const {
  int32_t size = 0;
  ForEachResult([&](size_t i) { size = std::max(size, children_[i]->ResultSize()); });
  return size;
}

const TKrxVariant& TKrxExprNodeCase::Result(const TKrxVariant& value) {
  const S type = KrxExprStorageOf(ResultType());
  value_ = value;
  value_.ConvertTo(type);
  return value_;
}

const TKrxVariant& TKrxExprNodeCase::Evaluate() {
  const size_t count = children_.size();
  if (form_ == TKrxCaseForm::Coalesce) {
    for (size_t i = 0; i < count; ++i) {
      const TKrxVariant& v = children_[i]->Evaluate();
      if (!v.IsNull()) return Result(v);
    }
    value_.SetNull(KrxExprStorageOf(ResultType()));
    return value_;
  }
  const size_t pairsEnd = hasElse_ ? count - 1 : count;
  if (form_ == TKrxCaseForm::Simple) {
    const TKrxVariant& input = children_[0]->Evaluate();
    for (size_t i = 1; i + 1 < pairsEnd; i += 2) {
      TKrxNullSide nulls;
      const int order = KrxExprCompare(input, children_[i]->Evaluate(), caseInsensitive_, false, nulls);
      if (KrxComparisonHolds(eoEqual, order, nulls, true)) return Result(children_[i + 1]->Evaluate());
    }
  } else {
    for (size_t i = 0; i + 1 < pairsEnd; i += 2) {
      bool unknown;
      if (KrxTruthOf(children_[i]->Evaluate(), unknown) && !unknown) return Result(children_[i + 1]->Evaluate());
    }
  }
  if (hasElse_) return Result(children_[count - 1]->Evaluate());
  value_.SetNull(KrxExprStorageOf(ResultType()));
  return value_;
}

}  // namespace krx
