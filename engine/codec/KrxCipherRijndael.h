// AES: Rijndael with a 16-byte block; 10 rounds for keys up to 16 bytes, 12
// up to 24, 14 above (shorter keys are zero padded to 16, 24 or 32).
#pragma once

#include <cryptopp/rijndael.h>

#include "KrxCipherBlock.h"

namespace krx {

class TKrxCipherRijndael : public TKrxCipherBlock<CryptoPP::Rijndael> {
 public:
  TKrxCipherRijndael() : TKrxCipherBlock(32, {16, 24, 32}) {}
  const char* ClassName() const override { return "TKrxCipherRijndael"; }
  bool SelfTest() override;
};

}  // namespace krx
