// The engine side of one open dataset: it walks one record source (a table
// or a result) and reads rows into the dataset's record buffers.
//
// A record buffer, one per buffered row:
//     null bitmap   : ceil(F/8) bytes, bit i set = field i is NULL
//     field data    : every field in definition order (in-memory layout)
//     position      : i32 page (or row) number, u16 slot number = bookmark
//     bookmark flag : u8, 0 current, 1 before first, 2 after last, 3 inserted
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxRecordSource.h"

namespace krx {

enum class TKrxBookmarkFlag : uint8_t { Current = 0, BeforeFirst = 1, AfterLast = 2, Inserted = 3 };

class TKrxLocalCursor {
 public:
  TKrxLocalCursor(std::string tableName, std::unique_ptr<TKrxRecordSource> source);

  const std::string& TableName() const { return tableName_; }
  const TKrxFieldDefs& FieldDefs() const { return source_->FieldDefs(); }
  TKrxRecordSource& Source() { return *source_; }

  // Offsets of the buffer parts drawn above.
  size_t PositionOffset() const { return positionOffset_; }
  size_t BookmarkFlagOffset() const { return positionOffset_ + 6; }
  size_t RecordBufferSize() const { return positionOffset_ + 7; }
  std::vector<uint8_t> NewRecordBuffer() const;

  // Going to the first or last row only sets a flag; the next fetch moves.
  void SetToBegin();
  void SetToEnd();
  bool BeforeFirst() const { return beforeFirst_; }
  bool AfterLast() const { return afterLast_; }

  // Reads the current, next or prior row into buffer and fills its position
  // and bookmark flag parts.
  TKrxFetchResult GetRecord(TKrxFetchMode mode, uint8_t* buffer);
  int64_t RecordCount() { return source_->RecordCount(); }
  const TKrxRecordID& Position() const { return position_; }
  // Moves to a bookmarked row; false when it cannot be read.
  bool GotoBookmark(const TKrxRecordID& position, uint8_t* buffer);

  static TKrxRecordID BufferPosition(const uint8_t* buffer, size_t positionOffset);

 private:
  void StampBuffer(uint8_t* buffer, TKrxBookmarkFlag flag) const;

  std::string tableName_;
  std::unique_ptr<TKrxRecordSource> source_;
  size_t positionOffset_ = 0;
  TKrxRecordID position_;
  bool beforeFirst_ = true;
  bool afterLast_ = false;
};

}  // namespace krx
