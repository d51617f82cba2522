// The headers at the start of a database image (offsets from the image
// start, all little-endian):
//
//   main header, 76 bytes at 0
//      0 16 chars "KRXVOLUMEFORMAT1"    16 u16 header size 76
//     18 f64 format version (5.16)       26 u16 PageSize
//     28 u16 ExtentPageCount             30 i32 TotalPageCount
//     34 i32 LastUsedPageNo (-1 none)    38 i32 CommitCounter
//     42 u8  FileState (2 consistent, 1 commit being written)
//     43 u8  encrypted flag (0 plain, 0xFF enciphered)
//     44 32 bytes reserved, zero
//   security header, 280 bytes at 76
//      0 u16 length 280                   2 u8 cipher id   3 u8 reserved
//      4 256 bytes password check block (enciphered)
//    260 u32 CRC-32 of the check block before enciphering
//    264 16 bytes reserved
//   lock area, 20 bytes at 356: u16 length 20, 18 zero bytes
//   NextObjectID counter, i32 at 376
//   pages from 380
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace krx {

constexpr char kKrxFileSignature[] = "KRXVOLUMEFORMAT1";
constexpr size_t kKrxSignatureSize = 16;
constexpr size_t kKrxMainHeaderSize = 76;
constexpr size_t kKrxSecurityHeaderOffset = 76;
constexpr size_t kKrxSecurityHeaderSize = 280;
constexpr size_t kKrxLockAreaOffset = 356;
constexpr size_t kKrxLockAreaSize = 20;
constexpr size_t kKrxCheckBlockSize = 256;
constexpr double kKrxFormatVersion = 5.16;
constexpr double kKrxOldestSoundVersion = 2.99;
constexpr uint8_t kKrxFileStateConsistent = 2;
constexpr uint8_t kKrxFileStateCommitting = 1;

// Lock positions (relative to the image start).
constexpr int64_t kKrxTablesLockPosition = 359;
constexpr int64_t kKrxHeaderLockPosition = 360;
constexpr int64_t kKrxObjectIDLockPosition = 376;

struct TKrxMainHeader {
  std::string signature = kKrxFileSignature;  // 16 chars as found
  uint16_t headerSize = kKrxMainHeaderSize;
  double version = kKrxFormatVersion;
  uint16_t pageSize = 4096;
  uint16_t extentPageCount = 8;
  int32_t totalPageCount = 0;
  int32_t lastUsedPageNo = -1;
  int32_t commitCounter = 0;
  uint8_t fileState = kKrxFileStateConsistent;
  bool encrypted = false;

  void Encode(uint8_t* out) const;  // 76 bytes
  static TKrxMainHeader Decode(const uint8_t* in);
};

struct TKrxSecurityHeader {
  uint16_t length = kKrxSecurityHeaderSize;
  uint8_t cipherID = 0;
  std::array<uint8_t, kKrxCheckBlockSize> checkBlock{};
  uint32_t checkCRC = 0;

  void Encode(uint8_t* out) const;  // 280 bytes
  static TKrxSecurityHeader Decode(const uint8_t* in);
};

// Password of an encrypted file and its cipher id.
struct TKrxPasswordRecord {
  std::string password;
  uint8_t cipherID = 0;
};

}  // namespace krx
