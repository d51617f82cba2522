#include "KrxExprNodeStringFunction.h"

#include "KrxException.h"
#include "KrxExprNodeArithmetic.h"
#include "KrxLocale.h"

namespace krx {

namespace {

using S = TKrxStorageType;

bool IsWideText(S t) { return KrxIsWideStringType(t) || t == S::WideTextBlob; }

template <typename CharT>
bool IsBlank(CharT c) {
  return static_cast<uint32_t>(c) <= static_cast<uint32_t>(' ');
}

template <typename Str>
void Trim(Str& text, bool start, bool end) {
  size_t first = 0;
  size_t last = text.size();
  if (start) {
    while (first < last && IsBlank(text[first])) ++first;
  }
  if (end) {
    while (last > first && IsBlank(text[last - 1])) --last;
  }
  text.erase(last);
  text.erase(0, first);
}

// The byte offset of the first character boundary at or after `pos`.
size_t BoundaryAtOrAfter(std::string_view text, size_t pos) {
  size_t at = 0;
  while (at < pos && at < text.size()) at += KrxGbCharLength(text, at);
  return std::min(at, text.size());
}

// The byte offset of the last character boundary at or before `pos`.
size_t BoundaryAtOrBefore(std::string_view text, size_t pos) {
  size_t at = 0;
  while (at < text.size()) {
    const size_t next = at + KrxGbCharLength(text, at);
    if (next > pos) break;
    at = next;
  }
  return at;
}

}  // namespace

int64_t KrxFindWholeCharacters(std::string_view text, std::string_view sub) {
  if (sub.empty()) return 0;
  for (size_t at = 0; at + sub.size() <= text.size(); at += KrxGbCharLength(text, at)) {
    if (text.compare(at, sub.size(), sub) == 0) {
      // The match must end on a character boundary too.
      if (at + sub.size() == text.size() || BoundaryAtOrBefore(text, at + sub.size()) == at + sub.size()) {
        return static_cast<int64_t>(at) + 1;
      }
    }
  }
  return 0;
}

TKrxAdvancedType TKrxExprNodeStringFunction::ResultType() const {
  using A = TKrxAdvancedType;
  switch (op_) {
    case eoLength:
    case eoPos: return A::Integer;
    case eoConcat: {
      for (const auto& child : children_) {
        if (IsWideText(KrxExprStorageOf(child->ResultType()))) return A::WideString;
      }
      return A::String;
    }
    default:
      return IsWideText(KrxExprStorageOf(children_[0]->ResultType())) ? A::WideString : A::String;
  }
}

int32_t TKrxExprNodeStringFunction::ResultSize() const {
  if (op_ == eoLength || op_ == eoPos) return 0;
  if (op_ == eoConcat) {
    int32_t size = 0;
    for (const auto& child : children_) {
      const TKrxAdvancedType type = child->ResultType();
      // Numbers and dates written as text: room for their longest form.
      size += KrxIsStringType(KrxExprStorageOf(type)) ? child->ResultSize() : 30;
    }
    return size;
  }
  return children_[0]->ResultSize();
}

const TKrxVariant& TKrxExprNodeStringFunction::EvaluateConcat() {
  const TKrxVariant& first = children_[0]->Evaluate();
  if (first.IsNull()) {
    value_.SetNull(IsWideText(first.Type()) ? S::WideString : S::String);
  } else if (IsWideText(first.Type())) {
    value_.SetWideString(first.AsWideString());
  } else if (KrxIsNarrowStringType(first.Type())) {
    value_.SetString(first.StringValue());
  } else {
    value_.SetString(first.AsString());
  }
  for (size_t i = 1; i < children_.size(); ++i) KrxExprAddValue(value_, children_[i]->Evaluate(), false);
  return value_;
}

const TKrxVariant& TKrxExprNodeStringFunction::EvaluateCaseOrTrim(const TKrxVariant& arg) {
  if (IsWideText(arg.Type())) {
    std::u16string text = arg.AsWideString();
    switch (op_) {
      case eoUpper: text = KrxUpperWideString(text); break;
      case eoLower: text = KrxLowerWideString(text); break;
      default: Trim(text, op_ != eoRTrim, op_ != eoLTrim); break;
    }
    value_.SetWideString(text);
    return value_;
  }
  narrow_ = arg.AsString();
  switch (op_) {
    case eoUpper: narrow_ = KrxUpperString(narrow_); break;
    case eoLower: narrow_ = KrxLowerString(narrow_); break;
    default: Trim(narrow_, op_ != eoRTrim, op_ != eoLTrim); break;
  }
  value_.SetString(narrow_);
  return value_;
}

const TKrxVariant& TKrxExprNodeStringFunction::EvaluatePos() {
  const TKrxVariant& sub = children_[0]->Evaluate();
  const TKrxVariant& text = children_[1]->Evaluate();
  if (sub.IsNull() || text.IsNull()) {
    value_.SetNull(S::Int32);
    return value_;
  }
  if (IsWideText(sub.Type()) || IsWideText(text.Type())) {
    const std::u16string haystack = text.AsWideString();
    const size_t at = haystack.find(sub.AsWideString());
    value_.SetInt32(at == std::u16string::npos ? 0 : static_cast<int32_t>(at) + 1);
    return value_;
  }
  narrow_ = sub.AsString();
  const std::string haystack = text.AsString();
  value_.SetInt32(static_cast<int32_t>(KrxFindWholeCharacters(haystack, narrow_)));
  return value_;
}

const TKrxVariant& TKrxExprNodeStringFunction::EvaluateSubstring(const TKrxVariant& arg) {
  const TKrxVariant& startValue = children_[1]->Evaluate();
  if (startValue.IsNull()) {
    value_.SetNull(arg.Type());
    return value_;
  }
  int64_t start = startValue.AsInt64();
  int64_t count = -1;  // to the end
  if (children_.size() > 2) {
    const TKrxVariant& countValue = children_[2]->Evaluate();
    if (countValue.IsNull()) {
      value_.SetNull(arg.Type());
      return value_;
    }
    count = std::max<int64_t>(countValue.AsInt64(), 0);
  }
  if (start < 1) start = 1;
  if (IsWideText(arg.Type())) {
    const std::u16string text = arg.AsWideString();
    const size_t from = std::min<size_t>(static_cast<size_t>(start - 1), text.size());
    wide_ = text.substr(from, count < 0 ? std::u16string::npos : static_cast<size_t>(count));
    value_.SetWideString(wide_);
    return value_;
  }
  const std::string text = arg.AsString();
  const size_t from = BoundaryAtOrAfter(text, static_cast<size_t>(start - 1));
  size_t to = text.size();
  if (count >= 0) {
    const size_t wanted = static_cast<size_t>(start - 1) + static_cast<size_t>(count);
    to = wanted >= text.size() ? text.size() : BoundaryAtOrBefore(text, wanted);
  }
  narrow_.assign(text, from, to > from ? to - from : 0);
  value_.SetString(narrow_);
  return value_;
}

const TKrxVariant& TKrxExprNodeStringFunction::Evaluate() {
  if (op_ == eoConcat) return EvaluateConcat();
  if (op_ == eoPos) return EvaluatePos();
  const TKrxVariant& arg = children_[0]->Evaluate();
  if (arg.IsNull()) {
    value_.SetNull(op_ == eoLength ? S::Int32 : (IsWideText(arg.Type()) ? S::WideString : S::String));
    return value_;
  }
  switch (op_) {
    case eoLength:
      if (IsWideText(arg.Type())) {
        value_.SetInt32(static_cast<int32_t>(arg.AsWideString().size()));
      } else if (KrxIsNarrowStringType(arg.Type())) {
        value_.SetInt32(static_cast<int32_t>(arg.StringValue().size()));
      } else {
        value_.SetInt32(static_cast<int32_t>(arg.AsString().size()));
      }
      return value_;
    case eoSubstring: return EvaluateSubstring(arg);
    default: return EvaluateCaseOrTrim(arg);
  }
}

}  // namespace krx
