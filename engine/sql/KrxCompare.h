// Comparison of two values by the expression rules. NULL takes part in the
// order: NULL equals NULL and is greater than every other value (the rule
// without null-strictness); with null-strictness any NULL makes every
// comparison false. Values of different types meet in their promoted type;
// strings compare with the locale, case-sensitively unless asked otherwise.
// With partial matching (the LIKE prefix rewrite) a string compares only as
// far as the right-hand string goes, so "abcd" = "ab" holds.
#pragma once

#include "KrxExprNode.h"
#include "KrxVariant.h"

namespace krx {

enum class TKrxNullSide : uint8_t { None, Both, Left, Right };

// <0, 0, >0; `nulls` tells which side was NULL (the order then follows the
// NULL-greatest rule).
int KrxExprCompare(const TKrxVariant& left, const TKrxVariant& right, bool caseInsensitive, bool partial,
                   TKrxNullSide& nulls);

// Whether comparison `op` (eoEqual … eoLessEqual) holds for a comparison
// result.
bool KrxComparisonHolds(TKrxExprOp op, int order, TKrxNullSide nulls, bool nullStrict);

// A truth value read from any value: NULL is unknown (returns false with
// unknown set); numbers are true when not 0; text is read as a boolean word.
bool KrxTruthOf(const TKrxVariant& value, bool& unknown);

}  // namespace krx
