#include "KrxAOTableExpr.h"

#include <unordered_set>

#include "KrxException.h"
#include "KrxExecBind.h"
#include "KrxExpression.h"

namespace krx {

void KrxDescribeItem(const TKrxAOItem& item, const TKrxAO& input, TKrxAOColumn& column) {
  column.name = item.name;
  column.qualifier = item.qualifier;
  column.output = true;
  if (item.expression == nullptr) {
    const TKrxAOColumn& source = input.Columns()[static_cast<size_t>(item.inputColumn)];
    column.type = source.type;
    column.size = source.size;
    return;
  }
  try {
    column.type = item.expression->ResultType();
    column.size = item.expression->ResultSize();
  } catch (const EKrxException&) {
    // A value whose type the tree cannot tell (a bare NULL).
    column.type = TKrxAdvancedType::Integer;
    column.size = 0;
  }
  if (column.type == TKrxAdvancedType::Unknown) column.type = TKrxAdvancedType::Integer;
}

TKrxAOTableExpr::TKrxAOTableExpr(std::unique_ptr<TKrxAO> input, std::vector<TKrxAOItem> items, bool distinct,
                                 TKrxExecRuntime* runtime)
    : items_(std::move(items)), distinct_(distinct), runtime_(runtime) {
  left_ = std::move(input);
  for (const TKrxAOItem& item : items_) {
    TKrxAOColumn column;
    KrxDescribeItem(item, *left_, column);
    columns_.push_back(std::move(column));
  }
  for (const TKrxAOColumn& c : left_->Columns()) {
    columns_.push_back(c);
    columns_.back().output = false;
  }
}

void TKrxAOTableExpr::Run(TKrxExecSession& session) {
  left_->Execute(session);
  const size_t itemCount = items_.size();
  std::unordered_set<std::string> seen;
  std::string key;
  TKrxAORow row(columns_.size());
  for (const TKrxAORow& input : left_->Rows()) {
    left_->SetCurrent(&input);
    if (runtime_) runtime_->SetRowNumber(static_cast<int64_t>(rows_.size()) + 1);
    for (size_t i = 0; i < itemCount; ++i) {
      const TKrxAOItem& item = items_[i];
      if (item.expression) row[i] = item.expression->GetValue(true);
      else row[i] = input[static_cast<size_t>(item.inputColumn)];
    }
    if (distinct_) {
      key.clear();
      for (size_t i = 0; i < itemCount; ++i) KrxAppendValueKey(row[i], key);
      if (!seen.insert(key).second) continue;
    }
    std::copy(input.begin(), input.end(), row.begin() + static_cast<std::ptrdiff_t>(itemCount));
    current_ = &row;
    if (!FiltersHold()) continue;
    rows_.push_back(row);
  }
  left_->SetCurrent(nullptr);
}

}  // namespace krx
