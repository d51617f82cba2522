// The in-memory database "MEMORY": tables whose pages live only in memory
// and can be written to a stream and read back.
#pragma once

#include <memory>

#include "KrxDatabaseData.h"
#include "KrxMemoryPageManager.h"

namespace krx {

class TKrxMemoryDatabaseData : public TKrxDatabaseData {
 public:
  TKrxMemoryDatabaseData() : TKrxDatabaseData("MEMORY"), pageManager_(std::make_unique<TKrxMemoryPageManager>()) {}

  TKrxPageManager& PageManager() override { return *pageManager_; }
  TKrxMemoryPageManager& MemoryPageManager() { return *pageManager_; }
  void Commit(int32_t session, bool /*flush*/) override {
    std::lock_guard<std::recursive_mutex> guard(CriticalSection());
    pageManager_->Commit(session);
  }
  void Rollback(int32_t session) override {
    std::lock_guard<std::recursive_mutex> guard(CriticalSection());
    pageManager_->Rollback(session);
  }

 private:
  std::unique_ptr<TKrxMemoryPageManager> pageManager_;
};

}  // namespace krx
