// Shared pieces of the expression tests: a row source over named columns
// (the executor's part in a real query) and parsing of a text on its own.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "KrxException.h"
#include "KrxExprNodeField.h"
#include "KrxExpression.h"
#include "KrxParserExpressions.h"
#include "KrxLexer.h"
#include "KrxLocale.h"
#include "KrxParser.h"
#include "KrxSQLParams.h"

namespace krx::test {

class FakeRow : public IKrxRowSource {
 public:
  explicit FakeRow(std::string table = "t") : table_(std::move(table)) {}

  FakeRow& Add(std::string name, TKrxAdvancedType type, TKrxVariant value = TKrxVariant()) {
    if (value.IsNull()) value.SetNull(KrxStorageTypeOf(type));
    columns_.push_back({std::move(name), type, std::move(value)});
    return *this;
  }
  void Set(const std::string& name, TKrxVariant value) {
    for (Column& c : columns_) {
      if (c.name == name) {
        if (value.IsNull()) value.SetNull(KrxStorageTypeOf(c.type));
        c.value = std::move(value);
        return;
      }
    }
    ADD_FAILURE() << "no column " << name;
  }

  int FindColumn(std::string_view qualifier, std::string_view name, int& column) const override {
    if (!qualifier.empty() && !KrxSameName(std::string(qualifier), table_)) return 0;
    int matches = 0;
    for (size_t i = 0; i < columns_.size(); ++i) {
      if (KrxSameName(columns_[i].name, std::string(name))) {
        if (matches == 0) column = static_cast<int>(i);
        ++matches;
      }
    }
    return matches;
  }
  TKrxAdvancedType ColumnType(int column) const override { return columns_[column].type; }
  int32_t ColumnSize(int) const override { return 20; }
  const TKrxVariant& ColumnValue(int column) const override { return columns_[column].value; }

 private:
  struct Column {
    std::string name;
    TKrxAdvancedType type;
    TKrxVariant value;
  };
  std::string table_;
  std::vector<Column> columns_;
};

// A condition or value parsed from a text of its own; the lexer lives as
// long as the expression.
struct Parsed {
  std::unique_ptr<TKrxLexer> lexer;
  std::unique_ptr<TKrxExpression> expression;
  bool complete = false;  // parsed and used every token
};

inline Parsed Parse(const std::string& utf8Text, bool condition, const TKrxSQLParams* params = nullptr) {
  Parsed parsed;
  parsed.lexer = std::make_unique<TKrxLexer>(KrxUtf8ToGb(utf8Text), params);
  if (!parsed.lexer->NextCommand()) return parsed;
  parsed.expression = std::make_unique<TKrxExpression>(*parsed.lexer, nullptr);
  const bool ok = condition ? parsed.expression->ParseCondition() : parsed.expression->ParseValue();
  parsed.complete = ok && parsed.lexer->AtEnd();
  if (!ok) parsed.expression.reset();
  return parsed;
}

// The text of a value for comparisons in tests: "NULL" or its UTF-8 text.
inline std::string Show(const TKrxVariant& value) { return value.IsNull() ? "NULL" : value.AsUtf8(); }

// The full text of the engine error raised by f, or "" when none.
template <typename F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const EKrxException& e) {
    return KrxFullMessage(e.Message(), e.NativeError());
  }
  return "";
}

}  // namespace krx::test
