#include "KrxAOTable.h"

#include <algorithm>

#include "KrxException.h"
#include "KrxExecSession.h"
#include "KrxExprNodeComparison.h"
#include "KrxExprNodeField.h"
#include "KrxTableDataDisk.h"

namespace krx {

namespace {

// Detaches the scan's cursor however the scan ends.
struct AttachedCursor {
  AttachedCursor(TKrxDiskTableData& table, int32_t session) : table(table), cursor(session) { table.Attach(cursor); }
  ~AttachedCursor() { table.Detach(cursor); }
  TKrxDiskTableData& table;
  TKrxCursor cursor;
};

}  // namespace

TKrxAOTable::TKrxAOTable(TKrxDiskDatabaseData& database, const std::string& tableName, const std::string& alias)
    : tableName_(tableName), qualifier_(alias.empty() ? tableName : alias) {
  table_ = TKrxDiskTableData::OpenTable(database, tableName);
  const TKrxFieldDefs& fields = table_->Fields();
  columns_.reserve(fields.Count());
  for (const TKrxFieldDef& f : fields) {
    TKrxAOColumn column;
    column.qualifier = qualifier_;
    column.name = f.name;
    column.type = f.advancedType;
    column.size = f.size;
    columns_.push_back(std::move(column));
  }
  scratch_.resize(fields.Count());
}

TKrxAOTable::~TKrxAOTable() = default;

bool TKrxAOTable::FindKeyFilter(int& indexNo, TKrxExprNode*& valueNode) const {
  const auto& indexes = table_->IndexDefs();
  for (TKrxExprNode* filter : filters_) {
    if (filter->Operation() != eoEqual || filter->ChildCount() != 2 || filter->CaseInsensitive()) continue;
    if (static_cast<TKrxExprNodeComparison*>(filter)->Quantifier() != TKrxQuantifier::None) continue;
    for (int side = 0; side < 2; ++side) {
      TKrxExprNode& field = filter->Child(side);
      TKrxExprNode& value = filter->Child(1 - side);
      if (field.Operation() != eoField || !value.IsConstant()) continue;
      const auto& ref = static_cast<const TKrxExprNodeField&>(field);
      if (ref.Source() != this) continue;
      const std::string& name = columns_[ref.Column()].name;
      for (size_t i = 0; i < indexes.size(); ++i) {
        const TKrxIndexDef& def = indexes[i];
        if (def.temporary || def.columns.empty() || def.columns[0].caseInsensitive) continue;
        if (!KrxSameName(def.columns[0].fieldName, name)) continue;
        indexNo = static_cast<int>(i);
        valueNode = &value;
        return true;
      }
    }
  }
  return false;
}

bool TKrxAOTable::ReadsBlob(TKrxExprNode& node) const {
  if (node.Operation() == eoSubquery) return true;
  if (node.Operation() == eoField) {
    const auto& ref = static_cast<const TKrxExprNodeField&>(node);
    return ref.Source() == this && ref.Column() >= 0 && KrxIsBlobType(columns_[ref.Column()].type);
  }
  for (size_t i = 0; i < node.ChildCount(); ++i)
    if (ReadsBlob(node.Child(i))) return true;
  return false;
}

void TKrxAOTable::LoadBlobs(TKrxCursor& cursor) {
  const TKrxFieldDefs& fields = table_->Fields();
  for (int fieldNo : blobFields_) {
    TKrxVariant& value = scratch_[static_cast<size_t>(fieldNo)];
    if (KrxRecordFieldIsNull(cursor.record.data(), fieldNo)) {
      value.SetNull(fields[static_cast<size_t>(fieldNo)].storageType);
      continue;
    }
    const std::vector<uint8_t> bytes = table_->GetBlobData(cursor, fieldNo);
    value.SetBytes(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                   fields[static_cast<size_t>(fieldNo)].storageType);
  }
}

void TKrxAOTable::TakeRow(TKrxCursor& cursor) {
  const TKrxFieldDefs& fields = table_->Fields();
  for (size_t i = 0; i < fields.Count(); ++i) {
    if (fields[i].IsBlob()) scratch_[i].SetNull(fields[i].storageType);
    else KrxGetRecordField(fields, cursor.record.data(), static_cast<int>(i), scratch_[i]);
  }
  // BLOB values are read from their pages only for the rows kept, unless
  // the condition itself needs them.
  if (filtersReadBlobs_) LoadBlobs(cursor);
  current_ = &scratch_;
  if (!FiltersHold()) return;
  if (!filtersReadBlobs_ && keepBlobValues_) LoadBlobs(cursor);
  // The kept row takes the scratch values over rather than a copy of them.
  rows_.push_back(std::move(scratch_));
  recordIDs_.push_back(cursor.recordID);
  scratch_.resize(fields.Count());
  current_ = nullptr;
}

void TKrxAOTable::Run(TKrxExecSession& session) {
  recordIDs_.clear();
  // A condition that depends on no row decides for every row at once: the
  // field-list reads ("where 1=2") then cost no scan.
  for (TKrxExprNode* filter : filters_)
    if (filter->IsConstant() && !KrxConditionHolds(*filter)) return;
  blobFields_.clear();
  for (const TKrxFieldDef& f : table_->Fields())
    if (f.IsBlob()) blobFields_.push_back(f.fieldNo);
  filtersReadBlobs_ = false;
  if (!blobFields_.empty())
    for (TKrxExprNode* filter : filters_)
      if (ReadsBlob(*filter)) filtersReadBlobs_ = true;
  AttachedCursor scan(*table_, session.SessionID());
  TKrxCursor& cursor = scan.cursor;
  cursor.inTransaction = session.InTransaction();

  int indexNo = -1;
  TKrxExprNode* valueNode = nullptr;
  if (FindKeyFilter(indexNo, valueNode)) {
    const TKrxIndexDef& def = table_->IndexDefs()[static_cast<size_t>(indexNo)];
    const int fieldNo = table_->Fields().IndexOf(def.columns[0].fieldName);
    TKrxVariant key = valueNode->Evaluate();
    bool usable = !key.IsNull() && fieldNo >= 0;
    if (usable) {
      try {
        key.ConvertTo(table_->Fields()[static_cast<size_t>(fieldNo)].storageType);
        usable = !key.IsNull();
      } catch (const EKrxException&) {
        usable = false;  // a key of another kind: the scan decides
      }
    }
    if (usable) {
      table_->SetActiveIndex(cursor, def.name);
      if (!table_->LocateByKey(cursor, {key})) return;
      TKrxVariant value;
      do {
        KrxGetRecordField(table_->Fields(), cursor.record.data(), fieldNo, value);
        if (value.IsNull() || TKrxVariant::Compare(value, key) != 0) break;
        TakeRow(cursor);
      } while (table_->ReadRecord(cursor, TKrxReadMode::Next) == kKrxRecordFound);
      return;
    }
  }
  if (table_->ReadRecord(cursor, TKrxReadMode::First) != kKrxRecordFound) return;
  if (filters_.empty()) {
    const auto count = static_cast<size_t>(std::max<int64_t>(0, table_->RecordCount(cursor)));
    rows_.reserve(count);
    recordIDs_.reserve(count);
  }
  do {
    TakeRow(cursor);
  } while (table_->ReadRecord(cursor, TKrxReadMode::Next) == kKrxRecordFound);
}

}  // namespace krx
