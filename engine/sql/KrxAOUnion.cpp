#include "KrxAOUnion.h"

#include <unordered_map>
#include <unordered_set>

#include "KrxException.h"
#include "KrxFieldDef.h"

namespace krx {

TKrxAOUnion::TKrxAOUnion(std::unique_ptr<TKrxAO> left, std::unique_ptr<TKrxAO> right, TKrxUnionKind kind,
                         bool distinct, bool corresponding, const std::vector<std::string>& correspondingColumns)
    : kind_(kind), distinct_(distinct) {
  left_ = std::move(left);
  right_ = std::move(right);
  const std::vector<int> leftOut = left_->OutputColumns();
  const std::vector<int> rightOut = right_->OutputColumns();
  auto findOut = [](const TKrxAO& side, const std::vector<int>& out, const std::string& name) {
    for (int c : out)
      if (KrxSameName(side.Columns()[static_cast<size_t>(c)].name, name)) return c;
    return -1;
  };
  if (!corresponding) {
    if (leftOut.size() != rightOut.size())
      throw EKrxException(KrxError::UnionFieldCount, static_cast<int64_t>(leftOut.size()),
                          static_cast<int64_t>(rightOut.size()));
    leftColumns_ = leftOut;
    rightColumns_ = rightOut;
  } else {
    std::vector<std::string> names = correspondingColumns;
    if (names.empty())
      for (int c : leftOut) names.push_back(left_->Columns()[static_cast<size_t>(c)].name);
    for (const std::string& name : names) {
      int l = findOut(*left_, leftOut, name), r = findOut(*right_, rightOut, name);
      if (l < 0 || r < 0) {
        if (!correspondingColumns.empty()) throw EKrxException(KrxError::FieldNotFound, name);
        continue;
      }
      leftColumns_.push_back(l);
      rightColumns_.push_back(r);
    }
    if (leftColumns_.empty())
      throw EKrxException(KrxError::UnionFieldCount, static_cast<int64_t>(0), static_cast<int64_t>(0));
  }
  for (size_t i = 0; i < leftColumns_.size(); ++i) {
    TKrxAOColumn column = left_->Columns()[static_cast<size_t>(leftColumns_[i])];
    const TKrxAOColumn& other = right_->Columns()[static_cast<size_t>(rightColumns_[i])];
    TKrxAdvancedType promoted = KrxPromoteAdvancedTypes(column.type, other.type);
    if (promoted != TKrxAdvancedType::Unknown) column.type = promoted;
    column.size = std::max(column.size, other.size);
    column.output = true;
    columns_.push_back(std::move(column));
  }
}

void TKrxAOUnion::Run(TKrxExecSession& session) {
  left_->Execute(session);
  right_->Execute(session);
  const size_t width = leftColumns_.size();
  auto project = [&](const TKrxAORow& source, const std::vector<int>& columns) {
    TKrxAORow row(width);
    for (size_t i = 0; i < width; ++i) row[i] = source[static_cast<size_t>(columns[i])];
    return row;
  };
  auto keyOf = [&](const TKrxAORow& row) {
    std::string key;
    for (const TKrxVariant& v : row) KrxAppendValueKey(v, key);
    return key;
  };
  if (kind_ == ukUnion) {
    std::unordered_set<std::string> seen;
    auto add = [&](TKrxAORow row) {
      if (distinct_ && !seen.insert(keyOf(row)).second) return;
      rows_.push_back(std::move(row));
    };
    for (const TKrxAORow& r : left_->Rows()) add(project(r, leftColumns_));
    for (const TKrxAORow& r : right_->Rows()) add(project(r, rightColumns_));
    return;
  }
  // INTERSECT and EXCEPT: the right side's rows counted by value.
  std::unordered_map<std::string, int64_t> rightCounts;
  for (const TKrxAORow& r : right_->Rows()) ++rightCounts[keyOf(project(r, rightColumns_))];
  std::unordered_set<std::string> emitted;
  for (const TKrxAORow& r : left_->Rows()) {
    TKrxAORow row = project(r, leftColumns_);
    std::string key = keyOf(row);
    auto it = rightCounts.find(key);
    const bool inRight = it != rightCounts.end() && it->second > 0;
    const bool keep = kind_ == ukIntersect ? inRight : !inRight;
    if (!distinct_ && it != rightCounts.end() && it->second > 0) --it->second;  // ALL: pair rows off one by one
    if (!keep) continue;
    if (distinct_ && !emitted.insert(key).second) continue;
    rows_.push_back(std::move(row));
  }
}

TKrxAOSQLTopRowCount::TKrxAOSQLTopRowCount(std::unique_ptr<TKrxAO> input, int64_t rowLimit, int64_t firstRow)
    : rowLimit_(rowLimit), firstRow_(firstRow < 1 ? 1 : firstRow) {
  left_ = std::move(input);
  columns_ = left_->Columns();
}

void TKrxAOSQLTopRowCount::Run(TKrxExecSession& session) {
  left_->Execute(session);
  std::vector<TKrxAORow>& input = left_->Rows();
  const int64_t count = static_cast<int64_t>(input.size());
  for (int64_t i = firstRow_ - 1; i < count && (rowLimit_ < 0 || i - (firstRow_ - 1) < rowLimit_); ++i)
    rows_.push_back(std::move(input[static_cast<size_t>(i)]));
}

}  // namespace krx
