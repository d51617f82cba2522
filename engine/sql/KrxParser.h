// Small steps shared by the statement parsers: moving through the current
// command with the "expect-next" checks and reading names.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

#include "KrxErrors.h"
#include "KrxLexer.h"

namespace krx {

// A set of token kinds, one bit per kind.
class TKrxKindSet {
 public:
  constexpr TKrxKindSet(std::initializer_list<TTokenKind> kinds) {
    for (TTokenKind kind : kinds) bits_ |= 1u << kind;
  }
  constexpr bool Has(TTokenKind kind) const { return (bits_ >> kind) & 1u; }

 private:
  uint32_t bits_ = 0;
};

inline constexpr TKrxKindSet kTableNameKinds{tkWord, tkString, tkBracketedName, tkKeyword, tkParameter};
inline constexpr TKrxKindSet kTableNameOrSubqueryKinds{tkWord, tkString, tkBracketedName, tkKeyword, tkParameter,
                                                       tkLeftParen};
inline constexpr TKrxKindSet kFieldNameKinds{tkWord, tkString, tkBracketedName, tkKeyword};
inline constexpr TKrxKindSet kAliasOrNameKinds{tkWord, tkString, tkBracketedName, tkParameter};
inline constexpr TKrxKindSet kAliasKinds{tkWord, tkString, tkBracketedName};
inline constexpr TKrxKindSet kPasswordKinds{tkString, tkParameter};
inline constexpr TKrxKindSet kKeywordKinds{tkKeyword};
inline constexpr TKrxKindSet kIntegerKinds{tkInteger};
inline constexpr TKrxKindSet kOpenParenKinds{tkLeftParen};
inline constexpr TKrxKindSet kCloseOrCommaKinds{tkRightParen, tkComma};

// "Unexpected end of SQL command found at line %d, column %d" at the last
// token of the current command.
[[noreturn]] void KrxRaiseUnexpectedEnd(const TKrxLexer& lexer, int32_t code);

// Advances; raises "Unexpected end ..." with `code` when the command ends,
// or `message` (token text, line, column) with `code` when the new token's
// kind is not in `kinds`. Returns the new current token.
const TToken& KrxExpectNext(TKrxLexer& lexer, TKrxKindSet kinds, KrxError message, int32_t code);

// Advances and requires keyword `word`, else the expected-token message
// naming `expected` (or the end-of-command message).
const TToken& KrxExpectNextKeyword(TKrxLexer& lexer, int16_t word, const char* expected, int32_t code);

// Advances; the end of the command raises "Unexpected end ..." with `code`.
const TToken& KrxNextOrEnd(TKrxLexer& lexer, int32_t code);

// The current token as a name: a parameter gives its value as text, every
// other kind its text.
std::string KrxNameOf(const TToken& token);

// True when the current token is the word `text` (e.g. "=" or "*").
inline bool KrxIsWord(const TToken& token, const char* text) {
  return token.kind == tkWord && token.text == text;
}

// The token's text in upper case (ASCII letters only; national bytes kept).
std::string KrxUpperAscii(const std::string& text);

// Case-insensitive equality of two names (ASCII letters; national bytes
// compare exactly).
bool KrxSameName(const std::string& a, const std::string& b);

}  // namespace krx
