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

TKrxReadResult TKrxLocalCursor::GetRecord(TKrxReadMode mode, uint8_t* buffer) {
  TKrxReadMode sourceMode = mode;
  if (mode == TKrxReadMode::Next) {
    if (afterLast_) return TKrxReadResult::AfterLast;
    if (beforeFirst_) sourceMode = TKrxReadMode::First;
  } else if (mode == TKrxReadMode::Prior) {
    if (beforeFirst_) return TKrxReadResult::BeforeFirst;
    if (afterLast_) sourceMode = TKrxReadMode::Last;
  } else if (mode == TKrxReadMode::Current) {
    if (beforeFirst_) return TKrxReadResult::BeforeFirst;
    if (afterLast_) return TKrxReadResult::AfterLast;
  }
  TKrxRecordPosition position = position_;
  TKrxReadResult result = source_->Read(sourceMode, position, buffer);
  switch (result) {
    case TKrxReadResult::Ok:
      position_ = position;
      beforeFirst_ = false;
      afterLast_ = false;
      StampBuffer(buffer, TKrxBookmarkFlag::Current);
      break;
    case TKrxReadResult::AfterLast:
      SetToEnd();
      break;
    case TKrxReadResult::BeforeFirst:
      SetToBegin();
      break;
    case TKrxReadResult::Error:
      break;
  }
  return result;
}

bool TKrxLocalCursor::GotoBookmark(const TKrxRecordPosition& position, uint8_t* buffer) {
  TKrxRecordPosition wanted = position;
  if (source_->Read(TKrxReadMode::Current, wanted, buffer) != TKrxReadResult::Ok) return false;
  position_ = wanted;
  beforeFirst_ = false;
  afterLast_ = false;
  StampBuffer(buffer, TKrxBookmarkFlag::Current);
  return true;
}

void TKrxLocalCursor::StampBuffer(uint8_t* buffer, TKrxBookmarkFlag flag) const {
  PutI32(buffer, positionOffset_, position_.page);
  PutU16(buffer, positionOffset_ + 4, position_.slot);
  PutU8(buffer, positionOffset_ + 6, static_cast<uint8_t>(flag));
}

TKrxRecordPosition TKrxLocalCursor::BufferPosition(const uint8_t* buffer, size_t positionOffset) {
  return {GetI32(buffer, positionOffset), GetU16(buffer, positionOffset + 4)};
}

}  // namespace krx
