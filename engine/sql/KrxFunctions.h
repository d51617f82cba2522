// The built-in functions: which keyword names which function, its operation
// code and the name its messages use.
#pragma once

#include <cstdint>

#include "KrxExprNode.h"

namespace krx {

enum class TKrxFunctionKind : uint8_t {
  None,
  Aggregate,       // COUNT SUM AVG MIN MAX
  StringFunction,  // UPPER LOWER TRIM LTRIM RTRIM SUBSTRING TOSTRING
  NumericFunction, // POS POSITION EXTRACT LENGTH LASTAUTOINC ROWNUM, math
  DateValue,       // SYSDATE NOW CURRENT_TIMESTAMP CURRENT_DATE CURRENT_TIME TODATE
};

struct TKrxFunctionInfo {
  TKrxFunctionKind kind;
  TKrxExprOp op;
};

// The function a keyword names; kind None for other keywords.
TKrxFunctionInfo KrxFunctionOfKeyword(int16_t keyword);

// "UPPER", "SUM", "COUNT(*)" … for messages.
const char* KrxFunctionName(TKrxExprOp op);

}  // namespace krx
