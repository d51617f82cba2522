#include "KrxResultCursor.h"

#include "KrxBytes.h"
#include "KrxExecValue.h"

namespace krx {

TKrxResultCursor::TKrxResultCursor(TKrxFieldDefs defs) : defs_(std::move(defs)) {
  defs_.Layout();
  recordSize_ = defs_.MemoryRecordSize();
}

TKrxVariant TKrxResultCursor::Value(int64_t row, int column) const {
  const TKrxFieldDef& f = defs_.Field(column);
  if (!f.IsBlob()) return KrxGetRecordField(defs_, Record(row), column);
  TKrxVariant value(f.storageType);
  if (!KrxRecordFieldIsNull(Record(row), column)) value.SetBytes(BlobBytes(row, column), f.storageType);
  return value;
}

const std::string& TKrxResultCursor::BlobBytes(int64_t row, int column) const {
  static const std::string kNone;
  const TKrxFieldDef& f = defs_.Field(column);
  const uint8_t* record = Record(row);
  if (!f.IsBlob() || KrxRecordFieldIsNull(record, column)) return kNone;
  const uint32_t slot = GetU32(record + f.memoryOffset, 0);
  return slot < blobs_.size() ? blobs_[slot] : kNone;
}

void TKrxResultCursor::SetField(uint8_t* record, int column, const TKrxVariant& value) {
  const TKrxFieldDef& f = defs_.Field(column);
  if (!f.IsBlob()) {
    KrxSetRecordField(defs_, record, column, value);
    return;
  }
  if (value.IsNull()) return;  // the cleared record has it NULL
  std::string bytes = KrxBlobBytesOf(value, f.storageType);
  if (bytes.empty()) return;
  PutU32(record + f.memoryOffset, 0, static_cast<uint32_t>(blobs_.size()));
  blobs_.push_back(std::move(bytes));
  KrxRecordSetFieldNull(record, column, false);
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
  for (size_t i = 0; i < count; ++i) SetField(record, static_cast<int>(i), values[i]);
}

void TKrxResultCursor::AppendRow(const std::vector<TKrxVariant>& values, const std::vector<int>& columns) {
  uint8_t* record = NewRecord();
  const size_t count = std::min(columns.size(), defs_.Count());
  for (size_t i = 0; i < count; ++i) SetField(record, static_cast<int>(i), values[static_cast<size_t>(columns[i])]);
}

}  // namespace krx
