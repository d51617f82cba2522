// A table's data object: the definition (fields, indexes, constraints) with
// the autoincrement values, defaults and constraint checks that every store
// shares, and the operations the stores implement (slots of the table data
// object). TKrxDiskTableData keeps a table in the database file.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "KrxConstraintDef.h"
#include "KrxFieldDef.h"
#include "KrxIndexDef.h"
#include "KrxTableCursor.h"

namespace krx {

// What a table is created from.
struct TKrxTableDefinition {
  TKrxFieldDefs fields;
  std::vector<TKrxIndexDef> indexes;
  std::vector<std::unique_ptr<TKrxConstraintDef>> constraints;
};

class TKrxTableData {
 public:
  explicit TKrxTableData(std::string name) : name_(std::move(name)) {}
  virtual ~TKrxTableData() = default;
  TKrxTableData(const TKrxTableData&) = delete;
  TKrxTableData& operator=(const TKrxTableData&) = delete;

  const std::string& Name() const { return name_; }
  const TKrxFieldDefs& Fields() const { return fields_; }
  const std::vector<TKrxIndexDef>& IndexDefs() const { return indexDefs_; }
  const std::vector<std::unique_ptr<TKrxConstraintDef>>& Constraints() const { return constraints_; }
  // Number of an index by name (any case); -1 when none.
  int IndexNoByName(const std::string& name) const;

  // ---- records of a cursor ----
  // Slot 4: the in-memory record buffer's size and the offset of its first
  // field.
  size_t RecordBufferSize() const { return fields_.MemoryRecordSize(); }
  size_t FirstFieldOffset() const { return fields_.NullBitmapSize(); }
  // A record ready for insertion: every field NULL, then the defaults.
  virtual void PrepareNewRecord(TKrxCursor& cursor);
  TKrxVariant GetField(const TKrxCursor& cursor, int fieldNo) const;
  void SetField(TKrxCursor& cursor, int fieldNo, const TKrxVariant& value) const;

  // ---- operations of the stores ----
  virtual void InsertRecord(TKrxCursor& cursor) = 0;
  virtual void UpdateRecord(TKrxCursor& cursor) = 0;
  virtual void DeleteRecord(TKrxCursor& cursor) = 0;
  virtual int ReadRecord(TKrxCursor& cursor, TKrxReadMode mode) = 0;
  virtual int64_t RecordCount(TKrxCursor& cursor) = 0;
  virtual void Commit(int32_t session, bool inTransaction) = 0;
  virtual void Rollback(int32_t session, bool inTransaction) = 0;

  // Slot 38: the last autoincrement value given to a field in a session
  // ("No SequenceLastValue in session for sequence '%s'. Call GetNextVal
  // first" when none).
  int64_t LastAutoIncValue(int32_t session, int fieldNo) const;
  int64_t AutoIncCurrentValue(int fieldNo) const { return autoincValues_.at(fieldNo); }

  // Checks the constraints of a record about to be written (the first
  // failure raises). selfID names the record being updated, if any.
  void CheckConstraints(int32_t session, const uint8_t* record, const TKrxRecordID* selfID);
  // As above without raising: false at the first failure.
  bool ConstraintsHold(int32_t session, const uint8_t* record, const TKrxRecordID* selfID);

 protected:
  // Gives NULL autoincrement fields their next values, raises the current
  // values for explicit ones ("Autoinc max value exceeded for field '%s'").
  void AssignAutoIncValues(int32_t session, uint8_t* record);
  void SeedAutoIncValues();
  // True when the index holds another entry with the record's key.
  virtual bool HasDuplicate(int32_t session, int indexNo, const uint8_t* record, const TKrxRecordID* selfID) = 0;
  int IndexForColumns(const std::vector<TKrxConstraintColumn>& columns) const;

  std::string name_;
  TKrxFieldDefs fields_;
  std::vector<TKrxIndexDef> indexDefs_;
  std::vector<std::unique_ptr<TKrxConstraintDef>> constraints_;
  std::vector<int64_t> autoincValues_;
  std::map<int32_t, std::map<int, int64_t>> lastAutoinc_;  // session -> field -> value
  std::recursive_mutex criticalSection_;

 private:
  void CheckOne(int32_t session, const TKrxConstraintDef& c, const uint8_t* record, const TKrxRecordID* selfID);
  void CheckUniqueIndexes(int32_t session, const uint8_t* record, const TKrxRecordID* selfID);
};

// Whether a default value is one of the words evaluated when a row is
// written (NOW, CURRENT_TIMESTAMP, CURRENT_TIME, CURRENT_DATE, SYSDATE, bare
// or quoted, any case), and its value now.
bool KrxIsDefaultWord(const TKrxVariant& value);
TKrxVariant KrxEvaluateDefault(const TKrxVariant& value);

}  // namespace krx
