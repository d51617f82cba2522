#include "KrxParams.h"

#include "KrxException.h"
#include "KrxLocale.h"

namespace krx {

namespace {

std::string UpperName(std::string_view utf8) { return KrxUpperString(KrxUtf8ToGb(utf8)); }

bool IsNameChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c >= 0x80;
}

}  // namespace

TKrxParam* TKrxParams::FindParam(std::string_view name) {
  std::string wanted = UpperName(name);
  for (TKrxParam& param : items_) {
    if (UpperName(param.name) == wanted) return &param;
  }
  return nullptr;
}

TKrxParam& TKrxParams::ParamByName(std::string_view name) {
  TKrxParam* param = FindParam(name);
  if (param == nullptr) throw EKrxException(KrxError::ParameterNotFound, std::string(name));
  return *param;
}

TKrxParam& TKrxParams::Add(std::string name) {
  items_.push_back({std::move(name), TKrxVariant(), false});
  return items_.back();
}

std::vector<std::string> TKrxParams::ParseNames(std::string_view sql) {
  std::vector<std::string> names;
  auto addName = [&](std::string name) {
    if (name.empty()) return;
    for (const std::string& known : names) {
      if (UpperName(known) == UpperName(name)) return;
    }
    names.push_back(std::move(name));
  };
  size_t i = 0;
  while (i < sql.size()) {
    char c = sql[i];
    if (c == '\'' || c == '"') {
      size_t close = i + 1;
      for (;;) {
        close = sql.find(c, close);
        if (close == std::string_view::npos) return names;
        if (close + 1 < sql.size() && sql[close + 1] == c) {
          close += 2;
          continue;
        }
        break;
      }
      i = close + 1;
    } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      size_t end = sql.find('\n', i);
      i = end == std::string_view::npos ? sql.size() : end + 1;
    } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
      size_t end = sql.find("*/", i + 2);
      i = end == std::string_view::npos ? sql.size() : end + 2;
    } else if (c == ':') {
      if (i + 1 >= sql.size()) break;
      char next = sql[i + 1];
      if (next == ':') {
        i += 2;
      } else if (next == '"' || next == '\'' || next == '[') {
        char closing = next == '[' ? ']' : next;
        size_t close = sql.find(closing, i + 2);
        if (close == std::string_view::npos) return names;
        addName(std::string(sql.substr(i + 2, close - i - 2)));
        i = close + 1;
      } else {
        size_t end = i + 1;
        while (end < sql.size() && IsNameChar(static_cast<unsigned char>(sql[end]))) ++end;
        addName(std::string(sql.substr(i + 1, end - i - 1)));
        i = end;
      }
    } else {
      ++i;
    }
  }
  return names;
}

}  // namespace krx
