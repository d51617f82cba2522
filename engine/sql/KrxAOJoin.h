// The join of two inputs: rows of both sides side by side (the left
// input's columns first). Pairs of join columns are matched through a hash
// of the right side's values; the ON condition of an outer join decides
// which rows match, and the filters bound here judge the joined rows.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "KrxAO.h"
#include "KrxSQLSelect.h"

namespace krx {

class TKrxAOJoin : public TKrxAO {
 public:
  TKrxAOJoin(std::unique_ptr<TKrxAO> left, std::unique_ptr<TKrxAO> right, TKrxJoinType type);

  TKrxJoinType JoinType() const { return type_; }
  void SetJoinType(TKrxJoinType type) { type_ = type; }
  // Column numbers in the left and in the right input.
  void AddJoinPair(int leftColumn, int rightColumn) { pairs_.emplace_back(leftColumn, rightColumn); }
  const std::vector<std::pair<int, int>>& JoinPairs() const { return pairs_; }
  // Matching conditions of an outer join (all must hold), bound to this
  // operator.
  void AddOnCondition(TKrxExprNode* condition) { on_.push_back(condition); }

 protected:
  bool FiltersInRun() const override { return true; }
  void Run(TKrxExecSession& session) override;

 private:
  bool Matches();
  void Emit();

  TKrxJoinType type_;
  std::vector<std::pair<int, int>> pairs_;
  std::vector<TKrxExprNode*> on_;
  TKrxAORow joined_;
};

}  // namespace krx
