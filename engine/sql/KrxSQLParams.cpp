#include "KrxSQLParams.h"

#include "KrxLocale.h"

namespace krx {

TKrxSQLParam& TKrxSQLParams::Add(std::string name) {
  items_.push_back(std::make_unique<TKrxSQLParam>(std::move(name)));
  return *items_.back();
}

const TKrxSQLParam* TKrxSQLParams::FindParam(std::string_view name) const {
  const std::string wanted = KrxUpperString(name);
  for (const auto& item : items_) {
    if (KrxUpperString(item->Name()) == wanted) return item.get();
  }
  return nullptr;
}

TKrxSQLParam* TKrxSQLParams::FindParam(std::string_view name) {
  return const_cast<TKrxSQLParam*>(static_cast<const TKrxSQLParams&>(*this).FindParam(name));
}

}  // namespace krx
