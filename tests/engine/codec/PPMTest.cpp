#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "KrxPPM.h"
#include "KrxPPMRangeCoder.h"

namespace krx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(count);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

Bytes Text(size_t count) {
  static const char* kWords[] = {"电缆", "YJV", "3x95+1x50", "销售单", "the ", "quick ", "brown ", "fox ",
                                 "0.6/1kV ", "铜芯", "\r\n", "2026-12-11 ", "单价 ", "12.50 "};
  std::mt19937 random(7);
  Bytes bytes;
  while (bytes.size() < count) {
    const char* word = kWords[random() % (sizeof kWords / sizeof kWords[0])];
    bytes.insert(bytes.end(), word, word + std::strlen(word));
  }
  bytes.resize(count);
  return bytes;
}

// A binary record layout: mostly small integers and repeated structure.
Bytes Records(size_t count) {
  Bytes bytes;
  for (uint32_t id = 0; bytes.size() < count; ++id) {
    const uint8_t record[16] = {static_cast<uint8_t>(id), static_cast<uint8_t>(id >> 8), 0, 0, 1, 0, 0, 0,
                                static_cast<uint8_t>(id % 7), 0, 0x40, 0x59, 0, 0, 0, 0};
    bytes.insert(bytes.end(), record, record + 16);
  }
  bytes.resize(count);
  return bytes;
}

void ExpectRoundTrip(const Bytes& data, int mode, const char* what) {
  Bytes packed;
  ASSERT_TRUE(PPMCompress(data.data(), data.size(), mode, packed)) << what << " mode " << mode;
  EXPECT_LE(packed.size(), data.size() + data.size() / 20 + 50) << what << " mode " << mode;
  Bytes unpacked;
  ASSERT_TRUE(PPMDecompress(packed.data(), packed.size(), data.size(), unpacked)) << what << " mode " << mode;
  ASSERT_EQ(unpacked.size(), data.size());
  EXPECT_TRUE(unpacked == data) << what << " mode " << mode;
}

TEST(KrxPPM, RoundTripsEveryKindOfDataInEveryMode) {
  struct Sample {
    const char* name;
    Bytes data;
  };
  const Sample kSamples[] = {
      {"empty", {}},
      {"one byte", {0x41}},
      {"text", Text(8000)},
      {"records", Records(8000)},
      {"random", RandomBytes(5000, 1)},
      {"one symbol repeated", Bytes(30000, 0xAB)},
      {"all byte values", [] {
         Bytes b(256 * 4);
         for (size_t i = 0; i < b.size(); ++i) b[i] = static_cast<uint8_t>(i);
         return b;
       }()},
  };
  for (int mode = 1; mode <= 9; ++mode) {
    for (const Sample& sample : kSamples) ExpectRoundTrip(sample.data, mode, sample.name);
  }
}

TEST(KrxPPM, CompressesRedundantData) {
  const Bytes text = Text(50000);
  Bytes packed;
  ASSERT_TRUE(PPMCompress(text.data(), text.size(), 5, packed));
  EXPECT_LT(packed.size(), text.size() / 4);
  const Bytes same(100000, 'x');
  ASSERT_TRUE(PPMCompress(same.data(), same.size(), 1, packed));
  EXPECT_LT(packed.size(), 200u);
}

// With a 2 MB model, 400 kB of text and noise fill the memory: the model
// restarts and the allocator glues its free blocks on the way.
TEST(KrxPPM, LargeInputRestartsTheModelAndStillRoundTrips) {
  Bytes mixed = Text(300000);
  const Bytes noise = RandomBytes(100000, 9);
  mixed.insert(mixed.begin() + 150000, noise.begin(), noise.end());
  ExpectRoundTrip(mixed, 1, "mixed 400 kB, 2 MB model");
}

TEST(KrxPPM, HeaderCarriesOrderMemoryAndVariant) {
  struct Case {
    int mode;
    uint8_t header[4];
  };
  const Case kCases[] = {
      {1, {0x11, 0x60, 0, 0}},  // order 2, 2 MB
      {5, {0x56, 0x61, 0, 0}},  // order 7, 22 MB
      {9, {0x3F, 0x66, 0, 0}},  // order 16, 100 MB
  };
  const Bytes text = Text(100);
  for (const Case& c : kCases) {
    Bytes packed;
    ASSERT_TRUE(PPMCompress(text.data(), text.size(), c.mode, packed));
    ASSERT_GE(packed.size(), 8u);
    EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 4), Bytes(c.header, c.header + 4)) << "mode " << c.mode;
  }
}

TEST(KrxPPM, RefusesAnotherVariantTag) {
  const Bytes text = Text(1000);
  Bytes packed;
  ASSERT_TRUE(PPMCompress(text.data(), text.size(), 5, packed));
  Bytes unpacked;
  packed[1] = static_cast<uint8_t>((packed[1] & 0x0F) | 0x70);  // tag 7
  EXPECT_FALSE(PPMDecompress(packed.data(), packed.size(), text.size(), unpacked));
  EXPECT_TRUE(unpacked.empty());
  packed[1] = static_cast<uint8_t>((packed[1] & 0x0F) | 0x60);
  EXPECT_TRUE(PPMDecompress(packed.data(), packed.size(), text.size(), unpacked));
}

// The model keeps even random bytes within count + count/20 + 50, so the
// limit is shown on the coder that enforces it: intervals of 1/4096 cost
// 12 bits each and soon pass a limit of 20 bytes.
TEST(KrxPPM, CoderStopsAtItsOutputLimit) {
  Bytes out;
  TKrxPPMRangeEncoder coder(out, 20);
  for (int i = 0; i < 100; ++i) coder.Encode(static_cast<uint32_t>(i % 4096), 1, 4096);
  coder.Flush();
  EXPECT_FALSE(coder.Ok());
  EXPECT_EQ(out.size(), 20u);

  Bytes roomy;
  TKrxPPMRangeEncoder enough(roomy, 200);
  for (int i = 0; i < 100; ++i) enough.Encode(static_cast<uint32_t>(i % 4096), 1, 4096);
  enough.Flush();
  EXPECT_TRUE(enough.Ok());
  TKrxPPMRangeDecoder decoder(roomy.data(), roomy.size());
  for (int i = 0; i < 100; ++i) {
    const uint32_t count = decoder.GetThreshold(4096);
    ASSERT_EQ(count, static_cast<uint32_t>(i % 4096));
    decoder.Decode(count, 1);
  }
  EXPECT_TRUE(decoder.Ok());
}

TEST(KrxPPM, IncompressibleDataStaysWithinTheOutputArea) {
  for (size_t count : {1u, 10u, 100u, 1000u, 20000u}) {
    const Bytes noise = RandomBytes(count, static_cast<uint32_t>(count));
    ExpectRoundTrip(noise, 9, "noise");
  }
}

TEST(KrxPPM, RefusesTruncatedOrShortInput) {
  const Bytes text = Text(5000);
  Bytes packed;
  ASSERT_TRUE(PPMCompress(text.data(), text.size(), 3, packed));
  Bytes unpacked;
  EXPECT_FALSE(PPMDecompress(packed.data(), packed.size() - 3, text.size(), unpacked));
  EXPECT_FALSE(PPMDecompress(packed.data(), 3, 0, unpacked));
  // Asking for more than was stored runs off the end of the input.
  EXPECT_FALSE(PPMDecompress(packed.data(), packed.size(), text.size() + 4000, unpacked));
}

TEST(KrxPPM, CorruptBodyNeverCrashesAndNeverOverrunsTheExpectedSize) {
  const Bytes text = Text(3000);
  Bytes packed;
  ASSERT_TRUE(PPMCompress(text.data(), text.size(), 4, packed));
  std::mt19937 random(5);
  for (int trial = 0; trial < 50; ++trial) {
    Bytes broken = packed;
    broken[4 + random() % (broken.size() - 4)] ^= static_cast<uint8_t>(1 + random() % 255);
    Bytes unpacked;
    if (PPMDecompress(broken.data(), broken.size(), text.size(), unpacked)) {
      EXPECT_EQ(unpacked.size(), text.size());
    } else {
      EXPECT_TRUE(unpacked.empty());
    }
  }
}

}  // namespace
}  // namespace krx
