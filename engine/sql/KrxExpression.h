// One parsed condition or value: the root of an expression tree, with the
// lexer it was read from and the query component it was parsed for.
//
// Use by the executor:
//   1. Bind(sources): every column reference is looked up in the row sources
//      ("Field '%s' not found", "Ambiguous field reference to '%s'");
//      CanBind tells without raising whether all of them would be found.
//   2. Attach a runner to each of Subqueries() and, where ROWNUM or
//      LASTAUTOINC occur, SetRuntime.
//   3. Per row: GetValue() (or IsTrue() for a condition). Aggregates:
//      ResetAggregates() per group, AccumulateAggregates() per row, then
//      GetValue().
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "KrxExprNode.h"
#include "KrxLexer.h"

namespace krx {

class TKrxSQLQuery;
class TKrxExprNodeField;
class TKrxExprNodeSubquery;

class TKrxExpression {
 public:
  TKrxExpression(TKrxLexer& lexer, TKrxSQLQuery* query);
  // An expression around a tree built in code (tests, rewrites).
  explicit TKrxExpression(TKrxExprNodePtr root);
  ~TKrxExpression();
  TKrxExpression(const TKrxExpression&) = delete;
  TKrxExpression& operator=(const TKrxExpression&) = delete;

  // The entry points read from the lexer's current token and leave it at
  // the first token not used; false (position unchanged) when nothing parses.
  bool ParseCondition();
  bool ParseValue();
  // `(` query expression `)` at the current token.
  bool ParseSubquery();

  // True when `text` on its own is one complete value expression (any
  // error counts as false).
  static bool IsValidValueExpression(const std::string& text);

  TKrxExprNode* Root() const { return root_.get(); }
  TKrxLexer* Lexer() const { return lexer_; }
  TKrxSQLQuery* Query() const { return query_; }
  const TToken& StartToken() const { return startToken_; }

  bool CaseInsensitive() const { return caseInsensitive_; }
  bool PartialCompare() const { return partialCompare_; }
  bool ForSQL() const { return forSQL_; }

  void Bind(const std::vector<const IKrxRowSource*>& sources);
  bool CanBind(const std::vector<const IKrxRowSource*>& sources) const;
  std::vector<TKrxExprNodeField*> Fields() const;
  std::vector<TKrxExprNodeSubquery*> Subqueries() const;
  void SetRuntime(IKrxExprRuntime* runtime);

  // The root's value for the current row; with nullOfRootType a NULL comes
  // back as a NULL of the root's result type.
  const TKrxVariant& GetValue(bool nullOfRootType = false);
  // A condition's verdict: true only for TRUE (NULL and FALSE reject).
  bool IsTrue();

  TKrxAdvancedType ResultType() const { return root_->ResultType(); }
  int32_t ResultSize() const { return root_->ResultSize(); }
  bool IsAggregate() const { return root_->IsAggregate(); }
  void ResetAggregates() { root_->ResetAggregates(); }
  void AccumulateAggregates() { root_->AccumulateAggregates(); }

 private:
  TKrxExprNodePtr root_;
  TKrxLexer* lexer_ = nullptr;
  TKrxSQLQuery* query_ = nullptr;
  TToken startToken_;
  bool caseInsensitive_ = false;
  bool partialCompare_ = false;
  bool forSQL_ = true;
  TKrxVariant typedNull_;
};

}  // namespace krx
