#include "KrxSQLSelect.h"

#include <string>

#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxSQLParams.h"
#include "KrxSQLUnion.h"

namespace krx {

TKrxTableReference::TKrxTableReference() = default;
TKrxTableReference::~TKrxTableReference() = default;
TKrxTableReference::TKrxTableReference(TKrxTableReference&&) noexcept = default;
TKrxTableReference& TKrxTableReference::operator=(TKrxTableReference&&) noexcept = default;

TKrxSQLSelect::~TKrxSQLSelect() = default;

namespace {

bool Advance(TKrxLexer& lexer) {
  TToken ignored;
  return lexer.Advance(ignored);
}

// Sets the table name from a name token; a parameter whose text starts
// with '"' holds "database"<one character>table.
void SetTableName(TKrxTableReference& ref, const TToken& token) {
  std::string name = KrxNameOf(token);
  if (token.kind == tkParameter && !name.empty() && name[0] == '"') {
    const size_t close = name.find('"', 1);
    if (close != std::string::npos) {
      ref.databaseName = name.substr(1, close - 1);
      ref.tableName = close + 2 <= name.size() ? name.substr(close + 2) : std::string();
      return;
    }
  }
  ref.tableName = std::move(name);
}

bool IsJoinWord(const TToken& token) {
  if (token.kind != tkKeyword) return false;
  switch (token.keyword) {
    case kwNATURAL: case kwCROSS: case kwINNER: case kwLEFT: case kwRIGHT: case kwFULL:
    case kwOUTER: case kwJOIN:
      return true;
    default:
      return false;
  }
}

// A table, derived table or parenthesised reference, without joins.
TKrxTableReference ParsePrimaryReference(TKrxLexer& lexer, TKrxSQLQuery* query, bool queryInMemory) {
  TKrxTableReference ref;
  const TToken& first = lexer.Current();
  if (first.IsKeyword(kwSELECT)) {
    ref.kind = trSubquery;
    ref.subquery = KrxParseQueryExpression(lexer, query);
    return ref;
  }
  if (first.kind == tkLeftParen) {
    Advance(lexer);
    const TToken& inner = lexer.Current();
    if (!kTableNameOrSubqueryKinds.Has(inner.kind)) KrxRaiseToken(KrxError::FieldNameExpected, 30179, inner);
    ref = KrxParseTableReference(lexer, query, queryInMemory);
    if (lexer.Current().kind != tkRightParen) KrxRaiseExpected(20403, ")", lexer.Current());
    Advance(lexer);
  } else {
    ref.inMemory = queryInMemory;
    if (first.IsKeyword(kwMEMORY)) {
      TToken after;
      if (lexer.Peek(after) && kTableNameKinds.Has(after.kind) && !after.IsKeyword(kwAS) &&
          !after.IsKeyword(kwWHERE) && !IsJoinWord(after)) {
        ref.inMemory = true;
        Advance(lexer);
      }
    }
    const TToken& name = lexer.Current();
    if (!kTableNameKinds.Has(name.kind)) KrxRaiseToken(KrxError::TableNameExpected, 30182, name);
    SetTableName(ref, name);
    Advance(lexer);
    if (lexer.Current().kind == tkDot) {
      const TToken& table = KrxExpectNext(lexer, kAliasOrNameKinds, KrxError::TableNameExpected, 30183);
      ref.databaseName = ref.tableName;
      ref.tableName = KrxNameOf(table);
      Advance(lexer);
    }
  }
  // [[AS] alias]
  const TToken& next = lexer.Current();
  if (next.IsKeyword(kwAS)) {
    ref.alias = KrxNameOf(KrxExpectNext(lexer, kAliasOrNameKinds, KrxError::PseudonymExpected, 30177));
    Advance(lexer);
  } else if (next.kind == tkWord || next.kind == tkBracketedName || next.kind == tkParameter) {
    ref.alias = KrxNameOf(next);
    Advance(lexer);
  }
  if (lexer.Current().IsKeyword(kwPASSWORD)) {
    ref.password = KrxNameOf(KrxExpectNext(lexer, kPasswordKinds, KrxError::PasswordExpected, 30178));
    Advance(lexer);
  }
  return ref;
}

// Moves past one word of a join prefix; the next token must be a keyword.
void NextJoinWord(TKrxLexer& lexer, int32_t code) {
  const TToken& next = KrxNextOrEnd(lexer, code);
  if (next.kind != tkKeyword) KrxRaiseToken(KrxError::UnexpectedToken, code, next);
}

}  // namespace

TKrxTableReference KrxParseTableReference(TKrxLexer& lexer, TKrxSQLQuery* query, bool queryInMemory) {
  TKrxTableReference built = ParsePrimaryReference(lexer, query, queryInMemory);
  while (IsJoinWord(lexer.Current())) {
    TKrxTableReference join;
    join.kind = trJoin;
    join.joinType = jtInner;
    if (lexer.Current().IsKeyword(kwNATURAL)) {
      join.natural = true;
      NextJoinWord(lexer, 30168);
    }
    struct JoinWord {
      int16_t keyword;
      TKrxJoinType type;
      int32_t code;
    };
    static constexpr JoinWord kJoinWords[] = {{kwCROSS, jtCross, 30169}, {kwINNER, jtInner, 30170},
                                              {kwLEFT, jtLeft, 30171},   {kwRIGHT, jtRight, 30172},
                                              {kwFULL, jtFull, 30173}};
    for (const JoinWord& word : kJoinWords) {
      if (lexer.Current().IsKeyword(word.keyword)) {
        join.joinType = word.type;
        NextJoinWord(lexer, word.code);
        break;
      }
    }
    if (lexer.Current().IsKeyword(kwOUTER)) NextJoinWord(lexer, 30174);
    if (!lexer.Current().IsKeyword(kwJOIN)) KrxRaiseExpected(30175, "JOIN", lexer.Current());
    const TToken& start = KrxNextOrEnd(lexer, 30176);
    if (!kTableNameOrSubqueryKinds.Has(start.kind)) KrxRaiseToken(KrxError::TableNameExpected, 30176, start);
    join.right = std::make_unique<TKrxTableReference>(ParsePrimaryReference(lexer, query, queryInMemory));
    join.left = std::make_unique<TKrxTableReference>(std::move(built));
    if (lexer.Current().IsKeyword(kwON)) {
      if (!Advance(lexer)) KrxRaiseUnexpectedEnd(lexer, 20404);
      join.on = KrxParseCondition(lexer, query);
      if (!join.on) KrxRaiseToken(KrxError::BooleanExpected, 30066, lexer.Current());
    } else if (lexer.Current().IsKeyword(kwUSING)) {
      const TToken& open = KrxNextOrEnd(lexer, 30167);
      if (open.kind != tkLeftParen) KrxRaiseExpected(30167, "(", open);
      for (bool first = true;; first = false) {
        const int32_t code = first ? 10407 : 10408;
        const TToken& column = KrxNextOrEnd(lexer, code);
        TToken after;
        lexer.Peek(after);
        if (!kAliasKinds.Has(column.kind) || (after.kind != tkComma && after.kind != tkRightParen)) {
          KrxRaiseToken(KrxError::FieldNameExpectedExpr, code, column);
        }
        join.usingColumns.push_back(KrxNameOf(column));
        Advance(lexer);
        if (lexer.Current().kind == tkRightParen) break;
      }
      Advance(lexer);
    }
    built = std::move(join);
  }
  return built;
}

void TKrxSQLSelect::Parse() {
  if (!Current().IsKeyword(kwSELECT)) KrxRaiseToken(KrxError::SQLTokenExpected, 30156, Current());
  if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, 30161);
  if (Current().IsKeyword(kwALL)) {
    if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, 30161);
  } else if (Current().IsKeyword(kwDISTINCT)) {
    distinct_ = true;
    if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, 30161);
  }
  if (Current().IsKeyword(kwTOP)) ParseTop();
  ParseSelectList();
  if (Current().IsKeyword(kwINTO)) ParseInto();
  if (!Current().IsKeyword(kwFROM)) {
    if (Current().kind == tkNone) KrxRaiseUnexpectedEnd(*lexer_, 30184);
    KrxRaiseExpected(30184, "FROM", Current());
  }
  ParseFrom();
  if (Current().IsKeyword(kwWHERE)) {
    if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, 30066);
    where_ = KrxParseCondition(*lexer_, query_);
    if (!where_) KrxRaiseToken(KrxError::BooleanExpected, 30066, Current());
  }
  if (Current().IsKeyword(kwGROUP)) ParseGroupBy();
  if (Current().IsKeyword(kwHAVING)) {
    if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, 20405);
    having_ = KrxParseCondition(*lexer_, query_);
    if (!having_) KrxRaiseToken(KrxError::BooleanExpected, 20405, Current());
  }
  if (Current().IsKeyword(kwORDER)) ParseOrderBy();
  if (!selectAll_) SubstituteAliases();
}

void TKrxSQLSelect::ParseTop() {
  constexpr TKrxKindSet kCountKinds{tkInteger, tkParameter};
  auto number = [](const TToken& token) -> int64_t {
    if (token.kind == tkParameter) return token.value ? token.value->AsInt64() : 0;
    return std::stoll(token.text);
  };
  topRowCount_ = number(KrxExpectNext(*lexer_, kCountKinds, KrxError::IntegerExpected, 30158));
  if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, 30161);
  if (Current().kind == tkComma) {
    topFirstRow_ = number(KrxExpectNext(*lexer_, kCountKinds, KrxError::IntegerExpected, 30159));
    if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, 30161);
  }
}

void TKrxSQLSelect::ParseSelectList() {
  if (KrxIsWord(Current(), "*")) {
    selectAll_ = true;
    Next();
    return;
  }
  for (;;) {
    TKrxSelectListItem item;
    const TToken& start = Current();
    TToken dot, star;
    const int mark = lexer_->GetPosition();
    if (kAliasKinds.Has(start.kind) && lexer_->Peek(dot) && dot.kind == tkDot) {
      Next();
      if (lexer_->Peek(star) && KrxIsWord(star, "*")) {
        item.qualifier = start.text;
        item.isAllFields = true;
        Next();
        Next();
      } else {
        lexer_->SetPosition(mark);
      }
    }
    if (!item.isAllFields) {
      if (Current().kind == tkNone) KrxRaiseUnexpectedEnd(*lexer_, 30160);
      const TToken itemStart = Current();
      item.expression = KrxParseValue(*lexer_, query_);
      if (!item.expression) KrxRaiseToken(KrxError::ExpressionExpected, 30160, itemStart);
      if (KrxIsPlainField(*item.expression, item.qualifier, item.fieldName)) {
        item.expression.reset();
      } else {
        item.isExpression = true;
      }
      const TToken& next = Current();
      if (next.IsKeyword(kwAS)) {
        item.alias = KrxNameOf(KrxExpectNext(*lexer_, kAliasKinds, KrxError::PseudonymExpected, 30162));
        Next();
      } else if (kAliasKinds.Has(next.kind)) {
        item.alias = next.text;
        Next();
      }
    }
    selectList_.push_back(std::move(item));
    if (Current().kind != tkComma) break;
    if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, 30160);
  }
  MarkDuplicateColumns();
}

void TKrxSQLSelect::MarkDuplicateColumns() {
  for (size_t i = 1; i < selectList_.size(); ++i) {
    TKrxSelectListItem& item = selectList_[i];
    if (item.isExpression || item.isAllFields) continue;
    bool repeats = false;
    for (size_t j = 0; j < i && !repeats; ++j) {
      const TKrxSelectListItem& earlier = selectList_[j];
      repeats = !earlier.isExpression && !earlier.isAllFields && !earlier.duplicate &&
                KrxSameName(earlier.qualifier, item.qualifier) && KrxSameName(earlier.fieldName, item.fieldName);
    }
    if (!repeats) continue;
    // The repeat becomes a computed column of its own, so that the result
    // has two columns with distinct names.
    item.isExpression = true;
    item.duplicate = true;
    if (!item.alias.empty()) continue;
    for (int k = 1;; ++k) {
      const std::string candidate = item.fieldName + "_" + std::to_string(k);
      bool taken = false;
      for (const TKrxSelectListItem& other : selectList_) {
        if (&other == &item || !KrxSameName(other.qualifier, item.qualifier)) continue;
        if (KrxSameName(other.alias, candidate) || (!other.isExpression && KrxSameName(other.fieldName, candidate))) {
          taken = true;
          break;
        }
      }
      if (!taken) {
        item.alias = candidate;
        break;
      }
    }
  }
}

void TKrxSQLSelect::ParseInto() {
  into_.present = true;
  const TToken* name = &KrxNextOrEnd(*lexer_, 30165);
  if (name->IsKeyword(kwMEMORY)) {
    TToken after;
    if (lexer_->Peek(after) && !after.IsKeyword(kwFROM) && after.kind != tkDot) {
      into_.inMemory = true;
      name = &KrxNextOrEnd(*lexer_, 30165);
      if (name->IsKeyword(kwIMMEDIATE)) {
        into_.immediate = true;
        name = &KrxNextOrEnd(*lexer_, 30165);
      }
    }
  }
  if (!kTableNameKinds.Has(name->kind)) KrxRaiseToken(KrxError::TableNameExpected, 30165, *name);
  into_.tableName = KrxNameOf(*name);
  Next();
  if (Current().kind == tkDot) {
    into_.databaseName = into_.tableName;
    into_.tableName = KrxNameOf(KrxExpectNext(*lexer_, kAliasOrNameKinds, KrxError::TableNameExpected, 30166));
    Next();
  }
}

void TKrxSQLSelect::ParseFrom() {
  for (bool first = true;; first = false) {
    const int32_t code = first ? 30180 : 30181;
    const TToken& start = KrxNextOrEnd(*lexer_, code);
    if (!kTableNameOrSubqueryKinds.Has(start.kind)) KrxRaiseToken(KrxError::TableNameExpected, code, start);
    from_.push_back(KrxParseTableReference(*lexer_, query_, inMemory_));
    if (Current().kind != tkComma) break;
  }
}

void TKrxSQLSelect::ParseGroupBy() {
  KrxExpectNextKeyword(*lexer_, kwBY, "BY", 30185);
  for (bool first = true;; first = false) {
    const int32_t code = first ? 10409 : 10411;
    if (!Next()) KrxRaiseUnexpectedEnd(*lexer_, code);
    const TToken start = Current();
    TKrxExpressionPtr element = KrxParseValue(*lexer_, query_);
    if (!element) KrxRaiseAt(KrxError::FieldNameExpectedExpr, 10412, start.text, start.line, start.column);
    TKrxSelectListItem column;
    if (!KrxIsPlainField(*element, column.qualifier, column.fieldName)) {
      KrxRaiseAt(KrxError::FieldNameExpectedExpr, code, start.text, start.line, start.column);
    }
    groupBy_.push_back(std::move(column));
    if (Current().kind != tkComma) break;
  }
}

void TKrxSQLSelect::SubstituteAliases() {
  std::vector<TKrxAliasSubstitution> aliases;
  for (const TKrxSelectListItem& item : selectList_) {
    if (item.isExpression || item.isAllFields || item.alias.empty()) continue;
    aliases.push_back({item.alias, item.qualifier, item.fieldName});
  }
  if (aliases.empty()) return;
  if (where_) KrxSubstituteAliases(*where_, aliases);
  if (having_) KrxSubstituteAliases(*having_, aliases);
  // ON conditions of every join in FROM.
  std::vector<TKrxTableReference*> pending;
  for (TKrxTableReference& ref : from_) pending.push_back(&ref);
  while (!pending.empty()) {
    TKrxTableReference* ref = pending.back();
    pending.pop_back();
    if (ref->on) KrxSubstituteAliases(*ref->on, aliases);
    if (ref->left) pending.push_back(ref->left.get());
    if (ref->right) pending.push_back(ref->right.get());
  }
}

}  // namespace krx
