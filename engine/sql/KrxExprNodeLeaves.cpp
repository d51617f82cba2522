// Evaluation of the leaf nodes: constants, column references, ROWNUM,
// LASTAUTOINC and MIMETOBIN.
#include <string>

#include "KrxException.h"
#include "KrxExprNodeBlob.h"
#include "KrxExprNodeConst.h"
#include "KrxExprNodeField.h"
#include "KrxExprNodeSystem.h"

namespace krx {

int32_t TKrxExprNodeConst::ResultSize() const {
  if (value_.IsNull()) return 0;
  if (KrxIsNarrowStringType(value_.Type())) return static_cast<int32_t>(value_.StringValue().size());
  if (KrxIsWideStringType(value_.Type())) return static_cast<int32_t>(value_.WideValue().size());
  return 0;
}

const TKrxVariant& TKrxExprNodeField::Evaluate() {
  if (!source_) throw EKrxException(KrxError::FieldNotFound, DisplayName());
  return source_->ColumnValue(column_);
}

TKrxAdvancedType TKrxExprNodeField::ResultType() const {
  return source_ ? source_->ColumnType(column_) : TKrxAdvancedType::Unknown;
}

int32_t TKrxExprNodeField::ResultSize() const { return source_ ? source_->ColumnSize(column_) : 0; }

const TKrxVariant& TKrxExprNodeSystem::Evaluate() {
  if (op_ == eoRowNum) {
    value_.SetInt32(runtime_ ? static_cast<int32_t>(runtime_->RowNumber()) : 0);
    return value_;
  }
  if (!runtime_) throw EKrxException(KrxError::LastAutoIncNotAvailable);
  value_.SetInt64(runtime_->LastAutoIncValue(table_, inMemory_, column_));
  return value_;
}

namespace {

int Base64Digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

TKrxExprNodeBlob::TKrxExprNodeBlob(std::string_view mimeText) : TKrxExprNode(eoMimeToBin) {
  std::string bytes;
  uint32_t bits = 0;
  int bitCount = 0;
  bool padding = false;
  for (char c : mimeText) {
    if (c == ' ' || c == '\r' || c == '\n' || c == '\t') continue;
    if (c == '=') {
      padding = true;
      continue;
    }
    const int digit = Base64Digit(c);
    if (digit < 0 || padding) throw EKrxException(KrxError::InvalidMimeText);
    bits = (bits << 6) | static_cast<uint32_t>(digit);
    bitCount += 6;
    if (bitCount >= 8) {
      bitCount -= 8;
      bytes.push_back(static_cast<char>((bits >> bitCount) & 0xFF));
    }
  }
  if (bitCount >= 6) throw EKrxException(KrxError::InvalidMimeText);
  value_.SetBytes(bytes, TKrxStorageType::Blob);
}

}  // namespace krx
