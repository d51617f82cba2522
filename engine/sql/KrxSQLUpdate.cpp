#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxSQLModify.h"

namespace krx {

TKrxSQLUpdate::~TKrxSQLUpdate() = default;

void TKrxSQLUpdate::Parse() {
  ParseTarget();
  if (!Current().IsKeyword(kwSET)) {
    if (Current().kind == tkNone) KrxRaiseUnexpectedEnd(*lexer_, 30220);
    KrxRaiseExpected(30220, "SET", Current());
  }
  KrxNextOrEnd(*lexer_, 30223);
  if (Current().kind == tkLeftParen) {
    ParseRowForm();
  } else {
    ParseAssignments();
  }
  const int whereStart = lexer_->GetPosition();
  if (Current().kind != tkNone && !Current().IsKeyword(kwWHERE)) {
    KrxRaiseToken(KrxError::UnexpectedToken, 20423, Current());
  }
  BuildRowSelect(whereStart);
}

void TKrxSQLUpdate::ParseTarget() {
  // UPDATE [MEMORY] [database .] table [[AS] alias] [PASSWORD password]
  target_.inMemory = inMemory_;
  const TToken* name = &KrxExpectNext(*lexer_, kTableNameKinds, KrxError::TableNameExpected, 20414);
  TToken after;
  if (name->IsKeyword(kwMEMORY) && lexer_->Peek(after) && after.kind != tkDot && !after.IsKeyword(kwSET) &&
      !after.IsKeyword(kwAS) && !after.IsKeyword(kwPASSWORD)) {
    target_.inMemory = true;
    name = &KrxExpectNext(*lexer_, kTableNameKinds, KrxError::TableNameExpected, 20415);
  }
  target_.tableName = KrxNameOf(*name);
  Next();
  if (Current().kind == tkDot) {
    target_.databaseName = target_.tableName;
    target_.tableName = KrxNameOf(KrxExpectNext(*lexer_, kAliasOrNameKinds, KrxError::TableNameExpected, 20416));
    Next();
  }
  if (Current().IsKeyword(kwAS)) {
    target_.alias = KrxNameOf(KrxExpectNext(*lexer_, kAliasOrNameKinds, KrxError::PseudonymExpected, 20417));
    Next();
  } else if (Current().kind == tkWord || Current().kind == tkBracketedName || Current().kind == tkParameter) {
    target_.alias = KrxNameOf(Current());
    Next();
  }
  if (Current().IsKeyword(kwPASSWORD)) {
    target_.password = KrxNameOf(KrxExpectNext(*lexer_, kPasswordKinds, KrxError::PasswordExpected, 20418));
    Next();
  }
}

void TKrxSQLUpdate::ParseAssignments() {
  for (;;) {
    const TToken& column = Current();
    if (!kAliasKinds.Has(column.kind)) KrxRaiseToken(KrxError::FieldNameExpected, 20419, column);
    TKrxAssignment assignment;
    assignment.columnName = KrxNameOf(column);
    TToken dot;
    if (lexer_->Peek(dot) && dot.kind == tkDot && KrxSameName(assignment.columnName, target_.tableName)) {
      Next();
      assignment.columnName = KrxNameOf(KrxExpectNext(*lexer_, kAliasKinds, KrxError::FieldNameExpected, 20419));
    }
    const TToken& equals = KrxNextOrEnd(*lexer_, 30221);
    if (!KrxIsWord(equals, "=")) KrxRaiseExpected(30221, "=", equals);
    const TToken& start = KrxNextOrEnd(*lexer_, 20420);
    const TToken startCopy = start;
    assignment.value = KrxParseValue(*lexer_, query_);
    if (!assignment.value) KrxRaiseToken(KrxError::ExpressionExpected, 20420, startCopy);
    assignments_.push_back(std::move(assignment));
    const TToken& after = Current();
    if (after.kind == tkNone || after.IsKeyword(kwWHERE)) return;
    if (after.kind != tkComma) KrxRaiseExpected(30222, ",", after);
    KrxNextOrEnd(*lexer_, 30223);
  }
}

void TKrxSQLUpdate::ParseRowForm() {
  // SET ( column {, column} ) = ( query expression )
  for (;;) {
    const TToken& column = KrxExpectNext(*lexer_, kAliasKinds, KrxError::FieldNameExpected, 20419);
    rowColumns_.push_back(KrxNameOf(column));
    const TToken& after = KrxNextOrEnd(*lexer_, 30494);
    if (after.kind == tkRightParen) break;
    if (after.kind != tkComma) KrxRaiseExpected(30494, ")", after);
  }
  const TToken& equals = KrxNextOrEnd(*lexer_, 30495);
  if (!KrxIsWord(equals, "=")) KrxRaiseExpected(30495, "=", equals);
  const TToken& open = KrxNextOrEnd(*lexer_, 20421);
  if (open.kind != tkLeftParen) KrxRaiseExpected(20421, "(", open);
  KrxNextOrEnd(*lexer_, 20421);
  rowQuery_ = KrxParseQueryExpression(*lexer_, query_);
  if (Current().kind != tkRightParen) KrxRaiseExpected(20422, ")", Current());
  Next();
}

void TKrxSQLUpdate::BuildRowSelect(int whereStart) {
  const TToken& updateToken = lexer_->Command().tokens.front();
  auto token = [&](TTokenKind kind, std::string text, int16_t keyword = kwNone) {
    TToken t;
    t.kind = kind;
    t.keyword = keyword;
    t.text = std::move(text);
    t.line = updateToken.line;
    t.column = updateToken.column;
    return t;
  };
  rowLexer_ = std::make_unique<TKrxLexer>();
  rowLexer_->AppendCommand();
  rowLexer_->AppendToken(token(tkKeyword, "select", kwSELECT));
  rowLexer_->AppendToken(token(tkWord, "*"));
  rowLexer_->AppendToken(token(tkKeyword, "from", kwFROM));
  if (target_.inMemory && !inMemory_) rowLexer_->AppendToken(token(tkKeyword, "memory", kwMEMORY));
  if (!target_.databaseName.empty()) {
    rowLexer_->AppendToken(token(tkString, target_.databaseName));
    rowLexer_->AppendToken(token(tkDot, "."));
  }
  // Names go in as bracketed names so that no name reads as a keyword.
  rowLexer_->AppendToken(token(tkBracketedName, target_.tableName));
  if (!target_.alias.empty()) rowLexer_->AppendToken(token(tkBracketedName, target_.alias));
  if (!target_.password.empty()) {
    rowLexer_->AppendToken(token(tkKeyword, "password", kwPASSWORD));
    rowLexer_->AppendToken(token(tkString, target_.password));
  }
  const std::vector<TToken>& tokens = lexer_->Command().tokens;
  for (int i = whereStart; i < static_cast<int>(tokens.size()); ++i) rowLexer_->AppendToken(tokens[i]);
  rowSelect_ = std::make_unique<TKrxSQLSelect>(*rowLexer_, query_);
  rowSelect_->Parse();
  if (!rowLexer_->AtEnd()) KrxRaiseToken(KrxError::UnexpectedToken, 20423, rowLexer_->Current());
  lexer_->SetPosition(static_cast<int>(tokens.size()));
}

}  // namespace krx
