// The process-wide list of open database files. Every local session that
// opens a file attaches to its entry; sessions of one process that open the
// same file (and, in multi-user mode, the same session name) share one
// database data object. The last session to leave closes the file.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "KrxDatabaseDataDisk.h"

namespace krx {

struct TKrxAttachRequest {
  std::string fileName;
  std::string multiUserSessionName;
  TKrxPasswordRecord password;
  bool exclusive = false;
  bool multiUser = false;
  bool readOnly = false;
};

struct TKrxAttachment {
  std::shared_ptr<TKrxDiskDatabaseData> data;
  int32_t sessionNumber = 0;
  bool repairNeeded = false;
};

class TKrxDatabaseDataRegistry {
 public:
  static TKrxDatabaseDataRegistry& Instance();

  // Opens the file or joins its open entry. A joining session whose
  // password differs from the one the file was opened with gets
  // "Database password is invalid.".
  TKrxAttachment Attach(TKrxAttachRequest& request);
  void Detach(const TKrxAttachment& attachment);

  // Entries open now (for diagnostics and tests).
  size_t OpenCount();
  bool IsOpen(const std::string& fileName);

 private:
  struct Entry {
    std::string key;
    std::string multiUserSessionName;
    TKrxPasswordRecord password;
    std::shared_ptr<TKrxDiskDatabaseData> data;
    std::vector<int32_t> sessionNumbers;
    bool repairNeeded = false;
  };

  static std::string FileKey(const std::string& fileName);
  Entry* Find(const std::string& key, const std::string& multiUserSessionName);

  std::mutex lock_;
  std::vector<std::unique_ptr<Entry>> entries_;
};

}  // namespace krx
