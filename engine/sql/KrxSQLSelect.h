// One SELECT block and the parts it is made of.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxSQLCommand.h"

namespace krx {

class TKrxSQLUnion;

struct TKrxSelectListItem {
  std::string qualifier;
  bool isAllFields = false;  // qualifier.*
  std::string fieldName;
  bool isExpression = false;
  TKrxExpressionPtr expression;  // null for a plain column
  std::string alias;
  bool duplicate = false;
};

// Column lists: GROUP BY columns, join column pairs.
using TKrxFields = std::vector<TKrxSelectListItem>;

enum TKrxTableReferenceKind : uint8_t { trTable = 0, trJoin = 1, trSubquery = 2 };
enum TKrxJoinType : uint8_t { jtCross = 0, jtInner = 1, jtLeft = 2, jtRight = 3, jtFull = 4 };

struct TKrxTableReference {
  TKrxTableReference();
  ~TKrxTableReference();
  TKrxTableReference(TKrxTableReference&&) noexcept;
  TKrxTableReference& operator=(TKrxTableReference&&) noexcept;

  TKrxTableReferenceKind kind = trTable;
  std::string databaseName;
  std::string tableName;
  std::string alias;
  std::string password;
  bool inMemory = false;
  bool natural = false;
  TKrxJoinType joinType = jtCross;
  std::unique_ptr<TKrxTableReference> left;
  std::unique_ptr<TKrxTableReference> right;
  std::vector<std::string> usingColumns;
  TKrxExpressionPtr on;
  std::unique_ptr<TKrxSQLUnion> subquery;
};

class TKrxSQLSelect : public TKrxSQLCursorCommand {
 public:
  using TKrxSQLCursorCommand::TKrxSQLCursorCommand;
  ~TKrxSQLSelect() override;

  // Reads one block from SELECT (the current token) on; stops at the first
  // token after its last clause.
  void Parse() override;
  void Execute(TKrxExecSession& session) override;

  bool Distinct() const { return distinct_; }
  int64_t TopRowCount() const { return topRowCount_; }
  int64_t TopFirstRow() const { return topFirstRow_; }
  bool SelectAll() const { return selectAll_; }
  const std::vector<TKrxSelectListItem>& SelectList() const { return selectList_; }
  const std::vector<TKrxTableReference>& From() const { return from_; }
  TKrxExpression* Where() const { return where_.get(); }
  const TKrxFields& GroupBy() const { return groupBy_; }
  TKrxExpression* Having() const { return having_.get(); }

 private:
  void ParseTop();
  void ParseSelectList();
  void ParseInto();
  void ParseFrom();
  void ParseGroupBy();
  void MarkDuplicateColumns();
  void SubstituteAliases();

  bool distinct_ = false;
  int64_t topRowCount_ = -1;
  int64_t topFirstRow_ = -1;
  bool selectAll_ = false;
  std::vector<TKrxSelectListItem> selectList_;
  std::vector<TKrxTableReference> from_;
  TKrxExpressionPtr where_;
  TKrxFields groupBy_;
  TKrxExpressionPtr having_;
};

// A table reference with its joins at the current token; the codes are
// those of the clause that holds it. Used by FROM and DELETE.
TKrxTableReference KrxParseTableReference(TKrxLexer& lexer, TKrxSQLQuery* query, bool queryInMemory);

}  // namespace krx
