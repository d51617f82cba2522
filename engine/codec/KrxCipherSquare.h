// Square: 16-byte block, 16-byte key (shorter keys zero padded), 8 rounds.
#pragma once

#include <cryptopp/square.h>

#include "KrxCipherBlock.h"

namespace krx {

class TKrxCipherSquare : public TKrxCipherBlock<CryptoPP::Square> {
 public:
  TKrxCipherSquare() : TKrxCipherBlock(16, {16}) {}
  const char* ClassName() const override { return "TKrxCipherSquare"; }
  bool SelfTest() override;
};

}  // namespace krx
