// The rows of a statement's result as a dataset's record source. The result
// already holds its records in the in-memory record layout, so they are
// read in place; a row's position is its row number.
#pragma once

#include <memory>

#include "KrxRecordSource.h"
#include "KrxResultCursor.h"

namespace krx {

class TKrxResultSource : public TKrxRecordSource {
 public:
  explicit TKrxResultSource(std::unique_ptr<TKrxResultCursor> result);

  const TKrxFieldDefs& FieldDefs() const override { return result_->FieldDefs(); }
  TKrxFetchResult Read(TKrxFetchMode mode, TKrxRecordID& position, uint8_t* record) override;
  int64_t RecordCount() override { return result_->RowCount(); }
  // Results carry no BLOB bytes.
  std::string ReadBlob(const TKrxRecordID& position, int fieldNo) override;

 private:
  std::unique_ptr<TKrxResultCursor> result_;
};

}  // namespace krx
