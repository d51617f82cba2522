#include "KrxCompare.h"

#include "KrxLocale.h"

namespace krx {

namespace {

// Bytes of `text` that fit in `room` without cutting a national character.
size_t FitCharacters(std::string_view text, size_t room) {
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t next = pos + KrxGbCharLength(text, pos);
    if (next > room) break;
    pos = next;
  }
  return pos;
}

int ComparePartial(const TKrxVariant& left, const TKrxVariant& right, bool caseInsensitive) {
  const TKrxStorageType common = KrxPromoteStorageTypes(left.Type(), right.Type());
  if (KrxIsNarrowStringType(common) && KrxIsNarrowStringType(left.Type()) && KrxIsNarrowStringType(right.Type())) {
    // The usual case, a text column against a text prefix: no copies.
    const std::string_view l = left.StringValue();
    const std::string_view r = right.StringValue();
    return KrxCompareStrings(l.substr(0, FitCharacters(l, r.size())), r, caseInsensitive);
  }
  if (KrxIsNarrowStringType(common)) {
    const std::string l = left.AsString();
    const std::string r = right.AsString();
    const std::string_view prefix(l.data(), FitCharacters(l, r.size()));
    return KrxCompareStrings(prefix, r, caseInsensitive);
  }
  if (KrxIsWideStringType(common)) {
    const std::u16string l = left.AsWideString();
    const std::u16string r = right.AsWideString();
    const std::u16string_view prefix(l.data(), std::min(l.size(), r.size()));
    return KrxCompareWideStrings(prefix, r, caseInsensitive);
  }
  return TKrxVariant::Compare(left, right, caseInsensitive);
}

// A number against a text that holds a number compares as numbers: the
// program quotes every value it writes into SQL, and '10' must stay above 9
// and '12.50' equal 12.5. Returns false when the pair is not of that kind.
bool CompareAsNumbers(const TKrxVariant& left, const TKrxVariant& right, int& order) {
  const bool leftNumber = KrxIsNumericType(left.Type());
  const bool rightNumber = KrxIsNumericType(right.Type());
  if (leftNumber == rightNumber) return false;
  const TKrxVariant& text = leftNumber ? right : left;
  if (!KrxIsStringType(text.Type())) return false;
  long double number;
  bool isInteger;
  int64_t integer;
  const bool parsed = KrxIsNarrowStringType(text.Type())
                          ? KrxTryParseNumber(text.StringValue(), &number, &isInteger, &integer)
                          : KrxTryParseNumber(text.AsString(), &number, &isInteger, &integer);
  if (!parsed) return false;
  const long double l = leftNumber ? left.AsExtended() : number;
  const long double r = leftNumber ? number : right.AsExtended();
  order = l < r ? -1 : (r < l ? 1 : 0);
  return true;
}

}  // namespace

int KrxExprCompare(const TKrxVariant& left, const TKrxVariant& right, bool caseInsensitive, bool partial,
                   TKrxNullSide& nulls) {
  if (left.IsNull() || right.IsNull()) {
    if (left.IsNull() && right.IsNull()) {
      nulls = TKrxNullSide::Both;
      return 0;
    }
    nulls = left.IsNull() ? TKrxNullSide::Left : TKrxNullSide::Right;
    return left.IsNull() ? 1 : -1;
  }
  nulls = TKrxNullSide::None;
  int order;
  if (!partial && CompareAsNumbers(left, right, order)) return order;
  if (partial) return ComparePartial(left, right, caseInsensitive);
  return TKrxVariant::Compare(left, right, caseInsensitive);
}

bool KrxComparisonHolds(TKrxExprOp op, int order, TKrxNullSide nulls, bool nullStrict) {
  if (nullStrict && nulls != TKrxNullSide::None) return false;
  switch (op) {
    case eoEqual: return order == 0;
    case eoNotEqual: return order != 0;
    case eoGreater: return order > 0;
    case eoLess: return order < 0;
    case eoGreaterEqual: return order >= 0;
    case eoLessEqual: return order <= 0;
    default: return false;
  }
}

bool KrxTruthOf(const TKrxVariant& value, bool& unknown) {
  unknown = value.IsNull();
  if (unknown) return false;
  return value.AsBoolean();
}

}  // namespace krx
