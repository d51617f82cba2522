// Table and record locks between the sessions of a database in multi-user
// mode. What this process holds is kept in one lock list per session slot;
// what other processes hold is read from the lock bytes of the table's lock
// file (a direct internal file of page type 7, C = MaxConnections):
//
//     content byte t * C + s       lock byte of type t (0..4) held by slot s
//     content byte 5 * C + s       record lock byte of slot s
//     content 6 * C + 6 * s .. +5  {i32 page, u16 slot} of the record slot s
//                                  has locked (little-endian)
//     file lock (data offset 0 of the first page)
//                                  master lock: held while lock bytes are
//                                  examined and changed, and held for as long
//                                  as an exclusive (type 6) lock lasts
//
// Sessions of this process share one descriptor of the file, and a
// descriptor never sees its own byte locks as conflicts, so the lists of the
// other slots of this process are consulted beside the file.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "KrxInternalDBDirectAccessFile.h"
#include "KrxRecordPage.h"

namespace krx {

enum TKrxTableLockType : uint8_t {
  kKrxLockOpen = 0,
  kKrxLockRead = 1,
  kKrxLockEdit = 2,
  kKrxLockTransactionWrite = 3,
  kKrxLockWrite = 4,
  kKrxLockRecord = 5,
  kKrxLockExclusive = 6,
};

constexpr int kKrxTableLockTypeCount = 7;

// Whether two sessions may hold the two types at the same time.
bool KrxTableLocksCompatible(int a, int b);
// Whether holding a makes a request for b granted without the file.
bool KrxTableLockCovers(int a, int b);

struct TKrxTableLock {
  uint8_t type = 0;
  int32_t tableKey = 0;  // start page of the table's lock file
  int32_t count = 0;     // nested requests
  bool writtenToFile = false;
  uint8_t origin = 0;    // 1 = granted by the file, 0 = by coverage or without the file
  TKrxRecordID recordID;  // record locks only
};

class TKrxTableLockList {
 public:
  TKrxTableLockList() = default;
  // "Some table locks still exist" when locks remain.
  void CheckEmpty() const;
  TKrxTableLock* Find(uint8_t type, int32_t tableKey);
  std::vector<TKrxTableLock>& Locks() { return locks_; }
  bool Empty() const { return locks_.empty(); }

 private:
  std::vector<TKrxTableLock> locks_;
};

class TKrxDatabaseTableLockManager {
 public:
  // active: multi-user and not exclusive; otherwise every request is granted
  // at once and nothing is recorded.
  TKrxDatabaseTableLockManager(TKrxDiskPageManager& pageManager, int32_t maxConnections, bool active);

  bool Active() const { return active_; }

  bool LockTable(int32_t session, int32_t tableKey, int type, int pauseMs, int attempts);
  void UnlockTable(int32_t session, int32_t tableKey, int type, bool force = false);
  bool HoldsLock(int32_t session, int32_t tableKey, int type);

  bool LockRecord(int32_t session, int32_t tableKey, const TKrxRecordID& id, int pauseMs,
                  int attempts);
  void UnlockRecord(int32_t session, int32_t tableKey);

  // Takes a write lock (type 4) on every table the session holds a
  // transaction write lock (type 3) on; on failure the ones just taken are
  // released and false comes back.
  bool LockModifiedTablesForCommit(int32_t session);
  // Attempts and pause base of those write locks (900 x 100 ms).
  void SetCommitLockRetry(int attempts, int pauseMs) {
    commitAttempts_ = attempts;
    commitPauseMs_ = pauseMs;
  }
  // After commit or rollback: records still locked get an edit lock on
  // their table, then every type 3 lock of the session goes, with the type 4
  // locks on those tables.
  void ReleaseTransactionLocks(int32_t session);

  // At disconnect: lets every lock of the session go, then raises
  // "Some table locks still exist" when there were any.
  void EndSession(int32_t session);

  // A dropped table's lock file: its pages may be used again.
  void ForgetFile(int32_t tableKey);

 private:
  bool Tracked(int32_t session) const { return active_ && session >= 0; }
  TKrxTableLockList& List(int32_t session) { return lists_[session]; }
  // Whether a slot other than session holds, in this process or in the file,
  // a lock incompatible with type on the table.
  bool Conflicts(int32_t session, int32_t tableKey, TKrxInternalDBDirectAccessFile& file, int type);
  bool LockMaster(TKrxInternalDBDirectAccessFile& file, int attempts, int pauseMs);
  void Pause(int pauseMs);
  void WriteCoveredLocks(int32_t session, int32_t tableKey, TKrxInternalDBDirectAccessFile& file, uint8_t releasedType);
  // The lock file of a table, opened by its start page when first met.
  TKrxInternalDBDirectAccessFile& File(int32_t tableKey);

  TKrxDiskPageManager& pageManager_;
  int32_t maxConnections_;
  bool active_;
  std::recursive_mutex criticalSection_;
  std::map<int32_t, TKrxTableLockList> lists_;
  std::map<int32_t, std::unique_ptr<TKrxInternalDBDirectAccessFile>> files_;
  std::vector<uint8_t> idBuffer_;
  int commitAttempts_ = 900;
  int commitPauseMs_ = 100;
};

}  // namespace krx
