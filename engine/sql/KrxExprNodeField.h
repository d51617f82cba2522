// A column reference: [qualifier.]name, bound before evaluation to a column
// of a row source.
#pragma once

#include <string>

#include "KrxExprNode.h"

namespace krx {

class TKrxExprNodeField : public TKrxExprNode {
 public:
  TKrxExprNodeField(std::string qualifier, std::string name)
      : TKrxExprNode(eoField), qualifier_(std::move(qualifier)), name_(std::move(name)) {}

  const std::string& Qualifier() const { return qualifier_; }
  const std::string& Name() const { return name_; }
  void Rename(std::string qualifier, std::string name) {
    qualifier_ = std::move(qualifier);
    name_ = std::move(name);
  }
  // "qualifier.name" or "name", for messages.
  std::string DisplayName() const { return qualifier_.empty() ? name_ : qualifier_ + "." + name_; }

  void Bind(const IKrxRowSource* source, int column) {
    source_ = source;
    column_ = column;
  }
  bool IsBound() const { return source_ != nullptr; }
  const IKrxRowSource* Source() const { return source_; }
  int Column() const { return column_; }

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override;
  int32_t ResultSize() const override;
  bool IsConstant() const override { return false; }

 private:
  std::string qualifier_;
  std::string name_;
  const IKrxRowSource* source_ = nullptr;
  int column_ = -1;
};

}  // namespace krx
