#include <gtest/gtest.h>

#include <vector>

#include "KrxCRC32.h"

namespace krx {
namespace {

TEST(CRCTest, RegisterStartsAtZeroWithoutFinalComplement) {
  const uint8_t abc[] = {'a', 'b', 'c'};
  EXPECT_EQ(KrxCRC32(0, abc, 3), 0xCA6598D0u);
  std::vector<uint8_t> zeros(256, 0);
  EXPECT_EQ(KrxCRC32(0, zeros.data(), zeros.size()), 0u);
  EXPECT_EQ(KrxCRC32(0, nullptr, 0), 0u);
  // The register carries over: two halves give the checksum of the whole.
  uint32_t first = KrxCRC32(0, abc, 1);
  EXPECT_EQ(KrxCRC32(first, abc + 1, 2), 0xCA6598D0u);
}

}  // namespace
}  // namespace krx
