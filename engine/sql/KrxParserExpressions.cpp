#include "KrxParserExpressions.h"

#include "KrxExprNodeField.h"
#include "KrxExpression.h"
#include "KrxParser.h"

namespace krx {

void TKrxExpressionDelete::operator()(TKrxExpression* expression) const { delete expression; }

namespace {

TKrxExpressionPtr Parse(TKrxLexer& lexer, TKrxSQLQuery* query, bool condition) {
  TKrxExpressionPtr expression(std::make_unique<TKrxExpression>(lexer, query).release());
  const bool parsed = condition ? expression->ParseCondition() : expression->ParseValue();
  if (!parsed) return nullptr;
  return expression;
}

}  // namespace

TKrxExpressionPtr KrxParseCondition(TKrxLexer& lexer, TKrxSQLQuery* query) { return Parse(lexer, query, true); }

TKrxExpressionPtr KrxParseValue(TKrxLexer& lexer, TKrxSQLQuery* query) { return Parse(lexer, query, false); }

bool KrxIsPlainField(const TKrxExpression& expression, std::string& qualifier, std::string& name) {
  const auto* field = dynamic_cast<const TKrxExprNodeField*>(expression.Root());
  if (!field) return false;
  qualifier = field->Qualifier();
  name = field->Name();
  return true;
}

void KrxSubstituteAliases(TKrxExpression& expression, const std::vector<TKrxAliasSubstitution>& aliases) {
  for (TKrxExprNodeField* field : expression.Fields()) {
    for (const TKrxAliasSubstitution& alias : aliases) {
      if (!KrxSameName(field->Name(), alias.alias)) continue;
      if (!field->Qualifier().empty() && !KrxSameName(field->Qualifier(), alias.qualifier)) continue;
      field->Rename(alias.qualifier, alias.fieldName);
      break;
    }
  }
}

void KrxEvaluateConstant(TKrxExpression& expression, TKrxVariant& value) { value = expression.GetValue(true); }

}  // namespace krx
