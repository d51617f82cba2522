#include "KrxExpression.h"

#include "KrxException.h"
#include "KrxExprNodeField.h"
#include "KrxExprNodeSubquery.h"
#include "KrxExprNodeSystem.h"
#include "KrxExpressionParser.h"

namespace krx {

TKrxExpression::TKrxExpression(TKrxLexer& lexer, TKrxSQLQuery* query) : lexer_(&lexer), query_(query) {}

TKrxExpression::TKrxExpression(TKrxExprNodePtr root) : root_(std::move(root)) {}

TKrxExpression::~TKrxExpression() = default;

namespace {

template <typename Rule>
bool ParseWith(TKrxLexer& lexer, TKrxSQLQuery* query, TKrxExprNodePtr& root, TToken& startToken, Rule rule) {
  const int start = lexer.GetPosition();
  startToken = lexer.Current();
  TKrxExpressionParser parser(lexer, query);
  TKrxExprNodePtr node = rule(parser);
  if (!node) {
    lexer.SetPosition(start);
    return false;
  }
  root = std::move(node);
  return true;
}

}  // namespace

bool TKrxExpression::ParseCondition() {
  return ParseWith(*lexer_, query_, root_, startToken_, [](TKrxExpressionParser& p) { return p.Condition(); });
}

bool TKrxExpression::ParseValue() {
  return ParseWith(*lexer_, query_, root_, startToken_, [](TKrxExpressionParser& p) { return p.ValueExpression(); });
}

bool TKrxExpression::ParseSubquery() {
  return ParseWith(*lexer_, query_, root_, startToken_, [](TKrxExpressionParser& p) { return p.Subquery(); });
}

bool TKrxExpression::IsValidValueExpression(const std::string& text) {
  try {
    TKrxLexer lexer(text, nullptr);
    if (lexer.CommandCount() != 1 || !lexer.NextCommand()) return false;
    TKrxExpression expression(lexer, nullptr);
    return expression.ParseValue() && lexer.AtEnd();
  } catch (const EKrxException&) {
    return false;
  }
}

std::vector<TKrxExprNodeField*> TKrxExpression::Fields() const {
  std::vector<TKrxExprNodeField*> fields;
  if (!root_) return fields;
  root_->ForEach([&](TKrxExprNode& node) {
    if (node.Operation() == eoField) fields.push_back(static_cast<TKrxExprNodeField*>(&node));
  });
  return fields;
}

std::vector<TKrxExprNodeSubquery*> TKrxExpression::Subqueries() const {
  std::vector<TKrxExprNodeSubquery*> subqueries;
  if (!root_) return subqueries;
  root_->ForEach([&](TKrxExprNode& node) {
    if (node.Operation() == eoSubquery) subqueries.push_back(static_cast<TKrxExprNodeSubquery*>(&node));
  });
  return subqueries;
}

namespace {

// Total matches of a column reference over the sources; the first one found.
int Resolve(const TKrxExprNodeField& field, const std::vector<const IKrxRowSource*>& sources,
            const IKrxRowSource*& source, int& column) {
  int matches = 0;
  for (const IKrxRowSource* candidate : sources) {
    int found = -1;
    const int count = candidate->FindColumn(field.Qualifier(), field.Name(), found);
    if (count > 0 && matches == 0) {
      source = candidate;
      column = found;
    }
    matches += count;
  }
  return matches;
}

}  // namespace

void TKrxExpression::Bind(const std::vector<const IKrxRowSource*>& sources) {
  for (TKrxExprNodeField* field : Fields()) {
    const IKrxRowSource* source = nullptr;
    int column = -1;
    const int matches = Resolve(*field, sources, source, column);
    if (matches == 0) throw EKrxException(KrxError::FieldNotFound, field->DisplayName());
    if (matches > 1) throw EKrxException(KrxError::AmbiguousFieldReference, field->DisplayName());
    field->Bind(source, column);
  }
}

bool TKrxExpression::CanBind(const std::vector<const IKrxRowSource*>& sources) const {
  for (TKrxExprNodeField* field : Fields()) {
    const IKrxRowSource* source = nullptr;
    int column = -1;
    if (Resolve(*field, sources, source, column) == 0) return false;
  }
  return true;
}

void TKrxExpression::SetRuntime(IKrxExprRuntime* runtime) {
  if (!root_) return;
  root_->ForEach([&](TKrxExprNode& node) {
    if (node.Operation() == eoRowNum || node.Operation() == eoLastAutoInc) {
      static_cast<TKrxExprNodeSystem&>(node).SetRuntime(runtime);
    }
  });
}

const TKrxVariant& TKrxExpression::GetValue(bool nullOfRootType) {
  const TKrxVariant& value = root_->Evaluate();
  if (nullOfRootType && value.IsNull()) {
    typedNull_.SetNull(KrxExprStorageOf(root_->ResultType()));
    return typedNull_;
  }
  return value;
}

bool TKrxExpression::IsTrue() {
  const TKrxVariant& value = root_->Evaluate();
  return !value.IsNull() && value.AsBoolean();
}

}  // namespace krx
