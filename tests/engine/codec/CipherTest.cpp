#include <gtest/gtest.h>

#include <cryptopp/aes.h>
#include <cryptopp/blowfish.h>
#include <cryptopp/des.h>
#include <cryptopp/ripemd.h>
#include <cryptopp/square.h>
#include <cryptopp/twofish.h>

#include <functional>
#include <string>
#include <vector>

#include "KrxCipher.h"
#include "KrxCipherBlowfish.h"
#include "KrxCipherDES.h"
#include "KrxCipherRijndael.h"
#include "KrxCipherSquare.h"
#include "KrxCipherTwofish.h"
#include "KrxProtection.h"

namespace krx {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes FromHex(const std::string& hex) {
  Bytes bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

Bytes Pattern(size_t count, uint8_t seed) {
  Bytes bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(seed + i * 13 + (i >> 3));
  return bytes;
}

struct VectorCase {
  const char* name;
  std::function<std::unique_ptr<TKrxCipher>()> make;
  const char* key;
  const char* plain;
  const char* cipher;
};

TEST(KrxCipher, BlockPrimitivesMatchPublishedVectors) {
  auto aes = [] { return std::make_unique<TKrxCipherRijndael>(); };
  auto twofish = [] { return std::make_unique<TKrxCipherTwofish>(); };
  const VectorCase kCases[] = {
      {"AES-128", aes, "000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
       "69c4e0d86a7b0430d8cdb78070b4c55a"},
      {"AES-192", aes, "000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
       "dda97ca4864cdfe06eaf70a0ec0d7191"},
      {"AES-256", aes, "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
       "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
      {"DES", [] { return std::make_unique<TKrxCipher1DES>(); }, "133457799bbcdff1", "0123456789abcdef",
       "85e813540f0ab405"},
      {"3DES equal keys", [] { return std::make_unique<TKrxCipher3DES>(); },
       "133457799bbcdff1133457799bbcdff1133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
      {"Blowfish", [] { return std::make_unique<TKrxCipherBlowfish>(); }, "0000000000000000", "0000000000000000",
       "4ef997456198dd78"},
      {"Blowfish 2", [] { return std::make_unique<TKrxCipherBlowfish>(); }, "ffffffffffffffff", "ffffffffffffffff",
       "51866fd5b85ecb8a"},
      {"Twofish-128", twofish, "00000000000000000000000000000000", "00000000000000000000000000000000",
       "9f589f5cf6122c32b6bfec2f2ae8c35a"},
      {"Twofish-256", twofish, "0000000000000000000000000000000000000000000000000000000000000000",
       "00000000000000000000000000000000", "57ff739d4dc92c1bd7fc01700cc8216f"},
      {"Square", [] { return std::make_unique<TKrxCipherSquare>(); }, "000102030405060708090a0b0c0d0e0f",
       "000102030405060708090a0b0c0d0e0f", "7c3491d94994e70f0ec2e7a5ccb5a14f"},
  };
  for (const VectorCase& c : kCases) {
    std::unique_ptr<TKrxCipher> cipher = c.make();
    Bytes key = FromHex(c.key);
    Bytes block = FromHex(c.plain);
    cipher->Init(key.data(), key.size(), nullptr);
    cipher->EncodeBlock(block.data());
    EXPECT_EQ(block, FromHex(c.cipher)) << c.name;
    cipher->DecodeBlock(block.data());
    EXPECT_EQ(block, FromHex(c.plain)) << c.name;
  }
}

TEST(KrxCipher, SelfTestsPass) {
  for (uint8_t id = 0; id <= kKrxLastCipherID; ++id) {
    std::unique_ptr<TKrxCipher> cipher = KrxCreateCipher(id);
    EXPECT_TRUE(cipher->SelfTest()) << int(id);
  }
  EXPECT_TRUE(TKrxCipher3DES().SelfTest());
}

TEST(KrxCipher, SquareAndTripleDesBlocksMatchTheLibrary) {
  const Bytes key24 = Pattern(24, 5);
  const Bytes plain = Pattern(16, 99);

  TKrxCipherSquare square;
  square.Init(key24.data(), 16, nullptr);
  Bytes ours(plain.begin(), plain.begin() + 16);
  square.EncodeBlock(ours.data());
  Bytes theirs(16);
  CryptoPP::Square::Encryption(key24.data(), 16).ProcessBlock(plain.data(), theirs.data());
  EXPECT_EQ(ours, theirs);

  TKrxCipher3DES tripleDes;
  tripleDes.Init(key24.data(), 24, nullptr);
  Bytes ours8(plain.begin(), plain.begin() + 8);
  tripleDes.EncodeBlock(ours8.data());
  Bytes theirs8(8);
  CryptoPP::DES_EDE3::Encryption(key24.data(), 24).ProcessBlock(plain.data(), theirs8.data());
  EXPECT_EQ(ours8, theirs8);
}

TEST(KrxCipher, ShortKeysArePaddedWithZeroBytesToTheNextKeyLength) {
  // A 20-byte key is a 24-byte AES key (12 rounds) ending in four zeros.
  Bytes key = Pattern(20, 1);
  TKrxCipherRijndael aes;
  aes.Init(key.data(), key.size(), nullptr);
  Bytes ours = Pattern(16, 7);
  Bytes plain = ours;
  aes.EncodeBlock(ours.data());
  Bytes padded = key;
  padded.resize(24, 0);
  Bytes theirs(16);
  CryptoPP::AES::Encryption(padded.data(), padded.size()).ProcessBlock(plain.data(), theirs.data());
  EXPECT_EQ(ours, theirs);

  // Triple DES keyed with 16 bytes: the third DES key is zero.
  TKrxCipher3DES tripleDes;
  Bytes key16 = Pattern(16, 3);
  tripleDes.Init(key16.data(), key16.size(), nullptr);
  Bytes ours8 = Pattern(8, 11);
  Bytes plain8 = ours8;
  tripleDes.EncodeBlock(ours8.data());
  Bytes key24 = key16;
  key24.resize(24, 0);
  Bytes theirs8(8);
  CryptoPP::DES_EDE3::Encryption(key24.data(), 24).ProcessBlock(plain8.data(), theirs8.data());
  EXPECT_EQ(ours8, theirs8);
}

TEST(KrxCipher, UseBeforeKeyIsRefused) {
  TKrxCipherRijndael aes;
  Bytes data(16);
  try {
    aes.EncodeBuffer(data.data(), data.data(), data.size());
    FAIL() << "no exception";
  } catch (const EKrxCipherException& e) {
    EXPECT_STREQ(e.what(), "TKrxCipherRijndael is not initialized call Init() or InitKey() before. - Native error: 00003");
  }
  TKrxCipher3TDES tdes;
  EXPECT_THROW(tdes.EncodeBlock(data.data()), EKrxCipherException);
  Bytes key(24, 1);
  tdes.Init(key.data(), key.size(), nullptr);
  tdes.Protect();
  EXPECT_THROW(tdes.DecodeBuffer(data.data(), data.data(), 8), EKrxCipherException);
}

TEST(KrxCipher, InitKeyMarksTheKeyAsFromAPassword) {
  TKrxCipherTwofish twofish;
  Bytes iv(16, 0xFF);
  twofish.InitKey("secret", iv.data());
  EXPECT_TRUE(twofish.HasFlag(TKrxCipher::kFlagKeyFromPassword));
  EXPECT_TRUE(twofish.HasFlag(TKrxCipher::kFlagInitialized));
  twofish.Protect();
  EXPECT_FALSE(twofish.HasFlag(TKrxCipher::kFlagInitialized));
}

TEST(KrxCipher, EncodeAndDecodeMayUseSeparateBuffers) {
  TKrxCipherRijndael aes;
  Bytes iv(16, 0xFF);
  aes.InitKey("pw", iv.data());
  Bytes plain = Pattern(45, 1);
  Bytes cipher(plain.size());
  aes.EncodeBuffer(plain.data(), cipher.data(), plain.size());
  aes.Done();
  Bytes back(plain.size());
  aes.DecodeBuffer(cipher.data(), back.data(), cipher.size());
  EXPECT_EQ(back, plain);
  EXPECT_NE(cipher, plain);
}

}  // namespace
}  // namespace krx
