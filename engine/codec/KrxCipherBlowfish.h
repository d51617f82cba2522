// Blowfish: 8-byte block, keys of 4 to 56 bytes (shorter ones zero padded).
#pragma once

#include <cryptopp/blowfish.h>

#include "KrxCipherBlock.h"

namespace krx {

class TKrxCipherBlowfish : public TKrxCipherBlock<CryptoPP::Blowfish> {
 public:
  TKrxCipherBlowfish();
  const char* ClassName() const override { return "TKrxCipherBlowfish"; }
  bool SelfTest() override;
};

}  // namespace krx
