#include "KrxExecValue.h"

#include <cctype>
#include <string>

#include "KrxException.h"
#include "KrxExecSession.h"
#include "KrxTableDataDisk.h"

namespace krx {

namespace {

// 'y', 'm' and 'd' in the order the format names them.
std::string DateOrder(std::string_view format) {
  std::string order;
  for (char c : format) {
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if ((lower == 'y' || lower == 'm' || lower == 'd') && order.find(lower) == std::string::npos) order += lower;
  }
  return order.size() == 3 ? order : "ymd";
}

bool ReadNumber(std::string_view text, size_t& pos, int& value, int maxDigits) {
  size_t start = pos;
  value = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) && pos - start < size_t(maxDigits)) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
  }
  return pos > start;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// A BLOB column holds only a reference in its record: the value goes in
// through the table's BLOB call, which also frees the old value when the
// record is written.
void StoreBlobValue(TKrxTableData& table, TKrxCursor& cursor, const TKrxFieldDef& field, const TKrxVariant& value) {
  auto* disk = dynamic_cast<TKrxDiskTableData*>(&table);
  if (!disk) throw EKrxException(KrxError::UnsupportedDataType, KrxAdvancedTypeName(field.advancedType));
  if (cursor.record.size() != table.Fields().MemoryRecordSize()) table.PrepareNewRecord(cursor);
  if (value.IsNull()) {
    disk->SetBlobData(cursor, field.fieldNo, nullptr, 0);
    return;
  }
  const std::string bytes = KrxBlobBytesOf(value, field.storageType);
  disk->SetBlobData(cursor, field.fieldNo, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

std::string KrxBlobBytesOf(const TKrxVariant& value, TKrxStorageType blobType) {
  if (value.IsNull()) return {};
  const TKrxStorageType from = value.Type();
  if (from == blobType || from == TKrxStorageType::Blob || KrxIsBytesType(from)) return value.StringValue();
  return value.ConvertedTo(blobType).StringValue();
}

bool KrxParseLocalDate(std::string_view text, std::string_view shortDateFormat, TKrxTimeStamp& ts, bool& hasTime) {
  text = Trim(text);
  const std::string order = DateOrder(shortDateFormat);
  int parts[3] = {0, 0, 0};
  size_t pos = 0;
  for (int i = 0; i < 3; ++i) {
    if (i > 0) {
      if (pos >= text.size() || std::isdigit(static_cast<unsigned char>(text[pos])) || text[pos] == ' ') return false;
      ++pos;
    }
    if (!ReadNumber(text, pos, parts[i], order[i] == 'y' ? 4 : 2)) return false;
  }
  int year = 0, month = 0, day = 0;
  for (int i = 0; i < 3; ++i) {
    if (order[i] == 'y') year = parts[i];
    else if (order[i] == 'm') month = parts[i];
    else day = parts[i];
  }
  if (year < 100) year += 2000;
  if (!KrxIsValidDate(year, month, day)) return false;
  ts.date = KrxEncodeDate(year, month, day);
  ts.time = 0;
  hasTime = false;
  if (pos == text.size()) return true;
  if (text[pos] != ' ' && text[pos] != 'T') return false;
  ++pos;
  int hour = 0, minute = 0, second = 0, ms = 0;
  if (!ReadNumber(text, pos, hour, 2) || pos >= text.size() || text[pos++] != ':' || !ReadNumber(text, pos, minute, 2))
    return false;
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    if (!ReadNumber(text, pos, second, 2)) return false;
    if (pos < text.size() && text[pos] == '.') {
      ++pos;
      if (!ReadNumber(text, pos, ms, 3)) return false;
    }
  }
  if (pos != text.size() || hour > 23 || minute > 59 || second > 59) return false;
  ts.time = KrxEncodeTime(hour, minute, second, ms);
  hasTime = true;
  return true;
}

void KrxStoreColumnValue(TKrxTableData& table, TKrxCursor& cursor, int fieldNo, const TKrxVariant& value,
                         const TKrxValueFormat& format) {
  const TKrxFieldDef& field = table.Fields().Field(fieldNo);
  if (field.IsBlob()) {
    StoreBlobValue(table, cursor, field, value);
    return;
  }
  if (value.IsNull()) {
    table.SetField(cursor, fieldNo, TKrxVariant(field.storageType));
    return;
  }
  const TKrxStorageType from = value.Type();
  const TKrxStorageType to = field.storageType;
  if (KrxIsStringType(from) && !KrxIsStringType(to)) {
    std::string text = KrxIsWideStringType(from) ? value.AsString() : value.StringValue();
    if (KrxIsNumericType(to)) {
      std::string plain(Trim(text));
      if (format.decimalSeparator != '.')
        for (char& c : plain)
          if (c == format.decimalSeparator) c = '.';
      long double number = 0;
      bool isInteger = false;
      int64_t integer = 0;
      if (KrxTryParseNumber(plain, &number, &isInteger, &integer)) {
        table.SetField(cursor, fieldNo, isInteger ? TKrxVariant::FromInt64(integer) : TKrxVariant::FromExtended(number));
        return;
      }
    } else if (KrxIsDateTimeType(to)) {
      TKrxTimeStamp ts;
      bool hasTime = false;
      if (KrxParseLocalDate(text, format.shortDateFormat, ts, hasTime)) {
        table.SetField(cursor, fieldNo, TKrxVariant::FromTimeStamp(ts));
        return;
      }
    }
  }
  // The variant's own rules, with its message when the value does not fit.
  table.SetField(cursor, fieldNo, value);
}

}  // namespace krx
