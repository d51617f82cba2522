#include <random>

#include "ExprTestSupport.h"

namespace krx::test {
namespace {

// Token soup: every mix of these pieces must either parse or raise an
// engine error, never crash or throw anything else (run under the
// sanitizers, this catches out-of-range reads of the token list).
const char* const kPieces[] = {
    "a",  "b.c", "1",   "2.5", "'x'", "''",   "(",     ")",     ",",      "+",     "-",     "*",    "/",
    "||", "=",   "<>",  ">=",  "NOT", "AND",  "OR",    "IS",    "NULL",   "TRUE",  "LIKE",  "ESCAPE", "'!'",
    "IN", "BETWEEN", "EXISTS", "SELECT", "FROM", "CASE", "WHEN", "THEN", "ELSE", "END", "CAST", "AS", "INTEGER",
    "UPPER", "SUBSTRING", "FOR", "TOSTRING", "TODATE", "'yyyy'", "EXTRACT", "YEAR", "COUNT", "SUM", "DISTINCT",
    "COALESCE", "ROUND", "HALFEVEN", "POWER", "POS", "DATE", "'2024-01-05'", "ANY", "ALL", "SYSDATE", "ROWNUM",
    "LASTAUTOINC", "MEMORY", "MIMETOBIN", "[n]", "电缆",
};

TEST(ExprRobustnessTest, AnyTokenMixParsesOrRaisesAnEngineError) {
  std::mt19937 random(20240105);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(1, 12);
  for (int round = 0; round < 4000; ++round) {
    std::string text;
    const int count = length(random);
    for (int i = 0; i < count; ++i) text += std::string(kPieces[piece(random)]) + " ";
    for (bool condition : {true, false}) {
      try {
        Parsed parsed = Parse(text, condition);
        if (parsed.expression) {
          // Types of unbound columns are unknown; asking must not crash.
          try {
            parsed.expression->ResultType();
          } catch (const EKrxException&) {
          }
        }
      } catch (const EKrxException&) {
      } catch (const std::exception& e) {
        ADD_FAILURE() << text << ": " << e.what();
      }
    }
  }
}

}  // namespace
}  // namespace krx::test
