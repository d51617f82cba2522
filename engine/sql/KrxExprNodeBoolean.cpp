#include "KrxExprNodeBoolean.h"

#include "KrxCompare.h"
#include "KrxException.h"
#include "KrxExprNodeSubquery.h"
#include "KrxLocale.h"

namespace krx {

namespace {

int TruthState(const TKrxVariant& value) {
  bool unknown;
  const bool truth = KrxTruthOf(value, unknown);
  return unknown ? -1 : (truth ? 1 : 0);
}

bool IsStringLike(const TKrxVariant& v) {
  return KrxIsStringType(v.Type()) || v.Type() == TKrxStorageType::TextBlob ||
         v.Type() == TKrxStorageType::WideTextBlob;
}

bool IsWide(const TKrxVariant& v) {
  return KrxIsWideStringType(v.Type()) || v.Type() == TKrxStorageType::WideTextBlob;
}

}  // namespace

bool TKrxExprNodeBoolean::Holds(TKrxExprOp op, const TKrxVariant& a, const TKrxVariant& b) const {
  TKrxNullSide nulls;
  const int order = KrxExprCompare(a, b, caseInsensitive_, false, nulls);
  return KrxComparisonHolds(op, order, nulls, nullStrict_);
}

int TKrxExprNodeBoolean::EvaluateAnd() {
  bool unknown = false;
  for (auto& child : children_) {
    const int state = TruthState(child->Evaluate());
    if (state == 0) return 0;
    if (state < 0) unknown = true;
  }
  return unknown ? -1 : 1;
}

int TKrxExprNodeBoolean::EvaluateOr() {
  bool unknown = false;
  for (auto& child : children_) {
    const int state = TruthState(child->Evaluate());
    if (state == 1) return 1;
    if (state < 0) unknown = true;
  }
  return unknown ? -1 : 0;
}

int TKrxExprNodeBoolean::EvaluateIn() {
  const TKrxVariant& operand = children_[0]->Evaluate();
  if (operand.IsNull()) return -1;
  if (children_.size() == 2 && children_[1]->Operation() == eoSubquery) {
    auto& subquery = static_cast<TKrxExprNodeSubquery&>(*children_[1]);
    subquery.Open();
    while (subquery.Next()) {
      if (Holds(eoEqual, operand, subquery.Value())) return 1;
    }
    return 0;
  }
  for (size_t i = 1; i < children_.size(); ++i) {
    if (Holds(eoEqual, operand, children_[i]->Evaluate())) return 1;
  }
  return 0;
}

int TKrxExprNodeBoolean::EvaluateBetween() {
  const TKrxVariant& operand = children_[0]->Evaluate();
  if (operand.IsNull()) return -1;
  if (!Holds(eoGreaterEqual, operand, children_[1]->Evaluate())) return 0;
  return Holds(eoLessEqual, operand, children_[2]->Evaluate()) ? 1 : 0;
}

int TKrxExprNodeBoolean::EvaluateLike() {
  const TKrxVariant& pattern = children_[1]->Evaluate();
  if (pattern.IsNull()) return -1;
  const TKrxVariant& value = children_[0]->Evaluate();
  if ((!value.IsNull() && !IsStringLike(value)) || !IsStringLike(pattern)) {
    throw EKrxException(KrxError::NotStringArgument, "LIKE");
  }
  const bool wide = IsWide(pattern) || (!value.IsNull() && IsWide(value));
  const bool constantPattern = children_[1]->IsConstant() && (children_.size() < 3 || children_[2]->IsConstant());
  if (!patternCompiled_ || !constantPattern || patternWide_ != wide) {
    std::string escape;
    if (children_.size() >= 3) {
      const TKrxVariant& e = children_[2]->Evaluate();
      if (!e.IsNull()) escape = e.AsString();
    }
    if (wide) {
      std::u16string text = pattern.AsWideString();
      if (caseInsensitive_) text = KrxUpperWideString(text);
      widePattern_.Compile(text, KrxGbToUtf16(escape));
    } else {
      std::string text = pattern.AsString();
      if (caseInsensitive_) text = KrxUpperString(text);
      narrowPattern_.Compile(text, escape);
    }
    patternCompiled_ = true;
    patternWide_ = wide;
  }
  // A NULL value is matched as the empty string.
  if (wide) {
    std::u16string text = value.IsNull() ? std::u16string() : value.AsWideString();
    if (caseInsensitive_) text = KrxUpperWideString(text);
    return widePattern_.Matches(text) ? 1 : 0;
  }
  if (value.IsNull()) return narrowPattern_.Matches({}) ? 1 : 0;
  if (caseInsensitive_) {
    valueBuffer_ = KrxUpperString(value.AsString());
    return narrowPattern_.Matches(valueBuffer_) ? 1 : 0;
  }
  if (KrxIsNarrowStringType(value.Type())) return narrowPattern_.Matches(value.StringValue()) ? 1 : 0;
  valueBuffer_ = value.AsString();
  return narrowPattern_.Matches(valueBuffer_) ? 1 : 0;
}

const TKrxVariant& TKrxExprNodeBoolean::Evaluate() {
  int state = -1;
  switch (op_) {
    case eoNot: state = TruthState(children_[0]->Evaluate()); break;
    case eoAnd: state = EvaluateAnd(); break;
    case eoOr: state = EvaluateOr(); break;
    case eoTruth: state = TruthState(children_[0]->Evaluate()); break;
    case eoIn: state = EvaluateIn(); break;
    case eoExists: {
      auto& subquery = static_cast<TKrxExprNodeSubquery&>(*children_[0]);
      subquery.Open(true);
      state = subquery.Next() ? 1 : 0;
      break;
    }
    case eoBetween: state = EvaluateBetween(); break;
    case eoLike: state = EvaluateLike(); break;
    case eoIsNull: state = children_[0]->Evaluate().IsNull() ? 1 : 0; break;
    default: break;
  }
  const bool negate = negated_ || op_ == eoNot;
  if (state < 0) {
    value_.SetNull(TKrxStorageType::Boolean);
  } else {
    value_.SetBoolean(negate ? state == 0 : state == 1);
  }
  return value_;
}

}  // namespace krx
