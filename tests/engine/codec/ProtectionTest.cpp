#include <gtest/gtest.h>

#include <cryptopp/aes.h>
#include <cryptopp/blowfish.h>
#include <cryptopp/des.h>
#include <cryptopp/ripemd.h>
#include <cryptopp/square.h>
#include <cryptopp/twofish.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "KrxCRC32.h"
#include "KrxCipher.h"
#include "KrxProtection.h"

namespace krx {
namespace {

using Bytes = std::vector<uint8_t>;
using BlockFunction = std::function<void(uint8_t*)>;

Bytes Pattern(size_t count, uint8_t seed) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 13 + (i >> 3));
  return bytes;
}

// The mode written out from its definition, over the library's block
// ciphers: F starts as 0xFF..; C = E(P xor F), F = C xor F; a final part of
// m bytes is P xor E(F).
Bytes ReferenceEncipher(const BlockFunction& encipherBlock, size_t n, const Bytes& plain) {
  Bytes f(n, 0xFF);
  Bytes out(plain.size());
  size_t i = 0;
  for (; i + n <= plain.size(); i += n) {
    Bytes block(n);
    for (size_t k = 0; k < n; ++k) block[k] = plain[i + k] ^ f[k];
    encipherBlock(block.data());
    for (size_t k = 0; k < n; ++k) {
      out[i + k] = block[k];
      f[k] ^= block[k];
    }
  }
  if (i < plain.size()) {
    Bytes t = f;
    encipherBlock(t.data());
    for (size_t k = 0; i + k < plain.size(); ++k) out[i + k] = plain[i + k] ^ t[k];
  }
  return out;
}

template <typename Hash>
Bytes DigestOf(const std::string& password) {
  Bytes digest(Hash::DIGESTSIZE);
  Hash().CalculateDigest(digest.data(), reinterpret_cast<const uint8_t*>(password.data()), password.size());
  return digest;
}

template <typename Cipher>
BlockFunction LibraryBlock(const Bytes& key) {
  auto e = std::make_shared<typename Cipher::Encryption>(key.data(), key.size());
  return [e](uint8_t* block) { e->ProcessBlock(block); };
}

// Triple DES over 24 bytes from three library DES ciphers.
BlockFunction TripleDes24(const Bytes& key16) {
  Bytes key(key16);
  key.resize(24, 0);
  auto e1 = std::make_shared<CryptoPP::DES::Encryption>(key.data(), 8);
  auto d2 = std::make_shared<CryptoPP::DES::Decryption>(key.data() + 8, 8);
  auto e3 = std::make_shared<CryptoPP::DES::Encryption>(key.data() + 16, 8);
  return [=](uint8_t* b) {
    auto exchange = [b] { std::swap_ranges(b + 4, b + 8, b + 8); };
    for (int i = 0; i < 3; ++i) e1->ProcessBlock(b + 8 * i);
    exchange();
    for (int i = 0; i < 3; ++i) d2->ProcessBlock(b + 8 * i);
    exchange();
    for (int i = 0; i < 3; ++i) e3->ProcessBlock(b + 8 * i);
  };
}

struct Reference {
  BlockFunction block;
  size_t blockSize;
};

Reference ReferenceFor(uint8_t id, const std::string& password) {
  const Bytes r128 = DigestOf<CryptoPP::RIPEMD128>(password);
  const Bytes r256 = DigestOf<CryptoPP::RIPEMD256>(password);
  switch (id) {
    case 0: return {LibraryBlock<CryptoPP::AES>(r128), 16};
    case 1: return {LibraryBlock<CryptoPP::AES>(r256), 16};
    case 2: return {LibraryBlock<CryptoPP::DES>(Bytes(r128.begin(), r128.begin() + 8)), 8};
    case 3: return {TripleDes24(r128), 24};
    case 4: return {LibraryBlock<CryptoPP::Blowfish>(r256), 8};
    case 5: return {LibraryBlock<CryptoPP::Twofish>(r128), 16};
    case 6: return {LibraryBlock<CryptoPP::Twofish>(r256), 16};
    default: return {LibraryBlock<CryptoPP::Square>(r128), 16};
  }
}

// A page of 4096 bytes has a data part of 4056: 253 AES blocks and 8 bytes
// for id 0, whole blocks for the 8- and 24-byte ciphers.
TEST(KrxProtection, PageDataPartOfEveryCipherIdMatchesTheModeOverLibraryCiphers) {
  const std::string password = "Velmor-2026";
  const Bytes plain = Pattern(4056, 17);
  for (uint8_t id = 0; id <= kKrxLastCipherID; ++id) {
    Reference reference = ReferenceFor(id, password);
    Bytes data = plain;
    ASSERT_TRUE(KrxEncipher(id, password, data.data(), data.size()));
    EXPECT_EQ(data, ReferenceEncipher(reference.block, reference.blockSize, plain)) << "cipher id " << int(id);
    ASSERT_TRUE(KrxDecipher(id, password, data.data(), data.size()));
    EXPECT_EQ(data, plain) << "cipher id " << int(id);
  }
}

// Where the whole blocks end shows in what one changed plain byte reaches:
// in a final part only that byte changes; in a whole block the block does.
TEST(KrxProtection, PageDataPartEndsInAFinalPartOnlyForSixteenByteBlocks) {
  struct Case {
    uint8_t id;
    size_t lastUnitSize;  // the final part, or the last whole block
    bool finalPart;
  };
  const Case kCases[] = {{0, 8, true}, {2, 8, false}, {3, 24, false}, {4, 8, false}};
  const Bytes plain = Pattern(4056, 41);
  for (const Case& c : kCases) {
    EXPECT_EQ(plain.size() % KrxCreateCipher(c.id)->BlockSize(), c.finalPart ? c.lastUnitSize : 0u) << int(c.id);
    Bytes original = plain;
    Bytes changed = plain;
    changed.back() ^= 0x5A;
    ASSERT_TRUE(KrxEncipher(c.id, "page", original.data(), original.size()));
    ASSERT_TRUE(KrxEncipher(c.id, "page", changed.data(), changed.size()));
    const size_t unitStart = plain.size() - c.lastUnitSize;
    EXPECT_TRUE(std::equal(original.begin(), original.begin() + unitStart, changed.begin())) << int(c.id);
    size_t differing = 0;
    for (size_t i = unitStart; i < plain.size(); ++i) differing += original[i] != changed[i];
    if (c.finalPart) {
      EXPECT_EQ(differing, 1u) << int(c.id);
      EXPECT_EQ(original.back() ^ changed.back(), 0x5A) << int(c.id);
    } else {
      // A DES block spreads the change over its 8 bytes (in the 24-byte
      // block only the last 8 bytes see it: the exchanges mix the first two).
      EXPECT_GT(differing, 4u) << int(c.id);
    }
  }
  // 253 whole AES blocks come before the final part: the first 4048 bytes
  // are what enciphering them alone gives.
  Bytes whole(plain.begin(), plain.begin() + 253 * 16);
  Bytes page = plain;
  ASSERT_TRUE(KrxEncipher(0, "page", whole.data(), whole.size()));
  ASSERT_TRUE(KrxEncipher(0, "page", page.data(), page.size()));
  EXPECT_TRUE(std::equal(whole.begin(), whole.end(), page.begin()));
}

TEST(KrxProtection, EveryIdRoundTripsAnyLengthIncludingPartialFinalBlocks) {
  for (uint8_t id = 0; id <= kKrxLastCipherID; ++id) {
    Reference reference = ReferenceFor(id, "pw");
    for (size_t length = 0; length <= 100; ++length) {
      const Bytes plain = Pattern(length, static_cast<uint8_t>(length));
      Bytes data = plain;
      ASSERT_TRUE(KrxEncipher(id, "pw", data.data(), data.size()));
      ASSERT_EQ(data, ReferenceEncipher(reference.block, reference.blockSize, plain))
          << "cipher id " << int(id) << " length " << length;
      ASSERT_TRUE(KrxDecipher(id, "pw", data.data(), data.size()));
      ASSERT_EQ(data, plain) << "cipher id " << int(id) << " length " << length;
    }
  }
}

TEST(KrxProtection, AnotherPasswordGivesOtherBytes) {
  const Bytes plain = Pattern(100, 3);
  for (uint8_t id = 0; id <= kKrxLastCipherID; ++id) {
    Bytes right = plain;
    Bytes wrong = plain;
    ASSERT_TRUE(KrxEncipher(id, "right", right.data(), right.size()));
    ASSERT_TRUE(KrxEncipher(id, "wrong", wrong.data(), wrong.size()));
    EXPECT_NE(right, wrong) << int(id);
    EXPECT_NE(right, plain) << int(id);
    ASSERT_TRUE(KrxDecipher(id, "wrong", right.data(), right.size()));
    EXPECT_NE(right, plain) << int(id);
  }
}

TEST(KrxProtection, IdAboveSevenLeavesBytesUnchanged) {
  const Bytes plain = Pattern(57, 9);
  for (int id : {8, 9, 100, 255}) {
    Bytes data = plain;
    EXPECT_TRUE(KrxEncipher(static_cast<uint8_t>(id), "pw", data.data(), data.size()));
    EXPECT_TRUE(KrxDecipher(static_cast<uint8_t>(id), "pw", data.data(), data.size()));
    EXPECT_EQ(data, plain);
    EXPECT_EQ(KrxCreateCipher(static_cast<uint8_t>(id)), nullptr);
  }
}

TEST(KrxProtection, CheckBlockHoldsRandomBytesBelow255AndKnowsItsPassword) {
  for (uint8_t id = 0; id <= kKrxLastCipherID; ++id) {
    Bytes block(kKrxPasswordCheckSize);
    uint32_t crc = 0;
    ASSERT_TRUE(KrxMakePasswordCheck(id, "pass", block.data(), crc));
    EXPECT_TRUE(KrxPasswordCheckMatches(id, "pass", block.data(), crc)) << int(id);
    EXPECT_FALSE(KrxPasswordCheckMatches(id, "Pass", block.data(), crc)) << int(id);
    EXPECT_FALSE(KrxPasswordCheckMatches(static_cast<uint8_t>((id + 1) % 8), "pass", block.data(), crc)) << int(id);

    Bytes plain = block;
    ASSERT_TRUE(KrxDecipher(id, "pass", plain.data(), plain.size()));
    EXPECT_EQ(KrxCRC32(0, plain.data(), plain.size()), crc);
    EXPECT_EQ(std::count(plain.begin(), plain.end(), uint8_t{255}), 0);
    EXPECT_GT(std::set<uint8_t>(plain.begin(), plain.end()).size(), 100u) << "not random";
  }
  Bytes first(kKrxPasswordCheckSize);
  Bytes second(kKrxPasswordCheckSize);
  uint32_t crc = 0;
  ASSERT_TRUE(KrxMakePasswordCheck(0, "pass", first.data(), crc));
  ASSERT_TRUE(KrxMakePasswordCheck(0, "pass", second.data(), crc));
  EXPECT_NE(first, second);
}

}  // namespace
}  // namespace krx
