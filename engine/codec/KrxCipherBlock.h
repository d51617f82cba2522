// A cipher whose block primitive is one Crypto++ block cipher: the library
// does the rounds, TKrxCipher the mode, keys and wiping.
#pragma once

#include <cryptopp/misc.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "KrxCipher.h"

namespace krx {

template <typename Algorithm>
class TKrxCipherBlock : public TKrxCipher {
 public:
  size_t KeyScheduleSize() const override {
    return sizeof(typename Algorithm::Encryption) + sizeof(typename Algorithm::Decryption);
  }

  void EncodeBlock(uint8_t* block) override {
    RequireInitialized();
    encryption_->ProcessBlock(block);
  }

  void DecodeBlock(uint8_t* block) override {
    RequireInitialized();
    decryption_->ProcessBlock(block);
  }

 protected:
  // keyLengths: the lengths the algorithm accepts, ascending.
  TKrxCipherBlock(size_t maxKeySize, std::vector<size_t> keyLengths)
      : TKrxCipher(Algorithm::BLOCKSIZE, maxKeySize), keyLengths_(std::move(keyLengths)) {}

  void SetupKey(const uint8_t* key, size_t keyLength) override {
    std::vector<uint8_t> fitted = KrxFitKey(key, keyLength, keyLengths_);
    encryption_ = std::make_unique<typename Algorithm::Encryption>(fitted.data(), fitted.size());
    decryption_ = std::make_unique<typename Algorithm::Decryption>(fitted.data(), fitted.size());
    CryptoPP::SecureWipeArray(fitted.data(), fitted.size());
  }

  void WipeKeySchedule() override {
    encryption_.reset();
    decryption_.reset();
  }

  // Key-answer check shared by the self tests: key, plain, expected cipher
  // block; leaves the object unkeyed.
  bool MatchesVector(const uint8_t* key, size_t keyLength, const uint8_t* plain,
                     const uint8_t* expected) {
    Init(key, keyLength, nullptr);
    uint8_t* work = WorkBuffer();
    std::memcpy(work, plain, BlockSize());
    EncodeBlock(work);
    bool ok = std::memcmp(work, expected, BlockSize()) == 0;
    DecodeBlock(work);
    ok = ok && std::memcmp(work, plain, BlockSize()) == 0;
    Protect();
    return ok;
  }

 private:
  std::vector<size_t> keyLengths_;
  std::unique_ptr<typename Algorithm::Encryption> encryption_;
  std::unique_ptr<typename Algorithm::Decryption> decryption_;
};

}  // namespace krx
