#include "KrxSQLCommand.h"

#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxSQLQuery.h"

namespace krx {

TKrxSQLCommand::TKrxSQLCommand(TKrxLexer& lexer, TKrxSQLQuery* query)
    : lexer_(&lexer), query_(query), inMemory_(query && query->InMemory()) {}

TKrxSQLCommand::~TKrxSQLCommand() = default;

bool TKrxSQLCommand::Next() {
  TToken ignored;
  return lexer_->Advance(ignored);
}

void TKrxSQLCursorCommand::ParseOrderBy() {
  // Current: ORDER.
  KrxExpectNextKeyword(*lexer_, kwBY, "BY", 30188);
  constexpr TKrxKindSet kFirstKeyKinds{tkWord, tkString, tkBracketedName, tkInteger, tkKeyword, tkParameter};
  constexpr TKrxKindSet kNextKeyKinds{tkWord, tkString, tkBracketedName, tkInteger, tkKeyword};
  const TToken* key = &KrxExpectNext(*lexer_, kFirstKeyKinds, KrxError::FieldNameExpected, 30187);
  for (bool first = true;; first = false) {
    TKrxSortSpecification spec;
    spec.columnName = KrxNameOf(*key);
    spec.isNumber = key->kind == tkInteger;
    Next();
    if (Current().kind == tkDot && !spec.isNumber) {
      const int32_t code = first ? 30190 : 30191;
      const TToken& name = KrxNextOrEnd(*lexer_, code);
      if (!kFieldNameKinds.Has(name.kind) && name.kind != tkParameter) {
        KrxRaiseToken(KrxError::SortSpecExpected, code, name);
      }
      spec.qualifier = spec.columnName;
      spec.columnName = KrxNameOf(name);
      Next();
    }
    if (Current().IsKeyword(kwDESC)) {
      spec.descending = true;
      Next();
    } else if (Current().IsKeyword(kwASC)) {
      Next();
    }
    orderBy_.push_back(std::move(spec));
    if (Current().kind != tkComma) break;
    key = &KrxExpectNext(*lexer_, kNextKeyKinds, KrxError::UnexpectedToken, 30189);
  }
}

}  // namespace krx
