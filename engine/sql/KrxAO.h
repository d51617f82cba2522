// Relational operators: the nodes of a query's execution tree. Every
// operator runs its inputs and keeps its own rows (materialised as vectors
// of values); it is a row source for the expressions bound to it, which
// read its current row. Columns that the select list does not show stay in
// the rows as hidden columns, so that ORDER BY can use them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KrxExprNode.h"
#include "KrxVariant.h"

namespace krx {

class TKrxExecSession;

struct TKrxAOColumn {
  std::string qualifier;  // alias or name of the column's table; empty for computed items
  std::string name;
  TKrxAdvancedType type = TKrxAdvancedType::Integer;
  int32_t size = 0;
  bool output = true;
};

using TKrxAORow = std::vector<TKrxVariant>;

struct TKrxAOSortKey {
  int column = 0;
  bool descending = false;
  bool caseInsensitive = false;
};

class TKrxAO : public IKrxRowSource {
 public:
  TKrxAO() = default;
  ~TKrxAO() override;
  TKrxAO(const TKrxAO&) = delete;
  TKrxAO& operator=(const TKrxAO&) = delete;

  const std::vector<TKrxAOColumn>& Columns() const { return columns_; }
  std::vector<TKrxAOColumn>& MutableColumns() { return columns_; }
  // Positions of the output columns in order.
  std::vector<int> OutputColumns() const;
  std::vector<TKrxAORow>& Rows() { return rows_; }
  TKrxAO* Left() const { return left_.get(); }
  TKrxAO* Right() const { return right_.get(); }
  // Operators that produce their rows from a stored table.
  virtual bool IsTable() const { return false; }
  // Whether Run itself judges the filters; for the others Execute drops
  // the rows that fail them afterwards.
  virtual bool FiltersInRun() const { return false; }

  // Runs the inputs and fills the rows (again on every call), then sorts
  // them by the sort keys.
  void Execute(TKrxExecSession& session);

  // Conditions bound to this operator: every one must hold for a row to be
  // kept. The nodes belong to the statement's expressions.
  void AddFilter(TKrxExprNode* condition) { filters_.push_back(condition); }
  const std::vector<TKrxExprNode*>& Filters() const { return filters_; }
  std::vector<TKrxAOSortKey>& SortKeys() { return sortKeys_; }

  void SetCurrent(const TKrxAORow* row) { current_ = row; }

  // IKrxRowSource over the current row; hidden columns are not found.
  int FindColumn(std::string_view qualifier, std::string_view name, int& column) const override;
  TKrxAdvancedType ColumnType(int column) const override { return columns_[column].type; }
  int32_t ColumnSize(int column) const override { return columns_[column].size; }
  const TKrxVariant& ColumnValue(int column) const override;

  // True when every filter holds for the current row.
  bool FiltersHold() const;

 protected:
  virtual void Run(TKrxExecSession& session) = 0;

  std::vector<TKrxAOColumn> columns_;
  std::vector<TKrxAORow> rows_;
  const TKrxAORow* current_ = nullptr;
  std::unique_ptr<TKrxAO> left_;
  std::unique_ptr<TKrxAO> right_;
  std::vector<TKrxExprNode*> filters_;
  std::vector<TKrxAOSortKey> sortKeys_;

 private:
  void Sort();
};

// The truth of a condition node's value: TRUE only (NULL rejects).
bool KrxConditionHolds(TKrxExprNode& condition);
// Order of two values for sorting and grouping: NULL first, then by value.
int KrxCompareForSort(const TKrxVariant& a, const TKrxVariant& b, bool caseInsensitive);
// A text standing for the value such that equal values give equal texts
// (numbers of any type by their decimal form); appended to `key`.
void KrxAppendValueKey(const TKrxVariant& value, std::string& key);

}  // namespace krx
