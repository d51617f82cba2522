#include "KrxDatabaseDataDisk.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>

#include "KrxException.h"
#include "KrxTableDataDisk.h"

namespace krx {

namespace {

// The process-wide list of database objects, by the file's absolute name.
struct Registry {
  std::mutex lock;
  std::map<std::string, std::weak_ptr<TKrxDiskDatabaseData>> byFile;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

std::string RegistryKey(const std::string& fileName) {
  std::error_code ec;
  std::filesystem::path path = std::filesystem::weakly_canonical(std::filesystem::absolute(fileName, ec), ec);
  return ec ? fileName : path.string();
}

}  // namespace

std::shared_ptr<TKrxDiskDatabaseData> TKrxDiskDatabaseData::Acquire(const std::string& fileName) {
  return Acquire(fileName, "");
}

std::shared_ptr<TKrxDiskDatabaseData> TKrxDiskDatabaseData::Acquire(const std::string& fileName,
                                                                     const std::string& multiUserSessionName) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  std::string key = RegistryKey(fileName);
  if (!multiUserSessionName.empty()) {
    key += '\x01';
    for (char c : multiUserSessionName) key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  if (auto existing = registry.byFile[key].lock()) return existing;
  auto created = std::make_shared<TKrxDiskDatabaseData>(fileName);
  registry.byFile[key] = created;
  for (auto it = registry.byFile.begin(); it != registry.byFile.end();) {
    if (it->second.expired()) it = registry.byFile.erase(it); else ++it;
  }
  return created;
}

bool TKrxDiskDatabaseData::IsOpenInProcess(const std::string& fileName) {
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  auto it = registry.byFile.find(RegistryKey(fileName));
  if (it == registry.byFile.end()) return false;
  auto data = it->second.lock();
  return data && data->IsOpen();
}

TKrxDiskDatabaseData::TKrxDiskDatabaseData(const std::string& fileName)
    : TKrxDatabaseData(fileName),
      pageManager_(std::make_unique<TKrxDiskPageManager>()),
      systemDirectory_(std::make_unique<TKrxSystemDirectory>(*pageManager_)),
      activeSessions_(std::make_unique<TKrxActiveSessionsFile>(*pageManager_)),
      tableList_(std::make_unique<TKrxTableListFile>(*pageManager_)),
      tableLocks_(std::make_unique<TKrxDatabaseTableLockManager>(*pageManager_, 0, false)) {}

TKrxDiskDatabaseData::~TKrxDiskDatabaseData() {
  try {
    Close();
  } catch (...) {
  }
}

void TKrxDiskDatabaseData::CreateDatabase(const TKrxPasswordRecord& password, uint16_t extentPageCount,
                                          uint16_t pageSize, int32_t maxConnections) {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  if (pageManager_->IsOpen()) throw EKrxException(KrxError::DatabaseFileInUse, name_);
  if (IsOpenInProcess(name_)) throw EKrxException(KrxError::CannotCreateDatabaseAlreadyOpen);
  pageManager_->CreateDatabaseFile(name_, password, extentPageCount, pageSize);
  try {
    systemDirectory_->Create(kKrxEngineSession);
    int32_t sessionsPage = activeSessions_->Create(maxConnections);
    int32_t tableListPage = tableList_->Create(kKrxEngineSession);
    tableList_->Save(kKrxEngineSession);
    systemDirectory_->AddEntry(static_cast<uint8_t>(TKrxDirectoryEntryKind::ActiveSessions), sessionsPage);
    systemDirectory_->AddEntry(static_cast<uint8_t>(TKrxDirectoryEntryKind::TableList), tableListPage);
    systemDirectory_->Save(kKrxEngineSession);
    pageManager_->Commit(kKrxEngineSession);
    maxConnections_ = maxConnections;
    readOnly_ = false;
    multiUser_ = false;
    exclusive_ = false;
    password_ = password;
    pageManager_->SetValidateEveryUse(false);
    tableLocks_ = std::make_unique<TKrxDatabaseTableLockManager>(*pageManager_, maxConnections_, false);
  } catch (...) {
    CloseParts();
    throw;
  }
}

bool TKrxDiskDatabaseData::Open(const TKrxPasswordRecord& password, bool& multiUser, bool exclusive, bool& readOnly) {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  bool repairNeeded = pageManager_->OpenDatabaseFile(name_, password, multiUser, exclusive, readOnly);
  try {
    systemDirectory_->Load(kKrxEngineSession);
    int32_t sessionsPage = systemDirectory_->Find(static_cast<uint8_t>(TKrxDirectoryEntryKind::ActiveSessions));
    int32_t tableListPage = systemDirectory_->Find(static_cast<uint8_t>(TKrxDirectoryEntryKind::TableList));
    if (sessionsPage == kKrxNoPage || tableListPage == kKrxNoPage) throw EKrxException(KrxError::InvalidDatabaseFormat);
    activeSessions_->Open(sessionsPage);
    maxConnections_ = activeSessions_->MaxConnections();
    tableList_->Open(tableListPage);
    tableList_->Load(kKrxEngineSession);
    readOnly_ = readOnly;
    multiUser_ = multiUser;
    exclusive_ = exclusive && !readOnly;
    password_ = password;
    pageManager_->SetValidateEveryUse(multiUser_ && !exclusive_);
    // An exclusive file has no other users: no table lock is ever taken.
    tableLocks_ = std::make_unique<TKrxDatabaseTableLockManager>(*pageManager_, maxConnections_,
                                                                 multiUser_ && !exclusive_ && !readOnly_);
  } catch (...) {
    CloseParts();
    throw;
  }
  return repairNeeded;
}

void TKrxDiskDatabaseData::CloseParts() {
  sessions_.clear();
  singleUserClaim_ = false;
  tableList_->Close();
  activeSessions_->Close();
  systemDirectory_ = std::make_unique<TKrxSystemDirectory>(*pageManager_);
  try {
    pageManager_->CloseDatabaseFile();
  } catch (...) {
  }
}

void TKrxDiskDatabaseData::Close() {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  if (!pageManager_->IsOpen()) return;
  TKrxDiskTableData::ReleaseAllSessionTables(*this);
  // Closing the descriptor lets every byte lock of this object go.
  sessions_.clear();
  singleUserClaim_ = false;
  tableLocks_ = std::make_unique<TKrxDatabaseTableLockManager>(*pageManager_, 0, false);
  tableList_->Close();
  activeSessions_->Close();
  systemDirectory_ = std::make_unique<TKrxSystemDirectory>(*pageManager_);
  pageManager_->CloseDatabaseFile();
}

void TKrxDiskDatabaseData::Commit(int32_t session, bool flush) {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  if (tableLocks_->Active() && !tableLocks_->LockModifiedTablesForCommit(session))
    throw EKrxException(KrxError::CommitLocksFailed);
  // The page manager flushes the journal before the first page is written
  // and the file before the journal goes, so a flushed commit survives power loss.
  pageManager_->Commit(session, flush);
  TKrxDiskTableData::ReleaseSessionTables(*this, session);
  tableLocks_->ReleaseTransactionLocks(session);
}

void TKrxDiskDatabaseData::Rollback(int32_t session) {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  pageManager_->Rollback(session);
  TKrxDiskTableData::ReleaseSessionTables(*this, session);
  tableLocks_->ReleaseTransactionLocks(session);
}

bool TKrxDiskDatabaseData::UsesSessionSlots() const { return multiUser_ && !exclusive_ && !readOnly_; }

int32_t TKrxDiskDatabaseData::ConnectSession() {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  if (UsesSessionSlots()) {
    if (!activeSessions_->LockSessions()) throw EKrxException(KrxError::CannotConnectSession);
    int32_t slot = -1;
    for (int32_t s = 0; s < maxConnections_ && slot < 0; ++s)
      if (activeSessions_->LockSlot(s)) slot = s;
    if (!activeSessions_->UnlockSessions()) {
      if (slot >= 0) activeSessions_->UnlockSlot(slot);
      throw EKrxException(KrxError::CannotUnlockSessionsFile);
    }
    if (slot < 0) throw EKrxException(KrxError::CannotConnectSession);
    sessions_.push_back(slot);
    return slot;
  }
  if (sessions_.empty() && !readOnly_ && !exclusive_ && !singleUserClaim_) ClaimSingleUse();
  int32_t number = 0;
  while (std::find(sessions_.begin(), sessions_.end(), number) != sessions_.end()) ++number;
  sessions_.push_back(number);
  return number;
}

void TKrxDiskDatabaseData::ClaimSingleUse() {
  TKrxInternalDBDirectAccessFile& slots = activeSessions_->File();
  bool claimed = false;
  if (activeSessions_->LockSessions()) {
    claimed = !slots.IsRegionLocked(0, maxConnections_) && slots.LockRegion(0, maxConnections_);
    activeSessions_->UnlockSessions();
  }
  if (claimed) {
    singleUserClaim_ = true;
    return;
  }
  // Another process is connected: this one may only read.
  Close();
  bool multiUser = false, readOnly = true;
  Open(password_, multiUser, false, readOnly);
}

void TKrxDiskDatabaseData::DisconnectSession(int32_t session) {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  auto it = std::find(sessions_.begin(), sessions_.end(), session);
  if (it == sessions_.end() || !IsOpen()) return;
  sessions_.erase(it);
  std::exception_ptr locksLeft;
  try {
    tableLocks_->EndSession(session);
  } catch (const EKrxException&) {
    locksLeft = std::current_exception();
  }
  if (UsesSessionSlots()) {
    bool sessionsLocked = activeSessions_->LockSessions();
    bool unlocked = activeSessions_->UnlockSlot(session);
    if (sessionsLocked) activeSessions_->UnlockSessions();
    if (!sessionsLocked || !unlocked) throw EKrxException(KrxError::CannotDisconnectSession);
  } else if (sessions_.empty() && singleUserClaim_) {
    singleUserClaim_ = false;
    if (!activeSessions_->File().UnlockRegion(0, maxConnections_)) throw EKrxException(KrxError::CannotDisconnectSession);
  }
  if (locksLeft) std::rethrow_exception(locksLeft);
}

int32_t TKrxDiskDatabaseData::GetNextObjectID() {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  return pageManager_->GetNextObjectID();
}

}  // namespace krx
