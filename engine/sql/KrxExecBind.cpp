#include "KrxExecBind.h"

#include "KrxException.h"
#include "KrxExecBuilder.h"
#include "KrxExecSession.h"
#include "KrxExprNodeField.h"
#include "KrxExprNodeSubquery.h"
#include "KrxExprNodeSystem.h"
#include "KrxTableDataDisk.h"

namespace krx {

int64_t TKrxExecRuntime::LastAutoIncValue(const std::string& table, bool inMemory, const std::string& column) {
  if (inMemory) throw EKrxException(KrxError::InMemoryTablesUnavailable, table);
  auto data = TKrxDiskTableData::OpenTable(session_.Database(), table);
  return data->LastAutoIncValue(session_.SessionID(), data->Fields().FieldNoByName(column));
}

void KrxSplitConjuncts(TKrxExprNode* condition, std::vector<TKrxExprNode*>& parts) {
  if (!condition) return;
  if (condition->Operation() == eoAnd) {
    for (size_t i = 0; i < condition->ChildCount(); ++i) KrxSplitConjuncts(&condition->Child(i), parts);
    return;
  }
  parts.push_back(condition);
}

bool KrxHasColumnReferences(TKrxExprNode& node) {
  bool found = false;
  node.ForEach([&](TKrxExprNode& n) { found = found || n.Operation() == eoField; });
  return found;
}

namespace {

// The first source that has the column, and how many columns there answer.
int Resolve(const TKrxExprNodeField& field, const TKrxRowSources& sources, size_t& sourceIndex, int& column) {
  for (size_t i = 0; i < sources.size(); ++i) {
    int found = -1;
    const int count = sources[i]->FindColumn(field.Qualifier(), field.Name(), found);
    if (count > 0) {
      sourceIndex = i;
      column = found;
      return count;
    }
  }
  return 0;
}

}  // namespace

bool KrxCanBindNode(TKrxExprNode& node, const TKrxRowSources& sources) {
  bool ok = true;
  node.ForEach([&](TKrxExprNode& n) {
    if (!ok || n.Operation() != eoField) return;
    size_t source = 0;
    int column = -1;
    ok = Resolve(static_cast<TKrxExprNodeField&>(n), sources, source, column) > 0;
  });
  return ok;
}

bool KrxBindNode(TKrxExprNode& node, const TKrxRowSources& sources, size_t firstOuter) {
  bool usedOuter = false;
  node.ForEach([&](TKrxExprNode& n) {
    if (n.Operation() != eoField) return;
    auto& field = static_cast<TKrxExprNodeField&>(n);
    size_t source = 0;
    int column = -1;
    const int count = Resolve(field, sources, source, column);
    if (count == 0) throw EKrxException(KrxError::FieldNotFound, field.DisplayName());
    if (count > 1) throw EKrxException(KrxError::AmbiguousFieldReference, field.DisplayName());
    field.Bind(sources[source], column);
    usedOuter = usedOuter || source >= firstOuter;
  });
  return usedOuter;
}

TKrxSubqueryRunner::TKrxSubqueryRunner(const TKrxSQLUnion& query, TKrxExecSession& session, TKrxRowSources outer)
    : session_(session), runtime_(std::make_unique<TKrxExecRuntime>(session)) {
  TKrxQueryBuilder builder(session, runtime_.get(), std::move(outer));
  tree_ = builder.BuildQuery(query);
  correlated_ = builder.UsedOuter();
  output_ = tree_->OutputColumns();
}

TKrxSubqueryRunner::~TKrxSubqueryRunner() = default;

void TKrxSubqueryRunner::Open() {
  if (!ran_ || correlated_) tree_->Execute(session_);
  ran_ = true;
  next_ = 0;
  row_ = nullptr;
}

TKrxAdvancedType TKrxSubqueryRunner::FieldType(int column) const {
  return tree_->Columns()[static_cast<size_t>(output_.at(static_cast<size_t>(column)))].type;
}

int32_t TKrxSubqueryRunner::FieldSize(int column) const {
  return tree_->Columns()[static_cast<size_t>(output_.at(static_cast<size_t>(column)))].size;
}

bool TKrxSubqueryRunner::Next() {
  std::vector<TKrxAORow>& rows = tree_->Rows();
  if (next_ >= rows.size()) {
    row_ = nullptr;
    return false;
  }
  row_ = &rows[next_++];
  return true;
}

const TKrxVariant& TKrxSubqueryRunner::Value(int column) const {
  static const TKrxVariant kNull;
  if (!row_) return kNull;
  return (*row_)[static_cast<size_t>(output_.at(static_cast<size_t>(column)))];
}

void KrxPrepareNode(TKrxExprNode& node, TKrxExecSession& session, const TKrxRowSources& outer,
                    TKrxExecRuntime* runtime) {
  node.ForEach([&](TKrxExprNode& n) {
    if (n.Operation() == eoSubquery) {
      auto& subquery = static_cast<TKrxExprNodeSubquery&>(n);
      subquery.SetRunner(std::make_unique<TKrxSubqueryRunner>(*subquery.Query(), session, outer));
    } else if (n.Operation() == eoRowNum || n.Operation() == eoLastAutoInc) {
      static_cast<TKrxExprNodeSystem&>(n).SetRuntime(runtime);
    }
  });
}

}  // namespace krx
