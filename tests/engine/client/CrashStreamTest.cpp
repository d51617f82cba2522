// A process killed anywhere in a stream of transactions over a table with
// two indexes and a BLOB column leaves a file that opens without repair as
// exactly the state after one committed transaction: at random moments, and
// at each step of a commit (journal records, writes to the file), with and
// without flush. 210 kills in all.
//
// The table holds a marker row (key 0, its value the number of the last
// transaction) and item rows. Transaction t deletes, rewrites and adds items
// by a plan that depends only on t and the rows before it; every value a
// transaction writes (number, name, BLOB) is derived from the row's key and
// t. So the table after any t can be computed in memory, and the file's
// marker says which t it must be equal to.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "KrxDatabase.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxFileHeader.h"
#include "KrxJournal.h"
#include "KrxQuery.h"
#include "KrxTable.h"
#include "KrxTableDataDisk.h"
#include "KrxTempDir.h"
#include "KrxTxnStates.h"

namespace krx {
namespace {

constexpr uint16_t kPageSize = 1024;
constexpr int kMaxItems = 24;
constexpr int kCrashedExit = 42;
constexpr const char* kAlias = "CRASHSTREAM";
constexpr const char* kTable = "crashitem";

// How a stream runs: committing with flush, and with the file opened for
// many users, where the transactions are SQL text (which cannot store a
// BLOB value yet: the BLOB column stays NULL there).
struct Mode {
  bool flush = false;
  bool multiUser = false;
};

// ---- the values a transaction writes ------------------------------------------

uint32_t Mix(int32_t key, int32_t txn) {
  uint32_t h = static_cast<uint32_t>(key) * 2654435761u ^ static_cast<uint32_t>(txn) * 40503u;
  h ^= h >> 15;
  h *= 2246822519u;
  return h ^ (h >> 13);
}

// NULL, inline-sized, shared-page sized and several pages long.
std::optional<std::string> BlobFor(int32_t key, int32_t txn) {
  static const size_t kSizes[] = {0, 1, 17, 240, 700, 2600, 7000};
  size_t size = kSizes[Mix(key, txn) % std::size(kSizes)];
  if (size == 0) return std::nullopt;
  std::string bytes(size, '\0');
  uint32_t x = Mix(key, txn) | 1u;
  for (char& c : bytes) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 23);
  }
  return bytes;
}

std::string NameFor(int32_t key, int32_t txn) { return "k" + std::to_string(key) + "t" + std::to_string(txn); }

// ---- the plan of a transaction and the table computed in memory --------------

struct Table {
  int32_t txn = 0;
  int32_t nextKey = 1;
  std::map<int32_t, int32_t> items;  // key -> the transaction that last wrote it
};

struct Plan {
  std::vector<int32_t> deleteKeys;
  std::vector<int32_t> updateKeys;
  std::vector<int32_t> insertKeys;
};

Plan PlanFor(int32_t txn, const Table& before) {
  std::mt19937 rng(static_cast<uint32_t>(txn) * 2654435761u + 7u);
  std::vector<int32_t> keys;
  for (const auto& item : before.items) keys.push_back(item.first);
  Plan plan;
  size_t deletes = keys.size() > 16 ? rng() % 4 : keys.size() > 3 ? rng() % 2 : 0;
  for (size_t k = 0; k < deletes; ++k) {
    size_t at = rng() % keys.size();
    plan.deleteKeys.push_back(keys[at]);
    keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(at));
  }
  size_t updates = keys.empty() ? 0 : rng() % 3;
  for (size_t k = 0; k < updates && !keys.empty(); ++k) {
    size_t at = rng() % keys.size();
    plan.updateKeys.push_back(keys[at]);
    keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(at));
  }
  size_t inserts = before.items.size() < static_cast<size_t>(kMaxItems) ? rng() % 4 : 0;
  for (size_t k = 0; k < inserts; ++k) plan.insertKeys.push_back(before.nextKey + static_cast<int32_t>(k));
  return plan;
}

void ApplyToModel(int32_t txn, Table& table) {
  Plan plan = PlanFor(txn, table);
  for (int32_t key : plan.deleteKeys) table.items.erase(key);
  for (int32_t key : plan.updateKeys) table.items[key] = txn;
  for (int32_t key : plan.insertKeys) table.items[key] = txn;
  table.nextKey += static_cast<int32_t>(plan.insertKeys.size());
  table.txn = txn;
}

using Model = test::TxnStates<Table, ApplyToModel>;

// ---- the writer: the table layer in one session's transactions -------------------

// SQL and the components have no way to store a BLOB value yet, so the
// stream writes through the table layer; it is checked through the
// components, SQL and the table layer's own checks.
class TableWriter {
 public:
  explicit TableWriter(const std::string& path) : data_(TKrxDiskDatabaseData::Acquire(path)) {
    bool multiUser = false, readOnly = false;
    needsRepair_ = data_->Open({}, multiUser, false, readOnly);
    table_ = TKrxDiskTableData::OpenTable(*data_, kTable);
    table_->Attach(cursor_);
    table_->SetActiveIndex(cursor_, "ixkey");
    cursor_.inTransaction = true;
  }
  ~TableWriter() {
    table_->Detach(cursor_);
    table_.reset();
    data_->Close();
  }

  bool NeedsRepair() const { return needsRepair_; }
  TKrxDiskPageManager& Pages() { return data_->DiskPageManager(); }

  int32_t CommittedTxn() {
    Locate(0);
    return table_->GetField(cursor_, 1).AsInt32();
  }

  void Insert(int32_t key, int32_t txn) {
    table_->PrepareNewRecord(cursor_);
    table_->SetField(cursor_, 0, TKrxVariant::FromInt32(key));
    Fill(key, txn);
    table_->InsertRecord(cursor_);
  }
  void Rewrite(int32_t key, int32_t txn) {
    Locate(key);
    Fill(key, txn);
    table_->UpdateRecord(cursor_);
  }
  void Delete(int32_t key) {
    Locate(key);
    table_->DeleteRecord(cursor_);
  }
  void Commit(bool flush) { data_->Commit(cursor_.session, flush); }

 private:
  void Locate(int32_t key) {
    if (!table_->LocateByKey(cursor_, {TKrxVariant::FromInt32(key)}))
      throw std::runtime_error("key " + std::to_string(key) + " not found");
  }
  void Fill(int32_t key, int32_t txn) {
    table_->SetField(cursor_, 1, TKrxVariant::FromInt32(txn));
    table_->SetField(cursor_, 2, TKrxVariant::FromString(NameFor(key, txn)));
    auto blob = BlobFor(key, txn);
    table_->SetBlobData(cursor_, 3, blob ? reinterpret_cast<const uint8_t*>(blob->data()) : nullptr,
                        blob ? blob->size() : 0);
  }

  std::shared_ptr<TKrxDiskDatabaseData> data_;
  std::shared_ptr<TKrxDiskTableData> table_;
  TKrxCursor cursor_;
  bool needsRepair_ = false;
};

template <class Writer>
void RunTransaction(Writer& writer, int32_t txn, const Table& before, bool flush) {
  Plan plan = PlanFor(txn, before);
  for (int32_t key : plan.deleteKeys) writer.Delete(key);
  for (int32_t key : plan.updateKeys) writer.Rewrite(key, txn);
  for (int32_t key : plan.insertKeys) writer.Insert(key, txn);
  writer.Rewrite(0, txn);
  writer.Commit(flush);
}

void RunSql(TKrxQuery& q, const std::string& sql) {
  q.Close();
  q.SetSQLText(sql);
  q.ExecSQL();
}

void Connect(TKrxDatabase& db, const std::string& path, bool multiUser = false) {
  db.SetMultiUser(multiUser);
  db.SetDatabaseName(kAlias);
  db.SetDatabaseFileName(path);
  db.SetPageSize(kPageSize);
  db.SetExtentPageCount(4);
}

// The writer of many-user streams: SQL text through the query component in
// the component's transactions.
class SqlWriter {
 public:
  explicit SqlWriter(const std::string& path) {
    Connect(db_, path, true);
    db_.Connect();
    needsRepair_ = db_.NeedsRepair();
    q_.SetDatabaseName(kAlias);
  }
  ~SqlWriter() {
    q_.Close();
    db_.Disconnect();
  }

  bool NeedsRepair() const { return needsRepair_; }
  TKrxDiskPageManager& Pages() { return db_.LocalSession().Data().DiskPageManager(); }

  int32_t CommittedTxn() {
    q_.Close();
    q_.SetSQLText("SELECT fval FROM crashitem WHERE fkey = 0");
    q_.Open();
    int32_t txn = q_.Fields(0).AsInteger();
    q_.Close();
    return txn;
  }
  void Insert(int32_t key, int32_t txn) {
    Change("INSERT INTO crashitem(fkey, fval, fname) VALUES (" + std::to_string(key) + ", " + std::to_string(txn) +
           ", '" + NameFor(key, txn) + "')");
  }
  void Rewrite(int32_t key, int32_t txn) {
    Change("UPDATE crashitem SET fval = " + std::to_string(txn) + ", fname = '" + NameFor(key, txn) +
           "' WHERE fkey = " + std::to_string(key));
  }
  void Delete(int32_t key) { Change("DELETE FROM crashitem WHERE fkey = " + std::to_string(key)); }
  void Commit(bool flush) { RunSql(q_, flush ? "COMMIT FLUSH" : "COMMIT"); }

 private:
  void Change(const std::string& sql) {
    if (!db_.InTransaction()) RunSql(q_, "START TRANSACTION");
    RunSql(q_, sql);
    if (q_.RowsAffected() != 1) throw std::runtime_error(sql + ": " + std::to_string(q_.RowsAffected()) + " rows");
  }

  TKrxDatabase db_;
  TKrxQuery q_;
  bool needsRepair_ = false;
};

// ---- what a file must hold after a crash ------------------------------------------

struct Row {
  int32_t val = 0;
  std::string name;
  std::optional<std::string> blob;
};

std::string Describe(const std::optional<std::string>& blob) {
  return blob ? std::to_string(blob->size()) + " bytes" : "NULL";
}

// Walks the table component in the order of the index (physical order for
// none), returning the rows by key; duplicates and order faults are reported.
std::map<int32_t, Row> WalkTable(const std::string& index, int64_t& count) {
  TKrxTable table;
  table.SetDatabaseName(kAlias);
  table.SetTableName(kTable);
  table.SetIndexName(index);
  table.Open();
  std::map<int32_t, Row> rows;
  count = 0;
  int32_t lastKey = -1, lastVal = -1;
  int keyNo = table.FieldByName("fkey").FieldNo(), dataNo = table.FieldByName("fdata").FieldNo();
  for (table.First(); !table.Eof(); table.Next()) {
    ++count;
    Row row;
    int32_t key = table.Fields(keyNo).AsInteger();
    row.val = table.FieldByName("fval").AsInteger();
    row.name = table.FieldByName("fname").AsString();
    if (!table.Fields(dataNo).IsNull()) row.blob = table.ReadBlob(dataNo);
    if (index == "ixkey") {
      EXPECT_GT(key, lastKey) << "index " << index << " out of order";
    } else if (index == "ixval") {
      EXPECT_GE(row.val, lastVal) << "index " << index << " out of order";
    }
    lastKey = key;
    lastVal = row.val;
    EXPECT_TRUE(rows.emplace(key, std::move(row)).second) << "key " << key << " twice through '" << index << "'";
  }
  table.Close();
  return rows;
}

void ExpectRowsAre(const std::map<int32_t, Row>& rows, const Table& expected, bool blobs, const std::string& how) {
  EXPECT_EQ(rows.size(), expected.items.size() + 1) << how << " at txn " << expected.txn;
  auto expectRow = [&](int32_t key, int32_t txn) {
    auto it = rows.find(key);
    if (it == rows.end()) {
      ADD_FAILURE() << how << ": key " << key << " missing at txn " << expected.txn;
      return;
    }
    const Row& row = it->second;
    EXPECT_EQ(row.val, txn) << how << ": key " << key;
    EXPECT_EQ(row.name, NameFor(key, txn)) << how << ": key " << key;
    auto blob = blobs ? BlobFor(key, txn) : std::nullopt;
    EXPECT_TRUE(row.blob == blob) << how << ": BLOB of key " << key << " is " << Describe(row.blob) << ", wrote "
                                  << Describe(blob);
  };
  expectRow(0, expected.txn);
  for (const auto& [key, txn] : expected.items) expectRow(key, txn);
  for (const auto& [key, row] : rows)
    if (key != 0 && !expected.items.count(key)) ADD_FAILURE() << how << ": key " << key << " should not exist";
}

// Opens the file, expects it sound and equal to the model after the
// transaction its marker names, and returns that transaction.
int32_t ExpectSoundTable(const std::string& path, Model& model, const Mode& mode) {
  TKrxDatabase db;
  Connect(db, path, mode.multiUser);
  const bool blobs = !mode.multiUser;
  db.Connect();
  EXPECT_FALSE(db.NeedsRepair());
  EXPECT_FALSE(KrxJournal::Exists(KrxJournal::NameFor(path)));
  TKrxDiskDatabaseData& data = db.LocalSession().Data();
  EXPECT_EQ(data.DiskPageManager().MainHeader().fileState, kKrxFileStateConsistent);

  int64_t physicalCount = 0, keyCount = 0, valCount = 0;
  std::map<int32_t, Row> physical = WalkTable("", physicalCount);
  auto marker = physical.find(0);
  if (marker == physical.end()) {
    ADD_FAILURE() << "the marker row is lost";
    return -1;
  }
  int32_t found = marker->second.val;
  const Table& expected = model.After(found);
  ExpectRowsAre(physical, expected, blobs, "record order");
  // Through each index: the same rows with the same values, in its order.
  ExpectRowsAre(WalkTable("ixkey", keyCount), expected, blobs, "index ixkey");
  ExpectRowsAre(WalkTable("ixval", valCount), expected, blobs, "index ixval");
  EXPECT_EQ(keyCount, physicalCount);
  EXPECT_EQ(valCount, physicalCount);

  TKrxQuery q;
  q.SetDatabaseName(kAlias);
  q.SetSQLText("SELECT COUNT(*) FROM crashitem");
  q.Open();
  EXPECT_EQ(q.Fields(0).AsLargeInt(), physicalCount);
  q.Close();
  q.SetSQLText("SELECT fkey FROM crashitem WHERE fkey >= 0 ORDER BY fkey");
  q.Open();
  std::vector<int32_t> keys;
  for (; !q.Eof(); q.Next()) keys.push_back(q.Fields(0).AsInteger());
  q.Close();
  std::vector<int32_t> expectedKeys{0};
  for (const auto& item : expected.items) expectedKeys.push_back(item.first);
  EXPECT_EQ(keys, expectedKeys);

  // The table layer's own checks: index trees, the record page index
  // against the record count of the most-updated file.
  {
    auto table = TKrxDiskTableData::OpenTable(data, kTable);
    int32_t session = db.LocalSession().SessionNumber();
    try {
      table->CheckIndexes(session);
      table->CheckRecordPageIndex(session);
    } catch (const EKrxException& e) {
      ADD_FAILURE() << "table check: " << e.what();
    }
    for (int indexNo = 0; indexNo < 2; ++indexNo)
      EXPECT_EQ(static_cast<int64_t>(table->IndexOrder(session, indexNo).size()), physicalCount) << indexNo;
  }
  db.Disconnect();
  return found;
}

// ---- the child process ----------------------------------------------------------

// Where a child stops: at a commit step of its n-th transaction (from 1), or
// never by itself when count is 0.
struct StopAt {
  TKrxCommitStep step = TKrxCommitStep::DatabaseWritten;
  int count = 0;
  int inTransaction = 1;
};

// What a commit of a transaction wrote: its journal records and its writes
// to the database file.
struct CommitSteps {
  int journalRecords = 0;
  int databaseWrites = 0;
};

struct Report {
  int32_t txn;
  CommitSteps steps;
};

struct ChildRun {
  int exitCode = -1;  // -1: killed by a signal
  int32_t lastReported = 0;
  std::vector<Report> reports;
};

template <class Writer>
void RunStream(Writer& writer, bool flush, const StopAt& stopAt, int maxTransactions, int out) {
  if (writer.NeedsRepair()) _exit(3);
  int32_t txn = writer.CommittedTxn();
  Model model;
  int32_t armed = txn + stopAt.inTransaction;
  int32_t committing = 0;
  CommitSteps steps;
  writer.Pages().SetCommitStepHook([&](TKrxCommitStep step, int count) {
    if (step == TKrxCommitStep::DatabaseWritten) steps.databaseWrites = count;
    if (step == TKrxCommitStep::JournalRecordWritten) steps.journalRecords = count;
    if (stopAt.count > 0 && committing == armed && step == stopAt.step && count == stopAt.count) _exit(kCrashedExit);
  });
  for (int n = 0; n < maxTransactions; ++n) {
    const Table& before = model.After(txn);
    ++txn;
    committing = txn;
    steps = {};
    RunTransaction(writer, txn, before, flush);
    committing = 0;
    Report report{txn, steps};
    if (write(out, &report, sizeof report) != static_cast<ssize_t>(sizeof report)) _exit(4);
  }
}

[[noreturn]] void ChildMain(const std::string& path, const Mode& mode, const StopAt& stopAt, int maxTransactions,
                            int out) {
  int code = 0;
  try {
    if (mode.multiUser) {
      SqlWriter writer(path);
      RunStream(writer, mode.flush, stopAt, maxTransactions, out);
    } else {
      TableWriter writer(path);
      RunStream(writer, mode.flush, stopAt, maxTransactions, out);
    }
  } catch (const std::exception& e) {
    fprintf(stderr, "child: %s\n", e.what());
    code = 1;
  }
  _exit(code);
}

// Runs transactions in a child from the file's state on; killAfterUs > 0
// kills it with SIGKILL after that long.
ChildRun RunChild(const std::string& path, const Mode& mode, const StopAt& stopAt, int maxTransactions, int killAfterUs) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe");
  fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    ChildMain(path, mode, stopAt, maxTransactions, fds[1]);
  }
  close(fds[1]);
  if (killAfterUs > 0) {
    usleep(static_cast<useconds_t>(killAfterUs));
    kill(pid, SIGKILL);
  }
  ChildRun run;
  Report report{};
  while (read(fds[0], &report, sizeof report) == static_cast<ssize_t>(sizeof report)) {
    run.lastReported = report.txn;
    run.reports.push_back(report);
  }
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A child forked before the parent connects (so it shares none of the
// parent's open files and locks), waiting for where to stop.
struct WaitingChild {
  pid_t pid = -1;
  int go = -1;
  int reports = -1;
};

WaitingChild ForkWaitingChild(const std::string& path, const Mode& mode) {
  int goFds[2], reportFds[2];
  if (pipe(goFds) != 0 || pipe(reportFds) != 0) throw std::runtime_error("pipe");
  fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    close(goFds[1]);
    close(reportFds[0]);
    alarm(60);
    StopAt stopAt;
    if (read(goFds[0], &stopAt, sizeof stopAt) != static_cast<ssize_t>(sizeof stopAt)) _exit(5);
    ChildMain(path, mode, stopAt, stopAt.inTransaction, reportFds[1]);
  }
  close(goFds[0]);
  close(reportFds[1]);
  return {pid, goFds[1], reportFds[0]};
}

// Lets the child run up to its stop and waits for its end; its exit code.
int RunWaitingChild(WaitingChild& child, const StopAt& stopAt) {
  if (write(child.go, &stopAt, sizeof stopAt) != static_cast<ssize_t>(sizeof stopAt)) throw std::runtime_error("go");
  close(child.go);
  child.go = -1;
  Report report{};
  while (read(child.reports, &report, sizeof report) == static_cast<ssize_t>(sizeof report)) {
  }
  close(child.reports);
  int status = 0;
  waitpid(child.pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PutFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class CrashStream : public ::testing::Test {
 protected:
  void SetUp() override {
    TKrxDatabase db;
    Connect(db, path_);
    db.CreateDataBase();
    db.Connect();
    TKrxQuery q;
    q.SetDatabaseName(kAlias);
    RunSql(q, "CREATE TABLE crashitem(fkey INTEGER, fval INTEGER, fname VARCHAR(30), fdata BLOB)");
    RunSql(q, "CREATE UNIQUE INDEX ixkey ON crashitem(fkey)");
    RunSql(q, "CREATE INDEX ixval ON crashitem(fval)");
    q.Close();
    db.Disconnect();
    TableWriter writer(path_);
    writer.Insert(0, 0);
    writer.Commit(false);
  }

  // Kills children again and again, at commit steps spread over the commit
  // and at random moments, until kills is reached; checks the file after each.
  void RunKilledStream(const Mode& mode, int kills) {
    std::mt19937 rng((mode.flush ? 91u : 29u) + (mode.multiUser ? 3u : 0u));
    Model model;
    // The steps of each transaction's commit as a child reported them (a
    // transaction cut off runs again from the same state, with the same
    // steps), and of every commit seen, for a transaction never committed.
    std::map<int32_t, CommitSteps> stepsOf;
    std::vector<CommitSteps> seen;
    int32_t committed = ExpectSoundTable(path_, model, mode);
    int killed = 0, rounds = 0;
    while (killed < kills && rounds < kills * 2) {
      ++rounds;
      ChildRun run;
      StopAt stopAt;
      if (rounds % 4 == 0) {
        run = RunChild(path_, mode, stopAt, 1000000, 2000 + static_cast<int>(rng() % 60000));
        if (run.exitCode != -1) ADD_FAILURE() << "round " << rounds << ": child ended by itself, exit " << run.exitCode;
      } else {
        stopAt.inTransaction = 1 + static_cast<int>(rng() % 2);
        auto known = stepsOf.find(committed + stopAt.inTransaction);
        CommitSteps steps = known != stepsOf.end() ? known->second
                            : seen.empty()         ? CommitSteps{12, 24}
                                                   : seen[rng() % seen.size()];
        uint32_t pick = rng() % 8;
        if (pick < 2) {
          stopAt.step = TKrxCommitStep::JournalRecordWritten;
          stopAt.count = 1 + static_cast<int>(rng() % static_cast<uint32_t>(std::max(steps.journalRecords, 1)));
        } else if (pick == 2) {
          stopAt.step = TKrxCommitStep::JournalComplete;
          stopAt.count = 1;
        } else {
          stopAt.step = TKrxCommitStep::DatabaseWritten;
          stopAt.count = 1 + static_cast<int>(rng() % static_cast<uint32_t>(std::max(steps.databaseWrites, 1)));
        }
        run = RunChild(path_, mode, stopAt, stopAt.inTransaction, 0);
        if (run.exitCode != 0 && run.exitCode != kCrashedExit) {
          ADD_FAILURE() << "round " << rounds << ": child exit " << run.exitCode;
          return;
        }
        if (mode.flush && run.exitCode == kCrashedExit && stopAt.step == TKrxCommitStep::JournalRecordWritten) {
          // Power lost before the journal was flushed: any tail of it is
          // gone, or the whole file with its directory entry.
          std::string journalName = KrxJournal::NameFor(path_);
          std::vector<uint8_t> journal = FileBytes(journalName);
          if (rng() % 4 == 0) {
            std::filesystem::remove(journalName);
          } else {
            journal.resize(journal.empty() ? 0 : rng() % journal.size());
            PutFileBytes(journalName, journal);
          }
        }
      }
      if (run.exitCode != 0) ++killed;
      for (const Report& report : run.reports) {
        stepsOf[report.txn] = report.steps;
        seen.push_back(report.steps);
      }
      if (run.lastReported > committed) committed = run.lastReported;
      int32_t found = ExpectSoundTable(path_, model, mode);
      ASSERT_TRUE(found == committed || found == committed + 1)
          << "round " << rounds << ": file holds txn " << found << ", child reported " << committed;
      committed = found;
      if (HasFailure()) {
        ADD_FAILURE() << "round " << rounds << " (step " << static_cast<int>(stopAt.step) << " count " << stopAt.count
                      << " of txn +" << stopAt.inTransaction << ", exit " << run.exitCode << ")";
        return;
      }
    }
    EXPECT_GE(killed, kills);
    EXPECT_GT(committed, kills / 4);  // the stream went on, not only its first transaction
  }

  test::TempDir dir_;
  std::string path_ = dir_.File("crash.krx");
};

TEST_F(CrashStream, KilledTransactionsLeaveACommittedStateWithIndexesAndBlobsIntact) {
  RunKilledStream({.flush = false, .multiUser = false}, 150);
}

TEST_F(CrashStream, FlushedTransactionsSurvivePowerLossBeforeTheJournalIsOnDisk) {
  RunKilledStream({.flush = true, .multiUser = false}, 60);
}

TEST_F(CrashStream, KilledManyUserSqlTransactionsLeaveACommittedState) {
  RunKilledStream({.flush = false, .multiUser = true}, 40);
}

// A process that stays connected while another one dies in the middle of
// its commit finds that commit's journal the next time it takes the header
// lock, and plays it back before it reads or writes anything.
TEST_F(CrashStream, ConnectedProcessPlaysBackTheJournalOfOneThatDiedCommitting) {
  const Mode mode{.flush = false, .multiUser = true};
  const int stops[] = {1, 2, 3, 4, 5, 6};  // writes into the database file; every commit here has more
  std::vector<WaitingChild> children;
  struct Reaper {  // children a failed assertion left waiting
    std::vector<WaitingChild>& children;
    ~Reaper() {
      for (WaitingChild& child : children) {
        if (child.go < 0) continue;
        kill(child.pid, SIGKILL);
        waitpid(child.pid, nullptr, 0);
      }
    }
  } reaper{children};
  for (size_t i = 0; i < std::size(stops); ++i) children.push_back(ForkWaitingChild(path_, mode));

  Model model;
  int32_t committed = 0;
  {
    SqlWriter writer(path_);
    ASSERT_FALSE(writer.NeedsRepair());
    committed = writer.CommittedTxn();
    for (size_t i = 0; i < children.size(); ++i) {
      StopAt stopAt{.step = TKrxCommitStep::DatabaseWritten, .count = stops[i], .inTransaction = 1};
      ASSERT_EQ(RunWaitingChild(children[i], stopAt), kCrashedExit) << "stop after write " << stops[i];
      ASSERT_TRUE(KrxJournal::Exists(KrxJournal::NameFor(path_)));
      // The dead commit is undone, not half seen.
      ASSERT_EQ(writer.CommittedTxn(), committed) << "stop after write " << stops[i];
      EXPECT_FALSE(KrxJournal::Exists(KrxJournal::NameFor(path_)));
      RunTransaction(writer, committed + 1, model.After(committed), false);
      ++committed;
    }
  }
  EXPECT_EQ(ExpectSoundTable(path_, model, mode), committed);
}

}  // namespace
}  // namespace krx
