// SQLite as the comparison peer: synchronous=OFF with the default rollback
// journal, so a commit writes the file but does not flush it, as ours.
// TOSTRING(date, 'yyyy-mm-dd') is given as a function of our own because
// the program's statements use it; the dates are stored as yyyy-mm-dd text.
#pragma once

#include <string>

#include "BenchDatabase.h"

struct sqlite3;

namespace bench {

class TSqliteDatabase : public TBenchDatabase {
 public:
  TSqliteDatabase() = default;
  ~TSqliteDatabase() override;

  const char* EngineName() const override { return "SQLite"; }
  std::string FileFor(const std::string& dir, const std::string& stem) const override;
  void Create(const std::string& file) override;
  void Open(const std::string& file) override;
  void Close() override;
  void Execute(const std::string& sql) override;
  void ExecuteScript(const std::string& script) override;
  TBenchRows Query(const std::string& sql) override;
  std::vector<std::string> TableNames() override;
  void StartTransaction() override;
  void Commit() override;

 private:
  void Check(int rc, const char* what);
  sqlite3* db_ = nullptr;
};

}  // namespace bench
