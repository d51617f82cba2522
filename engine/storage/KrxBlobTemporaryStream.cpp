#include "KrxBlobTemporaryStream.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "KrxException.h"

namespace krx {

TKrxTemporaryStream::TKrxTemporaryStream(bool disableTempFiles) : disableTempFiles_(disableTempFiles) {}

TKrxTemporaryStream::~TKrxTemporaryStream() {
  if (fd_ >= 0) {
    ::close(fd_);
    ::unlink(fileName_.c_str());
  }
}

void TKrxTemporaryStream::MoveToFile() {
  std::string pattern = (std::filesystem::temp_directory_path() / "KrxXXXXXX").string();
  int fd = ::mkstemp(pattern.data());
  if (fd < 0)
    throw EKrxException(KrxError::Generic, "Cannot create file: '" + pattern + "' Error code: " +
                                               std::to_string(errno) + ". ErrorMessage: " + std::strerror(errno));
  size_t done = 0;
  while (done < memory_.size()) {
    ssize_t n = ::pwrite(fd, memory_.data() + done, memory_.size() - done, static_cast<off_t>(done));
    if (n <= 0) {
      int error = errno;
      ::close(fd);
      ::unlink(pattern.c_str());
      throw EKrxException(KrxError::Generic, "Cannot Write to file: '" + pattern + "' ErrorCode:" +
                                                 std::to_string(error) + ". ErrorMessage: " + std::strerror(error));
    }
    done += static_cast<size_t>(n);
  }
  fd_ = fd;
  fileName_ = pattern;
  memory_.clear();
  memory_.shrink_to_fit();
}

int64_t TKrxTemporaryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || position_ >= size_) return 0;
  int64_t n = std::min(count, size_ - position_);
  if (fd_ < 0) {
    std::memcpy(buffer, memory_.data() + position_, static_cast<size_t>(n));
  } else {
    ssize_t got = ::pread(fd_, buffer, static_cast<size_t>(n), static_cast<off_t>(position_));
    if (got < 0) return 0;
    n = got;
  }
  position_ += n;
  return n;
}

int64_t TKrxTemporaryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) return 0;
  int64_t end = position_ + count;
  if (fd_ < 0 && end > kMemoryLimit && !disableTempFiles_) MoveToFile();
  if (fd_ < 0) {
    if (static_cast<int64_t>(memory_.size()) < end) memory_.resize(static_cast<size_t>(end));
    std::memcpy(memory_.data() + position_, buffer, static_cast<size_t>(count));
  } else {
    int64_t done = 0;
    while (done < count) {
      ssize_t n = ::pwrite(fd_, static_cast<const uint8_t*>(buffer) + done, static_cast<size_t>(count - done),
                           static_cast<off_t>(position_ + done));
      if (n <= 0) break;
      done += n;
    }
    count = done;
    end = position_ + done;
  }
  position_ = end;
  size_ = std::max(size_, end);
  return count;
}

int64_t TKrxTemporaryStream::Seek(int64_t offset, TKrxSeekOrigin origin) {
  int64_t base = origin == kKrxSeekBeginning ? 0 : (origin == kKrxSeekCurrent ? position_ : size_);
  position_ = std::max<int64_t>(0, base + offset);
  return position_;
}

void TKrxTemporaryStream::SetSize(int64_t size) {
  size = std::max<int64_t>(0, size);
  if (fd_ < 0 && size > kMemoryLimit && !disableTempFiles_) MoveToFile();
  if (fd_ < 0) memory_.resize(static_cast<size_t>(size));
  else if (::ftruncate(fd_, static_cast<off_t>(size)) != 0) return;
  size_ = size;
  position_ = std::min(position_, size_);
}

}  // namespace krx
