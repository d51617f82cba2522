// The records of a stored table as a cursor's record source: a table
// cursor of the table layer attached to the table's shared data object
// under the dataset's session number.
#pragma once

#include <memory>
#include <string>

#include "KrxRecordSource.h"
#include "KrxTableCursor.h"
#include "KrxTableDataDisk.h"

namespace krx {

class TKrxTableSource : public TKrxRecordSource {
 public:
  TKrxTableSource(std::shared_ptr<TKrxDiskTableData> table, int32_t session, bool inTransaction);
  ~TKrxTableSource() override;

  const TKrxFieldDefs& FieldDefs() const override { return table_->Fields(); }
  TKrxFetchResult Read(TKrxFetchMode mode, TKrxRecordID& position, uint8_t* record) override;
  int64_t RecordCount() override { return table_->RecordCount(cursor_); }
  std::string ReadBlob(const TKrxRecordID& position, int fieldNo) override;

  TKrxDiskTableData& Table() { return *table_; }
  TKrxCursor& TableCursor() { return cursor_; }

 private:
  std::shared_ptr<TKrxDiskTableData> table_;
  TKrxCursor cursor_;
};

}  // namespace krx
