#include <gtest/gtest.h>

#include "KrxDataTypes.h"
#include "KrxException.h"

namespace krx {
namespace {

using A = TKrxAdvancedType;
using S = TKrxStorageType;

TEST(DataTypes, SqlNamesMapToFirstMatchingRow) {
  struct Case { const char* name; A type; S storage; };
  const Case kCases[] = {
      {"char", A::FixedChar, S::FixedString},       {"VARCHAR2", A::String, S::String},
      {"WideVarChar", A::WideString, S::WideString}, {"INT64", A::LargeInt, S::Int64},
      {"CARDINAL", A::Cardinal, S::UInt32},          {"AUTOINC", A::AutoInc, S::Int32},
      {"AUTOINCWORD", A::AutoIncWord, S::UInt16},    {"FLOAT", A::Double, S::Double},
      {"BIT", A::Boolean, S::Boolean},               {"MONEY", A::Currency, S::Currency},
      {"TIMESTAMP", A::TimeStamp, S::DateTime},      {"CLOB", A::Memo, S::TextBlob},
      {"WIDECLOB", A::WideMemo, S::WideTextBlob},    {"GUID", A::Guid, S::FixedString},
      {"GRAPHIC", A::Graphic, S::Blob},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(KrxAdvancedTypeFromSqlName(c.name), c.type) << c.name;
    EXPECT_EQ(KrxStorageTypeOf(c.type), c.storage) << c.name;
  }
  EXPECT_EQ(KrxAdvancedTypeFromSqlName("INT"), A::Unknown);
  EXPECT_EQ(KrxAdvancedTypeFromSqlName("DECIMAL"), A::Unknown);
}

TEST(DataTypes, UnknownNamesAndCodesRaiseTheirMessages) {
  try {
    KrxAdvancedTypeByName("REAL");
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Unknown DataType: 'REAL'");
  }
  try {
    KrxStorageTypeOf(A::Unknown);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Unsupported data type 'Unknown'");
  }
  EXPECT_THROW(KrxAdvancedTypeFromCode(37), EKrxException);
}

TEST(DataTypes, ClientKindsFollowTheTable) {
  using K = TKrxClientFieldKind;
  EXPECT_EQ(KrxClientFieldKindOf(A::Cardinal), K::ftLargeint);
  EXPECT_EQ(KrxClientFieldKindOf(A::AutoIncLargeInt), K::ftLargeint);
  EXPECT_EQ(KrxClientFieldKindOf(A::WideMemo), K::ftBlob);
  EXPECT_EQ(KrxAdvancedTypeFromClientKind(K::ftBCD), A::Double);
  EXPECT_EQ(KrxAdvancedTypeFromClientKind(K::ftOraClob), A::Blob);
  EXPECT_EQ(KrxAdvancedTypeFromClientKind(K::ftWideString), A::FixedWideChar);
  EXPECT_EQ(KrxAdvancedTypeFromClientKind(K::ftAutoInc), A::AutoInc);
  EXPECT_EQ(KrxAdvancedTypeFromClientKind(K::ftMemo), A::Memo);
  EXPECT_THROW(KrxAdvancedTypeFromClientKind(K::ftUnknown), EKrxException);
}

TEST(DataTypes, StorageSizes) {
  EXPECT_EQ(KrxStorageSize(S::FixedString, 10, false), 11u);
  EXPECT_EQ(KrxStorageSize(S::FixedWideString, 10, false), 22u);
  EXPECT_EQ(KrxStorageSize(S::Blob, 0, false), 6u);
  EXPECT_EQ(KrxStorageSize(S::TextBlob, 0, true), 10u);
  EXPECT_EQ(KrxStorageSize(S::Extended, 0, false), 10u);
  EXPECT_EQ(KrxStorageSize(S::Boolean, 0, false), 2u);
  EXPECT_EQ(KrxStorageSize(S::DateTime, 0, false), 8u);
  EXPECT_EQ(KrxStorageSize(S::VarBytes, 7, false), 8u);
}

TEST(DataTypes, PromotionTable) {
  struct Case { S a, b, common; };
  const Case kCases[] = {
      {S::FixedString, S::String, S::String},   {S::String, S::WideString, S::WideString},
      {S::String, S::Int32, S::String},         {S::Double, S::WideString, S::WideString},
      {S::String, S::Date, S::Date},            {S::TextBlob, S::String, S::String},
      {S::Int8, S::Int32, S::Int32},            {S::UInt8, S::Int8, S::Int16},
      {S::UInt32, S::Int32, S::Int64},          {S::UInt16, S::UInt32, S::UInt32},
      {S::Int16, S::Single, S::Single},         {S::Int32, S::Single, S::Double},
      {S::Int64, S::Double, S::Double},         {S::Currency, S::Int32, S::Currency},
      {S::Currency, S::Double, S::Double},      {S::Extended, S::Currency, S::Extended},
      {S::Boolean, S::Int32, S::Int32},         {S::Date, S::Time, S::DateTime},
      {S::Date, S::Int32, S::Date},             {S::DateTime, S::Double, S::DateTime},
      {S::Blob, S::Int32, S::Unknown},          {S::Blob, S::String, S::Unknown},
      {S::Bytes, S::VarBytes, S::VarBytes},     {S::Boolean, S::Date, S::Unknown},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(KrxPromoteStorageTypes(c.a, c.b), c.common) << int(c.a) << "," << int(c.b);
    EXPECT_EQ(KrxPromoteStorageTypes(c.b, c.a), c.common) << int(c.b) << "," << int(c.a);
  }
}

TEST(DataTypes, AdvancedPromotionKeepsOperandTypes) {
  EXPECT_EQ(KrxPromoteAdvancedTypes(A::Integer, A::AutoInc), A::Integer);
  EXPECT_EQ(KrxPromoteAdvancedTypes(A::TimeStamp, A::TimeStamp), A::TimeStamp);
  EXPECT_EQ(KrxPromoteAdvancedTypes(A::Integer, A::String), A::String);
  EXPECT_EQ(KrxPromoteAdvancedTypes(A::FixedChar, A::String), A::String);
  EXPECT_EQ(KrxPromoteAdvancedTypes(A::Integer, A::Double), A::Double);
  EXPECT_EQ(KrxPromoteAdvancedTypes(A::Blob, A::Integer), A::Unknown);
}

}  // namespace
}  // namespace krx
