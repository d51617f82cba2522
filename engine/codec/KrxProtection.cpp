#include "KrxProtection.h"

#include <cryptopp/misc.h>
#include <cryptopp/osrng.h>

#include <cstring>
#include <vector>

#include "KrxCRC32.h"
#include "KrxCipher.h"
#include "KrxCipherBlowfish.h"
#include "KrxCipherDES.h"
#include "KrxCipherRijndael.h"
#include "KrxCipherSquare.h"
#include "KrxCipherTwofish.h"

namespace krx {

namespace {

template <typename Cipher>
std::unique_ptr<TKrxCipher> Make(TKrxHashClass hashClass) {
  auto cipher = std::make_unique<Cipher>();
  cipher->SetHashClass(hashClass);
  return cipher;
}

// One cipher per call, keyed from the password with a vector of 0xFF.
bool CipherBytes(bool encipher, uint8_t cipherID, std::string_view password, uint8_t* data,
                 size_t count) {
  if (cipherID > kKrxLastCipherID) return true;
  try {
    std::unique_ptr<TKrxCipher> cipher = KrxCreateCipher(cipherID);
    std::vector<uint8_t> iv(cipher->BlockSize(), 0xFF);
    cipher->InitKey(password, iv.data());
    if (encipher) {
      cipher->EncodeBuffer(data, data, count);
    } else {
      cipher->DecodeBuffer(data, data, count);
    }
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace

std::unique_ptr<TKrxCipher> KrxCreateCipher(uint8_t cipherID) {
  switch (cipherID) {
    case 0: return Make<TKrxCipherRijndael>(&TKrxHashRipeMD128::Create);
    case 1: return Make<TKrxCipherRijndael>(&TKrxHashRipeMD256::Create);
    case 2: return Make<TKrxCipher1DES>(&TKrxHashRipeMD128::Create);
    case 3: return Make<TKrxCipher3TDES>(&TKrxHashRipeMD128::Create);
    case 4: return Make<TKrxCipherBlowfish>(&TKrxHashRipeMD256::Create);
    case 5: return Make<TKrxCipherTwofish>(&TKrxHashRipeMD128::Create);
    case 6: return Make<TKrxCipherTwofish>(&TKrxHashRipeMD256::Create);
    case 7: return Make<TKrxCipherSquare>(&TKrxHashRipeMD128::Create);
    default: return nullptr;
  }
}

bool KrxEncipher(uint8_t cipherID, std::string_view password, uint8_t* data, size_t count) {
  return CipherBytes(true, cipherID, password, data, count);
}

bool KrxDecipher(uint8_t cipherID, std::string_view password, uint8_t* data, size_t count) {
  return CipherBytes(false, cipherID, password, data, count);
}

bool KrxMakePasswordCheck(uint8_t cipherID, std::string_view password, uint8_t* block,
                          uint32_t& plainCrc) {
  try {
    CryptoPP::AutoSeededRandomPool random;
    for (size_t i = 0; i < kKrxPasswordCheckSize; ++i) {
      block[i] = static_cast<uint8_t>(random.GenerateWord32(0, 254));
    }
  } catch (...) {
    return false;
  }
  plainCrc = KrxCRC32(0, block, kKrxPasswordCheckSize);
  return KrxEncipher(cipherID, password, block, kKrxPasswordCheckSize);
}

bool KrxPasswordCheckMatches(uint8_t cipherID, std::string_view password, const uint8_t* block,
                             uint32_t storedCrc) {
  uint8_t copy[kKrxPasswordCheckSize];
  std::memcpy(copy, block, sizeof copy);
  bool matches = KrxDecipher(cipherID, password, copy, sizeof copy) &&
                 KrxCRC32(0, copy, sizeof copy) == storedCrc;
  CryptoPP::SecureWipeArray(copy, sizeof copy);
  return matches;
}

}  // namespace krx
