#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxSQLModify.h"

namespace krx {

TKrxSQLDelete::~TKrxSQLDelete() = default;

void TKrxSQLDelete::Parse() {
  TSQLCommand& command = lexer_->Command();
  if (command.TokenCount() < 2) KrxRaiseUnexpectedEnd(*lexer_, 30224);
  // DELETE FROM ... becomes SELECT * FROM ..., so that the block's FROM and
  // WHERE rules apply.
  TToken& first = command.tokens.front();
  first.kind = tkKeyword;
  first.keyword = kwSELECT;
  first.text = "select";
  TToken star;
  star.kind = tkWord;
  star.text = "*";
  star.line = first.line;
  star.column = first.column;
  command.tokens.insert(command.tokens.begin() + 1, std::move(star));
  lexer_->SetPosition(0);
  rowSelect_ = std::make_unique<TKrxSQLSelect>(*lexer_, query_);
  rowSelect_->Parse();
  if (Current().kind != tkNone) KrxRaiseToken(KrxError::EndOfCommandExpected, 20424, Current());
}

}  // namespace krx
