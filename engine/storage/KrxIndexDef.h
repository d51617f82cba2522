// Index definitions as kept in a table's metadata file:
//     string  name (u8 length + bytes)
//     i32     object ID
//     u8      index kind
//     u8      unique flag
//     u8      primary flag
//     i32     column count
//     i32     root page of the index's B-tree
//     per column:
//       string  column (field) name
//       u8      descending flag
//       u8      case-insensitive flag
//       i32     column key length setting (20 from a column list)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace krx {

struct TKrxIndexColumnDef {
  std::string fieldName;
  bool descending = false;
  bool caseInsensitive = false;
  int32_t keyLength = 20;
};

struct TKrxIndexDef {
  std::string name;
  int32_t objectID = -1;
  uint8_t kind = 0;
  bool unique = false;
  bool primary = false;
  int32_t rootPageNo = -1;
  std::vector<TKrxIndexColumnDef> columns;
  // Temporary indexes live on the table's temporary pages and are never
  // written to the metadata.
  bool temporary = false;
  int32_t temporarySession = 0;
  int32_t builtAtChangeCounter = 0;

  void Write(std::vector<uint8_t>& out) const;
  static TKrxIndexDef Read(const uint8_t* data, size_t size, size_t& offset);
};

// An index definition from column lists given as text: field names
// separated by ';' or ','; the descending list names "DESC" or "ASC" per
// column and the case list "NO_CASE" or "CASE" (empty lists take the
// defaults). Lists of different lengths give "Error - different lists
// length. L1 = %d, L2 = %d".
TKrxIndexDef KrxIndexDefFromLists(std::string name, std::string_view fields, std::string_view descending,
                                  std::string_view caseInsensitive, bool unique, bool primary);

// The name of a temporary index: "TEMPORARY_INDEX_" and a fresh GUID text.
std::string KrxNewTemporaryIndexName();

}  // namespace krx
