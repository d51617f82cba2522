#include "KrxAOGroupBy.h"

#include <algorithm>
#include <numeric>

#include "KrxExecBind.h"
#include "KrxExpression.h"

namespace krx {

TKrxAOGroupBy::TKrxAOGroupBy(std::unique_ptr<TKrxAO> input, std::vector<TKrxAOItem> items,
                             std::vector<int> groupColumns, TKrxExecRuntime* runtime)
    : items_(std::move(items)), groupColumns_(std::move(groupColumns)), runtime_(runtime) {
  left_ = std::move(input);
  for (const TKrxAOItem& item : items_) {
    TKrxAOColumn column;
    KrxDescribeItem(item, *left_, column);
    columns_.push_back(std::move(column));
  }
  for (int g : groupColumns_) {
    columns_.push_back(left_->Columns()[static_cast<size_t>(g)]);
    columns_.back().output = false;
  }
}

void TKrxAOGroupBy::Run(TKrxExecSession& session) {
  left_->Execute(session);
  std::vector<TKrxAORow>& input = left_->Rows();
  std::vector<size_t> order(input.size());
  std::iota(order.begin(), order.end(), size_t{0});
  auto compareGroups = [&](size_t a, size_t b) {
    for (int g : groupColumns_) {
      int c = KrxCompareForSort(input[a][static_cast<size_t>(g)], input[b][static_cast<size_t>(g)], false);
      if (c != 0) return c;
    }
    return 0;
  };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return compareGroups(a, b) < 0; });

  auto resetAll = [&] {
    for (const TKrxAOItem& item : items_)
      if (item.expression) item.expression->ResetAggregates();
    if (having_) having_->ResetAggregates();
  };
  auto accumulate = [&] {
    for (const TKrxAOItem& item : items_)
      if (item.expression) item.expression->AccumulateAggregates();
    if (having_) having_->AccumulateAggregates();
  };
  TKrxAORow row(columns_.size());
  auto emit = [&](const TKrxAORow* groupRow) {
    left_->SetCurrent(groupRow);
    if (having_ && !having_->IsTrue()) return;
    if (runtime_) runtime_->SetRowNumber(static_cast<int64_t>(rows_.size()) + 1);
    for (size_t i = 0; i < items_.size(); ++i) {
      const TKrxAOItem& item = items_[i];
      if (item.expression) row[i] = item.expression->GetValue(true);
      else if (groupRow) row[i] = (*groupRow)[static_cast<size_t>(item.inputColumn)];
      else row[i].SetNull();
    }
    for (size_t g = 0; g < groupColumns_.size(); ++g) {
      if (groupRow) row[items_.size() + g] = (*groupRow)[static_cast<size_t>(groupColumns_[g])];
      else row[items_.size() + g].SetNull();
    }
    rows_.push_back(row);
  };

  if (order.empty()) {
    // Aggregates over no rows still give one row when nothing is grouped.
    if (groupColumns_.empty()) {
      resetAll();
      emit(nullptr);
    }
    left_->SetCurrent(nullptr);
    return;
  }
  size_t start = 0;
  while (start < order.size()) {
    size_t end = start + 1;
    while (end < order.size() && compareGroups(order[start], order[end]) == 0) ++end;
    resetAll();
    for (size_t k = start; k < end; ++k) {
      left_->SetCurrent(&input[order[k]]);
      accumulate();
    }
    emit(&input[order[start]]);
    start = end;
  }
  left_->SetCurrent(nullptr);
}

}  // namespace krx
