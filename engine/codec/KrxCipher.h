// Block cipher base: key setup, the feedback mode and the wiping of secrets.
//
// Mode, with a feedback register F of one block of n bytes that starts as
// the initial vector:
//     full block P:        C = E(P xor F);            F = C xor F
//     final m < n bytes:   T = E(F); C = P xor T[0..m); F = T xor F
// and deciphering
//     full block C:        P = D(C) xor F;            F = C xor F
//     final m < n bytes:   T = E(F); P = C xor T[0..m); F = T xor F
// Derived classes bring the block primitive and its key schedule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "KrxException.h"
#include "KrxHash.h"
#include "KrxProtection.h"

namespace krx {

// Raised inside the cipher code, e.g. when a cipher is used before its key
// is set. The buffer routines turn it into a failure flag.
class EKrxCipherException : public EKrxException {
 public:
  using EKrxException::EKrxException;
};

enum class TKrxCipherMode : uint8_t {
  FeedbackXor,  // the only mode the engine uses (above)
};

class TKrxCipher : public TKrxProtection {
 public:
  // Flag bits.
  static constexpr uint32_t kFlagKeyFromPassword = 1;
  static constexpr uint32_t kFlagInitialized = 2;

  ~TKrxCipher() override;

  void SetFlag(uint32_t flag, bool on);
  bool HasFlag(uint32_t flag) const { return (flags_ & flag) != 0; }

  // Finishes a key setup: takes iv (BlockSize() bytes) as the vector, or
  // with iv == nullptr enciphers the current vector in place; then loads
  // the feedback register and marks the object initialised.
  void InitEnd(const uint8_t* iv);

  size_t BlockSize() const { return blockSize_; }
  size_t MaxKeySize() const { return maxKeySize_; }
  virtual size_t KeyScheduleSize() const = 0;

  // Checks the block primitive against a published test vector (or, where
  // none is at hand, a round trip). Leaves the object unkeyed.
  virtual bool SelfTest() = 0;

  // One block in place; the key must be set.
  virtual void EncodeBlock(uint8_t* block) = 0;
  virtual void DecodeBlock(uint8_t* block) = 0;

  // Key setup: wipes, schedules key (cut to MaxKeySize(), padded with zero
  // bytes where the algorithm needs a longer key), then InitEnd(iv).
  void Init(const uint8_t* key, size_t keyLength, const uint8_t* iv);

  // Resets the feedback register to the vector.
  void Done();

  // Fills vector, feedback register, work buffer and key schedule with 0xAA,
  // then 0x55; leaves vector and register 0xFF, the rest zero; unkeys.
  void Protect();

  // The hash that turns a password into a key (RIPEMD-256 unless set).
  void SetHashClass(TKrxHashClass hashClass) { hashClass_ = hashClass; }

  // Key from a password: digest of its bytes cut to MaxKeySize(), key setup
  // with iv, then the digest enciphered in place and the register reset.
  void InitKey(std::string_view password, const uint8_t* iv);

  // The mode over count bytes; src and dst may be the same buffer.
  void EncodeBuffer(const uint8_t* src, uint8_t* dst, size_t count);
  void DecodeBuffer(const uint8_t* src, uint8_t* dst, size_t count);

  TKrxCipherMode Mode() const { return mode_; }

 protected:
  TKrxCipher(size_t blockSize, size_t maxKeySize);

  // Builds the key schedule from a key of MaxKeySize() bytes at most.
  virtual void SetupKey(const uint8_t* key, size_t keyLength) = 0;
  // Drops the key schedule (the primitives' own storage wipes itself).
  virtual void WipeKeySchedule() = 0;

  // Raises EKrxCipherException when no key is set.
  void RequireInitialized() const;

  // Both the test and the self test need a block of scratch.
  uint8_t* WorkBuffer() { return buffer_.data(); }

 private:
  void WipeBuffers(uint8_t pattern);

  TKrxCipherMode mode_ = TKrxCipherMode::FeedbackXor;
  TKrxHashClass hashClass_;
  std::unique_ptr<TKrxHash> hash_;
  size_t blockSize_;
  size_t maxKeySize_;
  std::vector<uint8_t> vector_;
  std::vector<uint8_t> feedback_;
  std::vector<uint8_t> buffer_;
  uint32_t flags_ = 0;
};

// The cipher class of a cipher id with its key hash chosen, not yet keyed;
// nullptr for an id above 7.
std::unique_ptr<TKrxCipher> KrxCreateCipher(uint8_t cipherID);

// A key cut or padded to the length an algorithm accepts: the smallest of
// the allowed lengths (ascending) that holds keyLength, zero padded; keys
// longer than the last are cut.
std::vector<uint8_t> KrxFitKey(const uint8_t* key, size_t keyLength,
                               const std::vector<size_t>& allowed);

}  // namespace krx
