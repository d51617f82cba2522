// The engine's streams: a byte stream with 64-bit positions, and a memory
// stream. A stream carries a lock for callers that share it.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

namespace krx {

enum TKrxSeekOrigin { kKrxSeekBeginning = 0, kKrxSeekCurrent = 1, kKrxSeekEnd = 2 };

class TKrxStream {
 public:
  virtual ~TKrxStream() = default;
  // Bytes read or written; fewer than count at the end or on failure.
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // The new position.
  virtual int64_t Seek(int64_t offset, TKrxSeekOrigin origin) = 0;
  virtual void SetSize(int64_t size) = 0;
  virtual int64_t GetSize() = 0;
  int64_t GetPosition() { return Seek(0, kKrxSeekCurrent); }
  void SetPosition(int64_t position) { Seek(position, kKrxSeekBeginning); }

  // Copies count bytes from source at its position into this stream at its
  // position, blockSize bytes at a time; count 0 copies the rest of source.
  // Returns the bytes copied.
  int64_t CopyFrom(TKrxStream& source, int64_t count, int32_t blockSize);
  // Writes count bytes of this stream from its position into target.
  int64_t CopyTo(TKrxStream& target, int64_t count, int32_t blockSize);

  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }

 private:
  std::recursive_mutex lock_;
};

// A stream over a growable block of memory.
class TKrxMemoryStream : public TKrxStream {
 public:
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TKrxSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  int64_t GetSize() override { return static_cast<int64_t>(bytes_.size()); }

  std::vector<uint8_t>& Bytes() { return bytes_; }
  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int64_t position_ = 0;
};

}  // namespace krx
