#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxSQLModify.h"

namespace krx {

void TKrxSQLStartTransaction::Parse() {
  if (!Current().IsKeyword(kwSTART)) KrxRaiseExpected(30458, "START", Current());
  KrxExpectNextKeyword(*lexer_, kwTRANSACTION, "TRANSACTION", 30460);
  Next();
  if (Current().kind != tkNone) KrxRaiseToken(KrxError::UnexpectedToken, 20425, Current());
}

void TKrxSQLCommit::Parse() {
  // Words after COMMIT are ignored, except that FLUSH asks for the
  // committed data to be flushed to the file.
  while (Next()) {
    if (Current().IsKeyword(kwFLUSH)) flush_ = true;
  }
}

void TKrxSQLRollback::Parse() {
  // Like COMMIT, ROLLBACK takes no further words and ignores them.
  lexer_->SetPosition(lexer_->Command().TokenCount());
}

}  // namespace krx
