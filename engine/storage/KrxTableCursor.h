// What a cursor brings to its table: its session, its record buffer, the
// current record ID and the active index.
#pragma once

#include <cstdint>
#include <vector>

#include "KrxRecordPage.h"

namespace krx {

enum class TKrxReadMode { Current, Next, Prior, First, Last };

// Results of reading a record through a table.
enum TKrxReadResult : int { kKrxRecordFound = 0, kKrxTableEmpty = 2, kKrxRecordNotFound = 3 };

enum class TKrxCursorPosition { BeforeFirst, OnRecord, AfterLast };

struct TKrxCursor {
  explicit TKrxCursor(int32_t sessionID = 0) : session(sessionID) {}

  int32_t session;
  bool exclusive = false;
  bool inTransaction = false;
  // The record as last read or written (in-memory layout).
  std::vector<uint8_t> record;
  TKrxRecordID recordID;
  TKrxCursorPosition position = TKrxCursorPosition::BeforeFirst;
  // Number of the active index in the table's index list; -1 = physical
  // order.
  int activeIndex = -1;
};

}  // namespace krx
