#include "KrxTableData.h"

#include <cctype>

#include "KrxException.h"

namespace krx {
namespace {

std::string UpperUnquoted(const std::string& text) {
  std::string s = text;
  if (s.size() >= 2 && (s.front() == '\'' || s.front() == '"') && s.back() == s.front()) s = s.substr(1, s.size() - 2);
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

bool KrxIsDefaultWord(const TKrxVariant& value) {
  if (value.IsNull() || !KrxIsNarrowStringType(value.Type())) return false;
  std::string w = UpperUnquoted(value.StringValue());
  return w == "NOW" || w == "CURRENT_TIMESTAMP" || w == "CURRENT_TIME" || w == "CURRENT_DATE" || w == "SYSDATE";
}

TKrxVariant KrxEvaluateDefault(const TKrxVariant& value) {
  if (!KrxIsDefaultWord(value)) {
    // A string literal default is kept with its enclosing double quotes.
    if (!value.IsNull() && KrxIsNarrowStringType(value.Type())) {
      const std::string& s = value.StringValue();
      if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        return TKrxVariant::FromString(std::string_view(s).substr(1, s.size() - 2));
    }
    return value;
  }
  std::string w = UpperUnquoted(value.StringValue());
  TKrxTimeStamp now = KrxNow();
  if (w == "CURRENT_DATE") return TKrxVariant::FromDate(now.date);
  if (w == "CURRENT_TIME") return TKrxVariant::FromTime(now.time);
  return TKrxVariant::FromTimeStamp(now);
}

int TKrxTableData::IndexNoByName(const std::string& name) const {
  for (size_t i = 0; i < indexDefs_.size(); ++i)
    if (KrxSameName(indexDefs_[i].name, name)) return static_cast<int>(i);
  return -1;
}

void TKrxTableData::PrepareNewRecord(TKrxCursor& cursor) {
  cursor.record.assign(fields_.MemoryRecordSize(), 0);
  KrxClearRecordBuffer(fields_, cursor.record.data());
  for (const TKrxFieldDef& f : fields_) {
    if (f.defaultValue.IsNull() || f.IsBlob()) continue;
    KrxSetRecordField(fields_, cursor.record.data(), f.fieldNo, KrxEvaluateDefault(f.defaultValue));
  }
}

TKrxVariant TKrxTableData::GetField(const TKrxCursor& cursor, int fieldNo) const {
  return KrxGetRecordField(fields_, cursor.record.data(), fieldNo);
}

void TKrxTableData::SetField(TKrxCursor& cursor, int fieldNo, const TKrxVariant& value) const {
  if (cursor.record.size() != fields_.MemoryRecordSize()) {
    cursor.record.assign(fields_.MemoryRecordSize(), 0);
    KrxClearRecordBuffer(fields_, cursor.record.data());
  }
  KrxSetRecordField(fields_, cursor.record.data(), fieldNo, value);
}

void TKrxTableData::SeedAutoIncValues() {
  autoincValues_.assign(fields_.Count(), 0);
  for (const TKrxFieldDef& f : fields_)
    if (f.IsAutoInc()) autoincValues_[f.fieldNo] = f.autoincInitial;
}

void TKrxTableData::AssignAutoIncValues(int32_t session, uint8_t* record) {
  for (const TKrxFieldDef& f : fields_) {
    if (!f.IsAutoInc()) continue;
    int64_t& current = autoincValues_[f.fieldNo];
    if (KrxRecordFieldIsNull(record, f.fieldNo)) {
      int64_t step = f.autoincStep == 0 ? 1 : f.autoincStep;
      int64_t next;
      bool overflow = __builtin_add_overflow(current, step, &next);
      if (overflow || next > f.autoincMaximum) {
        if (!f.autoincCycle) throw EKrxException(KrxError::AutoincMaxValueExceeded, f.name);
        next = f.autoincMinimum;
      }
      current = next;
      KrxSetRecordField(fields_, record, f.fieldNo, TKrxVariant::FromInt64(next));
      lastAutoinc_[session][f.fieldNo] = next;
    } else {
      int64_t given = KrxGetRecordField(fields_, record, f.fieldNo).AsInt64();
      if (given > current) current = given;
    }
  }
}

int64_t TKrxTableData::LastAutoIncValue(int32_t session, int fieldNo) const {
  const TKrxFieldDef& f = fields_.Field(fieldNo);
  auto s = lastAutoinc_.find(session);
  if (s != lastAutoinc_.end()) {
    auto v = s->second.find(fieldNo);
    if (v != s->second.end()) return v->second;
  }
  throw EKrxException(KrxError::NoSequenceLastValue, f.name);
}

int TKrxTableData::IndexForColumns(const std::vector<TKrxConstraintColumn>& columns) const {
  for (size_t i = 0; i < indexDefs_.size(); ++i) {
    const TKrxIndexDef& d = indexDefs_[i];
    if (d.temporary || d.columns.size() != columns.size()) continue;
    bool same = true;
    for (size_t c = 0; c < columns.size() && same; ++c) same = KrxSameName(d.columns[c].fieldName, columns[c].name);
    if (same) return static_cast<int>(i);
  }
  return -1;
}

void TKrxTableData::CheckOne(int32_t session, const TKrxConstraintDef& c, const uint8_t* record,
                             const TKrxRecordID* selfID) {
  switch (c.Type()) {
    case TKrxConstraintType::PrimaryKey:
    case TKrxConstraintType::Unique: {
      const auto& u = static_cast<const TKrxConstraintDefUnique&>(c);
      bool primary = c.Type() == TKrxConstraintType::PrimaryKey;
      if (primary) {
        bool allNull = true;
        std::string names;
        for (const auto& col : u.columns) {
          int f = fields_.IndexOf(col.name);
          if (f >= 0 && !KrxRecordFieldIsNull(record, f)) allNull = false;
          names += (names.empty() ? "" : ",") + col.name;
        }
        if (allNull && !u.columns.empty()) throw EKrxException(KrxError::ConstraintNotNullViolated, c.name, names);
      }
      int index = IndexForColumns(u.columns);
      if (index >= 0 && HasDuplicate(session, index, record, selfID))
        throw EKrxException(primary ? KrxError::PrimaryKeyDuplicate : KrxError::UniqueDuplicate, c.name);
      return;
    }
    case TKrxConstraintType::NotNull: {
      int f = fields_.FieldNoByName(c.FieldName());
      if (KrxRecordFieldIsNull(record, f)) throw EKrxException(KrxError::ConstraintNotNullViolated, c.name, c.FieldName());
      return;
    }
    case TKrxConstraintType::Check: {
      const auto& k = static_cast<const TKrxConstraintDefCheck&>(c);
      int f = fields_.FieldNoByName(c.FieldName());
      if (KrxRecordFieldIsNull(record, f)) return;
      TKrxVariant value = KrxGetRecordField(fields_, record, f);
      if (!k.minimum.IsNull() && TKrxVariant::Compare(k.minimum, value) > 0)
        throw EKrxException(KrxError::ConstraintCheckLower, c.name, c.FieldName(), k.minimum.AsString());
      if (!k.maximum.IsNull() && TKrxVariant::Compare(k.maximum, value) < 0)
        throw EKrxException(KrxError::ConstraintCheckGreater, c.name, c.FieldName(), k.maximum.AsString());
      return;
    }
    case TKrxConstraintType::Foreign: throw EKrxException(KrxError::NotImplementedYet);
  }
}

void TKrxTableData::CheckUniqueIndexes(int32_t session, const uint8_t* record, const TKrxRecordID* selfID) {
  // Unique and primary indexes not backed by a constraint definition check
  // their duplicates themselves.
  for (size_t i = 0; i < indexDefs_.size(); ++i) {
    const TKrxIndexDef& d = indexDefs_[i];
    if (d.temporary || !(d.unique || d.primary)) continue;
    bool covered = false;
    for (const auto& c : constraints_) {
      if (c->Type() != TKrxConstraintType::PrimaryKey && c->Type() != TKrxConstraintType::Unique) continue;
      if (IndexForColumns(static_cast<const TKrxConstraintDefUnique&>(*c).columns) == static_cast<int>(i))
        covered = true;
    }
    if (covered) continue;
    if (d.primary) {
      bool allNull = true;
      std::string names;
      for (const auto& col : d.columns) {
        int f = fields_.IndexOf(col.fieldName);
        if (f >= 0 && !KrxRecordFieldIsNull(record, f)) allNull = false;
        names += (names.empty() ? "" : ",") + col.fieldName;
      }
      if (allNull) throw EKrxException(KrxError::ConstraintNotNullViolated, d.name, names);
    }
    if (HasDuplicate(session, static_cast<int>(i), record, selfID))
      throw EKrxException(d.primary ? KrxError::PrimaryKeyDuplicate : KrxError::UniqueDuplicate, d.name);
  }
}

void TKrxTableData::CheckConstraints(int32_t session, const uint8_t* record, const TKrxRecordID* selfID) {
  for (const auto& c : constraints_) CheckOne(session, *c, record, selfID);
  CheckUniqueIndexes(session, record, selfID);
}

bool TKrxTableData::ConstraintsHold(int32_t session, const uint8_t* record, const TKrxRecordID* selfID) {
  try {
    CheckConstraints(session, record, selfID);
    return true;
  } catch (const EKrxException&) {
    return false;
  }
}

}  // namespace krx
