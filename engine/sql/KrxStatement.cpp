#include "KrxStatement.h"

#include "KrxDDLStatements.h"
#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxSQLModify.h"
#include "KrxSQLUnion.h"

namespace krx {

namespace {

template <typename Statement>
std::unique_ptr<TKrxSQLCommand> Make(TKrxLexer& lexer, TKrxSQLQuery* query) {
  auto statement = std::make_unique<Statement>(lexer, query);
  statement->Parse();
  return statement;
}

// The object keyword after CREATE, DROP or ALTER.
const TToken& ObjectWord(TKrxLexer& lexer, int32_t endCode, int32_t wrongCode) {
  TToken next;
  if (!lexer.Peek(next)) KrxRaiseUnexpectedEnd(lexer, endCode);
  const TSQLCommand& command = lexer.Command();
  const TToken& word = command.tokens[command.position + 1];
  if (word.kind != tkKeyword) KrxRaiseToken(KrxError::ObjectTypeExpected, wrongCode, word);
  return word;
}

}  // namespace

std::unique_ptr<TKrxSQLCommand> KrxParseStatement(TKrxLexer& lexer, TKrxSQLQuery* query) {
  lexer.SetPosition(0);
  const TToken& first = lexer.Current();
  if (first.kind == tkNone) KrxRaiseAt(KrxError::BlankSQLCommand, 30146);
  if (first.kind == tkLeftParen || first.IsKeyword(kwSELECT)) {
    auto statement = Make<TKrxSQLUnion>(lexer, query);
    if (!lexer.AtEnd()) KrxRaiseToken(KrxError::EndOfCommandExpected, 20260, lexer.Current());
    return statement;
  }
  if (first.kind != tkKeyword) KrxRaiseToken(KrxError::SQLTokenExpected, 30154, first);
  switch (first.keyword) {
    case kwINSERT:
      return Make<TKrxSQLInsert>(lexer, query);
    case kwUPDATE:
      return Make<TKrxSQLUpdate>(lexer, query);
    case kwDELETE:
      return Make<TKrxSQLDelete>(lexer, query);
    case kwCREATE: {
      const TToken& word = ObjectWord(lexer, 30148, 30147);
      if (word.IsKeyword(kwTABLE)) return Make<TKrxDDLCreateTable>(lexer, query);
      if (word.IsKeyword(kwUNIQUE) || word.IsKeyword(kwINDEX)) return Make<TKrxDDLCreateIndex>(lexer, query);
      KrxRaiseToken(KrxError::ObjectTypeExpected, 30147, word);
    }
    case kwDROP: {
      const TToken& word = ObjectWord(lexer, 30150, 30149);
      if (word.IsKeyword(kwTABLE)) return Make<TKrxDDLDropTable>(lexer, query);
      if (word.IsKeyword(kwINDEX)) return Make<TKrxDDLDropIndex>(lexer, query);
      KrxRaiseToken(KrxError::ObjectTypeExpected, 30149, word);
    }
    case kwALTER: {
      const TToken& word = ObjectWord(lexer, 30152, 30151);
      if (word.IsKeyword(kwTABLE)) return Make<TKrxDDLAlterTable>(lexer, query);
      KrxRaiseToken(KrxError::ObjectTypeExpected, 30151, word);
    }
    case kwRENAME: {
      TToken next;
      if (!lexer.Peek(next)) KrxRaiseUnexpectedEnd(lexer, 30353);
      return Make<TKrxDDLRenameTable>(lexer, query);
    }
    case kwTRUNCATE:
      return Make<TKrxDDLTruncateTable>(lexer, query);
    case kwSTART:
      return Make<TKrxSQLStartTransaction>(lexer, query);
    case kwCOMMIT:
      return Make<TKrxSQLCommit>(lexer, query);
    case kwROLLBACK:
      return Make<TKrxSQLRollback>(lexer, query);
    default:
      KrxRaiseToken(KrxError::SQLTokenExpected, 30153, first);
  }
}

}  // namespace krx
