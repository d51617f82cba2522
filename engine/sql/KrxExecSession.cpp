#include "KrxExecSession.h"

#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxTableDataDisk.h"

namespace krx {

void TKrxDirectExecSession::StartTransaction() {
  if (inTransaction_) throw EKrxException(KrxError::DatabaseAlreadyInTransaction);
  inTransaction_ = true;
}

void TKrxDirectExecSession::Commit(bool flush) {
  if (!inTransaction_) throw EKrxException(KrxError::NotInTransaction);
  database_.Commit(session_, flush);
  inTransaction_ = false;
}

void TKrxDirectExecSession::Rollback() {
  if (!inTransaction_) throw EKrxException(KrxError::NotInTransaction);
  inTransaction_ = false;
  database_.Rollback(session_);
  // Shared table objects keep counters read from the rolled back pages.
  for (const std::string& name : database_.TableList().TableNames())
    TKrxDiskTableData::OpenTable(database_, name)->CleanupAfterRollback(session_);
}

}  // namespace krx
