#include "KrxExecBuilder.h"

#include <algorithm>
#include <cstdio>

#include "KrxAOGroupBy.h"
#include "KrxAOJoin.h"
#include "KrxAOTable.h"
#include "KrxAOTableExpr.h"
#include "KrxAOUnion.h"
#include "KrxException.h"
#include "KrxExecSession.h"
#include "KrxExprNodeComparison.h"
#include "KrxExprNodeField.h"
#include "KrxExpression.h"
#include "KrxLocale.h"
#include "KrxResultCursor.h"
#include "KrxSQLSelect.h"
#include "KrxSQLUnion.h"

namespace krx {

TKrxQueryBuilder::TKrxQueryBuilder(TKrxExecSession& session, TKrxExecRuntime* runtime, TKrxRowSources outer)
    : session_(session), runtime_(runtime), outer_(std::move(outer)) {}

TKrxRowSources TKrxQueryBuilder::WithOuter(const IKrxRowSource* local) const {
  TKrxRowSources sources;
  sources.reserve(outer_.size() + 1);
  if (local) sources.push_back(local);
  sources.insert(sources.end(), outer_.begin(), outer_.end());
  return sources;
}

void TKrxQueryBuilder::PrepareExpression(TKrxExpression& expression, const TKrxRowSources& sources) {
  if (!expression.Root()) return;
  TKrxRowSources all = sources;
  all.insert(all.end(), outer_.begin(), outer_.end());
  if (KrxBindNode(*expression.Root(), all, sources.size())) usedOuter_ = true;
  KrxPrepareNode(*expression.Root(), session_, all, runtime_);
}

// ---- query expressions ----

namespace {

std::unique_ptr<TKrxAO> BuildNode(TKrxQueryBuilder& builder, const TKrxQueryExprNode& node) {
  if (node.operation == qoSelect) return builder.BuildSelect(*node.select);
  auto left = BuildNode(builder, *node.left);
  auto right = BuildNode(builder, *node.right);
  const TKrxUnionKind kind =
      node.operation == qoUnion ? ukUnion : (node.operation == qoIntersect ? ukIntersect : ukExcept);
  return std::make_unique<TKrxAOUnion>(std::move(left), std::move(right), kind, !node.all, node.corresponding,
                                       node.correspondingColumns);
}

}  // namespace

std::unique_ptr<TKrxAO> TKrxQueryBuilder::BuildQuery(const TKrxSQLUnion& query) {
  // "a UNION b ORDER BY ..." is read with the ORDER BY in the last block;
  // it sorts the union's result.
  const TKrxSQLSelect* lastBlock = nullptr;
  if (query.Root().operation != qoSelect) {
    const TKrxQueryExprNode* node = &query.Root();
    while (node->operation != qoSelect) node = node->right.get();
    lastBlock = node->select.get();
  }
  const TKrxSQLSelect* saved = unionSortBlock_;
  unionSortBlock_ = lastBlock;
  std::unique_ptr<TKrxAO> top = BuildNode(*this, query.Root());
  unionSortBlock_ = saved;
  if (!query.SortSpecifications().empty()) ApplyOrderBy(*top, query.SortSpecifications());
  else if (lastBlock && !lastBlock->SortSpecifications().empty()) ApplyOrderBy(*top, lastBlock->SortSpecifications());
  return top;
}

// ---- inputs ----

bool KrxTryJoinPair(TKrxAOJoin& join, TKrxExprNode& condition) {
  if (condition.Operation() != eoEqual || condition.ChildCount() != 2 || condition.CaseInsensitive()) return false;
  if (static_cast<TKrxExprNodeComparison&>(condition).Quantifier() != TKrxQuantifier::None) return false;
  if (condition.Child(0).Operation() != eoField || condition.Child(1).Operation() != eoField) return false;
  auto& a = static_cast<TKrxExprNodeField&>(condition.Child(0));
  auto& b = static_cast<TKrxExprNodeField&>(condition.Child(1));
  TKrxAO& left = *join.Left();
  TKrxAO& right = *join.Right();
  int al = -1, ar = -1, bl = -1, br = -1;
  const int aInLeft = left.FindColumn(a.Qualifier(), a.Name(), al);
  const int aInRight = right.FindColumn(a.Qualifier(), a.Name(), ar);
  const int bInLeft = left.FindColumn(b.Qualifier(), b.Name(), bl);
  const int bInRight = right.FindColumn(b.Qualifier(), b.Name(), br);
  if (aInLeft == 1 && aInRight == 0 && bInRight == 1 && bInLeft == 0) {
    join.AddJoinPair(al, br);
    return true;
  }
  if (aInRight == 1 && aInLeft == 0 && bInLeft == 1 && bInRight == 0) {
    join.AddJoinPair(bl, ar);
    return true;
  }
  return false;
}

std::unique_ptr<TKrxAO> TKrxQueryBuilder::BuildReference(const TKrxTableReference& reference) {
  switch (reference.kind) {
    case trTable: {
      if (reference.inMemory) throw EKrxException(KrxError::InMemoryTablesUnavailable, reference.tableName);
      if (!reference.databaseName.empty())
        throw EKrxException(KrxError::InMemoryTablesUnavailable, reference.databaseName + "." + reference.tableName);
      return std::make_unique<TKrxAOTable>(session_.Database(), reference.tableName, reference.alias);
    }
    case trSubquery: {
      std::unique_ptr<TKrxAO> inner = BuildQuery(*reference.subquery);
      if (!reference.alias.empty())
        for (TKrxAOColumn& c : inner->MutableColumns())
          if (c.output) c.qualifier = reference.alias;
      return inner;
    }
    case trJoin:
      break;
  }
  auto join = std::make_unique<TKrxAOJoin>(BuildReference(*reference.left), BuildReference(*reference.right),
                                           reference.joinType);
  BindOn(*join, reference);
  return join;
}

void TKrxQueryBuilder::BindOn(TKrxAOJoin& join, const TKrxTableReference& reference) {
  TKrxAO& left = *join.Left();
  TKrxAO& right = *join.Right();
  auto pairByName = [&](const std::string& name, bool required) {
    int l = -1, r = -1;
    if (left.FindColumn({}, name, l) > 0 && right.FindColumn({}, name, r) > 0) {
      join.AddJoinPair(l, r);
      return;
    }
    if (required) throw EKrxException(KrxError::UsingColumnNotFound, name);
  };
  for (const std::string& name : reference.usingColumns) pairByName(name, true);
  if (reference.natural) {
    for (int c : left.OutputColumns()) pairByName(left.Columns()[static_cast<size_t>(c)].name, false);
  }
  if (join.JoinType() == jtCross && (!join.JoinPairs().empty() || reference.on)) join.SetJoinType(jtInner);
  if (!reference.on || !reference.on->Root()) return;

  std::vector<TKrxExprNode*> parts;
  KrxSplitConjuncts(reference.on->Root(), parts);
  const bool outer = join.JoinType() == jtLeft || join.JoinType() == jtRight || join.JoinType() == jtFull;
  for (TKrxExprNode* part : parts) {
    if (KrxTryJoinPair(join, *part)) continue;
    if (!KrxCanBindNode(*part, WithOuter(&join))) throw EKrxException(KrxError::OnNotApplicable);
    if (KrxBindNode(*part, WithOuter(&join), 1)) usedOuter_ = true;
    KrxPrepareNode(*part, session_, WithOuter(&join), runtime_);
    // An outer join's ON decides which rows match; an inner join's filters.
    if (outer) join.AddOnCondition(part);
    else join.AddFilter(part);
  }
}

std::unique_ptr<TKrxAO> TKrxQueryBuilder::BuildFrom(const TKrxSQLSelect& select) {
  std::vector<TKrxExprNode*> parts;
  if (select.Where()) KrxSplitConjuncts(select.Where()->Root(), parts);
  std::vector<bool> used(parts.size(), false);
  std::unique_ptr<TKrxAO> from;
  for (const TKrxTableReference& reference : select.From()) {
    std::unique_ptr<TKrxAO> next = BuildReference(reference);
    if (!from) {
      from = std::move(next);
      continue;
    }
    auto join = std::make_unique<TKrxAOJoin>(std::move(from), std::move(next), jtCross);
    for (size_t i = 0; i < parts.size(); ++i)
      if (!used[i] && KrxTryJoinPair(*join, *parts[i])) used[i] = true;
    if (!join->JoinPairs().empty()) join->SetJoinType(jtInner);
    from = std::move(join);
  }
  if (!from) throw EKrxException(KrxError::SearchNotApplicable);
  for (size_t i = 0; i < parts.size(); ++i)
    if (!used[i]) PlaceCondition(*from, parts[i]);
  return from;
}

void TKrxQueryBuilder::Attach(TKrxAO& op, TKrxExprNode* condition) {
  if (KrxBindNode(*condition, WithOuter(&op), 1)) usedOuter_ = true;
  KrxPrepareNode(*condition, session_, WithOuter(&op), runtime_);
  op.AddFilter(condition);
}

bool TKrxQueryBuilder::PlaceAt(TKrxAO& op, TKrxExprNode* condition) {
  if (auto* join = dynamic_cast<TKrxAOJoin*>(&op)) {
    // A condition on the side an outer join fills with NULLs must see the
    // joined rows.
    const TKrxJoinType type = join->JoinType();
    if ((type == jtCross || type == jtInner || type == jtLeft) && PlaceAt(*join->Left(), condition)) return true;
    if ((type == jtCross || type == jtInner || type == jtRight) && PlaceAt(*join->Right(), condition)) return true;
  }
  if (!KrxCanBindNode(*condition, {&op})) return false;
  Attach(op, condition);
  return true;
}

void TKrxQueryBuilder::PlaceCondition(TKrxAO& root, TKrxExprNode* condition) {
  // A part without columns of its own (a constant, EXISTS over a subquery)
  // goes to the top of the inputs, where every row passes.
  if (!KrxHasColumnReferences(*condition)) {
    Attach(root, condition);
    return;
  }
  if (PlaceAt(root, condition)) return;
  if (!outer_.empty() && KrxCanBindNode(*condition, WithOuter(&root))) {
    Attach(root, condition);
    return;
  }
  throw EKrxException(KrxError::SearchNotApplicable);
}

// ---- the select list ----

std::unique_ptr<TKrxAO> TKrxQueryBuilder::BuildRows(const TKrxSQLSelect& select) { return BuildFrom(select); }

namespace {

bool IsGroupColumn(const std::vector<int>& groupColumns, int column) {
  return std::find(groupColumns.begin(), groupColumns.end(), column) != groupColumns.end();
}

}  // namespace

std::unique_ptr<TKrxAO> TKrxQueryBuilder::BuildSelect(const TKrxSQLSelect& select) {
  std::unique_ptr<TKrxAO> from = BuildFrom(select);
  TKrxAO& input = *from;

  std::vector<TKrxAOItem> items;
  bool aggregates = false;
  int expressionNo = 0;
  auto addColumn = [&](int column) {
    TKrxAOItem item;
    item.name = input.Columns()[static_cast<size_t>(column)].name;
    item.qualifier = input.Columns()[static_cast<size_t>(column)].qualifier;
    item.inputColumn = column;
    items.push_back(std::move(item));
  };
  if (select.SelectAll()) {
    for (int c : input.OutputColumns()) addColumn(c);
  } else {
    for (const TKrxSelectListItem& listItem : select.SelectList()) {
      ++expressionNo;
      if (listItem.isAllFields) {
        bool any = false;
        for (int c : input.OutputColumns()) {
          if (!KrxSameName(input.Columns()[static_cast<size_t>(c)].qualifier, listItem.qualifier)) continue;
          addColumn(c);
          any = true;
        }
        if (!any) throw EKrxException(KrxError::FieldNotFound, listItem.qualifier + ".*");
        continue;
      }
      TKrxAOItem item;
      if (!listItem.isExpression || !listItem.expression) {
        int column = -1;
        const TKrxRowSources local{&input};
        const int count = input.FindColumn(listItem.qualifier, listItem.fieldName, column);
        const std::string display =
            listItem.qualifier.empty() ? listItem.fieldName : listItem.qualifier + "." + listItem.fieldName;
        if (count == 0) throw EKrxException(KrxError::FieldNotFound, display);
        if (count > 1) throw EKrxException(KrxError::AmbiguousFieldReference, display);
        item.inputColumn = column;
        item.name = listItem.alias.empty() ? input.Columns()[static_cast<size_t>(column)].name : listItem.alias;
        item.qualifier = input.Columns()[static_cast<size_t>(column)].qualifier;
      } else {
        item.expression = listItem.expression.get();
        PrepareExpression(*item.expression, {&input});
        aggregates = aggregates || item.expression->IsAggregate();
        char name[24];
        std::snprintf(name, sizeof name, "EXPR%d", expressionNo);
        item.name = listItem.alias.empty() ? std::string(name) : listItem.alias;
      }
      items.push_back(std::move(item));
    }
  }

  // A single table reads its BLOB values from their pages only when the
  // block uses a BLOB column (its condition decides that on its own).
  auto* table = dynamic_cast<TKrxAOTable*>(&input);
  bool blobsUsed = false;
  auto readsBlob = [&](TKrxExpression* expression) {
    return expression && expression->Root() && table->ReadsBlob(*expression->Root());
  };
  auto isBlobColumn = [&](int column) {
    return column >= 0 && KrxIsBlobType(input.Columns()[static_cast<size_t>(column)].type);
  };
  if (table) {
    for (const TKrxAOItem& item : items)
      if (item.expression ? readsBlob(item.expression) : isBlobColumn(item.inputColumn)) blobsUsed = true;
    for (const TKrxSortSpecification& spec : select.SortSpecifications()) {
      if (spec.isNumber) continue;  // an output column, seen above
      for (const TKrxAOColumn& c : input.Columns())
        if (KrxIsBlobType(c.type) && KrxSameName(c.name, spec.columnName)) blobsUsed = true;
    }
  }

  std::unique_ptr<TKrxAO> top;
  const bool grouping = aggregates || !select.GroupBy().empty();
  if (grouping) {
    std::vector<int> groupColumns;
    int i = 0;
    for (const TKrxSelectListItem& g : select.GroupBy()) {
      int column = -1;
      if (input.FindColumn(g.qualifier, g.fieldName, column) == 0)
        throw EKrxException(KrxError::InvalidGroupByField, g.qualifier, g.fieldName, i, 0);
      groupColumns.push_back(column);
      if (isBlobColumn(column)) blobsUsed = true;
      ++i;
    }
    for (const TKrxAOItem& item : items) {
      if (!item.expression) {
        if (!IsGroupColumn(groupColumns, item.inputColumn)) {
          const TKrxAOColumn& c = input.Columns()[static_cast<size_t>(item.inputColumn)];
          throw EKrxException(KrxError::FieldNotInGroupBy, c.qualifier, item.name, item.inputColumn, c.name);
        }
        continue;
      }
      if (item.expression->IsAggregate()) continue;
      for (TKrxExprNodeField* field : item.expression->Fields()) {
        if (field->Source() == &input && !IsGroupColumn(groupColumns, field->Column()))
          throw EKrxException(KrxError::ExpressionNotGroupable, item.name, item.name);
      }
    }
    auto group = std::make_unique<TKrxAOGroupBy>(std::move(from), std::move(items), std::move(groupColumns), runtime_);
    if (TKrxExpression* having = select.Having()) {
      if (having->Root()) {
        if (!KrxCanBindNode(*having->Root(), WithOuter(group->Left()))) throw EKrxException(KrxError::HavingNotApplicable);
        PrepareExpression(*having, {group->Left()});
        if (table && readsBlob(having)) blobsUsed = true;
        group->SetHaving(having);
      }
    }
    top = std::move(group);
    if (select.Distinct()) {
      std::vector<TKrxAOItem> again;
      for (int c : top->OutputColumns()) {
        TKrxAOItem item;
        item.name = top->Columns()[static_cast<size_t>(c)].name;
        item.qualifier = top->Columns()[static_cast<size_t>(c)].qualifier;
        item.inputColumn = c;
        again.push_back(std::move(item));
      }
      top = std::make_unique<TKrxAOTableExpr>(std::move(top), std::move(again), true, runtime_);
    }
  } else {
    if (select.Having() && select.Having()->Root()) throw EKrxException(KrxError::HavingNotApplicable);
    top = std::make_unique<TKrxAOTableExpr>(std::move(from), std::move(items), select.Distinct(), runtime_);
  }

  if (table) table->SetKeepBlobValues(blobsUsed);
  if (!select.SortSpecifications().empty() && &select != unionSortBlock_)
    ApplyOrderBy(*top, select.SortSpecifications());
  if (select.TopRowCount() >= 0)
    top = std::make_unique<TKrxAOSQLTopRowCount>(std::move(top), select.TopRowCount(), select.TopFirstRow());
  return top;
}

// ---- ORDER BY ----

namespace {

// A column of `op` by [qualifier.]name among its output columns, then its
// hidden ones; -1 when none.
int FindSortColumn(const TKrxAO& op, const TKrxSortSpecification& spec) {
  for (int pass = 0; pass < 2; ++pass) {
    const bool output = pass == 0;
    for (size_t i = 0; i < op.Columns().size(); ++i) {
      const TKrxAOColumn& c = op.Columns()[i];
      if (c.output != output || !KrxSameName(c.name, spec.columnName)) continue;
      if (!spec.qualifier.empty() && !KrxSameName(c.qualifier, spec.qualifier)) continue;
      return static_cast<int>(i);
    }
  }
  return -1;
}

}  // namespace

void TKrxQueryBuilder::ApplyOrderBy(TKrxAO& top, const std::vector<TKrxSortSpecification>& specs) {
  std::vector<TKrxAOSortKey>& keys = top.SortKeys();
  keys.clear();
  const std::vector<int> output = top.OutputColumns();
  for (const TKrxSortSpecification& spec : specs) {
    TKrxAOSortKey key;
    key.descending = spec.descending;
    if (spec.isNumber) {
      const long long n = std::atoll(spec.columnName.c_str());
      if (n < 1 || n > static_cast<long long>(output.size())) throw EKrxException(KrxError::InvalidOrderByNumber, n);
      key.column = output[static_cast<size_t>(n - 1)];
    } else {
      key.column = FindSortColumn(top, spec);
      if (key.column < 0) {
        const std::string shown = spec.qualifier.empty() ? spec.columnName : spec.qualifier + "." + spec.columnName;
        throw EKrxException(KrxError::OrderByColumnNotFound, shown);
      }
    }
    keys.push_back(key);
  }
}

// ---- the result ----

std::unique_ptr<TKrxResultCursor> KrxMakeResultCursor(TKrxAO& top) {
  const std::vector<int> output = top.OutputColumns();
  std::vector<TKrxAORow>& rows = top.Rows();
  TKrxFieldDefs defs;
  std::vector<std::string> names;
  for (int c : output) {
    const TKrxAOColumn& column = top.Columns()[static_cast<size_t>(c)];
    // Names must be unique in a record layout: repeats get "_1", "_2", ...
    std::string name = column.name;
    for (int k = 1; std::any_of(names.begin(), names.end(), [&](const std::string& n) { return KrxSameName(n, name); });
         ++k)
      name = column.name + "_" + std::to_string(k);
    names.push_back(name);
    TKrxAdvancedType type = column.type == TKrxAdvancedType::Unknown ? TKrxAdvancedType::Integer : column.type;
    int32_t size = column.size;
    if (KrxAdvancedTypeNeedsSize(type)) {
      // Computed texts are given room for their longest value.
      const bool wide = type == TKrxAdvancedType::FixedWideChar || type == TKrxAdvancedType::WideString;
      size_t longest = 1;
      for (const TKrxAORow& row : rows) {
        const TKrxVariant& v = row[static_cast<size_t>(c)];
        if (v.IsNull()) continue;
        longest = std::max(longest, wide ? v.AsWideString().size() : v.AsString().size());
      }
      size = std::max<int32_t>(size, static_cast<int32_t>(longest));
    }
    defs.Add(name, type, size);
  }
  auto cursor = std::make_unique<TKrxResultCursor>(std::move(defs));
  for (const TKrxAORow& row : rows) cursor->AppendRow(row, output);
  return cursor;
}

}  // namespace krx
