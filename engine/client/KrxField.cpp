#include "KrxField.h"

#include <cmath>

#include "KrxDataSet.h"
#include "KrxFormatSettings.h"
#include "KrxLocale.h"

namespace krx {

TKrxField::TKrxField(TKrxDataSet& dataSet, const TKrxFieldDef& def)
    : dataSet_(&dataSet),
      def_(&def),
      fieldNo_(def.fieldNo),
      kind_(KrxClientFieldKindOf(def.advancedType)),
      size_(def.size),
      name_(KrxGbToUtf8(def.name)),
      lookupName_(KrxUpperString(def.name)) {
  if (kind_ == TKrxClientFieldKind::ftBCD) size_ = 38;
}

bool TKrxField::IsNull() const {
  const uint8_t* record = dataSet_->CurrentRecord();
  return record == nullptr || KrxRecordFieldIsNull(record, fieldNo_);
}

TKrxVariant TKrxField::Value() const {
  const uint8_t* record = dataSet_->CurrentRecord();
  if (record == nullptr || KrxRecordFieldIsNull(record, fieldNo_)) return TKrxVariant::Null(def_->storageType);
  if (def_->IsBlob()) {
    std::string bytes = dataSet_->ReadBlob(fieldNo_);
    TKrxVariant value;
    value.SetBytes(bytes, def_->storageType);
    return value;
  }
  return KrxGetRecordField(dataSet_->FieldDefs(), record, fieldNo_);
}

std::string TKrxField::AsString() const {
  TKrxVariant value = Value();
  if (value.IsNull()) return {};
  return KrxValueToText(value, dataSet_->FormatSettings());
}

std::string TKrxField::AsBytes() const {
  TKrxVariant value = Value();
  if (value.IsNull()) return {};
  if (def_->IsBlob()) return value.StringValue();
  return AsString();
}

int64_t TKrxField::AsLargeInt() const {
  TKrxVariant value = Value();
  if (value.IsNull()) return 0;
  if (KrxIsFloatType(value.Type())) return std::llround(value.AsDouble());
  if (KrxIsStringType(value.Type())) {
    // The text of a string field is read as a number, rounded like a float.
    long double number = 0;
    bool isInteger = false;
    int64_t integer = 0;
    if (KrxTryParseNumber(value.AsString(), &number, &isInteger, &integer)) {
      return isInteger ? integer : std::llround(static_cast<double>(number));
    }
  }
  return value.AsInt64();
}

int32_t TKrxField::AsInteger() const { return static_cast<int32_t>(AsLargeInt()); }

double TKrxField::AsFloat() const {
  TKrxVariant value = Value();
  if (value.IsNull()) return 0.0;
  if (KrxIsDateTimeType(value.Type())) return value.AsDateTime();
  return value.AsDouble();
}

bool TKrxField::AsBoolean() const {
  TKrxVariant value = Value();
  if (value.IsNull()) return false;
  return value.AsBoolean();
}

double TKrxField::AsDateTime() const {
  TKrxVariant value = Value();
  if (value.IsNull()) return 0.0;
  return value.AsDateTime();
}

}  // namespace krx
