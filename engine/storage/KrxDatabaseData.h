// The database object: what one open database (a file, "TEMP" or "MEMORY")
// is made of, shared by the sessions that use it. All work on it and its
// tables runs inside its critical section.
#pragma once

#include <mutex>
#include <string>

#include "KrxPageManager.h"

namespace krx {

class TKrxDatabaseData {
 public:
  explicit TKrxDatabaseData(std::string name) : name_(std::move(name)) {}
  virtual ~TKrxDatabaseData() = default;
  TKrxDatabaseData(const TKrxDatabaseData&) = delete;
  TKrxDatabaseData& operator=(const TKrxDatabaseData&) = delete;

  const std::string& Name() const { return name_; }
  std::recursive_mutex& CriticalSection() { return criticalSection_; }
  virtual TKrxPageManager& PageManager() = 0;

  virtual void Commit(int32_t session, bool flush) = 0;
  virtual void Rollback(int32_t session) = 0;

 protected:
  std::string name_;

 private:
  std::recursive_mutex criticalSection_;
};

}  // namespace krx
