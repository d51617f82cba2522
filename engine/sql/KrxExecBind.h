// How expressions meet the operators they run on: conditions split at AND,
// column references bound to row sources (the nearest source that has the
// column wins, so a subquery's own tables hide the outer query's), the
// statement's runtime values, and the runner behind every subquery.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxAO.h"
#include "KrxExprNode.h"

namespace krx {

class TKrxExecSession;
class TKrxSQLUnion;

using TKrxRowSources = std::vector<const IKrxRowSource*>;

class TKrxExecRuntime : public IKrxExprRuntime {
 public:
  explicit TKrxExecRuntime(TKrxExecSession& session) : session_(session) {}
  void SetRowNumber(int64_t row) { row_ = row; }
  int64_t RowNumber() const override { return row_; }
  int64_t LastAutoIncValue(const std::string& table, bool inMemory, const std::string& column) override;

 private:
  TKrxExecSession& session_;
  int64_t row_ = 0;
};

// The parts of a condition joined by AND, in order.
void KrxSplitConjuncts(TKrxExprNode* condition, std::vector<TKrxExprNode*>& parts);
// Whether the condition refers to any column.
bool KrxHasColumnReferences(TKrxExprNode& node);
// True when every column reference of the node is found in the sources.
bool KrxCanBindNode(TKrxExprNode& node, const TKrxRowSources& sources);
// Binds every column reference ("Field '%s' not found", "Ambiguous field
// reference to '%s'"). Returns whether a reference went to a source at or
// after `firstOuter` (an outer query's row).
bool KrxBindNode(TKrxExprNode& node, const TKrxRowSources& sources, size_t firstOuter = SIZE_MAX);

// Runs a subquery for the outer row: its tree is built once against the
// outer sources; it runs again for every outer row only when it refers to
// them.
class TKrxSubqueryRunner : public IKrxSubqueryRunner {
 public:
  TKrxSubqueryRunner(const TKrxSQLUnion& query, TKrxExecSession& session, TKrxRowSources outer);
  ~TKrxSubqueryRunner() override;

  void Open() override;
  int FieldCount() const override { return static_cast<int>(output_.size()); }
  TKrxAdvancedType FieldType(int column) const override;
  int32_t FieldSize(int column) const override;
  bool Next() override;
  const TKrxVariant& Value(int column) const override;

 private:
  TKrxExecSession& session_;
  std::unique_ptr<TKrxExecRuntime> runtime_;
  std::unique_ptr<TKrxAO> tree_;
  std::vector<int> output_;
  bool correlated_ = false;
  bool ran_ = false;
  size_t next_ = 0;
  const TKrxAORow* row_ = nullptr;
};

// Attaches runners to the subqueries of a node and the runtime to its
// ROWNUM and LASTAUTOINC.
void KrxPrepareNode(TKrxExprNode& node, TKrxExecSession& session, const TKrxRowSources& outer,
                    TKrxExecRuntime* runtime);

}  // namespace krx
