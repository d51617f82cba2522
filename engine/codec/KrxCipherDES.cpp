#include "KrxCipherDES.h"

#include <cryptopp/misc.h>

#include <cstring>

namespace krx {

namespace {

// FIPS 46 worked example.
const uint8_t kDesKey[8] = {0x13, 0x34, 0x57, 0x79, 0x9b, 0xbc, 0xdf, 0xf1};
const uint8_t kDesPlain[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef};
const uint8_t kDesCipher[8] = {0x85, 0xe8, 0x13, 0x54, 0x0f, 0x0a, 0xb4, 0x05};

void ExchangeMiddle(uint8_t* block24) {
  for (size_t i = 4; i < 8; ++i) std::swap(block24[i], block24[i + 4]);
}

}  // namespace

size_t TKrxCipher1DES::KeyScheduleSize() const {
  return DesKeyCount() * (sizeof(CryptoPP::DES::Encryption) + sizeof(CryptoPP::DES::Decryption));
}

size_t TKrxCipher1DES::DesKeyCount() const { return MaxKeySize() / 8; }

void TKrxCipher1DES::SetDesKey(size_t index, const uint8_t* key8) {
  keys_[index].encryption = std::make_unique<CryptoPP::DES::Encryption>(key8, 8);
  keys_[index].decryption = std::make_unique<CryptoPP::DES::Decryption>(key8, 8);
}

void TKrxCipher1DES::DesEncode(size_t index, uint8_t* block8) const {
  keys_[index].encryption->ProcessBlock(block8);
}

void TKrxCipher1DES::DesDecode(size_t index, uint8_t* block8) const {
  keys_[index].decryption->ProcessBlock(block8);
}

void TKrxCipher1DES::SetupKey(const uint8_t* key, size_t keyLength) {
  std::vector<uint8_t> fitted = KrxFitKey(key, keyLength, {8});
  SetDesKey(0, fitted.data());
  CryptoPP::SecureWipeArray(fitted.data(), fitted.size());
}

void TKrxCipher1DES::WipeKeySchedule() {
  for (DesKey& key : keys_) {
    key.encryption.reset();
    key.decryption.reset();
  }
}

void TKrxCipher1DES::EncodeBlock(uint8_t* block) {
  RequireInitialized();
  DesEncode(0, block);
}

void TKrxCipher1DES::DecodeBlock(uint8_t* block) {
  RequireInitialized();
  DesDecode(0, block);
}

bool TKrxCipher1DES::MatchesDesVector() {
  uint8_t key[24];
  for (size_t i = 0; i < 3; ++i) std::memcpy(key + 8 * i, kDesKey, 8);
  Init(key, MaxKeySize(), nullptr);
  uint8_t block[8];
  std::memcpy(block, kDesPlain, 8);
  TKrxCipher1DES::EncodeBlock(block);
  bool ok = std::memcmp(block, kDesCipher, 8) == 0;
  Protect();
  return ok;
}

bool TKrxCipher1DES::SelfTest() {
  if (!MatchesDesVector()) return false;
  Init(kDesKey, 8, nullptr);
  uint8_t block[8];
  std::memcpy(block, kDesPlain, 8);
  EncodeBlock(block);
  bool ok = std::memcmp(block, kDesCipher, 8) == 0;
  DecodeBlock(block);
  ok = ok && std::memcmp(block, kDesPlain, 8) == 0;
  Protect();
  return ok;
}

void TKrxCipher3DES::SetupKey(const uint8_t* key, size_t keyLength) {
  std::vector<uint8_t> fitted = KrxFitKey(key, keyLength, {24});
  for (size_t i = 0; i < 3; ++i) SetDesKey(i, fitted.data() + 8 * i);
  CryptoPP::SecureWipeArray(fitted.data(), fitted.size());
}

void TKrxCipher3DES::EncodeBlock(uint8_t* block) {
  RequireInitialized();
  DesEncode(0, block);
  DesDecode(1, block);
  DesEncode(2, block);
}

void TKrxCipher3DES::DecodeBlock(uint8_t* block) {
  RequireInitialized();
  DesDecode(2, block);
  DesEncode(1, block);
  DesDecode(0, block);
}

bool TKrxCipher3DES::SelfTest() {
  // With K1 = K2 = K3 the triple cipher is single DES.
  if (!MatchesDesVector()) return false;
  uint8_t key[24];
  for (size_t i = 0; i < 3; ++i) std::memcpy(key + 8 * i, kDesKey, 8);
  Init(key, sizeof key, nullptr);
  uint8_t block[8];
  std::memcpy(block, kDesPlain, 8);
  EncodeBlock(block);
  bool ok = std::memcmp(block, kDesCipher, 8) == 0;
  DecodeBlock(block);
  ok = ok && std::memcmp(block, kDesPlain, 8) == 0;
  Protect();
  return ok;
}

void TKrxCipher3TDES::EncodeBlock(uint8_t* block) {
  RequireInitialized();
  for (size_t i = 0; i < 3; ++i) DesEncode(0, block + 8 * i);
  ExchangeMiddle(block);
  for (size_t i = 0; i < 3; ++i) DesDecode(1, block + 8 * i);
  ExchangeMiddle(block);
  for (size_t i = 0; i < 3; ++i) DesEncode(2, block + 8 * i);
}

void TKrxCipher3TDES::DecodeBlock(uint8_t* block) {
  RequireInitialized();
  for (size_t i = 0; i < 3; ++i) DesDecode(2, block + 8 * i);
  ExchangeMiddle(block);
  for (size_t i = 0; i < 3; ++i) DesEncode(1, block + 8 * i);
  ExchangeMiddle(block);
  for (size_t i = 0; i < 3; ++i) DesDecode(0, block + 8 * i);
}

bool TKrxCipher3TDES::SelfTest() {
  // The DES primitive against its vector, then a 24-byte round trip.
  if (!MatchesDesVector()) return false;
  uint8_t key[24];
  for (size_t i = 0; i < 24; ++i) key[i] = static_cast<uint8_t>(i * 7 + 1);
  Init(key, sizeof key, nullptr);
  uint8_t block[24];
  uint8_t original[24];
  for (size_t i = 0; i < 24; ++i) original[i] = block[i] = static_cast<uint8_t>(i);
  EncodeBlock(block);
  bool ok = std::memcmp(block, original, sizeof block) != 0;
  DecodeBlock(block);
  ok = ok && std::memcmp(block, original, sizeof block) == 0;
  Protect();
  return ok;
}

}  // namespace krx
