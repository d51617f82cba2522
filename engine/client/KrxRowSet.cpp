#include "KrxRowSet.h"

#include <cstring>

namespace krx {

int KrxCompareBookmarks(const TKrxRecordID& a, const TKrxRecordID& b) { return KrxCompareRecordIDs(a, b); }

TKrxRowSet::TKrxRowSet(TKrxFieldDefs defs) : defs_(std::move(defs)) {
  defs_.Layout();
  recordSize_ = defs_.MemoryRecordSize();
  scratch_ = KrxNewRecordBuffer(defs_);
}

TKrxFetchResult TKrxRowSet::Read(TKrxFetchMode mode, TKrxRecordID& position, uint8_t* record) {
  int64_t row = 0;
  switch (mode) {
    case TKrxFetchMode::First:
      if (rowCount_ == 0) return TKrxFetchResult::AfterLast;
      row = 0;
      break;
    case TKrxFetchMode::Last:
      if (rowCount_ == 0) return TKrxFetchResult::BeforeFirst;
      row = static_cast<int64_t>(rowCount_) - 1;
      break;
    case TKrxFetchMode::Current:
      row = position.pageNo;
      if (row < 0 || row >= static_cast<int64_t>(rowCount_)) return TKrxFetchResult::Error;
      break;
    case TKrxFetchMode::Next:
      row = static_cast<int64_t>(position.pageNo) + 1;
      if (row >= static_cast<int64_t>(rowCount_)) return TKrxFetchResult::AfterLast;
      break;
    case TKrxFetchMode::Prior:
      row = static_cast<int64_t>(position.pageNo) - 1;
      if (row < 0) return TKrxFetchResult::BeforeFirst;
      if (row >= static_cast<int64_t>(rowCount_)) row = static_cast<int64_t>(rowCount_) - 1;
      break;
  }
  std::memcpy(record, records_.data() + static_cast<size_t>(row) * recordSize_, recordSize_);
  position = {static_cast<int32_t>(row), 0};
  return TKrxFetchResult::Ok;
}

std::string TKrxRowSet::ReadBlob(const TKrxRecordID& position, int fieldNo) {
  auto it = blobs_.find({static_cast<size_t>(position.pageNo), fieldNo});
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
