#include "KrxDatabaseFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "KrxException.h"

namespace krx {

namespace {

// Share modes are kept between processes with lock bytes far beyond any
// database content: every descriptor that writes holds a shared lock on
// kWritersByte, every descriptor that denies writing one on
// kDenyWriteByte, and every descriptor a shared lock on kOpenByte, which an
// unshared open locks exclusively.
constexpr int64_t kShareArea = 0x7FFFFFFFFFFFF000LL;
constexpr int64_t kOpenByte = kShareArea;
constexpr int64_t kWritersByte = kShareArea + 1;
constexpr int64_t kDenyWriteByte = kShareArea + 2;

std::string ErrorText(int error) { return std::strerror(error); }

bool SetOfdLock(int fd, short type, int64_t position, int64_t count, int& error) {
  struct flock fl{};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = position;
  fl.l_len = count;
  fl.l_pid = 0;
  if (fcntl(fd, F_OFD_SETLK, &fl) == 0) return true;
  error = errno;
  return false;
}

// True when a descriptor other than fd holds a lock that conflicts with a
// lock of type over the region.
bool OthersHold(int fd, short type, int64_t position, int64_t count) {
  struct flock fl{};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = position;
  fl.l_len = count;
  fl.l_pid = 0;
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

}  // namespace

TKrxDatabaseFile::~TKrxDatabaseFile() {
  if (fd_ >= 0) ::close(fd_);
}

void TKrxDatabaseFile::CheckOpen(const char* operation) const {
  if (fd_ < 0) throw EKrxException(KrxError::OperationOnClosedFile, operation);
}

void TKrxDatabaseFile::CheckClosed(const char* operation) const {
  if (fd_ >= 0) throw EKrxException(KrxError::OperationOnOpenedFile, operation);
}

bool TKrxDatabaseFile::ClaimShareModes(int& error) {
  bool writes = access_ == kAccessReadWrite;
  if (share_ == kShareNone) {
    if (!SetOfdLock(fd_, F_WRLCK, kOpenByte, 1, error)) return false;
  } else {
    if (!SetOfdLock(fd_, F_RDLCK, kOpenByte, 1, error)) return false;
  }
  if (writes) {
    if (OthersHold(fd_, F_WRLCK, kDenyWriteByte, 1)) {
      error = EBUSY;
      return false;
    }
    if (!SetOfdLock(fd_, F_RDLCK, kWritersByte, 1, error)) return false;
  }
  if (share_ == kShareRead) {
    if (OthersHold(fd_, F_WRLCK, kWritersByte, 1)) {
      error = EBUSY;
      return false;
    }
    if (!SetOfdLock(fd_, F_RDLCK, kDenyWriteByte, 1, error)) return false;
  }
  return true;
}

void TKrxDatabaseFile::OpenDescriptor() {
  int flags = (access_ == kAccessReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
  int fd = ::open(name_.c_str(), flags);
  if (fd < 0) RaiseOpenError(errno);
  fd_ = fd;
  posix_fadvise(fd_, 0, 0, POSIX_FADV_RANDOM);
  int error = 0;
  if (!ClaimShareModes(error)) {
    ::close(fd_);
    fd_ = -1;
    if (error == EAGAIN || error == EACCES) error = EBUSY;  // held by another opener
    RaiseOpenError(error);
  }
}

void TKrxDatabaseFile::RaiseOpenError(int error) const {
  throw EKrxException(KrxError::CannotOpenFile, name_, error, ErrorText(error));
}

void TKrxDatabaseFile::CreateFile(const std::string& name) {
  CheckClosed("CreateFile");
  if (name.empty()) throw EKrxException(KrxError::BlankFileName);
  struct stat st{};
  if (::stat(name.c_str(), &st) == 0) {
    ::chmod(name.c_str(), S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH);  // reset a read-only attribute
    if (::unlink(name.c_str()) != 0) {
      int error = errno;
      throw EKrxException(KrxError::CannotCreateFile, name, error, ErrorText(error));
    }
  }
  int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    int error = errno;
    throw EKrxException(KrxError::CannotCreateFile, name, error, ErrorText(error));
  }
  fd_ = fd;
  name_ = name;
  access_ = kAccessReadWrite;
  share_ = kShareNone;
  position_ = 0;
  lockingNotAvailable_ = false;
  ownLocks_.clear();
  posix_fadvise(fd_, 0, 0, POSIX_FADV_RANDOM);
  int error = 0;
  if (!ClaimShareModes(error)) {
    ::close(fd_);
    fd_ = -1;
    throw EKrxException(KrxError::CannotCreateFile, name, error, ErrorText(error));
  }
}

void TKrxDatabaseFile::OpenFile(const std::string& name, int access, int share) {
  CheckClosed("OpenFile");
  if (access != kAccessRead && access != kAccessReadWrite) throw EKrxException(KrxError::UnknownAccessMode, access);
  if (share != kShareNone && share != kShareReadWrite && share != kShareRead)
    throw EKrxException(KrxError::UnknownShareMode, share);
  name_ = name;
  access_ = access;
  share_ = share;
  position_ = 0;
  lockingNotAvailable_ = false;
  ownLocks_.clear();
  OpenDescriptor();
}

void TKrxDatabaseFile::CloseFile() {
  CheckOpen("CloseFile");
  int fd = fd_;
  fd_ = -1;
  ownLocks_.clear();
  if (::close(fd) != 0) {
    int error = errno;
    throw EKrxException(KrxError::CannotCloseFile, name_, error, ErrorText(error));
  }
}

bool TKrxDatabaseFile::RecoverHandle() {
  struct stat st{};
  if (::fstat(fd_, &st) == 0) return true;  // the handle still answers
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::seconds(1));
    ::close(fd_);
    int flags = (access_ == kAccessReadWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC;
    int fd = ::open(name_.c_str(), flags);
    if (fd >= 0) {
      fd_ = fd;
      int error = 0;
      ClaimShareModes(error);
      ownLocks_.clear();  // the old descriptor's locks went with it
      return true;
    }
  }
  return false;
}

void TKrxDatabaseFile::Seek(int64_t position) {
  CheckOpen("Seek");
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (::lseek(fd_, position, SEEK_SET) >= 0) {
      position_ = position;
      return;
    }
    if (attempt == 0 && !RecoverHandle()) break;
  }
  struct stat st{};
  int64_t size = ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  throw EKrxException(KrxError::CannotSetFilePosition, position, name_, position_, size);
}

int64_t TKrxDatabaseFile::GetPosition() {
  CheckOpen("GetPosition");
  off_t pos = ::lseek(fd_, 0, SEEK_CUR);
  if (pos < 0) {
    int error = errno;
    throw EKrxException(KrxError::CannotGetFilePosition, name_, error, ErrorText(error));
  }
  return position_;
}

void TKrxDatabaseFile::SetSize(int64_t size) {
  CheckOpen("SetSize");
  int error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (::ftruncate(fd_, size) == 0) return;
    error = errno;
    if (attempt == 0 && !RecoverHandle()) break;
  }
  throw EKrxException(KrxError::CannotTruncateFile, name_, size, error, ErrorText(error));
}

int64_t TKrxDatabaseFile::GetSize() {
  CheckOpen("GetSize");
  int error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    struct stat st{};
    if (::fstat(fd_, &st) == 0) return st.st_size;
    error = errno;
    if (attempt == 0 && !RecoverHandle()) break;
  }
  throw EKrxException(KrxError::CannotGetFileSize, name_, error, ErrorText(error));
}

bool TKrxDatabaseFile::ReadBuffer(void* buffer, int64_t position, int64_t count) {
  CheckOpen("ReadBuffer");
  int error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    int64_t done = 0;
    auto* out = static_cast<uint8_t*>(buffer);
    while (done < count) {
      ssize_t n = ::pread(fd_, out + done, static_cast<size_t>(count - done), position + done);
      if (n < 0) {
        if (errno == EINTR) continue;
        error = errno;
        break;
      }
      if (n == 0) break;  // end of the file
      done += n;
    }
    if (error == 0) {
      position_ = position + done;
      return done == count;
    }
    if (attempt == 0 && !RecoverHandle()) break;
    if (attempt == 0) error = 0;
  }
  struct stat st{};
  int64_t size = ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  throw EKrxException(KrxError::CannotReadFile, name_, position, count, position_, size, error, ErrorText(error));
}

void TKrxDatabaseFile::WriteBuffer(const void* buffer, int64_t position, int64_t count) {
  CheckOpen("WriteBuffer");
  int error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    int64_t done = 0;
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (done < count) {
      ssize_t n = ::pwrite(fd_, in + done, static_cast<size_t>(count - done), position + done);
      if (n < 0) {
        if (errno == EINTR) continue;
        error = errno;
        break;
      }
      if (n == 0) {
        error = EIO;
        break;
      }
      done += n;
    }
    if (error == 0) {
      position_ = position + done;
      return;
    }
    if (attempt == 0 && !RecoverHandle()) break;
    if (attempt == 0) error = 0;
  }
  struct stat st{};
  int64_t size = ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  throw EKrxException(KrxError::CannotWriteFile, name_, position, count, position_, size, error, ErrorText(error));
}

void TKrxDatabaseFile::FlushFileBuffers() {
  CheckOpen("FlushFileBuffers");
  int error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (::fsync(fd_) == 0) return;
    error = errno;
    if (error == EINVAL || error == EROFS) return;  // nothing to flush on this kind of file
    if (attempt == 0 && !RecoverHandle()) break;
  }
  throw EKrxException(KrxError::CannotFlushFile, name_, error, ErrorText(error));
}

bool TKrxDatabaseFile::OverlapsOwnLock(int64_t position, int64_t count) const {
  auto it = ownLocks_.upper_bound(position + count - 1);
  if (it == ownLocks_.begin()) return false;
  --it;
  return it->first + it->second > position;
}

bool TKrxDatabaseFile::LockFailureMeansNotAvailable(int error) const {
  switch (error) {
    case EBADF: case EIO: case ENOLCK: case EOPNOTSUPP: case ENETDOWN: case ENETUNREACH:
    case ENETRESET: case ECONNRESET: case ECONNABORTED: case EHOSTUNREACH: case ESTALE:
    case EREMOTEIO:
      return true;
    default:
      return false;
  }
}

bool TKrxDatabaseFile::TryLock(short type, int64_t position, int64_t count, int& error) {
  return SetOfdLock(fd_, type, position, count, error);
}

bool TKrxDatabaseFile::LockByte(int64_t position, int64_t count) {
  CheckOpen("LockByte");
  if (OverlapsOwnLock(position, count)) return false;
  // A read-only descriptor cannot hold an exclusive lock; it falls back to
  // a shared one, which still keeps every writer's lock out.
  short type = F_WRLCK;
  int error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (TryLock(type, position, count, error) ||
        (error == EBADF && access_ == kAccessRead && TryLock(F_RDLCK, position, count, error))) {
      ownLocks_[position] = count;
      return true;
    }
    if (error == EAGAIN || error == EACCES) return false;  // held by someone else
    if (attempt == 0) {
      lockingNotAvailable_ = false;  // a retried lock first forgets the mark
      if (!RecoverHandle()) break;
    }
  }
  if (LockFailureMeansNotAvailable(error)) lockingNotAvailable_ = true;
  return lockingNotAvailable_;
}

bool TKrxDatabaseFile::UnlockByte(int64_t position, int64_t count) {
  CheckOpen("UnlockByte");
  int error = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (TryLock(F_UNLCK, position, count, error)) {
      ownLocks_.erase(position);
      return true;
    }
    if (attempt == 0) {
      lockingNotAvailable_ = false;
      if (!RecoverHandle()) break;
    }
  }
  if (LockFailureMeansNotAvailable(error)) lockingNotAvailable_ = true;
  return lockingNotAvailable_;
}

bool TKrxDatabaseFile::OpenedElsewhere() {
  CheckOpen("OpenedElsewhere");
  return OthersHold(fd_, F_WRLCK, kOpenByte, 1);
}

bool TKrxDatabaseFile::IsByteLocked(int64_t position) { return IsRegionLocked(position, 1); }

bool TKrxDatabaseFile::IsRegionLocked(int64_t position, int64_t count) {
  CheckOpen("IsRegionLocked");
  if (OverlapsOwnLock(position, count)) return true;
  return OthersHold(fd_, F_WRLCK, position, count);
}

}  // namespace krx
