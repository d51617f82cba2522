// The data definition statements: CREATE / DROP / TRUNCATE / ALTER /
// RENAME TABLE and CREATE / DROP INDEX.
#pragma once

#include <string>
#include <vector>

#include "KrxDDLFieldDef.h"
#include "KrxSQLCommand.h"
#include "KrxSQLModify.h"

namespace krx {

class TKrxDDLTableManipulation : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;

  const TKrxTargetTable& Table() const { return table_; }
  const TSQLFieldDefs& FieldDefs() const { return fieldDefs_; }
  const std::vector<TKrxDDLIndexDef>& IndexDefs() const { return indexDefs_; }

 protected:
  // [MEMORY] [database .] table [[AS] alias] [PASSWORD password]; current:
  // the token before the reference. Afterwards the token after it.
  void ParseTableReference();
  // Raises "Unexpected token ..." (30246) when a token is left.
  void CheckEnd() const;

  TKrxTargetTable table_;
  TSQLFieldDefs fieldDefs_;
  std::vector<TKrxDDLIndexDef> indexDefs_;
};

class TKrxDDLCreateTable : public TKrxDDLTableManipulation {
 public:
  using TKrxDDLTableManipulation::TKrxDDLTableManipulation;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;
  bool IfNotExists() const { return ifNotExists_; }

 private:
  bool ifNotExists_ = false;
};

class TKrxDDLDropTable : public TKrxDDLTableManipulation {
 public:
  using TKrxDDLTableManipulation::TKrxDDLTableManipulation;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;
  bool IfExists() const { return ifExists_; }

 private:
  bool ifExists_ = false;
};

class TKrxDDLTruncateTable : public TKrxDDLTableManipulation {
 public:
  using TKrxDDLTableManipulation::TKrxDDLTableManipulation;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;
};

enum TKrxAlterAction : uint8_t { aaAdd = 0, aaDrop = 1, aaModify = 2, aaRenameColumn = 3, aaRenameTo = 4 };

class TKrxDDLAlterTable : public TKrxDDLTableManipulation {
 public:
  using TKrxDDLTableManipulation::TKrxDDLTableManipulation;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;

  TKrxAlterAction Action() const { return action_; }
  const std::vector<std::string>& DropColumns() const { return dropColumns_; }
  const std::string& OldColumnName() const { return oldColumnName_; }
  const std::string& NewColumnName() const { return newColumnName_; }
  const std::string& NewTableName() const { return newTableName_; }

 protected:
  TKrxAlterAction action_ = aaAdd;
  std::vector<std::string> dropColumns_;
  std::string oldColumnName_;
  std::string newColumnName_;
  std::string newTableName_;

 private:
  void ParseDrop();
  void ParseRename();
};

class TKrxDDLRenameTable : public TKrxDDLAlterTable {
 public:
  using TKrxDDLAlterTable::TKrxDDLAlterTable;
  void Parse() override;
};

class TKrxDDLCreateIndex : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;

  const TKrxTargetTable& Table() const { return table_; }
  const TKrxDDLIndexDef& Index() const { return index_; }

 private:
  TKrxTargetTable table_;
  TKrxDDLIndexDef index_;
};

class TKrxDDLDropIndex : public TKrxSQLCommand {
 public:
  using TKrxSQLCommand::TKrxSQLCommand;
  void Parse() override;
  void Execute(TKrxExecSession& session) override;

  const TKrxTargetTable& Table() const { return table_; }
  const std::string& IndexName() const { return indexName_; }

 private:
  TKrxTargetTable table_;
  std::string indexName_;
};

}  // namespace krx
