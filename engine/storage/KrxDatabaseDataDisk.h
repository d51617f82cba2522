// The database object of a database file. One exists per file per process:
// sessions that open the same file share it through a process-wide list
// (Acquire), and it goes when the last of them lets it go.
//
// A new database holds, after the map pages 0 (PFS) and 1 (EAM): the system
// directory on page 2, the active sessions file, the empty table list; the
// directory lists (2, sessions start page) and (1, table list start page).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxActiveSessionsFile.h"
#include "KrxDatabaseData.h"
#include "KrxDatabaseTableLockManager.h"
#include "KrxDiskPageManager.h"
#include "KrxSystemDirectory.h"
#include "KrxTableListFile.h"

namespace krx {

class TKrxDiskDatabaseData : public TKrxDatabaseData {
 public:
  // The shared object of that file in this process, made when none exists.
  static std::shared_ptr<TKrxDiskDatabaseData> Acquire(const std::string& fileName);
  // In multi-user mode each session name of a process has its own object
  // (and its own descriptor of the file).
  static std::shared_ptr<TKrxDiskDatabaseData> Acquire(const std::string& fileName,
                                                       const std::string& multiUserSessionName);
  // Whether some object of this process has that file open.
  static bool IsOpenInProcess(const std::string& fileName);

  explicit TKrxDiskDatabaseData(const std::string& fileName);
  ~TKrxDiskDatabaseData() override;

  void CreateDatabase(const TKrxPasswordRecord& password, uint16_t extentPageCount, uint16_t pageSize,
                      int32_t maxConnections);
  // Returns true when the file needs repair. multiUser may be turned off
  // (read-only file); readOnly may be turned on.
  bool Open(const TKrxPasswordRecord& password, bool& multiUser, bool exclusive, bool& readOnly);
  void Close();
  bool IsOpen() const { return pageManager_->IsOpen(); }

  const std::string& FileName() const { return name_; }
  bool ReadOnly() const { return readOnly_; }
  bool MultiUser() const { return multiUser_; }
  bool Exclusive() const { return exclusive_; }
  int32_t MaxConnections() const { return maxConnections_; }
  uint16_t PageSize() const { return pageManager_->MainHeader().pageSize; }
  uint16_t ExtentPageCount() const { return pageManager_->MainHeader().extentPageCount; }

  TKrxPageManager& PageManager() override { return *pageManager_; }
  TKrxDiskPageManager& DiskPageManager() { return *pageManager_; }
  TKrxSystemDirectory& SystemDirectory() { return *systemDirectory_; }
  TKrxTableListFile& TableList() { return *tableList_; }
  TKrxActiveSessionsFile& ActiveSessions() { return *activeSessions_; }

  // A new session of this object: in multi-user mode the lowest free slot
  // of the active sessions file ("Cannot connect session. Maximum
  // connections quantity exceeded or database is open in single-user
  // mode"); in single-user mode the lowest number no session of this
  // process uses, and the first one claims every slot byte. When another
  // process is connected the claim fails and the file is opened again
  // read-only.
  int32_t ConnectSession();
  // Frees the slot (multi-user) or, with the last session, the claim.
  // Table locks the session still held are let go, then "Some table locks
  // still exist".
  void DisconnectSession(int32_t session);
  int ConnectedSessions() const { return static_cast<int>(sessions_.size()); }
  bool HoldsSingleUserClaim() const { return singleUserClaim_; }
  TKrxDatabaseTableLockManager& TableLocks() { return *tableLocks_; }

  // Multi-user: the modified tables are locked for writing first ("Cannot
  // commit changes. Locks of modified tables failed", the transaction stays
  // open); the transaction locks go after the pages are written.
  void Commit(int32_t session, bool flush) override;
  void Rollback(int32_t session) override;
  int32_t GetNextObjectID();

 private:
  void CloseParts();
  void ClaimSingleUse();
  bool UsesSessionSlots() const;

  std::unique_ptr<TKrxDiskPageManager> pageManager_;
  std::unique_ptr<TKrxSystemDirectory> systemDirectory_;
  std::unique_ptr<TKrxActiveSessionsFile> activeSessions_;
  std::unique_ptr<TKrxTableListFile> tableList_;
  bool readOnly_ = false;
  bool multiUser_ = false;
  bool exclusive_ = false;
  int32_t maxConnections_ = 0;
  TKrxPasswordRecord password_;
  std::unique_ptr<TKrxDatabaseTableLockManager> tableLocks_;
  std::vector<int32_t> sessions_;
  bool singleUserClaim_ = false;
};

}  // namespace krx
