// The statements that change rows: INSERT, UPDATE and DELETE.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "KrxSQLCommand.h"
#include "KrxSQLSelect.h"
#include "KrxSQLUnion.h"

namespace krx {

// The table a changing statement writes to.
struct TKrxTargetTable {
  std::string databaseName;
  std::string tableName;
  std::string alias;
  std::string password;
  bool inMemory = false;
};

class TKrxSQLInsert : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  ~TKrxSQLInsert() override;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;

  const TKrxTargetTable& Target() const { return target_; }
  const std::vector<std::string>& Columns() const { return columns_; }
  // VALUES rows; empty when the rows come from a query.
  const std::vector<std::vector<TKrxExpressionPtr>>& Rows() const { return rows_; }
  TKrxSQLUnion* SourceQuery() const { return sourceQuery_.get(); }

 private:
  void ParseColumns();
  void ParseValues();

  TKrxTargetTable target_;
  std::vector<std::string> columns_;
  std::vector<std::vector<TKrxExpressionPtr>> rows_;
  std::unique_ptr<TKrxSQLUnion> sourceQuery_;
};

struct TKrxAssignment {
  std::string columnName;
  TKrxExpressionPtr value;
};

class TKrxSQLUpdate : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  ~TKrxSQLUpdate() override;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;

  const TKrxTargetTable& Target() const { return target_; }
  const std::vector<TKrxAssignment>& Assignments() const { return assignments_; }
  // The row form SET (a, b) = (query): its columns and query.
  const std::vector<std::string>& RowColumns() const { return rowColumns_; }
  TKrxSQLUnion* RowQuery() const { return rowQuery_.get(); }
  // The block that selects the rows to change, parsed from tokens built by
  // the statement ("select * from table ... WHERE ...").
  const TKrxSQLSelect& RowSelect() const { return *rowSelect_; }

 private:
  void ParseTarget();
  void ParseAssignments();
  void ParseRowForm();
  void BuildRowSelect(int whereStart);

  TKrxTargetTable target_;
  std::vector<TKrxAssignment> assignments_;
  std::vector<std::string> rowColumns_;
  std::unique_ptr<TKrxSQLUnion> rowQuery_;
  std::unique_ptr<TKrxLexer> rowLexer_;
  std::unique_ptr<TKrxSQLSelect> rowSelect_;
};

// DELETE FROM ... [WHERE ...] reads as SELECT * FROM ...: its command's
// tokens are rewritten in place and parsed as a SELECT block.
class TKrxSQLDelete : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  ~TKrxSQLDelete() override;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;

  const TKrxSQLSelect& RowSelect() const { return *rowSelect_; }

 private:
  std::unique_ptr<TKrxSQLSelect> rowSelect_;
};

class TKrxSQLStartTransaction : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;
};

class TKrxSQLCommit : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;
  bool Flush() const { return flush_; }

 private:
  bool flush_ = false;
};

class TKrxSQLRollback : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;
};

}  // namespace krx
