#include "KrxCipherBlowfish.h"

#include <numeric>

namespace krx {

namespace {

std::vector<size_t> BlowfishKeyLengths() {
  std::vector<size_t> lengths(56 - 4 + 1);
  std::iota(lengths.begin(), lengths.end(), size_t{4});
  return lengths;
}

}  // namespace

TKrxCipherBlowfish::TKrxCipherBlowfish() : TKrxCipherBlock(56, BlowfishKeyLengths()) {}

bool TKrxCipherBlowfish::SelfTest() {
  // First entry of the published Blowfish ECB vectors: zero key, zero block.
  static const uint8_t kKey[8] = {};
  static const uint8_t kPlain[8] = {};
  static const uint8_t kCipher[8] = {0x4e, 0xf9, 0x97, 0x45, 0x61, 0x98, 0xdd, 0x78};
  return MatchesVector(kKey, sizeof kKey, kPlain, kCipher);
}

}  // namespace krx
