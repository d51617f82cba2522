// Values of the running statement: ROWNUM and LASTAUTOINC(table, column).
#pragma once

#include <string>

#include "KrxExprNode.h"

namespace krx {

class TKrxExprNodeSystem : public TKrxExprNode {
 public:
  // ROWNUM
  TKrxExprNodeSystem() : TKrxExprNode(eoRowNum) {}
  // LASTAUTOINC(table [MEMORY], column)
  TKrxExprNodeSystem(std::string table, bool inMemory, std::string column)
      : TKrxExprNode(eoLastAutoInc), table_(std::move(table)), column_(std::move(column)), inMemory_(inMemory) {}

  void SetRuntime(IKrxExprRuntime* runtime) { runtime_ = runtime; }
  const std::string& TableName() const { return table_; }
  const std::string& ColumnName() const { return column_; }

  const TKrxVariant& Evaluate() override;
  TKrxAdvancedType ResultType() const override {
    return op_ == eoRowNum ? TKrxAdvancedType::Integer : TKrxAdvancedType::LargeInt;
  }
  int32_t ResultSize() const override { return 0; }
  bool IsConstant() const override { return false; }

 private:
  std::string table_;
  std::string column_;
  bool inMemory_ = false;
  IKrxExprRuntime* runtime_ = nullptr;
};

}  // namespace krx
