// The SQL processor of one query component: it owns the parameter list,
// the SQL text, the lexer of the current run and the statements parsed in
// it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxLexer.h"
#include "KrxSQLCommand.h"
#include "KrxSQLParams.h"

namespace krx {

class TKrxSQLQuery;

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

  const std::vector<std::unique_ptr<TKrxSQLCommand>>& Statements() const { return statements_; }
  int64_t RowsAffected() const { return rowsAffected_; }

 private:
  void FreeRun();

  TKrxSQLQuery* query_;
  TKrxSQLParams params_;
  std::string sql_;
  std::unique_ptr<TKrxLexer> lexer_;
  std::vector<std::unique_ptr<TKrxSQLCommand>> statements_;
  int64_t rowsAffected_ = 0;
};

}  // namespace krx
