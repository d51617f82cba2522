#include <gtest/gtest.h>

#include <cryptopp/ripemd.h>

#include <string>
#include <vector>

#include "KrxHash.h"

namespace krx {
namespace {

std::string Hex(const uint8_t* bytes, size_t count) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < count; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

std::string DigestOf(TKrxHashClass hashClass, const std::string& message) {
  std::unique_ptr<TKrxHash> hash = hashClass();
  hash->Calc(reinterpret_cast<const uint8_t*>(message.data()), message.size());
  return Hex(hash->DigestBytes(), hash->DigestSize());
}

struct DigestCase {
  TKrxHashClass hashClass;
  const char* message;
  const char* digest;
};

TEST(KrxHash, PublishedVectors) {
  const DigestCase kCases[] = {
      {&TKrxHashMD4::Create, "", "31d6cfe0d16ae931b73c59d7e0c089c0"},
      {&TKrxHashMD4::Create, "abc", "a448017aaf21d8525fc10ae87aa6729d"},
      {&TKrxHashMD4::Create, "message digest", "d9130a8164549fe818874806e1c7014b"},
      {&TKrxHashRipeMD128::Create, "", "cdf26213a150dc3ecb610f18f6b38b46"},
      {&TKrxHashRipeMD128::Create, "a", "86be7afa339d0fc7cfc785e72f578d33"},
      {&TKrxHashRipeMD128::Create, "abc", "c14a12199c66e4ba84636b0f69144c77"},
      {&TKrxHashRipeMD128::Create, "message digest", "9e327b3d6e523062afc1132d7df9d1b8"},
      {&TKrxHashRipeMD256::Create, "", "02ba4c4e5f8ecd1877fc52d64d30e37a2d9774fb1e5d026380ae0168e3c5522d"},
      {&TKrxHashRipeMD256::Create, "abc", "afbd6e228b9d8cbbcef5ca2d03e6dba10ac0bc7dcbe4680e1e42d2e975459b65"},
      {&TKrxHashRipeMD256::Create, "message digest",
       "87e971759a1ce47a514d5c914c392c9018c7c46bc14465554afcdf54a5070c0e"},
  };
  for (const DigestCase& c : kCases) {
    EXPECT_EQ(DigestOf(c.hashClass, c.message), c.digest) << c.message;
  }
}

TEST(KrxHash, SelfTestsPass) {
  for (TKrxHashClass hashClass : {&TKrxHashMD4::Create, &TKrxHashRipeMD128::Create, &TKrxHashRipeMD256::Create}) {
    std::unique_ptr<TKrxHash> hash = hashClass();
    EXPECT_TRUE(hash->SelfTest()) << hash->ClassName();
  }
}

// Padding is where own framing goes wrong: every length around the 56- and
// 64-byte boundaries, fed in uneven pieces, must match the library's hash.
template <typename Reference>
void ExpectMatchesReference(TKrxHashClass hashClass) {
  std::vector<uint8_t> message(300);
  for (size_t i = 0; i < message.size(); ++i) message[i] = static_cast<uint8_t>(i * 31 + 7);
  for (size_t length = 0; length <= message.size(); ++length) {
    uint8_t expected[Reference::DIGESTSIZE];
    Reference().CalculateDigest(expected, message.data(), length);

    std::unique_ptr<TKrxHash> hash = hashClass();
    hash->Init();
    size_t done = 0;
    for (size_t piece = 1; done < length; piece = piece * 3 % 71 + 1) {
      size_t take = std::min(piece, length - done);
      hash->Add(message.data() + done, take);
      done += take;
    }
    hash->Done();
    ASSERT_EQ(hash->DigestSize(), sizeof expected);
    ASSERT_EQ(Hex(hash->DigestBytes(), hash->DigestSize()), Hex(expected, sizeof expected))
        << hash->ClassName() << " length " << length;
  }
}

TEST(KrxHash, AnyLengthInPiecesMatchesOneShotLibraryDigest) {
  ExpectMatchesReference<CryptoPP::RIPEMD128>(&TKrxHashRipeMD128::Create);
  ExpectMatchesReference<CryptoPP::RIPEMD256>(&TKrxHashRipeMD256::Create);
}

TEST(KrxHash, InitStartsOver) {
  std::unique_ptr<TKrxHash> hash = TKrxHashRipeMD128::Create();
  const uint8_t junk[] = {1, 2, 3, 4, 5};
  hash->Init();
  hash->Add(junk, sizeof junk);
  hash->Init();
  hash->Add(reinterpret_cast<const uint8_t*>("abc"), 3);
  hash->Done();
  EXPECT_EQ(Hex(hash->DigestBytes(), 16), "c14a12199c66e4ba84636b0f69144c77");
}

}  // namespace
}  // namespace krx
