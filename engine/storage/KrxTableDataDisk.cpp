#include "KrxTableDataDisk.h"

#include <algorithm>
#include <chrono>
#include <cctype>
#include <cstring>
#include <map>
#include <thread>

#include "KrxCompression.h"
#include "KrxStreamCompressedBLOB.h"
#include "KrxException.h"

namespace krx {
namespace {

constexpr uint16_t kRecordPageType = 10;
constexpr int32_t kEngine = kKrxEngineSession;

std::string UpperName(const std::string& name) {
  std::string s = name;
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The table data objects alive in this process, by database and name.
struct Registry {
  std::mutex mutex;
  std::map<std::pair<const TKrxDiskDatabaseData*, std::string>, std::weak_ptr<TKrxDiskTableData>> tables;

  static Registry& Instance() {
    static Registry registry;
    return registry;
  }
  std::shared_ptr<TKrxDiskTableData> Find(const TKrxDiskDatabaseData& db, const std::string& name) {
    std::lock_guard<std::mutex> guard(mutex);
    auto it = tables.find({&db, UpperName(name)});
    if (it == tables.end()) return nullptr;
    auto table = it->second.lock();
    if (!table) tables.erase(it);
    return table;
  }
  void Put(const TKrxDiskDatabaseData& db, const std::string& name, const std::shared_ptr<TKrxDiskTableData>& t) {
    std::lock_guard<std::mutex> guard(mutex);
    tables[{&db, UpperName(name)}] = t;
  }
  void Remove(const TKrxDiskDatabaseData& db, const std::string& name) {
    std::lock_guard<std::mutex> guard(mutex);
    tables.erase({&db, UpperName(name)});
  }

  // A table a session changed but has not committed must outlive the
  // statement: its record count, change counter and autoinc values are only
  // in memory and in the session's private pages, and a table loaded afresh
  // reads the committed ones.
  std::map<std::pair<const TKrxDiskDatabaseData*, int32_t>, std::vector<std::shared_ptr<TKrxDiskTableData>>> kept;

  void Keep(const TKrxDiskDatabaseData& db, int32_t session, std::shared_ptr<TKrxDiskTableData> table) {
    std::lock_guard<std::mutex> guard(mutex);
    auto& list = kept[{&db, session}];
    for (const auto& t : list)
      if (t == table) return;
    list.push_back(std::move(table));
  }
  void Release(const TKrxDiskDatabaseData& db, int32_t session) {
    std::vector<std::shared_ptr<TKrxDiskTableData>> released;
    {
      std::lock_guard<std::mutex> guard(mutex);
      auto it = kept.find({&db, session});
      if (it == kept.end()) return;
      released.swap(it->second);
      kept.erase(it);
    }
  }
  void ReleaseAll(const TKrxDiskDatabaseData& db) {
    std::vector<std::shared_ptr<TKrxDiskTableData>> released;  // let go of outside the lock
    std::lock_guard<std::mutex> guard(mutex);
    for (auto it = kept.begin(); it != kept.end();) {
      if (it->first.first != &db) {
        ++it;
        continue;
      }
      for (auto& t : it->second) released.push_back(std::move(t));
      it = kept.erase(it);
    }
  }
};

// Holds the database's tables lock for a scope.
class TablesLock {
 public:
  explicit TablesLock(TKrxDiskPageManager& pm) : pm_(pm) { pm_.LockTables(); }
  ~TablesLock() {
    try {
      pm_.UnlockTables();
    } catch (...) {
    }
  }

 private:
  TKrxDiskPageManager& pm_;
};

// Compares only the leading columns of record keys (lookups by a prefix of
// the key values).
class PrefixKeyRef : public TKrxBTreeKeyRef {
 public:
  PrefixKeyRef(const TKrxRecordKeyRef& base, size_t parts) : base_(base), parts_(parts) {}
  size_t KeyLength() const override { return base_.KeyLength(); }
  size_t RefLength() const override { return base_.RefLength(); }
  int CompareStored(const uint8_t* a, const uint8_t* b) const override {
    return base_.CompareStoredPrefix(a, b, parts_);
  }
  bool NeedsTie(const TKrxBTreeSearch&) const override { return false; }
  int CompareTie(const TKrxBTreeSearch&, const uint8_t*, const uint8_t*) const override { return 0; }

 private:
  const TKrxRecordKeyRef& base_;
  size_t parts_;
};

}  // namespace

// ---------------------------------------------------------------- lifecycle

TKrxDiskTableData::TKrxDiskTableData(TKrxDiskDatabaseData& db, std::string name)
    : TKrxTableData(std::move(name)),
      db_(db),
      pm_(db.PageManager()),
      metaFile_(db.PageManager(), 8),
      mostUpdatedFile_(db.PageManager(), 9),
      lockFile_(db.DiskPageManager(), 7) {}

TKrxDiskTableData::~TKrxDiskTableData() = default;

bool TKrxDiskTableData::TableExists(TKrxDiskDatabaseData& db, const std::string& name) {
  std::lock_guard<std::recursive_mutex> guard(db.CriticalSection());
  return db.TableList().Exists(name);
}

void TKrxDiskTableData::SetUpRecordManager() {
  fields_.Layout();
  recordsPerPage_ = KrxRecordsPerPage(pm_.PageDataSize(), fields_.DiskRecordSize());
  if (recordsPerPage_ <= 0) throw EKrxException(KrxError::RecordTooLarge);
  diskBuffer_.assign(fields_.DiskRecordSize(), 0);
  readBuffer_.assign(fields_.MemoryRecordSize(), 0);
  if (pageIndex_) pageIndex_->SetRecordsPerPage(recordsPerPage_);
}

void TKrxDiskTableData::CreateTable(TKrxDiskDatabaseData& db, const std::string& name, const TKrxTableDefinition& def) {
  std::lock_guard<std::recursive_mutex> dbGuard(db.CriticalSection());
  if (def.fields.Count() == 0) throw EKrxException(KrxError::NoFieldsSpecified);
  if (db.TableList().Exists(name)) throw EKrxException(KrxError::TableAlreadyExists, name);

  TKrxDiskTableData t(db, name);
  t.fields_ = def.fields;
  t.SetUpRecordManager();
  t.indexDefs_ = def.indexes;
  // Constraints are copied through their stored form.
  std::vector<uint8_t> stored;
  for (const auto& c : def.constraints) c->Write(stored);
  for (size_t offset = 0; offset < stored.size();)
    t.constraints_.push_back(TKrxConstraintDef::Read(stored.data(), stored.size(), offset));
  for (const auto& c : t.constraints_)
    if (c->references[1].name.empty()) c->references[1].name = name;
  // The BLOB fields are examined up to the first with a block size.
  for (const TKrxFieldDef& f : t.fields_) {
    if (!f.IsBlob()) continue;
    if (f.blobBlockSize > 0) break;
    throw EKrxException(KrxError::BlobBlockSizeZeroForField, f.name);
  }

  const int32_t tableID = db.GetNextObjectID();
  TablesLock tablesLock(db.DiskPageManager());
  try {
    TKrxTableListEntry entry;
    entry.name = name;
    entry.tableID = tableID;
    entry.locksPageNo = t.lockFile_.Create(std::max<int32_t>(1, 12 * db.MaxConnections()));
    entry.metaDataPageNo = t.metaFile_.Create(kEngine);
    entry.mostUpdatedPageNo = t.mostUpdatedFile_.Create(kEngine);
    t.tableID_ = tableID;
    t.SeedAutoIncValues();
    t.WriteMostUpdated(kEngine);
    t.pageIndex_ = std::make_unique<TKrxBTreeRecordPageIndex>(t.pm_, -1, t.recordsPerPage_);
    t.pageIndex_->Create(kEngine);
    if (t.fields_.HasBlobs()) {
      TKrxBTreeBlobPageIndex blobIndex(t.pm_, -1);
      t.blobPageIndexRoot_ = blobIndex.Create(kEngine);
      t.blobs_ = std::make_unique<TKrxDiskBlobManager>(t.pm_, t.blobPageIndexRoot_);
    }
    for (size_t i = 0; i < t.indexDefs_.size(); ++i) {
      t.BuildIndex(i);
      t.CreateIndexTree(kEngine, i, false);
    }
    t.WriteMetadata(kEngine);
    db.TableList().Add(kEngine, entry);
    db.Commit(kEngine, false);
  } catch (...) {
    db.Rollback(kEngine);
    try {
      db.TableList().Load(kEngine);
    } catch (...) {
    }
    throw;
  }
}

std::shared_ptr<TKrxDiskTableData> TKrxDiskTableData::OpenTable(TKrxDiskDatabaseData& db, const std::string& name,
                                                                 bool repair) {
  std::lock_guard<std::recursive_mutex> dbGuard(db.CriticalSection());
  if (auto existing = Registry::Instance().Find(db, name)) return existing;
  // Other processes create, drop and rename tables of a shared file.
  if (db.TableLocks().Active()) db.TableList().Load(kEngine);
  TKrxTableListEntry entry;
  if (!db.TableList().Find(name, entry)) throw EKrxException(KrxError::TableNotExists, name);
  auto table = std::make_shared<TKrxDiskTableData>(db, entry.name);
  table->Load(kEngine, entry, repair);
  Registry::Instance().Put(db, name, table);
  return table;
}

void TKrxDiskTableData::Load(int32_t session, const TKrxTableListEntry& entry, bool repair) {
  tableID_ = entry.tableID;
  metaFile_.Open(entry.metaDataPageNo);
  mostUpdatedFile_.Open(entry.mostUpdatedPageNo);
  lockFile_.Open(entry.locksPageNo);
  ReadMetadata(session);
  try {
    ReadMostUpdated(session);
  } catch (const EKrxException&) {
    if (!repair) throw;
    RebuildRecordPageIndex(session);
  }
}

void TKrxDiskTableData::DropTable(TKrxDiskDatabaseData& db, const std::string& name) {
  std::lock_guard<std::recursive_mutex> dbGuard(db.CriticalSection());
  auto open = Registry::Instance().Find(db, name);
  if (open && open->AttachedCursors() > 0) throw EKrxException(KrxError::CannotDeleteOpenTable, name);
  TKrxTableListEntry entry;
  if (!db.TableList().Find(name, entry)) throw EKrxException(KrxError::TableNotExists, name);
  TablesLock tablesLock(db.DiskPageManager());
  try {
    TKrxDiskTableData t(db, entry.name);
    t.Load(kEngine, entry, false);
    if (t.blobs_) t.DeleteAllBlobs(kEngine);
    t.DeleteAllRecords(kEngine);
    t.pageIndex_->Drop(kEngine);
    for (auto& index : t.indexes_) index->tree->Drop(kEngine);
    if (t.blobs_) t.blobs_->Index().Drop(kEngine);
    t.metaFile_.Delete(kEngine);
    t.mostUpdatedFile_.Delete(kEngine);
    db.TableLocks().ForgetFile(entry.locksPageNo);
    t.lockFile_.Delete(kEngine);
    db.TableList().Delete(kEngine, entry.name);
    db.Commit(kEngine, false);
  } catch (...) {
    db.Rollback(kEngine);
    try {
      db.TableList().Load(kEngine);
    } catch (...) {
    }
    throw;
  }
  Registry::Instance().Remove(db, name);
}

void TKrxDiskTableData::RenameTable(TKrxDiskDatabaseData& db, const std::string& name, const std::string& newName) {
  std::lock_guard<std::recursive_mutex> dbGuard(db.CriticalSection());
  auto open = Registry::Instance().Find(db, name);
  if (open && open->AttachedCursors() > 0) throw EKrxException(KrxError::CannotRenameOpenTable, name);
  if (!db.TableList().Exists(name)) throw EKrxException(KrxError::TableNotExists, name);
  if (!KrxSameName(name, newName) && db.TableList().Exists(newName))
    throw EKrxException(KrxError::TableAlreadyExists, newName);
  TablesLock tablesLock(db.DiskPageManager());
  try {
    db.TableList().Rename(kEngine, name, newName);
    db.Commit(kEngine, false);
  } catch (...) {
    db.Rollback(kEngine);
    try {
      db.TableList().Load(kEngine);
    } catch (...) {
    }
    throw;
  }
  Registry::Instance().Remove(db, name);
}

// ---------------------------------------------------------------- files

void TKrxDiskTableData::WriteMetadata(int32_t session) {
  fileBuffer_.clear();
  fields_.Write(fileBuffer_);
  int32_t persistent = 0;
  for (const TKrxIndexDef& d : indexDefs_) persistent += d.temporary ? 0 : 1;
  KrxAppendI32(fileBuffer_, persistent);
  for (const TKrxIndexDef& d : indexDefs_)
    if (!d.temporary) d.Write(fileBuffer_);
  KrxAppendI32(fileBuffer_, static_cast<int32_t>(constraints_.size()));
  for (const auto& c : constraints_) c->Write(fileBuffer_);
  KrxAppendI32(fileBuffer_, pageIndex_ ? pageIndex_->RootPageNo() : -1);
  KrxAppendI32(fileBuffer_, blobPageIndexRoot_);
  metaFile_.WriteFile(session, fileBuffer_.data(), 1, kKrxCompressZlib, static_cast<int32_t>(fileBuffer_.size()));
}

void TKrxDiskTableData::ReadMetadata(int32_t session) {
  std::vector<uint8_t> content = metaFile_.ReadAll(session);
  const uint8_t* data = content.data();
  size_t size = content.size(), offset = 0;
  fields_.Read(data, size, offset);
  int32_t indexCount = KrxReadI32(data, size, offset);
  if (indexCount < 0) throw EKrxException(KrxError::InvalidTableHeaderData);
  indexDefs_.clear();
  for (int32_t i = 0; i < indexCount; ++i) indexDefs_.push_back(TKrxIndexDef::Read(data, size, offset));
  int32_t constraintCount = KrxReadI32(data, size, offset);
  if (constraintCount < 0) throw EKrxException(KrxError::InvalidTableHeaderData);
  constraints_.clear();
  for (int32_t i = 0; i < constraintCount; ++i) constraints_.push_back(TKrxConstraintDef::Read(data, size, offset));
  int32_t pageIndexRoot = KrxReadI32(data, size, offset);
  blobPageIndexRoot_ = KrxReadI32(data, size, offset);
  blobs_.reset();
  if (blobPageIndexRoot_ >= 0) blobs_ = std::make_unique<TKrxDiskBlobManager>(pm_, blobPageIndexRoot_);
  SetUpRecordManager();
  pageIndex_ = std::make_unique<TKrxBTreeRecordPageIndex>(pm_, pageIndexRoot, recordsPerPage_);
  SeedAutoIncValues();
  indexes_.clear();
  for (size_t i = 0; i < indexDefs_.size(); ++i) BuildIndex(i);
}

void TKrxDiskTableData::WriteMostUpdated(int32_t session) {
  fileBuffer_.clear();
  KrxAppendI32(fileBuffer_, static_cast<int32_t>(fields_.Count()));
  for (size_t i = 0; i < fields_.Count(); ++i)
    KrxAppendI64(fileBuffer_, fields_[i].IsAutoInc() ? autoincValues_[i] : 0);
  KrxAppendI32(fileBuffer_, changeCounter_);
  KrxAppendI32(fileBuffer_, static_cast<int32_t>(recordCount_));
  mostUpdatedFile_.WriteFile(session, fileBuffer_.data(), 0, 0, static_cast<int32_t>(fileBuffer_.size()));
}

void TKrxDiskTableData::ReadMostUpdated(int32_t session) {
  std::vector<uint8_t> content = mostUpdatedFile_.ReadAll(session);
  const uint8_t* data = content.data();
  size_t size = content.size(), offset = 0;
  int32_t count = KrxReadI32(data, size, offset);
  if (count != static_cast<int32_t>(fields_.Count())) throw EKrxException(KrxError::InvalidTableHeaderData);
  autoincValues_.assign(fields_.Count(), 0);
  for (int32_t i = 0; i < count; ++i) autoincValues_[i] = KrxReadI64(data, size, offset);
  changeCounter_ = KrxReadI32(data, size, offset);
  recordCount_ = KrxReadI32(data, size, offset);
}

void TKrxDiskTableData::RebuildRecordPageIndex(int32_t /*session*/) {
  // Rebuilding needs a scan of every page of the file for this table's
  // record pages; until the page layer offers one, a damaged most-updated
  // file stays an error.
  if (recordsPerPage_ <= 1) throw EKrxException(KrxError::CannotRepairLargeRecordTable, name_);
  throw EKrxException(KrxError::InvalidTableHeaderData);
}

// ---------------------------------------------------------------- indexes

void TKrxDiskTableData::BuildIndex(size_t indexNo) {
  TKrxIndexDef& def = indexDefs_[indexNo];
  std::vector<TKrxIndexColumnSpec> specs;
  for (const TKrxIndexColumnDef& c : def.columns) {
    int f = fields_.IndexOf(c.fieldName);
    if (f < 0) throw EKrxException(KrxError::CannotFindIndexField, c.fieldName);
    specs.push_back({f, c.descending, c.caseInsensitive, c.keyLength});
  }
  auto index = std::make_unique<Index>();
  index->keys = std::make_unique<TKrxRecordKeyRef>(fields_, specs);
  index->key.resize(index->keys->KeyLength());
  index->full.resize(index->keys->FullKeyLength());
  index->readKey.resize(index->keys->KeyLength());
  Index* raw = index.get();
  index->keys->SetFullKeyReader([this, raw](const TKrxRecordID& id, uint8_t* full) {
    if (!ReadSlot(currentSession_, id, readBuffer_.data(), false)) return false;
    raw->keys->BuildKey(readBuffer_.data(), raw->readKey.data(), full);
    return true;
  });
  index->pages = def.temporary ? &TemporaryPages() : &pm_;
  index->tree = std::make_unique<TKrxBTree>(*index->pages, *index->keys, def.rootPageNo);
  if (indexNo < indexes_.size()) indexes_[indexNo] = std::move(index);
  else indexes_.push_back(std::move(index));
}

void TKrxDiskTableData::CreateIndexTree(int32_t session, size_t indexNo, bool fill) {
  Index& index = *indexes_[indexNo];
  int32_t root = TKrxBTree::CreateRoot(*index.pages, session, static_cast<uint16_t>(index.keys->KeyLength()));
  indexDefs_[indexNo].rootPageNo = root;
  index.tree->SetRootPageNo(root);
  if (fill) FillIndex(session, index);
}

void TKrxDiskTableData::FillIndex(int32_t session, Index& index) {
  if (recordCount_ == 0) return;
  currentSession_ = session;
  TKrxRecordID id;
  std::vector<uint8_t> record(fields_.MemoryRecordSize());
  for (bool more = PhysicalFirst(session, id, false); more; more = PhysicalStep(session, id, true)) {
    if (!ReadSlot(session, id, record.data())) throw EKrxException(KrxError::RecordNotFound);
    BuildKeys(index, record.data(), id);
    index.tree->Insert(session, {index.key.data(), index.full.data(), index.ref}, index.ref);
  }
}

TKrxPageManager& TKrxDiskTableData::TemporaryPages() {
  if (!temporaryPages_) temporaryPages_ = std::make_unique<TKrxTemporaryPageManager>(false);
  return *temporaryPages_;
}

void TKrxDiskTableData::CommitTemporary(int32_t session) {
  if (temporaryPages_ && temporaryPages_->HasChanges(session)) temporaryPages_->Commit(session);
}

std::string TKrxDiskTableData::AddTemporaryIndex(int32_t session, const std::vector<TKrxIndexColumnDef>& columns) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxIndexDef def;
  do {
    def.name = KrxNewTemporaryIndexName();
  } while (IndexNoByName(def.name) >= 0);
  def.columns = columns;
  def.temporary = true;
  def.temporarySession = session;
  def.builtAtChangeCounter = changeCounter_;
  indexDefs_.push_back(def);
  try {
    BuildIndex(indexDefs_.size() - 1);
    CreateIndexTree(session, indexDefs_.size() - 1, true);
    CommitTemporary(session);
  } catch (...) {
    indexDefs_.pop_back();
    if (indexes_.size() > indexDefs_.size()) indexes_.pop_back();
    if (temporaryPages_) temporaryPages_->Rollback(session);
    throw;
  }
  return def.name;
}

void TKrxDiskTableData::RefreshTemporaryIndexes(int32_t session) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  for (size_t i = 0; i < indexDefs_.size(); ++i) {
    TKrxIndexDef& def = indexDefs_[i];
    if (!def.temporary || def.builtAtChangeCounter == changeCounter_) continue;
    indexes_[i]->tree->Clear(session);
    FillIndex(session, *indexes_[i]);
    def.builtAtChangeCounter = changeCounter_;
  }
  CommitTemporary(session);
}

void TKrxDiskTableData::BuildKeys(Index& index, const uint8_t* record, const TKrxRecordID& id) {
  index.keys->BuildKey(record, index.key.data(), index.full.data());
  KrxPutRecordID(index.ref, 0, id);
}

void TKrxDiskTableData::AddKeys(int32_t session, const uint8_t* record, const TKrxRecordID& id) {
  for (auto& index : indexes_) {
    BuildKeys(*index, record, id);
    index->tree->Insert(session, {index->key.data(), index->full.data(), index->ref}, index->ref);
  }
}

void TKrxDiskTableData::RemoveKeys(int32_t session, const uint8_t* record, const TKrxRecordID& id) {
  for (auto& index : indexes_) {
    BuildKeys(*index, record, id);
    index->tree->Delete(session, {index->key.data(), index->full.data(), index->ref});
  }
}

bool TKrxDiskTableData::HasDuplicate(int32_t session, int indexNo, const uint8_t* record, const TKrxRecordID* selfID) {
  Index& index = *indexes_.at(indexNo);
  currentSession_ = session;
  index.keys->BuildKey(record, index.key.data(), index.full.data());
  TKrxBTreeSearch s{index.key.data(), index.full.data(), nullptr};
  TKrxKeyPath path;
  if (!index.tree->Find(session, s, TKrxFindMode::First, path)) return false;
  std::vector<uint8_t> key(index.keys->KeyLength());
  uint8_t ref[kKrxRecordIDSize];
  for (;;) {
    index.tree->ReadEntry(session, path, key.data(), ref);
    if (index.keys->CompareStored(index.key.data(), key.data()) != 0) return false;
    TKrxRecordID other = KrxGetRecordID(ref, 0);
    bool equalFull = true;
    if (index.keys->HasTruncatedParts()) {
      std::vector<uint8_t> full(index.keys->FullKeyLength());
      if (!ReadSlot(session, other, readBuffer_.data())) throw EKrxException(KrxError::CannotRetrieveRecordForIndex);
      index.keys->BuildKey(readBuffer_.data(), key.data(), full.data());
      equalFull = index.keys->CompareFull(index.full.data(), full.data()) == 0;
      if (!equalFull && index.keys->CompareFull(index.full.data(), full.data()) < 0) return false;
    }
    if (equalFull && (!selfID || !(other == *selfID))) return true;
    if (!index.tree->Next(session, path)) return false;
  }
}

void TKrxDiskTableData::SetActiveIndex(TKrxCursor& cursor, const std::string& indexName) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  if (indexName.empty()) {
    cursor.activeIndex = -1;
    return;
  }
  int i = IndexNoByName(indexName);
  if (i < 0) throw EKrxException(KrxError::IndexNotFound);
  cursor.activeIndex = i;
}

// ---------------------------------------------------------------- record manager

bool TKrxDiskTableData::ReadSlot(int32_t session, const TKrxRecordID& id, uint8_t* record, bool verifyPage) {
  int count;
  if (!id.IsValid() || (verifyPage && !pageIndex_->FindPage(session, id.pageNo, count))) return false;
  TKrxHeldPage page(pm_.GetPage(session, id.pageNo, false, kRecordPageType));
  TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
  if (id.slot >= recordsPerPage_ || !view.IsOccupied(id.slot)) return false;
  KrxRecordFromDisk(fields_, view.Slot(id.slot), record);
  return true;
}

TKrxRecordID TKrxDiskTableData::InsertSlot(int32_t session, const uint8_t* record) {
  int32_t pageNo = pageIndex_->FindPageWithRoom(session, 1);
  TKrxHeldPage page;
  if (pageNo < 0) {
    page = TKrxHeldPage(pm_.AllocatePage(session, kRecordPageType));
    page->SetOwnerID(tableID_);
    std::memset(page->Data(), 0, page->DataSize());
    pageNo = page->PageNo();
  } else {
    page = TKrxHeldPage(pm_.GetPage(session, pageNo, false, kRecordPageType));
  }
  TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
  int slot = view.FirstFree();
  if (slot < 0) throw EKrxException(KrxError::RecordPageFull);
  KrxRecordToDisk(fields_, record, view.Slot(slot));
  view.SetOccupied(slot, true);
  page->MarkDirty();
  page.Reset();
  pageIndex_->Add(session, pageNo, 1);
  ++recordCount_;
  ++changeCounter_;
  return {pageNo, static_cast<uint16_t>(slot)};
}

bool TKrxDiskTableData::WriteSlot(int32_t session, const TKrxRecordID& id, const uint8_t* record) {
  int count;
  if (!pageIndex_->FindPage(session, id.pageNo, count)) return false;
  TKrxHeldPage page(pm_.GetPage(session, id.pageNo, false, kRecordPageType));
  TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
  if (id.slot >= recordsPerPage_ || !view.IsOccupied(id.slot)) return false;
  KrxRecordToDisk(fields_, record, view.Slot(id.slot));
  page->MarkDirty();
  ++changeCounter_;
  return true;
}

bool TKrxDiskTableData::ClearSlot(int32_t session, const TKrxRecordID& id) {
  int count;
  if (!pageIndex_->FindPage(session, id.pageNo, count)) return false;
  {
    TKrxHeldPage page(pm_.GetPage(session, id.pageNo, false, kRecordPageType));
    TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
    if (id.slot >= recordsPerPage_ || !view.IsOccupied(id.slot)) return false;
    view.SetOccupied(id.slot, false);
    std::memset(view.Slot(id.slot), 0, fields_.DiskRecordSize());
    page->MarkDirty();
  }
  if (pageIndex_->Subtract(session, id.pageNo, 1) == 0) pm_.DeletePage(session, id.pageNo);
  --recordCount_;
  ++changeCounter_;
  return true;
}

bool TKrxDiskTableData::PhysicalFirst(int32_t session, TKrxRecordID& id, bool last) {
  int32_t pageNo;
  int count;
  if (!(last ? pageIndex_->LastPage(session, pageNo, count) : pageIndex_->FirstPage(session, pageNo, count)))
    return false;
  TKrxHeldPage page(pm_.GetPage(session, pageNo, false, kRecordPageType));
  TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
  int slot = last ? view.PriorOccupied(recordsPerPage_) : view.NextOccupied(-1);
  if (slot < 0) throw EKrxException(KrxError::RecordNotFoundOnPage, pageNo, count);
  id = {pageNo, static_cast<uint16_t>(slot)};
  return true;
}

bool TKrxDiskTableData::PhysicalStep(int32_t session, TKrxRecordID& id, bool forward) {
  int count;
  if (pageIndex_->FindPage(session, id.pageNo, count)) {
    TKrxHeldPage page(pm_.GetPage(session, id.pageNo, false, kRecordPageType));
    TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
    int slot = forward ? view.NextOccupied(id.slot) : view.PriorOccupied(id.slot);
    if (slot >= 0) {
      id.slot = static_cast<uint16_t>(slot);
      return true;
    }
  }
  int32_t pageNo;
  if (!(forward ? pageIndex_->NextPage(session, id.pageNo, pageNo, count)
                : pageIndex_->PriorPage(session, id.pageNo, pageNo, count)))
    return false;
  TKrxHeldPage page(pm_.GetPage(session, pageNo, false, kRecordPageType));
  TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
  int slot = forward ? view.NextOccupied(-1) : view.PriorOccupied(recordsPerPage_);
  if (slot < 0) throw EKrxException(KrxError::RecordNotFoundOnPage, pageNo, count);
  id = {pageNo, static_cast<uint16_t>(slot)};
  return true;
}

void TKrxDiskTableData::DeleteAllRecords(int32_t session) {
  std::vector<int32_t> pages;
  pageIndex_->Tree().ForEach(session, [&](const uint8_t* key, const uint8_t*) {
    pages.push_back(GetI32(key, 0));
    return true;
  });
  for (int32_t p : pages) pm_.DeletePage(session, p);
  pageIndex_->Clear(session);
  recordCount_ = 0;
  ++changeCounter_;
}

// ---------------------------------------------------------------- cursors

void TKrxDiskTableData::Attach(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  bool exclusiveOpen = false;
  for (const TKrxCursor* c : cursors_) exclusiveOpen = exclusiveOpen || c->exclusive;
  if (!cursors_.empty() && cursor.exclusive && !exclusiveOpen)
    throw EKrxException(KrxError::CannotOpenExclusiveByCursors, name_);
  if (!db_.TableLocks().LockTable(cursor.session, LockKey(), cursor.exclusive ? kKrxLockExclusive : kKrxLockOpen, 100,
                                  50)) {
    if (cursor.exclusive) throw EKrxException(KrxError::CannotOpenExclusiveByUser, name_);
    throw EKrxException(KrxError::CannotOpenTableLocked, name_);
  }
  cursors_.push_back(&cursor);
  cursor.record.assign(fields_.MemoryRecordSize(), 0);
  KrxClearRecordBuffer(fields_, cursor.record.data());
  cursor.position = TKrxCursorPosition::BeforeFirst;
  cursor.recordID = {};
}

void TKrxDiskTableData::Detach(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  if (blobs_ && cursor.record.size() == fields_.MemoryRecordSize()) ReleaseBufferCaches(cursor.record.data(), true);
  auto attached = std::find(cursors_.begin(), cursors_.end(), &cursor);
  if (attached == cursors_.end()) return;
  cursors_.erase(attached);
  db_.TableLocks().UnlockTable(cursor.session, LockKey(), cursor.exclusive ? kKrxLockExclusive : kKrxLockOpen);
}

void TKrxDiskTableData::ReleaseSessionTables(const TKrxDiskDatabaseData& db, int32_t session) {
  Registry::Instance().Release(db, session);
}

void TKrxDiskTableData::ReleaseAllSessionTables(const TKrxDiskDatabaseData& db) {
  Registry::Instance().ReleaseAll(db);
}

void TKrxDiskTableData::AutoCommit(TKrxCursor& cursor) {
  // Temporary index pages are private work and are kept up to date at once.
  CommitTemporary(cursor.session);
  for (TKrxIndexDef& def : indexDefs_)
    if (def.temporary) def.builtAtChangeCounter = changeCounter_;
  if (!cursor.inTransaction) {
    db_.Commit(cursor.session, false);
    return;
  }
  try {
    Registry::Instance().Keep(db_, cursor.session, shared_from_this());
  } catch (const std::bad_weak_ptr&) {
    // Not owned by a shared pointer (a test's own object): nothing reloads it.
  }
}

void TKrxDiskTableData::FailAndRollBack(TKrxCursor& cursor) {
  if (temporaryPages_ && temporaryPages_->HasChanges(cursor.session)) temporaryPages_->Rollback(cursor.session);
  if (cursor.inTransaction) return;
  try {
    db_.Rollback(cursor.session);
    ReadMostUpdated(cursor.session);
  } catch (...) {
  }
}

TKrxTableLockScope TKrxDiskTableData::ReadLock(int32_t session) {
  TKrxDatabaseTableLockManager& locks = db_.TableLocks();
  if (!locks.Active() || session < 0) return {};
  if (!locks.LockTable(session, LockKey(), kKrxLockRead, 40, 2250)) throw EKrxException(KrxError::TableIsLocked);
  TKrxTableLockScope scope(locks, session, LockKey(), kKrxLockRead);
  db_.DiskPageManager().SettleHotJournal();
  ReadMostUpdated(session);
  return scope;
}

void TKrxDiskTableData::LockForChanges(const TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxDatabaseTableLockManager& locks = db_.TableLocks();
  if (!locks.Active() || cursor.session < 0) return;
  if (!locks.LockTable(cursor.session, LockKey(), kKrxLockTransactionWrite, 100, 900))
    throw EKrxException(KrxError::TableIsLocked);
  db_.DiskPageManager().SettleHotJournal();
  ReadMostUpdated(cursor.session);
}

void TKrxDiskTableData::UnlockForChanges(const TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  db_.TableLocks().UnlockTable(cursor.session, LockKey(), kKrxLockTransactionWrite, true);
}

TKrxTableLockScope TKrxDiskTableData::WriteLock(const TKrxCursor& cursor) {
  TKrxDatabaseTableLockManager& locks = db_.TableLocks();
  const int32_t session = cursor.session;
  if (!locks.Active() || session < 0) return {};
  if (cursor.inTransaction) {
    // Released with the transaction by the lock manager.
    if (!locks.LockTable(session, LockKey(), kKrxLockTransactionWrite, 100, 900))
      throw EKrxException(KrxError::TableIsLocked);
    ReadMostUpdated(session);
    return {};
  }
  bool granted = false;
  for (int attempt = 0; attempt < 2250 && !granted; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(40));
    granted = locks.LockTable(session, LockKey(), kKrxLockWrite, 0, 1);
  }
  if (!granted) throw EKrxException(KrxError::TableIsLocked);
  TKrxTableLockScope scope(locks, session, LockKey(), kKrxLockWrite);
  ReadMostUpdated(session);
  return scope;
}

bool TKrxDiskTableData::Position(TKrxCursor& cursor, const TKrxRecordID& id, bool verifyPage) {
  if (blobs_ && cursor.record.size() == fields_.MemoryRecordSize()) ReleaseBufferCaches(cursor.record.data(), true);
  if (!ReadSlot(cursor.session, id, cursor.record.data(), verifyPage)) return false;
  cursor.recordID = id;
  cursor.position = TKrxCursorPosition::OnRecord;
  return true;
}

void TKrxDiskTableData::PrepareNewRecord(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  if (blobs_ && cursor.record.size() == fields_.MemoryRecordSize()) ReleaseBufferCaches(cursor.record.data(), true);
  TKrxTableData::PrepareNewRecord(cursor);
}

void TKrxDiskTableData::InsertRecord(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxTableLockScope writeLock = WriteLock(cursor);
  const int32_t session = cursor.session;
  currentSession_ = session;
  if (cursor.record.size() != fields_.MemoryRecordSize()) throw EKrxException(KrxError::InvalidTableHeaderData);
  std::vector<int64_t> savedAutoinc = autoincValues_;
  auto savedLast = lastAutoinc_;
  TKrxRecordID id;
  try {
    AssignAutoIncValues(session, cursor.record.data());
    CheckConstraints(session, cursor.record.data(), nullptr);
    FlushBlobs(session, cursor.record.data());
    id = InsertSlot(session, cursor.record.data());
    AddKeys(session, cursor.record.data(), id);
    WriteMostUpdated(session);
  } catch (...) {
    autoincValues_ = savedAutoinc;
    lastAutoinc_ = savedLast;
    FailAndRollBack(cursor);
    throw;
  }
  cursor.recordID = id;
  cursor.position = TKrxCursorPosition::OnRecord;
  AutoCommit(cursor);
}

void TKrxDiskTableData::UpdateRecord(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxTableLockScope writeLock = WriteLock(cursor);
  const int32_t session = cursor.session;
  currentSession_ = session;
  const TKrxRecordID id = cursor.recordID;
  oldRecord_.resize(fields_.MemoryRecordSize());
  if (cursor.position != TKrxCursorPosition::OnRecord || !ReadSlot(session, id, oldRecord_.data()))
    throw EKrxException(KrxError::RecordNotFound);
  std::vector<int64_t> savedAutoinc = autoincValues_;
  try {
    for (const TKrxFieldDef& f : fields_) {
      if (!f.IsAutoInc() || KrxRecordFieldIsNull(cursor.record.data(), f.fieldNo)) continue;
      int64_t given = KrxGetRecordField(fields_, cursor.record.data(), f.fieldNo).AsInt64();
      if (given > autoincValues_[f.fieldNo]) autoincValues_[f.fieldNo] = given;
    }
    CheckConstraints(session, cursor.record.data(), &id);
    // Only the indexes whose keys change get new entries.
    std::vector<bool> changed(indexes_.size());
    for (size_t i = 0; i < indexes_.size(); ++i) {
      Index& index = *indexes_[i];
      std::vector<uint8_t> oldFull(index.keys->FullKeyLength());
      BuildKeys(index, oldRecord_.data(), id);
      oldFull = index.full;
      BuildKeys(index, cursor.record.data(), id);
      changed[i] = oldFull != index.full;
      if (changed[i]) {
        BuildKeys(index, oldRecord_.data(), id);
        index.tree->Delete(session, {index.key.data(), index.full.data(), index.ref});
      }
    }
    FlushBlobs(session, cursor.record.data());
    if (!WriteSlot(session, id, cursor.record.data())) throw EKrxException(KrxError::RecordNotFound);
    for (size_t i = 0; i < indexes_.size(); ++i) {
      if (!changed[i]) continue;
      Index& index = *indexes_[i];
      BuildKeys(index, cursor.record.data(), id);
      index.tree->Insert(session, {index.key.data(), index.full.data(), index.ref}, index.ref);
    }
    WriteMostUpdated(session);
  } catch (...) {
    autoincValues_ = savedAutoinc;
    FailAndRollBack(cursor);
    throw;
  }
  AutoCommit(cursor);
}

void TKrxDiskTableData::DeleteRecord(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxTableLockScope writeLock = WriteLock(cursor);
  const int32_t session = cursor.session;
  currentSession_ = session;
  const TKrxRecordID id = cursor.recordID;
  oldRecord_.resize(fields_.MemoryRecordSize());
  if (cursor.position != TKrxCursorPosition::OnRecord || !ReadSlot(session, id, oldRecord_.data()))
    throw EKrxException(KrxError::RecordNotFound);
  // The neighbour the cursor stays on: the next record, else the prior.
  if (blobs_ && cursor.record.size() == fields_.MemoryRecordSize()) ReleaseBufferCaches(cursor.record.data(), true);
  std::memcpy(cursor.record.data(), oldRecord_.data(), oldRecord_.size());
  TKrxRecordID neighbour = id;
  bool hasNeighbour = cursor.activeIndex >= 0 ? IndexStep(cursor, true, neighbour) : PhysicalStep(session, neighbour, true);
  if (!hasNeighbour) {
    neighbour = id;
    hasNeighbour = cursor.activeIndex >= 0 ? IndexStep(cursor, false, neighbour) : PhysicalStep(session, neighbour, false);
  }
  try {
    DeleteRecordBlobs(session, oldRecord_.data());
    RemoveKeys(session, oldRecord_.data(), id);
    if (!ClearSlot(session, id)) throw EKrxException(KrxError::RecordNotFound);
    WriteMostUpdated(session);
  } catch (...) {
    FailAndRollBack(cursor);
    throw;
  }
  AutoCommit(cursor);
  if (!hasNeighbour || !Position(cursor, neighbour)) {
    cursor.position = recordCount_ == 0 ? TKrxCursorPosition::BeforeFirst : TKrxCursorPosition::AfterLast;
    cursor.recordID = {};
  }
}

bool TKrxDiskTableData::IndexPath(TKrxCursor& cursor, TKrxKeyPath& path, bool& exact) {
  Index& index = *indexes_.at(cursor.activeIndex);
  BuildKeys(index, cursor.record.data(), cursor.recordID);
  exact = index.tree->Find(cursor.session, {index.key.data(), index.full.data(), index.ref}, TKrxFindMode::First, path);
  return path.IsValid();
}

bool TKrxDiskTableData::IndexStep(TKrxCursor& cursor, bool forward, TKrxRecordID& id) {
  Index& index = *indexes_.at(cursor.activeIndex);
  TKrxKeyPath path;
  bool exact = false;
  bool valid = IndexPath(cursor, path, exact);
  bool moved;
  if (forward) {
    moved = valid && (!exact || index.tree->Next(cursor.session, path));
  } else if (valid) {
    moved = index.tree->Prior(cursor.session, path);
  } else {
    moved = index.tree->Last(cursor.session, path);
  }
  if (!moved) return false;
  uint8_t ref[kKrxRecordIDSize];
  index.tree->ReadEntry(cursor.session, path, nullptr, ref);
  id = KrxGetRecordID(ref, 0);
  return true;
}

int TKrxDiskTableData::ReadRecord(TKrxCursor& cursor, TKrxReadMode mode) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxTableLockScope readLock = ReadLock(cursor.session);
  const int32_t session = cursor.session;
  currentSession_ = session;
  if (cursor.record.size() != fields_.MemoryRecordSize()) cursor.record.assign(fields_.MemoryRecordSize(), 0);
  if (recordCount_ == 0) {
    cursor.position = TKrxCursorPosition::BeforeFirst;
    cursor.recordID = {};
    return kKrxTableEmpty;
  }
  if (mode == TKrxReadMode::Next && cursor.position == TKrxCursorPosition::BeforeFirst) mode = TKrxReadMode::First;
  if (mode == TKrxReadMode::Prior && cursor.position == TKrxCursorPosition::AfterLast) mode = TKrxReadMode::Last;
  TKrxRecordID id = cursor.recordID;
  bool found = false;
  switch (mode) {
    case TKrxReadMode::First:
    case TKrxReadMode::Last: {
      bool last = mode == TKrxReadMode::Last;
      if (cursor.activeIndex < 0) {
        found = PhysicalFirst(session, id, last);
      } else {
        Index& index = *indexes_.at(cursor.activeIndex);
        TKrxKeyPath path;
        found = last ? index.tree->Last(session, path) : index.tree->First(session, path);
        if (found) {
          uint8_t ref[kKrxRecordIDSize];
          index.tree->ReadEntry(session, path, nullptr, ref);
          id = KrxGetRecordID(ref, 0);
        }
      }
      break;
    }
    case TKrxReadMode::Next:
    case TKrxReadMode::Prior: {
      bool forward = mode == TKrxReadMode::Next;
      if (cursor.position != TKrxCursorPosition::OnRecord) break;
      found = cursor.activeIndex < 0 ? PhysicalStep(session, id, forward) : IndexStep(cursor, forward, id);
      if (!found) {
        cursor.position = forward ? TKrxCursorPosition::AfterLast : TKrxCursorPosition::BeforeFirst;
        cursor.recordID = {};
        return kKrxRecordNotFound;
      }
      break;
    }
    case TKrxReadMode::Current:
      if (cursor.position != TKrxCursorPosition::OnRecord) return kKrxRecordNotFound;
      found = true;
      break;
  }
  if (!found) return kKrxRecordNotFound;
  if (!Position(cursor, id, mode == TKrxReadMode::Current)) return kKrxRecordNotFound;
  return kKrxRecordFound;
}

int64_t TKrxDiskTableData::RecordCount(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxTableLockScope readLock = ReadLock(cursor.session);
  return recordCount_;
}

void TKrxDiskTableData::Commit(int32_t session, bool inTransaction) {
  if (!inTransaction) db_.Commit(session, false);
}

void TKrxDiskTableData::Rollback(int32_t session, bool inTransaction) {
  if (inTransaction) return;
  db_.Rollback(session);
  CleanupAfterRollback(session);
}

void TKrxDiskTableData::CleanupAfterRollback(int32_t session) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  lastAutoinc_.erase(session);
  ReadMostUpdated(session);
  // The temporary indexes may hold entries of the rolled back records.
  for (TKrxIndexDef& def : indexDefs_)
    if (def.temporary) def.builtAtChangeCounter = changeCounter_ - 1;
  RefreshTemporaryIndexes(session);
}

bool TKrxDiskTableData::LocateByKey(TKrxCursor& cursor, const std::vector<TKrxVariant>& values) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxTableLockScope readLock = ReadLock(cursor.session);
  if (cursor.activeIndex < 0) throw EKrxException(KrxError::NoActiveIndexForKeySearch);
  currentSession_ = cursor.session;
  Index& index = *indexes_.at(cursor.activeIndex);
  size_t parts = std::min(values.size(), index.keys->ColumnCount());
  if (parts == 0) throw EKrxException(KrxError::IndexInvalidParams);
  std::vector<uint8_t> key(index.keys->KeyLength()), full(index.keys->FullKeyLength());
  index.keys->BuildKeyFromValues(values, key.data(), full.data());
  PrefixKeyRef prefix(*index.keys, parts);
  TKrxBTree lookup(pm_, prefix, index.tree->RootPageNo());
  TKrxKeyPath path;
  if (!lookup.Find(cursor.session, {key.data(), nullptr, nullptr}, TKrxFindMode::First, path)) return false;
  std::vector<uint8_t> entryKey(index.keys->KeyLength()), entryFull(index.keys->FullKeyLength());
  uint8_t ref[kKrxRecordIDSize];
  for (;;) {
    lookup.ReadEntry(cursor.session, path, entryKey.data(), ref);
    if (prefix.CompareStored(key.data(), entryKey.data()) != 0) return false;
    TKrxRecordID id = KrxGetRecordID(ref, 0);
    if (!index.keys->HasTruncatedParts()) return Position(cursor, id);
    // Truncated parts: the record's whole values must match too.
    if (!ReadSlot(cursor.session, id, readBuffer_.data())) throw EKrxException(KrxError::CannotRetrieveRecordForIndex);
    index.keys->BuildKey(readBuffer_.data(), entryKey.data(), entryFull.data());
    if (index.keys->CompareFullPrefix(full.data(), entryFull.data(), parts) == 0) return Position(cursor, id);
    if (!lookup.Next(cursor.session, path)) return false;
  }
}

void TKrxDiskTableData::GoToRecordNumber(TKrxCursor& cursor, int64_t k) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxTableLockScope readLock = ReadLock(cursor.session);
  currentSession_ = cursor.session;
  if (recordCount_ == 0) {
    cursor.position = TKrxCursorPosition::BeforeFirst;
    cursor.recordID = {};
    return;
  }
  k = std::clamp<int64_t>(k, 1, recordCount_);
  TKrxRecordID id;
  if (cursor.activeIndex < 0) {
    int32_t pageNo;
    int occurrence;
    if (!pageIndex_->PageOfNumber(cursor.session, k - 1, pageNo, occurrence))
      throw EKrxException(KrxError::CannotSetRecNoGreater);
    TKrxHeldPage page(pm_.GetPage(cursor.session, pageNo, false, kRecordPageType));
    TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
    int slot = view.SlotOfOccurrence(occurrence);
    if (slot < 0) throw EKrxException(KrxError::RecordNotFoundOnPage, pageNo, occurrence);
    id = {pageNo, static_cast<uint16_t>(slot)};
  } else {
    Index& index = *indexes_.at(cursor.activeIndex);
    TKrxKeyPath path;
    index.tree->PathOfEntryNumber(cursor.session, k - 1, path);
    uint8_t ref[kKrxRecordIDSize];
    index.tree->ReadEntry(cursor.session, path, nullptr, ref);
    id = KrxGetRecordID(ref, 0);
  }
  if (!Position(cursor, id)) throw EKrxException(KrxError::RecordNotFound);
}

int64_t TKrxDiskTableData::GetRecordNumber(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  TKrxTableLockScope readLock = ReadLock(cursor.session);
  currentSession_ = cursor.session;
  if (cursor.position != TKrxCursorPosition::OnRecord) return -1;
  if (cursor.activeIndex < 0) {
    TKrxHeldPage page(pm_.GetPage(cursor.session, cursor.recordID.pageNo, false, kRecordPageType));
    TKrxRecordPageView view(page->Data(), recordsPerPage_, fields_.DiskRecordSize());
    return pageIndex_->CountBefore(cursor.session, cursor.recordID.pageNo) + view.Occurrence(cursor.recordID.slot) + 1;
  }
  Index& index = *indexes_.at(cursor.activeIndex);
  TKrxKeyPath path;
  bool exact = false;
  if (!IndexPath(cursor, path, exact) || !exact)
    throw EKrxException(KrxError::CannotFindRecordPositionInIndex, cursor.activeIndex, cursor.recordID.pageNo,
                        cursor.recordID.slot);
  return index.tree->EntryNumber(cursor.session, path) + 1;
}

int64_t TKrxDiskTableData::RecordPositionUpperBound(TKrxCursor& cursor) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  int32_t pageNo;
  int count;
  if (!pageIndex_->LastPage(cursor.session, pageNo, count)) return 0;
  return (static_cast<int64_t>(pageNo) + 1) * recordsPerPage_;
}

int64_t TKrxDiskTableData::RecordPosition(const TKrxRecordID& id) const {
  return static_cast<int64_t>(id.pageNo) * recordsPerPage_ + id.slot;
}

// ---------------------------------------------------------------- definition changes

void TKrxDiskTableData::Empty(int32_t session) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  currentSession_ = session;
  try {
    if (blobs_) DeleteAllBlobs(session);
    DeleteAllRecords(session);
    for (auto& index : indexes_) index->tree->Clear(session);
    CommitTemporary(session);
    WriteMostUpdated(session);
    db_.Commit(session, false);
  } catch (...) {
    db_.Rollback(session);
    ReadMostUpdated(session);
    throw;
  }
  for (TKrxCursor* c : cursors_) {
    c->position = TKrxCursorPosition::BeforeFirst;
    c->recordID = {};
  }
}

void TKrxDiskTableData::RenameField(int32_t session, const std::string& oldName, const std::string& newName) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  int f = fields_.FieldNoByName(oldName);
  int other = fields_.IndexOf(newName);
  if (other >= 0 && other != f) throw EKrxException(KrxError::CannotRenameFieldExists, oldName, newName);
  const std::string previous = fields_[f].name;
  fields_[f].name = newName;
  for (TKrxIndexDef& d : indexDefs_)
    for (TKrxIndexColumnDef& c : d.columns)
      if (KrxSameName(c.fieldName, previous)) c.fieldName = newName;
  for (auto& c : constraints_) {
    if (KrxSameName(c->references[2].name, previous)) c->references[2].name = newName;
    if (auto* u = dynamic_cast<TKrxConstraintDefUnique*>(c.get()))
      for (auto& col : u->columns)
        if (KrxSameName(col.name, previous)) col.name = newName;
  }
  try {
    WriteMetadata(session);
    db_.Commit(session, false);
  } catch (...) {
    db_.Rollback(session);
    ReadMetadata(session);
    ReadMostUpdated(session);
    throw;
  }
}

void TKrxDiskTableData::AddIndex(int32_t session, const TKrxIndexDef& def) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  currentSession_ = session;
  indexDefs_.push_back(def);
  size_t i = indexDefs_.size() - 1;
  try {
    BuildIndex(i);
    CreateIndexTree(session, i, true);
    if (!def.temporary) WriteMetadata(session);
    db_.Commit(session, false);
  } catch (...) {
    indexDefs_.pop_back();
    if (indexes_.size() > indexDefs_.size()) indexes_.pop_back();
    db_.Rollback(session);
    throw;
  }
}

void TKrxDiskTableData::DropIndex(int32_t session, const std::string& name) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  int i = IndexNoByName(name);
  if (i < 0) throw EKrxException(KrxError::IndexNotFound);
  try {
    bool temporary = indexDefs_[i].temporary;
    indexes_[i]->tree->Drop(session);
    if (temporary) CommitTemporary(session);
    indexDefs_.erase(indexDefs_.begin() + i);
    indexes_.erase(indexes_.begin() + i);
    if (!temporary) WriteMetadata(session);
    db_.Commit(session, false);
  } catch (...) {
    db_.Rollback(session);
    ReadMetadata(session);
    ReadMostUpdated(session);
    throw;
  }
  for (TKrxCursor* c : cursors_) {
    if (c->activeIndex == i) c->activeIndex = -1;
    else if (c->activeIndex > i) --c->activeIndex;
  }
}

void TKrxDiskTableData::CheckRecordPageIndex(int32_t session) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  int64_t sum = pageIndex_->SumCounts(session);
  if (sum != recordCount_) throw EKrxException(KrxError::InvalidRecordPageIndex, sum, recordCount_);
}

void TKrxDiskTableData::CheckIndexes(int32_t session) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  pageIndex_->Tree().Check(session);
  for (auto& index : indexes_) index->tree->Check(session);
}

std::vector<TKrxRecordID> TKrxDiskTableData::IndexOrder(int32_t session, int indexNo) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  std::vector<TKrxRecordID> ids;
  indexes_.at(indexNo)->tree->ForEach(session, [&](const uint8_t*, const uint8_t* ref) {
    ids.push_back(KrxGetRecordID(ref, 0));
    return true;
  });
  return ids;
}

int TKrxDiskTableData::IndexHeight(int32_t session, int indexNo) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  return indexes_.at(indexNo)->tree->Height(session);
}

// ---------------------------------------------------------------- BLOBs

void TKrxDiskTableData::ReleaseBufferCaches(uint8_t* record, bool force) {
  for (const TKrxFieldDef& f : fields_) {
    if (!f.IsBlob()) continue;
    uint8_t* at = record + f.memoryOffset;
    uint32_t handle = GetU32(at, kKrxBlobDiskSize);
    if (handle == 0) continue;
    TKrxBlobCacheEntry* entry = blobs_->CacheEntry(handle);
    if (entry && entry->modified && !force) continue;
    blobs_->ReleaseCacheEntry(handle, true);
    PutU32(at, kKrxBlobDiskSize, 0);
  }
}

void TKrxDiskTableData::ReleaseBlobCaches(TKrxCursor& cursor, bool force) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  if (blobs_ && cursor.record.size() == fields_.MemoryRecordSize()) ReleaseBufferCaches(cursor.record.data(), force);
}

void TKrxDiskTableData::FlushBlobs(int32_t session, uint8_t* record) {
  if (!blobs_) return;
  for (const TKrxFieldDef& f : fields_) {
    if (!f.IsBlob()) continue;
    uint8_t* at = record + f.memoryOffset;
    uint32_t handle = GetU32(at, kKrxBlobDiskSize);
    TKrxBlobCacheEntry* entry = blobs_->CacheEntry(handle);
    if (!entry || !entry->modified) continue;
    TKrxBlobRef old = KrxGetBlobRef(at, 0);
    if (old.HasValue()) blobs_->Delete(session, old);
    TKrxBlobRef ref;
    if (entry->uncompressedSize > 0) {
      TKrxBlobValue value;
      value.blockCount = entry->blockCount;
      value.uncompressedSize = entry->uncompressedSize;
      value.stored = entry->stored;
      ref = blobs_->Write(session, value);
      KrxRecordSetFieldNull(record, f.fieldNo, false);
    } else {
      KrxRecordSetFieldNull(record, f.fieldNo, true);
    }
    KrxPutBlobRef(at, 0, ref);
    entry->modified = false;
    blobs_->ReleaseCacheEntry(handle, true);
    PutU32(at, kKrxBlobDiskSize, 0);
  }
}

void TKrxDiskTableData::DeleteRecordBlobs(int32_t session, const uint8_t* record) {
  if (!blobs_) return;
  for (const TKrxFieldDef& f : fields_) {
    if (!f.IsBlob() || KrxRecordFieldIsNull(record, f.fieldNo)) continue;
    TKrxBlobRef ref = KrxGetBlobRef(record + f.memoryOffset, 0);
    if (ref.HasValue()) blobs_->Delete(session, ref);
  }
}

void TKrxDiskTableData::DeleteAllBlobs(int32_t session) {
  TKrxRecordID id;
  std::vector<uint8_t> record(fields_.MemoryRecordSize());
  for (bool more = PhysicalFirst(session, id, false); more; more = PhysicalStep(session, id, true)) {
    if (ReadSlot(session, id, record.data())) DeleteRecordBlobs(session, record.data());
  }
}

std::vector<uint8_t> TKrxDiskTableData::GetBlobData(TKrxCursor& cursor, int fieldNo) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  const TKrxFieldDef& f = fields_.Field(fieldNo);
  if (!f.IsBlob() || !blobs_) throw EKrxException(KrxError::CannotReadBlobFieldValue);
  uint8_t* at = cursor.record.data() + f.memoryOffset;
  TKrxBlobCacheEntry* entry = blobs_->CacheEntry(GetU32(at, kKrxBlobDiskSize));
  if (!entry) {
    if (KrxRecordFieldIsNull(cursor.record.data(), fieldNo)) return {};
    TKrxBlobRef ref = KrxGetBlobRef(at, 0);
    if (!ref.HasValue()) return {};
    TKrxBlobValue value = blobs_->Read(cursor.session, ref);
    uint32_t handle = blobs_->NewCacheEntry();
    entry = blobs_->CacheEntry(handle);
    entry->blockCount = value.blockCount;
    entry->uncompressedSize = value.uncompressedSize;
    entry->stored = std::move(value.stored);
    PutU32(at, kKrxBlobDiskSize, handle);
  }
  if (entry->uncompressedSize < 0) throw EKrxException(KrxError::InvalidBlobFieldSize);
  if (f.blobCompressionAlgorithm == kKrxCompressNone || entry->blockCount == 0) return entry->stored;
  TKrxMemoryStream underlying;
  underlying.Bytes() = entry->stored;
  TKrxCompressedStreamSettings settings;
  settings.blockSize = f.blobBlockSize;
  settings.blockCount = entry->blockCount;
  settings.uncompressedSize = entry->uncompressedSize;
  settings.algorithm = f.blobCompressionAlgorithm;
  settings.mode = f.blobCompressionMode;
  TKrxCompressedBLOBStream stream(underlying, settings, false);
  std::vector<uint8_t> out(static_cast<size_t>(entry->uncompressedSize));
  if (stream.Read(out.data(), static_cast<int64_t>(out.size())) != static_cast<int64_t>(out.size()))
    throw EKrxException(KrxError::CannotReadBlobFieldValue);
  return out;
}

void TKrxDiskTableData::SetBlobData(TKrxCursor& cursor, int fieldNo, const uint8_t* data, size_t size) {
  std::scoped_lock guard(db_.CriticalSection(), criticalSection_);
  const TKrxFieldDef& f = fields_.Field(fieldNo);
  if (!f.IsBlob() || !blobs_) throw EKrxException(KrxError::CannotReadBlobFieldValue);
  if (f.blobBlockSize == 0) throw EKrxException(KrxError::StreamBlockSizeZero);
  uint8_t* at = cursor.record.data() + f.memoryOffset;
  uint32_t handle = GetU32(at, kKrxBlobDiskSize);
  TKrxBlobCacheEntry* entry = blobs_->CacheEntry(handle);
  if (!entry) {
    handle = blobs_->NewCacheEntry();
    entry = blobs_->CacheEntry(handle);
    PutU32(at, kKrxBlobDiskSize, handle);
  }
  entry->modified = true;
  entry->uncompressedSize = static_cast<int64_t>(size);
  entry->blockCount = 0;
  entry->stored.clear();
  if (size == 0) {
    KrxRecordSetFieldNull(cursor.record.data(), fieldNo, true);
    return;
  }
  if (f.blobCompressionAlgorithm == kKrxCompressNone) {
    entry->stored.assign(data, data + size);
  } else {
    TKrxMemoryStream underlying;
    TKrxCompressedStreamSettings settings;
    settings.blockSize = f.blobBlockSize;
    settings.algorithm = f.blobCompressionAlgorithm;
    settings.mode = f.blobCompressionMode;
    TKrxCompressedBLOBStream stream(underlying, settings, true);
    stream.Write(data, static_cast<int64_t>(size));
    TKrxCompressedStreamSettings result = stream.Settings();
    entry->blockCount = static_cast<int32_t>(result.blockCount);
    entry->uncompressedSize = result.uncompressedSize;
    entry->stored = underlying.Bytes();
  }
  KrxRecordSetFieldNull(cursor.record.data(), fieldNo, false);
}

}  // namespace krx
