// A value stored compressed in independent blocks over an underlying stream.
// Positions and sizes are in uncompressed bytes. With an algorithm other
// than 0 the stored bytes are, from the start position, the blocks back to
// back, each a 20-byte header and its compressed bytes:
//      0 i32 compressed size (bytes after the header)
//      4 i32 uncompressed size of the block
//      8 u32 CRC-32 of the block's uncompressed bytes
//     12 i64 block length = 20 + compressed size
// Block i holds bytes i*B .. (i+1)*B of the value; every block but the last
// holds B bytes. With algorithm 0 the stored bytes are the value itself.
#pragma once

#include <cstdint>
#include <vector>

#include "KrxStream.h"

namespace krx {

struct TKrxCompressedStreamSettings {
  int32_t blockSize = 0;
  int64_t blockCount = 0;
  int64_t uncompressedSize = 0;
  int64_t startPosition = 0;
  uint8_t algorithm = 0;
  uint8_t mode = 0;
};

struct TKrxCompressedStreamBlockHeader {
  int32_t compressedSize = 0;
  int32_t uncompressedSize = 0;
  uint32_t crc32 = 0;
  int64_t blockLength = 0;
  int64_t startPosition = 0;  // of the header in the underlying stream
};
using TKrxCompressedStreamBlockHeadersArray = std::vector<TKrxCompressedStreamBlockHeader>;

constexpr int64_t kKrxBlockHeaderSize = 20;

class TKrxCompressedBLOBStream : public TKrxStream {
 public:
  // Opens over underlying (borrowed). newStream starts an empty value;
  // otherwise the block headers are read.
  TKrxCompressedBLOBStream(TKrxStream& underlying, const TKrxCompressedStreamSettings& settings,
                           bool newStream);

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TKrxSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  int64_t GetSize() override { return size_; }

  // The settings as they stand (block count and size after writing).
  TKrxCompressedStreamSettings Settings() const;
  int64_t CompressedSize() const { return compressedSize_; }
  double CompressionRate() const;
  const TKrxCompressedStreamBlockHeadersArray& Blocks() const { return blocks_; }

  // The block size a new stream takes when given 0, by mode.
  static int32_t DefaultBlockSize(uint8_t mode);

 private:
  void ReadBlockHeaders(int64_t blockCount);
  void LoadBlock(int64_t index);
  void CompressBlock(const uint8_t* data, int32_t count, TKrxCompressedStreamBlockHeader& header);
  void WriteBlock(const TKrxCompressedStreamBlockHeader& header, bool newBlock);
  int64_t WriteAtEnd(const uint8_t* data, int64_t count);
  void Grow(int64_t size);
  void Cut(int64_t size);
  void RecomputeTotals();
  int64_t EndOfBlocks() const;

  TKrxStream& underlying_;
  int32_t blockSize_;
  int64_t startPosition_;
  uint8_t algorithm_;
  uint8_t mode_;
  int64_t size_ = 0;
  int64_t position_ = 0;
  int64_t compressedSize_ = 0;
  int64_t currentBlock_ = -1;  // index of the block held in blockData_
  TKrxCompressedStreamBlockHeadersArray blocks_;
  std::vector<uint8_t> blockData_;   // uncompressed bytes of the current block
  std::vector<uint8_t> packed_;      // compressed bytes, reused
};

}  // namespace krx
