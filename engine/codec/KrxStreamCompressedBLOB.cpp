#include "KrxStreamCompressedBLOB.h"

#include <algorithm>
#include <cstring>

#include "KrxBytes.h"
#include "KrxCRC32.h"
#include "KrxCompression.h"
#include "KrxException.h"

namespace krx {

int32_t TKrxCompressedBLOBStream::DefaultBlockSize(uint8_t mode) {
  if (mode == 0) return 102400;
  if (mode <= 3) return 524288;
  if (mode <= 6) return 1048576;
  return 1572864;
}

TKrxCompressedBLOBStream::TKrxCompressedBLOBStream(TKrxStream& underlying, const TKrxCompressedStreamSettings& settings,
                                                   bool newStream)
    : underlying_(underlying),
      blockSize_(settings.blockSize),
      startPosition_(settings.startPosition),
      algorithm_(settings.algorithm),
      mode_(settings.mode) {
  if (underlying_.Seek(startPosition_, kKrxSeekBeginning) != startPosition_)
    throw EKrxException(KrxError::StreamSeekOpen, startPosition_, underlying_.GetPosition(), underlying_.GetSize());
  if (algorithm_ == kKrxCompressNone) {
    size_ = newStream ? 0 : settings.uncompressedSize;
    if (!newStream && underlying_.GetSize() < startPosition_ + size_)
      throw EKrxException(KrxError::StreamTooSmallUncompressed, underlying_.GetSize(), startPosition_ + size_);
    return;
  }
  if (blockSize_ <= 0) blockSize_ = DefaultBlockSize(mode_);
  if (!newStream) ReadBlockHeaders(settings.blockCount);
}

void TKrxCompressedBLOBStream::ReadBlockHeaders(int64_t blockCount) {
  int64_t position = startPosition_;
  uint8_t raw[kKrxBlockHeaderSize];
  for (int64_t i = 0; i < blockCount; ++i) {
    int64_t available = underlying_.GetSize();
    if (available - position < kKrxBlockHeaderSize)
      throw EKrxException(KrxError::StreamTooSmallBlockHeader, available, position + kKrxBlockHeaderSize);
    underlying_.Read(raw, kKrxBlockHeaderSize);
    TKrxCompressedStreamBlockHeader header;
    header.compressedSize = GetI32(raw, 0);
    header.uncompressedSize = GetI32(raw, 4);
    header.crc32 = GetU32(raw, 8);
    header.blockLength = GetI64(raw, 12);
    header.startPosition = position;
    blocks_.push_back(header);
    position += header.blockLength;
    if (underlying_.Seek(position, kKrxSeekBeginning) != position)
      throw EKrxException(KrxError::StreamSeekNextHeader, position, underlying_.GetPosition(), underlying_.GetSize());
  }
  RecomputeTotals();
}

void TKrxCompressedBLOBStream::RecomputeTotals() {
  size_ = 0;
  compressedSize_ = 0;
  for (const TKrxCompressedStreamBlockHeader& h : blocks_) {
    size_ += h.uncompressedSize;
    compressedSize_ += h.compressedSize;
  }
}

int64_t TKrxCompressedBLOBStream::EndOfBlocks() const {
  return blocks_.empty() ? startPosition_ : blocks_.back().startPosition + blocks_.back().blockLength;
}

TKrxCompressedStreamSettings TKrxCompressedBLOBStream::Settings() const {
  TKrxCompressedStreamSettings s;
  s.blockSize = blockSize_;
  s.blockCount = static_cast<int64_t>(blocks_.size());
  s.uncompressedSize = size_;
  s.startPosition = startPosition_;
  s.algorithm = algorithm_;
  s.mode = mode_;
  return s;
}

double TKrxCompressedBLOBStream::CompressionRate() const {
  if (algorithm_ == kKrxCompressNone || size_ == 0) return 0.0;
  return (1.0 - static_cast<double>(compressedSize_) / static_cast<double>(size_)) * 100.0;
}

void TKrxCompressedBLOBStream::LoadBlock(int64_t index) {
  if (currentBlock_ == index) return;
  currentBlock_ = -1;
  const TKrxCompressedStreamBlockHeader& h = blocks_[static_cast<size_t>(index)];
  packed_.resize(static_cast<size_t>(std::max(h.compressedSize, 0)));
  int64_t dataStart = h.startPosition + kKrxBlockHeaderSize;
  int64_t got = 0;
  if (underlying_.Seek(dataStart, kKrxSeekBeginning) == dataStart) got = underlying_.Read(packed_.data(), h.compressedSize);
  if (got != h.compressedSize)
    throw EKrxException(KrxError::StreamBlockReadShort, dataStart, underlying_.GetSize(), h.compressedSize, got);
  if (!KrxDecompressBuffer(algorithm_, packed_.data(), packed_.size(), static_cast<size_t>(h.uncompressedSize), blockData_))
    throw EKrxException(KrxError::StreamDecompressBlockFailed, algorithm_, h.compressedSize, h.uncompressedSize);
  if (blockData_.size() != static_cast<size_t>(h.uncompressedSize))
    throw EKrxException(KrxError::StreamDecompressSizeMismatch, static_cast<int64_t>(blockData_.size()),
                        h.uncompressedSize);
  uint32_t crc = KrxCRC32(0, blockData_.data(), blockData_.size());
  if (crc != h.crc32)
    throw EKrxException(KrxError::StreamDecompressChecksum, static_cast<int32_t>(crc), static_cast<int32_t>(h.crc32));
  currentBlock_ = index;
}

int64_t TKrxCompressedBLOBStream::Read(void* buffer, int64_t count) {
  if (algorithm_ == kKrxCompressNone) {
    if (count <= 0 || position_ >= size_) return 0;
    underlying_.Seek(startPosition_ + position_, kKrxSeekBeginning);
    int64_t got = underlying_.Read(buffer, std::min(count, size_ - position_));
    position_ += std::max<int64_t>(got, 0);
    return got;
  }
  if (count <= 0 || position_ >= size_) return 0;
  auto* out = static_cast<uint8_t*>(buffer);
  int64_t done = 0;
  while (done < count && position_ < size_) {
    int64_t index = position_ / blockSize_;
    LoadBlock(index);
    int64_t offset = position_ % blockSize_;
    int64_t n = std::min({static_cast<int64_t>(blockData_.size()) - offset, count - done, size_ - position_});
    if (n <= 0) throw EKrxException(KrxError::StreamReadSizeInvalid, n);
    std::memcpy(out + done, blockData_.data() + offset, static_cast<size_t>(n));
    done += n;
    position_ += n;
  }
  return done;
}

void TKrxCompressedBLOBStream::CompressBlock(const uint8_t* data, int32_t count,
                                             TKrxCompressedStreamBlockHeader& header) {
  header.crc32 = KrxCRC32(0, data, static_cast<size_t>(count));
  header.uncompressedSize = count;
  if (!KrxCompressBuffer(algorithm_, mode_, data, static_cast<size_t>(count), packed_))
    throw EKrxException(KrxError::StreamCompressBlockFailed, algorithm_, mode_, count,
                        static_cast<int64_t>(packed_.size()));
  header.compressedSize = static_cast<int32_t>(packed_.size());
  header.blockLength = kKrxBlockHeaderSize + header.compressedSize;
}

void TKrxCompressedBLOBStream::WriteBlock(const TKrxCompressedStreamBlockHeader& header, bool newBlock) {
  if (underlying_.Seek(header.startPosition, kKrxSeekBeginning) != header.startPosition)
    throw EKrxException(newBlock ? KrxError::StreamSeekNewBlock : KrxError::StreamSeekBlock, header.startPosition,
                        underlying_.GetPosition(), underlying_.GetSize());
  uint8_t raw[kKrxBlockHeaderSize];
  PutI32(raw, 0, header.compressedSize);
  PutI32(raw, 4, header.uncompressedSize);
  PutU32(raw, 8, header.crc32);
  PutI64(raw, 12, header.blockLength);
  int64_t put = underlying_.Write(raw, kKrxBlockHeaderSize);
  if (put != kKrxBlockHeaderSize)
    throw EKrxException(KrxError::StreamBlockHeaderWriteShort, header.startPosition, underlying_.GetSize(),
                        header.blockLength, put);
  put = underlying_.Write(packed_.data(), header.compressedSize);
  if (put != header.compressedSize)
    throw EKrxException(KrxError::StreamBlockDataWriteShort, header.startPosition + kKrxBlockHeaderSize,
                        underlying_.GetSize(), header.blockLength, put);
}

int64_t TKrxCompressedBLOBStream::WriteAtEnd(const uint8_t* data, int64_t count) {
  int64_t done = 0;
  int64_t partial = size_ % blockSize_;
  if (partial > 0 && !blocks_.empty()) {
    // Only the last block is partial: it is extended and written again in
    // its own place.
    int64_t last = static_cast<int64_t>(blocks_.size()) - 1;
    LoadBlock(last);
    int64_t n = std::min<int64_t>(count, blockSize_ - partial);
    std::vector<uint8_t> merged(blockData_);
    merged.insert(merged.end(), data, data + n);
    TKrxCompressedStreamBlockHeader header = blocks_[static_cast<size_t>(last)];
    currentBlock_ = -1;
    CompressBlock(merged.data(), static_cast<int32_t>(merged.size()), header);
    WriteBlock(header, false);
    blocks_[static_cast<size_t>(last)] = header;
    blockData_ = std::move(merged);
    currentBlock_ = last;
    done = n;
  }
  while (done < count) {
    int64_t n = std::min<int64_t>(blockSize_, count - done);
    TKrxCompressedStreamBlockHeader header;
    header.startPosition = EndOfBlocks();
    currentBlock_ = -1;
    CompressBlock(data + done, static_cast<int32_t>(n), header);
    WriteBlock(header, true);
    blocks_.push_back(header);
    blockData_.assign(data + done, data + done + n);
    currentBlock_ = static_cast<int64_t>(blocks_.size()) - 1;
    done += n;
  }
  RecomputeTotals();
  position_ = size_;
  return count;
}

int64_t TKrxCompressedBLOBStream::Write(const void* buffer, int64_t count) {
  if (algorithm_ == kKrxCompressNone) {
    if (count <= 0) return 0;
    underlying_.Seek(startPosition_ + position_, kKrxSeekBeginning);
    int64_t put = underlying_.Write(buffer, count);
    position_ += std::max<int64_t>(put, 0);
    size_ = std::max(size_, position_);
    return put;
  }
  if (count <= 0 || position_ < size_) return 0;
  if (position_ > size_) {
    int64_t target = position_;
    Grow(target);
    if (position_ != target) throw EKrxException(KrxError::StreamSeekGrow, target, position_, size_);
  }
  return WriteAtEnd(static_cast<const uint8_t*>(buffer), count);
}

void TKrxCompressedBLOBStream::Grow(int64_t target) {
  position_ = size_;
  std::vector<uint8_t> zeros(static_cast<size_t>(std::min<int64_t>(blockSize_, target - size_)), 0);
  while (size_ < target) {
    int64_t n = std::min<int64_t>(static_cast<int64_t>(zeros.size()), target - size_);
    int64_t put = WriteAtEnd(zeros.data(), n);
    if (put < n) throw EKrxException(KrxError::StreamZeroFillShort, size_, underlying_.GetSize(), blockSize_, put);
  }
  if (size_ != target) throw EKrxException(KrxError::StreamSizeAfterGrow, size_, target);
}

void TKrxCompressedBLOBStream::Cut(int64_t target) {
  int64_t keep = target / blockSize_;
  int64_t rest = target % blockSize_;
  if (rest > 0) {
    LoadBlock(keep);
    std::vector<uint8_t> head(blockData_.begin(), blockData_.begin() + rest);
    TKrxCompressedStreamBlockHeader header = blocks_[static_cast<size_t>(keep)];
    currentBlock_ = -1;
    CompressBlock(head.data(), static_cast<int32_t>(rest), header);
    underlying_.SetSize(header.startPosition);
    if (underlying_.GetSize() != header.startPosition)
      throw EKrxException(KrxError::StreamSizeAfterCut, underlying_.GetSize(), header.startPosition);
    if (underlying_.Seek(header.startPosition, kKrxSeekBeginning) != header.startPosition)
      throw EKrxException(KrxError::StreamSeekCut, header.startPosition, underlying_.GetPosition(),
                          underlying_.GetSize());
    uint8_t raw[kKrxBlockHeaderSize];
    PutI32(raw, 0, header.compressedSize);
    PutI32(raw, 4, header.uncompressedSize);
    PutU32(raw, 8, header.crc32);
    PutI64(raw, 12, header.blockLength);
    if (underlying_.Write(raw, kKrxBlockHeaderSize) != kKrxBlockHeaderSize)
      throw EKrxException(KrxError::StreamCutHeaderWrite);
    if (underlying_.Write(packed_.data(), header.compressedSize) != header.compressedSize)
      throw EKrxException(KrxError::StreamCutDataWrite);
    blocks_.resize(static_cast<size_t>(keep + 1));
    blocks_[static_cast<size_t>(keep)] = header;
    blockData_ = std::move(head);
    currentBlock_ = keep;
  } else {
    // Readers go by the block count; the bytes behind stay unused.
    blocks_.resize(static_cast<size_t>(keep));
    if (currentBlock_ >= keep) currentBlock_ = -1;
  }
}

void TKrxCompressedBLOBStream::SetSize(int64_t size) {
  if (size < 0) size = 0;
  if (algorithm_ == kKrxCompressNone) {
    underlying_.SetSize(startPosition_ + size);
    size_ = size;
    if (position_ > size_) position_ = size_;
    return;
  }
  if (size > size_) {
    int64_t keepPosition = position_;
    Grow(size);
    position_ = keepPosition;
  } else if (size < size_) {
    Cut(size);
  }
  RecomputeTotals();
  size_ = size;
  if (position_ > size_) position_ = size_;
}

int64_t TKrxCompressedBLOBStream::Seek(int64_t offset, TKrxSeekOrigin origin) {
  int64_t base = origin == kKrxSeekBeginning ? 0 : origin == kKrxSeekCurrent ? position_ : size_;
  int64_t target = base + offset;
  position_ = target <= 0 ? 0 : target;
  return position_;
}

}  // namespace krx
