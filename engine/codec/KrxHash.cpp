// The compression functions come from Crypto++; the framing (buffering,
// padding, length, digest bytes) is ours so that one class tree serves all
// three digests.
#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include "KrxHash.h"

#include <cryptopp/md4.h>
#include <cryptopp/misc.h>
#include <cryptopp/ripemd.h>

#include <cstring>

#include "KrxBytes.h"

namespace krx {

namespace {

void LoadWords(const uint8_t* block, CryptoPP::word32 (&words)[16]) {
  for (size_t i = 0; i < 16; ++i) words[i] = GetU32(block, 4 * i);
}

}  // namespace

void TKrxHash::Calc(const uint8_t* data, size_t count) {
  Init();
  Add(data, count);
  Done();
}

TKrxHashMD4::TKrxHashMD4() { Wipe(); }

TKrxHashMD4::~TKrxHashMD4() { Wipe(); }

void TKrxHashMD4::Wipe() {
  CryptoPP::SecureWipeArray(state_.data(), state_.size());
  CryptoPP::SecureWipeArray(buffer_.data(), buffer_.size());
  CryptoPP::SecureWipeArray(digest_.data(), digest_.size());
  buffered_ = 0;
  totalBytes_ = 0;
}

std::unique_ptr<TKrxHash> TKrxHashMD4::Create() { return std::make_unique<TKrxHashMD4>(); }
std::unique_ptr<TKrxHash> TKrxHashRipeMD128::Create() { return std::make_unique<TKrxHashRipeMD128>(); }
std::unique_ptr<TKrxHash> TKrxHashRipeMD256::Create() { return std::make_unique<TKrxHashRipeMD256>(); }

void TKrxHashMD4::Init() {
  Wipe();
  CryptoPP::Weak::MD4::InitState(state_.data());
}

void TKrxHashRipeMD128::Init() {
  Wipe();
  CryptoPP::RIPEMD128::InitState(state_.data());
}

void TKrxHashRipeMD256::Init() {
  Wipe();
  CryptoPP::RIPEMD256::InitState(state_.data());
}

void TKrxHashMD4::Transform(const uint8_t* block) {
  CryptoPP::word32 words[16];
  LoadWords(block, words);
  CryptoPP::Weak::MD4::Transform(state_.data(), words);
  CryptoPP::SecureWipeArray(words, 16);
}

void TKrxHashRipeMD128::Transform(const uint8_t* block) {
  CryptoPP::word32 words[16];
  LoadWords(block, words);
  CryptoPP::RIPEMD128::Transform(state_.data(), words);
  CryptoPP::SecureWipeArray(words, 16);
}

void TKrxHashRipeMD256::Transform(const uint8_t* block) {
  CryptoPP::word32 words[16];
  LoadWords(block, words);
  CryptoPP::RIPEMD256::Transform(state_.data(), words);
  CryptoPP::SecureWipeArray(words, 16);
}

void TKrxHashMD4::Add(const uint8_t* data, size_t count) {
  totalBytes_ += count;
  while (count > 0) {
    size_t take = std::min(count, kBlockSize - buffered_);
    std::memcpy(buffer_.data() + buffered_, data, take);
    buffered_ += take;
    data += take;
    count -= take;
    if (buffered_ == kBlockSize) {
      Transform(buffer_.data());
      buffered_ = 0;
    }
  }
}

void TKrxHashMD4::Done() {
  const uint64_t bitLength = totalBytes_ * 8;
  buffer_[buffered_++] = 0x80;
  if (buffered_ > kBlockSize - 8) {
    std::memset(buffer_.data() + buffered_, 0, kBlockSize - buffered_);
    Transform(buffer_.data());
    buffered_ = 0;
  }
  std::memset(buffer_.data() + buffered_, 0, kBlockSize - 8 - buffered_);
  PutU64(buffer_.data(), kBlockSize - 8, bitLength);
  Transform(buffer_.data());
  for (size_t i = 0; i < DigestSize() / 4; ++i) PutU32(digest_.data(), 4 * i, state_[i]);
  CryptoPP::SecureWipeArray(state_.data(), state_.size());
  CryptoPP::SecureWipeArray(buffer_.data(), buffer_.size());
  buffered_ = 0;
  totalBytes_ = 0;
}

bool TKrxHashMD4::MatchesAbc(const uint8_t* expected) {
  static const uint8_t kAbc[] = {'a', 'b', 'c'};
  Calc(kAbc, sizeof kAbc);
  bool ok = std::memcmp(DigestBytes(), expected, DigestSize()) == 0;
  Init();
  return ok;
}

bool TKrxHashMD4::SelfTest() {
  static const uint8_t kExpected[16] = {0xa4, 0x48, 0x01, 0x7a, 0xaf, 0x21, 0xd8, 0x52,
                                        0x5f, 0xc1, 0x0a, 0xe8, 0x7a, 0xa6, 0x72, 0x9d};
  return MatchesAbc(kExpected);
}

bool TKrxHashRipeMD128::SelfTest() {
  static const uint8_t kExpected[16] = {0xc1, 0x4a, 0x12, 0x19, 0x9c, 0x66, 0xe4, 0xba,
                                        0x84, 0x63, 0x6b, 0x0f, 0x69, 0x14, 0x4c, 0x77};
  return MatchesAbc(kExpected);
}

bool TKrxHashRipeMD256::SelfTest() {
  static const uint8_t kExpected[32] = {0xaf, 0xbd, 0x6e, 0x22, 0x8b, 0x9d, 0x8c, 0xbb,
                                        0xce, 0xf5, 0xca, 0x2d, 0x03, 0xe6, 0xdb, 0xa1,
                                        0x0a, 0xc0, 0xbc, 0x7d, 0xcb, 0xe4, 0x68, 0x0e,
                                        0x1e, 0x42, 0xd2, 0xe9, 0x75, 0x45, 0x9b, 0x65};
  return MatchesAbc(kExpected);
}

}  // namespace krx
