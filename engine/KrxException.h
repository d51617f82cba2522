// The engine's one exception type. Every failure of the engine is raised as
// an EKrxException carrying a message and a native error code; the text the
// user sees is the message, " - Native error: " and the code in five digits.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "KrxErrors.h"

namespace krx {

// One argument of a message format: "%d" and "%u" take integers, "%s" text,
// "%f"/"%g"/"%e" floating point.
using KrxFormatArg = std::variant<int64_t, double, std::string>;

// Formats a message the way the engine's message table is written: printf
// conversions (%s %d %u %x %f %g %e, with flags, width and precision) and
// "%%". When the arguments do not fit (too few, wrong kind, unknown
// conversion) the result is the format followed by " Arguments are invalid!".
std::string KrxFormat(std::string_view format, const std::vector<KrxFormatArg>& args);

class EKrxException : public std::runtime_error {
 public:
  // A message of the table, formatted with its arguments.
  template <typename... Args>
  explicit EKrxException(KrxError error, Args&&... args)
      : EKrxException(KrxErrorText(error),
                      KrxErrorCode(error),
                      std::vector<KrxFormatArg>{ToArg(std::forward<Args>(args))...}) {}

  // A message that is already formatted, with its native code.
  EKrxException(std::string message, int32_t nativeError);

  // The formatted text without the code suffix.
  const std::string& Message() const { return message_; }
  int32_t NativeError() const { return nativeError_; }

 private:
  EKrxException(const char* format, int32_t code, const std::vector<KrxFormatArg>& args);

  template <typename T>
  static KrxFormatArg ToArg(T&& value) {
    using D = std::decay_t<T>;
    if constexpr (std::is_same_v<D, bool>) {
      return int64_t{value ? 1 : 0};
    } else if constexpr (std::is_integral_v<D> || std::is_enum_v<D>) {
      return static_cast<int64_t>(value);
    } else if constexpr (std::is_floating_point_v<D>) {
      return static_cast<double>(value);
    } else {
      return std::string(std::forward<T>(value));
    }
  }

  std::string message_;
  int32_t nativeError_;
};

// The full text as shown to a user: message + " - Native error: " + code.
std::string KrxFullMessage(std::string_view message, int32_t nativeError);

}  // namespace krx
