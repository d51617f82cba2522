// Column and index definitions of CREATE TABLE and ALTER TABLE, and the
// parsers of their clauses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KrxDataTypes.h"
#include "KrxLexer.h"
#include "KrxVariant.h"

namespace krx {

class TKrxSQLQuery;

// One column as a statement declares it. Only the settings whose has-flag
// is on are applied to the table's field.
struct TSQLFieldDef {
  std::string name;
  bool ifNotExists = false;
  TKrxAdvancedType fieldType = TKrxAdvancedType::Unknown;
  bool hasFieldType = false;
  int32_t size = 0;
  bool hasSize = false;
  bool notNull = false;
  bool hasNotNull = false;
  int64_t autoIncIncrement = 1;
  bool hasAutoIncIncrement = false;
  int64_t autoIncInitialValue = 0;
  bool hasAutoIncInitialValue = false;
  int64_t autoIncMinValue = 0;
  bool hasAutoIncMinValue = false;
  int64_t autoIncMaxValue = INT64_MAX;
  bool hasAutoIncMaxValue = false;
  bool autoIncCycled = false;
  bool hasAutoIncCycled = false;
  int32_t blobBlockSize = 0;
  bool hasBlobBlockSize = false;
  uint8_t blobCompressionMode = 0;
  bool hasBlobCompressionMode = false;
  uint8_t blobCompressionAlgorithm = 0;
  bool hasBlobCompressionAlgorithm = false;
  TKrxVariant defaultValue;
  bool hasDefaultValue = false;
  TKrxVariant minValue;
  bool hasMinValue = false;
  TKrxVariant maxValue;
  bool hasMaxValue = false;
};
using TSQLFieldDefs = std::vector<TSQLFieldDef>;

struct TKrxIndexField {
  std::string name;
  bool descending = false;
  bool caseInsensitive = false;
};

enum : uint8_t { kIndexOptionPrimary = 1, kIndexOptionUnique = 2 };

struct TKrxDDLIndexDef {
  std::string name;  // generated when the statement gives none
  bool unique = false;
  bool primary = false;
  std::vector<TKrxIndexField> columns;

  uint8_t Options() const {
    return static_cast<uint8_t>((primary ? kIndexOptionPrimary : 0) | (unique ? kIndexOptionUnique : 0));
  }
  // Column names, case-insensitive and descending columns joined by
  // `separator` (the table layer takes "," for table definitions and ";"
  // for CREATE INDEX).
  std::string ColumnNames(char separator) const;
  std::string CaseInsensitiveColumns(char separator) const;
  std::string DescendingColumns(char separator) const;
};

// "C_PK", "C_Unique" or "i", then "$" and each column name.
std::string KrxGeneratedIndexName(const TKrxDDLIndexDef& index);

// Reads the elements of a CREATE TABLE / ALTER TABLE ADD list: columns and
// index elements; the current token is the '(' before the first element,
// and the ')' after the last is current afterwards.
void KrxParseTableElements(TKrxLexer& lexer, TKrxSQLQuery* query, TSQLFieldDefs& fields,
                           std::vector<TKrxDDLIndexDef>& indexes);

// Reads one column definition; the current token is its first token, and
// the ',' or ')' after it is current afterwards.
TSQLFieldDef KrxParseColumnDefinition(TKrxLexer& lexer, TKrxSQLQuery* query, std::vector<TKrxDDLIndexDef>& indexes);

// Reads "( index column {, index column} )" from the '(' (current) on;
// afterwards the ')' is current. Index columns are names followed by any of
// ASC, DESC, CASE, NOCASE. When `password` is given, PASSWORD password may
// stand in place of a column.
void KrxParseIndexColumns(TKrxLexer& lexer, std::vector<TKrxIndexField>& columns, std::string* password);

}  // namespace krx
