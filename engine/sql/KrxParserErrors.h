// Raising a parse message with the native code of the site that raises it.
// A text lives once in the message table; the many sites that share it
// ("Unexpected end of SQL command ...", "Token '%s' expected ...") each
// carry their own code.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "KrxException.h"
#include "KrxToken.h"

namespace krx {

template <typename... Args>
[[noreturn]] void KrxRaiseAt(KrxError message, int32_t code, Args&&... args) {
  // Formatting through a code-less exception keeps one formatter for all.
  EKrxException formatted(message, std::forward<Args>(args)...);
  throw EKrxException(formatted.Message(), code);
}

// "<message>" with the token's text, line and column (the common shape).
[[noreturn]] inline void KrxRaiseToken(KrxError message, int32_t code, const TToken& found) {
  KrxRaiseAt(message, code, found.text, found.line, found.column);
}

// The expected-token message: `expected` is the required token in words.
[[noreturn]] inline void KrxRaiseExpected(int32_t code, const std::string& expected, const TToken& found) {
  KrxRaiseAt(KrxError::TokenExpected, code, expected, found.text, found.line, found.column);
}

}  // namespace krx
