#include "KrxExprNode.h"

#include <algorithm>

#include "KrxException.h"

namespace krx {

TKrxAdvancedType TKrxExprNode::PromotedChildType(size_t first) const {
  if (children_.size() <= first) throw EKrxException(KrxError::CannotDetermineExprType);
  TKrxAdvancedType type = children_[first]->ResultType();
  for (size_t i = first + 1; i < children_.size() && type != TKrxAdvancedType::Unknown; ++i) {
    type = KrxPromoteAdvancedTypes(type, children_[i]->ResultType());
  }
  if (type == TKrxAdvancedType::Unknown) throw EKrxException(KrxError::CannotDetermineExprType);
  return type;
}

TKrxAdvancedType TKrxExprNode::ResultType() const { return PromotedChildType(); }

int32_t TKrxExprNode::ResultSize() const {
  int32_t size = 0;
  for (const auto& child : children_) size = std::max(size, child->ResultSize());
  return size;
}

bool TKrxExprNode::IsAggregate() const {
  return std::any_of(children_.begin(), children_.end(), [](const auto& c) { return c->IsAggregate(); });
}

void TKrxExprNode::ResetAggregates() {
  for (auto& child : children_) child->ResetAggregates();
}

void TKrxExprNode::AccumulateAggregates() {
  for (auto& child : children_) child->AccumulateAggregates();
}

bool TKrxExprNode::IsConstant() const {
  return std::all_of(children_.begin(), children_.end(), [](const auto& c) { return c->IsConstant(); });
}

TKrxStorageType KrxExprStorageOf(TKrxAdvancedType type) {
  if (type == TKrxAdvancedType::Unknown) return TKrxStorageType::Unknown;
  return KrxStorageTypeOf(type);
}

}  // namespace krx
