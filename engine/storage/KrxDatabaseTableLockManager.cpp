#include "KrxDatabaseTableLockManager.h"

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>
#include <unistd.h>

#include "KrxBytes.h"
#include "KrxException.h"

namespace krx {

namespace {

// Row a, column b: 1 when different sessions may hold a and b together.
constexpr uint8_t kCompatible[kKrxTableLockTypeCount][kKrxTableLockTypeCount] = {
    {1, 1, 1, 1, 1, 1, 0},  //
    {1, 1, 1, 1, 0, 1, 0},  //
    {1, 1, 1, 0, 1, 1, 0},  //
    {1, 1, 0, 0, 0, 1, 0},  //
    {1, 0, 1, 0, 0, 1, 0},  //
    {1, 1, 1, 1, 1, 1, 0},  //
    {0, 0, 0, 0, 0, 0, 0},  //
};

constexpr int kFileLockTypes = 5;  // types 0..4 have lock bytes
constexpr int kUnlockAttempts = 4500;
constexpr int kUnlockPauseMs = 20;

int Millis(std::chrono::steady_clock::time_point since) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count());
}

}  // namespace

bool KrxTableLocksCompatible(int a, int b) { return kCompatible[a][b] != 0; }

bool KrxTableLockCovers(int a, int b) {
  for (int x = 0; x < kKrxTableLockTypeCount; ++x)
    if (KrxTableLocksCompatible(a, x) && !KrxTableLocksCompatible(b, x)) return false;
  return true;
}

void TKrxTableLockList::CheckEmpty() const {
  if (!locks_.empty()) throw EKrxException(KrxError::TableLocksStillExist);
}

TKrxTableLock* TKrxTableLockList::Find(uint8_t type, int32_t tableKey) {
  for (TKrxTableLock& lock : locks_)
    if (lock.type == type && lock.tableKey == tableKey) return &lock;
  return nullptr;
}

TKrxDatabaseTableLockManager::TKrxDatabaseTableLockManager(TKrxDiskPageManager& pageManager, int32_t maxConnections,
                                                           bool active)
    : pageManager_(pageManager), maxConnections_(maxConnections), active_(active) {}

TKrxInternalDBDirectAccessFile& TKrxDatabaseTableLockManager::File(int32_t tableKey) {
  auto& file = files_[tableKey];
  if (!file) {
    auto opened = std::make_unique<TKrxInternalDBDirectAccessFile>(pageManager_, static_cast<uint16_t>(7));
    opened->Open(tableKey);
    file = std::move(opened);
  }
  return *file;
}

void TKrxDatabaseTableLockManager::ForgetFile(int32_t tableKey) {
  std::lock_guard<std::recursive_mutex> guard(criticalSection_);
  files_.erase(tableKey);
}

void TKrxDatabaseTableLockManager::Pause(int pauseMs) {
  if (pauseMs <= 0) return;
  // Sessions of several processes that collide must not retry in step.
  thread_local std::minstd_rand random(static_cast<unsigned>(
      getpid() ^ std::chrono::steady_clock::now().time_since_epoch().count()));
  int half = pauseMs / 2;
  int ms = half + (half > 0 ? static_cast<int>(random() % static_cast<unsigned>(half)) : 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(std::max(ms, 1)));
}

bool TKrxDatabaseTableLockManager::LockMaster(TKrxInternalDBDirectAccessFile& file, int attempts, int pauseMs) {
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (file.LockFile()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
  }
  return false;
}

bool TKrxDatabaseTableLockManager::Conflicts(int32_t session, int32_t tableKey, TKrxInternalDBDirectAccessFile& file,
                                             int type) {
  const int32_t c = file.GetSize() / 12;
  // The lock bytes of the other slots (the record bytes stand for type 5);
  // a descriptor counts its own locks as held, so this session's byte is
  // left out.
  for (int held = 0; held <= kKrxLockRecord; ++held) {
    if (KrxTableLocksCompatible(type, held)) continue;
    if (type == kKrxLockTransactionWrite && held == kKrxLockEdit) continue;
    // Every slot's byte but this session's own.
    const int32_t base = held * c;
    if (session > 0 && file.IsRegionLocked(base, session)) return true;
    if (session + 1 < c && file.IsRegionLocked(base + session + 1, c - session - 1)) return true;
  }
  // Sessions of this process hold locks granted by coverage that no byte
  // shows: their lists speak for them.
  for (auto& [slot, list] : lists_) {
    if (slot == session) continue;
    for (const TKrxTableLock& lock : list.Locks()) {
      if (lock.tableKey != tableKey || KrxTableLocksCompatible(type, lock.type)) continue;
      if (type == kKrxLockTransactionWrite && lock.type == kKrxLockEdit) continue;
      return true;
    }
  }
  return false;
}

bool TKrxDatabaseTableLockManager::HoldsLock(int32_t session, int32_t tableKey, int type) {
  if (!Tracked(session)) return false;
  std::lock_guard<std::recursive_mutex> guard(criticalSection_);
  auto it = lists_.find(session);
  return it != lists_.end() && it->second.Find(static_cast<uint8_t>(type), tableKey) != nullptr;
}

bool TKrxDatabaseTableLockManager::LockTable(int32_t session, int32_t tableKey, int type, int pauseMs,
                                             int attempts) {
  if (!Tracked(session)) return true;
  std::unique_lock<std::recursive_mutex> guard(criticalSection_);
  const uint8_t t = static_cast<uint8_t>(type);
  if (TKrxTableLock* held = List(session).Find(t, tableKey)) {
    if (t == kKrxLockEdit) return false;
    ++held->count;
    return true;
  }
  for (const TKrxTableLock& lock : List(session).Locks()) {
    if (lock.tableKey != tableKey || lock.type == kKrxLockRecord || !KrxTableLockCovers(lock.type, t)) continue;
    List(session).Locks().push_back({t, tableKey, 1, false, 0, {}});
    return true;
  }
  TKrxInternalDBDirectAccessFile& file = File(tableKey);
  const int32_t c = file.GetSize() / 12;
  if (session >= c) throw EKrxException(KrxError::TableLockSlotBeyondFile);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    if (attempt > 0) {
      guard.unlock();
      Pause(pauseMs);
      guard.lock();
    }
    if (!file.LockFile()) continue;
    bool granted = !Conflicts(session, tableKey, file, t);
    if (granted && t != kKrxLockExclusive && !file.LockByte(t * c + session)) {
      file.UnlockFile();
      throw EKrxException(KrxError::CannotSetTableLock);
    }
    if (!granted || t != kKrxLockExclusive) file.UnlockFile();
    if (granted) {
      List(session).Locks().push_back({t, tableKey, 1, true, 1, {}});
      return true;
    }
  }
  return false;
}

void TKrxDatabaseTableLockManager::WriteCoveredLocks(int32_t session, int32_t tableKey,
                                                     TKrxInternalDBDirectAccessFile& file, uint8_t releasedType) {
  const int32_t c = file.GetSize() / 12;
  for (TKrxTableLock& lock : List(session).Locks()) {
    if (lock.tableKey != tableKey || lock.writtenToFile || lock.type >= kFileLockTypes) continue;
    if (!KrxTableLockCovers(releasedType, lock.type)) continue;
    if (!file.LockByte(lock.type * c + session)) throw EKrxException(KrxError::CannotSetTableLock);
    lock.writtenToFile = true;
  }
}

void TKrxDatabaseTableLockManager::UnlockTable(int32_t session, int32_t tableKey, int type, bool force) {
  if (!Tracked(session)) return;
  std::lock_guard<std::recursive_mutex> guard(criticalSection_);
  std::vector<TKrxTableLock>& locks = List(session).Locks();
  auto it = std::find_if(locks.begin(), locks.end(),
                         [&](const TKrxTableLock& l) { return l.type == type && l.tableKey == tableKey; });
  if (it == locks.end()) return;
  if (--it->count > 0 && !force) return;
  const bool written = it->writtenToFile;
  locks.erase(it);
  if (!written) return;
  TKrxInternalDBDirectAccessFile& file = File(tableKey);
  const int32_t c = file.GetSize() / 12;
  const bool exclusive = type == kKrxLockExclusive;
  // An exclusive lock is the master lock itself.
  if (!exclusive && !LockMaster(file, kUnlockAttempts, kUnlockPauseMs))
    throw EKrxException(KrxError::CannotUnlockTable);
  try {
    // What the released lock granted by coverage must now stand on its own.
    WriteCoveredLocks(session, tableKey, file, static_cast<uint8_t>(type));
  } catch (...) {
    file.UnlockFile();
    throw;
  }
  bool unlocked = exclusive;
  for (int attempt = 0; !unlocked && attempt < kUnlockAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kUnlockPauseMs));
    unlocked = file.UnlockByte(type * c + session);
  }
  bool masterReleased = false;
  for (int attempt = 0; !masterReleased && attempt < kUnlockAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kUnlockPauseMs));
    masterReleased = file.UnlockFile();
  }
  if (!unlocked || !masterReleased) throw EKrxException(KrxError::CannotUnlockTable);
}

bool TKrxDatabaseTableLockManager::LockRecord(int32_t session, int32_t tableKey, const TKrxRecordID& id, int pauseMs,
                                              int attempts) {
  if (!Tracked(session)) return true;
  std::unique_lock<std::recursive_mutex> guard(criticalSection_);
  if (List(session).Find(kKrxLockRecord, tableKey)) return false;
  if (List(session).Find(kKrxLockExclusive, tableKey) || List(session).Find(kKrxLockTransactionWrite, tableKey)) {
    List(session).Locks().push_back({kKrxLockRecord, tableKey, 1, false, 0, id});
    return true;
  }
  TKrxInternalDBDirectAccessFile& file = File(tableKey);
  const int32_t c = file.GetSize() / 12;
  if (session >= c) throw EKrxException(KrxError::TableLockSlotBeyondFile);
  const int budgetMs = pauseMs * attempts;
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    if (file.LockFile()) {
      bool taken = false;
      for (auto& [slot, list] : lists_) {
        if (slot == session) continue;
        for (const TKrxTableLock& lock : list.Locks())
          taken = taken || (lock.type == kKrxLockRecord && lock.tableKey == tableKey && lock.recordID == id);
      }
      if (!taken) {
        idBuffer_.resize(static_cast<size_t>(6) * c);
        file.DirectReadBuffer(idBuffer_.data(), 6 * c, 6 * c);
        for (int32_t s = 0; s < c && !taken; ++s) {
          if (s == session || GetI32(idBuffer_.data(), 6 * s) != id.pageNo ||
              GetU16(idBuffer_.data(), 6 * s + 4) != id.slot)
            continue;
          taken = file.IsByteLocked(5 * c + s);
        }
      }
      if (!taken) {
        if (!file.LockByte(5 * c + session)) {
          file.UnlockFile();
          throw EKrxException(KrxError::CannotLockRecord);
        }
        uint8_t stored[6];
        PutI32(stored, 0, id.pageNo);
        PutU16(stored, 4, id.slot);
        file.DirectWriteBuffer(stored, 6, 6 * c + 6 * session);
      }
      file.UnlockFile();
      if (!taken) {
        List(session).Locks().push_back({kKrxLockRecord, tableKey, 1, true, 1, id});
        return true;
      }
    }
    if (Millis(start) >= budgetMs) return false;
    guard.unlock();
    std::this_thread::sleep_for(std::chrono::milliseconds(std::max(pauseMs, 1)));
    guard.lock();
  }
}

void TKrxDatabaseTableLockManager::UnlockRecord(int32_t session, int32_t tableKey) {
  if (!Tracked(session)) return;
  std::lock_guard<std::recursive_mutex> guard(criticalSection_);
  std::vector<TKrxTableLock>& locks = List(session).Locks();
  auto it = std::find_if(locks.begin(), locks.end(),
                         [&](const TKrxTableLock& l) { return l.type == kKrxLockRecord && l.tableKey == tableKey; });
  if (it == locks.end()) return;
  const bool written = it->writtenToFile;
  locks.erase(it);
  if (!written) return;
  TKrxInternalDBDirectAccessFile& file = File(tableKey);
  const int32_t c = file.GetSize() / 12;
  if (!LockMaster(file, kUnlockAttempts, kUnlockPauseMs)) throw EKrxException(KrxError::CannotUnlockRecord);
  bool unlocked = false;
  for (int attempt = 0; !unlocked && attempt < kUnlockAttempts; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(kUnlockPauseMs));
    unlocked = file.UnlockByte(5 * c + session);
  }
  file.UnlockFile();
  if (!unlocked) throw EKrxException(KrxError::CannotUnlockRecord);
}

bool TKrxDatabaseTableLockManager::LockModifiedTablesForCommit(int32_t session) {
  if (!Tracked(session)) return true;
  std::vector<int32_t> modified;
  {
    std::lock_guard<std::recursive_mutex> guard(criticalSection_);
    for (const TKrxTableLock& lock : List(session).Locks())
      if (lock.type == kKrxLockTransactionWrite && !List(session).Find(kKrxLockWrite, lock.tableKey))
        modified.push_back(lock.tableKey);
  }
  std::vector<int32_t> taken;
  for (int32_t key : modified) {
    if (LockTable(session, key, kKrxLockWrite, commitPauseMs_, commitAttempts_)) {
      taken.push_back(key);
      continue;
    }
    for (int32_t k : taken) UnlockTable(session, k, kKrxLockWrite, true);
    return false;
  }
  return true;
}

void TKrxDatabaseTableLockManager::ReleaseTransactionLocks(int32_t session) {
  if (!Tracked(session)) return;
  std::vector<int32_t> recordTables, transactionTables, writeTables;
  {
    std::lock_guard<std::recursive_mutex> guard(criticalSection_);
    for (const TKrxTableLock& lock : List(session).Locks()) {
      if (lock.type == kKrxLockRecord) recordTables.push_back(lock.tableKey);
      if (lock.type == kKrxLockTransactionWrite) transactionTables.push_back(lock.tableKey);
    }
    // The write locks of the commit; a post outside a transaction lets go
    // of its own.
    for (int32_t key : transactionTables)
      if (List(session).Find(kKrxLockWrite, key)) writeTables.push_back(key);
  }
  // A record still being edited keeps its table's edit lock once the
  // transaction lock that covered it is gone.
  for (int32_t key : recordTables)
    if (!HoldsLock(session, key, kKrxLockEdit)) LockTable(session, key, kKrxLockEdit, 100, 900);
  for (int32_t key : writeTables) UnlockTable(session, key, kKrxLockWrite, true);
  for (int32_t key : transactionTables) UnlockTable(session, key, kKrxLockTransactionWrite, true);
}

void TKrxDatabaseTableLockManager::EndSession(int32_t session) {
  if (!Tracked(session)) return;
  std::vector<TKrxTableLock> left;
  {
    std::lock_guard<std::recursive_mutex> guard(criticalSection_);
    auto it = lists_.find(session);
    if (it == lists_.end()) return;
    left = it->second.Locks();
  }
  // Strongest last: what they covered is written as they go, then released.
  for (auto lock = left.rbegin(); lock != left.rend(); ++lock) {
    try {
      if (lock->type == kKrxLockRecord) UnlockRecord(session, lock->tableKey);
      else UnlockTable(session, lock->tableKey, lock->type, true);
    } catch (const EKrxException&) {
    }
  }
  std::lock_guard<std::recursive_mutex> guard(criticalSection_);
  lists_.erase(session);
  if (!left.empty()) throw EKrxException(KrxError::TableLocksStillExist);
}

}  // namespace krx
