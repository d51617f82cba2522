#include "KrxResultSource.h"

#include <cstring>

namespace krx {

TKrxResultSource::TKrxResultSource(std::unique_ptr<TKrxResultCursor> result) : result_(std::move(result)) {}

TKrxFetchResult TKrxResultSource::Read(TKrxFetchMode mode, TKrxRecordID& position, uint8_t* record) {
  const int64_t count = result_->RowCount();
  int64_t row = 0;
  switch (mode) {
    case TKrxFetchMode::First:
      if (count == 0) return TKrxFetchResult::AfterLast;
      row = 0;
      break;
    case TKrxFetchMode::Last:
      if (count == 0) return TKrxFetchResult::BeforeFirst;
      row = count - 1;
      break;
    case TKrxFetchMode::Current:
      row = position.pageNo;
      if (row < 0 || row >= count) return TKrxFetchResult::Error;
      break;
    case TKrxFetchMode::Next:
      row = static_cast<int64_t>(position.pageNo) + 1;
      if (row >= count) return TKrxFetchResult::AfterLast;
      break;
    case TKrxFetchMode::Prior:
      row = static_cast<int64_t>(position.pageNo) - 1;
      if (row < 0) return TKrxFetchResult::BeforeFirst;
      if (row >= count) row = count - 1;
      break;
  }
  std::memcpy(record, result_->Record(row), result_->RecordSize());
  position = {static_cast<int32_t>(row), 0};
  return TKrxFetchResult::Ok;
}

std::string TKrxResultSource::ReadBlob(const TKrxRecordID& position, int fieldNo) {
  if (position.pageNo < 0 || position.pageNo >= result_->RowCount()) return {};
  return result_->BlobBytes(position.pageNo, fieldNo);
}

}  // namespace krx
