// The expression grammar: recursive descent with backtracking over the
// current command's tokens. Where the grammar offers alternatives, the
// parser records the position, tries one, and on failure goes back and tries
// the next; the first that parses wins. A failed alternative returns null;
// a malformed construct that can only be one thing (a function without its
// parenthesis, a CASE without END) raises its message at once.
//
// Failures of the value-expression rules are remembered per token position,
// so deeply nested parentheses cost linear, not exponential, time.
#pragma once

#include <unordered_set>

#include "KrxExprNode.h"
#include "KrxLexer.h"

namespace krx {

class TKrxSQLQuery;

class TKrxExpressionParser {
 public:
  TKrxExpressionParser(TKrxLexer& lexer, TKrxSQLQuery* query) : lexer_(lexer), query_(query) {}

  TKrxExprNodePtr Condition();
  TKrxExprNodePtr ValueExpression();
  // `(` query expression `)`.
  TKrxExprNodePtr Subquery();

 private:
  // search conditions
  TKrxExprNodePtr Term();
  TKrxExprNodePtr Factor();
  TKrxExprNodePtr Test();
  TKrxExprNodePtr Primary();
  TKrxExprNodePtr Predicate();
  TKrxExprNodePtr Operand();
  TKrxExprNodePtr ComparisonRest(TKrxExprOp op, TKrxExprNodePtr left);
  TKrxExprNodePtr LikeRest(TKrxExprNodePtr operand, bool negated);
  TKrxExprNodePtr InRest(TKrxExprNodePtr operand, bool negated);
  TKrxExprNodePtr Exists();

  // value expressions
  TKrxExprNodePtr NumericExpression();
  TKrxExprNodePtr NumericTerm();
  TKrxExprNodePtr NumericFactor();
  TKrxExprNodePtr NumericPrimary();
  TKrxExprNodePtr DateArithmetic();
  TKrxExprNodePtr DateTimeValue();
  TKrxExprNodePtr StringExpression();
  TKrxExprNodePtr StringPrimary();
  // The kinds shared by numeric and string primaries (literal … CAST).
  TKrxExprNodePtr CommonPrimary();
  TKrxExprNodePtr Literal();
  TKrxExprNodePtr DateLiteral();
  TKrxExprNodePtr ColumnReference();
  TKrxExprNodePtr Aggregate();
  TKrxExprNodePtr ScalarSubquery();
  TKrxExprNodePtr CaseExpression();
  TKrxExprNodePtr Coalesce();
  TKrxExprNodePtr ParenthesizedValue();
  TKrxExprNodePtr Cast();
  TKrxExprNodePtr NumericFunction();
  TKrxExprNodePtr StringFunction();
  TKrxExprNodePtr MimeToBin();

  // function pieces
  void OpenParen();
  void CloseParen();
  TKrxExprNodePtr StringArgument(const char* function);
  TKrxExprNodePtr ValueArgument(const char* function);
  std::string FormatArgument(int32_t code);
  std::string NameArgument(const char* function);

  // token helpers
  const TToken& Cur() const { return lexer_.Current(); }
  // The current token for messages; past the end, an empty token at the
  // last token's position.
  TToken Found() const;
  void Next();
  int Mark() const { return lexer_.GetPosition(); }
  void Reset(int position) { lexer_.SetPosition(position); }
  bool AtWord(const char* text) const;
  bool SubqueryAhead() const;

  TKrxLexer& lexer_;
  TKrxSQLQuery* query_;
  std::unordered_set<int> failedValues_;
  std::unordered_set<int> failedStrings_;
};

}  // namespace krx
