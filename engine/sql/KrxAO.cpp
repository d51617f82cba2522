#include "KrxAO.h"

#include <algorithm>

#include "KrxFieldDef.h"

namespace krx {

TKrxAO::~TKrxAO() = default;

std::vector<int> TKrxAO::OutputColumns() const {
  std::vector<int> out;
  for (size_t i = 0; i < columns_.size(); ++i)
    if (columns_[i].output) out.push_back(static_cast<int>(i));
  return out;
}

void TKrxAO::Execute(TKrxExecSession& session) {
  rows_.clear();
  current_ = nullptr;
  Run(session);
  if (!filters_.empty() && !FiltersInRun()) {
    std::vector<TKrxAORow> kept;
    for (TKrxAORow& row : rows_) {
      current_ = &row;
      if (FiltersHold()) kept.push_back(std::move(row));
    }
    rows_ = std::move(kept);
  }
  current_ = nullptr;
  if (!sortKeys_.empty()) Sort();
}

int TKrxAO::FindColumn(std::string_view qualifier, std::string_view name, int& column) const {
  int matches = 0;
  for (size_t i = 0; i < columns_.size(); ++i) {
    const TKrxAOColumn& c = columns_[i];
    if (!c.output) continue;
    if (!KrxSameName(c.name, name)) continue;
    if (!qualifier.empty() && !KrxSameName(c.qualifier, qualifier)) continue;
    if (matches == 0) column = static_cast<int>(i);
    ++matches;
  }
  return matches;
}

const TKrxVariant& TKrxAO::ColumnValue(int column) const {
  static const TKrxVariant kNull;
  if (!current_) return kNull;
  return (*current_)[static_cast<size_t>(column)];
}

bool TKrxAO::FiltersHold() const {
  for (TKrxExprNode* condition : filters_)
    if (!KrxConditionHolds(*condition)) return false;
  return true;
}

void TKrxAO::Sort() {
  std::stable_sort(rows_.begin(), rows_.end(), [this](const TKrxAORow& a, const TKrxAORow& b) {
    for (const TKrxAOSortKey& key : sortKeys_) {
      int order = KrxCompareForSort(a[key.column], b[key.column], key.caseInsensitive);
      if (order != 0) return key.descending ? order > 0 : order < 0;
    }
    return false;
  });
}

bool KrxConditionHolds(TKrxExprNode& condition) {
  const TKrxVariant& value = condition.Evaluate();
  return !value.IsNull() && value.AsBoolean();
}

int KrxCompareForSort(const TKrxVariant& a, const TKrxVariant& b, bool caseInsensitive) {
  if (a.IsNull() || b.IsNull()) return a.IsNull() == b.IsNull() ? 0 : (a.IsNull() ? -1 : 1);
  return TKrxVariant::Compare(a, b, caseInsensitive);
}

void KrxAppendValueKey(const TKrxVariant& value, std::string& key) {
  if (value.IsNull()) {
    key += '\x02';
    return;
  }
  key += '\x03';
  const TKrxStorageType type = value.Type();
  if (KrxIsNumericType(type) || type == TKrxStorageType::Boolean) {
    key += KrxFloatToString(value.AsExtended(), 18);
  } else if (KrxIsWideStringType(type)) {
    key += value.AsString();
  } else if (KrxIsDateTimeType(type)) {
    const TKrxTimeStamp ts = value.AsTimeStamp();
    key += std::to_string(ts.date);
    key += ':';
    key += std::to_string(ts.time);
  } else {
    key += value.StringValue();
  }
  key += '\x01';
}

}  // namespace krx
