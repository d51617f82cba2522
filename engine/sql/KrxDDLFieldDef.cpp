#include "KrxDDLFieldDef.h"

#include <charconv>

#include "KrxCompression.h"
#include "KrxException.h"
#include "KrxParser.h"
#include "KrxParserErrors.h"
#include "KrxParserExpressions.h"
#include "KrxSQLParams.h"

namespace krx {

namespace {

bool Advance(TKrxLexer& lexer) {
  TToken ignored;
  return lexer.Advance(ignored);
}

std::string Joined(const std::vector<TKrxIndexField>& columns, char separator, bool (*take)(const TKrxIndexField&)) {
  std::string out;
  for (const TKrxIndexField& column : columns) {
    if (!take(column)) continue;
    if (!out.empty()) out += separator;
    out += column.name;
  }
  return out;
}

// A 64-bit integer at the current token (an optional '-' or '+' before the
// digits is part of it); the current token is the number's afterwards.
int64_t ParseInt64(TKrxLexer& lexer, int32_t notIntegerCode, int32_t notConvertedCode) {
  const TToken* token = &lexer.Current();
  bool negative = false;
  if (KrxIsWord(*token, "-") || KrxIsWord(*token, "+")) {
    negative = token->text == "-";
    token = &KrxNextOrEnd(lexer, notIntegerCode);
  }
  if (token->kind != tkInteger) KrxRaiseToken(KrxError::IntegerExpected, notIntegerCode, *token);
  int64_t value = 0;
  const std::string digits = negative ? "-" + token->text : token->text;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || ptr != digits.data() + digits.size()) {
    KrxRaiseToken(KrxError::IntegerExpected, notConvertedCode, *token);
  }
  return value;
}

// The autoincrement type of the given width for AUTOINC(<integer type>).
TKrxAdvancedType AutoIncOfWidth(TKrxAdvancedType base) {
  switch (base) {
    case TKrxAdvancedType::ShortInt: return TKrxAdvancedType::AutoIncShortInt;
    case TKrxAdvancedType::SmallInt: return TKrxAdvancedType::AutoIncSmallInt;
    case TKrxAdvancedType::Integer: return TKrxAdvancedType::AutoInc;
    case TKrxAdvancedType::LargeInt: return TKrxAdvancedType::AutoIncLargeInt;
    case TKrxAdvancedType::Byte: return TKrxAdvancedType::AutoIncByte;
    case TKrxAdvancedType::Word: return TKrxAdvancedType::AutoIncWord;
    case TKrxAdvancedType::Cardinal: return TKrxAdvancedType::AutoIncCardinal;
    default: return TKrxAdvancedType::Unknown;
  }
}

// "( option {[,] option} )" after an autoincrement type; current: '('.
void ParseAutoIncOptions(TKrxLexer& lexer, TSQLFieldDef& field) {
  constexpr int32_t kEnd = 30290;
  const TToken* token = &KrxNextOrEnd(lexer, kEnd);
  while (token->kind != tkRightParen) {
    if (token->kind == tkComma) {
      token = &KrxNextOrEnd(lexer, kEnd);
      continue;
    }
    auto number = [&]() {
      KrxNextOrEnd(lexer, kEnd);
      return ParseInt64(lexer, 30292, 30291);
    };
    if (token->IsKeyword(kwINCREMENT)) {
      field.autoIncIncrement = number();
      field.hasAutoIncIncrement = true;
    } else if (token->IsKeyword(kwINITIALVALUE) || token->IsKeyword(kwSTARTVALUE)) {
      field.autoIncInitialValue = number();
      field.hasAutoIncInitialValue = true;
    } else if (token->IsKeyword(kwMINVALUE)) {
      field.autoIncMinValue = number();
      field.hasAutoIncMinValue = true;
    } else if (token->IsKeyword(kwNOMINVALUE)) {
      field.autoIncMinValue = 0;
      field.hasAutoIncMinValue = true;
    } else if (token->IsKeyword(kwMAXVALUE)) {
      field.autoIncMaxValue = number();
      field.hasAutoIncMaxValue = true;
    } else if (token->IsKeyword(kwNOMAXVALUE)) {
      field.autoIncMaxValue = INT64_MAX;
      field.hasAutoIncMaxValue = true;
    } else if (token->IsKeyword(kwCYCLED)) {
      field.autoIncCycled = true;
      field.hasAutoIncCycled = true;
    } else if (token->IsKeyword(kwNOCYCLED)) {
      field.autoIncCycled = false;
      field.hasAutoIncCycled = true;
    } else if (field.fieldType == TKrxAdvancedType::AutoInc &&
               (token->kind == tkWord || token->kind == tkKeyword || token->kind == tkBracketedName)) {
      const TKrxAdvancedType base = KrxAdvancedTypeFromSqlName(token->text);
      if (base == TKrxAdvancedType::Unknown) KrxRaiseToken(KrxError::UnexpectedToken, 30294, *token);
      const TKrxAdvancedType autoInc = AutoIncOfWidth(base);
      if (autoInc == TKrxAdvancedType::Unknown) KrxRaiseToken(KrxError::UnsupportedAutoincType, 30295, *token);
      field.fieldType = autoInc;
    } else {
      KrxRaiseToken(KrxError::UnexpectedToken, 30294, *token);
    }
    token = &KrxNextOrEnd(lexer, kEnd);
  }
  Advance(lexer);
}

bool IsDefaultWord(const std::string& upper) {
  return upper == "NOW" || upper == "CURRENT_TIMESTAMP" || upper == "CURRENT_TIME" || upper == "CURRENT_DATE" ||
         upper == "SYSDATE";
}

// DEFAULT ...; current: DEFAULT. Afterwards the token after the value.
void ParseDefault(TKrxLexer& lexer, TKrxSQLQuery* query, TSQLFieldDef& field) {
  if (field.hasDefaultValue) KrxRaiseAt(KrxError::DefaultDeclaredTwice, 30299, field.name);
  const TToken& value = KrxNextOrEnd(lexer, 30297);
  field.hasDefaultValue = true;
  const std::string upper = KrxUpperAscii(value.text);
  if ((value.kind == tkWord || value.kind == tkKeyword || value.kind == tkString) && IsDefaultWord(upper)) {
    // Evaluated when a row is written.
    field.defaultValue = TKrxVariant::FromString(upper);
    Advance(lexer);
    return;
  }
  if (value.kind == tkString) {
    field.defaultValue = TKrxVariant::FromString("\"" + value.text + "\"");
    Advance(lexer);
    return;
  }
  if (value.IsKeyword(kwNULL)) {
    field.defaultValue = TKrxVariant();
    Advance(lexer);
    return;
  }
  const TToken start = value;
  try {
    TKrxExpressionPtr expression = KrxParseValue(lexer, query);
    if (!expression) KrxRaiseToken(KrxError::ErrorParsingParameter, 30297, start);
    KrxEvaluateConstant(*expression, field.defaultValue);
  } catch (const EKrxException& e) {
    if (e.NativeError() == 30297) throw;
    KrxRaiseToken(KrxError::ErrorParsingParameter, 30297, start);
  }
}

uint8_t CompressionAlgorithmByName(const std::string& name) {
  const std::string upper = KrxUpperAscii(name);
  for (uint8_t code = 1; code <= 3; ++code) {
    const char* known = KrxCompressionAlgorithmName(code);
    if (known && upper == known) return code;
  }
  return 0;
}

TKrxDDLIndexDef SingleColumnIndex(const std::string& column, bool primary) {
  TKrxDDLIndexDef index;
  index.primary = primary;
  index.unique = !primary;
  index.columns.push_back({column, false, false});
  index.name = KrxGeneratedIndexName(index);
  return index;
}

// PRIMARY [KEY] [name] (...) or [UNIQUE] INDEX [name] (...); current: the
// first word. Afterwards the token after the closing ')'.
void ParseIndexElement(TKrxLexer& lexer, std::vector<TKrxDDLIndexDef>& indexes) {
  TKrxDDLIndexDef index;
  if (lexer.Current().IsKeyword(kwPRIMARY)) {
    index.primary = true;
    KrxNextOrEnd(lexer, 20428);
    if (lexer.Current().IsKeyword(kwKEY)) KrxNextOrEnd(lexer, 20428);
  } else {
    if (lexer.Current().IsKeyword(kwUNIQUE)) {
      index.unique = true;
      const TToken& word = KrxNextOrEnd(lexer, 30267);
      if (!word.IsKeyword(kwINDEX)) KrxRaiseToken(KrxError::IndexKeywordExpected, 30267, word);
    }
    KrxNextOrEnd(lexer, 20428);
  }
  if (lexer.Current().kind != tkLeftParen) {
    if (!kFieldNameKinds.Has(lexer.Current().kind)) {
      KrxRaiseToken(KrxError::IndexNameExpected, 30269, lexer.Current());
    }
    index.name = KrxNameOf(lexer.Current());
    const TToken& open = KrxNextOrEnd(lexer, 20428);
    if (open.kind != tkLeftParen) KrxRaiseExpected(20428, "(", open);
  }
  KrxParseIndexColumns(lexer, index.columns, nullptr);
  Advance(lexer);
  if (index.name.empty()) index.name = KrxGeneratedIndexName(index);
  indexes.push_back(std::move(index));
}

}  // namespace

std::string TKrxDDLIndexDef::ColumnNames(char separator) const {
  return Joined(columns, separator, [](const TKrxIndexField&) { return true; });
}

std::string TKrxDDLIndexDef::CaseInsensitiveColumns(char separator) const {
  return Joined(columns, separator, [](const TKrxIndexField& c) { return c.caseInsensitive; });
}

std::string TKrxDDLIndexDef::DescendingColumns(char separator) const {
  return Joined(columns, separator, [](const TKrxIndexField& c) { return c.descending; });
}

std::string KrxGeneratedIndexName(const TKrxDDLIndexDef& index) {
  std::string name = index.primary ? "C_PK" : (index.unique ? "C_Unique" : "i");
  for (const TKrxIndexField& column : index.columns) name += "$" + column.name;
  return name;
}

void KrxParseIndexColumns(TKrxLexer& lexer, std::vector<TKrxIndexField>& columns, std::string* password) {
  for (;;) {
    const TToken& name = KrxNextOrEnd(lexer, 30274);
    if (password && name.IsKeyword(kwPASSWORD)) {
      *password = KrxNameOf(KrxExpectNext(lexer, kPasswordKinds, KrxError::PasswordExpected, 20431));
    } else {
      if (!kFieldNameKinds.Has(name.kind)) KrxRaiseToken(KrxError::FieldNameExpected, 30274, name);
      TKrxIndexField column;
      column.name = KrxNameOf(name);
      for (;;) {
        const TToken& option = KrxNextOrEnd(lexer, 20429);
        if (option.IsKeyword(kwASC)) {
          column.descending = false;
        } else if (option.IsKeyword(kwDESC)) {
          column.descending = true;
        } else if (option.IsKeyword(kwCASE)) {
          column.caseInsensitive = false;
        } else if (option.IsKeyword(kwNOCASE)) {
          column.caseInsensitive = true;
        } else {
          break;
        }
      }
      columns.push_back(std::move(column));
      const TToken& after = lexer.Current();
      if (after.kind == tkRightParen) return;
      if (after.kind != tkComma) KrxRaiseToken(KrxError::CloseOrCommaExpected, 20429, after);
      continue;
    }
    const TToken& after = KrxNextOrEnd(lexer, 20429);
    if (after.kind == tkRightParen) return;
    if (after.kind != tkComma) KrxRaiseToken(KrxError::CloseOrCommaExpected, 20429, after);
  }
}

TSQLFieldDef KrxParseColumnDefinition(TKrxLexer& lexer, TKrxSQLQuery* query, std::vector<TKrxDDLIndexDef>& indexes) {
  TSQLFieldDef field;
  const TToken* name = &lexer.Current();
  if (name->IsKeyword(kwIF)) {
    KrxExpectNextKeyword(lexer, kwNOT, "NOT", 30488);
    KrxExpectNextKeyword(lexer, kwEXISTS, "EXISTS", 30489);
    field.ifNotExists = true;
    name = &KrxNextOrEnd(lexer, 30227);
  }
  if (!kFieldNameKinds.Has(name->kind)) KrxRaiseToken(KrxError::FieldNameExpected, 30227, *name);
  field.name = KrxNameOf(*name);

  constexpr TKrxKindSet kTypeKinds{tkWord, tkBracketedName, tkKeyword};
  const TToken& type = KrxExpectNext(lexer, kTypeKinds, KrxError::FieldTypeExpected, 30228);
  field.fieldType = KrxAdvancedTypeFromSqlName(type.text);
  if (field.fieldType == TKrxAdvancedType::Unknown) KrxRaiseToken(KrxError::UnknownFieldType, 30232, type);
  field.hasFieldType = true;
  Advance(lexer);
  if (KrxAdvancedTypeNeedsSize(field.fieldType)) {
    if (lexer.Current().kind != tkLeftParen) {
      if (lexer.Current().kind == tkNone) KrxRaiseUnexpectedEnd(lexer, 30233);
      KrxRaiseToken(KrxError::OpenParenExpected, 30233, lexer.Current());
    }
    const TToken& size = KrxNextOrEnd(lexer, 30235);
    if (size.kind != tkInteger) KrxRaiseToken(KrxError::DecimalExpected, 30235, size);
    field.size = static_cast<int32_t>(ParseInt64(lexer, 30235, 30235));
    field.hasSize = true;
    const TToken& close = KrxNextOrEnd(lexer, 30236);
    if (close.kind != tkRightParen) KrxRaiseToken(KrxError::CloseOrCommaExpected, 30236, close);
    Advance(lexer);
  } else if (KrxIsAutoIncType(field.fieldType) && lexer.Current().kind == tkLeftParen) {
    ParseAutoIncOptions(lexer, field);
  }

  constexpr TKrxKindSet kAfterOption{tkWord, tkString, tkBracketedName, tkKeyword, tkRightParen, tkComma};
  for (;;) {
    const TToken& option = lexer.Current();
    if (option.kind == tkComma || option.kind == tkRightParen) return field;
    if (option.kind == tkNone) KrxRaiseUnexpectedEnd(lexer, 30229);
    if (!kAfterOption.Has(option.kind)) KrxRaiseToken(KrxError::CloseOrCommaExpected, 30229, option);
    if (option.IsKeyword(kwNOT)) {
      const TToken& null = KrxNextOrEnd(lexer, 2011);
      if (!null.IsKeyword(kwNULL)) KrxRaiseToken(KrxError::NullExpectedForNotNull, 2011, null);
      field.notNull = true;
      field.hasNotNull = true;
      Advance(lexer);
    } else if (option.IsKeyword(kwNULL)) {
      field.notNull = false;
      field.hasNotNull = true;
      Advance(lexer);
    } else if (option.IsKeyword(kwBLOBBLOCKSIZE)) {
      KrxNextOrEnd(lexer, 20432);
      field.blobBlockSize = static_cast<int32_t>(ParseInt64(lexer, 20432, 20432));
      field.hasBlobBlockSize = true;
      Advance(lexer);
    } else if (option.IsKeyword(kwBLOBCOMPRESSIONMODE)) {
      KrxNextOrEnd(lexer, 20433);
      field.blobCompressionMode = static_cast<uint8_t>(ParseInt64(lexer, 20433, 20433));
      field.hasBlobCompressionMode = true;
      Advance(lexer);
    } else if (option.IsKeyword(kwBLOBCOMPRESSIONALGORITHM)) {
      const TToken& algorithm = KrxExpectNext(lexer, kAfterOption, KrxError::UnexpectedToken, 20434);
      field.blobCompressionAlgorithm = CompressionAlgorithmByName(algorithm.text);
      field.hasBlobCompressionAlgorithm = true;
      Advance(lexer);
    } else if (option.IsKeyword(kwDEFAULT)) {
      ParseDefault(lexer, query, field);
    } else if (option.IsKeyword(kwMINVALUE)) {
      KrxNextOrEnd(lexer, 20435);
      field.minValue = TKrxVariant::FromInt64(ParseInt64(lexer, 20435, 20435));
      field.hasMinValue = true;
      Advance(lexer);
    } else if (option.IsKeyword(kwNOMINVALUE)) {
      field.minValue = TKrxVariant();
      field.hasMinValue = false;
      Advance(lexer);
    } else if (option.IsKeyword(kwMAXVALUE)) {
      KrxNextOrEnd(lexer, 20436);
      field.maxValue = TKrxVariant::FromInt64(ParseInt64(lexer, 20436, 20436));
      field.hasMaxValue = true;
      Advance(lexer);
    } else if (option.IsKeyword(kwNOMAXVALUE)) {
      field.maxValue = TKrxVariant();
      field.hasMaxValue = false;
      Advance(lexer);
    } else if (option.IsKeyword(kwPRIMARY)) {
      Advance(lexer);
      if (lexer.Current().IsKeyword(kwKEY)) Advance(lexer);
      indexes.push_back(SingleColumnIndex(field.name, true));
    } else if (option.IsKeyword(kwUNIQUE)) {
      Advance(lexer);
      indexes.push_back(SingleColumnIndex(field.name, false));
    } else {
      Advance(lexer);  // words this engine does not use
    }
  }
}

void KrxParseTableElements(TKrxLexer& lexer, TKrxSQLQuery* query, TSQLFieldDefs& fields,
                           std::vector<TKrxDDLIndexDef>& indexes) {
  for (;;) {
    const TToken& start = KrxNextOrEnd(lexer, 30227);
    if (start.IsKeyword(kwPRIMARY) || start.IsKeyword(kwINDEX) || start.IsKeyword(kwUNIQUE)) {
      ParseIndexElement(lexer, indexes);
    } else {
      fields.push_back(KrxParseColumnDefinition(lexer, query, indexes));
    }
    const TToken& after = lexer.Current();
    if (after.kind == tkRightParen) return;
    if (after.kind == tkNone) KrxRaiseUnexpectedEnd(lexer, 30229);
    if (after.kind != tkComma) KrxRaiseToken(KrxError::CloseOrCommaExpected, 30229, after);
  }
}

}  // namespace krx
