#include "KrxProcessor.h"

#include "KrxParserErrors.h"
#include "KrxStatement.h"

namespace krx {

TKrxSQLProcessor::TKrxSQLProcessor(TKrxSQLQuery* query) : query_(query) {}

TKrxSQLProcessor::~TKrxSQLProcessor() { FreeRun(); }

void TKrxSQLProcessor::FreeRun() {
  // Statements borrow the lexer: they go first.
  result_.reset();
  statements_.clear();
  lexer_.reset();
  rowsAffected_ = 0;
}

void TKrxSQLProcessor::Parse() {
  FreeRun();
  lexer_ = std::make_unique<TKrxLexer>(sql_, &params_);
  if (lexer_->CommandCount() == 0) KrxRaiseAt(KrxError::BlankSQLCommand, 30145);
  while (lexer_->NextCommand()) statements_.push_back(KrxParseStatement(*lexer_, query_));
}

void TKrxSQLProcessor::Execute(TKrxExecSession& session) {
  Parse();
  for (const auto& statement : statements_) {
    result_.reset();
    statement->Execute(session);
    rowsAffected_ += statement->RowsAffected();
    result_ = statement->TakeResult();
  }
}

}  // namespace krx
