// Twofish: 16-byte block, keys of 16, 24 or 32 bytes (shorter ones zero padded).
#pragma once

#include <cryptopp/twofish.h>

#include "KrxCipherBlock.h"

namespace krx {

class TKrxCipherTwofish : public TKrxCipherBlock<CryptoPP::Twofish> {
 public:
  TKrxCipherTwofish() : TKrxCipherBlock(32, {16, 24, 32}) {}
  const char* ClassName() const override { return "TKrxCipherTwofish"; }
  bool SelfTest() override;
};

}  // namespace krx
