// One stored table as the source of a query: its records, filtered by the
// conditions bound to it. Every column is an output column, qualified by
// the reference's alias (or the table name). The record IDs of the kept rows
// are kept beside them for the statements that change those records.
// BLOB values are read for the kept rows only (and for every row when the
// condition reads them).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "KrxAO.h"
#include "KrxRecordPage.h"

namespace krx {

class TKrxDiskTableData;
class TKrxDiskDatabaseData;
class TKrxExprNode;
struct TKrxCursor;

class TKrxAOTable : public TKrxAO {
 public:
  // Opens the table ("Table '%s' not exists." when there is none).
  TKrxAOTable(TKrxDiskDatabaseData& database, const std::string& tableName, const std::string& alias);
  ~TKrxAOTable() override;

  bool IsTable() const override { return true; }
  const std::string& TableName() const { return tableName_; }
  const std::string& Qualifier() const { return qualifier_; }
  TKrxDiskTableData& Table() { return *table_; }
  const std::vector<TKrxRecordID>& RecordIDs() const { return recordIDs_; }
  // Whether kept rows carry their BLOB values (default); a statement that
  // only needs the records (DELETE, an UPDATE whose values read no BLOB)
  // turns it off, and the BLOB columns of its rows then read as NULL.
  void SetKeepBlobValues(bool keep) { keepBlobValues_ = keep; }
  // True when the expression reads a BLOB column of this table, or may read
  // one through a nested query.
  bool ReadsBlob(TKrxExprNode& node) const;

 protected:
  bool FiltersInRun() const override { return true; }
  void Run(TKrxExecSession& session) override;

 private:
  // An equality of an indexed column with a value that depends on no row;
  // the index to read, its key value and the filter it stands for.
  bool FindKeyFilter(int& indexNo, TKrxExprNode*& valueNode) const;
  void TakeRow(TKrxCursor& cursor);
  // Reads the row's BLOB values into the scratch row.
  void LoadBlobs(TKrxCursor& cursor);

  std::string tableName_;
  std::string qualifier_;
  std::shared_ptr<TKrxDiskTableData> table_;
  std::vector<TKrxRecordID> recordIDs_;
  TKrxAORow scratch_;
  std::vector<int> blobFields_;
  bool filtersReadBlobs_ = false;
  bool keepBlobValues_ = true;
};

}  // namespace krx
