// The statement parsers' use of the expression parser: conditions and values
// are read from the lexer's current token on, and leave the current token at
// the first token they do not use. Each returns null when nothing parses.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "KrxLexer.h"

namespace krx {

class TKrxExpression;
class TKrxSQLQuery;
class TKrxVariant;

struct TKrxExpressionDelete {
  void operator()(TKrxExpression* expression) const;
};
using TKrxExpressionPtr = std::unique_ptr<TKrxExpression, TKrxExpressionDelete>;

TKrxExpressionPtr KrxParseCondition(TKrxLexer& lexer, TKrxSQLQuery* query);
TKrxExpressionPtr KrxParseValue(TKrxLexer& lexer, TKrxSQLQuery* query);

// True when the expression is a plain column reference; gives its parts.
bool KrxIsPlainField(const TKrxExpression& expression, std::string& qualifier, std::string& name);

// A plain-column item of a select list that has an alias: a reference to
// the alias (with no qualifier or the item's qualifier) stands for the
// item's column.
struct TKrxAliasSubstitution {
  std::string alias;
  std::string qualifier;
  std::string fieldName;
};
void KrxSubstituteAliases(TKrxExpression& expression, const std::vector<TKrxAliasSubstitution>& aliases);

// Evaluates an expression that refers to no row (a column default).
void KrxEvaluateConstant(TKrxExpression& expression, TKrxVariant& value);

}  // namespace krx
