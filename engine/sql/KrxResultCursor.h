// The rows a query hands to its query component: field definitions laid out
// as a table's in-memory record, and the records one after another in that
// layout (null bitmap first). A BLOB column's bytes are kept beside the
// records: the record holds the NULL bit and, in the field's first four
// bytes, the number of the value in that list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KrxFieldDef.h"
#include "KrxVariant.h"

namespace krx {

class TKrxResultCursor {
 public:
  // The definitions are laid out here.
  explicit TKrxResultCursor(TKrxFieldDefs defs);

  const TKrxFieldDefs& FieldDefs() const { return defs_; }
  size_t RecordSize() const { return recordSize_; }
  int64_t RowCount() const { return static_cast<int64_t>(rowCount_); }
  const uint8_t* Record(int64_t row) const { return records_.data() + static_cast<size_t>(row) * recordSize_; }
  TKrxVariant Value(int64_t row, int column) const;
  // The value of a column by name (any case); "Field '%s' not found".
  TKrxVariant Value(int64_t row, const std::string& column) const;
  // The bytes of a BLOB column's value (empty for NULL and other columns).
  const std::string& BlobBytes(int64_t row, int column) const;

  // Appends one row; each value is converted to its column's type.
  void AppendRow(const std::vector<TKrxVariant>& values);
  // Appends the values at `columns` of a wider row.
  void AppendRow(const std::vector<TKrxVariant>& values, const std::vector<int>& columns);

  // Presented for reading only (always for computed results).
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }

 private:
  uint8_t* NewRecord();
  void SetField(uint8_t* record, int column, const TKrxVariant& value);

  TKrxFieldDefs defs_;
  size_t recordSize_ = 0;
  size_t rowCount_ = 0;
  std::vector<uint8_t> records_;
  std::vector<std::string> blobs_;
  bool readOnly_ = true;
};

}  // namespace krx
