// The SQL processor of one query component: it owns the parameter list,
// the SQL text, the lexer of the current run and the statements parsed in
// it.
//
// How a query component uses it:
//   1. SetSQL(text)            the text in the national code page (GB18030);
//      Params()                parameter values, by name or position.
//   2. Execute(session)        parses every command (a lexical or parse
//                              error stops before anything runs), then runs
//                              the statements one after another in the
//                              session (KrxExecSession.h). An error stops the
//                              run; what earlier statements did stays done.
//   3. RowsAffected()          the sum over the statements of the run (64
//                              bits).
//      TakeResult()            the rows of the last statement when it
//                              produces rows (SELECT), else null: field
//                              definitions and records in the in-memory
//                              record layout (KrxResultCursor.h).
// Parse() alone checks the text without running it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxLexer.h"
#include "KrxResultCursor.h"
#include "KrxSQLCommand.h"
#include "KrxSQLParams.h"

namespace krx {

class TKrxSQLQuery;
class TKrxExecSession;

class TKrxSQLProcessor {
 public:
  explicit TKrxSQLProcessor(TKrxSQLQuery* query);
  ~TKrxSQLProcessor();

  TKrxSQLParams& Params() { return params_; }
  const std::string& SQL() const { return sql_; }
  void SetSQL(std::string sql) { sql_ = std::move(sql); }

  // Frees the previous run, tokenises the text (lexical errors stop here,
  // before any statement) and parses its commands in order. "Blank SQL
  // command" for a text without commands.
  void Parse();
  // Parses and runs every statement.
  void Execute(TKrxExecSession& session);

  const std::vector<std::unique_ptr<TKrxSQLCommand>>& Statements() const { return statements_; }
  int64_t RowsAffected() const { return rowsAffected_; }
  // The last statement's rows, once per run.
  std::unique_ptr<TKrxResultCursor> TakeResult() { return std::move(result_); }

 private:
  void FreeRun();

  TKrxSQLQuery* query_;
  TKrxSQLParams params_;
  std::string sql_;
  std::unique_ptr<TKrxLexer> lexer_;
  std::vector<std::unique_ptr<TKrxSQLCommand>> statements_;
  int64_t rowsAffected_ = 0;
  std::unique_ptr<TKrxResultCursor> result_;
};

}  // namespace krx
