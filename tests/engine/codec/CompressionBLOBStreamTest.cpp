// The block-compressed value stream: block layout by the byte, append that
// rewrites only the last block, growing and cutting, corrupt blocks.
#include <gtest/gtest.h>

#include <vector>

#include "KrxBytes.h"
#include "KrxCRC32.h"
#include "KrxException.h"
#include "KrxStreamCompressedBLOB.h"

namespace krx {
namespace {

std::vector<uint8_t> Value(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 31 + (i >> 3));
  return v;
}

TKrxCompressedStreamSettings Settings(int32_t blockSize, uint8_t algorithm = 1) {
  TKrxCompressedStreamSettings s;
  s.blockSize = blockSize;
  s.algorithm = algorithm;
  s.mode = 1;
  return s;
}

std::vector<uint8_t> ReadWhole(TKrxCompressedBLOBStream& stream) {
  std::vector<uint8_t> out(static_cast<size_t>(stream.GetSize()));
  stream.Seek(0, kKrxSeekBeginning);
  EXPECT_EQ(stream.Read(out.data(), stream.GetSize()), stream.GetSize());
  return out;
}

// Every block header in the stored bytes, checked against the block list.
void CheckLayout(TKrxMemoryStream& stored, const TKrxCompressedBLOBStream& stream) {
  int64_t position = 0;
  for (const TKrxCompressedStreamBlockHeader& h : stream.Blocks()) {
    const uint8_t* raw = stored.Bytes().data() + position;
    EXPECT_EQ(h.startPosition, position);
    EXPECT_EQ(GetI32(raw, 0), h.compressedSize);
    EXPECT_EQ(GetI32(raw, 4), h.uncompressedSize);
    EXPECT_EQ(GetU32(raw, 8), h.crc32);
    EXPECT_EQ(GetI64(raw, 12), 20 + h.compressedSize);
    position += 20 + h.compressedSize;
  }
}

TEST(CompressionBLOBStreamTest, TwoFullBlocksThenOneMoreByteMakesAThird) {
  TKrxMemoryStream stored;
  TKrxCompressedBLOBStream stream(stored, Settings(100), true);
  std::vector<uint8_t> value = Value(201);
  EXPECT_EQ(stream.Write(value.data(), 200), 200);
  ASSERT_EQ(stream.Blocks().size(), 2u);
  EXPECT_EQ(stream.Blocks()[0].uncompressedSize, 100);
  EXPECT_EQ(stream.Blocks()[1].uncompressedSize, 100);
  EXPECT_EQ(stream.Write(value.data() + 200, 1), 1);
  ASSERT_EQ(stream.Blocks().size(), 3u);
  EXPECT_EQ(stream.Blocks()[2].uncompressedSize, 1);
  EXPECT_EQ(stream.Settings().blockCount, 3);
  EXPECT_EQ(stream.Settings().uncompressedSize, 201);
  CheckLayout(stored, stream);
  EXPECT_EQ(stream.Blocks()[1].crc32, KrxCRC32(0, value.data() + 100, 100));

  // Read back through a stream opened over the stored bytes.
  TKrxCompressedStreamSettings s = stream.Settings();
  TKrxCompressedBLOBStream reopened(stored, s, false);
  EXPECT_EQ(reopened.GetSize(), 201);
  EXPECT_EQ(ReadWhole(reopened), value);
  reopened.Seek(150, kKrxSeekBeginning);
  uint8_t part[60];
  EXPECT_EQ(reopened.Read(part, 60), 51);  // stops at the end
  EXPECT_EQ(std::vector<uint8_t>(part, part + 51), std::vector<uint8_t>(value.begin() + 150, value.end()));
}

TEST(CompressionBLOBStreamTest, TwoOneByteWritesLeaveOneBlockOfTwoBytes) {
  TKrxMemoryStream stored;
  TKrxCompressedBLOBStream stream(stored, Settings(100), true);
  const uint8_t a = 'a', b = 'b';
  stream.Write(&a, 1);
  stream.Write(&b, 1);
  ASSERT_EQ(stream.Blocks().size(), 1u);
  EXPECT_EQ(stream.Blocks()[0].uncompressedSize, 2);
  EXPECT_EQ(static_cast<int64_t>(stored.Bytes().size()), 20 + stream.Blocks()[0].compressedSize);
  CheckLayout(stored, stream);
  EXPECT_EQ(ReadWhole(stream), (std::vector<uint8_t>{'a', 'b'}));
}

TEST(CompressionBLOBStreamTest, WritesBelowTheEndDoNothingAndBeyondFillWithZeros) {
  TKrxMemoryStream stored;
  TKrxCompressedBLOBStream stream(stored, Settings(100), true);
  std::vector<uint8_t> value = Value(50);
  stream.Write(value.data(), 50);
  stream.Seek(10, kKrxSeekBeginning);
  EXPECT_EQ(stream.Write(value.data(), 5), 0);
  EXPECT_EQ(stream.GetSize(), 50);
  stream.Seek(230, kKrxSeekBeginning);
  EXPECT_EQ(stream.Write(value.data(), 5), 5);
  EXPECT_EQ(stream.GetSize(), 235);
  EXPECT_EQ(stream.Blocks().size(), 3u);
  std::vector<uint8_t> all = ReadWhole(stream);
  EXPECT_EQ(std::vector<uint8_t>(all.begin(), all.begin() + 50), value);
  EXPECT_EQ(std::vector<uint8_t>(all.begin() + 50, all.begin() + 230), std::vector<uint8_t>(180, 0));
  EXPECT_EQ(std::vector<uint8_t>(all.begin() + 230, all.end()), std::vector<uint8_t>(value.begin(), value.begin() + 5));
  EXPECT_EQ(stream.Seek(-10, kKrxSeekBeginning), 0);
  EXPECT_EQ(stream.Seek(5, kKrxSeekEnd), 240);  // beyond the size is allowed
}

TEST(CompressionBLOBStreamTest, CuttingKeepsWholeBlocksAndRewritesOnlyAPartialOne) {
  for (int64_t cut : {int64_t{120}, int64_t{200}}) {
    TKrxMemoryStream stored;
    TKrxCompressedBLOBStream stream(stored, Settings(100), true);
    std::vector<uint8_t> value = Value(250);
    stream.Write(value.data(), 250);
    std::vector<uint8_t> before = stored.Bytes();
    TKrxCompressedStreamBlockHeader block1 = stream.Blocks()[1];
    stream.SetSize(cut);
    ASSERT_EQ(stream.Blocks().size(), 2u) << cut;
    EXPECT_EQ(stream.GetSize(), cut);
    EXPECT_EQ(stream.Blocks()[0].startPosition, 0);
    if (cut == 120) {
      const TKrxCompressedStreamBlockHeader& h = stream.Blocks()[1];
      EXPECT_EQ(h.uncompressedSize, 20);
      EXPECT_EQ(h.blockLength, 20 + h.compressedSize);
      EXPECT_EQ(h.crc32, KrxCRC32(0, value.data() + 100, 20));
      EXPECT_EQ(static_cast<int64_t>(stored.Bytes().size()), h.startPosition + h.blockLength);
      CheckLayout(stored, stream);
    } else {
      EXPECT_EQ(stored.Bytes(), before);  // nothing rewritten
      EXPECT_EQ(stream.Blocks()[1].crc32, block1.crc32);
    }
    TKrxCompressedBLOBStream reopened(stored, stream.Settings(), false);
    EXPECT_EQ(ReadWhole(reopened), std::vector<uint8_t>(value.begin(), value.begin() + cut));
  }
}

TEST(CompressionBLOBStreamTest, CorruptBlockFailsWithItsChecksumWhileOthersRead) {
  TKrxMemoryStream stored;
  TKrxCompressedBLOBStream stream(stored, Settings(100), true);
  std::vector<uint8_t> value = Value(300);
  stream.Write(value.data(), 300);
  TKrxCompressedStreamSettings s = stream.Settings();
  // Falsify the stored checksum of block 1.
  int64_t header1 = stream.Blocks()[1].startPosition;
  PutU32(stored.Bytes().data(), static_cast<size_t>(header1 + 8), 0x12345678);

  TKrxCompressedBLOBStream reopened(stored, s, false);
  uint8_t buffer[100];
  reopened.Seek(0, kKrxSeekBeginning);
  EXPECT_EQ(reopened.Read(buffer, 100), 100);
  reopened.Seek(200, kKrxSeekBeginning);
  EXPECT_EQ(reopened.Read(buffer, 100), 100);
  EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 100), std::vector<uint8_t>(value.begin() + 200, value.end()));
  for (int64_t at : {int64_t{150}, int64_t{50}}) {
    reopened.Seek(at, kKrxSeekBeginning);
    try {
      reopened.Read(buffer, 100);
      FAIL();
    } catch (const EKrxException& e) {
      EXPECT_EQ(e.NativeError(), 10089);
      EXPECT_EQ(e.Message(), "Decompress buffer failed. CheckSum = " +
                                 std::to_string(static_cast<int32_t>(KrxCRC32(0, value.data() + 100, 100))) +
                                 ", Header.Crc32 = 305419896");
    }
  }
}

TEST(CompressionBLOBStreamTest, StoredBytesShorterThanTheBlockCountAreRefused) {
  TKrxMemoryStream stored;
  TKrxCompressedBLOBStream stream(stored, Settings(100), true);
  std::vector<uint8_t> value = Value(150);
  stream.Write(value.data(), 150);
  TKrxCompressedStreamSettings s = stream.Settings();
  s.blockCount = 3;
  try {
    TKrxCompressedBLOBStream broken(stored, s, false);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.NativeError(), 10082);
  }
  TKrxCompressedStreamSettings raw;
  raw.uncompressedSize = 1000;
  try {
    TKrxCompressedBLOBStream window(stored, raw, false);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.NativeError(), 10081);
  }
}

TEST(CompressionBLOBStreamTest, AlgorithmNoneIsAWindowOntoTheUnderlyingStream) {
  TKrxMemoryStream stored;
  std::vector<uint8_t> prefix(7, 0xEE);
  stored.Write(prefix.data(), 7);
  TKrxCompressedStreamSettings s = Settings(0, 0);
  s.startPosition = 7;
  TKrxCompressedBLOBStream stream(stored, s, true);
  std::vector<uint8_t> value = Value(40);
  EXPECT_EQ(stream.Write(value.data(), 40), 40);
  EXPECT_EQ(stored.GetSize(), 47);
  EXPECT_EQ(std::vector<uint8_t>(stored.Bytes().begin() + 7, stored.Bytes().end()), value);
  stream.SetSize(10);
  EXPECT_EQ(stored.GetSize(), 17);
  EXPECT_DOUBLE_EQ(stream.CompressionRate(), 0.0);
}

TEST(CompressionBLOBStreamTest, DefaultBlockSizesByModeAndCopyBlockSize) {
  EXPECT_EQ(TKrxCompressedBLOBStream::DefaultBlockSize(0), 102400);
  EXPECT_EQ(TKrxCompressedBLOBStream::DefaultBlockSize(3), 524288);
  EXPECT_EQ(TKrxCompressedBLOBStream::DefaultBlockSize(4), 1048576);
  EXPECT_EQ(TKrxCompressedBLOBStream::DefaultBlockSize(9), 1572864);
  TKrxMemoryStream stored;
  TKrxCompressedStreamSettings s = Settings(0);
  s.mode = 5;
  TKrxCompressedBLOBStream stream(stored, s, true);
  EXPECT_EQ(stream.Settings().blockSize, 1048576);

  std::vector<uint8_t> text(5000, 'k');
  stream.Write(text.data(), 5000);
  EXPECT_GT(stream.CompressionRate(), 90.0);
  TKrxMemoryStream copy;
  stream.Seek(0, kKrxSeekBeginning);
  EXPECT_EQ(copy.CopyFrom(stream, 0, 777), 5000);
  EXPECT_EQ(copy.Bytes(), text);
  try {
    copy.CopyFrom(stream, 0, 0);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(std::string(e.what()), "Stream block size = 0 is not allowed - Native error: 10418");
  }
}

}  // namespace
}  // namespace krx
