#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxSQLModify.h"

namespace krx {

TKrxSQLInsert::~TKrxSQLInsert() = default;

void TKrxSQLInsert::Parse() {
  // INSERT INTO [MEMORY] [database .] table [PASSWORD password]
  KrxExpectNextKeyword(*lexer_, kwINTO, "INTO", 30206);
  target_.inMemory = inMemory_;
  const TToken* name = &KrxExpectNext(*lexer_, kTableNameKinds, KrxError::TableNameExpected, 30207);
  TToken after;
  if (name->IsKeyword(kwMEMORY) && lexer_->Peek(after) && after.kind != tkDot && after.kind != tkLeftParen &&
      !after.IsKeyword(kwVALUES) && !after.IsKeyword(kwSELECT) && !after.IsKeyword(kwPASSWORD)) {
    target_.inMemory = true;
    name = &KrxExpectNext(*lexer_, kTableNameKinds, KrxError::TableNameExpected, 30208);
  }
  target_.tableName = KrxNameOf(*name);
  Next();
  if (Current().kind == tkDot) {
    target_.databaseName = target_.tableName;
    target_.tableName = KrxNameOf(KrxExpectNext(*lexer_, kAliasOrNameKinds, KrxError::TableNameExpected, 30493));
    Next();
  }
  if (Current().IsKeyword(kwPASSWORD)) {
    target_.password = KrxNameOf(KrxExpectNext(*lexer_, kPasswordKinds, KrxError::PasswordExpected, 30210));
    Next();
  }
  // A '(' opens the column list unless a query follows it.
  if (Current().kind == tkLeftParen) {
    TToken first;
    lexer_->Peek(first);
    if (!first.IsKeyword(kwSELECT) && first.kind != tkLeftParen) ParseColumns();
  }
  const TToken& body = Current();
  if (body.IsKeyword(kwVALUES)) {
    ParseValues();
  } else if (body.kind == tkLeftParen) {
    Next();
    sourceQuery_ = KrxParseQueryExpression(*lexer_, query_);
    if (Current().kind != tkRightParen) KrxRaiseAt(KrxError::MissingCloseParen, 20256, Current().line, Current().column);
    Next();
  } else if (body.IsKeyword(kwSELECT)) {
    sourceQuery_ = KrxParseQueryExpression(*lexer_, query_);
  } else {
    KrxRaiseUnexpectedEnd(*lexer_, 30213);
  }
  if (Current().kind != tkNone) KrxRaiseToken(KrxError::UnexpectedToken, 20412, Current());
}

void TKrxSQLInsert::ParseColumns() {
  for (;;) {
    const TToken& column = KrxExpectNext(*lexer_, kFieldNameKinds, KrxError::FieldNameExpected, 2156);
    columns_.push_back(KrxNameOf(column));
    const TToken& after = KrxExpectNext(*lexer_, kCloseOrCommaKinds, KrxError::CloseOrCommaExpected, 30212);
    if (after.kind == tkRightParen) break;
  }
  Next();
}

void TKrxSQLInsert::ParseValues() {
  const TToken valuesToken = Current();
  KrxExpectNext(*lexer_, kOpenParenKinds, KrxError::OpenParenExpected, 30214);
  for (;;) {
    std::vector<TKrxExpressionPtr> row;
    for (;;) {
      const TToken& start = KrxNextOrEnd(*lexer_, 30357);
      const TToken startCopy = start;
      TKrxExpressionPtr value = KrxParseValue(*lexer_, query_);
      if (!value) KrxRaiseToken(KrxError::ErrorParsingParameter, 30357, startCopy);
      row.push_back(std::move(value));
      const TToken& after = Current();
      if (after.kind == tkComma) continue;
      if (after.kind == tkRightParen) break;
      if (after.kind == tkNone) KrxRaiseUnexpectedEnd(*lexer_, 20413);
      KrxRaiseToken(KrxError::CloseOrCommaExpected, 20413, after);
    }
    if (rows_.empty() && !columns_.empty() && columns_.size() != row.size()) {
      KrxRaiseAt(KrxError::FieldCountMismatch, 20259, static_cast<int64_t>(columns_.size()),
                 static_cast<int64_t>(row.size()), valuesToken.line, valuesToken.column);
    }
    rows_.push_back(std::move(row));
    Next();
    if (Current().kind != tkComma) break;
    KrxExpectNext(*lexer_, kOpenParenKinds, KrxError::OpenParenExpected, 30214);
  }
}

}  // namespace krx
