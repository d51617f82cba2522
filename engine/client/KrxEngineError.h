// A row change that failed in the engine: a negative code and the message
// "Krx Engine Error # " + code + " " + text.
#pragma once

#include <string>

#include "KrxException.h"

namespace krx {

class EKrxEngineError : public EKrxException {
 public:
  // One of the Engine... messages of the client table; -8 takes the text of
  // the underlying error.
  template <typename... Args>
  explicit EKrxEngineError(KrxError error, Args&&... args)
      : EKrxEngineError(EKrxException(error, std::forward<Args>(args)...)) {}

  const char* what() const noexcept override { return text_.c_str(); }
  int32_t Code() const { return NativeError(); }

 private:
  explicit EKrxEngineError(const EKrxException& formatted);
  std::string text_;
};

}  // namespace krx
