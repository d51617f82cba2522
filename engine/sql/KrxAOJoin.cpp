#include "KrxAOJoin.h"

#include <algorithm>
#include <string>
#include <unordered_map>

namespace krx {

TKrxAOJoin::TKrxAOJoin(std::unique_ptr<TKrxAO> left, std::unique_ptr<TKrxAO> right, TKrxJoinType type)
    : type_(type) {
  left_ = std::move(left);
  right_ = std::move(right);
  for (const TKrxAOColumn& c : left_->Columns()) columns_.push_back(c);
  for (const TKrxAOColumn& c : right_->Columns()) columns_.push_back(c);
  joined_.resize(columns_.size());
}

bool TKrxAOJoin::Matches() {
  current_ = &joined_;
  for (TKrxExprNode* condition : on_)
    if (!KrxConditionHolds(*condition)) return false;
  return true;
}

void TKrxAOJoin::Emit() {
  current_ = &joined_;
  if (FiltersHold()) rows_.push_back(joined_);
}

void TKrxAOJoin::Run(TKrxExecSession& session) {
  left_->Execute(session);
  right_->Execute(session);
  std::vector<TKrxAORow>& leftRows = left_->Rows();
  std::vector<TKrxAORow>& rightRows = right_->Rows();
  const size_t leftWidth = left_->Columns().size();
  const size_t rightWidth = right_->Columns().size();

  auto putLeft = [&](const TKrxAORow* row) {
    for (size_t i = 0; i < leftWidth; ++i) {
      if (row) joined_[i] = (*row)[i];
      else joined_[i].SetNull();
    }
  };
  auto putRight = [&](const TKrxAORow* row) {
    for (size_t i = 0; i < rightWidth; ++i) {
      if (row) joined_[leftWidth + i] = (*row)[i];
      else joined_[leftWidth + i].SetNull();
    }
  };

  std::vector<bool> rightMatched(rightRows.size(), false);
  const bool keepLeft = type_ == jtLeft || type_ == jtFull;
  const bool keepRight = type_ == jtRight || type_ == jtFull;

  // The right side's rows by the values of their join columns.
  std::unordered_multimap<std::string, size_t> byKey;
  std::string key;
  auto keyOf = [&](const TKrxAORow& row, bool leftSide) {
    key.clear();
    for (const auto& [l, r] : pairs_) {
      const TKrxVariant& v = row[static_cast<size_t>(leftSide ? l : r)];
      if (v.IsNull()) return false;  // NULL matches nothing
      KrxAppendValueKey(v, key);
    }
    return true;
  };
  if (!pairs_.empty()) {
    byKey.reserve(rightRows.size());
    for (size_t i = 0; i < rightRows.size(); ++i)
      if (keyOf(rightRows[i], false)) byKey.emplace(key, i);
  }

  for (const TKrxAORow& leftRow : leftRows) {
    putLeft(&leftRow);
    bool matched = false;
    auto tryRight = [&](size_t i) {
      putRight(&rightRows[i]);
      if (type_ != jtCross && !Matches()) return;
      matched = true;
      rightMatched[i] = true;
      Emit();
    };
    if (!pairs_.empty()) {
      if (keyOf(leftRow, true)) {
        auto [first, last] = byKey.equal_range(key);
        std::vector<size_t> hits;
        for (auto it = first; it != last; ++it) hits.push_back(it->second);
        // Buckets come back in no fixed order; the right input's order is kept.
        std::sort(hits.begin(), hits.end());
        for (size_t i : hits) tryRight(i);
      }
    } else {
      for (size_t i = 0; i < rightRows.size(); ++i) tryRight(i);
    }
    if (!matched && keepLeft) {
      putRight(nullptr);
      Emit();
    }
  }
  if (keepRight) {
    putLeft(nullptr);
    for (size_t i = 0; i < rightRows.size(); ++i) {
      if (rightMatched[i]) continue;
      putRight(&rightRows[i]);
      Emit();
    }
  }
}

}  // namespace krx
