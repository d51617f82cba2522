// Builds the operator tree of a query expression or SELECT block:
// inputs (tables, derived tables, joins; comma-separated tables joined on
// the WHERE's equalities between them), each WHERE part bound to the lowest
// operator that has its columns, grouping or projection of the select list,
// the sort of ORDER BY and TOP on top.
#pragma once

#include <memory>
#include <vector>

#include "KrxAO.h"
#include "KrxExecBind.h"

namespace krx {

class TKrxExecSession;
class TKrxExpression;
class TKrxResultCursor;
class TKrxSQLSelect;
class TKrxSQLUnion;
struct TKrxSortSpecification;
struct TKrxTableReference;
class TKrxAOJoin;

class TKrxQueryBuilder {
 public:
  // `outer`: the rows of enclosing queries, nearest first.
  TKrxQueryBuilder(TKrxExecSession& session, TKrxExecRuntime* runtime, TKrxRowSources outer = {});

  std::unique_ptr<TKrxAO> BuildQuery(const TKrxSQLUnion& query);
  std::unique_ptr<TKrxAO> BuildSelect(const TKrxSQLSelect& select);
  // The FROM tree and WHERE of a block without its select list (the rows
  // UPDATE and DELETE change).
  std::unique_ptr<TKrxAO> BuildRows(const TKrxSQLSelect& select);
  // Whether something bound to an outer row.
  bool UsedOuter() const { return usedOuter_; }

  // Binds a free expression to the sources (then the outer rows) and
  // prepares its subqueries and runtime values.
  void PrepareExpression(TKrxExpression& expression, const TKrxRowSources& sources);

 private:
  std::unique_ptr<TKrxAO> BuildFrom(const TKrxSQLSelect& select);
  std::unique_ptr<TKrxAO> BuildReference(const TKrxTableReference& reference);
  void BindOn(TKrxAOJoin& join, const TKrxTableReference& reference);
  void PlaceCondition(TKrxAO& root, TKrxExprNode* condition);
  bool PlaceAt(TKrxAO& op, TKrxExprNode* condition);
  void Attach(TKrxAO& op, TKrxExprNode* condition);
  void ApplyOrderBy(TKrxAO& top, const std::vector<TKrxSortSpecification>& specs);
  TKrxRowSources WithOuter(const IKrxRowSource* local) const;

  TKrxExecSession& session_;
  TKrxExecRuntime* runtime_;
  TKrxRowSources outer_;
  bool usedOuter_ = false;
  // The last block of a UNION whose ORDER BY sorts the whole union.
  const TKrxSQLSelect* unionSortBlock_ = nullptr;
};

// Tries an equality between a column of the join's left input and one of
// its right input as a join column pair.
bool KrxTryJoinPair(TKrxAOJoin& join, TKrxExprNode& condition);

// The output rows of a tree as the result handed to the query component.
std::unique_ptr<TKrxResultCursor> KrxMakeResultCursor(TKrxAO& top);

}  // namespace krx
