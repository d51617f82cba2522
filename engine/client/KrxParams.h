// The parameters of a query component: names parsed from its SQL text
// (a colon followed by the name), each with a value the caller sets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "KrxVariant.h"

namespace krx {

struct TKrxParam {
  std::string name;  // UTF-8
  TKrxVariant value;
  bool bound = false;

  void SetValue(const TKrxVariant& v) { value = v; bound = true; }
  // UTF-8 text, converted to the national code page.
  void SetAsString(std::string_view utf8) { SetValue(TKrxVariant::FromUtf8(utf8)); }
  // A memo parameter: UTF-8 text, handed down as the bytes of its text in
  // the national code page.
  void SetAsMemo(std::string_view utf8) {
    TKrxVariant v;
    v.SetBytes(TKrxVariant::FromUtf8(utf8).StringValue(), TKrxStorageType::TextBlob);
    SetValue(v);
  }
  // A BLOB parameter: raw bytes, stored as they are.
  void SetAsBlob(std::string_view bytes) {
    TKrxVariant v;
    v.SetBytes(bytes, TKrxStorageType::Blob);
    SetValue(v);
  }
  void SetAsInteger(int64_t v) { SetValue(TKrxVariant::FromInt64(v)); }
  void SetAsFloat(double v) { SetValue(TKrxVariant::FromDouble(v)); }
  void Clear() { value.SetNull(); bound = false; }
};

class TKrxParams {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TKrxParam& Items(int index) { return items_.at(static_cast<size_t>(index)); }
  const TKrxParam& Items(int index) const { return items_.at(static_cast<size_t>(index)); }
  // Case-insensitive; null when absent.
  TKrxParam* FindParam(std::string_view name);
  // As FindParam, raising "Parameter '%s' not found".
  TKrxParam& ParamByName(std::string_view name);
  void Clear() { items_.clear(); }
  TKrxParam& Add(std::string name);

  // Parameter names of an SQL text in order of appearance, each once: a
  // colon followed by a name, or by a name in double quotes, single quotes
  // or brackets. A colon inside a quoted text or a comment does not count,
  // nor does a doubled colon.
  static std::vector<std::string> ParseNames(std::string_view sql);

 private:
  std::vector<TKrxParam> items_;
};

}  // namespace krx
