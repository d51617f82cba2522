// The DES family.
//   TKrxCipher1DES   DES, 8-byte block, 8-byte key.
//   TKrxCipher3DES   triple DES on 8-byte blocks: key bytes 0-7, 8-15, 16-23
//                    are K1, K2, K3; E = E_K3(D_K2(E_K1(x))).
//   TKrxCipher3TDES  triple DES over 24-byte blocks A|B|C:
//                    E_K1 on A, B, C; exchange bytes 4-7 with 8-11;
//                    D_K2 on A, B, C; exchange again; E_K3 on A, B, C.
//                    Deciphering runs it backwards.
// Keys shorter than 24 bytes are zero padded, so a 16-byte key gives a K3 of
// zero bytes.
#pragma once

#include <cryptopp/des.h>

#include <array>
#include <memory>

#include "KrxCipher.h"

namespace krx {

class TKrxCipher1DES : public TKrxCipher {
 public:
  TKrxCipher1DES() : TKrxCipher1DES(8, 8) {}
  const char* ClassName() const override { return "TKrxCipher1DES"; }
  size_t KeyScheduleSize() const override;
  bool SelfTest() override;
  void EncodeBlock(uint8_t* block) override;
  void DecodeBlock(uint8_t* block) override;

 protected:
  TKrxCipher1DES(size_t blockSize, size_t maxKeySize) : TKrxCipher(blockSize, maxKeySize) {}

  void SetupKey(const uint8_t* key, size_t keyLength) override;
  void WipeKeySchedule() override;

  // Schedules DES key number index (0..2) from 8 bytes.
  void SetDesKey(size_t index, const uint8_t* key8);
  void DesEncode(size_t index, uint8_t* block8) const;
  void DesDecode(size_t index, uint8_t* block8) const;
  size_t DesKeyCount() const;

  // Enciphers DES's published example with every key slot set to the same
  // key (triple DES then equals single DES) and checks the round trip.
  bool MatchesDesVector();

 private:
  struct DesKey {
    std::unique_ptr<CryptoPP::DES::Encryption> encryption;
    std::unique_ptr<CryptoPP::DES::Decryption> decryption;
  };
  std::array<DesKey, 3> keys_;
};

class TKrxCipher3DES : public TKrxCipher1DES {
 public:
  TKrxCipher3DES() : TKrxCipher3DES(8) {}
  const char* ClassName() const override { return "TKrxCipher3DES"; }
  bool SelfTest() override;
  void EncodeBlock(uint8_t* block) override;
  void DecodeBlock(uint8_t* block) override;

 protected:
  explicit TKrxCipher3DES(size_t blockSize) : TKrxCipher1DES(blockSize, 24) {}
  void SetupKey(const uint8_t* key, size_t keyLength) override;
};

class TKrxCipher3TDES : public TKrxCipher3DES {
 public:
  TKrxCipher3TDES() : TKrxCipher3DES(24) {}
  const char* ClassName() const override { return "TKrxCipher3TDES"; }
  bool SelfTest() override;
  void EncodeBlock(uint8_t* block) override;
  void DecodeBlock(uint8_t* block) override;
};

}  // namespace krx
