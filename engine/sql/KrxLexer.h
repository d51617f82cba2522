// The lexer cuts SQL text into commands (split at ';') and tokens, once, at
// construction; the parsers then walk the token lists and never re-read the
// text. Lexical errors (unbalanced parentheses, an unterminated quote, a bad
// number, a missing parameter value) are raised by the constructor.
//
// The text is in the engine's narrow code page (GB18030): a national
// character is stepped over whole and belongs to words like a letter.
#pragma once

#include <string>
#include <vector>

#include "KrxToken.h"

namespace krx {

class TKrxSQLParams;

class TKrxLexer {
 public:
  // Tokenises `sql`; parameter tokens take their values from `params`
  // (may be null: then any parameter token is an error).
  TKrxLexer(std::string sql, const TKrxSQLParams* params);
  // An empty lexer for token lists built in code (AppendCommand/AppendToken).
  TKrxLexer();

  const std::string& SQL() const { return sql_; }
  const TKrxSQLParams* Params() const { return params_; }

  int CommandCount() const { return static_cast<int>(commands_.size()); }
  int CommandIndex() const { return commandIndex_; }
  // Moves to the next command; false when there is none.
  bool NextCommand();
  // The current command (valid after NextCommand returned true).
  TSQLCommand& Command() { return commands_[commandIndex_]; }
  const TSQLCommand& Command() const { return commands_[commandIndex_]; }
  TSQLCommand& CommandAt(int index) { return commands_[index]; }

  // Copy of the token at the current position; false (and an empty token of
  // kind tkNone) when the position is past the end of the command.
  bool CurrentToken(TToken& token) const;
  // Moves one token on and copies the token now current; false, with an
  // empty token of kind tkNone, when the move went past the end.
  bool Advance(TToken& token);
  // Copy of the token after the current one, without moving.
  bool Peek(TToken& token) const;
  // The token at the current position without copying (a kind-0 token past
  // the end).
  const TToken& Current() const;

  int GetPosition() const;
  void SetPosition(int position);
  bool AtEnd() const;

  // Building token lists in code: a new empty command becomes current,
  // tokens go to the end of the current command.
  void AppendCommand();
  void AppendToken(TToken token);

 private:
  std::string sql_;
  const TKrxSQLParams* params_ = nullptr;
  std::vector<TSQLCommand> commands_;
  int commandIndex_ = -1;
};

}  // namespace krx
