// One result column of a dataset, read from the dataset's current record
// buffer. Names and texts are UTF-8; a NULL value, or a dataset without a
// current row, reads as empty text, 0 or 0.0.
#pragma once

#include <cstdint>
#include <string>

#include "KrxFieldDef.h"

namespace krx {

class TKrxDataSet;

class TKrxField {
 public:
  TKrxField(TKrxDataSet& dataSet, const TKrxFieldDef& def);

  const std::string& FieldName() const { return name_; }
  // The name in the national code page, upper-cased, for lookups.
  const std::string& LookupName() const { return lookupName_; }
  int FieldNo() const { return fieldNo_; }
  TKrxClientFieldKind DataType() const { return kind_; }
  TKrxAdvancedType AdvancedType() const { return def_->advancedType; }
  int32_t Size() const { return size_; }

  bool IsNull() const;
  // The value of the current row (NULL of the field's type without one).
  TKrxVariant Value() const;
  std::string AsString() const;
  // The stored bytes: a BLOB's raw bytes, a memo's text in the national code
  // page, a wide memo's UTF-16LE; other values as their text.
  std::string AsBytes() const;
  int32_t AsInteger() const;
  int64_t AsLargeInt() const;
  double AsFloat() const;
  bool AsBoolean() const;
  // Days since 1899-12-30 with the time as fraction.
  double AsDateTime() const;

 private:
  TKrxDataSet* dataSet_;
  const TKrxFieldDef* def_;
  int fieldNo_;
  TKrxClientFieldKind kind_;
  int32_t size_;
  std::string name_;
  std::string lookupName_;
};

}  // namespace krx
