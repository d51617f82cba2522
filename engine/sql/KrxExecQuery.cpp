// Running queries: the tree is built at each execution, run, and its
// output rows become the statement's result; INTO copies them into a new
// table.
#include <memory>

#include "KrxAO.h"
#include "KrxException.h"
#include "KrxExecBuilder.h"
#include "KrxExecSession.h"
#include "KrxExecValue.h"
#include "KrxSQLSelect.h"
#include "KrxSQLUnion.h"
#include "KrxTableDataDisk.h"

namespace krx {

TKrxSQLCursorCommand::~TKrxSQLCursorCommand() = default;

std::unique_ptr<TKrxResultCursor> TKrxSQLCursorCommand::TakeResult() { return std::move(result_); }

void TKrxSQLCursorCommand::WriteInto(TKrxExecSession& session) {
  if (!into_.present || !result_) return;
  if (into_.inMemory || inMemory_) throw EKrxException(KrxError::InMemoryTablesUnavailable, into_.tableName);
  if (!into_.databaseName.empty())
    throw EKrxException(KrxError::InMemoryTablesUnavailable, into_.databaseName + "." + into_.tableName);
  TKrxDiskDatabaseData& database = session.Database();
  TKrxTableDefinition definition;
  const TKrxFieldDefs& resultFields = result_->FieldDefs();
  for (const TKrxFieldDef& f : resultFields) definition.fields.Add(f.name, f.advancedType, f.size);
  TKrxDiskTableData::CreateTable(database, into_.tableName, definition);
  try {
    auto table = TKrxDiskTableData::OpenTable(database, into_.tableName);
    TKrxCursor cursor(session.SessionID());
    cursor.inTransaction = session.InTransaction();
    table->Attach(cursor);
    try {
      for (int64_t row = 0; row < result_->RowCount(); ++row) {
        table->PrepareNewRecord(cursor);
        for (size_t c = 0; c < resultFields.Count(); ++c)
          KrxStoreColumnValue(*table, cursor, static_cast<int>(c), result_->Value(row, static_cast<int>(c)),
                              session.ValueFormat());
        table->InsertRecord(cursor);
      }
    } catch (...) {
      table->Detach(cursor);
      throw;
    }
    table->Detach(cursor);
  } catch (const EKrxException& e) {
    throw EKrxException(KrxError::ImportCopyFailed, e.Message());
  }
}

void TKrxSQLUnion::Execute(TKrxExecSession& session) {
  result_.reset();
  TKrxExecRuntime runtime(session);
  TKrxQueryBuilder builder(session, &runtime);
  std::unique_ptr<TKrxAO> tree = builder.BuildQuery(*this);
  tree->Execute(session);
  result_ = KrxMakeResultCursor(*tree);
  WriteInto(session);
}

void TKrxSQLSelect::Execute(TKrxExecSession& session) {
  result_.reset();
  TKrxExecRuntime runtime(session);
  TKrxQueryBuilder builder(session, &runtime);
  std::unique_ptr<TKrxAO> tree = builder.BuildSelect(*this);
  tree->Execute(session);
  result_ = KrxMakeResultCursor(*tree);
  WriteInto(session);
}

}  // namespace krx
