#include "KrxDatabase.h"

#include <algorithm>
#include <filesystem>

#include "KrxDataSet.h"
#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxSession.h"

namespace krx {

namespace {
constexpr int32_t kPasswordNeeded = 30445;
}

TKrxDatabase::TKrxDatabase(std::string sessionName)
    : sessionName_(sessionName.empty() ? std::string(kKrxDefaultSessionName) : std::move(sessionName)) {
  session_ = &KrxSessions().SessionByName(sessionName_);
  session_->AddDatabase(this);
}

TKrxDatabase::~TKrxDatabase() {
  try {
    Disconnect();
  } catch (...) {
  }
  for (TKrxDataSet* dataSet : std::vector<TKrxDataSet*>(dataSets_)) dataSet->Close();
  if (session_ != nullptr) session_->RemoveDatabase(this);
}

void TKrxDatabase::CheckInactive() const {
  if (Connected()) throw EKrxException(KrxError::DatabaseOpen);
}

void TKrxDatabase::CheckActive() const {
  if (!Connected()) throw EKrxException(KrxError::DatabaseClosed);
}

TKrxSession& TKrxDatabase::Session() {
  if (session_ == nullptr) throw EKrxException(KrxError::InvalidSessionName, sessionName_);
  return *session_;
}

void TKrxDatabase::SetDatabaseName(std::string name) {
  if (name == databaseName_) return;
  CheckInactive();
  if (!name.empty() && session_ != nullptr) {
    TKrxDatabase* other = session_->FindDatabase(name);
    if (other != nullptr && other != this) throw EKrxException(KrxError::DuplicateDatabaseName, name);
  }
  databaseName_ = std::move(name);
}

void TKrxDatabase::SetDatabaseFileName(std::string fileName) {
  if (fileName == fileName_) return;
  Disconnect();
  fileName_ = std::move(fileName);
}

void TKrxDatabase::SetSessionName(std::string name) {
  if (name.empty()) name = kKrxDefaultSessionName;
  if (KrxSameComponentName(name, sessionName_) && session_ != nullptr) return;
  CheckInactive();
  TKrxSession& target = KrxSessions().SessionByName(name);
  if (!databaseName_.empty() && target.FindDatabase(databaseName_) != nullptr) {
    throw EKrxException(KrxError::DuplicateDatabaseName, databaseName_);
  }
  if (session_ != nullptr) session_->RemoveDatabase(this);
  session_ = &target;
  session_->AddDatabase(this);
  sessionName_ = std::move(name);
}

void TKrxDatabase::SetExclusive(bool exclusive) {
  CheckInactive();
  exclusive_ = exclusive;
}

void TKrxDatabase::SetMultiUser(bool multiUser) {
  CheckInactive();
  multiUser_ = multiUser;
}

void TKrxDatabase::SetMaxConnections(int32_t count) {
  CheckInactive();
  maxConnections_ = count;
}

void TKrxDatabase::SetReadOnly(bool readOnly) {
  CheckInactive();
  readOnly_ = readOnly;
}

void TKrxDatabase::SetPassword(std::string password) {
  CheckInactive();
  password_ = std::move(password);
}

void TKrxDatabase::SetCipherID(uint8_t id) {
  CheckInactive();
  cipherID_ = id;
}

void TKrxDatabase::SetPageSize(uint16_t size) {
  CheckInactive();
  pageSize_ = size;
}

void TKrxDatabase::SetExtentPageCount(uint16_t count) {
  CheckInactive();
  extentPageCount_ = count;
}

void TKrxDatabase::SetConnected(bool connected) {
  if (connected) Connect();
  else Disconnect();
}

void TKrxDatabase::MakeTemporary(std::string databaseName, bool keepConnection) {
  databaseName_ = std::move(databaseName);
  keepConnection_ = keepConnection;
  silentMode_ = true;
  temporary_ = true;
}

bool TKrxDatabase::AskPassword() {
  if (OnPassword) return OnPassword(*this);
  // Without a handler there is nobody to ask here: the window layer that
  // shows the password dialog sets OnPassword.
  return false;
}

void TKrxDatabase::Connect() {
  if (Connected()) return;
  if (databaseName_.empty()) throw EKrxException(KrxError::DatabaseNameMissing);
  if (sessionName_.empty()) throw EKrxException(KrxError::SessionNameMissing);
  Session().SetActive(true);
  // A temporary component names its file by its alias.
  std::string fileName = fileName_.empty() && temporary_ ? databaseName_ : fileName_;
  if (!temporary_ && !std::filesystem::exists(std::filesystem::path(fileName))) {
    throw EKrxException(KrxError::DatabaseFileDoesNotExist, fileName_);
  }
  for (;;) {
    TKrxLocalSessionSettings settings;
    settings.databaseName = databaseName_;
    settings.fileName = fileName;
    // The engine keeps the password in the national code page.
    settings.password = {KrxUtf8ToGb(password_), cipherID_};
    settings.pageSize = pageSize_;
    settings.extentPageCount = extentPageCount_;
    settings.maxConnections = maxConnections_;
    settings.readOnly = readOnly_;
    settings.exclusive = exclusive_;
    settings.multiUser = multiUser_;
    if (multiUser_) settings.multiUserSessionName = sessionName_;
    auto local = std::make_unique<TKrxLocalSession>(std::move(settings));
    try {
      needsRepair_ = local->Open();
    } catch (const EKrxException& error) {
      if (error.NativeError() == kPasswordNeeded && AskPassword()) continue;
      throw;
    }
    localSession_ = std::move(local);
    break;
  }
  readOnly_ = localSession_->ReadOnly();
  multiUser_ = localSession_->MultiUser();
  pageSize_ = localSession_->Settings().pageSize;
  extentPageCount_ = localSession_->Settings().extentPageCount;
  maxConnections_ = localSession_->Settings().maxConnections;
}

void TKrxDatabase::Disconnect() {
  if (!Connected() || disconnecting_) return;
  disconnecting_ = true;
  try {
    for (TKrxDataSet* dataSet : std::vector<TKrxDataSet*>(dataSets_)) {
      if (dataSet->IsQuery()) dataSet->Close();
    }
    for (TKrxDataSet* dataSet : std::vector<TKrxDataSet*>(dataSets_)) dataSet->Close();
    std::unique_ptr<TKrxLocalSession> local = std::move(localSession_);
    local.reset();
  } catch (...) {
    localSession_.reset();
    disconnecting_ = false;
    throw;
  }
  disconnecting_ = false;
}

void TKrxDatabase::CreateDataBase() {
  CheckInactive();
  std::shared_ptr<TKrxDiskDatabaseData> data = TKrxDiskDatabaseData::Acquire(fileName_);
  data->CreateDatabase({KrxUtf8ToGb(password_), cipherID_}, extentPageCount_, pageSize_, maxConnections_);
  data->Close();
}

void TKrxDatabase::GetTableNames(std::vector<std::string>& names) {
  bool wasConnected = Connected();
  try {
    if (!wasConnected) Connect();
    for (const std::string& name : localSession_->TableNames()) names.push_back(KrxGbToUtf8(name));
  } catch (...) {
    // Listing never raises: the list stays as far as it was filled.
  }
  if (!wasConnected) {
    try {
      Disconnect();
    } catch (...) {
    }
  }
}

TKrxLocalSession& TKrxDatabase::LocalSession() {
  CheckActive();
  return *localSession_;
}

void TKrxDatabase::StartTransaction() { LocalSession().StartTransaction(); }

void TKrxDatabase::Commit(bool flush) { LocalSession().Commit(flush); }

void TKrxDatabase::Rollback() { LocalSession().Rollback(); }

bool TKrxDatabase::InTransaction() const { return Connected() && localSession_->InTransaction(); }

void TKrxDatabase::AddDataSet(TKrxDataSet* dataSet) {
  if (std::find(dataSets_.begin(), dataSets_.end(), dataSet) == dataSets_.end()) dataSets_.push_back(dataSet);
}

void TKrxDatabase::RemoveDataSet(TKrxDataSet* dataSet) {
  dataSets_.erase(std::remove(dataSets_.begin(), dataSets_.end(), dataSet), dataSets_.end());
}

}  // namespace krx
