// One lexical unit of SQL text and the token list of one command.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxKeywords.h"

namespace krx {

class TKrxSQLParam;

enum TTokenKind : uint8_t {
  tkNone = 0,            // past the end of a command
  tkWord = 1,            // identifier, operator run, `*`, back-quoted name
  tkString = 2,          // '...' or "..."
  tkBracketedName = 3,   // [...]
  tkInteger = 4,         // a run of digits
  tkFloat = 5,           // digits with '.' or an exponent
  tkKeyword = 6,         // a word of the keyword table
  tkParameter = 7,       // :name, :"name", :'name', :[name], ?
  tkLeftParen = 8,
  tkRightParen = 9,
  tkComma = 10,
  tkDot = 11,
};

struct TToken {
  TTokenKind kind = tkNone;
  int16_t keyword = kwNone;
  // A string's content without quotes; a parameter's name.
  std::string text;
  // The value of a parameter token: a copy taken when the text was
  // tokenised, so later changes of the parameter list do not reach it.
  std::shared_ptr<const TKrxSQLParam> value;
  int32_t line = 0;
  int32_t column = 0;

  bool IsKeyword() const { return kind == tkKeyword; }
  bool IsKeyword(int16_t word) const { return kind == tkKeyword && keyword == word; }
};

// The tokens of one command and the parsers' current position in them.
struct TSQLCommand {
  std::vector<TToken> tokens;
  int position = 0;

  int TokenCount() const { return static_cast<int>(tokens.size()); }
};

}  // namespace krx
