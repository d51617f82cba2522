#include <gtest/gtest.h>

#include <cmath>

#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxVariant.h"

namespace krx {
namespace {

using S = TKrxStorageType;

TEST(Variant, EmptyTextIsNull) {
  EXPECT_TRUE(TKrxVariant::FromString("").IsNull());
  EXPECT_TRUE(TKrxVariant::FromWideString(u"").IsNull());
  EXPECT_TRUE(TKrxVariant::FromBytes("", S::Blob).IsNull());
  EXPECT_FALSE(TKrxVariant::FromString("a").IsNull());
  TKrxVariant v;
  EXPECT_TRUE(v.IsNull());
  EXPECT_EQ(v.Type(), S::Int32);
}

TEST(Variant, DayNumbersCountFromYearOne) {
  EXPECT_EQ(KrxEncodeDate(1, 1, 1), 1);
  EXPECT_EQ(KrxEncodeDate(1899, 12, 30), kKrxDateDelta);
  EXPECT_EQ(KrxEncodeDate(2024, 2, 30), 0);
  int y, m, d;
  KrxDecodeDate(KrxEncodeDate(2024, 1, 5), &y, &m, &d);
  EXPECT_EQ((y * 100 + m) * 100 + d, 20240105);
  // 2024-01-05 12:00 as a date-time value.
  TKrxTimeStamp ts = KrxTimeStampFromDateTime(45296.5);
  EXPECT_EQ(ts.date, KrxEncodeDate(2024, 1, 5));
  EXPECT_EQ(ts.time, 12 * 3600 * 1000);
  EXPECT_DOUBLE_EQ(KrxDateTimeFromTimeStamp(ts), 45296.5);
}

TEST(Variant, FieldEncodingsAreLittleEndianAndZeroTerminated) {
  uint8_t buf[22];
  TKrxVariant::FromInt32(0x01020304).WriteField(buf, 4);
  EXPECT_EQ(buf[0], 0x04);
  EXPECT_EQ(buf[3], 0x01);

  TKrxVariant::FromString("abcdefghijKL").WriteField(buf, 11);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf)), "abcdefghij");

  TKrxVariant::FromWideString(u"\u4e2dA").WriteField(buf, 22);
  EXPECT_EQ(buf[0], 0x2d);
  EXPECT_EQ(buf[1], 0x4e);
  EXPECT_EQ(buf[2], 'A');
  EXPECT_EQ(buf[4], 0);

  TKrxVariant::FromTimeStamp({KrxEncodeDate(2024, 1, 5), 1000}).WriteField(buf, 8);
  TKrxVariant back = TKrxVariant::ReadField(S::DateTime, buf, 8);
  EXPECT_EQ(back.AsTimeStamp(), (TKrxTimeStamp{KrxEncodeDate(2024, 1, 5), 1000}));

  TKrxVariant::FromBoolean(true).WriteField(buf, 2);
  EXPECT_EQ(buf[0], 1);
  EXPECT_EQ(buf[1], 0);
}

TEST(Variant, NationalTextIsNotCutInsideACharacter) {
  std::string gb = KrxUtf8ToGb("电缆");  // two GBK characters, 4 bytes
  ASSERT_EQ(gb.size(), 4u);
  uint8_t buf[4];
  TKrxVariant::FromString(gb).WriteField(buf, 4);  // room for 3 bytes
  EXPECT_EQ(TKrxVariant::ReadField(S::String, buf, 4).AsUtf8(), "电");
}

TEST(Variant, ExtendedRoundTripsThroughTenBytes) {
  const long double kValues[] = {0.0L, 1.0L, -2.5L, 3.14159265358979323846L, 1e300L, 1e-300L};
  for (long double v : kValues) {
    uint8_t buf[10];
    KrxPutExtended(buf, 0, v);
    EXPECT_EQ(KrxGetExtended(buf, 0), v);
  }
  uint8_t one[10];
  KrxPutExtended(one, 0, 1.0L);
  EXPECT_EQ(one[7], 0x80);  // explicit integer bit
  EXPECT_EQ(one[8], 0xFF);  // exponent 16383
  EXPECT_EQ(one[9], 0x3F);
}

TEST(Variant, StoredFormRoundTrips) {
  const TKrxVariant kValues[] = {
      TKrxVariant::Null(S::Date),
      TKrxVariant::FromInt32(-7),
      TKrxVariant::FromInt64(1LL << 40),
      TKrxVariant::FromDouble(2.25),
      TKrxVariant::FromCurrency(10.5),
      TKrxVariant::FromExtended(1.5L),
      TKrxVariant::FromBoolean(true),
      TKrxVariant::FromString(KrxUtf8ToGb("型号")),
      TKrxVariant::FromWideString(u"wide"),
      TKrxVariant::FromBytes("\x01\x02", S::Blob),
      TKrxVariant::FromDate(KrxEncodeDate(2000, 2, 29)),
      TKrxVariant::FromTime(1234),
      TKrxVariant::FromTimeStamp({5, 6}),
  };
  std::vector<uint8_t> out;
  for (const TKrxVariant& v : kValues) v.AppendStored(out);
  size_t offset = 0;
  for (const TKrxVariant& v : kValues) {
    TKrxVariant back = TKrxVariant::ReadStored(out.data(), out.size(), offset);
    EXPECT_TRUE(back.SameAs(v)) << v.AsString();
  }
  EXPECT_EQ(offset, out.size());
  // u8 type, u8 null, i32 length, bytes with terminator.
  std::vector<uint8_t> one;
  TKrxVariant::FromString("ab").AppendStored(one);
  EXPECT_EQ(one, (std::vector<uint8_t>{3, 0, 3, 0, 0, 0, 'a', 'b', 0}));
  size_t cut = 0;
  EXPECT_THROW(TKrxVariant::ReadStored(one.data(), 5, cut), EKrxException);
}

TEST(Variant, ConversionsBetweenKinds) {
  EXPECT_EQ(TKrxVariant::FromString("  42 ").AsInt64(), 42);
  EXPECT_DOUBLE_EQ(TKrxVariant::FromString("1.5e2").AsDouble(), 150.0);
  EXPECT_EQ(TKrxVariant::FromDouble(0.1).AsString(), "0.1");
  EXPECT_EQ(TKrxVariant::FromDouble(100).AsString(), "100");
  EXPECT_EQ(TKrxVariant::FromString("2024-01-05").AsDate(), KrxEncodeDate(2024, 1, 5));
  EXPECT_EQ(TKrxVariant::FromDate(KrxEncodeDate(2024, 1, 5)).AsString(), "2024-01-05");
  EXPECT_EQ(TKrxVariant::FromString("2024-01-05 08:30:00").AsTime(), (8 * 60 + 30) * 60000);
  EXPECT_EQ(TKrxVariant::FromInt32(7).ConvertedTo(S::String).StringValue(), "7");
  EXPECT_EQ(TKrxVariant::FromString(KrxUtf8ToGb("电")).AsWideString(), u"\u7535");
  TKrxVariant null = TKrxVariant::Null(S::Int32);
  null.ConvertTo(S::String);
  EXPECT_TRUE(null.IsNull());
  EXPECT_EQ(null.Type(), S::String);
  try {
    TKrxVariant::FromString("abc").AsInt64();
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot convert value 'abc' of type STRING to type LARGEINT");
  }
  EXPECT_THROW(TKrxVariant::Null(S::Int32).AsInt64(), EKrxException);
}

TEST(Variant, CompareAfterPromotion) {
  EXPECT_LT(TKrxVariant::Compare(TKrxVariant::FromInt32(2), TKrxVariant::FromDouble(2.5)), 0);
  EXPECT_EQ(TKrxVariant::Compare(TKrxVariant::FromInt32(10), TKrxVariant::FromString("10")), 0);
  EXPECT_EQ(TKrxVariant::Compare(TKrxVariant::FromDate(KrxEncodeDate(2024, 1, 5)),
                                 TKrxVariant::FromString("2024-01-05")),
            0);
  EXPECT_GT(TKrxVariant::Compare(TKrxVariant::FromBoolean(true), TKrxVariant::FromBoolean(false)), 0);
  EXPECT_EQ(TKrxVariant::Compare(TKrxVariant::FromString("abc"), TKrxVariant::FromString("ABC"), true), 0);
  EXPECT_LT(TKrxVariant::Compare(TKrxVariant::FromString("abc"), TKrxVariant::FromString("ABC")), 0);
  try {
    TKrxVariant::Compare(TKrxVariant::FromBytes("x", S::Blob), TKrxVariant::FromInt32(1));
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot compare Incompatible DataTypes: 'BLOB' and 'INTEGER'");
    EXPECT_EQ(e.NativeError(), 30044);
  }
  try {
    TKrxVariant::Compare(TKrxVariant(), TKrxVariant::FromInt32(1));
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Value is Null");
  }
}

}  // namespace
}  // namespace krx
