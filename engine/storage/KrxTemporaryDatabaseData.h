// The temporary database "TEMP": the pages of query results and temporary
// tables, in memory up to a limit and in a temporary file beyond it.
#pragma once

#include <memory>

#include "KrxDatabaseData.h"
#include "KrxTemporaryPageManager.h"

namespace krx {

class TKrxTemporaryDatabaseData : public TKrxDatabaseData {
 public:
  explicit TKrxTemporaryDatabaseData(bool inMemory = false)
      : TKrxDatabaseData("TEMP"), pageManager_(std::make_unique<TKrxTemporaryPageManager>(inMemory)) {}

  TKrxPageManager& PageManager() override { return *pageManager_; }
  TKrxTemporaryPageManager& TemporaryPageManager() { return *pageManager_; }
  void Commit(int32_t session, bool /*flush*/) override {
    std::lock_guard<std::recursive_mutex> guard(CriticalSection());
    pageManager_->Commit(session);
  }
  void Rollback(int32_t session) override {
    std::lock_guard<std::recursive_mutex> guard(CriticalSection());
    pageManager_->Rollback(session);
  }

 private:
  std::unique_ptr<TKrxTemporaryPageManager> pageManager_;
};

}  // namespace krx
