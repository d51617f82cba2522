// The table component: a dataset over one stored table by name, and the
// table operations (create, delete, empty, rename, append a record).
#pragma once

#include <string>
#include <vector>

#include "KrxDataSet.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxTableData.h"

namespace krx {

class TKrxTableSource;

class TKrxTable : public TKrxDataSet {
 public:
  explicit TKrxTable(std::string name = {});
  ~TKrxTable() override;

  // Table and index names are UTF-8.
  const std::string& TableName() const { return tableName_; }
  void SetTableName(std::string name);
  const std::string& IndexName() const { return indexName_; }
  void SetIndexName(std::string name);

  // Field names of the definition are UTF-8 here.
  void CreateTable(TKrxTableDefinition definition);
  void DeleteTable();
  void EmptyTable();
  void RenameTable(const std::string& newName);
  bool Exists();

  // Appends a record with the values in field order (missing ones take
  // the defaults), commits it unless a transaction is open, and shows the
  // rows again from the first.
  void AppendRecord(const std::vector<TKrxVariant>& values);

 protected:
  std::unique_ptr<TKrxLocalCursor> CreateCursor() override;

 private:
  TKrxDiskDatabaseData& DatabaseData();
  TKrxTableSource* source_ = nullptr;
  std::string tableName_;
  std::string indexName_;
};

}  // namespace krx
