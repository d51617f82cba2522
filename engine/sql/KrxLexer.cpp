#include "KrxLexer.h"

#include <utility>

#include "KrxParserErrors.h"
#include "KrxSQLParams.h"

namespace krx {

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsNationalLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Characters that end any open token and start one of their own.
bool EndsOpenToken(unsigned char c) {
  switch (c) {
    case '>': case '<': case '=': case '(': case ')': case ',':
    case '/': case '*': case ':': case '?': case '|':
    // A quote always opens a quoted token, also right after a word
    // ("like'%a'"), rather than becoming part of the word.
    case '\'': case '"': case '`': case '[':
      return true;
    default:
      return false;
  }
}

// Characters of operator runs such as "<" or "!": a run ends at the first
// character that is not one of them, so "a<5" is three tokens.
bool IsOperatorChar(unsigned char c) {
  switch (c) {
    case '<': case '>': case '|': case '!': case '%': case '^': case '&':
    case '~': case '\\': case '{': case '}': case ']':
      return true;
    default:
      return false;
  }
}

// Bytes of the GB18030 character at text[pos]: a national character is
// 2 bytes, or 4 when its second byte is a digit; never cut at the end.
size_t CharLength(const std::string& text, size_t pos) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  if (!IsNationalLead(lead) || pos + 1 >= text.size()) return 1;
  const unsigned char second = static_cast<unsigned char>(text[pos + 1]);
  if (IsDigit(second)) return pos + 3 < text.size() ? 4 : text.size() - pos;
  return 2;
}

struct Position {
  int32_t line = 1;
  int32_t column = 1;
};

// One pass over the text, filling the command list.
class Tokeniser {
 public:
  Tokeniser(const std::string& text, const TKrxSQLParams* params, std::vector<TSQLCommand>& commands)
      : text_(text), params_(params), commands_(commands) {}

  void Run() {
    const size_t n = text_.size();
    while (i_ < n) {
      const unsigned char c = Byte(i_);
      const unsigned char next = i_ + 1 < n ? Byte(i_ + 1) : 0;
      if (c == ';') {
        EndCommand();
        StepChar();
      } else if (c == '-' && next == '-') {
        FinishToken();
        SkipLineComment();
      } else if (c == '/' && next == '*') {
        FinishToken();
        SkipBlockComment();
      } else if (IsSpace(c)) {
        FinishToken();
        StepChar();
      } else if (!(open_ && ContinueOpenToken(c))) {
        FinishToken();
        StartToken(c, next);
      }
    }
    EndCommand();
  }

 private:
  unsigned char Byte(size_t pos) const { return static_cast<unsigned char>(text_[pos]); }

  // Moves over one character, counting lines (CR LF, LF and a lone CR each
  // end a line) and columns (a national character is one column).
  void StepChar() {
    const unsigned char c = Byte(i_);
    if (c == '\n') {
      ++line_;
      column_ = 1;
      ++i_;
    } else if (c == '\r') {
      if (i_ + 1 < text_.size() && Byte(i_ + 1) == '\n') {
        ++i_;  // the LF counts the line
      } else {
        ++line_;
        column_ = 1;
        ++i_;
      }
    } else {
      i_ += CharLength(text_, i_);
      ++column_;
    }
  }

  // Appends the character at i_ (whole) to the open token and moves on.
  void TakeChar() {
    const size_t len = text_[i_] == '\r' || text_[i_] == '\n' ? 1 : CharLength(text_, i_);
    token_.text.append(text_, i_, len);
    StepChar();
  }

  void SkipLineComment() {
    while (i_ < text_.size()) {
      const unsigned char c = Byte(i_);
      StepChar();
      if (c == '\n' || (c == '\r' && (i_ >= text_.size() || Byte(i_) != '\n'))) break;
    }
  }

  void SkipBlockComment() {
    StepChar();
    StepChar();
    while (i_ < text_.size()) {
      if (Byte(i_) == '*' && i_ + 1 < text_.size() && Byte(i_ + 1) == '/') {
        StepChar();
        StepChar();
        return;
      }
      StepChar();
    }
  }

  // Extends the open token with c when c belongs to it; false when c ends
  // it (the caller finishes the token and starts a new one with c).
  bool ContinueOpenToken(unsigned char c) {
    if (EndsOpenToken(c)) return false;
    switch (token_.kind) {
      case tkDot:
        if (!IsDigit(c)) return false;
        token_.kind = tkInteger;  // ".5"
        TakeChar();
        return true;
      case tkInteger: {
        if (IsDigit(c) || c == '.' || c == 'E' || c == 'e') {
          TakeChar();
          return true;
        }
        if (c == '+' || c == '-') {
          const char last = token_.text.back();
          if (last != 'E' && last != 'e') return false;
          TakeChar();
          return true;
        }
        KrxRaiseAt(KrxError::InvalidNumericSymbol, 30062, text_.substr(i_, CharLength(text_, i_)), line_,
                   column_);
      }
      case tkWord:
        if (c == '.') return false;
        if (operatorRun_) {
          if (!IsOperatorChar(c)) return false;
        } else if (c == '+' || c == '-') {
          return false;
        }
        TakeChar();
        return true;
      default:
        return false;
    }
  }

  void BeginToken(TTokenKind kind) {
    token_ = TToken{};
    token_.kind = kind;
    token_.line = line_;
    token_.column = column_;
    open_ = true;
    operatorRun_ = false;
    quotedName_ = false;
  }

  // The token of one or two characters that is complete at once.
  void SingleToken(TTokenKind kind, size_t length) {
    BeginToken(kind);
    for (size_t k = 0; k < length; ++k) TakeChar();
    FinishToken();
  }

  void StartToken(unsigned char c, unsigned char next) {
    switch (c) {
      case '\'':
      case '"':
        BeginToken(tkString);
        ReadQuoted(static_cast<char>(c));
        return;
      case '[':
        BeginToken(tkBracketedName);
        ReadQuoted(']');
        return;
      case '`':
        BeginToken(tkWord);
        quotedName_ = true;
        ReadQuoted('`');
        return;
      case ':':
        if (next == '\'' || next == '"' || next == '[') {
          BeginToken(tkWord);
          token_.text = ":";
          StepChar();
          ReadQuoted(next == '[' ? ']' : static_cast<char>(next));
          return;
        }
        break;
      case '(':
        lastOpen_ = {line_, column_};
        ++depth_;
        SingleToken(tkLeftParen, 1);
        return;
      case ')':
        lastClose_ = {line_, column_};
        --depth_;
        SingleToken(tkRightParen, 1);
        return;
      case ',':
        SingleToken(tkComma, 1);
        return;
      case '.':
        BeginToken(tkDot);
        TakeChar();
        return;
      case '-': case '+': case '*': case '/': case '=':
        SingleToken(tkWord, 1);
        return;
      case '|':
        if (next == '|') {
          SingleToken(tkWord, 2);
          return;
        }
        break;
      case '<':
        if (next == '=' || next == '>') {
          SingleToken(tkWord, 2);
          return;
        }
        break;
      case '>':
        if (next == '=') {
          SingleToken(tkWord, 2);
          return;
        }
        break;
      default:
        break;
    }
    if (IsDigit(c)) {
      BeginToken(tkInteger);
    } else {
      BeginToken(tkWord);
      operatorRun_ = IsOperatorChar(c);
    }
    TakeChar();
  }

  // Collects a quoted token from its opening character at i_ up to `close`;
  // the closing character doubled stands for itself, and inside back-quotes
  // a backslash takes the next character literally. Trail bytes of national
  // characters never close the quote.
  void ReadQuoted(char close) {
    const bool backslashEscapes = close == '`';
    lastQuote_ = {line_, column_};
    StepChar();
    while (i_ < text_.size()) {
      const char c = text_[i_];
      if (c == close) {
        if (i_ + 1 < text_.size() && text_[i_ + 1] == close) {
          token_.text += close;
          StepChar();
          StepChar();
          continue;
        }
        StepChar();
        FinishToken();
        return;
      }
      if (backslashEscapes && c == '\\' && i_ + 1 < text_.size()) {
        StepChar();
      }
      TakeChar();
    }
    unterminated_ = true;
    FinishToken();
  }

  void FinishToken() {
    if (!open_) return;
    open_ = false;
    if (token_.kind == tkInteger) {
      if (token_.text.find_first_of(".Ee") != std::string::npos) token_.kind = tkFloat;
    } else if (token_.kind == tkWord && !quotedName_) {
      const char first = token_.text[0];
      if (first == ':' || first == '?') {
        MakeParameter();
      } else {
        const TKrxKeyword word = KrxFindKeyword(token_.text);
        if (word != kwNone) {
          token_.kind = tkKeyword;
          token_.keyword = word;
        }
      }
    }
    if (!commandOpen_) {
      commands_.emplace_back();
      commandOpen_ = true;
    }
    commands_.back().tokens.push_back(std::move(token_));
  }

  void MakeParameter() {
    const TKrxSQLParam* param = nullptr;
    std::string name;
    if (token_.text[0] == '?') {
      const int number = positionalCount_++;
      name = "Param" + std::to_string(number + 1);
      if (params_ && number < params_->Count()) param = &params_->Item(number);
    } else {
      name = token_.text.substr(1);
      if (params_) param = params_->FindParam(name);
    }
    if (!param) KrxRaiseAt(KrxError::ParamValueNotFound, 30358, name);
    token_.kind = tkParameter;
    token_.text = std::move(name);
    token_.value = std::make_shared<const TKrxSQLParam>(*param);
  }

  void EndCommand() {
    FinishToken();
    const int depth = depth_;
    const bool unterminated = unterminated_;
    depth_ = 0;
    unterminated_ = false;
    commandOpen_ = false;
    if (depth > 0) KrxRaiseAt(KrxError::MissingCloseParen, 30059, lastOpen_.line, lastOpen_.column);
    if (depth < 0) KrxRaiseAt(KrxError::UnexpectedCloseParen, 30060, lastClose_.line, lastClose_.column);
    if (unterminated) KrxRaiseAt(KrxError::UnterminatedString, 30061, lastQuote_.line, lastQuote_.column);
  }

  const std::string& text_;
  const TKrxSQLParams* params_;
  std::vector<TSQLCommand>& commands_;
  size_t i_ = 0;
  int32_t line_ = 1;
  int32_t column_ = 1;
  TToken token_;
  bool open_ = false;
  bool operatorRun_ = false;
  bool quotedName_ = false;
  bool commandOpen_ = false;
  bool unterminated_ = false;
  int depth_ = 0;
  Position lastOpen_, lastClose_, lastQuote_;
  int positionalCount_ = 0;
};

const TToken kNoToken{};

}  // namespace

TKrxLexer::TKrxLexer() = default;

TKrxLexer::TKrxLexer(std::string sql, const TKrxSQLParams* params) : sql_(std::move(sql)), params_(params) {
  Tokeniser(sql_, params_, commands_).Run();
}

bool TKrxLexer::NextCommand() {
  if (commandIndex_ + 1 >= CommandCount()) {
    commandIndex_ = CommandCount();
    return false;
  }
  ++commandIndex_;
  commands_[commandIndex_].position = 0;
  return true;
}

const TToken& TKrxLexer::Current() const {
  if (commandIndex_ < 0 || commandIndex_ >= CommandCount()) return kNoToken;
  const TSQLCommand& command = commands_[commandIndex_];
  if (command.position < 0 || command.position >= command.TokenCount()) return kNoToken;
  return command.tokens[command.position];
}

bool TKrxLexer::CurrentToken(TToken& token) const {
  token = Current();
  return token.kind != tkNone;
}

bool TKrxLexer::Advance(TToken& token) {
  if (commandIndex_ >= 0 && commandIndex_ < CommandCount()) {
    TSQLCommand& command = commands_[commandIndex_];
    if (command.position < command.TokenCount()) ++command.position;
  }
  return CurrentToken(token);
}

bool TKrxLexer::Peek(TToken& token) const {
  token = TToken{};
  if (commandIndex_ < 0 || commandIndex_ >= CommandCount()) return false;
  const TSQLCommand& command = commands_[commandIndex_];
  const int next = command.position + 1;
  if (next >= command.TokenCount()) return false;
  token = command.tokens[next];
  return true;
}

int TKrxLexer::GetPosition() const {
  if (commandIndex_ < 0 || commandIndex_ >= CommandCount()) return 0;
  return commands_[commandIndex_].position;
}

void TKrxLexer::SetPosition(int position) {
  if (commandIndex_ < 0 || commandIndex_ >= CommandCount()) return;
  TSQLCommand& command = commands_[commandIndex_];
  command.position = position < 0 ? 0 : (position > command.TokenCount() ? command.TokenCount() : position);
}

bool TKrxLexer::AtEnd() const { return Current().kind == tkNone; }

void TKrxLexer::AppendCommand() {
  commands_.emplace_back();
  commandIndex_ = CommandCount() - 1;
}

void TKrxLexer::AppendToken(TToken token) {
  if (commands_.empty()) AppendCommand();
  commands_.back().tokens.push_back(std::move(token));
}

}  // namespace krx
