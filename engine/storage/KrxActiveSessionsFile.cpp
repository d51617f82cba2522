#include "KrxActiveSessionsFile.h"

#include <chrono>
#include <thread>

namespace krx {

TKrxActiveSessionsFile::TKrxActiveSessionsFile(TKrxDiskPageManager& pageManager)
    : file_(pageManager, static_cast<uint16_t>(TKrxPageType::ActiveSessionList)) {}

int32_t TKrxActiveSessionsFile::Create(int32_t maxConnections) { return file_.Create(maxConnections); }

void TKrxActiveSessionsFile::Open(int32_t startPageNo) { file_.Open(startPageNo); }

bool TKrxActiveSessionsFile::LockSessions() {
  for (int attempt = 0; attempt < 4500; ++attempt) {
    if (file_.LockFile()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

bool TKrxActiveSessionsFile::UnlockSessions() { return file_.UnlockFile(); }

}  // namespace krx
