#include "KrxLocalSession.h"

#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxTableDataDisk.h"

namespace krx {

namespace {

void RollbackSession(TKrxDiskDatabaseData& data, int32_t session) {
  data.Rollback(session);
  // Shared table objects keep counters read from the rolled back pages.
  std::lock_guard<std::recursive_mutex> guard(data.CriticalSection());
  for (const std::string& name : data.TableList().TableNames())
    TKrxDiskTableData::OpenTable(data, name)->CleanupAfterRollback(session);
}

}  // namespace

TKrxLocalSession::TKrxLocalSession(TKrxLocalSessionSettings settings) : settings_(std::move(settings)) {
  if (!settings_.multiUser) settings_.multiUserSessionName.clear();
}

TKrxLocalSession::~TKrxLocalSession() {
  try {
    Close();
  } catch (...) {
  }
}

bool TKrxLocalSession::Open() {
  if (IsOpen()) return attachment_.repairNeeded;
  TKrxAttachRequest request;
  request.fileName = settings_.fileName;
  request.multiUserSessionName = settings_.multiUserSessionName;
  request.password = settings_.password;
  request.exclusive = settings_.exclusive;
  request.multiUser = settings_.multiUser;
  request.readOnly = settings_.readOnly;
  attachment_ = TKrxDatabaseDataRegistry::Instance().Attach(request);
  settings_.readOnly = request.readOnly;
  settings_.multiUser = request.multiUser;
  settings_.pageSize = attachment_.data->PageSize();
  settings_.extentPageCount = attachment_.data->ExtentPageCount();
  settings_.maxConnections = attachment_.data->MaxConnections();
  return attachment_.repairNeeded;
}

void TKrxLocalSession::Close() {
  if (!IsOpen()) return;
  TKrxAttachment attachment = attachment_;
  attachment_ = {};
  try {
    if (inTransaction_) {
      inTransaction_ = false;
      RollbackSession(*attachment.data, attachment.sessionNumber);
    }
  } catch (...) {
    TKrxDatabaseDataRegistry::Instance().Detach(attachment);
    throw;
  }
  TKrxDatabaseDataRegistry::Instance().Detach(attachment);
}

TKrxDiskDatabaseData& TKrxLocalSession::Data() {
  if (!IsOpen()) throw EKrxException(KrxError::DatabaseClosed);
  return *attachment_.data;
}

void TKrxLocalSession::StartTransaction() {
  if (inTransaction_) throw EKrxException(KrxError::DatabaseAlreadyInTransaction);
  Data();
  inTransaction_ = true;
}

void TKrxLocalSession::Commit(bool flush) {
  if (!inTransaction_) throw EKrxException(KrxError::NotInTransaction);
  Data().Commit(attachment_.sessionNumber, flush);
  inTransaction_ = false;
}

void TKrxLocalSession::Rollback() {
  if (!inTransaction_) throw EKrxException(KrxError::NotInTransaction);
  inTransaction_ = false;
  RollbackSession(Data(), attachment_.sessionNumber);
}

std::vector<std::string> TKrxLocalSession::TableNames() {
  TKrxDiskDatabaseData& data = Data();
  std::lock_guard<std::recursive_mutex> guard(data.CriticalSection());
  return data.TableList().TableNames();
}

}  // namespace krx
