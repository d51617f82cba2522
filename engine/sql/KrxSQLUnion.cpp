#include "KrxSQLUnion.h"

#include "KrxParser.h"
#include "KrxParserErrors.h"

namespace krx {

TKrxSQLUnion::~TKrxSQLUnion() = default;

namespace {

int CountBlocks(const TKrxQueryExprNode& node) {
  if (node.operation == qoSelect) return node.select ? 1 : 0;
  return (node.left ? CountBlocks(*node.left) : 0) + (node.right ? CountBlocks(*node.right) : 0);
}

bool AnyBlockHasInto(const TKrxQueryExprNode& node) {
  if (node.operation == qoSelect) return node.select && node.select->Into().present;
  return (node.left && AnyBlockHasInto(*node.left)) || (node.right && AnyBlockHasInto(*node.right));
}

std::unique_ptr<TKrxQueryExprNode> Combine(TKrxQueryOperation operation, std::unique_ptr<TKrxQueryExprNode> left) {
  auto node = std::make_unique<TKrxQueryExprNode>();
  node->operation = operation;
  node->left = std::move(left);
  return node;
}

}  // namespace

int TKrxSQLUnion::BlockCount() const { return root_ ? CountBlocks(*root_) : 0; }

void TKrxSQLUnion::Parse() {
  root_ = ParseQueryExpression();
  if (Current().IsKeyword(kwORDER)) ParseOrderBy();
  if (CountBlocks(*root_) > 1) {
    if (AnyBlockHasInto(*root_)) KrxRaiseAt(KrxError::UnionWithInto, 20272);
  } else if (root_->operation == qoSelect) {
    into_ = root_->select->Into();
  }
}

std::unique_ptr<TKrxQueryExprNode> TKrxSQLUnion::ParseQueryExpression() {
  std::unique_ptr<TKrxQueryExprNode> node = ParseIntersection();
  for (;;) {
    const TToken& word = Current();
    TKrxQueryOperation operation;
    if (word.IsKeyword(kwUNION)) {
      operation = qoUnion;
    } else if (word.IsKeyword(kwEXCEPT) || word.IsKeyword(kwMINUS)) {
      operation = qoExcept;
    } else {
      return node;
    }
    node = Combine(operation, std::move(node));
    KrxNextOrEnd(*lexer_, 20406);
    ParseSetQuantifiers(*node);
    node->right = ParseIntersection();
  }
}

std::unique_ptr<TKrxQueryExprNode> TKrxSQLUnion::ParseIntersection() {
  std::unique_ptr<TKrxQueryExprNode> node = ParseTerm();
  while (Current().IsKeyword(kwINTERSECT)) {
    node = Combine(qoIntersect, std::move(node));
    KrxNextOrEnd(*lexer_, 20407);
    ParseSetQuantifiers(*node);
    node->right = ParseTerm();
  }
  return node;
}

void TKrxSQLUnion::ParseSetQuantifiers(TKrxQueryExprNode& node) {
  if (Current().IsKeyword(kwALL)) {
    node.all = true;
    KrxNextOrEnd(*lexer_, 20408);
  }
  if (!Current().IsKeyword(kwCORRESPONDING)) return;
  node.corresponding = true;
  KrxNextOrEnd(*lexer_, 20408);
  if (!Current().IsKeyword(kwBY)) return;
  const TToken& open = KrxNextOrEnd(*lexer_, 30193);
  if (open.kind != tkLeftParen) KrxRaiseExpected(30193, "(", open);
  for (;;) {
    const TToken& column = KrxExpectNext(*lexer_, kFieldNameKinds, KrxError::FieldNameExpected, 20409);
    node.correspondingColumns.push_back(KrxNameOf(column));
    const TToken& after = KrxExpectNext(*lexer_, kCloseOrCommaKinds, KrxError::CloseOrCommaExpected, 20410);
    if (after.kind == tkRightParen) break;
  }
  KrxNextOrEnd(*lexer_, 20408);
}

std::unique_ptr<TKrxQueryExprNode> TKrxSQLUnion::ParseTerm() {
  const TToken& start = Current();
  if (start.kind == tkLeftParen) {
    KrxNextOrEnd(*lexer_, 30194);
    std::unique_ptr<TKrxQueryExprNode> inner = ParseQueryExpression();
    // A sort written inside the parentheses orders what they enclose; the
    // query expression keeps one sort list, so it applies to the result.
    if (Current().IsKeyword(kwORDER)) ParseOrderBy();
    if (Current().kind != tkRightParen) KrxRaiseExpected(20411, ")", Current());
    Next();
    return inner;
  }
  if (!start.IsKeyword(kwSELECT)) {
    if (start.kind == tkNone) KrxRaiseUnexpectedEnd(*lexer_, 30194);
    KrxRaiseExpected(30194, "SELECT", start);
  }
  auto leaf = std::make_unique<TKrxQueryExprNode>();
  leaf->select = std::make_unique<TKrxSQLSelect>(*lexer_, query_);
  leaf->select->Parse();
  return leaf;
}

std::unique_ptr<TKrxSQLUnion> KrxParseQueryExpression(TKrxLexer& lexer, TKrxSQLQuery* query) {
  auto statement = std::make_unique<TKrxSQLUnion>(lexer, query);
  statement->Parse();
  return statement;
}

}  // namespace krx
