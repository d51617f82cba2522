#include "KrxParser.h"

#include "KrxParserErrors.h"
#include "KrxSQLParams.h"

namespace krx {

void KrxRaiseUnexpectedEnd(const TKrxLexer& lexer, int32_t code) {
  int32_t line = 0;
  int32_t column = 0;
  if (lexer.CommandIndex() >= 0 && lexer.CommandIndex() < lexer.CommandCount() &&
      !lexer.Command().tokens.empty()) {
    const TToken& last = lexer.Command().tokens.back();
    line = last.line;
    column = last.column;
  }
  KrxRaiseAt(KrxError::UnexpectedEnd, code, line, column);
}

const TToken& KrxNextOrEnd(TKrxLexer& lexer, int32_t code) {
  TToken ignored;
  if (!lexer.Advance(ignored)) KrxRaiseUnexpectedEnd(lexer, code);
  return lexer.Current();
}

const TToken& KrxExpectNext(TKrxLexer& lexer, TKrxKindSet kinds, KrxError message, int32_t code) {
  const TToken& token = KrxNextOrEnd(lexer, code);
  if (!kinds.Has(token.kind)) KrxRaiseToken(message, code, token);
  return token;
}

const TToken& KrxExpectNextKeyword(TKrxLexer& lexer, int16_t word, const char* expected, int32_t code) {
  const TToken& token = KrxNextOrEnd(lexer, code);
  if (!token.IsKeyword(word)) KrxRaiseExpected(code, expected, token);
  return token;
}

std::string KrxNameOf(const TToken& token) {
  if (token.kind == tkParameter && token.value) {
    return token.value->IsNull() ? std::string() : token.value->AsString();
  }
  return token.text;
}

namespace {

// Bytes of the character at text[pos]: national characters are kept whole
// so that a trail byte is never taken for a letter.
size_t CharBytes(const std::string& text, size_t pos) {
  const unsigned char lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x81 || lead == 0xFF || pos + 1 >= text.size()) return 1;
  const unsigned char second = static_cast<unsigned char>(text[pos + 1]);
  if (second >= '0' && second <= '9' && pos + 3 < text.size()) return 4;
  return 2;
}

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

std::string KrxUpperAscii(const std::string& text) {
  std::string upper = text;
  for (size_t i = 0; i < upper.size();) {
    const size_t len = CharBytes(upper, i);
    if (len == 1) upper[i] = UpperAscii(upper[i]);
    i += len;
  }
  return upper;
}

bool KrxSameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    const size_t len = CharBytes(a, i);
    if (len == 1) {
      if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    } else if (a.compare(i, len, b, i, len) != 0) {
      return false;
    }
    i += len;
  }
  return true;
}

}  // namespace krx
