// A table kept in the database file: records on record pages (type 10)
// found through the record page index, indexes on index pages, and three
// internal files: the metadata file (type 8, zlib level 1), the most-updated
// file (type 9) and the lock file (type 7).
//
// Metadata file content:
//     i32 field count, field definitions
//     i32 count of persistent indexes, index definitions
//     i32 constraint count, per constraint u8 type and its definition
//     i32 root page of the record page index
//     i32 root page of the BLOB page index
// Most-updated file content, rewritten after every insert, update, delete:
//     i32 field count, one i64 per field (autoincrement current value, 0 for
//     other fields), i32 change counter, i32 record count
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "KrxBlobManager.h"
#include "KrxBTree.h"
#include "KrxBTreePageIndex.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxInternalDBDirectAccessFile.h"
#include "KrxInternalDBTransactedAccessFile.h"
#include "KrxRecordKeyRef.h"
#include "KrxTableData.h"
#include "KrxTableLockScope.h"
#include "KrxTemporaryPageManager.h"

namespace krx {

// Results of BeginEdit, as the cursor layer reports them.
enum : int {
  kKrxEditRecordChanged = -4,
  kKrxEditRecordGone = -6,
  kKrxEditRecordLocked = -12,
  kKrxEditTableLocked = -13,
};

class TKrxDiskTableData : public TKrxTableData, public std::enable_shared_from_this<TKrxDiskTableData> {
 public:
  // ---- table-level operations on a database ----
  // Creates a table from its definition ("Error creating table - no fields
  // were specified", "Cannot create table. Table '%s' already exists", the
  // record-size message).
  static void CreateTable(TKrxDiskDatabaseData& db, const std::string& name, const TKrxTableDefinition& def);
  // The shared data object of a table of this database, loaded when no
  // cursor has it yet ("Table '%s' not exists.").
  static std::shared_ptr<TKrxDiskTableData> OpenTable(TKrxDiskDatabaseData& db, const std::string& name,
                                                      bool repair = false);
  // "Cannot delete table '%s'. Table is open by another dataset" while a
  // cursor is attached.
  static void DropTable(TKrxDiskDatabaseData& db, const std::string& name);
  // A table changed inside a transaction stays loaded until the session
  // commits or rolls back (a fresh load would read the committed record
  // count); the database lets go of them at commit, roll back and close.
  static void ReleaseSessionTables(const TKrxDiskDatabaseData& db, int32_t session);
  static void ReleaseAllSessionTables(const TKrxDiskDatabaseData& db);
  static void RenameTable(TKrxDiskDatabaseData& db, const std::string& name, const std::string& newName);
  static bool TableExists(TKrxDiskDatabaseData& db, const std::string& name);

  TKrxDiskTableData(TKrxDiskDatabaseData& db, std::string name);
  ~TKrxDiskTableData() override;

  int32_t TableID() const { return tableID_; }
  int RecordsPerPage() const { return recordsPerPage_; }
  size_t DiskRecordSize() const { return fields_.DiskRecordSize(); }
  int32_t ChangeCounter() const { return changeCounter_; }
  int32_t RecordPageIndexRoot() const { return pageIndex_ ? pageIndex_->RootPageNo() : -1; }
  int AttachedCursors() const { return static_cast<int>(cursors_.size()); }
  // Multi-user: a statement that changes the table holds its transaction
  // write lock from before it reads the rows it changes until the session
  // commits or rolls back ("Table is locked"), so no other session writes
  // between its reading and its writing.
  void LockForChanges(const TKrxCursor& cursor);
  // Outside a transaction: lets that lock go if no commit has.
  void UnlockForChanges(const TKrxCursor& cursor);
  // Multi-user editing of the cursor's record: the edit lock (type 3 in a
  // transaction, else 2), the record lock, and the record read again and
  // compared with the cursor's copy. 0, or kKrxEditTableLocked,
  // kKrxEditRecordLocked, kKrxEditRecordGone, kKrxEditRecordChanged; on a
  // failure nothing stays locked. Single-user: always 0.
  int BeginEdit(TKrxCursor& cursor);
  // After the post or the cancel: the record lock and the edit lock go (a
  // transaction keeps its write lock until it ends).
  void EndEdit(TKrxCursor& cursor);
  // Key of the table's locks: the start page of its lock file.
  int32_t LockKey() const { return lockFile_.StartPageNo(); }

  // Slots 11 and 12.
  void Attach(TKrxCursor& cursor);
  void Detach(TKrxCursor& cursor);
  // Chooses the cursor's index by name ("" = physical order; "Index not
  // found" for an unknown name).
  void SetActiveIndex(TKrxCursor& cursor, const std::string& indexName);

  void PrepareNewRecord(TKrxCursor& cursor) override;
  void InsertRecord(TKrxCursor& cursor) override;
  void UpdateRecord(TKrxCursor& cursor) override;
  void DeleteRecord(TKrxCursor& cursor) override;
  int ReadRecord(TKrxCursor& cursor, TKrxReadMode mode) override;
  int64_t RecordCount(TKrxCursor& cursor) override;
  void Commit(int32_t session, bool inTransaction) override;
  void Rollback(int32_t session, bool inTransaction) override;
  // Slot 39: rereads what a rolled back session may have changed.
  void CleanupAfterRollback(int32_t session);

  // Slots 27, 28: a BLOB field's value (uncompressed) and setting it from
  // memory (compressed with the field's algorithm; a zero-length value makes
  // the field NULL). The value is written with the record.
  std::vector<uint8_t> GetBlobData(TKrxCursor& cursor, int fieldNo);
  void SetBlobData(TKrxCursor& cursor, int fieldNo, const uint8_t* data, size_t size);
  // Slots 19, 25: lets the cursor's BLOB cache entries go (modified ones
  // only when forced).
  void ReleaseBlobCaches(TKrxCursor& cursor, bool force);
  TKrxDiskBlobManager* BlobManager() { return blobs_.get(); }

  // Slot 21: positions the cursor on the first record of its active index
  // whose leading key columns equal the values ("No active index is set for
  // Key search..." without one); false when none.
  bool LocateByKey(TKrxCursor& cursor, const std::vector<TKrxVariant>& values);
  // Slots 33, 34: 1-based record numbers in the active order; -1 when the
  // cursor is off the records. Going to k clamps k to the record count.
  void GoToRecordNumber(TKrxCursor& cursor, int64_t k);
  int64_t GetRecordNumber(TKrxCursor& cursor);
  // Slots 16, 17: record position numbers (page × N + slot).
  int64_t RecordPositionUpperBound(TKrxCursor& cursor);
  int64_t RecordPosition(const TKrxRecordID& id) const;

  // Slot 9: deletes every record and index entry, keeping the definition.
  void Empty(int32_t session);
  // Slots 13, 14, 15.
  void RenameField(int32_t session, const std::string& oldName, const std::string& newName);
  void AddIndex(int32_t session, const TKrxIndexDef& def);
  void DropIndex(int32_t session, const std::string& name);
  // A temporary index for a query: named "TEMPORARY_INDEX_" + a fresh GUID,
  // kept on the table's temporary pages, never written to the metadata;
  // it remembers the session and the change counter it was built at.
  std::string AddTemporaryIndex(int32_t session, const std::vector<TKrxIndexColumnDef>& columns);
  // Rebuilds every temporary index built at another change counter.
  void RefreshTemporaryIndexes(int32_t session);

  // Checks: the record page index against the record count ("Invalid table
  // RecordPageIndex or MostUpdated..."), and every index's tree.
  void CheckRecordPageIndex(int32_t session);
  void CheckIndexes(int32_t session);
  // Record IDs of an index in its order (for checks and tests).
  std::vector<TKrxRecordID> IndexOrder(int32_t session, int indexNo);
  int IndexHeight(int32_t session, int indexNo);

 protected:
  bool HasDuplicate(int32_t session, int indexNo, const uint8_t* record, const TKrxRecordID* selfID) override;

 private:
  struct Index {
    std::unique_ptr<TKrxRecordKeyRef> keys;
    std::unique_ptr<TKrxBTree> tree;
    TKrxPageManager* pages = nullptr;  // the table's file, or its temporary pages
    std::vector<uint8_t> key, full;
    std::vector<uint8_t> readKey;  // stored key of a record read for its full key
    uint8_t ref[kKrxRecordIDSize];
  };

  void Load(int32_t session, const TKrxTableListEntry& entry, bool repair);
  void SetUpRecordManager();
  void BuildIndex(size_t indexNo);
  void CreateIndexTree(int32_t session, size_t indexNo, bool fill);
  void WriteMetadata(int32_t session);
  void ReadMetadata(int32_t session);
  void WriteMostUpdated(int32_t session);
  void ReadMostUpdated(int32_t session);
  void RebuildRecordPageIndex(int32_t session);
  void AutoCommit(TKrxCursor& cursor);
  TKrxPageManager& TemporaryPages();
  void CommitTemporary(int32_t session);
  void FillIndex(int32_t session, Index& index);
  void FlushBlobs(int32_t session, uint8_t* record);
  void DeleteRecordBlobs(int32_t session, const uint8_t* record);
  void DeleteAllBlobs(int32_t session);
  void ReleaseBufferCaches(uint8_t* record, bool force);
  void FailAndRollBack(TKrxCursor& cursor);
  // Multi-user: a read operation holds the table's read lock and works on
  // the most-updated data as other sessions committed it ("Table is
  // locked" when the lock cannot be had).
  TKrxTableLockScope ReadLock(int32_t session);
  // Multi-user: a change takes the transaction write lock (kept until
  // commit or rollback) inside a transaction, else the write lock for the
  // operation and its commit.
  TKrxTableLockScope WriteLock(const TKrxCursor& cursor);

  // Record manager.
  TKrxRecordID InsertSlot(int32_t session, const uint8_t* record);
  bool WriteSlot(int32_t session, const TKrxRecordID& id, const uint8_t* record);
  bool ClearSlot(int32_t session, const TKrxRecordID& id);
  // verifyPage: check the page is still one of the table's (for IDs that may
  // be stale); IDs just taken from an index or the page index need not be.
  bool ReadSlot(int32_t session, const TKrxRecordID& id, uint8_t* record, bool verifyPage = true);
  bool PhysicalFirst(int32_t session, TKrxRecordID& id, bool last);
  bool PhysicalStep(int32_t session, TKrxRecordID& id, bool forward);
  void DeleteAllRecords(int32_t session);

  // Index entries of a record.
  void AddKeys(int32_t session, const uint8_t* record, const TKrxRecordID& id);
  void RemoveKeys(int32_t session, const uint8_t* record, const TKrxRecordID& id);
  void BuildKeys(Index& index, const uint8_t* record, const TKrxRecordID& id);
  bool IndexPath(TKrxCursor& cursor, TKrxKeyPath& path, bool& exact);
  bool IndexStep(TKrxCursor& cursor, bool forward, TKrxRecordID& id);
  bool Position(TKrxCursor& cursor, const TKrxRecordID& id, bool verifyPage = true);

  TKrxDiskDatabaseData& db_;
  TKrxPageManager& pm_;
  int32_t tableID_ = -1;
  std::vector<TKrxCursor*> cursors_;
  TKrxInternalDBTransactedAccessFile metaFile_;
  TKrxInternalDBTransactedAccessFile mostUpdatedFile_;
  TKrxInternalDBDirectAccessFile lockFile_;
  std::unique_ptr<TKrxBTreeRecordPageIndex> pageIndex_;
  int32_t blobPageIndexRoot_ = -1;
  std::unique_ptr<TKrxDiskBlobManager> blobs_;
  std::unique_ptr<TKrxTemporaryPageManager> temporaryPages_;
  std::vector<std::unique_ptr<Index>> indexes_;
  int recordsPerPage_ = 0;
  int64_t recordCount_ = 0;
  int32_t changeCounter_ = 0;
  int32_t currentSession_ = 0;  // session of the operation running
  std::vector<uint8_t> diskBuffer_;   // one record in disk layout, reused
  std::vector<uint8_t> oldRecord_;    // the stored record of an update
  std::vector<uint8_t> readBuffer_;   // records read for full keys
  std::vector<uint8_t> fileBuffer_;   // metadata and most-updated content
};

}  // namespace krx
