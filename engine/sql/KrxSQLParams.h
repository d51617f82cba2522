// Parameters of a query: named values that parameter tokens (:name, ?) read
// when SQL text is tokenised. The list belongs to the query's processor and
// outlives runs; the query component fills it before each run.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "KrxVariant.h"

namespace krx {

// An engine value that also carries a name.
class TKrxSQLParam : public TKrxVariant {
 public:
  TKrxSQLParam() = default;
  explicit TKrxSQLParam(std::string name) : name_(std::move(name)) {}

  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }

  TKrxVariant& Value() { return *this; }
  const TKrxVariant& Value() const { return *this; }
  void SetValue(const TKrxVariant& value) { static_cast<TKrxVariant&>(*this) = value; }

 private:
  std::string name_;
};

class TKrxSQLParams {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TKrxSQLParam& Item(int index) { return *items_[index]; }
  const TKrxSQLParam& Item(int index) const { return *items_[index]; }
  // Appends an empty (NULL) parameter and returns it.
  TKrxSQLParam& Add(std::string name = {});
  void Clear() { items_.clear(); }
  // The first parameter whose name equals `name` after locale upper-casing
  // of both; null when there is none.
  const TKrxSQLParam* FindParam(std::string_view name) const;
  TKrxSQLParam* FindParam(std::string_view name);

 private:
  std::vector<std::unique_ptr<TKrxSQLParam>> items_;
};

}  // namespace krx
