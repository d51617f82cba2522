#include "KrxCipherSquare.h"

#include <cstring>

namespace krx {

bool TKrxCipherSquare::SelfTest() {
  // No vector at hand: a block must change under the cipher and come back.
  static const uint8_t kKey[16] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07,
                                   0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f};
  Init(kKey, sizeof kKey, nullptr);
  uint8_t block[16] = {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77,
                       0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
  uint8_t original[16];
  std::memcpy(original, block, sizeof block);
  EncodeBlock(block);
  bool ok = std::memcmp(block, original, sizeof block) != 0;
  DecodeBlock(block);
  ok = ok && std::memcmp(block, original, sizeof block) == 0;
  Protect();
  return ok;
}

}  // namespace krx
