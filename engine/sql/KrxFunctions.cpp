#include "KrxFunctions.h"

#include "KrxKeywords.h"

namespace krx {

TKrxFunctionInfo KrxFunctionOfKeyword(int16_t keyword) {
  using K = TKrxFunctionKind;
  switch (keyword) {
    case kwCOUNT: return {K::Aggregate, eoAggCount};
    case kwSUM: return {K::Aggregate, eoAggSum};
    case kwAVG: return {K::Aggregate, eoAggAvg};
    case kwMIN: return {K::Aggregate, eoAggMin};
    case kwMAX: return {K::Aggregate, eoAggMax};
    case kwUPPER: return {K::StringFunction, eoUpper};
    case kwLOWER: return {K::StringFunction, eoLower};
    case kwTRIM: return {K::StringFunction, eoTrim};
    case kwLTRIM: return {K::StringFunction, eoLTrim};
    case kwRTRIM: return {K::StringFunction, eoRTrim};
    case kwSUBSTRING: return {K::StringFunction, eoSubstring};
    case kwTOSTRING: return {K::StringFunction, eoToString};
    case kwPOS:
    case kwPOSITION: return {K::NumericFunction, eoPos};
    case kwEXTRACT: return {K::NumericFunction, eoExtract};
    case kwLENGTH: return {K::NumericFunction, eoLength};
    case kwLASTAUTOINC: return {K::NumericFunction, eoLastAutoInc};
    case kwROWNUM: return {K::NumericFunction, eoRowNum};
    case kwABS: return {K::NumericFunction, eoAbs};
    case kwACOS: return {K::NumericFunction, eoAcos};
    case kwASIN: return {K::NumericFunction, eoAsin};
    case kwATAN: return {K::NumericFunction, eoAtan};
    case kwCEIL: return {K::NumericFunction, eoCeil};
    case kwCOS: return {K::NumericFunction, eoCos};
    case kwEXP: return {K::NumericFunction, eoExp};
    case kwFLOOR: return {K::NumericFunction, eoFloor};
    case kwLOG: return {K::NumericFunction, eoLog};
    case kwPOWER: return {K::NumericFunction, eoPower};
    case kwRAND: return {K::NumericFunction, eoRand};
    case kwROUND: return {K::NumericFunction, eoRound};
    case kwSIGN: return {K::NumericFunction, eoSign};
    case kwSIN: return {K::NumericFunction, eoSin};
    case kwSQR: return {K::NumericFunction, eoSqr};
    case kwSQRT: return {K::NumericFunction, eoSqrt};
    case kwSYSDATE:
    case kwNOW:
    case kwCURRENT_TIMESTAMP: return {K::DateValue, eoSysDate};
    case kwCURRENT_DATE: return {K::DateValue, eoCurrentDate};
    case kwCURRENT_TIME: return {K::DateValue, eoCurrentTime};
    case kwTODATE: return {K::DateValue, eoToDate};
    default: return {K::None, eoNone};
  }
}

const char* KrxFunctionName(TKrxExprOp op) {
  switch (op) {
    case eoAggCount: return "COUNT";
    case eoAggCountAll: return "COUNT(*)";
    case eoAggSum: return "SUM";
    case eoAggAvg: return "AVG";
    case eoAggMin: return "MIN";
    case eoAggMax: return "MAX";
    case eoUpper: return "UPPER";
    case eoLower: return "LOWER";
    case eoTrim: return "TRIM";
    case eoLTrim: return "LTRIM";
    case eoRTrim: return "RTRIM";
    case eoSubstring: return "SUBSTRING";
    case eoToString: return "TOSTRING";
    case eoToDate: return "TODATE";
    case eoPos: return "POS";
    case eoExtract: return "EXTRACT";
    case eoLength: return "LENGTH";
    case eoLastAutoInc: return "LASTAUTOINC";
    case eoRowNum: return "ROWNUM";
    case eoAbs: return "ABS";
    case eoAcos: return "ACOS";
    case eoAsin: return "ASIN";
    case eoAtan: return "ATAN";
    case eoCeil: return "CEIL";
    case eoCos: return "COS";
    case eoExp: return "EXP";
    case eoFloor: return "FLOOR";
    case eoLog: return "LOG";
    case eoPower: return "POWER";
    case eoRand: return "RAND";
    case eoRound: return "ROUND";
    case eoSign: return "SIGN";
    case eoSin: return "SIN";
    case eoSqr: return "SQR";
    case eoSqrt: return "SQRT";
    case eoMimeToBin: return "MIMETOBIN";
    case eoCoalesce: return "COALESCE";
    case eoCast: return "CAST";
    case eoLike: return "LIKE";
    default: return "";
  }
}

}  // namespace krx
