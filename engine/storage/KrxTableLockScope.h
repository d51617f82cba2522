// A granted table lock released when the scope ends (a release failure is
// not raised from a destructor: the lock goes with the descriptor at the
// latest).
#pragma once

#include <cstdint>
#include <utility>

#include "KrxDatabaseTableLockManager.h"

namespace krx {

class TKrxTableLockScope {
 public:
  TKrxTableLockScope() = default;
  TKrxTableLockScope(TKrxDatabaseTableLockManager& manager, int32_t session, int32_t tableKey, int type)
      : manager_(&manager), session_(session), tableKey_(tableKey), type_(type) {}
  TKrxTableLockScope(TKrxTableLockScope&& other) noexcept { *this = std::move(other); }
  TKrxTableLockScope& operator=(TKrxTableLockScope&& other) noexcept {
    if (this != &other) {
      Release();
      manager_ = std::exchange(other.manager_, nullptr);
      session_ = other.session_;
      tableKey_ = other.tableKey_;
      type_ = other.type_;
    }
    return *this;
  }
  TKrxTableLockScope(const TKrxTableLockScope&) = delete;
  TKrxTableLockScope& operator=(const TKrxTableLockScope&) = delete;
  ~TKrxTableLockScope() { Release(); }

  void Release() noexcept {
    if (!manager_) return;
    try {
      manager_->UnlockTable(session_, tableKey_, type_);
    } catch (...) {
    }
    manager_ = nullptr;
  }

 private:
  TKrxDatabaseTableLockManager* manager_ = nullptr;
  int32_t session_ = 0;
  int32_t tableKey_ = 0;
  int type_ = 0;
};

}  // namespace krx
