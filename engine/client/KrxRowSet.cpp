#include "KrxRowSet.h"

#include <cstring>

namespace krx {

int KrxCompareBookmarks(const TKrxRecordPosition& a, const TKrxRecordPosition& b) {
  if (a.page != b.page) return a.page < b.page ? -1 : 1;
  if (a.slot != b.slot) return a.slot < b.slot ? -1 : 1;
  return 0;
}

TKrxRowSet::TKrxRowSet(TKrxFieldDefs defs) : defs_(std::move(defs)) {
  defs_.Layout();
  recordSize_ = defs_.MemoryRecordSize();
  scratch_ = KrxNewRecordBuffer(defs_);
}

TKrxReadResult TKrxRowSet::Read(TKrxReadMode mode, TKrxRecordPosition& position, uint8_t* record) {
  int64_t row = 0;
  switch (mode) {
    case TKrxReadMode::First:
      if (rowCount_ == 0) return TKrxReadResult::AfterLast;
      row = 0;
      break;
    case TKrxReadMode::Last:
      if (rowCount_ == 0) return TKrxReadResult::BeforeFirst;
      row = static_cast<int64_t>(rowCount_) - 1;
      break;
    case TKrxReadMode::Current:
      row = position.page;
      if (row < 0 || row >= static_cast<int64_t>(rowCount_)) return TKrxReadResult::Error;
      break;
    case TKrxReadMode::Next:
      row = static_cast<int64_t>(position.page) + 1;
      if (row >= static_cast<int64_t>(rowCount_)) return TKrxReadResult::AfterLast;
      break;
    case TKrxReadMode::Prior:
      row = static_cast<int64_t>(position.page) - 1;
      if (row < 0) return TKrxReadResult::BeforeFirst;
      if (row >= static_cast<int64_t>(rowCount_)) row = static_cast<int64_t>(rowCount_) - 1;
      break;
  }
  std::memcpy(record, records_.data() + static_cast<size_t>(row) * recordSize_, recordSize_);
  position = {static_cast<int32_t>(row), 0};
  return TKrxReadResult::Ok;
}

std::string TKrxRowSet::ReadBlob(const TKrxRecordPosition& position, int fieldNo) {
  auto it = blobs_.find({static_cast<size_t>(position.page), fieldNo});
  return it == blobs_.end() ? std::string() : it->second;
}

size_t TKrxRowSet::AppendRow(const std::vector<TKrxVariant>& values) {
  KrxClearRecordBuffer(defs_, scratch_.data());
  size_t row = rowCount_;
  for (size_t i = 0; i < defs_.Count() && i < values.size(); ++i) {
    const TKrxVariant& value = values[i];
    if (value.IsNull()) continue;
    if (defs_[i].IsBlob()) {
      // The record holds only the NULL bit; the bytes live beside it.
      KrxRecordSetFieldNull(scratch_.data(), static_cast<int>(i), false);
      blobs_[{row, static_cast<int>(i)}] = value.AsBytes();
    } else {
      KrxSetRecordField(defs_, scratch_.data(), static_cast<int>(i), value);
    }
  }
  return AppendRecord(scratch_.data());
}

size_t TKrxRowSet::AppendRecord(const uint8_t* record) {
  records_.insert(records_.end(), record, record + recordSize_);
  return rowCount_++;
}

}  // namespace krx
