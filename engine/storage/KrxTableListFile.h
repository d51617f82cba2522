// The table list: a transacted internal file of page type 6 holding one
// 272-byte entry per table:
//     0   u8 + 255 bytes  name: length byte, then up to 255 characters
//     256 i32 table ID (from NextObjectID)
//     260 i32 start page of the table's metadata file    (type 8)
//     264 i32 start page of the table's most-updated file (type 9)
//     268 i32 start page of the table's lock file         (type 7)
// Names compare without regard to letter case.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KrxInternalDBTransactedAccessFile.h"

namespace krx {

struct TKrxTableListEntry {
  std::string name;
  int32_t tableID = 0;
  int32_t metaDataPageNo = kKrxNoPage;
  int32_t mostUpdatedPageNo = kKrxNoPage;
  int32_t locksPageNo = kKrxNoPage;
};

class TKrxTableListFile {
 public:
  static constexpr size_t kEntrySize = 272;

  explicit TKrxTableListFile(TKrxPageManager& pageManager);

  // Creates an empty list for the session; returns its start page.
  int32_t Create(int32_t session);
  // Opens the list at its start page ("Table list file already opened."
  // when open).
  void Open(int32_t startPageNo);
  void Close();
  bool IsOpen() const { return file_.IsOpen(); }
  int32_t StartPageNo() const { return file_.StartPageNo(); }
  void Load(int32_t session);
  void Save(int32_t session);

  // Appends a table and saves ("Cannot create table. Table '%s' already
  // exists").
  void Add(int32_t session, const TKrxTableListEntry& entry);
  // False when no table has that name.
  bool Find(const std::string& name, TKrxTableListEntry& entry) const;
  bool Exists(const std::string& name) const;
  // Removes the table and saves ("Table '%s' not exists.").
  void Delete(int32_t session, const std::string& name);
  // Renames in place and saves.
  void Rename(int32_t session, const std::string& oldName, const std::string& newName);
  std::vector<std::string> TableNames() const;
  const std::vector<TKrxTableListEntry>& Entries() const { return entries_; }

 private:
  int IndexOf(const std::string& name) const;

  TKrxInternalDBTransactedAccessFile file_;
  std::vector<TKrxTableListEntry> entries_;
};

}  // namespace krx
