// Running INSERT, UPDATE, DELETE and the transaction statements. Changes
// made by one UPDATE, DELETE or INSERT ... SELECT form one write batch: it
// commits at the end (outside a transaction) or is cancelled as a whole.
#include <chrono>
#include <memory>
#include <thread>

#include "KrxAOTable.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxExecBuilder.h"
#include "KrxExecSession.h"
#include "KrxExecValue.h"
#include "KrxExpression.h"
#include "KrxSQLModify.h"
#include "KrxTableDataDisk.h"

namespace krx {

namespace {

// A cursor attached to a table for the time of a statement.
class TableWriter {
 public:
  TableWriter(std::shared_ptr<TKrxDiskTableData> table, TKrxExecSession& session)
      : table_(std::move(table)), cursor_(session.SessionID()) {
    cursor_.inTransaction = explicitTransaction_ = session.InTransaction();
    table_->Attach(cursor_);
    try {
      table_->LockForChanges(cursor_);
    } catch (...) {
      table_->Detach(cursor_);
      throw;
    }
  }
  ~TableWriter() {
    try {
      if (!explicitTransaction_) table_->UnlockForChanges(cursor_);
    } catch (...) {
    }
    table_->Detach(cursor_);
  }
  TKrxDiskTableData& Table() { return *table_; }
  TKrxCursor& Cursor() { return cursor_; }
  // Moves to a record; false when it is gone.
  bool GoTo(const TKrxRecordID& id) {
    cursor_.recordID = id;
    cursor_.position = TKrxCursorPosition::OnRecord;
    return table_->ReadRecord(cursor_, TKrxReadMode::Current) == kKrxRecordFound;
  }

 private:
  std::shared_ptr<TKrxDiskTableData> table_;
  TKrxCursor cursor_;
  bool explicitTransaction_ = false;
};

// Holds the changes of one statement back from committing one by one.
class WriteBatch {
 public:
  WriteBatch(TKrxExecSession& session, TableWriter& writer)
      : session_(session), writer_(writer), own_(!session.InTransaction()) {
    writer_.Cursor().inTransaction = true;
  }
  ~WriteBatch() {
    if (!done_) Cancel();
  }
  void End() {
    done_ = true;
    writer_.Cursor().inTransaction = session_.InTransaction();
    if (own_) session_.Database().Commit(session_.SessionID(), false);
  }
  void Cancel() {
    done_ = true;
    writer_.Cursor().inTransaction = session_.InTransaction();
    if (!own_) return;
    try {
      session_.Database().Rollback(session_.SessionID());
      writer_.Table().CleanupAfterRollback(session_.SessionID());
    } catch (...) {
    }
  }

 private:
  TKrxExecSession& session_;
  TableWriter& writer_;
  bool own_;
  bool done_ = false;
};

std::shared_ptr<TKrxDiskTableData> OpenTarget(TKrxExecSession& session, const TKrxTargetTable& target,
                                              bool queryInMemory) {
  if (target.inMemory || queryInMemory) throw EKrxException(KrxError::InMemoryTablesUnavailable, target.tableName);
  if (!target.databaseName.empty())
    throw EKrxException(KrxError::InMemoryTablesUnavailable, target.databaseName + "." + target.tableName);
  return TKrxDiskTableData::OpenTable(session.Database(), target.tableName);
}

TKrxAOTable& RowsTable(TKrxAO& tree) {
  auto* table = dynamic_cast<TKrxAOTable*>(&tree);
  if (!table) throw EKrxException(KrxError::SearchNotApplicable);
  return *table;
}

// Runs `attempt` again after 100 ms when it fails, 15 tries in all; inside
// a transaction a failure cannot be undone alone and is raised at once.
template <typename F>
void WithRetries(TKrxExecSession& session, F attempt) {
  constexpr int kAttempts = 15;
  for (int i = 1;; ++i) {
    try {
      attempt();
      return;
    } catch (const EKrxException&) {
      if (i >= kAttempts || session.InTransaction()) throw;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

}  // namespace

// ---- INSERT ----

void TKrxSQLInsert::Execute(TKrxExecSession& session) {
  rowsAffected_ = 0;
  TableWriter writer(OpenTarget(session, target_, false), session);
  TKrxDiskTableData& table = writer.Table();
  TKrxCursor& cursor = writer.Cursor();
  const TKrxFieldDefs& fields = table.Fields();
  const TKrxValueFormat& format = session.ValueFormat();
  TKrxExecRuntime runtime(session);
  TKrxQueryBuilder builder(session, &runtime);

  auto targetsFor = [&](size_t valueCount) {
    std::vector<int> targets;
    if (!columns_.empty() && columns_.size() == valueCount) {
      for (const std::string& name : columns_) targets.push_back(fields.FieldNoByName(name));
    } else {
      for (size_t i = 0; i < valueCount; ++i) targets.push_back(fields.Field(static_cast<int>(i)).fieldNo);
    }
    return targets;
  };

  if (sourceQuery_) {
    std::unique_ptr<TKrxAO> tree = builder.BuildQuery(*sourceQuery_);
    // The rows are read in full before the first is written, so a query
    // over the target itself sees none of the new records.
    tree->Execute(session);
    const std::vector<int> output = tree->OutputColumns();
    const std::vector<int> targets = targetsFor(output.size());
    WriteBatch batch(session, writer);
    int64_t posted = 0;
    for (const TKrxAORow& row : tree->Rows()) {
      table.PrepareNewRecord(cursor);
      for (size_t i = 0; i < targets.size(); ++i)
        KrxStoreColumnValue(table, cursor, targets[i], row[static_cast<size_t>(output[i])], format);
      table.InsertRecord(cursor);
      ++posted;
    }
    batch.End();
    rowsAffected_ = posted;
    return;
  }

  for (const auto& row : rows_) {
    const std::vector<int> targets = targetsFor(row.size());
    table.PrepareNewRecord(cursor);
    for (size_t i = 0; i < row.size(); ++i) {
      TKrxExpression* expression = row[i].get();
      if (!expression || !expression->Root()) {
        const TKrxFieldDef& f = fields.Field(targets[i]);
        throw EKrxException(KrxError::ParameterValueUndefined, f.name, KrxAdvancedTypeName(f.advancedType));
      }
      builder.PrepareExpression(*expression, {});
      KrxStoreColumnValue(table, cursor, targets[i], expression->GetValue(), format);
    }
    table.InsertRecord(cursor);
    ++rowsAffected_;
  }
}

// ---- UPDATE ----

void TKrxSQLUpdate::Execute(TKrxExecSession& session) {
  WithRetries(session, [&] {
    rowsAffected_ = 0;
    TKrxExecRuntime runtime(session);
    TKrxQueryBuilder builder(session, &runtime);
    std::unique_ptr<TKrxAO> tree = builder.BuildRows(*rowSelect_);
    TKrxAOTable& rows = RowsTable(*tree);
    TableWriter writer(OpenTarget(session, target_, false), session);
    TKrxDiskTableData& table = writer.Table();
    const TKrxFieldDefs& fields = table.Fields();

    std::vector<int> targets;
    bool valuesReadBlobs = rowQuery_ != nullptr;
    for (const TKrxAssignment& a : assignments_) {
      targets.push_back(fields.FieldNoByName(a.columnName));
      if (a.value) builder.PrepareExpression(*a.value, {&rows});
      if (a.value && a.value->Root() && rows.ReadsBlob(*a.value->Root())) valuesReadBlobs = true;
    }
    // BLOB values are read from their pages only when a new value needs them.
    rows.SetKeepBlobValues(valuesReadBlobs);
    std::unique_ptr<TKrxSubqueryRunner> rowQuery;
    std::vector<int> rowTargets;
    if (rowQuery_) {
      rowQuery = std::make_unique<TKrxSubqueryRunner>(*rowQuery_, session, TKrxRowSources{&rows});
      for (const std::string& name : rowColumns_) rowTargets.push_back(fields.FieldNoByName(name));
      if (rowQuery->FieldCount() != static_cast<int>(rowTargets.size()))
        throw EKrxException(KrxError::SubqueryFieldCount, rowQuery->FieldCount());
    }

    tree->Execute(session);
    const std::vector<TKrxRecordID>& ids = rows.RecordIDs();
    std::vector<TKrxAORow>& selected = rows.Rows();
    std::vector<TKrxVariant> values(targets.size() + rowTargets.size());
    WriteBatch batch(session, writer);
    int64_t posted = 0;
    for (size_t r = 0; r < ids.size(); ++r) {
      // The values are worked out from the row as selected, before any change.
      rows.SetCurrent(&selected[r]);
      for (size_t i = 0; i < targets.size(); ++i) {
        TKrxExpression* value = assignments_[i].value.get();
        if (value && value->Root()) values[i] = value->GetValue();
        else values[i].SetNull();
      }
      if (rowQuery) {
        rowQuery->Open();
        const bool any = rowQuery->Next();
        for (size_t i = 0; i < rowTargets.size(); ++i) {
          if (any) values[targets.size() + i] = rowQuery->Value(static_cast<int>(i));
          else values[targets.size() + i].SetNull();
        }
      }
      if (!writer.GoTo(ids[r])) continue;
      for (size_t i = 0; i < targets.size(); ++i)
        KrxStoreColumnValue(table, writer.Cursor(), targets[i], values[i], session.ValueFormat());
      for (size_t i = 0; i < rowTargets.size(); ++i)
        KrxStoreColumnValue(table, writer.Cursor(), rowTargets[i], values[targets.size() + i], session.ValueFormat());
      table.UpdateRecord(writer.Cursor());
      ++posted;
    }
    rows.SetCurrent(nullptr);
    batch.End();
    rowsAffected_ = posted;
  });
}

// ---- DELETE ----

void TKrxSQLDelete::Execute(TKrxExecSession& session) {
  rowsAffected_ = 0;
  TKrxExecRuntime runtime(session);
  TKrxQueryBuilder builder(session, &runtime);
  std::unique_ptr<TKrxAO> tree = builder.BuildRows(*rowSelect_);
  TKrxAOTable& rows = RowsTable(*tree);
  rows.SetKeepBlobValues(false);  // the records go, their values are not read
  tree->Execute(session);
  TableWriter writer(TKrxDiskTableData::OpenTable(session.Database(), rows.TableName()), session);
  WriteBatch batch(session, writer);
  int64_t deleted = 0;
  for (const TKrxRecordID& id : rows.RecordIDs()) {
    if (!writer.GoTo(id)) continue;
    writer.Table().DeleteRecord(writer.Cursor());
    ++deleted;
  }
  batch.End();
  rowsAffected_ = deleted;
}

// ---- transactions ----

void TKrxSQLStartTransaction::Execute(TKrxExecSession& session) { session.StartTransaction(); }

void TKrxSQLCommit::Execute(TKrxExecSession& session) { session.Commit(flush_); }

void TKrxSQLRollback::Execute(TKrxExecSession& session) { session.Rollback(); }

}  // namespace krx
