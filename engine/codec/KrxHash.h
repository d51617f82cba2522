// Message digests that turn a password into a cipher key.
//
// The MD4 family shares one framing: 64-byte blocks, the message padded with
// 0x80, zeros and its length in bits as a little-endian u64; each class
// brings its own start state and compression of one block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "KrxProtection.h"

namespace krx {

class TKrxHash : public TKrxProtection {
 public:
  // Hashes a published test message and compares with its known digest.
  virtual bool SelfTest() = 0;
  // Starts a new digest.
  virtual void Init() = 0;
  virtual void Add(const uint8_t* data, size_t count) = 0;
  // Pads and finishes; the digest is then in DigestBytes().
  virtual void Done() = 0;
  // The finished digest; writable, because the key setup enciphers it in
  // place so it does not linger as the plain key.
  virtual uint8_t* DigestBytes() = 0;
  virtual size_t DigestSize() const = 0;

  // Digest of one buffer in one call (Init, Add, Done).
  void Calc(const uint8_t* data, size_t count);
};

// A hash class: makes a fresh hash object.
using TKrxHashClass = std::unique_ptr<TKrxHash> (*)();

class TKrxHashMD4 : public TKrxHash {
 public:
  TKrxHashMD4();
  ~TKrxHashMD4() override;

  const char* ClassName() const override { return "TKrxHashMD4"; }
  bool SelfTest() override;
  void Init() override;
  void Add(const uint8_t* data, size_t count) override;
  void Done() override;
  uint8_t* DigestBytes() override { return digest_.data(); }
  size_t DigestSize() const override { return 16; }
  // Compresses one 64-byte block into the state.
  virtual void Transform(const uint8_t* block);

  static std::unique_ptr<TKrxHash> Create();

 protected:
  static constexpr size_t kBlockSize = 64;
  static constexpr size_t kMaxStateWords = 8;

  // Hashes "abc" and compares with the expected digest.
  bool MatchesAbc(const uint8_t* expected);
  // Wipes state, buffer and digest.
  void Wipe();

  std::array<uint32_t, kMaxStateWords> state_{};
  std::array<uint8_t, 32> digest_{};

 private:
  std::array<uint8_t, kBlockSize> buffer_{};
  size_t buffered_ = 0;
  uint64_t totalBytes_ = 0;
};

class TKrxHashRipeMD128 : public TKrxHashMD4 {
 public:
  const char* ClassName() const override { return "TKrxHashRipeMD128"; }
  bool SelfTest() override;
  void Init() override;
  void Transform(const uint8_t* block) override;

  static std::unique_ptr<TKrxHash> Create();
};

class TKrxHashRipeMD256 : public TKrxHashMD4 {
 public:
  const char* ClassName() const override { return "TKrxHashRipeMD256"; }
  bool SelfTest() override;
  void Init() override;
  size_t DigestSize() const override { return 32; }
  void Transform(const uint8_t* block) override;

  static std::unique_ptr<TKrxHash> Create();
};

}  // namespace krx
