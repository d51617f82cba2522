// The engine session of one connected database component: its settings,
// its attachment to the shared database data object of the file, its
// session number there and its transaction state.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KrxDatabaseDataRegistry.h"

namespace krx {

struct TKrxLocalSessionSettings {
  std::string databaseName;
  std::string fileName;
  TKrxPasswordRecord password;
  uint16_t pageSize = 4096;
  uint16_t extentPageCount = 8;
  int32_t maxConnections = 500;
  bool readOnly = false;
  bool exclusive = false;
  bool multiUser = false;
  // Only in multi-user mode.
  std::string multiUserSessionName;
};

class TKrxLocalSession {
 public:
  explicit TKrxLocalSession(TKrxLocalSessionSettings settings);
  ~TKrxLocalSession();
  TKrxLocalSession(const TKrxLocalSession&) = delete;
  TKrxLocalSession& operator=(const TKrxLocalSession&) = delete;

  // Attaches to the file; returns true when it was not closed correctly.
  bool Open();
  // Rolls back an open transaction and detaches.
  void Close();
  bool IsOpen() const { return attachment_.data != nullptr; }

  const TKrxLocalSessionSettings& Settings() const { return settings_; }
  TKrxDiskDatabaseData& Data();
  int32_t SessionNumber() const { return attachment_.sessionNumber; }
  bool ReadOnly() const { return settings_.readOnly; }
  bool MultiUser() const { return settings_.multiUser; }

  bool InTransaction() const { return inTransaction_; }
  void StartTransaction();
  void Commit(bool flush);
  void Rollback();

  // Names of the tables of the file, in the national code page.
  std::vector<std::string> TableNames();

 private:
  TKrxLocalSessionSettings settings_;
  TKrxAttachment attachment_;
  bool inTransaction_ = false;
};

}  // namespace krx
