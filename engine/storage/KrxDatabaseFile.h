// The operating-system file under a database: 64-bit positions, whole
// buffers read and written at a position, flush, size changes and byte-range
// locks. Locks are open-file-description locks (F_OFD_SETLK), which belong to
// this descriptor; process-wide POSIX locks would be dropped silently when
// any other descriptor of the same file in this process is closed.
//
// A failed operation is tried once more; before that, when the size can no
// longer be read through the handle, the file is reopened with the modes it
// was opened with (up to three attempts, one second apart).
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace krx {

class TKrxDatabaseFile {
 public:
  enum Access { kAccessRead = 0, kAccessReadWrite = 1 };
  enum Share { kShareNone = 0, kShareReadWrite = 1, kShareRead = 2 };

  TKrxDatabaseFile() = default;
  ~TKrxDatabaseFile();
  TKrxDatabaseFile(const TKrxDatabaseFile&) = delete;
  TKrxDatabaseFile& operator=(const TKrxDatabaseFile&) = delete;

  // Creates the file anew (an existing one is deleted first), read/write.
  void CreateFile(const std::string& name);
  // Opens an existing file; access and share take the values above.
  void OpenFile(const std::string& name, int access, int share);
  void CloseFile();
  bool IsOpen() const { return fd_ >= 0; }
  const std::string& FileName() const { return name_; }
  bool ReadOnly() const { return access_ == kAccessRead; }

  void Seek(int64_t position);
  void SetPosition(int64_t position) { Seek(position); }
  int64_t GetPosition();
  // Truncates or extends the file to size bytes.
  void SetSize(int64_t size);
  int64_t GetSize();
  // Reads count bytes at position; false when fewer arrive (for instance at
  // the end of the file). OS failures raise.
  bool ReadBuffer(void* buffer, int64_t position, int64_t count);
  void WriteBuffer(const void* buffer, int64_t position, int64_t count);
  void FlushFileBuffers();

  // Byte-range locks: true when granted. A lock held by another descriptor
  // (another process, or another open of the file) is a conflict.
  bool LockByte(int64_t position, int64_t count = 1);
  bool UnlockByte(int64_t position, int64_t count = 1);
  // Whether another descriptor holds a lock on the byte or region.
  bool IsByteLocked(int64_t position);
  bool IsRegionLocked(int64_t position, int64_t count);
  // Whether another descriptor (in any process) has the file open.
  bool OpenedElsewhere();
  // Set once locking failed in a way that tells locks are not available on
  // this file; from then on failed locks count as granted.
  bool LockingNotAvailable() const { return lockingNotAvailable_; }

 private:
  void CheckOpen(const char* operation) const;
  void CheckClosed(const char* operation) const;
  void OpenDescriptor();
  // Tries to get a usable handle back after a failure; true when the file
  // answers again.
  bool RecoverHandle();
  bool TryLock(short type, int64_t position, int64_t count, int& error);
  bool LockFailureMeansNotAvailable(int error) const;
  bool OverlapsOwnLock(int64_t position, int64_t count) const;
  bool ClaimShareModes(int& error);
  [[noreturn]] void RaiseOpenError(int error) const;

  int fd_ = -1;
  std::string name_;
  int access_ = kAccessRead;
  int share_ = kShareNone;
  int64_t position_ = 0;
  bool lockingNotAvailable_ = false;
  // Regions this object holds locked (start -> count). A descriptor's own
  // locks never conflict with it, so a second lock of a held byte is
  // refused here, as a lock of another holder would be.
  std::map<int64_t, int64_t> ownLocks_;
};

}  // namespace krx
