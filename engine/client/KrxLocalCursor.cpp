#include "KrxLocalCursor.h"

#include "KrxBytes.h"

namespace krx {

TKrxLocalCursor::TKrxLocalCursor(std::string tableName, std::unique_ptr<TKrxRecordSource> source)
    : tableName_(std::move(tableName)), source_(std::move(source)) {
  positionOffset_ = source_->FieldDefs().MemoryRecordSize();
}

std::vector<uint8_t> TKrxLocalCursor::NewRecordBuffer() const {
  std::vector<uint8_t> buffer(RecordBufferSize(), 0);
  KrxClearRecordBuffer(FieldDefs(), buffer.data());
  return buffer;
}

void TKrxLocalCursor::SetToBegin() {
  beforeFirst_ = true;
  afterLast_ = false;
}

void TKrxLocalCursor::SetToEnd() {
  beforeFirst_ = false;
  afterLast_ = true;
}

TKrxFetchResult TKrxLocalCursor::GetRecord(TKrxFetchMode mode, uint8_t* buffer) {
  TKrxFetchMode sourceMode = mode;
  if (mode == TKrxFetchMode::Next) {
    if (afterLast_) return TKrxFetchResult::AfterLast;
    if (beforeFirst_) sourceMode = TKrxFetchMode::First;
  } else if (mode == TKrxFetchMode::Prior) {
    if (beforeFirst_) return TKrxFetchResult::BeforeFirst;
    if (afterLast_) sourceMode = TKrxFetchMode::Last;
  } else if (mode == TKrxFetchMode::Current) {
    if (beforeFirst_) return TKrxFetchResult::BeforeFirst;
    if (afterLast_) return TKrxFetchResult::AfterLast;
  }
  TKrxRecordID position = position_;
  TKrxFetchResult result = source_->Read(sourceMode, position, buffer);
  switch (result) {
    case TKrxFetchResult::Ok:
      position_ = position;
      beforeFirst_ = false;
      afterLast_ = false;
      StampBuffer(buffer, TKrxBookmarkFlag::Current);
      break;
    case TKrxFetchResult::AfterLast:
      SetToEnd();
      break;
    case TKrxFetchResult::BeforeFirst:
      SetToBegin();
      break;
    case TKrxFetchResult::Error:
      break;
  }
  return result;
}

bool TKrxLocalCursor::GotoBookmark(const TKrxRecordID& position, uint8_t* buffer) {
  TKrxRecordID wanted = position;
  if (source_->Read(TKrxFetchMode::Current, wanted, buffer) != TKrxFetchResult::Ok) return false;
  position_ = wanted;
  beforeFirst_ = false;
  afterLast_ = false;
  StampBuffer(buffer, TKrxBookmarkFlag::Current);
  return true;
}

void TKrxLocalCursor::StampBuffer(uint8_t* buffer, TKrxBookmarkFlag flag) const {
  PutI32(buffer, positionOffset_, position_.pageNo);
  PutU16(buffer, positionOffset_ + 4, position_.slot);
  PutU8(buffer, positionOffset_ + 6, static_cast<uint8_t>(flag));
}

TKrxRecordID TKrxLocalCursor::BufferPosition(const uint8_t* buffer, size_t positionOffset) {
  return {GetI32(buffer, positionOffset), GetU16(buffer, positionOffset + 4)};
}

}  // namespace krx
