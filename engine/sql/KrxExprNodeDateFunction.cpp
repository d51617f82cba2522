#include "KrxExprNodeDateFunction.h"

#include "KrxDateFormatNames.h"
#include "KrxException.h"

namespace krx {

namespace {

using S = TKrxStorageType;

TKrxDateTimeParts PartsOf(const TKrxTimeStamp& ts) {
  TKrxDateTimeParts parts;
  KrxDecodeDate(ts.date, &parts.year, &parts.month, &parts.day);
  KrxDecodeTime(ts.time, &parts.hour, &parts.minute, &parts.second, &parts.millisecond);
  return parts;
}

// The date-time of a value; a date alone has midnight, a time alone the
// zero date (1899-12-30).
TKrxTimeStamp TimeStampOf(const TKrxVariant& value) {
  if (value.Type() == S::Time) return {kKrxDateDelta, value.AsTime()};
  return value.AsTimeStamp();
}

}  // namespace

TKrxAdvancedType TKrxExprNodeDateFunction::ResultType() const {
  using A = TKrxAdvancedType;
  switch (op_) {
    case eoSysDate: return A::DateTime;
    case eoCurrentDate: return A::Date;
    case eoCurrentTime: return A::Time;
    case eoToString: return A::String;
    case eoExtract: return A::Integer;
    case eoToDate:
      if (formater_->HasDateElements() && !formater_->HasTimeElements()) return A::Date;
      if (!formater_->HasDateElements() && formater_->HasTimeElements()) return A::Time;
      return A::DateTime;
    default: return A::DateTime;
  }
}

int32_t TKrxExprNodeDateFunction::ResultSize() const {
  if (op_ != eoToString) return 0;
  // Long month and day names take up to 9 characters; numbers up to 4.
  int32_t size = 0;
  for (const TDateFormatToken& token : formater_->Tokens()) {
    size += token.element == TKrxDateElement::Literal ? static_cast<int32_t>(token.literal.size()) : 12;
  }
  return size;
}

bool TKrxExprNodeDateFunction::IsConstant() const {
  if (op_ == eoSysDate || op_ == eoCurrentDate || op_ == eoCurrentTime) return false;
  return TKrxExprNode::IsConstant();
}

const TKrxVariant& TKrxExprNodeDateFunction::EvaluateToDate(const TKrxVariant& arg) {
  text_ = arg.AsString();
  int32_t today;
  {
    const TKrxTimeStamp now = KrxNow();
    today = now.date;
  }
  int year, month, day;
  KrxDecodeDate(today, &year, &month, &day);
  TKrxParsedDate parsed;
  if (!formater_->Parse(text_, KrxLocaleDateNames(), year, parsed) &&
      !formater_->Parse(text_, KrxEnglishDateNames(), year, parsed)) {
    throw EKrxException(KrxError::DateNotInFormat, text_, formatText_);
  }
  const TKrxDateTimeParts& p = parsed.parts;
  const int32_t date = KrxEncodeDate(p.year, p.month, p.day);
  const int32_t time = KrxEncodeTime(p.hour, p.minute, p.second, p.millisecond);
  switch (ResultType()) {
    case TKrxAdvancedType::Date: value_.SetDate(date); break;
    case TKrxAdvancedType::Time: value_.SetTime(time); break;
    default: value_.SetTimeStamp({date, time}); break;
  }
  return value_;
}

const TKrxVariant& TKrxExprNodeDateFunction::Evaluate() {
  switch (op_) {
    case eoSysDate: value_.SetTimeStamp(KrxNow()); return value_;
    case eoCurrentDate: value_.SetDate(KrxNow().date); return value_;
    case eoCurrentTime: value_.SetTime(KrxNow().time); return value_;
    default: break;
  }
  const TKrxVariant& arg = children_[0]->Evaluate();
  if (arg.IsNull()) {
    value_.SetNull(KrxExprStorageOf(ResultType()));
    return value_;
  }
  switch (op_) {
    case eoToString:
      text_.clear();
      formater_->FormatTo(text_, PartsOf(TimeStampOf(arg)), KrxLocaleDateNames());
      value_.SetString(text_);
      return value_;
    case eoToDate: return EvaluateToDate(arg);
    case eoExtract: {
      const TKrxDateTimeParts p = PartsOf(TimeStampOf(arg));
      int result = 0;
      switch (part_) {
        case TKrxDatePart::Year: result = p.year; break;
        case TKrxDatePart::Month: result = p.month; break;
        case TKrxDatePart::Day: result = p.day; break;
        case TKrxDatePart::Hour: result = p.hour; break;
        case TKrxDatePart::Minute: result = p.minute; break;
        case TKrxDatePart::Second: result = p.second; break;
      }
      value_.SetInt32(result);
      return value_;
    }
    default: return value_;
  }
}

}  // namespace krx
