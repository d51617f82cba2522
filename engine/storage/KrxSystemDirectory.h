// The system directory: a transacted internal file of page type 4 that
// always starts at page 2. Its content is an array of 5-byte entries
//     0 u8  kind (2 = active sessions file, 1 = table list file)
//     1 i32 start page of that file
#pragma once

#include <cstdint>
#include <vector>

#include "KrxInternalDBTransactedAccessFile.h"

namespace krx {

enum class TKrxDirectoryEntryKind : uint8_t { TableList = 1, ActiveSessions = 2 };

class TKrxSystemDirectory {
 public:
  static constexpr int32_t kStartPageNo = 2;
  static constexpr size_t kEntrySize = 5;

  explicit TKrxSystemDirectory(TKrxPageManager& pageManager);

  // Creates the empty directory; it must land on page 2.
  void Create(int32_t session);
  void Load(int32_t session);
  void Save(int32_t session);
  void AddEntry(uint8_t kind, int32_t startPageNo);
  // Start page of the first entry of that kind, or -1.
  int32_t Find(uint8_t kind) const;

  struct Entry {
    uint8_t kind;
    int32_t startPageNo;
  };
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  TKrxInternalDBTransactedAccessFile file_;
  std::vector<Entry> entries_;
};

}  // namespace krx
