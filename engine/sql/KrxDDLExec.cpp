// Running the data definition statements against the table layer. A change
// of a table's columns rebuilds the table: a new table in the new layout
// receives every record (values converted by column name), and only then
// replaces the old one, so a failure leaves the table as it was.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KrxDDLStatements.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxExecSession.h"
#include "KrxExecValue.h"
#include "KrxParserErrors.h"
#include "KrxTableDataDisk.h"

namespace krx {

namespace {

void CheckStoredTable(const TKrxTargetTable& table, bool queryInMemory) {
  if (table.inMemory || queryInMemory) throw EKrxException(KrxError::InMemoryTablesUnavailable, table.tableName);
  if (!table.databaseName.empty())
    throw EKrxException(KrxError::InMemoryTablesUnavailable, table.databaseName + "." + table.tableName);
}

// Copies the settings a column definition gives onto a field.
void ApplyColumn(const TSQLFieldDef& d, TKrxFieldDef& f) {
  if (d.hasFieldType) {
    f.advancedType = d.fieldType;
    f.storageType = KrxStorageTypeOf(d.fieldType);
  }
  if (d.hasSize) f.size = d.size;
  if (d.hasBlobBlockSize) f.blobBlockSize = d.blobBlockSize;
  if (d.hasBlobCompressionMode) f.blobCompressionMode = d.blobCompressionMode;
  if (d.hasBlobCompressionAlgorithm) f.blobCompressionAlgorithm = d.blobCompressionAlgorithm;
  if (d.hasAutoIncIncrement) f.autoincStep = d.autoIncIncrement;
  if (d.hasAutoIncInitialValue) f.autoincInitial = d.autoIncInitialValue;
  if (d.hasAutoIncMinValue) f.autoincMinimum = d.autoIncMinValue;
  if (d.hasAutoIncMaxValue) f.autoincMaximum = d.autoIncMaxValue;
  if (d.hasAutoIncCycled) f.autoincCycle = d.autoIncCycled;
  if (d.hasDefaultValue) f.defaultValue = d.defaultValue;
}

TKrxFieldDef NewField(const TSQLFieldDef& d) {
  TKrxFieldDef f;
  f.name = d.name;
  ApplyColumn(d, f);
  return f;
}

std::vector<std::string> ConstraintNames(const std::vector<std::unique_ptr<TKrxConstraintDef>>& constraints) {
  std::vector<std::string> names;
  for (const auto& c : constraints) names.push_back(c->name);
  return names;
}

// NOT NULL and MINVALUE / MAXVALUE of a column as constraints.
void AddColumnConstraints(const std::string& table, const TSQLFieldDef& d,
                          std::vector<std::unique_ptr<TKrxConstraintDef>>& constraints) {
  if (d.hasNotNull && d.notNull) {
    auto c = std::make_unique<TKrxConstraintDefNotNull>();
    c->name = KrxConstraintName(TKrxConstraintType::NotNull, table, d.name, ConstraintNames(constraints));
    c->references[1].name = table;
    c->references[2].name = d.name;
    constraints.push_back(std::move(c));
  }
  if (d.hasMinValue || d.hasMaxValue) {
    auto c = std::make_unique<TKrxConstraintDefCheck>();
    c->name = KrxConstraintName(TKrxConstraintType::Check, table, d.name, ConstraintNames(constraints));
    c->references[1].name = table;
    c->references[2].name = d.name;
    if (d.hasMinValue) c->minimum = d.minValue;
    if (d.hasMaxValue) c->maximum = d.maxValue;
    constraints.push_back(std::move(c));
  }
}

TKrxIndexDef IndexDefOf(const TKrxDDLIndexDef& d) {
  TKrxIndexDef def;
  def.name = d.name.empty() ? KrxGeneratedIndexName(d) : d.name;
  def.unique = d.unique || d.primary;
  def.primary = d.primary;
  for (const TKrxIndexField& column : d.columns) {
    TKrxIndexColumnDef c;
    c.fieldName = column.name;
    c.descending = column.descending;
    c.caseInsensitive = column.caseInsensitive;
    def.columns.push_back(std::move(c));
  }
  return def;
}

std::unique_ptr<TKrxConstraintDef> CloneConstraint(const TKrxConstraintDef& c) {
  std::vector<uint8_t> stored;
  c.Write(stored);
  size_t offset = 0;
  return TKrxConstraintDef::Read(stored.data(), stored.size(), offset);
}

bool IndexUsesOnly(const TKrxIndexDef& index, const TKrxFieldDefs& fields) {
  for (const TKrxIndexColumnDef& c : index.columns)
    if (fields.IndexOf(c.fieldName) < 0) return false;
  return true;
}

// The value of an old record's field for the copy; BLOB values come from
// their own pages, the record holds only their reference.
TKrxVariant CopiedValue(TKrxDiskTableData& table, TKrxCursor& cursor, int fieldNo) {
  const TKrxFieldDef& field = table.Fields().Field(fieldNo);
  if (!field.IsBlob()) return table.GetField(cursor, fieldNo);
  TKrxVariant value(field.storageType);
  if (KrxRecordFieldIsNull(cursor.record.data(), fieldNo)) return value;
  const std::vector<uint8_t> bytes = table.GetBlobData(cursor, fieldNo);
  value.SetBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), field.storageType);
  return value;
}

// Rebuilds `name` with the fields of `fields` (each taking the values of the
// old field of the same name, when there is one) and the old table's
// indexes and constraints whose columns remain, plus `extra` constraints.
void Restructure(TKrxExecSession& session, const std::string& name, TKrxFieldDefs fields,
                 std::vector<std::unique_ptr<TKrxConstraintDef>> extra) {
  TKrxDiskDatabaseData& db = session.Database();
  const int32_t sessionID = session.SessionID();
  auto old = TKrxDiskTableData::OpenTable(db, name);
  fields.Layout();

  TKrxTableDefinition definition;
  definition.fields = fields;
  for (TKrxIndexDef index : old->IndexDefs()) {
    if (index.temporary || !IndexUsesOnly(index, fields)) continue;
    index.objectID = -1;
    index.rootPageNo = -1;
    definition.indexes.push_back(std::move(index));
  }
  for (const auto& c : old->Constraints()) {
    if (!c->FieldName().empty() && fields.IndexOf(c->FieldName()) < 0) continue;
    if (auto* unique = dynamic_cast<const TKrxConstraintDefUnique*>(c.get())) {
      bool kept = true;
      for (const TKrxConstraintColumn& column : unique->columns) kept = kept && fields.IndexOf(column.name) >= 0;
      if (!kept) continue;
    }
    definition.constraints.push_back(CloneConstraint(*c));
  }
  for (auto& c : extra) definition.constraints.push_back(std::move(c));

  const std::string building = name + "$restructure";
  if (TKrxDiskTableData::TableExists(db, building)) TKrxDiskTableData::DropTable(db, building);
  try {
    TKrxDiskTableData::CreateTable(db, building, definition);
    {
      auto fresh = TKrxDiskTableData::OpenTable(db, building);
      TKrxCursor from(sessionID), to(sessionID);
      to.inTransaction = true;  // one commit for the whole copy
      old->Attach(from);
      fresh->Attach(to);
      try {
        std::vector<int> source(fresh->Fields().Count());
        for (size_t i = 0; i < source.size(); ++i) source[i] = old->Fields().IndexOf(fresh->Fields()[i].name);
        if (old->ReadRecord(from, TKrxReadMode::First) == kKrxRecordFound) {
          do {
            fresh->PrepareNewRecord(to);
            for (size_t i = 0; i < source.size(); ++i) {
              if (source[i] < 0) continue;
              KrxStoreColumnValue(*fresh, to, static_cast<int>(i), CopiedValue(*old, from, source[i]),
                                  session.ValueFormat());
            }
            fresh->InsertRecord(to);
          } while (old->ReadRecord(from, TKrxReadMode::Next) == kKrxRecordFound);
        }
        db.Commit(sessionID, false);
      } catch (...) {
        old->Detach(from);
        fresh->Detach(to);
        db.Rollback(sessionID);
        fresh->CleanupAfterRollback(sessionID);
        throw;
      }
      old->Detach(from);
      fresh->Detach(to);
    }
    old.reset();
    TKrxDiskTableData::DropTable(db, name);
  } catch (const EKrxException& e) {
    try {
      if (TKrxDiskTableData::TableExists(db, building)) TKrxDiskTableData::DropTable(db, building);
    } catch (...) {
    }
    throw EKrxException(KrxError::RestructureError, e.Message());
  }
  TKrxDiskTableData::RenameTable(db, building, name);
}

}  // namespace

// ---- CREATE / DROP / TRUNCATE TABLE ----

void TKrxDDLCreateTable::Execute(TKrxExecSession& session) {
  CheckStoredTable(table_, inMemory_);
  TKrxDiskDatabaseData& db = session.Database();
  if (TKrxDiskTableData::TableExists(db, table_.tableName)) {
    if (ifNotExists_) return;
    KrxRaiseAt(KrxError::TableAlreadyExists, 30247, table_.tableName);
  }
  try {
    TKrxTableDefinition definition;
    for (const TSQLFieldDef& d : fieldDefs_) {
      definition.fields.Add(NewField(d));
      AddColumnConstraints(table_.tableName, d, definition.constraints);
    }
    definition.fields.Layout();
    for (const TKrxDDLIndexDef& index : indexDefs_) definition.indexes.push_back(IndexDefOf(index));
    TKrxDiskTableData::CreateTable(db, table_.tableName, definition);
  } catch (const EKrxException& e) {
    KrxRaiseAt(KrxError::ErrorCreatingTable, 30248, e.Message());
  }
}

void TKrxDDLDropTable::Execute(TKrxExecSession& session) {
  CheckStoredTable(table_, inMemory_);
  TKrxDiskDatabaseData& db = session.Database();
  try {
    if (TKrxDiskTableData::TableExists(db, table_.tableName)) TKrxDiskTableData::DropTable(db, table_.tableName);
  } catch (const EKrxException& e) {
    KrxRaiseAt(KrxError::ErrorDroppingTable, 30250, e.Message());
  }
}

void TKrxDDLTruncateTable::Execute(TKrxExecSession& session) {
  CheckStoredTable(table_, inMemory_);
  try {
    TKrxDiskTableData::OpenTable(session.Database(), table_.tableName)->Empty(session.SessionID());
  } catch (const EKrxException& e) {
    KrxRaiseAt(KrxError::ErrorTruncatingTable, 30491, e.Message());
  }
}

// ---- ALTER / RENAME TABLE ----

void TKrxDDLAlterTable::Execute(TKrxExecSession& session) {
  CheckStoredTable(table_, inMemory_);
  TKrxDiskDatabaseData& db = session.Database();
  const std::string& name = table_.tableName;
  try {
    auto table = TKrxDiskTableData::OpenTable(db, name);
    TKrxFieldDefs fields = table->Fields();
    std::vector<std::unique_ptr<TKrxConstraintDef>> extra;
    switch (action_) {
      case aaRenameColumn:
        table->RenameField(session.SessionID(), oldColumnName_, newColumnName_);
        return;
      case aaRenameTo:
        table.reset();
        TKrxDiskTableData::RenameTable(db, name, newTableName_);
        return;
      case aaAdd:
        for (const TSQLFieldDef& d : fieldDefs_) {
          if (fields.IndexOf(d.name) >= 0) {
            if (d.ifNotExists) continue;
            KrxRaiseAt(KrxError::FieldByNameExists, 30351, d.name);
          }
          fields.Add(NewField(d));
          AddColumnConstraints(name, d, extra);
        }
        break;
      case aaDrop: {
        TKrxFieldDefs kept;
        for (const std::string& column : dropColumns_)
          if (fields.IndexOf(column) < 0) KrxRaiseAt(KrxError::FieldNotFound, 30259, column);
        for (const TKrxFieldDef& f : fields) {
          bool dropped = false;
          for (const std::string& column : dropColumns_) dropped = dropped || KrxSameName(column, f.name);
          if (!dropped) kept.Add(f);
        }
        fields = kept;
        break;
      }
      case aaModify:
        for (const TSQLFieldDef& d : fieldDefs_) {
          const int no = fields.IndexOf(d.name);
          if (no < 0) KrxRaiseAt(KrxError::FieldNotFound, 30259, d.name);
          ApplyColumn(d, fields[static_cast<size_t>(no)]);
          AddColumnConstraints(name, d, extra);
        }
        break;
    }
    table.reset();
    Restructure(session, name, fields, std::move(extra));
    if (!indexDefs_.empty()) {
      auto rebuilt = TKrxDiskTableData::OpenTable(db, name);
      for (const TKrxDDLIndexDef& index : indexDefs_) rebuilt->AddIndex(session.SessionID(), IndexDefOf(index));
    }
  } catch (const EKrxException& e) {
    KrxRaiseAt(KrxError::ErrorAlteringTable, 30265, e.Message());
  }
}

// ---- CREATE / DROP INDEX ----

void TKrxDDLCreateIndex::Execute(TKrxExecSession& session) {
  CheckStoredTable(table_, inMemory_);
  TKrxDiskTableData::OpenTable(session.Database(), table_.tableName)->AddIndex(session.SessionID(), IndexDefOf(index_));
}

void TKrxDDLDropIndex::Execute(TKrxExecSession& session) {
  CheckStoredTable(table_, inMemory_);
  TKrxDiskTableData::OpenTable(session.Database(), table_.tableName)->DropIndex(session.SessionID(), indexName_);
}

}  // namespace krx
