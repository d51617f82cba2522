// A query expression: one SELECT block, or blocks joined by UNION,
// EXCEPT/MINUS and INTERSECT. This is the statement of every SELECT and of
// every subquery and derived table.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "KrxSQLCommand.h"
#include "KrxSQLSelect.h"

namespace krx {

enum TKrxQueryOperation : uint8_t { qoSelect = 0, qoUnion = 1, qoExcept = 2, qoIntersect = 3 };

struct TKrxQueryExprNode {
  TKrxQueryOperation operation = qoSelect;
  std::unique_ptr<TKrxQueryExprNode> left;
  std::unique_ptr<TKrxQueryExprNode> right;
  std::vector<std::string> correspondingColumns;
  bool all = false;
  bool corresponding = false;
  std::unique_ptr<TKrxSQLSelect> select;  // a leaf's block
};

class TKrxSQLUnion : public TKrxSQLCursorCommand {
 public:
  using TKrxSQLCursorCommand::TKrxSQLCursorCommand;
  ~TKrxSQLUnion() override;

  // Reads a query expression from the current token on (SELECT or '(') and
  // stops at the first token it does not use, so it serves subqueries too.
  // The statement dispatcher checks that nothing is left after it.
  void Parse() override;
  void Execute(TKrxExecSession& session) override;

  const TKrxQueryExprNode& Root() const { return *root_; }
  // The number of SELECT blocks.
  int BlockCount() const;

 private:
  std::unique_ptr<TKrxQueryExprNode> ParseQueryExpression();
  std::unique_ptr<TKrxQueryExprNode> ParseIntersection();
  std::unique_ptr<TKrxQueryExprNode> ParseTerm();
  // [ALL] [CORRESPONDING [BY (column {, column})]] after the operator word.
  void ParseSetQuantifiers(TKrxQueryExprNode& node);

  std::unique_ptr<TKrxQueryExprNode> root_;
};

// Parses a query expression at the lexer's current token (for subqueries of
// expressions and derived tables).
std::unique_ptr<TKrxSQLUnion> KrxParseQueryExpression(TKrxLexer& lexer, TKrxSQLQuery* query);

}  // namespace krx
