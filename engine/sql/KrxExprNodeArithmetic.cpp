#include "KrxExprNodeArithmetic.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>

#include "KrxException.h"
#include "KrxFunctions.h"

namespace krx {

namespace {

using S = TKrxStorageType;

bool IsTextual(S t) { return KrxIsStringType(t) || t == S::TextBlob || t == S::WideTextBlob; }
bool IsWideText(S t) { return KrxIsWideStringType(t) || t == S::WideTextBlob; }

[[noreturn]] void RaiseIncompatible(S a, S b) {
  throw EKrxException(KrxError::IncompatibleDataTypes, KrxAdvancedTypeName(KrxAdvancedTypeOfStorage(a)),
                      KrxAdvancedTypeName(KrxAdvancedTypeOfStorage(b)));
}

bool FitsInteger(int64_t v, S type) {
  switch (type) {
    case S::Int8: return v >= -128 && v <= 127;
    case S::Int16: return v >= -32768 && v <= 32767;
    case S::Int32: return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
    case S::Int64: return true;
    case S::UInt8: return v >= 0 && v <= 255;
    case S::UInt16: return v >= 0 && v <= 65535;
    case S::UInt32: return v >= 0 && v <= 0xFFFFFFFFLL;
    default: return false;
  }
}

// Stores an integer result in `type`, widening it when the value does not
// fit (an overflowing sum must not wrap).
void SetInteger(TKrxVariant& target, __int128 value, S type) {
  if (value > std::numeric_limits<int64_t>::max() || value < std::numeric_limits<int64_t>::min()) {
    target.SetDouble(static_cast<double>(value));
    return;
  }
  const auto v = static_cast<int64_t>(value);
  if (FitsInteger(v, type)) {
    target.SetInt64(v, type);
  } else {
    target.SetInt64(v, FitsInteger(v, S::Int32) ? S::Int32 : S::Int64);
  }
}

void SetFloat(TKrxVariant& target, long double value, S type) {
  if (type == S::Extended) {
    target.SetExtended(value);
  } else if (type == S::Currency || type == S::Single) {
    target.SetDouble(static_cast<double>(value), type);
  } else {
    target.SetDouble(static_cast<double>(value));
  }
}

void SetDateLike(TKrxVariant& target, double dateTime, S type) {
  const TKrxTimeStamp ts = KrxTimeStampFromDateTime(dateTime);
  switch (type) {
    case S::Date: target.SetDate(ts.date); break;
    case S::Time: target.SetTime(ts.time); break;
    default: target.SetTimeStamp(ts); break;
  }
}

// Numbers of a binary operation on two non-NULL values of numeric common type.
template <typename IntOp, typename FloatOp>
void Numeric(const TKrxVariant& acc, const TKrxVariant& value, S common, IntOp intOp, FloatOp floatOp) {
  if (KrxIsIntegerType(common) || common == S::Boolean) {
    intOp(static_cast<__int128>(acc.AsInt64()), static_cast<__int128>(value.AsInt64()), common);
  } else {
    floatOp(acc.AsExtended(), value.AsExtended(), common);
  }
}

}  // namespace

void KrxExprAddValue(TKrxVariant& acc, const TKrxVariant& value, bool subtract) {
  if (value.IsNull()) {
    if (!IsTextual(acc.Type())) acc.SetNull(acc.Type());
    return;
  }
  if (acc.IsNull()) {
    if (IsTextual(value.Type()) && !subtract) acc = value;
    return;
  }
  const S a = acc.Type();
  const S b = value.Type();
  const S common = KrxPromoteStorageTypes(a, b);
  if (common == S::Unknown) RaiseIncompatible(a, b);

  if (IsTextual(common)) {
    if (subtract) throw EKrxException(KrxError::NotNumericArgument, "-");
    if (IsWideText(common)) {
      std::u16string text = acc.AsWideString();
      text += value.AsWideString();
      acc.SetWideString(text, KrxIsWideStringType(common) ? common : S::WideString);
    } else {
      // One buffer per thread keeps row-by-row concatenation free of
      // allocations once it has grown.
      static thread_local std::string text;
      if (KrxIsNarrowStringType(a)) {
        text.assign(acc.StringValue());
      } else {
        text.assign(acc.AsString());
      }
      if (KrxIsNarrowStringType(b)) {
        text.append(value.StringValue());
      } else {
        text.append(value.AsString());
      }
      acc.SetString(text, S::String);
    }
    return;
  }
  if (KrxIsDateTimeType(common)) {
    const bool aDate = KrxIsDateTimeType(a);
    const bool bDate = KrxIsDateTimeType(b);
    if (aDate && bDate && subtract) {
      acc.SetDouble(acc.AsDateTime() - value.AsDateTime());
      return;
    }
    if (aDate && !bDate) {
      SetDateLike(acc, acc.AsDateTime() + (subtract ? -value.AsDouble() : value.AsDouble()), common);
    } else if (!aDate && bDate) {
      if (subtract) throw EKrxException(KrxError::NotNumericArgument, "-");
      SetDateLike(acc, value.AsDateTime() + acc.AsDouble(), common);
    } else {
      // Two dates added, or a text read as a date: add as date-time values.
      SetDateLike(acc, acc.AsDateTime() + (subtract ? -value.AsDateTime() : value.AsDateTime()), common);
    }
    return;
  }
  if (!KrxIsNumericType(common) && common != S::Boolean) throw EKrxException(KrxError::NotNumericArgument, subtract ? "-" : "+");
  Numeric(
      acc, value, common,
      [&](__int128 x, __int128 y, S t) { SetInteger(acc, subtract ? x - y : x + y, t); },
      [&](long double x, long double y, S t) { SetFloat(acc, subtract ? x - y : x + y, t); });
}

void TKrxExprNodeArithmetic::AddTerm(TKrxExprNodePtr term, bool subtract) {
  children_.push_back(std::move(term));
  subtracted_.push_back(subtract);
}

TKrxAdvancedType TKrxExprNodeArithmetic::ResultType() const {
  using A = TKrxAdvancedType;
  switch (op_) {
    case eoSum:
    case eoNegate:
    case eoMultiply:
    case eoDivide:
    case eoAbs:
    case eoSqr: return PromotedChildType();
    case eoCeil:
    case eoFloor:
    case eoRand:
    case eoSign: return A::Integer;
    case eoRound: return children_.size() > 1 ? A::Double : A::Integer;
    default: return A::Double;
  }
}

const TKrxVariant& TKrxExprNodeArithmetic::EvaluateSum() {
  value_ = children_[0]->Evaluate();
  if (IsSubtracted(0) && !value_.IsNull()) {
    TKrxVariant zero = TKrxVariant::FromInt32(0);
    KrxExprAddValue(zero, value_, true);
    value_ = zero;
  }
  for (size_t i = 1; i < children_.size(); ++i) KrxExprAddValue(value_, children_[i]->Evaluate(), IsSubtracted(i));
  return value_;
}

const TKrxVariant& TKrxExprNodeArithmetic::EvaluateProduct() {
  const TKrxVariant& left = children_[0]->Evaluate();
  const TKrxVariant& right = children_[1]->Evaluate();
  const char* name = op_ == eoMultiply ? "*" : "/";
  S common = KrxPromoteStorageTypes(left.Type(), right.Type());
  if (common == S::Unknown) RaiseIncompatible(left.Type(), right.Type());
  if (left.IsNull() || right.IsNull()) {
    value_.SetNull(common);
    return value_;
  }
  if (KrxIsDateTimeType(common) || KrxIsBlobType(common) || KrxIsBytesType(common)) {
    throw EKrxException(KrxError::NotNumericArgument, name);
  }
  // Text operands are read as numbers.
  if (IsTextual(common)) common = S::Double;
  if (op_ == eoMultiply) {
    Numeric(
        left, right, common, [&](__int128 x, __int128 y, S t) { SetInteger(value_, x * y, t); },
        [&](long double x, long double y, S t) { SetFloat(value_, x * y, t); });
  } else {
    Numeric(
        left, right, common,
        [&](__int128 x, __int128 y, S t) {
          if (y == 0) throw EKrxException(KrxError::DivisionByZero);
          SetInteger(value_, x / y, t);
        },
        [&](long double x, long double y, S t) {
          if (y == 0) throw EKrxException(KrxError::DivisionByZero);
          SetFloat(value_, x / y, t);
        });
  }
  return value_;
}

long double KrxRoundNumber(long double x, int digits, TKrxRoundMode mode) {
  const long double scale = std::pow(10.0L, static_cast<long double>(std::abs(digits)));
  long double scaled = digits >= 0 ? x * scale : x / scale;
  // Remove the noise of binary fractions (2.675 is stored as 2.67499…) by
  // reading the scaled value back at 15 significant digits.
  char text[64];
  std::snprintf(text, sizeof text, "%.15Lg", scaled);
  scaled = std::strtold(text, nullptr);
  const long double lower = std::floor(scaled);
  const long double fraction = scaled - lower;
  long double result;
  switch (mode) {
    case TKrxRoundMode::RndNeg: result = lower; break;
    case TKrxRoundMode::RndPos: result = std::ceil(scaled); break;
    case TKrxRoundMode::RndDown: result = std::trunc(scaled); break;
    case TKrxRoundMode::RndUp: result = scaled < 0 ? std::floor(scaled) : std::ceil(scaled); break;
    default:
      if (fraction < 0.5L) {
        result = lower;
      } else if (fraction > 0.5L) {
        result = lower + 1;
      } else {
        switch (mode) {
          case TKrxRoundMode::HalfEven: result = std::fmod(lower, 2.0L) == 0 ? lower : lower + 1; break;
          case TKrxRoundMode::HalfPos: result = lower + 1; break;
          case TKrxRoundMode::HalfNeg: result = lower; break;
          case TKrxRoundMode::HalfDown: result = scaled < 0 ? lower + 1 : lower; break;
          default: result = scaled < 0 ? lower : lower + 1; break;  // half away from zero
        }
      }
      break;
  }
  return digits >= 0 ? result / scale : result * scale;
}

const TKrxVariant& TKrxExprNodeArithmetic::EvaluateMath() {
  const TKrxVariant& arg = children_[0]->Evaluate();
  const char* name = KrxFunctionName(op_);
  if (arg.IsNull()) {
    value_.SetNull(KrxExprStorageOf(ResultType()));
    return value_;
  }
  if (!KrxIsNumericType(arg.Type()) && arg.Type() != S::Boolean) {
    // Text holding a number is accepted; anything else is refused.
    if (!IsTextual(arg.Type())) throw EKrxException(KrxError::NotNumericArgument, name);
  }
  const long double x = arg.AsExtended();
  auto checked = [&](long double r) {
    if (std::isnan(r) || std::isinf(r)) throw EKrxException(KrxError::MathArgumentOutOfRange, name);
    return r;
  };
  auto setInt = [&](long double r) { SetInteger(value_, static_cast<__int128>(checked(r)), S::Int32); };
  switch (op_) {
    case eoAbs:
    case eoSqr: {
      const S type = KrxIsNumericType(arg.Type()) ? arg.Type() : S::Double;
      if (KrxIsIntegerType(type)) {
        const __int128 v = arg.AsInt64();
        SetInteger(value_, op_ == eoAbs ? (v < 0 ? -v : v) : v * v, type);
      } else {
        SetFloat(value_, checked(op_ == eoAbs ? std::fabs(x) : x * x), type);
      }
      break;
    }
    case eoCeil: setInt(std::ceil(x)); break;
    case eoFloor: setInt(std::floor(x)); break;
    case eoSign: setInt(x > 0 ? 1 : (x < 0 ? -1 : 0)); break;
    case eoRand: {
      // A random integer from 0 to x - 1, as the usual Random(N).
      static thread_local std::mt19937_64 generator{std::random_device{}()};
      const int64_t limit = static_cast<int64_t>(x);
      if (limit <= 0) {
        value_.SetInt32(0);
      } else {
        value_.SetInt64(static_cast<int64_t>(generator() % static_cast<uint64_t>(limit)),
                        limit > std::numeric_limits<int32_t>::max() ? S::Int64 : S::Int32);
      }
      break;
    }
    case eoAcos: value_.SetDouble(static_cast<double>(checked(std::acos(x)))); break;
    case eoAsin: value_.SetDouble(static_cast<double>(checked(std::asin(x)))); break;
    case eoAtan: value_.SetDouble(static_cast<double>(checked(std::atan(x)))); break;
    case eoCos: value_.SetDouble(static_cast<double>(checked(std::cos(x)))); break;
    case eoSin: value_.SetDouble(static_cast<double>(checked(std::sin(x)))); break;
    case eoExp: value_.SetDouble(static_cast<double>(checked(std::exp(x)))); break;
    case eoLog:
      if (x <= 0) throw EKrxException(KrxError::MathArgumentOutOfRange, name);
      value_.SetDouble(static_cast<double>(std::log(x)));
      break;
    case eoSqrt:
      if (x < 0) throw EKrxException(KrxError::MathArgumentOutOfRange, name);
      value_.SetDouble(static_cast<double>(std::sqrt(x)));
      break;
    case eoPower: {
      const TKrxVariant& y = children_[1]->Evaluate();
      if (y.IsNull()) {
        value_.SetNull(S::Double);
        break;
      }
      value_.SetDouble(static_cast<double>(checked(std::pow(x, y.AsExtended()))));
      break;
    }
    case eoRound: {
      if (children_.size() == 1) {
        setInt(KrxRoundNumber(x, 0, roundMode_));
        break;
      }
      const TKrxVariant& digits = children_[1]->Evaluate();
      if (digits.IsNull()) {
        value_.SetNull(S::Double);
        break;
      }
      value_.SetDouble(static_cast<double>(checked(KrxRoundNumber(x, static_cast<int>(digits.AsInt64()), roundMode_))));
      break;
    }
    default: break;
  }
  return value_;
}

const TKrxVariant& TKrxExprNodeArithmetic::Evaluate() {
  switch (op_) {
    case eoSum: return EvaluateSum();
    case eoNegate: {
      const TKrxVariant& operand = children_[0]->Evaluate();
      value_.SetInt32(0);
      if (operand.IsNull()) {
        value_.SetNull(operand.Type());
        return value_;
      }
      KrxExprAddValue(value_, operand, true);
      return value_;
    }
    case eoMultiply:
    case eoDivide: return EvaluateProduct();
    default: return EvaluateMath();
  }
}

}  // namespace krx
