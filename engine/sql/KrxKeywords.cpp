#include "KrxKeywords.h"

#include <algorithm>
#include <array>
#include <string>

namespace krx {

namespace {

constexpr std::string_view kWords[kKrxKeywordCount] = {
    "ABSOLUTE", "ACTION", "ADD", "ALL", "ALLOCATE", "ALTER", "AND", "ANY", "ARE", "AS",
    "ASC", "ASSERTION", "AT", "AUTHORIZATION", "AVG", "BEGIN", "BETWEEN", "BIT",
    "BIT_LENGTH", "BOTH", "BY", "CASCADE", "CASCADED", "CASE", "CAST", "CATALOG", "CHAR",
    "CHARACTER", "CHAR_LENGTH", "CHARACTER_LENGTH", "CHECK", "CLOSE", "COALESCE",
    "COLLATE", "COLLATION", "COLUMN", "COMMIT", "CONNECT", "CONNECTION", "CONSTRAINT",
    "CONSTRAINTS", "CONTINUE", "CONVERT", "CORRESPONDING", "COUNT", "CREATE", "CROSS",
    "CURRENT", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP", "CURRENT_USER",
    "CURSOR", "DATE", "DAY", "DEALLOCATE", "DEC", "DECIMAL", "DECLARE", "DEFAULT",
    "DEFERRABLE", "DEFERRED", "DELETE", "DESC", "DESCRIBE", "DESCRIPTOR", "DIAGNOSTICS",
    "DISCONNECT", "DISTINCT", "DOMAIN", "DOUBLE", "DROP", "ELSE", "END", "END-EXEC",
    "ESCAPE", "EXCEPT", "EXCEPTION", "EXEC", "EXECUTE", "EXISTS", "EXTERNAL", "EXTRACT",
    "FALSE", "FETCH", "FIRST", "FLOAT", "FOR", "FOREIGN", "FOUND", "FROM", "FULL", "GET",
    "GLOBAL", "GO", "GOTO", "GRANT", "GROUP", "HAVING", "HOUR", "IDENTITY", "IMMEDIATE",
    "IN", "INDICATOR", "INITIALLY", "INNER", "INPUT", "INSENSITIVE", "INSERT", "INT",
    "INTEGER", "INTERSECT", "INTERVAL", "INTO", "IS", "ISOLATION", "JOIN", "KEY",
    "LANGUAGE", "LAST", "LEADING", "LEFT", "LEVEL", "LIKE", "LOCAL", "LOWER", "MATCH",
    "MAX", "MEMORY", "MIN", "MINUS", "MINUTE", "MODULE", "MONTH", "NAMES", "NATIONAL",
    "NATURAL", "NCHAR", "NEXT", "NO", "NOT", "NULL", "NULLIF", "NUMERIC", "OCTET_LENGTH",
    "OF", "ON", "ONLY", "OPEN", "OPTION", "OR", "ORDER", "OUTER", "OUTPUT", "OVERLAPS",
    "PAD", "PARTIAL", "POSITION", "PRECISION", "PREPARE", "PRESERVE", "PRIMARY", "PRIOR",
    "PRIVILEGES", "PROCEDURE", "PUBLIC", "READ", "REAL", "REFERENCES", "RELATIVE",
    "RESTRICT", "REVOKE", "RIGHT", "ROLLBACK", "ROWS", "SCHEMA", "SCROLL", "SECOND",
    "SECTION", "SELECT", "SESSION", "SESSION_USER", "SET", "SIZE", "SMALLINT", "SOME",
    "SPACE", "SQL", "SQLCODE", "SQLERROR", "SQLSTATE", "SUBSTRING", "SUM", "SYSTEM_USER",
    "TABLE", "TEMPORARY", "THEN", "TIME", "TIMESTAMP", "TIMEZONE_HOUR", "TIMEZONE_MINUTE",
    "TO", "TOP", "TRAILING", "TRANSACTION", "TRANSLATE", "TRANSLATION", "TRIM", "TRUE",
    "UNION", "UNIQUE", "UNKNOWN", "UPDATE", "UPPER", "USAGE", "USER", "USING", "VALUE",
    "VALUES", "VARCHAR", "VARYING", "VIEW", "WHEN", "WHENEVER", "WHERE", "WITH", "WORK",
    "WRITE", "YEAR", "ZONE", "PASSWORD", "BLOBBLOCKSIZE", "BLOBCOMPRESSIONMODE",
    "BLOBCOMPRESSIONALGORITHM", "LASTAUTOINC", "MODIFY", "NEW", "INDEX", "NOCASE",
    "LTRIM", "RTRIM", "POS", "LENGTH", "SYSDATE", "NOW", "TODATE", "TOSTRING",
    "AUTOINDEXES", "NOAUTOINDEXES", "INCREMENT", "LASTVALUE", "MAXVALUE", "MINVALUE",
    "CYCLED", "NOMAXVALUE", "NOMINVALUE", "NOCYCLED", "INITIALVALUE", "STARTVALUE",
    "RENAME", "START", "FLUSH", "AUTOINC", "MIMETOBIN", "ROWNUM", "IF", "TRUNCATE", "ABS",
    "ACOS", "ASIN", "ATAN", "CEIL", "COS", "EXP", "FLOOR", "LOG", "POWER", "RAND",
    "ROUND", "SIGN", "SIN", "SQR", "SQRT", "HALFEVEN", "HALFPOS", "HALFNEG", "HALFDOWN",
    "HALFUP", "RNDNEG", "RNDPOS", "RNDDOWN", "RNDUP",
};

// Sorted view of the table for binary search, built once.
struct SortedKeywords {
  std::array<int16_t, kKrxKeywordCount> order{};
  SortedKeywords() {
    for (int i = 0; i < kKrxKeywordCount; ++i) order[i] = static_cast<int16_t>(i);
    std::sort(order.begin(), order.end(), [](int16_t a, int16_t b) { return kWords[a] < kWords[b]; });
  }
};

const SortedKeywords& Sorted() {
  static const SortedKeywords sorted;
  return sorted;
}

}  // namespace

std::string_view KrxKeywordText(int keyword) {
  if (keyword < 0 || keyword >= kKrxKeywordCount) return {};
  return kWords[keyword];
}

TKrxKeyword KrxFindKeyword(std::string_view word) {
  constexpr size_t kLongestKeyword = 24;
  if (word.empty() || word.size() > kLongestKeyword) return kwNone;
  char upper[kLongestKeyword];
  for (size_t i = 0; i < word.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(word[i]);
    if (c >= 0x80) return kwNone;
    upper[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
  }
  std::string_view key(upper, word.size());
  const auto& order = Sorted().order;
  auto it = std::lower_bound(order.begin(), order.end(), key,
                             [](int16_t index, std::string_view k) { return kWords[index] < k; });
  if (it != order.end() && kWords[*it] == key) return static_cast<TKrxKeyword>(*it);
  return kwNone;
}

}  // namespace krx
