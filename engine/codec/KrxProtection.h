// Encryption of the database file's bytes.
//
// The page layer calls the buffer routines below for the data part of every
// enciphered page and for the password check block of the security header.
// A cipher id selects algorithm and key hash:
//     0 AES-128 (RIPEMD-128 key)    1 AES-256 (RIPEMD-256 key)
//     2 DES (RIPEMD-128, first 8)   3 triple DES over 24-byte blocks (RIPEMD-128 + 8 zero bytes)
//     4 Blowfish (RIPEMD-256)       5 Twofish-128 (RIPEMD-128)
//     6 Twofish-256 (RIPEMD-256)    7 Square (RIPEMD-128)
// Any id above 7 leaves the bytes unchanged. Every call starts from a fresh
// cipher state, so every buffer begins with the same initial vector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace krx {

constexpr uint8_t kKrxLastCipherID = 7;

// Base of ciphers and hashes: something that protects bytes and must leave
// no secret behind when it goes.
class TKrxProtection {
 public:
  virtual ~TKrxProtection() = default;
  virtual const char* ClassName() const = 0;

 protected:
  TKrxProtection() = default;
  TKrxProtection(const TKrxProtection&) = delete;
  TKrxProtection& operator=(const TKrxProtection&) = delete;
};

// Enciphers / deciphers count bytes in place with the key hashed from
// password. False when the cipher failed; the bytes are then as far as the
// cipher got. An id above 7 succeeds without touching the bytes.
bool KrxEncipher(uint8_t cipherID, std::string_view password, uint8_t* data, size_t count);
bool KrxDecipher(uint8_t cipherID, std::string_view password, uint8_t* data, size_t count);

// The password check block of an encrypted file's security header.
constexpr size_t kKrxPasswordCheckSize = 256;

// Fills block (kKrxPasswordCheckSize bytes) with random byte values 0..254,
// gives their CRC-32 in plainCrc and enciphers the block. False when the
// cipher failed.
bool KrxMakePasswordCheck(uint8_t cipherID, std::string_view password, uint8_t* block,
                          uint32_t& plainCrc);

// Deciphers a copy of block with password and compares its CRC-32 with
// storedCrc: true when the password is the one the block was made with.
bool KrxPasswordCheckMatches(uint8_t cipherID, std::string_view password, const uint8_t* block,
                             uint32_t storedCrc);

}  // namespace krx
