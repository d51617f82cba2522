#include "KrxTable.h"

#include "KrxDatabase.h"
#include "KrxEngineError.h"
#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxTableSource.h"

namespace krx {

TKrxTable::TKrxTable(std::string name) : TKrxDataSet(std::move(name)) {}

TKrxTable::~TKrxTable() {
  try {
    Close();
  } catch (...) {
  }
}

void TKrxTable::SetTableName(std::string name) {
  CheckInactive();
  tableName_ = std::move(name);
}

void TKrxTable::SetIndexName(std::string name) {
  CheckInactive();
  indexName_ = std::move(name);
}

TKrxDiskDatabaseData& TKrxTable::DatabaseData() {
  TKrxDatabase& database = AcquireDatabase();
  return database.LocalSession().Data();
}

std::unique_ptr<TKrxLocalCursor> TKrxTable::CreateCursor() {
  TKrxDatabase& database = AcquireDatabase();
  TKrxDiskDatabaseData& data = database.LocalSession().Data();
  std::string gbName = KrxUtf8ToGb(tableName_);
  if (!TKrxDiskTableData::TableExists(data, gbName)) throw EKrxException(KrxError::TableNotFoundOpen, tableName_);
  auto source = std::make_unique<TKrxTableSource>(TKrxDiskTableData::OpenTable(data, gbName),
                                                  database.LocalSession().SessionNumber(), database.InTransaction());
  if (!indexName_.empty()) {
    if (source->Table().IndexNoByName(KrxUtf8ToGb(indexName_)) < 0) {
      throw EKrxException(KrxError::CannotFindIndex, indexName_);
    }
    source->Table().SetActiveIndex(source->TableCursor(), KrxUtf8ToGb(indexName_));
  }
  source_ = source.get();
  return std::make_unique<TKrxLocalCursor>(tableName_, std::move(source));
}

void TKrxTable::CreateTable(TKrxTableDefinition definition) {
  CheckInactive();
  for (size_t i = 0; i < definition.fields.Count(); ++i) definition.fields[i].name = KrxUtf8ToGb(definition.fields[i].name);
  TKrxDiskDatabaseData& data = DatabaseData();
  try {
    TKrxDiskTableData::CreateTable(data, KrxUtf8ToGb(tableName_), definition);
  } catch (...) {
    ReleaseDatabase();
    throw;
  }
  ReleaseDatabase();
}

void TKrxTable::DeleteTable() {
  CheckInactive();
  TKrxDiskDatabaseData& data = DatabaseData();
  try {
    TKrxDiskTableData::DropTable(data, KrxUtf8ToGb(tableName_));
  } catch (...) {
    ReleaseDatabase();
    throw;
  }
  ReleaseDatabase();
}

void TKrxTable::EmptyTable() {
  CheckInactive();
  TKrxDatabase& database = AcquireDatabase();
  try {
    TKrxDiskDatabaseData& data = database.LocalSession().Data();
    int32_t session = database.LocalSession().SessionNumber();
    auto table = TKrxDiskTableData::OpenTable(data, KrxUtf8ToGb(tableName_));
    table->Empty(session);
    table->Commit(session, database.InTransaction());
  } catch (...) {
    ReleaseDatabase();
    throw;
  }
  ReleaseDatabase();
}

void TKrxTable::RenameTable(const std::string& newName) {
  CheckInactive();
  TKrxDiskDatabaseData& data = DatabaseData();
  try {
    TKrxDiskTableData::RenameTable(data, KrxUtf8ToGb(tableName_), KrxUtf8ToGb(newName));
  } catch (...) {
    ReleaseDatabase();
    throw;
  }
  ReleaseDatabase();
  tableName_ = newName;
}

bool TKrxTable::Exists() {
  bool exists = false;
  TKrxDiskDatabaseData& data = DatabaseData();
  try {
    exists = TKrxDiskTableData::TableExists(data, KrxUtf8ToGb(tableName_));
  } catch (...) {
    ReleaseDatabase();
    throw;
  }
  if (!Active()) ReleaseDatabase();
  return exists;
}

void TKrxTable::AppendRecord(const std::vector<TKrxVariant>& values) {
  if (!Active()) throw EKrxException(KrxError::DatasetClosed);
  if (ReadOnly() || Database()->ReadOnly()) throw EKrxEngineError(KrxError::EngineErrorAddingRecord);
  TKrxDiskTableData& table = source_->Table();
  TKrxCursor& cursor = source_->TableCursor();
  cursor.inTransaction = Database()->InTransaction();
  table.PrepareNewRecord(cursor);
  for (size_t i = 0; i < values.size() && i < table.Fields().Count(); ++i) {
    if (!values[i].IsNull()) table.SetField(cursor, static_cast<int>(i), values[i]);
  }
  table.InsertRecord(cursor);
  First();
}

}  // namespace krx
