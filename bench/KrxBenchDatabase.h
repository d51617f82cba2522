// Our engine, reached only through the client components: one database
// component and one query component, text set, opened or executed and
// closed again for every statement, as the program's data module does.
#pragma once

#include <memory>
#include <string>

#include "BenchDatabase.h"

namespace krx {
class TKrxDatabase;
class TKrxQuery;
}  // namespace krx

namespace bench {

class TKrxBenchDatabase : public TBenchDatabase {
 public:
  TKrxBenchDatabase();
  ~TKrxBenchDatabase() override;

  const char* EngineName() const override { return "Krx"; }
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
  std::unique_ptr<krx::TKrxDatabase> db_;
  std::unique_ptr<krx::TKrxQuery> query_;
};

}  // namespace bench
