#include "KrxDatabaseDataDisk.h"

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
  Registry& registry = TheRegistry();
  std::lock_guard<std::mutex> guard(registry.lock);
  std::string key = RegistryKey(fileName);
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
      tableList_(std::make_unique<TKrxTableListFile>(*pageManager_)) {}

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
  } catch (...) {
    CloseParts();
    throw;
  }
  return repairNeeded;
}

void TKrxDiskDatabaseData::CloseParts() {
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
  tableList_->Close();
  activeSessions_->Close();
  systemDirectory_ = std::make_unique<TKrxSystemDirectory>(*pageManager_);
  pageManager_->CloseDatabaseFile();
}

void TKrxDiskDatabaseData::Commit(int32_t session, bool flush) {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  // The page manager flushes the journal before the first page is written
  // and the file before the journal goes, so a flushed commit survives power loss.
  pageManager_->Commit(session, flush);
  TKrxDiskTableData::ReleaseSessionTables(*this, session);
}

void TKrxDiskDatabaseData::Rollback(int32_t session) {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  pageManager_->Rollback(session);
  TKrxDiskTableData::ReleaseSessionTables(*this, session);
}

int32_t TKrxDiskDatabaseData::GetNextObjectID() {
  std::lock_guard<std::recursive_mutex> guard(CriticalSection());
  return pageManager_->GetNextObjectID();
}

}  // namespace krx
