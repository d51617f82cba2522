#include "KrxException.h"

#include <algorithm>
#include <cstdio>

namespace krx {

namespace {

struct ErrorEntry {
  int32_t code;
  const char* text;
};

constexpr ErrorEntry kErrors[] = {
#define KRX_ERROR(name, code, text) {code, text},
    {0, "%s"},
#include "codec/KrxCodecErrors.def"
#include "codec/KrxCryptoErrors.def"
#include "storage/KrxStorageErrors.def"
#include "storage/KrxTableErrors.def"
#include "sql/KrxSqlErrors.def"
#include "sql/KrxExprErrors.def"
#include "client/KrxClientErrors.def"
#undef KRX_ERROR
};

static_assert(sizeof(kErrors) / sizeof(kErrors[0]) == static_cast<size_t>(KrxError::Count_));

bool IsFlag(char c) { return c == '-' || c == '+' || c == ' ' || c == '#' || c == '0'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Formats one conversion spec (e.g. "%-8.3f") with one argument; false when
// the argument is of the wrong kind for the conversion.
bool FormatOne(const std::string& spec, char conv, const KrxFormatArg& arg, std::string& out) {
  char buf[512];
  int n = 0;
  switch (conv) {
    case 'd':
    case 'u':
    case 'x':
    case 'X': {
      if (!std::holds_alternative<int64_t>(arg)) return false;
      std::string s = spec + "ll" + conv;
      n = std::snprintf(buf, sizeof buf, s.c_str(), static_cast<long long>(std::get<int64_t>(arg)));
      break;
    }
    case 'f':
    case 'g':
    case 'e':
    case 'n': {
      double v;
      if (std::holds_alternative<double>(arg)) {
        v = std::get<double>(arg);
      } else if (std::holds_alternative<int64_t>(arg)) {
        v = static_cast<double>(std::get<int64_t>(arg));
      } else {
        return false;
      }
      std::string s = spec + (conv == 'n' ? 'f' : conv);
      n = std::snprintf(buf, sizeof buf, s.c_str(), v);
      break;
    }
    case 's': {
      std::string text;
      if (std::holds_alternative<std::string>(arg)) {
        text = std::get<std::string>(arg);
      } else if (std::holds_alternative<int64_t>(arg)) {
        text = std::to_string(std::get<int64_t>(arg));
      } else {
        return false;
      }
      if (spec == "%") {  // the common case: no width, no precision
        out += text;
        return true;
      }
      std::string s = spec + 's';
      n = std::snprintf(buf, sizeof buf, s.c_str(), text.c_str());
      if (n >= static_cast<int>(sizeof buf)) {
        out += text;
        return true;
      }
      break;
    }
    default:
      return false;
  }
  if (n < 0) return false;
  out.append(buf, static_cast<size_t>(std::min<int>(n, sizeof buf - 1)));
  return true;
}

}  // namespace

const char* KrxErrorText(KrxError error) { return kErrors[static_cast<size_t>(error)].text; }
int32_t KrxErrorCode(KrxError error) { return kErrors[static_cast<size_t>(error)].code; }

std::string KrxFormat(std::string_view format, const std::vector<KrxFormatArg>& args) {
  std::string out;
  out.reserve(format.size() + 32);
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i + 1 < format.size() && format[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    std::string spec = "%";
    size_t j = i + 1;
    while (j < format.size() && IsFlag(format[j])) spec += format[j++];
    while (j < format.size() && IsDigit(format[j])) spec += format[j++];
    if (j < format.size() && format[j] == '.') {
      spec += format[j++];
      while (j < format.size() && IsDigit(format[j])) spec += format[j++];
    }
    if (j >= format.size() || next >= args.size() || !FormatOne(spec, format[j], args[next], out)) {
      return std::string(format) + " Arguments are invalid!";
    }
    ++next;
    i = j;
  }
  return out;
}

std::string KrxFullMessage(std::string_view message, int32_t nativeError) {
  char code[16];
  std::snprintf(code, sizeof code, "%05d", nativeError);
  return std::string(message) + " - Native error: " + code;
}

EKrxException::EKrxException(std::string message, int32_t nativeError)
    : std::runtime_error(KrxFullMessage(message, nativeError)),
      message_(std::move(message)),
      nativeError_(nativeError) {}

EKrxException::EKrxException(const char* format, int32_t code, const std::vector<KrxFormatArg>& args)
    : EKrxException(KrxFormat(format, args), code) {}

}  // namespace krx
