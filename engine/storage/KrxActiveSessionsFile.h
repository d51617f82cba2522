// The active sessions file: a direct internal file of page type 5 with one
// byte per possible connection (MaxConnections bytes, fixed at creation).
// The bytes carry no data; each is the lock position of one session slot,
// and byte 0 doubles as the sessions lock taken around every slot search.
#pragma once

#include <cstdint>

#include "KrxInternalDBDirectAccessFile.h"

namespace krx {

class TKrxActiveSessionsFile {
 public:
  explicit TKrxActiveSessionsFile(TKrxDiskPageManager& pageManager);

  int32_t Create(int32_t maxConnections);
  void Open(int32_t startPageNo);
  void Close() { file_.Close(); }
  bool IsOpen() const { return file_.IsOpen(); }
  int32_t StartPageNo() const { return file_.StartPageNo(); }
  int32_t MaxConnections() const { return file_.GetSize(); }

  // The sessions lock, retried 4500 times 20 ms apart.
  bool LockSessions();
  bool UnlockSessions();
  bool LockSlot(int32_t slot) { return file_.LockByte(slot); }
  bool UnlockSlot(int32_t slot) { return file_.UnlockByte(slot); }
  bool IsSlotLocked(int32_t slot) { return file_.IsByteLocked(slot); }
  TKrxInternalDBDirectAccessFile& File() { return file_; }

 private:
  TKrxInternalDBDirectAccessFile file_;
};

}  // namespace krx
