// The multi-user edit protocol of a disk table: what the cursor layer asks
// for before it lets a record be changed, and lets go of afterwards.
#include <cstring>
#include <vector>

#include "KrxTableDataDisk.h"

namespace krx {

int TKrxDiskTableData::BeginEdit(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxDatabaseTableLockManager& locks = db_.TableLocks();
  if (!locks.Active() || cursor.session < 0) return 0;
  const int32_t session = cursor.session;
  const int editType = cursor.inTransaction ? kKrxLockTransactionWrite : kKrxLockEdit;
  if (!locks.LockTable(session, LockKey(), editType, 100, 900)) return kKrxEditTableLocked;
  if (!locks.LockRecord(session, LockKey(), cursor.recordID, 100, 15)) {
    locks.UnlockTable(session, LockKey(), editType);
    return kKrxEditRecordLocked;
  }
  // Whatever another session committed before the lock is what counts now.
  std::vector<uint8_t> stored(fields_.MemoryRecordSize());
  int result = 0;
  if (cursor.position != TKrxCursorPosition::OnRecord || !ReadSlot(session, cursor.recordID, stored.data())) {
    result = kKrxEditRecordGone;
  } else {
    std::vector<uint8_t> mine(fields_.DiskRecordSize()), theirs(fields_.DiskRecordSize());
    KrxRecordToDisk(fields_, cursor.record.data(), mine.data());
    KrxRecordToDisk(fields_, stored.data(), theirs.data());
    if (mine != theirs) result = kKrxEditRecordChanged;
  }
  if (result != 0) {
    locks.UnlockRecord(session, LockKey());
    locks.UnlockTable(session, LockKey(), editType);
  }
  return result;
}

void TKrxDiskTableData::EndEdit(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxDatabaseTableLockManager& locks = db_.TableLocks();
  if (!locks.Active() || cursor.session < 0) return;
  locks.UnlockRecord(cursor.session, LockKey());
  locks.UnlockTable(cursor.session, LockKey(), cursor.inTransaction ? kKrxLockTransactionWrite : kKrxLockEdit);
}

}  // namespace krx
