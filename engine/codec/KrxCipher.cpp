#include "KrxCipher.h"

#include <cryptopp/misc.h>

#include <algorithm>
#include <cstring>

namespace krx {

namespace {

// A fill the optimiser may not drop, since the buffers die right after.
void VolatileFill(std::vector<uint8_t>& bytes, uint8_t value) {
  volatile uint8_t* p = bytes.data();
  for (size_t i = 0; i < bytes.size(); ++i) p[i] = value;
}

void XorInto(uint8_t* dst, const uint8_t* a, const uint8_t* b, size_t count) {
  for (size_t i = 0; i < count; ++i) dst[i] = a[i] ^ b[i];
}

}  // namespace

std::vector<uint8_t> KrxFitKey(const uint8_t* key, size_t keyLength,
                               const std::vector<size_t>& allowed) {
  size_t length = allowed.back();
  for (size_t candidate : allowed) {
    if (candidate >= keyLength) {
      length = candidate;
      break;
    }
  }
  std::vector<uint8_t> fitted(length, 0);
  if (key != nullptr) std::memcpy(fitted.data(), key, std::min(length, keyLength));
  return fitted;
}

TKrxCipher::TKrxCipher(size_t blockSize, size_t maxKeySize)
    : hashClass_(&TKrxHashRipeMD256::Create),
      blockSize_(blockSize),
      maxKeySize_(maxKeySize),
      vector_(blockSize),
      feedback_(blockSize),
      buffer_(blockSize) {
  WipeBuffers(0xAA);
  WipeBuffers(0x55);
  WipeBuffers(0);
}

TKrxCipher::~TKrxCipher() {
  // Derived key schedules are gone already and wiped themselves.
  WipeBuffers(0xAA);
  WipeBuffers(0x55);
  WipeBuffers(0);
}

void TKrxCipher::WipeBuffers(uint8_t pattern) {
  // The final state of a wipe is a vector and register of 0xFF.
  uint8_t registerFill = pattern == 0 ? 0xFF : pattern;
  VolatileFill(vector_, registerFill);
  VolatileFill(feedback_, registerFill);
  VolatileFill(buffer_, pattern);
}

void TKrxCipher::Protect() {
  WipeBuffers(0xAA);
  WipeBuffers(0x55);
  WipeBuffers(0);
  WipeKeySchedule();
  flags_ &= ~(kFlagInitialized | kFlagKeyFromPassword);
}

void TKrxCipher::SetFlag(uint32_t flag, bool on) {
  if (on) {
    flags_ |= flag;
  } else {
    flags_ &= ~flag;
  }
}

void TKrxCipher::RequireInitialized() const {
  if (!HasFlag(kFlagInitialized)) throw EKrxCipherException(KrxError::CipherNotInitialized, ClassName());
}

void TKrxCipher::InitEnd(const uint8_t* iv) {
  if (iv != nullptr) {
    std::memcpy(vector_.data(), iv, blockSize_);
  } else {
    EncodeBlock(vector_.data());
  }
  feedback_ = vector_;
  SetFlag(kFlagInitialized, true);
}

void TKrxCipher::Init(const uint8_t* key, size_t keyLength, const uint8_t* iv) {
  Protect();
  SetupKey(key, std::min(keyLength, maxKeySize_));
  // InitEnd without a vector enciphers one, so the key must count as set.
  SetFlag(kFlagInitialized, true);
  InitEnd(iv);
}

void TKrxCipher::Done() {
  RequireInitialized();
  feedback_ = vector_;
}

void TKrxCipher::InitKey(std::string_view password, const uint8_t* iv) {
  hash_ = hashClass_();
  hash_->Calc(reinterpret_cast<const uint8_t*>(password.data()), password.size());
  Init(hash_->DigestBytes(), std::min(hash_->DigestSize(), maxKeySize_), iv);
  EncodeBuffer(hash_->DigestBytes(), hash_->DigestBytes(), hash_->DigestSize());
  Done();
  SetFlag(kFlagKeyFromPassword, true);
}

void TKrxCipher::EncodeBuffer(const uint8_t* src, uint8_t* dst, size_t count) {
  RequireInitialized();
  const size_t n = blockSize_;
  uint8_t* f = feedback_.data();
  uint8_t* work = buffer_.data();
  size_t done = 0;
  for (; done + n <= count; done += n) {
    XorInto(work, src + done, f, n);
    EncodeBlock(work);
    std::memcpy(dst + done, work, n);
    XorInto(f, work, f, n);
  }
  if (done < count) {
    const size_t m = count - done;
    std::memcpy(work, f, n);
    EncodeBlock(work);
    XorInto(dst + done, src + done, work, m);
    XorInto(f, work, f, n);
  }
  CryptoPP::SecureWipeArray(work, n);
}

void TKrxCipher::DecodeBuffer(const uint8_t* src, uint8_t* dst, size_t count) {
  RequireInitialized();
  const size_t n = blockSize_;
  uint8_t* f = feedback_.data();
  uint8_t* work = buffer_.data();
  size_t done = 0;
  for (; done + n <= count; done += n) {
    std::memcpy(work, src + done, n);
    DecodeBlock(work);
    // The next register needs C, which dst may already have overwritten.
    for (size_t i = 0; i < n; ++i) {
      uint8_t c = src[done + i];
      dst[done + i] = work[i] ^ f[i];
      f[i] ^= c;
    }
  }
  if (done < count) {
    const size_t m = count - done;
    std::memcpy(work, f, n);
    EncodeBlock(work);
    XorInto(dst + done, src + done, work, m);
    XorInto(f, work, f, n);
  }
  CryptoPP::SecureWipeArray(work, n);
}

}  // namespace krx
