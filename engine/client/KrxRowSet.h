// A materialised set of rows with their field definitions: the form in which
// a result is handed to a cursor when it is not read from a stored table.
// Rows are kept in the in-memory record layout one after another; BLOB
// values are kept beside them, by row and field.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "KrxRecordSource.h"

namespace krx {

class TKrxRowSet : public TKrxRecordSource {
 public:
  // The definitions are laid out here.
  explicit TKrxRowSet(TKrxFieldDefs defs);

  const TKrxFieldDefs& FieldDefs() const override { return defs_; }
  TKrxFetchResult Read(TKrxFetchMode mode, TKrxRecordID& position, uint8_t* record) override;
  int64_t RecordCount() override { return static_cast<int64_t>(rowCount_); }
  std::string ReadBlob(const TKrxRecordID& position, int fieldNo) override;

  // Appends a row of values, one per field in order (missing ones NULL);
  // each value is converted to its field's type. Returns the row number.
  size_t AppendRow(const std::vector<TKrxVariant>& values);
  // Appends a record already in the in-memory layout.
  size_t AppendRecord(const uint8_t* record);

 private:
  size_t recordSize_ = 0;
  size_t rowCount_ = 0;
  TKrxFieldDefs defs_;
  std::vector<uint8_t> records_;
  std::map<std::pair<size_t, int>, std::string> blobs_;
  std::vector<uint8_t> scratch_;
};

}  // namespace krx
