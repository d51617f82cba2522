// One database engine as the benchmark drives it: SQL text in, every column
// of every result row read back as text, as the program's windows read
// their lists. Both engines under test implement it, so a workload is
// written once.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// What a query gave back: enough to check that both engines found the same
// rows without keeping the rows.
struct TBenchRows {
  int64_t rows = 0;
  uint64_t textBytes = 0;            // total length of all values read as text
  std::vector<std::string> fieldNames;
  std::string firstValue;            // first column of the first row, as text
};

class TBenchDatabase {
 public:
  virtual ~TBenchDatabase() = default;

  virtual const char* EngineName() const = 0;
  // The file name this engine uses for a database called `stem` in `dir`.
  virtual std::string FileFor(const std::string& dir, const std::string& stem) const = 0;

  // Makes a new, empty database file (removing an old one) and opens it.
  virtual void Create(const std::string& file) = 0;
  virtual void Open(const std::string& file) = 0;
  virtual void Close() = 0;

  // Runs statements for their changes; a script may hold several, each
  // ended by ';'.
  virtual void Execute(const std::string& sql) = 0;
  virtual void ExecuteScript(const std::string& script) = 0;
  virtual TBenchRows Query(const std::string& sql) = 0;
  virtual std::vector<std::string> TableNames() = 0;

  virtual void StartTransaction() = 0;
  virtual void Commit() = 0;
};

}  // namespace bench
