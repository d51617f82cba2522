#include "KrxCipherTwofish.h"

namespace krx {

bool TKrxCipherTwofish::SelfTest() {
  // The designers' first 128-bit vector: zero key, zero block.
  static const uint8_t kKey[16] = {};
  static const uint8_t kPlain[16] = {};
  static const uint8_t kCipher[16] = {0x9f, 0x58, 0x9f, 0x5c, 0xf6, 0x12, 0x2c, 0x32,
                                      0xb6, 0xbf, 0xec, 0x2f, 0x2a, 0xe8, 0xc3, 0x5a};
  return MatchesVector(kKey, sizeof kKey, kPlain, kCipher);
}

}  // namespace krx
