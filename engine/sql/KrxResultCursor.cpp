#include "KrxResultCursor.h"

namespace krx {

TKrxResultCursor::TKrxResultCursor(TKrxFieldDefs defs) : defs_(std::move(defs)) {
  defs_.Layout();
  recordSize_ = defs_.MemoryRecordSize();
}

TKrxVariant TKrxResultCursor::Value(int64_t row, int column) const {
  if (defs_.Field(column).IsBlob()) return TKrxVariant(defs_[column].storageType);
  return KrxGetRecordField(defs_, Record(row), column);
}

TKrxVariant TKrxResultCursor::Value(int64_t row, const std::string& column) const {
  return Value(row, defs_.FieldNoByName(column));
}

uint8_t* TKrxResultCursor::NewRecord() {
  records_.resize(records_.size() + recordSize_);
  uint8_t* record = records_.data() + rowCount_ * recordSize_;
  KrxClearRecordBuffer(defs_, record);
  ++rowCount_;
  return record;
}

void TKrxResultCursor::AppendRow(const std::vector<TKrxVariant>& values) {
  uint8_t* record = NewRecord();
  const size_t count = std::min(values.size(), defs_.Count());
  for (size_t i = 0; i < count; ++i) {
    if (defs_[i].IsBlob()) continue;
    KrxSetRecordField(defs_, record, static_cast<int>(i), values[i]);
  }
}

void TKrxResultCursor::AppendRow(const std::vector<TKrxVariant>& values, const std::vector<int>& columns) {
  uint8_t* record = NewRecord();
  const size_t count = std::min(columns.size(), defs_.Count());
  for (size_t i = 0; i < count; ++i) {
    if (defs_[i].IsBlob()) continue;
    KrxSetRecordField(defs_, record, static_cast<int>(i), values[static_cast<size_t>(columns[i])]);
  }
}

}  // namespace krx
