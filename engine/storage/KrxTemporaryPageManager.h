// Pages of temporary work (query results, temporary tables): 4096 bytes
// without a page header. Numbers below a limit (a tenth of the available
// memory, in pages) live in memory; higher numbers go to a temporary file
// ("Krx..." in the system's temporary folder) at page number x 4096, which
// grows to 1.5 times the size needed whenever it is too small. Created with
// the in-memory flag, every page stays in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxDatabaseFile.h"
#include "KrxMemoryPageManager.h"
#include "KrxPageManager.h"

namespace krx {

class TKrxTemporaryPageManager : public TKrxPageManager {
 public:
  static constexpr size_t kPageSize = 4096;

  explicit TKrxTemporaryPageManager(bool inMemory = false);
  // memoryPageLimit: the first page number kept in the file.
  TKrxTemporaryPageManager(bool inMemory, int32_t memoryPageLimit);
  ~TKrxTemporaryPageManager() override;

  int32_t MemoryPageLimit() const { return memoryLimit_; }
  bool IsPageInUse(int32_t pageNo) const;
  // The temporary file's name; empty while no page went there.
  const std::string& TemporaryFileName() const { return fileName_; }

 protected:
  void ReadPageFromStore(TKrxPage& page) override;
  void WritePageToStore(TKrxPage& page) override;
  int32_t AllocatePageNo() override;
  void FreePageNo(int32_t pageNo) override;
  std::unique_ptr<TKrxPage> NewPage(int32_t pageNo) override;

 private:
  bool InMemory(int32_t pageNo) const { return inMemory_ || pageNo < memoryLimit_; }
  void CheckInUse(int32_t pageNo) const;
  void EnsureFile(int64_t neededSize);

  bool inMemory_;
  int32_t memoryLimit_;
  TKrxMemoryPageManager memory_;
  std::vector<bool> inUse_;
  TKrxDatabaseFile file_;
  std::string fileName_;
  int64_t fileSize_ = 0;
};

}  // namespace krx
