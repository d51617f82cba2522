#include "KrxExpressionParser.h"

#include <cstdlib>
#include <limits>

#include "KrxException.h"
#include "KrxExprNodeAggregated.h"
#include "KrxExprNodeArithmetic.h"
#include "KrxExprNodeBlob.h"
#include "KrxExprNodeBoolean.h"
#include "KrxExprNodeCase.h"
#include "KrxExprNodeCast.h"
#include "KrxExprNodeComparison.h"
#include "KrxExprNodeConst.h"
#include "KrxExprNodeDateFunction.h"
#include "KrxExprNodeField.h"
#include "KrxExprNodeStringFunction.h"
#include "KrxExprNodeSubquery.h"
#include "KrxExprNodeSystem.h"
#include "KrxFunctions.h"
#include "KrxLocale.h"
#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxSQLParams.h"
#include "KrxSQLUnion.h"

namespace krx {

namespace {

using S = TKrxStorageType;

// Codes of the parse sites that have no fixed code.
constexpr int32_t kCodeOpenParen = 20620;
constexpr int32_t kCodeCloseParen = 20621;
constexpr int32_t kCodeExtractPart = 20622;
constexpr int32_t kCodeExtractFrom = 20623;
constexpr int32_t kCodeCastAs = 20624;
constexpr int32_t kCodeInOpen = 20625;
constexpr int32_t kCodeInClose = 20626;
constexpr int32_t kCodeBetweenAnd = 20627;
constexpr int32_t kCodeQuantifiedOpen = 20628;
constexpr int32_t kCodeQuantifiedClose = 20629;
constexpr int32_t kCodeNotOperand = 20630;
constexpr int32_t kCodeLastAutoIncComma = 20631;
constexpr int32_t kCodeMimeText = 20632;
constexpr int32_t kCodeRoundMode = 20633;
constexpr int32_t kCodeTimeStampFormat = 20634;
constexpr int32_t kCodeBetweenOperand = 20635;
constexpr int32_t kCodeCaseResult = 20636;
constexpr int32_t kCodeExistsOpen = 20637;
constexpr int32_t kCodeCastSize = 20638;
constexpr int32_t kCodeInElement = 20639;
constexpr int32_t kCodeCoalesceArgument = 20640;
constexpr int32_t kCodeFunctionArgument = 20641;

bool IsOperatorText(const std::string& text) {
  if (text.empty()) return true;
  for (char c : text) {
    switch (c) {
      case '+': case '-': case '*': case '/': case '=': case '<': case '>': case '|': case '!':
      case '^': case '&': case '%': case '~':
        break;
      default:
        return false;
    }
  }
  return true;
}

// A word or bracketed name that can name a column (not a keyword, not an
// operator).
bool IsNameToken(const TToken& token) {
  if (token.kind == tkBracketedName) return true;
  return token.kind == tkWord && !IsOperatorText(token.text);
}

TKrxExprOp ComparisonOf(const TToken& token) {
  if (token.kind != tkWord) return eoNone;
  const std::string& t = token.text;
  if (t == "=") return eoEqual;
  if (t == "<>") return eoNotEqual;
  if (t == ">") return eoGreater;
  if (t == "<") return eoLess;
  if (t == ">=") return eoGreaterEqual;
  if (t == "<=") return eoLessEqual;
  return eoNone;
}

bool IsConstNode(const TKrxExprNode& node) { return node.Operation() == eoConst; }

const TKrxVariant& ConstValue(const TKrxExprNode& node) { return static_cast<const TKrxExprNodeConst&>(node).Value(); }

bool IsTextOrDateType(S type) { return KrxIsStringType(type) || KrxIsDateTimeType(type); }

// A NULL constant of a string or date/time type ('' or a parameter bound to
// a typed NULL); the NULL literal is an INTEGER NULL and is not one.
bool IsTypedNullConst(const TKrxExprNode& node) {
  return IsConstNode(node) && ConstValue(node).IsNull() && IsTextOrDateType(ConstValue(node).Type());
}

bool IsTextOrDateConst(const TKrxExprNode& node) {
  return IsConstNode(node) && IsTextOrDateType(ConstValue(node).Type());
}

bool IsNonNumericConst(const TKrxExprNode& node) {
  if (!IsConstNode(node)) return false;
  const S type = ConstValue(node).Type();
  return !KrxIsNumericType(type);
}

TKrxExprNodePtr MakeConst(const TKrxVariant& value) { return std::make_unique<TKrxExprNodeConst>(value); }

TKrxExprNodePtr MakeBoolean(TKrxExprOp op, bool negated, TKrxExprNodePtr a, TKrxExprNodePtr b = nullptr,
                            TKrxExprNodePtr c = nullptr) {
  auto node = std::make_unique<TKrxExprNodeBoolean>(op, negated);
  node->AddChild(std::move(a));
  if (b) node->AddChild(std::move(b));
  if (c) node->AddChild(std::move(c));
  return node;
}

// Comparison of left with right: a column against a typed NULL becomes IS
// [NOT] NULL; null-strictness is off when a string or date/time constant (or
// a typed NULL) meets a value that is not constant, on otherwise.
TKrxExprNodePtr MakeComparison(TKrxExprOp op, TKrxExprNodePtr left, TKrxExprNodePtr right, bool partial = false) {
  if (op == eoEqual || op == eoNotEqual) {
    if (left->Operation() == eoField && IsTypedNullConst(*right)) {
      return MakeBoolean(eoIsNull, op == eoNotEqual, std::move(left));
    }
    if (right->Operation() == eoField && IsTypedNullConst(*left)) {
      return MakeBoolean(eoIsNull, op == eoNotEqual, std::move(right));
    }
  }
  const bool loose = (IsTextOrDateConst(*right) && !left->IsConstant()) ||
                     (IsTextOrDateConst(*left) && !right->IsConstant());
  auto node = std::make_unique<TKrxExprNodeComparison>(op);
  node->SetNullStrict(!loose);
  node->SetPartialMatch(partial);
  node->AddChild(std::move(left));
  node->AddChild(std::move(right));
  return node;
}

size_t CharacterCount(std::string_view text) {
  size_t count = 0;
  for (size_t pos = 0; pos < text.size(); pos += KrxGbCharLength(text, pos)) ++count;
  return count;
}

// Checks a DATE/TIME/TIMESTAMP literal's digit groups: each group of the
// given width is followed by exactly one non-digit, except the last.
bool DigitGroups(const std::string& text, std::initializer_list<int> widths, std::vector<int>& values) {
  size_t pos = 0;
  size_t index = 0;
  for (int width : widths) {
    int value = 0;
    for (int i = 0; i < width; ++i, ++pos) {
      if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return false;
      value = value * 10 + (text[pos] - '0');
    }
    values.push_back(value);
    ++index;
    if (index < widths.size()) {
      if (pos >= text.size() || (text[pos] >= '0' && text[pos] <= '9')) return false;
      pos += KrxGbCharLength(text, pos);
    }
  }
  return pos == text.size();
}

}  // namespace

// ---- token helpers ----

void TKrxExpressionParser::Next() {
  TToken ignored;
  lexer_.Advance(ignored);
}

TToken TKrxExpressionParser::Found() const {
  TToken token = Cur();
  if (token.kind == tkNone && lexer_.CommandIndex() >= 0 && lexer_.CommandIndex() < lexer_.CommandCount() &&
      !lexer_.Command().tokens.empty()) {
    // Past the end: the position of the command's last token.
    const TToken& last = lexer_.Command().tokens.back();
    token.line = last.line;
    token.column = last.column;
  }
  return token;
}

bool TKrxExpressionParser::AtWord(const char* text) const { return Cur().kind == tkWord && Cur().text == text; }

bool TKrxExpressionParser::SubqueryAhead() const {
  const TSQLCommand& command = lexer_.Command();
  int pos = lexer_.GetPosition();
  if (pos >= command.TokenCount() || command.tokens[pos].kind != tkLeftParen) return false;
  while (pos < command.TokenCount() && command.tokens[pos].kind == tkLeftParen) ++pos;
  return pos < command.TokenCount() && command.tokens[pos].IsKeyword(kwSELECT);
}

void TKrxExpressionParser::OpenParen() {
  if (Cur().kind != tkLeftParen) KrxRaiseExpected(kCodeOpenParen, "(", Found());
  Next();
}

void TKrxExpressionParser::CloseParen() {
  if (Cur().kind != tkRightParen) KrxRaiseExpected(kCodeCloseParen, ")", Found());
  Next();
}

TKrxExprNodePtr TKrxExpressionParser::StringArgument(const char* function) {
  const TToken start = Found();
  if (start.kind == tkRightParen || start.kind == tkNone || start.kind == tkComma) {
    KrxRaiseAt(KrxError::ArgumentExpected, kCodeFunctionArgument, function, start.line, start.column);
  }
  TKrxExprNodePtr arg = StringExpression();
  if (!arg) KrxRaiseAt(KrxError::StringArgumentExpected, 20602, function, start.text, start.line, start.column);
  return arg;
}

TKrxExprNodePtr TKrxExpressionParser::ValueArgument(const char* function) {
  const TToken start = Found();
  TKrxExprNodePtr arg;
  if (start.kind != tkRightParen && start.kind != tkNone && start.kind != tkComma) arg = ValueExpression();
  if (!arg) KrxRaiseAt(KrxError::ArgumentExpected, 20601, function, start.line, start.column);
  return arg;
}

std::string TKrxExpressionParser::FormatArgument(int32_t code) {
  if (Cur().kind != tkString) KrxRaiseToken(KrxError::ConstDateFormatExpected, code, Found());
  std::string format = Cur().text;
  Next();
  return format;
}

std::string TKrxExpressionParser::NameArgument(const char* function) {
  const TToken& token = Cur();
  if (token.kind != tkWord && token.kind != tkBracketedName && token.kind != tkString && token.kind != tkParameter) {
    KrxRaiseAt(KrxError::NameExpected, 20608, function, token.text, token.line, token.column);
  }
  std::string name = KrxNameOf(token);
  Next();
  return name;
}

// ---- search conditions ----

TKrxExprNodePtr TKrxExpressionParser::Condition() {
  TKrxExprNodePtr left = Term();
  if (!left) return nullptr;
  while (Cur().IsKeyword(kwOR)) {
    Next();
    TKrxExprNodePtr right = Term();
    if (!right) KrxRaiseToken(KrxError::BooleanExpected, 30070, Found());
    left = MakeBoolean(eoOr, false, std::move(left), std::move(right));
  }
  return left;
}

TKrxExprNodePtr TKrxExpressionParser::Term() {
  TKrxExprNodePtr first = Factor();
  if (!first || !Cur().IsKeyword(kwAND)) return first;
  auto node = std::make_unique<TKrxExprNodeBoolean>(eoAnd);
  node->AddChild(std::move(first));
  while (Cur().IsKeyword(kwAND)) {
    Next();
    TKrxExprNodePtr next = Factor();
    if (!next) KrxRaiseToken(KrxError::BooleanExpected, 30069, Found());
    node->AddChild(std::move(next));
  }
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::Factor() {
  if (!Cur().IsKeyword(kwNOT)) return Test();
  Next();
  TKrxExprNodePtr test = Test();
  if (!test) KrxRaiseToken(KrxError::BooleanExpected, kCodeNotOperand, Found());
  return MakeBoolean(eoNot, false, std::move(test));
}

TKrxExprNodePtr TKrxExpressionParser::Test() {
  TKrxExprNodePtr primary = Primary();
  if (!primary || !Cur().IsKeyword(kwIS)) return primary;
  Next();
  bool negated = false;
  if (Cur().IsKeyword(kwNOT)) {
    negated = true;
    Next();
  }
  if (Cur().IsKeyword(kwTRUE) || Cur().IsKeyword(kwFALSE)) {
    const bool keep = Cur().IsKeyword(kwTRUE) != negated;
    Next();
    return keep ? std::move(primary) : MakeBoolean(eoNot, false, std::move(primary));
  }
  if (Cur().IsKeyword(kwUNKNOWN)) {
    Next();
    return MakeBoolean(eoIsNull, negated, std::move(primary));
  }
  KrxRaiseExpected(30067, "TRUE, FALSE or UNKNOWN", Found());
}

TKrxExprNodePtr TKrxExpressionParser::Primary() {
  const int start = Mark();
  if (TKrxExprNodePtr predicate = Predicate()) return predicate;
  Reset(start);
  if (Cur().kind == tkLeftParen) {
    Next();
    TKrxExprNodePtr inner = Condition();
    if (inner && Cur().kind == tkRightParen) {
      Next();
      return inner;
    }
    Reset(start);
  }
  if (TKrxExprNodePtr value = ValueExpression()) {
    return MakeBoolean(eoTruth, false, std::move(value));
  }
  Reset(start);
  return nullptr;
}

TKrxExprNodePtr TKrxExpressionParser::Predicate() {
  const TToken& first = Cur();
  if (first.IsKeyword(kwTRUE) || first.IsKeyword(kwFALSE)) {
    const bool value = first.IsKeyword(kwTRUE);
    Next();
    return MakeConst(TKrxVariant::FromBoolean(value));
  }
  if (first.kind == tkParameter && first.value && first.value->Type() == S::Boolean) {
    TKrxExprNodePtr node = MakeConst(first.value->Value());
    Next();
    return node;
  }
  if (first.IsKeyword(kwEXISTS)) return Exists();

  const int start = Mark();
  TKrxExprNodePtr operand = Operand();
  if (!operand) return nullptr;

  const TKrxExprOp op = ComparisonOf(Cur());
  if (op != eoNone) {
    Next();
    TKrxExprNodePtr result = ComparisonRest(op, std::move(operand));
    if (!result) Reset(start);
    return result;
  }
  bool negated = false;
  if (Cur().IsKeyword(kwNOT)) {
    negated = true;
    Next();
  }
  if (Cur().IsKeyword(kwLIKE)) {
    Next();
    TKrxExprNodePtr result = LikeRest(std::move(operand), negated);
    if (!result) Reset(start);
    return result;
  }
  if (Cur().IsKeyword(kwBETWEEN)) {
    Next();
    TKrxExprNodePtr low = Operand();
    if (!low) KrxRaiseToken(KrxError::ExpressionExpected, kCodeBetweenOperand, Found());
    if (!Cur().IsKeyword(kwAND)) KrxRaiseExpected(kCodeBetweenAnd, "AND", Found());
    Next();
    TKrxExprNodePtr high = Operand();
    if (!high) KrxRaiseToken(KrxError::ExpressionExpected, kCodeBetweenOperand, Found());
    return MakeBoolean(eoBetween, negated, std::move(operand), std::move(low), std::move(high));
  }
  if (Cur().IsKeyword(kwIN)) {
    Next();
    return InRest(std::move(operand), negated);
  }
  if (!negated && Cur().IsKeyword(kwIS)) {
    TToken next;
    if (lexer_.Peek(next)) {
      bool isNot = false;
      int skip = 1;
      if (next.IsKeyword(kwNOT)) {
        isNot = true;
        TSQLCommand& command = lexer_.Command();
        const int after = Mark() + 2;
        next = after < command.TokenCount() ? command.tokens[after] : TToken{};
        skip = 2;
      }
      if (next.IsKeyword(kwNULL)) {
        for (int i = 0; i <= skip; ++i) Next();
        return MakeBoolean(eoIsNull, isNot, std::move(operand));
      }
    }
  }
  Reset(start);
  return nullptr;
}

TKrxExprNodePtr TKrxExpressionParser::ComparisonRest(TKrxExprOp op, TKrxExprNodePtr left) {
  if (Cur().IsKeyword(kwANY) || Cur().IsKeyword(kwSOME) || Cur().IsKeyword(kwALL)) {
    const TKrxQuantifier quantifier = Cur().IsKeyword(kwALL) ? TKrxQuantifier::All : TKrxQuantifier::Any;
    Next();
    if (Cur().kind != tkLeftParen) KrxRaiseExpected(kCodeQuantifiedOpen, "(", Found());
    Next();
    auto subquery = std::make_unique<TKrxExprNodeSubquery>(KrxParseQueryExpression(lexer_, query_));
    if (Cur().kind != tkRightParen) KrxRaiseExpected(kCodeQuantifiedClose, ")", Found());
    Next();
    auto node = std::make_unique<TKrxExprNodeComparison>(op, quantifier);
    node->AddChild(std::move(left));
    node->AddChild(std::move(subquery));
    return node;
  }
  TKrxExprNodePtr right = Operand();
  if (!right) return nullptr;
  return MakeComparison(op, std::move(left), std::move(right));
}

TKrxExprNodePtr TKrxExpressionParser::LikeRest(TKrxExprNodePtr operand, bool negated) {
  TKrxExprNodePtr pattern = Operand();
  if (!pattern) return nullptr;
  TKrxExprNodePtr escape;
  if (Cur().IsKeyword(kwESCAPE)) {
    Next();
    const TToken& token = Cur();
    std::string text;
    if (token.kind == tkString) {
      text = token.text;
    } else if (token.kind == tkParameter && token.value && !token.value->IsNull()) {
      text = token.value->AsString();
    }
    if ((token.kind != tkString && token.kind != tkParameter) || text.empty() ||
        KrxGbCharLength(text, 0) != text.size()) {
      KrxRaiseAt(KrxError::InvalidEscapeLength, 20294, token.line, token.column);
    }
    escape = MakeConst(TKrxVariant::FromString(text));
    Next();
  }
  if (!escape && IsConstNode(*pattern) && !ConstValue(*pattern).IsNull() &&
      KrxIsNarrowStringType(ConstValue(*pattern).Type())) {
    // A constant pattern whose only % ends it is a prefix comparison.
    const std::string& text = ConstValue(*pattern).StringValue();
    size_t firstPercent = std::string::npos;
    size_t lastChar = 0;
    for (size_t pos = 0; pos < text.size(); pos += KrxGbCharLength(text, pos)) {
      if (firstPercent == std::string::npos && text[pos] == '%') firstPercent = pos;
      lastChar = pos;
    }
    if (CharacterCount(text) >= 2 && firstPercent == lastChar) {
      auto prefix = MakeConst(TKrxVariant::FromString(std::string_view(text).substr(0, lastChar)));
      return MakeComparison(negated ? eoNotEqual : eoEqual, std::move(operand), std::move(prefix), true);
    }
  }
  auto node = std::make_unique<TKrxExprNodeBoolean>(eoLike, negated);
  node->AddChild(std::move(operand));
  node->AddChild(std::move(pattern));
  if (escape) node->AddChild(std::move(escape));
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::InRest(TKrxExprNodePtr operand, bool negated) {
  if (Cur().kind != tkLeftParen) KrxRaiseExpected(kCodeInOpen, "(", Found());
  const bool subquery = SubqueryAhead();
  Next();
  auto node = std::make_unique<TKrxExprNodeBoolean>(eoIn, negated);
  node->AddChild(std::move(operand));
  if (subquery) {
    node->AddChild(std::make_unique<TKrxExprNodeSubquery>(KrxParseQueryExpression(lexer_, query_)));
  } else {
    for (;;) {
      TKrxExprNodePtr element = Operand();
      if (!element) KrxRaiseToken(KrxError::ExpressionExpected, kCodeInElement, Found());
      node->AddChild(std::move(element));
      if (Cur().kind != tkComma) break;
      Next();
    }
  }
  if (Cur().kind != tkRightParen) KrxRaiseExpected(kCodeInClose, ")", Found());
  Next();
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::Exists() {
  Next();
  if (Cur().kind != tkLeftParen) KrxRaiseExpected(kCodeExistsOpen, "(", Found());
  Next();
  auto subquery = std::make_unique<TKrxExprNodeSubquery>(KrxParseQueryExpression(lexer_, query_));
  if (Cur().kind != tkRightParen) KrxRaiseAt(KrxError::MissingCloseParen, 30492, Found().line, Found().column);
  Next();
  auto node = std::make_unique<TKrxExprNodeBoolean>(eoExists);
  node->AddChild(std::move(subquery));
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::Operand() {
  if (SubqueryAhead()) {
    const int start = Mark();
    if (TKrxExprNodePtr subquery = ScalarSubquery()) {
      // A subquery followed by an operator is the start of a value.
      const TToken& next = Cur();
      const bool continues = next.kind == tkWord && (next.text == "+" || next.text == "-" || next.text == "*" ||
                                                     next.text == "/" || next.text == "||");
      if (!continues) return subquery;
    }
    Reset(start);
  }
  if (Cur().IsKeyword(kwNULL)) {
    Next();
    return MakeConst(TKrxVariant());
  }
  if (Cur().kind == tkParameter && Cur().value && Cur().value->IsNull()) {
    TKrxExprNodePtr node = MakeConst(Cur().value->Value());
    Next();
    return node;
  }
  return ValueExpression();
}

TKrxExprNodePtr TKrxExpressionParser::Subquery() {
  if (!SubqueryAhead()) return nullptr;
  return ScalarSubquery();
}

// ---- value expressions ----

TKrxExprNodePtr TKrxExpressionParser::ValueExpression() {
  const int start = Mark();
  if (failedValues_.count(start)) return nullptr;
  if (TKrxExprNodePtr node = NumericExpression()) return node;
  Reset(start);
  if (TKrxExprNodePtr node = DateArithmetic()) return node;
  Reset(start);
  if (TKrxExprNodePtr node = DateTimeValue()) return node;
  Reset(start);
  if (TKrxExprNodePtr node = StringExpression()) return node;
  Reset(start);
  if (Cur().IsKeyword(kwTRUE) || Cur().IsKeyword(kwFALSE)) {
    const bool value = Cur().IsKeyword(kwTRUE);
    Next();
    return MakeConst(TKrxVariant::FromBoolean(value));
  }
  if (Cur().IsKeyword(kwNULL)) {
    Next();
    return MakeConst(TKrxVariant());
  }
  if (TKrxExprNodePtr node = MimeToBin()) return node;
  Reset(start);
  failedValues_.insert(start);
  return nullptr;
}

TKrxExprNodePtr TKrxExpressionParser::NumericExpression() {
  TKrxExprNodePtr first = NumericTerm();
  if (!first) return nullptr;
  if (AtWord("+") || AtWord("-")) {
    auto sum = std::make_unique<TKrxExprNodeArithmetic>(eoSum);
    sum->AddTerm(std::move(first), false);
    while (AtWord("+") || AtWord("-")) {
      const bool subtract = AtWord("-");
      Next();
      TKrxExprNodePtr term = NumericTerm();
      if (!term) return nullptr;
      sum->AddTerm(std::move(term), subtract);
    }
    first = std::move(sum);
  }
  if (AtWord("||")) return nullptr;
  return first;
}

TKrxExprNodePtr TKrxExpressionParser::NumericTerm() {
  TKrxExprNodePtr left = NumericFactor();
  if (!left) return nullptr;
  while (AtWord("*") || AtWord("/")) {
    const TKrxExprOp op = AtWord("*") ? eoMultiply : eoDivide;
    Next();
    TKrxExprNodePtr right = NumericFactor();
    if (!right) return nullptr;
    auto node = std::make_unique<TKrxExprNodeArithmetic>(op);
    node->AddChild(std::move(left));
    node->AddChild(std::move(right));
    left = std::move(node);
  }
  return left;
}

TKrxExprNodePtr TKrxExpressionParser::NumericFactor() {
  bool negate = false;
  if (AtWord("+") || AtWord("-")) {
    negate = AtWord("-");
    Next();
  }
  TKrxExprNodePtr primary = NumericPrimary();
  if (!primary) return nullptr;
  if (!negate) return primary;
  auto node = std::make_unique<TKrxExprNodeArithmetic>(eoNegate);
  node->AddChild(std::move(primary));
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::NumericPrimary() {
  const int start = Mark();
  if (TKrxExprNodePtr node = CommonPrimary()) {
    if (IsNonNumericConst(*node)) return nullptr;
    return node;
  }
  Reset(start);
  if (TKrxExprNodePtr node = NumericFunction()) return node;
  Reset(start);
  return nullptr;
}

TKrxExprNodePtr TKrxExpressionParser::CommonPrimary() {
  const int start = Mark();
  TKrxExprNodePtr node;
  if ((node = Literal())) return node;
  Reset(start);
  if ((node = ColumnReference())) return node;
  Reset(start);
  if ((node = Aggregate())) return node;
  Reset(start);
  if (SubqueryAhead()) {
    if ((node = ScalarSubquery())) return node;
    Reset(start);
  }
  if ((node = CaseExpression())) return node;
  Reset(start);
  if ((node = Coalesce())) return node;
  Reset(start);
  if ((node = ParenthesizedValue())) return node;
  Reset(start);
  if ((node = Cast())) return node;
  Reset(start);
  return nullptr;
}

TKrxExprNodePtr TKrxExpressionParser::DateArithmetic() {
  const int start = Mark();
  if (TKrxExprNodePtr date = DateTimeValue()) {
    if (AtWord("+") || AtWord("-")) {
      const bool subtract = AtWord("-");
      Next();
      if (TKrxExprNodePtr rest = ValueExpression()) {
        auto sum = std::make_unique<TKrxExprNodeArithmetic>(eoSum);
        sum->AddTerm(std::move(date), false);
        if (rest->Operation() == eoSum) {
          // The sign belongs to the first term only: d - 1 + 2 is (d - 1) + 2.
          auto& terms = static_cast<TKrxExprNodeArithmetic&>(*rest);
          for (size_t i = 0; i < terms.ChildCount(); ++i) {
            const bool termSubtract = i == 0 ? subtract != terms.IsSubtracted(0) : terms.IsSubtracted(i);
            sum->AddTerm(std::move(terms.ChildSlot(i)), termSubtract);
          }
        } else {
          sum->AddTerm(std::move(rest), subtract);
        }
        return sum;
      }
    }
  }
  Reset(start);
  if (TKrxExprNodePtr text = StringExpression()) {
    if (AtWord("-")) {
      Next();
      if (TKrxExprNodePtr date = DateTimeValue()) {
        auto sum = std::make_unique<TKrxExprNodeArithmetic>(eoSum);
        sum->AddTerm(std::move(text), false);
        sum->AddTerm(std::move(date), true);
        return sum;
      }
    }
  }
  Reset(start);
  return nullptr;
}

TKrxExprNodePtr TKrxExpressionParser::DateTimeValue() {
  const TToken& token = Cur();
  if (token.kind == tkKeyword) {
    switch (token.keyword) {
      case kwSYSDATE:
      case kwNOW:
      case kwCURRENT_TIMESTAMP:
      case kwCURRENT_DATE:
      case kwCURRENT_TIME: {
        const TKrxExprOp op = KrxFunctionOfKeyword(token.keyword).op;
        Next();
        // NOW() is written with parentheses often enough to accept them.
        if (Cur().kind == tkLeftParen) {
          TToken next;
          if (lexer_.Peek(next) && next.kind == tkRightParen) {
            Next();
            Next();
          }
        }
        return std::make_unique<TKrxExprNodeDateFunction>(op);
      }
      case kwTODATE: {
        Next();
        OpenParen();
        TKrxExprNodePtr text = StringArgument("TODATE");
        if (Cur().kind != tkComma) KrxRaiseExpected(kCodeCloseParen, ",", Found());
        Next();
        auto node = std::make_unique<TKrxExprNodeDateFunction>(eoToDate, FormatArgument(30109));
        node->AddChild(std::move(text));
        CloseParen();
        return node;
      }
      case kwDATE:
      case kwTIME:
      case kwTIMESTAMP: return DateLiteral();
      default: break;
    }
  }
  if (token.kind == tkParameter && token.value && !token.value->IsNull() && KrxIsDateTimeType(token.value->Type())) {
    TKrxExprNodePtr node = MakeConst(token.value->Value());
    Next();
    return node;
  }
  return nullptr;
}

TKrxExprNodePtr TKrxExpressionParser::StringExpression() {
  const int start = Mark();
  if (failedStrings_.count(start)) return nullptr;
  TKrxExprNodePtr first = StringPrimary();
  if (!first) {
    failedStrings_.insert(start);
    return nullptr;
  }
  if (!AtWord("||") && !AtWord("+")) return first;
  auto concat = std::make_unique<TKrxExprNodeStringFunction>(eoConcat);
  concat->AddChild(std::move(first));
  while (AtWord("||") || AtWord("+")) {
    Next();
    TKrxExprNodePtr next = StringPrimary();
    if (!next) {
      failedStrings_.insert(start);
      return nullptr;
    }
    concat->AddChild(std::move(next));
  }
  return concat;
}

TKrxExprNodePtr TKrxExpressionParser::StringPrimary() {
  const int start = Mark();
  TKrxExprNodePtr node;
  if ((node = CommonPrimary())) return node;
  Reset(start);
  if ((node = StringFunction())) return node;
  Reset(start);
  if ((node = DateTimeValue())) return node;
  Reset(start);
  // Numeric functions inside string expressions: 'No. ' || LENGTH(x).
  if ((node = NumericFunction())) return node;
  Reset(start);
  return nullptr;
}

TKrxExprNodePtr TKrxExpressionParser::Literal() {
  const TToken& token = Cur();
  switch (token.kind) {
    case tkInteger: {
      errno = 0;
      char* end = nullptr;
      const unsigned long long magnitude = std::strtoull(token.text.c_str(), &end, 10);
      TKrxVariant value;
      if (errno == ERANGE || magnitude > static_cast<unsigned long long>(std::numeric_limits<int64_t>::max())) {
        value = TKrxVariant::FromDouble(std::strtod(token.text.c_str(), nullptr));
      } else if (magnitude < 2147483647ULL) {
        value = TKrxVariant::FromInt32(static_cast<int32_t>(magnitude));
      } else {
        value = TKrxVariant::FromInt64(static_cast<int64_t>(magnitude));
      }
      Next();
      return MakeConst(value);
    }
    case tkFloat: {
      char* end = nullptr;
      const double number = std::strtod(token.text.c_str(), &end);
      if (!end || *end != '\0') {
        KrxRaiseAt(KrxError::InvalidNumberLiteral, 20609, token.text, token.line, token.column);
      }
      Next();
      return MakeConst(TKrxVariant::FromDouble(number));
    }
    case tkString: {
      TKrxExprNodePtr node = MakeConst(TKrxVariant::FromString(token.text));
      Next();
      return node;
    }
    case tkParameter: {
      if (!token.value) return nullptr;
      const S type = token.value->Type();
      if (type == S::Boolean) return nullptr;
      if (!token.value->IsNull() && KrxIsDateTimeType(type)) return nullptr;
      TKrxExprNodePtr node = MakeConst(token.value->Value());
      Next();
      return node;
    }
    case tkKeyword:
      // NULL, an INTEGER NULL, also stands inside sums and concatenations.
      if (token.IsKeyword(kwNULL)) {
        Next();
        return MakeConst(TKrxVariant());
      }
      if (token.IsKeyword(kwDATE) || token.IsKeyword(kwTIME) || token.IsKeyword(kwTIMESTAMP)) return DateLiteral();
      return nullptr;
    default: return nullptr;
  }
}

TKrxExprNodePtr TKrxExpressionParser::DateLiteral() {
  const int16_t word = Cur().keyword;
  Next();
  const TToken& text = Cur();
  std::vector<int> v;
  if (word == kwDATE) {
    if (text.kind != tkString) KrxRaiseAt(KrxError::DateStringExpected, 20283, text.text, text.line, text.column);
    if (!DigitGroups(text.text, {4, 2, 2}, v) || !KrxIsValidDate(v[0], v[1], v[2])) {
      KrxRaiseExpected(20284, "YYYY-MM-DD", text);
    }
    Next();
    return MakeConst(TKrxVariant::FromDate(KrxEncodeDate(v[0], v[1], v[2])));
  }
  if (word == kwTIME) {
    if (text.kind != tkString) KrxRaiseAt(KrxError::TimeStringExpected, 20285, text.text, text.line, text.column);
    if (!DigitGroups(text.text, {2, 2, 2}, v) || v[0] > 23 || v[1] > 59 || v[2] > 59) {
      KrxRaiseExpected(20286, "HH:MM:SS", text);
    }
    Next();
    return MakeConst(TKrxVariant::FromTime(KrxEncodeTime(v[0], v[1], v[2], 0)));
  }
  if (text.kind != tkString) KrxRaiseAt(KrxError::TimeStampStringExpected, 20600, text.text, text.line, text.column);
  if (!DigitGroups(text.text, {4, 2, 2, 2, 2, 2}, v) || !KrxIsValidDate(v[0], v[1], v[2]) || v[3] > 23 ||
      v[4] > 59 || v[5] > 59) {
    KrxRaiseExpected(kCodeTimeStampFormat, "YYYY-MM-DD HH:MM:SS", text);
  }
  Next();
  return MakeConst(
      TKrxVariant::FromTimeStamp({KrxEncodeDate(v[0], v[1], v[2]), KrxEncodeTime(v[3], v[4], v[5], 0)}));
}

TKrxExprNodePtr TKrxExpressionParser::ColumnReference() {
  const TToken first = Cur();
  if (!IsNameToken(first)) return nullptr;
  TToken next;
  const bool hasNext = lexer_.Peek(next);
  if (hasNext && next.kind == tkLeftParen) return nullptr;
  if (hasNext && next.kind == tkDot) {
    Next();
    Next();
    const TToken name = Cur();
    if (!IsNameToken(name)) return nullptr;
    TToken after;
    if (lexer_.Peek(after) && after.kind == tkLeftParen) return nullptr;
    Next();
    return std::make_unique<TKrxExprNodeField>(first.text, name.text);
  }
  Next();
  return std::make_unique<TKrxExprNodeField>(std::string(), first.text);
}

TKrxExprNodePtr TKrxExpressionParser::Aggregate() {
  const TKrxFunctionInfo info = KrxFunctionOfKeyword(Cur().keyword);
  if (Cur().kind != tkKeyword || info.kind != TKrxFunctionKind::Aggregate) return nullptr;
  Next();
  OpenParen();
  if (info.op == eoAggCount && AtWord("*")) {
    Next();
    CloseParen();
    return std::make_unique<TKrxExprNodeAggregated>(eoAggCountAll, false);
  }
  bool distinct = false;
  if (Cur().IsKeyword(kwDISTINCT)) {
    distinct = true;
    Next();
  } else if (Cur().IsKeyword(kwALL)) {
    Next();
  }
  auto node = std::make_unique<TKrxExprNodeAggregated>(info.op, distinct);
  node->AddChild(ValueArgument(KrxFunctionName(info.op)));
  CloseParen();
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::ScalarSubquery() {
  if (Cur().kind != tkLeftParen) return nullptr;
  Next();
  auto node = std::make_unique<TKrxExprNodeSubquery>(KrxParseQueryExpression(lexer_, query_));
  if (Cur().kind != tkRightParen) return nullptr;
  Next();
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::CaseExpression() {
  if (!Cur().IsKeyword(kwCASE)) return nullptr;
  Next();
  const bool searched = Cur().IsKeyword(kwWHEN);
  std::unique_ptr<TKrxExprNodeCase> node;
  if (searched) {
    node = std::make_unique<TKrxExprNodeCase>(TKrxCaseForm::Searched, false);
  } else {
    node = std::make_unique<TKrxExprNodeCase>(TKrxCaseForm::Simple, false);
    TKrxExprNodePtr input = ValueExpression();
    if (!input) KrxRaiseToken(KrxError::CaseInputExpected, 30467, Found());
    node->AddChild(std::move(input));
    if (!Cur().IsKeyword(kwWHEN)) KrxRaiseExpected(30468, "WHEN", Found());
  }
  while (Cur().IsKeyword(kwWHEN)) {
    Next();
    if (searched) {
      TKrxExprNodePtr condition = Condition();
      if (!condition) KrxRaiseToken(KrxError::CaseSearchConditionExpected, 30474, Found());
      node->AddChild(std::move(condition));
    } else {
      TKrxExprNodePtr when = ValueExpression();
      if (!when) KrxRaiseToken(KrxError::CaseWhenExpressionExpected, 30469, Found());
      node->AddChild(std::move(when));
    }
    if (!Cur().IsKeyword(kwTHEN)) KrxRaiseExpected(searched ? 30475 : 30470, "THEN", Found());
    Next();
    TKrxExprNodePtr result = ValueExpression();
    if (!result) {
      if (searched) KrxRaiseToken(KrxError::CaseWhenExpressionExpected, 30476, Found());
      KrxRaiseToken(KrxError::ExpressionExpected, kCodeCaseResult, Found());
    }
    node->AddChild(std::move(result));
  }
  if (Cur().IsKeyword(kwELSE)) {
    Next();
    TKrxExprNodePtr otherwise = ValueExpression();
    if (!otherwise) KrxRaiseToken(KrxError::CaseElseExpected, searched ? 30477 : 30471, Found());
    node->AddChild(std::move(otherwise));
    node->SetHasElse(true);
  }
  if (!Cur().IsKeyword(kwEND)) KrxRaiseExpected(searched ? 30478 : 30472, "END", Found());
  Next();
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::Coalesce() {
  if (!Cur().IsKeyword(kwCOALESCE)) return nullptr;
  Next();
  OpenParen();
  if (Cur().kind == tkRightParen || Cur().kind == tkNone) {
    KrxRaiseAt(KrxError::CoalesceArgumentsMissed, 20276, Found().line, Found().column);
  }
  auto node = std::make_unique<TKrxExprNodeCase>(TKrxCaseForm::Coalesce, false);
  for (;;) {
    TKrxExprNodePtr arg = Operand();
    if (!arg) KrxRaiseAt(KrxError::ArgumentExpected, kCodeCoalesceArgument, "COALESCE", Found().line, Found().column);
    node->AddChild(std::move(arg));
    if (Cur().kind != tkComma) break;
    Next();
  }
  CloseParen();
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::ParenthesizedValue() {
  if (Cur().kind != tkLeftParen) return nullptr;
  Next();
  TKrxExprNodePtr inner = ValueExpression();
  if (!inner || Cur().kind != tkRightParen) return nullptr;
  Next();
  return inner;
}

TKrxExprNodePtr TKrxExpressionParser::Cast() {
  if (!Cur().IsKeyword(kwCAST)) return nullptr;
  Next();
  OpenParen();
  TKrxExprNodePtr value;
  if (Cur().IsKeyword(kwNULL)) {
    Next();
    value = MakeConst(TKrxVariant());
  } else {
    value = ValueArgument("CAST");
  }
  if (!Cur().IsKeyword(kwAS) && Cur().kind != tkComma) KrxRaiseExpected(kCodeCastAs, "AS", Found());
  Next();
  const TToken typeToken = Cur();
  const TKrxAdvancedType type =
      (typeToken.kind == tkWord || typeToken.kind == tkKeyword) ? KrxAdvancedTypeFromSqlName(typeToken.text)
                                                                : TKrxAdvancedType::Unknown;
  switch (type) {
    case TKrxAdvancedType::Unknown:
    case TKrxAdvancedType::Bytes:
    case TKrxAdvancedType::VarBytes:
    case TKrxAdvancedType::Blob:
    case TKrxAdvancedType::Graphic:
    case TKrxAdvancedType::Guid:
      throw EKrxException(KrxError::CannotConvertToType, typeToken.text);
    default: break;
  }
  Next();
  int32_t size = 0;
  if (Cur().kind == tkLeftParen) {
    Next();
    if (Cur().kind != tkInteger) KrxRaiseToken(KrxError::IntegerExpected, kCodeCastSize, Found());
    size = static_cast<int32_t>(std::strtol(Cur().text.c_str(), nullptr, 10));
    Next();
    CloseParen();
  }
  CloseParen();
  auto node = std::make_unique<TKrxExprNodeCast>(type, size);
  node->AddChild(std::move(value));
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::NumericFunction() {
  if (Cur().kind != tkKeyword) return nullptr;
  const TKrxFunctionInfo info = KrxFunctionOfKeyword(Cur().keyword);
  if (info.kind != TKrxFunctionKind::NumericFunction) return nullptr;
  const char* name = KrxFunctionName(info.op);
  Next();
  switch (info.op) {
    case eoRowNum: {
      if (Cur().kind == tkLeftParen) {
        TToken next;
        if (lexer_.Peek(next) && next.kind == tkRightParen) {
          Next();
          Next();
        }
      }
      return std::make_unique<TKrxExprNodeSystem>();
    }
    case eoPos: {
      OpenParen();
      auto node = std::make_unique<TKrxExprNodeStringFunction>(eoPos);
      node->AddChild(StringArgument(name));
      if (Cur().kind != tkComma && !Cur().IsKeyword(kwIN)) KrxRaiseExpected(kCodeCloseParen, ",", Found());
      Next();
      node->AddChild(StringArgument(name));
      CloseParen();
      return node;
    }
    case eoLength: {
      OpenParen();
      auto node = std::make_unique<TKrxExprNodeStringFunction>(eoLength);
      node->AddChild(StringArgument(name));
      CloseParen();
      return node;
    }
    case eoExtract: {
      OpenParen();
      TKrxDatePart part;
      switch (Cur().kind == tkKeyword ? Cur().keyword : -1) {
        case kwYEAR: part = TKrxDatePart::Year; break;
        case kwMONTH: part = TKrxDatePart::Month; break;
        case kwDAY: part = TKrxDatePart::Day; break;
        case kwHOUR: part = TKrxDatePart::Hour; break;
        case kwMINUTE: part = TKrxDatePart::Minute; break;
        case kwSECOND: part = TKrxDatePart::Second; break;
        default: KrxRaiseExpected(kCodeExtractPart, "YEAR or MONTH or DAY or HOUR or MINUTE or SECOND", Found());
      }
      Next();
      if (!Cur().IsKeyword(kwFROM)) KrxRaiseExpected(kCodeExtractFrom, "FROM", Found());
      Next();
      auto node = std::make_unique<TKrxExprNodeDateFunction>(part);
      node->AddChild(ValueArgument(name));
      CloseParen();
      return node;
    }
    case eoLastAutoInc: {
      OpenParen();
      std::string table = NameArgument(name);
      bool inMemory = false;
      if (Cur().IsKeyword(kwMEMORY)) {
        inMemory = true;
        Next();
      }
      if (Cur().kind != tkComma) KrxRaiseExpected(kCodeLastAutoIncComma, ",", Found());
      Next();
      std::string column = NameArgument(name);
      CloseParen();
      return std::make_unique<TKrxExprNodeSystem>(std::move(table), inMemory, std::move(column));
    }
    default: break;
  }
  // The math functions.
  OpenParen();
  auto node = std::make_unique<TKrxExprNodeArithmetic>(info.op);
  node->AddChild(ValueArgument(name));
  if (info.op == eoPower) {
    if (Cur().kind != tkComma) KrxRaiseAt(KrxError::CommaExpected, 20267, Found().line, Found().column);
    Next();
    node->AddChild(ValueArgument(name));
  } else if (info.op == eoRound && Cur().kind == tkComma) {
    Next();
    node->AddChild(ValueArgument(name));
    if (Cur().kind == tkComma) {
      Next();
      TKrxRoundMode mode;
      switch (Cur().kind == tkKeyword ? Cur().keyword : -1) {
        case kwHALFEVEN: mode = TKrxRoundMode::HalfEven; break;
        case kwHALFPOS: mode = TKrxRoundMode::HalfPos; break;
        case kwHALFNEG: mode = TKrxRoundMode::HalfNeg; break;
        case kwHALFDOWN: mode = TKrxRoundMode::HalfDown; break;
        case kwHALFUP: mode = TKrxRoundMode::HalfUp; break;
        case kwRNDNEG: mode = TKrxRoundMode::RndNeg; break;
        case kwRNDPOS: mode = TKrxRoundMode::RndPos; break;
        case kwRNDDOWN: mode = TKrxRoundMode::RndDown; break;
        case kwRNDUP: mode = TKrxRoundMode::RndUp; break;
        default:
          KrxRaiseExpected(kCodeRoundMode, "HALFEVEN, HALFPOS, HALFNEG, HALFDOWN, HALFUP, RNDNEG, RNDPOS, RNDDOWN or RNDUP",
                           Found());
      }
      node->SetRoundMode(mode);
      Next();
    }
  }
  CloseParen();
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::StringFunction() {
  if (Cur().kind != tkKeyword) return nullptr;
  const TKrxFunctionInfo info = KrxFunctionOfKeyword(Cur().keyword);
  if (info.kind != TKrxFunctionKind::StringFunction) return nullptr;
  const char* name = KrxFunctionName(info.op);
  Next();
  OpenParen();
  if (info.op == eoToString) {
    TKrxExprNodePtr value = ValueArgument(name);
    if (Cur().kind != tkComma && !Cur().IsKeyword(kwFROM)) KrxRaiseExpected(kCodeCloseParen, ",", Found());
    Next();
    auto node = std::make_unique<TKrxExprNodeDateFunction>(eoToString, FormatArgument(30096));
    node->AddChild(std::move(value));
    CloseParen();
    return node;
  }
  auto node = std::make_unique<TKrxExprNodeStringFunction>(info.op);
  node->AddChild(StringArgument(name));
  if (info.op == eoSubstring) {
    if (Cur().kind != tkComma && !Cur().IsKeyword(kwFROM)) KrxRaiseExpected(kCodeCloseParen, ",", Found());
    Next();
    node->AddChild(ValueArgument(name));
    if (Cur().kind == tkComma || Cur().IsKeyword(kwFOR)) {
      Next();
      node->AddChild(ValueArgument(name));
    }
  }
  CloseParen();
  return node;
}

TKrxExprNodePtr TKrxExpressionParser::MimeToBin() {
  if (!Cur().IsKeyword(kwMIMETOBIN)) return nullptr;
  Next();
  OpenParen();
  if (Cur().kind != tkString) {
    KrxRaiseAt(KrxError::StringArgumentExpected, kCodeMimeText, "MIMETOBIN", Found().text, Found().line,
               Found().column);
  }
  auto node = std::make_unique<TKrxExprNodeBlob>(Cur().text);
  Next();
  CloseParen();
  return node;
}

}  // namespace krx
