#include "KrxDDLStatements.h"

#include "KrxParser.h"
#include "KrxParserErrors.h"

namespace krx {

namespace {

bool Advance(TKrxLexer& lexer) {
  TToken ignored;
  return lexer.Advance(ignored);
}

// [MEMORY] [database .] table [[AS] alias] [PASSWORD password] from the
// token after the current one; afterwards the token after the reference.
void ParseDDLTableReference(TKrxLexer& lexer, bool queryInMemory, TKrxTargetTable& table) {
  table.inMemory = queryInMemory;
  const TToken* name = &KrxExpectNext(lexer, kTableNameKinds, KrxError::TableNameExpected, 30230);
  TToken after;
  if (name->IsKeyword(kwMEMORY) && lexer.Peek(after) && kTableNameKinds.Has(after.kind) &&
      !after.IsKeyword(kwAS) && !after.IsKeyword(kwPASSWORD) && !after.IsKeyword(kwTO)) {
    table.inMemory = true;
    name = &KrxExpectNext(lexer, kTableNameKinds, KrxError::TableNameExpected, 30231);
  }
  table.tableName = KrxNameOf(*name);
  Advance(lexer);
  if (lexer.Current().kind == tkDot) {
    table.databaseName = table.tableName;
    table.tableName = KrxNameOf(KrxExpectNext(lexer, kAliasOrNameKinds, KrxError::TableNameExpected, 20426));
    Advance(lexer);
  }
  if (lexer.Current().IsKeyword(kwAS)) {
    table.alias = KrxNameOf(KrxExpectNext(lexer, kAliasOrNameKinds, KrxError::PseudonymExpected, 20427));
    Advance(lexer);
  } else if (lexer.Current().kind == tkWord || lexer.Current().kind == tkBracketedName) {
    table.alias = KrxNameOf(lexer.Current());
    Advance(lexer);
  }
  if (lexer.Current().IsKeyword(kwPASSWORD)) {
    table.password = KrxNameOf(KrxExpectNext(lexer, kPasswordKinds, KrxError::PasswordExpected, 30238));
    Advance(lexer);
  }
}

}  // namespace

void TKrxDDLTableManipulation::ParseTableReference() { ParseDDLTableReference(*lexer_, inMemory_, table_); }

void TKrxDDLTableManipulation::CheckEnd() const {
  if (Current().kind != tkNone) KrxRaiseToken(KrxError::UnexpectedToken, 30246, Current());
}

void TKrxDDLCreateTable::Parse() {
  // Current: CREATE; the dispatcher has seen TABLE after it.
  Next();
  TToken after;
  if (lexer_->Peek(after) && after.IsKeyword(kwIF)) {
    Next();
    KrxExpectNextKeyword(*lexer_, kwNOT, "NOT", 30486);
    KrxExpectNextKeyword(*lexer_, kwEXISTS, "EXISTS", 30487);
    ifNotExists_ = true;
  }
  ParseTableReference();
  if (Current().kind != tkLeftParen) {
    if (Current().kind == tkNone) KrxRaiseUnexpectedEnd(*lexer_, 30226);
    KrxRaiseExpected(30226, "(", Current());
  }
  KrxParseTableElements(*lexer_, query_, fieldDefs_, indexDefs_);
  Next();
  CheckEnd();
}

void TKrxDDLDropTable::Parse() {
  // Current: DROP; TABLE follows.
  Next();
  TToken after;
  if (lexer_->Peek(after) && after.IsKeyword(kwIF)) {
    Next();
    KrxExpectNextKeyword(*lexer_, kwEXISTS, "EXISTS", 30485);
    ifExists_ = true;
  }
  ParseTableReference();
  CheckEnd();
}

void TKrxDDLTruncateTable::Parse() {
  // Current: TRUNCATE [TABLE].
  TToken after;
  if (lexer_->Peek(after) && after.IsKeyword(kwTABLE)) Next();
  ParseTableReference();
  CheckEnd();
}

void TKrxDDLAlterTable::Parse() {
  // Current: ALTER; TABLE follows.
  Next();
  ParseTableReference();
  const TToken& action = Current();
  if (action.IsKeyword(kwADD) || action.IsKeyword(kwMODIFY)) {
    action_ = action.IsKeyword(kwADD) ? aaAdd : aaModify;
    const TToken& open = KrxNextOrEnd(*lexer_, 20430);
    if (open.kind != tkLeftParen) KrxRaiseExpected(20430, "(", open);
    if (action_ == aaAdd) {
      KrxParseTableElements(*lexer_, query_, fieldDefs_, indexDefs_);
    } else {
      for (;;) {
        KrxNextOrEnd(*lexer_, 30227);
        fieldDefs_.push_back(KrxParseColumnDefinition(*lexer_, query_, indexDefs_));
        if (Current().kind == tkRightParen) break;
        if (Current().kind != tkComma) KrxRaiseToken(KrxError::CloseOrCommaExpected, 30229, Current());
      }
    }
    Next();
  } else if (action.IsKeyword(kwDROP)) {
    action_ = aaDrop;
    ParseDrop();
  } else if (action.IsKeyword(kwRENAME)) {
    ParseRename();
  } else if (action.kind == tkNone) {
    KrxRaiseUnexpectedEnd(*lexer_, 30253);
  } else {
    KrxRaiseToken(KrxError::AddDropModifyExpected, action.kind == tkKeyword ? 30252 : 30253, action);
  }
  CheckEnd();
}

void TKrxDDLAlterTable::ParseDrop() {
  // DROP ( column {, column} ): the token after DROP is taken as the '('.
  KrxNextOrEnd(*lexer_, 20437);
  for (;;) {
    const TToken& column = KrxExpectNext(*lexer_, kAliasKinds, KrxError::FieldNameExpected, 20437);
    dropColumns_.push_back(KrxNameOf(column));
    const TToken& after = KrxExpectNext(*lexer_, kCloseOrCommaKinds, KrxError::CloseOrCommaExpected, 20438);
    if (after.kind == tkRightParen) break;
  }
  Next();
}

void TKrxDDLAlterTable::ParseRename() {
  // RENAME [COLUMN] old TO new | RENAME TO new table name
  const TToken* token = &KrxNextOrEnd(*lexer_, 30352);
  if (token->IsKeyword(kwTO)) {
    action_ = aaRenameTo;
    newTableName_ = KrxNameOf(KrxExpectNext(*lexer_, kTableNameKinds, KrxError::TableNameExpected, 20439));
    Next();
    return;
  }
  action_ = aaRenameColumn;
  if (token->IsKeyword(kwCOLUMN)) token = &KrxNextOrEnd(*lexer_, 30352);
  if (!kFieldNameKinds.Has(token->kind)) KrxRaiseToken(KrxError::FieldNameExpected, 20440, *token);
  oldColumnName_ = KrxNameOf(*token);
  KrxExpectNextKeyword(*lexer_, kwTO, "TO", 30352);
  newColumnName_ = KrxNameOf(KrxExpectNext(*lexer_, kFieldNameKinds, KrxError::FieldNameExpected, 20440));
  Next();
}

void TKrxDDLRenameTable::Parse() {
  // Current: RENAME [TABLE].
  action_ = aaRenameTo;
  TToken after;
  if (lexer_->Peek(after) && after.IsKeyword(kwTABLE)) Next();
  ParseTableReference();
  if (!Current().IsKeyword(kwTO)) {
    if (Current().kind == tkNone) KrxRaiseUnexpectedEnd(*lexer_, 30355);
    KrxRaiseExpected(30355, "TO", Current());
  }
  newTableName_ = KrxNameOf(KrxExpectNext(*lexer_, kTableNameKinds, KrxError::TableNameExpected, 20439));
  Next();
  CheckEnd();
}

void TKrxDDLCreateIndex::Parse() {
  // CREATE [UNIQUE] INDEX name ON table ( column {, column} )
  const TToken* word = &KrxNextOrEnd(*lexer_, 30267);
  if (word->IsKeyword(kwUNIQUE)) {
    index_.unique = true;
    word = &KrxNextOrEnd(*lexer_, 30268);
    if (!word->IsKeyword(kwINDEX)) KrxRaiseToken(KrxError::IndexKeywordExpected, 30268, *word);
  } else if (!word->IsKeyword(kwINDEX)) {
    KrxRaiseToken(KrxError::IndexKeywordExpected, 30267, *word);
  }
  index_.name = KrxNameOf(KrxExpectNext(*lexer_, kFieldNameKinds, KrxError::IndexNameExpected, 30269));
  const TToken& on = KrxNextOrEnd(*lexer_, 30270);
  if (!on.IsKeyword(kwON)) KrxRaiseToken(KrxError::OnKeywordExpected, on.kind == tkKeyword ? 30270 : 30271, on);
  ParseDDLTableReference(*lexer_, inMemory_, table_);
  if (Current().kind != tkLeftParen) {
    if (Current().kind == tkNone) KrxRaiseUnexpectedEnd(*lexer_, 30273);
    KrxRaiseToken(KrxError::OpenParenExpected, 30273, Current());
  }
  KrxParseIndexColumns(*lexer_, index_.columns, &table_.password);
  Next();
  if (Current().kind != tkNone) KrxRaiseToken(KrxError::UnexpectedToken, 30246, Current());
}

void TKrxDDLDropIndex::Parse() {
  // DROP INDEX [database .] table . index [PASSWORD password]
  Next();
  std::vector<std::string> names;
  names.push_back(KrxNameOf(KrxExpectNext(*lexer_, kTableNameKinds, KrxError::TableNameExpected, 20441)));
  const TToken firstName = Current();
  Next();
  while (Current().kind == tkDot && names.size() < 3) {
    names.push_back(KrxNameOf(KrxExpectNext(*lexer_, kTableNameKinds, KrxError::TableNameExpected, 20441)));
    Next();
  }
  if (names.size() == 1) KrxRaiseToken(KrxError::TableNameExpected, 30498, firstName);
  table_.inMemory = inMemory_;
  if (names.size() == 3) table_.databaseName = names[0];
  table_.tableName = names[names.size() - 2];
  indexName_ = names.back();
  if (Current().IsKeyword(kwPASSWORD)) {
    table_.password = KrxNameOf(KrxExpectNext(*lexer_, kPasswordKinds, KrxError::PasswordExpected, 20442));
    Next();
  }
  if (Current().kind != tkNone) KrxRaiseToken(KrxError::UnexpectedToken, 30246, Current());
}

}  // namespace krx
