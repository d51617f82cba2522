#include "KrxTableSource.h"

#include <cstring>

namespace krx {

TKrxTableSource::TKrxTableSource(std::shared_ptr<TKrxDiskTableData> table, int32_t session, bool inTransaction)
    : table_(std::move(table)), cursor_(session) {
  cursor_.inTransaction = inTransaction;
  table_->Attach(cursor_);
}

TKrxTableSource::~TKrxTableSource() {
  try {
    table_->Detach(cursor_);
  } catch (...) {
  }
}

TKrxFetchResult TKrxTableSource::Read(TKrxFetchMode mode, TKrxRecordID& position, uint8_t* record) {
  TKrxReadMode tableMode = TKrxReadMode::Current;
  switch (mode) {
    case TKrxFetchMode::First: tableMode = TKrxReadMode::First; break;
    case TKrxFetchMode::Last: tableMode = TKrxReadMode::Last; break;
    case TKrxFetchMode::Next: tableMode = TKrxReadMode::Next; break;
    case TKrxFetchMode::Prior: tableMode = TKrxReadMode::Prior; break;
    case TKrxFetchMode::Current: tableMode = TKrxReadMode::Current; break;
  }
  if (mode != TKrxFetchMode::First && mode != TKrxFetchMode::Last) {
    // Steps start from the dataset's row, wherever the table cursor is.
    cursor_.recordID = position;
    cursor_.position = TKrxCursorPosition::OnRecord;
  }
  int result = table_->ReadRecord(cursor_, tableMode);
  if (result != kKrxRecordFound) {
    if (mode == TKrxFetchMode::Current) return TKrxFetchResult::Error;
    bool forward = mode == TKrxFetchMode::Next || mode == TKrxFetchMode::First;
    return forward ? TKrxFetchResult::AfterLast : TKrxFetchResult::BeforeFirst;
  }
  std::memcpy(record, cursor_.record.data(), table_->Fields().MemoryRecordSize());
  position = cursor_.recordID;
  return TKrxFetchResult::Ok;
}

std::string TKrxTableSource::ReadBlob(const TKrxRecordID& position, int fieldNo) {
  cursor_.recordID = position;
  cursor_.position = TKrxCursorPosition::OnRecord;
  if (table_->ReadRecord(cursor_, TKrxReadMode::Current) != kKrxRecordFound) return {};
  std::vector<uint8_t> bytes = table_->GetBlobData(cursor_, fieldNo);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace krx
