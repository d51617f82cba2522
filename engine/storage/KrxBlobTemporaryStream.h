// TKrxTemporaryStream: carries BLOB values between cursors and storage. It
// keeps its bytes in memory up to 1048576 bytes; a write that would go
// beyond moves the content to a temporary file in the system's temporary
// directory (name prefix "Krx"), unless temporary files are disabled, in
// which case everything stays in memory. The file is removed with the
// stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KrxStream.h"

namespace krx {

class TKrxTemporaryStream : public TKrxStream {
 public:
  static constexpr int64_t kMemoryLimit = 1048576;

  explicit TKrxTemporaryStream(bool disableTempFiles = false);
  ~TKrxTemporaryStream() override;
  TKrxTemporaryStream(const TKrxTemporaryStream&) = delete;
  TKrxTemporaryStream& operator=(const TKrxTemporaryStream&) = delete;

  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TKrxSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  int64_t GetSize() override { return size_; }

  bool InFile() const { return fd_ >= 0; }
  const std::string& FileName() const { return fileName_; }

 private:
  void MoveToFile();

  bool disableTempFiles_;
  std::vector<uint8_t> memory_;
  int fd_ = -1;
  std::string fileName_;
  int64_t size_ = 0;
  int64_t position_ = 0;
};

}  // namespace krx
