#include "KrxStatementRunner.h"

#include "KrxException.h"
#include "KrxLocale.h"

namespace krx {

TKrxRunResult KrxRunStatements(TKrxSQLProcessor& processor, TKrxDatabase& database, bool requestLive) {
  (void)database;
  (void)requestLive;
  // Lexical and parse errors come out of Parse before anything runs.
  processor.Parse();
  // The SQL layer parses every statement but has no execution of its own
  // yet: a statement that cannot run is an error, never a silent success.
  std::string firstWord;
  if (!processor.Statements().empty()) {
    const TSQLCommand& command = processor.Statements().front()->Lexer().CommandAt(0);
    if (!command.tokens.empty()) firstWord = command.tokens.front().text;
  }
  throw EKrxException(KrxError::StatementNotExecutable, KrxGbToUtf8(firstWord));
}

}  // namespace krx
