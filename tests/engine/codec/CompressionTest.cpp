// Buffer compression: formats, failures, algorithm names.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "KrxCompression.h"

namespace krx {
namespace {

std::vector<uint8_t> Sample(size_t n) {
  const std::string text = "电缆 YJV 3x120+1x70 ";
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(text[i % text.size()] + i / 1000);
  return v;
}

struct AlgorithmCase {
  uint8_t algorithm;
  uint8_t mode;
};

class CompressionRoundTrip : public ::testing::TestWithParam<AlgorithmCase> {};

TEST_P(CompressionRoundTrip, DecompressesToTheSameBytes) {
  for (size_t n : {size_t{1}, size_t{300}, size_t{250000}}) {
    std::vector<uint8_t> in = Sample(n), packed, out;
    ASSERT_TRUE(KrxCompressBuffer(GetParam().algorithm, GetParam().mode, in.data(), n, packed));
    ASSERT_TRUE(KrxDecompressBuffer(GetParam().algorithm, packed.data(), packed.size(), n, out));
    EXPECT_EQ(out, in);
    // A truncated stream is refused.
    EXPECT_FALSE(KrxDecompressBuffer(GetParam().algorithm, packed.data(), packed.size() - 1, n, out));
    EXPECT_TRUE(out.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(EveryAlgorithm, CompressionRoundTrip,
                         ::testing::Values(AlgorithmCase{1, 1}, AlgorithmCase{1, 9}, AlgorithmCase{2, 1},
                                           AlgorithmCase{2, 9}, AlgorithmCase{3, 1}, AlgorithmCase{3, 5}));

TEST(CompressionTest, PPMBufferStartsWithItsModelHeader) {
  std::vector<uint8_t> in = Sample(2000), packed, out;
  ASSERT_TRUE(KrxCompressBuffer(3, 5, in.data(), in.size(), packed));
  ASSERT_GE(packed.size(), 4u);
  EXPECT_EQ(packed[0], 0x56);
  EXPECT_EQ(packed[1], 0x61);
  EXPECT_EQ(packed[2], 0x00);
  EXPECT_EQ(packed[3], 0x00);
  packed[1] = 0x71;  // variant tag 7
  EXPECT_FALSE(KrxDecompressBuffer(3, packed.data(), packed.size(), in.size(), out));
}

TEST(CompressionTest, StreamsAreTheStandardFormats) {
  std::vector<uint8_t> in = Sample(1000), zlib, bzip;
  ASSERT_TRUE(KrxCompressBuffer(1, 1, in.data(), in.size(), zlib));
  EXPECT_EQ(zlib[0], 0x78);
  EXPECT_EQ(zlib[1], 0x01);  // level 1
  ASSERT_TRUE(KrxCompressBuffer(2, 3, in.data(), in.size(), bzip));
  EXPECT_EQ(std::string(bzip.begin(), bzip.begin() + 4), "BZh3");
}

TEST(CompressionTest, EmptyInputAlgorithmNoneAndUnknownFail) {
  std::vector<uint8_t> in = Sample(10), out{1, 2, 3};
  EXPECT_FALSE(KrxCompressBuffer(1, 1, in.data(), 0, out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(KrxCompressBuffer(0, 1, in.data(), in.size(), out));
  EXPECT_FALSE(KrxCompressBuffer(9, 1, in.data(), in.size(), out));
  EXPECT_FALSE(KrxDecompressBuffer(1, in.data(), in.size(), 10, out));  // not a zlib stream
}

TEST(CompressionTest, NamesAndCodes) {
  EXPECT_STREQ(KrxCompressionAlgorithmName(0), "NONE");
  EXPECT_STREQ(KrxCompressionAlgorithmName(1), "ZLIB");
  EXPECT_STREQ(KrxCompressionAlgorithmName(2), "BZIP");
  EXPECT_STREQ(KrxCompressionAlgorithmName(3), "PPM");
  EXPECT_EQ(KrxCompressionAlgorithmCode("zlib"), 1);
  EXPECT_EQ(KrxCompressionAlgorithmCode("Bzip"), 2);
  EXPECT_EQ(KrxCompressionAlgorithmCode("ppm"), 3);
  EXPECT_EQ(KrxCompressionAlgorithmCode("lzma"), 0);
  EXPECT_EQ(KrxCompressionOutputEstimate(1000), 1280u);  // 1000 + 100 + 12 -> 1280
  EXPECT_EQ(KrxCompressionOutputEstimate(0), 256u);
}

}  // namespace
}  // namespace krx
