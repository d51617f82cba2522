// Base classes of the parsed statements. A statement is made by
// KrxParseStatement from the lexer's current command: it is constructed
// and then parsed, so a statement object exists only if its text parsed.
// It owns everything it parsed.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxLexer.h"
#include "KrxParserExpressions.h"
#include "KrxResultCursor.h"

namespace krx {

class TKrxSQLQuery;
class TKrxExecSession;
class TKrxResultCursor;

class TKrxSQLCommand {
 public:
  TKrxSQLCommand(TKrxLexer& lexer, TKrxSQLQuery* query);
  virtual ~TKrxSQLCommand();
  TKrxSQLCommand(const TKrxSQLCommand&) = delete;
  TKrxSQLCommand& operator=(const TKrxSQLCommand&) = delete;

  // Reads the statement from the lexer's current token on.
  virtual void Parse() = 0;
  // Runs the parsed statement in the session; leaves RowsAffected.
  virtual void Execute(TKrxExecSession& session) = 0;
  // The rows of a statement that produces rows, once after Execute; null
  // for the others.
  virtual std::unique_ptr<TKrxResultCursor> TakeResult() { return nullptr; }

  TKrxLexer& Lexer() const { return *lexer_; }
  TKrxSQLQuery* Query() const { return query_; }
  bool InMemory() const { return inMemory_; }
  int64_t RowsAffected() const { return rowsAffected_; }

 protected:
  const TToken& Current() const { return lexer_->Current(); }
  // Moves on; false past the end of the command.
  bool Next();

  TKrxLexer* lexer_;
  TKrxSQLQuery* query_;
  bool inMemory_ = false;
  int64_t rowsAffected_ = 0;
};

// A table receiving a query's result (SELECT ... INTO).
struct TKrxIntoTarget {
  bool present = false;
  std::string databaseName;
  std::string tableName;
  bool inMemory = false;
  bool immediate = false;
};

struct TKrxSortSpecification {
  std::string qualifier;
  // The column name, or the decimal text of a 1-based column number.
  std::string columnName;
  bool isNumber = false;
  bool descending = false;
};

// Base of the statements that produce rows.
class TKrxSQLCursorCommand : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  ~TKrxSQLCursorCommand() override;

  std::unique_ptr<TKrxResultCursor> TakeResult() override;

  const std::vector<TKrxSortSpecification>& SortSpecifications() const { return orderBy_; }
  const TKrxIntoTarget& Into() const { return into_; }

 protected:
  // ORDER BY ... at the current token (ORDER); codes of the block or of the
  // query expression.
  void ParseOrderBy();

  // Copies the result into the INTO target table.
  void WriteInto(TKrxExecSession& session);

  std::vector<TKrxSortSpecification> orderBy_;
  TKrxIntoTarget into_;
  std::unique_ptr<TKrxResultCursor> result_;
};

}  // namespace krx
