// Crash-safe commits: a commit saves the images it overwrites in a journal
// beside the file first, and a process that dies anywhere in the commit
// leaves a file that opens as exactly the state before or after it.
//
// The data is a ledger: a root page lists entries (id, page number, the
// transaction that last wrote the page) and each entry's page holds its id,
// that transaction number and a pattern derived from both. Transaction t
// deletes, rewrites and adds entries by a plan that depends only on t and
// the ledger before it, so the ledger after any t can be computed in memory
// and compared with what a file holds.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "KrxBytes.h"
#include "KrxCRC32.h"
#include "KrxDiskPageManager.h"
#include "KrxException.h"
#include "KrxJournal.h"
#include "KrxTempDir.h"
#include "KrxTxnStates.h"

namespace krx {
namespace {

constexpr uint16_t kPageSize = 1024;
constexpr uint16_t kExtentPages = 4;
constexpr uint32_t kLedgerMagic = 0x4C454447;
constexpr int kCrashedExit = 42;
constexpr uint16_t kDataPageType = static_cast<uint16_t>(TKrxPageType::TableRecord);

struct Entry {
  int32_t id = 0;
  int32_t pageNo = kKrxNoPage;
  int32_t txn = 0;
};

struct Ledger {
  int32_t txn = 0;
  int32_t nextId = 0;
  std::vector<Entry> entries;
};

uint8_t PatternByte(int32_t id, int32_t txn, size_t i) { return static_cast<uint8_t>(id * 7 + txn * 13 + static_cast<int>(i)); }

// ---- the plan of a transaction and the ledger computed in memory ------------

struct Plan {
  std::vector<int32_t> deleteIds;
  std::vector<int32_t> updateIds;
  int adds = 0;
};

Plan PlanFor(int32_t txn, const Ledger& before) {
  std::mt19937 rng(static_cast<uint32_t>(txn) * 2654435761u);
  Plan plan;
  std::vector<int32_t> ids;
  for (const Entry& e : before.entries) ids.push_back(e.id);
  size_t deletes = ids.size() > 25 ? rng() % 5 : ids.size() > 4 ? rng() % 2 : 0;
  bool fromTheEnd = rng() % 2 == 0;  // the newest entries sit on the highest pages: the file shrinks
  for (size_t k = 0; k < deletes; ++k) {
    size_t at = fromTheEnd ? ids.size() - 1 : rng() % ids.size();
    plan.deleteIds.push_back(ids[at]);
    ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(at));
  }
  size_t updates = ids.empty() ? 0 : 1 + rng() % 3;
  for (size_t k = 0; k < updates && !ids.empty(); ++k) {
    size_t at = rng() % ids.size();
    plan.updateIds.push_back(ids[at]);
    ids.erase(ids.begin() + static_cast<std::ptrdiff_t>(at));
  }
  plan.adds = before.entries.size() < 35 ? static_cast<int>(rng() % 4) : 0;
  return plan;
}

Entry* FindEntry(Ledger& ledger, int32_t id) {
  for (Entry& e : ledger.entries)
    if (e.id == id) return &e;
  return nullptr;
}

void ApplyToModel(int32_t txn, Ledger& ledger) {
  Plan plan = PlanFor(txn, ledger);
  for (int32_t id : plan.deleteIds)
    std::erase_if(ledger.entries, [id](const Entry& e) { return e.id == id; });
  for (int32_t id : plan.updateIds) FindEntry(ledger, id)->txn = txn;
  for (int k = 0; k < plan.adds; ++k) ledger.entries.push_back({ledger.nextId++, kKrxNoPage, txn});
  ledger.txn = txn;
}

using Model = test::TxnStates<Ledger, ApplyToModel>;

// ---- the ledger on pages -------------------------------------------------------

void WriteDataPage(TKrxPage& page, int32_t id, int32_t txn) {
  uint8_t* data = page.Data();
  PutI32(data, 0, id);
  PutI32(data, 4, txn);
  for (size_t i = 8; i < page.DataSize(); ++i) data[i] = PatternByte(id, txn, i);
  page.MarkDirty();
}

void WriteRoot(TKrxPage& page, const Ledger& ledger) {
  uint8_t* data = page.Data();
  std::memset(data, 0, page.DataSize());
  PutU32(data, 0, kLedgerMagic);
  PutI32(data, 4, ledger.txn);
  PutI32(data, 8, ledger.nextId);
  PutI32(data, 12, static_cast<int32_t>(ledger.entries.size()));
  for (size_t i = 0; i < ledger.entries.size(); ++i) {
    PutI32(data, 16 + i * 12, ledger.entries[i].id);
    PutI32(data, 20 + i * 12, ledger.entries[i].pageNo);
    PutI32(data, 24 + i * 12, ledger.entries[i].txn);
  }
  page.MarkDirty();
}

Ledger ReadRoot(TKrxDiskPageManager& pm, int32_t rootPageNo) {
  TKrxHeldPage root(pm.GetPage(0, rootPageNo));
  const uint8_t* data = root->Data();
  if (GetU32(data, 0) != kLedgerMagic) throw std::runtime_error("root page lost its ledger");
  Ledger ledger;
  ledger.txn = GetI32(data, 4);
  ledger.nextId = GetI32(data, 8);
  int32_t count = GetI32(data, 12);
  for (int32_t i = 0; i < count; ++i)
    ledger.entries.push_back({GetI32(data, 16 + i * 12), GetI32(data, 20 + i * 12), GetI32(data, 24 + i * 12)});
  return ledger;
}

// Runs transaction txn on the file's ledger (not committed).
void RunTransaction(TKrxDiskPageManager& pm, int32_t rootPageNo, int32_t txn, Ledger& ledger) {
  Plan plan = PlanFor(txn, ledger);
  for (int32_t id : plan.deleteIds) {
    pm.DeletePage(0, FindEntry(ledger, id)->pageNo);
    std::erase_if(ledger.entries, [id](const Entry& e) { return e.id == id; });
  }
  for (int32_t id : plan.updateIds) {
    Entry* e = FindEntry(ledger, id);
    TKrxHeldPage page(pm.GetPage(0, e->pageNo));
    WriteDataPage(*page, id, txn);
    e->txn = txn;
  }
  for (int k = 0; k < plan.adds; ++k) {
    TKrxHeldPage page(pm.AllocatePage(0, kDataPageType));
    int32_t id = ledger.nextId++;
    WriteDataPage(*page, id, txn);
    ledger.entries.push_back({id, page->PageNo(), txn});
  }
  ledger.txn = txn;
  TKrxHeldPage root(pm.GetPage(0, rootPageNo));
  WriteRoot(*root, ledger);
}

// What a test expects of a file after a crash: opened without repair, no
// journal left, FileState 2, and the ledger exactly that of one committed
// transaction, every page of it intact and in use. Returns the ledger's txn.
int32_t ExpectSoundLedger(const std::string& path, int32_t rootPageNo, Model& model) {
  TKrxDiskPageManager pm;
  bool multiUser = false, readOnly = false;
  EXPECT_FALSE(pm.OpenDatabaseFile(path, {}, multiUser, false, readOnly)) << "repair asked for";
  EXPECT_FALSE(KrxJournal::Exists(KrxJournal::NameFor(path)));
  EXPECT_EQ(pm.MainHeader().fileState, kKrxFileStateConsistent);
  Ledger found = ReadRoot(pm, rootPageNo);
  const Ledger& expected = model.After(found.txn);
  EXPECT_EQ(found.nextId, expected.nextId) << "txn " << found.txn;
  EXPECT_EQ(found.entries.size(), expected.entries.size()) << "txn " << found.txn;
  for (size_t i = 0; i < found.entries.size() && i < expected.entries.size(); ++i) {
    const Entry& e = found.entries[i];
    EXPECT_EQ(e.id, expected.entries[i].id);
    EXPECT_EQ(e.txn, expected.entries[i].txn);
    EXPECT_TRUE(pm.FreeSpace().IsPageUsed(e.pageNo)) << "page " << e.pageNo;
    TKrxHeldPage page(pm.GetPage(0, e.pageNo));
    EXPECT_EQ(page->GetPageType(), kDataPageType);
    EXPECT_EQ(GetI32(page->Data(), 0), e.id);
    EXPECT_EQ(GetI32(page->Data(), 4), e.txn);
    bool patternHolds = true;
    for (size_t b = 8; b < page->DataSize() && patternHolds; ++b)
      patternHolds = page->Data()[b] == PatternByte(e.id, e.txn, b);
    EXPECT_TRUE(patternHolds) << "page " << e.pageNo << " of entry " << e.id;
  }
  pm.CloseDatabaseFile();
  return found.txn;
}

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void PutFileBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Where a child process stops: at a commit step of its n-th transaction
// (counted from 1), or, with stopAt.count 0, never by itself.
struct StopAt {
  TKrxCommitStep step = TKrxCommitStep::DatabaseWritten;
  int count = 0;
  int inTransaction = 1;
};

struct ChildRun {
  int exitCode = -1;  // -1: killed by a signal
  int32_t lastReported = 0;
};

// Runs transactions in a child process from the file's committed state on,
// reporting each committed one through a pipe. maxTransactions bounds the run;
// killAfterMs > 0 kills it with SIGKILL after that long.
ChildRun RunChild(const std::string& path, int32_t rootPageNo, bool flush, const StopAt& stopAt, int maxTransactions,
                  int killAfterUs) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe");
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    int code = 0;
    try {
      TKrxDiskPageManager pm;
      bool multiUser = false, readOnly = false;
      if (pm.OpenDatabaseFile(path, {}, multiUser, false, readOnly) || readOnly) _exit(3);
      Ledger ledger = ReadRoot(pm, rootPageNo);
      int32_t armed = ledger.txn + stopAt.inTransaction;
      int32_t committing = 0;
      pm.SetCommitStepHook([&](TKrxCommitStep step, int count) {
        if (stopAt.count > 0 && committing == armed && step == stopAt.step && count == stopAt.count) _exit(kCrashedExit);
      });
      for (int n = 0; n < maxTransactions; ++n) {
        int32_t txn = ledger.txn + 1;
        RunTransaction(pm, rootPageNo, txn, ledger);
        committing = txn;
        pm.Commit(0, flush);
        committing = 0;
        if (write(fds[1], &txn, sizeof txn) != static_cast<ssize_t>(sizeof txn)) _exit(4);
      }
    } catch (const std::exception& e) {
      fprintf(stderr, "child: %s\n", e.what());
      code = 1;
    }
    _exit(code);
  }
  close(fds[1]);
  if (killAfterUs > 0) {
    usleep(static_cast<useconds_t>(killAfterUs));
    kill(pid, SIGKILL);
  }
  ChildRun run;
  int32_t txn = 0;
  while (read(fds[0], &txn, sizeof txn) == static_cast<ssize_t>(sizeof txn)) run.lastReported = txn;
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class JournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TKrxDiskPageManager pm;
    pm.CreateDatabaseFile(path_, {}, kExtentPages, kPageSize);
    Ledger empty;
    {
      TKrxHeldPage root(pm.AllocatePage(0, kDataPageType));
      rootPageNo_ = root->PageNo();
      WriteRoot(*root, empty);
    }
    pm.Commit(0);
    pm.CloseDatabaseFile();
  }

  // Commits transactions in this process up to txn.
  void CommitUpTo(int32_t txn) {
    TKrxDiskPageManager pm;
    bool multiUser = false, readOnly = false;
    pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
    Ledger ledger = ReadRoot(pm, rootPageNo_);
    while (ledger.txn < txn) {
      RunTransaction(pm, rootPageNo_, ledger.txn + 1, ledger);
      pm.Commit(0);
    }
    pm.CloseDatabaseFile();
  }

  // Kills a child at the step of its next transaction's commit.
  void CrashNextCommitAt(TKrxCommitStep step, int count, bool flush = false) {
    ChildRun run = RunChild(path_, rootPageNo_, flush, {step, count, 1}, 1, 0);
    ASSERT_EQ(run.exitCode, kCrashedExit) << "the commit has no such step";
  }

  int32_t CommittedTxn() {
    TKrxDiskPageManager pm;
    bool multiUser = false, readOnly = true;
    pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
    int32_t txn = ReadRoot(pm, rootPageNo_).txn;
    pm.CloseDatabaseFile();
    return txn;
  }

  test::TempDir dir_;
  std::string path_ = dir_.File("ledger.krx");
  std::string journal_ = KrxJournal::NameFor(path_);
  int32_t rootPageNo_ = kKrxNoPage;
  Model model_;
};

// ---- the journal during a commit ------------------------------------------------

TEST_F(JournalTest, JournalHoldsTheOldImagesBeforeTheFirstWriteAndGoesAtTheEnd) {
  CommitUpTo(6);
  TKrxDiskPageManager pm;
  bool multiUser = false, readOnly = false;
  pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
  Ledger ledger = ReadRoot(pm, rootPageNo_);
  RunTransaction(pm, rootPageNo_, 7, ledger);
  // Allocation takes page numbers at once: the file as the commit finds it.
  std::vector<uint8_t> before = FileBytes(path_);

  std::vector<TKrxCommitStep> steps;
  bool checkedAtFirstWrite = false;
  pm.SetCommitStepHook([&](TKrxCommitStep step, int count) {
    steps.push_back(step);
    if (step != TKrxCommitStep::DatabaseWritten || count != 1) return;
    // The first write to the database: the journal is complete by now and
    // holds every page of the old file the commit overwrites, as it was.
    TKrxJournalContents journal;
    ASSERT_EQ(KrxJournal::Read(journal_, kPageSize, 0, journal), TKrxJournalState::Complete);
    EXPECT_EQ(journal.oldFileSize, static_cast<int64_t>(before.size()));
    EXPECT_TRUE(std::equal(journal.headerImage.begin(), journal.headerImage.end(), before.begin()));
    ASSERT_NE(journal.FindPage(rootPageNo_), nullptr);
    for (const auto& [pageNo, image] : journal.pages) {
      size_t at = 380 + static_cast<size_t>(pageNo) * kPageSize;
      ASSERT_LE(at + kPageSize, before.size());
      EXPECT_TRUE(std::equal(image.begin(), image.end(), before.begin() + static_cast<std::ptrdiff_t>(at)))
          << "page " << pageNo;
    }
    checkedAtFirstWrite = true;
  });
  pm.Commit(0, true);
  EXPECT_TRUE(checkedAtFirstWrite);
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(steps.front(), TKrxCommitStep::JournalRecordWritten);
  auto complete = std::find(steps.begin(), steps.end(), TKrxCommitStep::JournalComplete);
  auto firstWrite = std::find(steps.begin(), steps.end(), TKrxCommitStep::DatabaseWritten);
  EXPECT_LT(complete, firstWrite);
  EXPECT_FALSE(KrxJournal::Exists(journal_));
  pm.CloseDatabaseFile();
  EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), 7);
}

TEST_F(JournalTest, CommitThatFailsAtAnyStepLeavesTheOldStateAndAWorkingEngine) {
  CommitUpTo(30);  // big enough for deletes, rewrites and adds in one transaction
  for (int k = 1;; ++k) {
    TKrxDiskPageManager pm;
    bool multiUser = false, readOnly = false;
    pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
    Ledger ledger = ReadRoot(pm, rootPageNo_);
    int32_t txn = ledger.txn + 1;
    RunTransaction(pm, rootPageNo_, txn, ledger);
    pm.SetCommitStepHook([&](TKrxCommitStep step, int count) {
      if (step == TKrxCommitStep::DatabaseWritten && count == k) throw std::runtime_error("disk gone");
    });
    bool failed = false;
    try {
      pm.Commit(0);
    } catch (const std::runtime_error&) {
      failed = true;
    }
    if (!failed) {  // k is past the commit's last write: it went through
      pm.CloseDatabaseFile();
      ASSERT_GT(k, 3) << "too few writes in the commit";
      break;
    }
    EXPECT_FALSE(KrxJournal::Exists(journal_)) << "write " << k;
    // The same engine goes on: the failed work is rolled back and done again.
    pm.SetCommitStepHook(nullptr);
    pm.Rollback(0);
    Ledger again = ReadRoot(pm, rootPageNo_);
    EXPECT_EQ(again.txn, txn - 1) << "write " << k;
    pm.CloseDatabaseFile();
    EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), txn - 1) << "write " << k;
  }
  EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), 31);
}

// ---- opening after a crash -------------------------------------------------------

TEST_F(JournalTest, OpenAfterACrashAtEachWriteRollsBack) {
  CommitUpTo(28);
  for (int k = 1; k <= 10; ++k) {
    int32_t before = CommittedTxn();
    ChildRun run = RunChild(path_, rootPageNo_, false, {TKrxCommitStep::DatabaseWritten, k, 1}, 1, 0);
    if (run.exitCode == 0) break;  // the commit had fewer writes
    ASSERT_EQ(run.exitCode, kCrashedExit);
    EXPECT_TRUE(KrxJournal::Exists(journal_));
    EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), before) << "write " << k;
  }
}

TEST_F(JournalTest, ReadOnlyOpenReadsThroughAHotJournalAndChangesNothing) {
  CommitUpTo(12);
  int32_t before = CommittedTxn();
  CrashNextCommitAt(TKrxCommitStep::DatabaseWritten, 3);
  std::vector<uint8_t> fileBefore = FileBytes(path_);
  std::vector<uint8_t> journalBefore = FileBytes(journal_);
  {
    TKrxDiskPageManager pm;
    bool multiUser = false, readOnly = true;
    EXPECT_FALSE(pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly));
    EXPECT_TRUE(pm.ReadsThroughJournal());
    EXPECT_EQ(pm.MainHeader().fileState, kKrxFileStateConsistent);
    Ledger ledger = ReadRoot(pm, rootPageNo_);
    EXPECT_EQ(ledger.txn, before);
    for (const Entry& e : ledger.entries) {
      TKrxHeldPage page(pm.GetPage(0, e.pageNo));
      EXPECT_EQ(GetI32(page->Data(), 4), e.txn);
    }
    pm.CloseDatabaseFile();
  }
  EXPECT_EQ(FileBytes(path_), fileBefore);
  EXPECT_EQ(FileBytes(journal_), journalBefore);
  // A writer then plays it back for good.
  EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), before);
}

TEST_F(JournalTest, IncompleteJournalIsDeletedAndTheFileIsUntouched) {
  CommitUpTo(9);
  int32_t before = CommittedTxn();
  CrashNextCommitAt(TKrxCommitStep::JournalComplete, 1);  // closing record written, nothing else
  std::vector<uint8_t> journal = FileBytes(journal_);
  std::vector<uint8_t> file = FileBytes(path_);
  // Cut off anywhere: in the signature, the header, a page record, the
  // closing record.
  const size_t kLengths[] = {0, 5, 30, 130, 200, journal.size() / 2, journal.size() - 12, journal.size() - 1};
  for (size_t length : kLengths) {
    PutFileBytes(journal_, std::vector<uint8_t>(journal.begin(), journal.begin() + static_cast<std::ptrdiff_t>(length)));
    EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), before) << "length " << length;
    EXPECT_EQ(FileBytes(path_), file) << "length " << length;
  }
}

TEST_F(JournalTest, DamagedJournalIsDroppedWhenNoPageWasWrittenAndRefusedOtherwise) {
  CommitUpTo(9);
  int32_t before = CommittedTxn();
  // Crashed after the journal was complete, before the first write.
  CrashNextCommitAt(TKrxCommitStep::JournalComplete, 1);
  std::vector<uint8_t> journal = FileBytes(journal_);
  journal[200] ^= 0x40;  // inside the first page image
  PutFileBytes(journal_, journal);
  EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), before);

  // Crashed with pages written: a damaged journal cannot restore the file,
  // which is refused rather than opened half old, half new.
  CrashNextCommitAt(TKrxCommitStep::DatabaseWritten, 2);
  journal = FileBytes(journal_);
  journal[200] ^= 0x40;
  PutFileBytes(journal_, journal);
  std::vector<uint8_t> file = FileBytes(path_);
  TKrxDiskPageManager pm;
  bool multiUser = false, readOnly = false;
  try {
    pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
    FAIL() << "opened";
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Journal file " + journal_ + " is damaged; database file " + path_ +
                               " cannot be restored from it");
    EXPECT_EQ(e.NativeError(), 10636);
  }
  EXPECT_FALSE(pm.IsOpen());
  EXPECT_EQ(FileBytes(path_), file);
  EXPECT_EQ(FileBytes(journal_), journal);
  // Mended, the journal plays back.
  journal[200] ^= 0x40;
  PutFileBytes(journal_, journal);
  EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), before);
}

TEST_F(JournalTest, JournalOfAnotherFileIsLeftAloneAndReported) {
  CommitUpTo(4);
  CrashNextCommitAt(TKrxCommitStep::DatabaseWritten, 1);
  std::vector<uint8_t> ours = FileBytes(journal_);
  struct Case {
    const char* what;
    size_t offset;
  };
  const Case kCases[] = {{"signature", 3}, {"page size", 17}};
  for (const Case& c : kCases) {
    std::vector<uint8_t> other = ours;
    other[c.offset] ^= 0x01;
    if (c.offset == 17) {
      // Another file's header carries its own CRC.
      uint8_t* head = other.data();
      size_t crcAt = 40 + GetU16(head, 18);
      PutU32(head, crcAt, KrxCRC32(0, head, crcAt));
    }
    PutFileBytes(journal_, other);
    TKrxDiskPageManager pm;
    bool multiUser = false, readOnly = false;
    try {
      pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
      ADD_FAILURE() << c.what << ": opened";
    } catch (const EKrxException& e) {
      EXPECT_EQ(e.Message(), "Journal file " + journal_ + " does not belong to database file " + path_) << c.what;
    }
    EXPECT_EQ(FileBytes(journal_), other) << c.what;
  }
  PutFileBytes(journal_, ours);
  EXPECT_EQ(ExpectSoundLedger(path_, rootPageNo_, model_), 4);
}

// Pages numbered from the first one allocated, each holding its own number.
std::vector<int32_t> CommitNumberedPages(TKrxDiskPageManager& pm, int count) {
  std::vector<int32_t> pages;
  for (int k = 0; k < count; ++k) {
    TKrxHeldPage page(pm.AllocatePage(0, kDataPageType));
    WriteDataPage(*page, page->PageNo(), 1);
    pages.push_back(page->PageNo());
  }
  pm.Commit(0);
  return pages;
}

void ExpectNumberedPages(TKrxDiskPageManager& pm, const std::vector<int32_t>& pages) {
  for (int32_t pageNo : pages) {
    TKrxHeldPage page(pm.GetPage(0, pageNo));
    EXPECT_EQ(GetI32(page->Data(), 0), pageNo);
    EXPECT_EQ(page->Data()[500], PatternByte(pageNo, 1, 500)) << pageNo;
  }
}

TEST_F(JournalTest, FileCutByACommitGrowsBackWithItsPages) {
  for (bool crash : {false, true}) {
    SCOPED_TRACE(crash ? "process dies" : "commit fails");
    std::vector<int32_t> pages;
    int64_t sizeBefore = 0;
    {
      TKrxDiskPageManager pm;
      bool multiUser = false, readOnly = false;
      pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
      pages = CommitNumberedPages(pm, 40);
      sizeBefore = pm.FileSize();
      pm.CloseDatabaseFile();
    }
    // Deleting the top 30 pages cuts the file; stop the commit right there.
    auto deleteAndStopAtTheCut = [&](bool dieThere) {
      TKrxDiskPageManager pm;
      bool multiUser = false, readOnly = false;
      pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
      for (size_t k = 10; k < pages.size(); ++k) pm.DeletePage(0, pages[k]);
      bool cut = false;
      pm.SetCommitStepHook([&](TKrxCommitStep step, int) {
        if (step != TKrxCommitStep::DatabaseWritten || pm.FileSize() >= sizeBefore) return;
        cut = true;
        if (dieThere) _exit(kCrashedExit);
        throw std::runtime_error("disk gone");
      });
      EXPECT_THROW(pm.Commit(0), std::runtime_error);
      EXPECT_TRUE(cut);
      EXPECT_EQ(pm.FileSize(), sizeBefore);
      pm.Rollback(0);
      ExpectNumberedPages(pm, pages);
      pm.CloseDatabaseFile();
    };
    if (crash) {
      pid_t pid = fork();
      if (pid == 0) {
        deleteAndStopAtTheCut(true);
        _exit(0);  // never cut: the parent sees it
      }
      int status = 0;
      waitpid(pid, &status, 0);
      ASSERT_EQ(WEXITSTATUS(status), kCrashedExit);
      EXPECT_LT(static_cast<int64_t>(std::filesystem::file_size(path_)), sizeBefore);
    } else {
      deleteAndStopAtTheCut(false);
    }
    TKrxDiskPageManager pm;
    bool multiUser = false, readOnly = false;
    EXPECT_FALSE(pm.OpenDatabaseFile(path_, {}, multiUser, false, readOnly));
    EXPECT_EQ(pm.FileSize(), sizeBefore);
    ExpectNumberedPages(pm, pages);
    pm.CloseDatabaseFile();
  }
}

// ---- streams of transactions killed at random --------------------------------------

void RunKilledStream(const std::string& path, int32_t rootPageNo, bool flush, int rounds) {
  std::mt19937 rng(flush ? 77u : 13u);
  Model model;
  int32_t committed = 0;
  std::string journalName = KrxJournal::NameFor(path);
  const TKrxCommitStep kSteps[] = {TKrxCommitStep::JournalRecordWritten, TKrxCommitStep::JournalComplete,
                                   TKrxCommitStep::DatabaseWritten, TKrxCommitStep::DatabaseWritten};
  for (int round = 0; round < rounds; ++round) {
    ChildRun run;
    StopAt stopAt;
    if (round % 3 == 2) {
      run = RunChild(path, rootPageNo, flush, stopAt, 1000000, 500 + static_cast<int>(rng() % 20000));
      ASSERT_EQ(run.exitCode, -1) << "round " << round;
    } else {
      stopAt.step = kSteps[rng() % 4];
      stopAt.count = stopAt.step == TKrxCommitStep::JournalComplete ? 1 : 1 + static_cast<int>(rng() % 12);
      stopAt.inTransaction = 1 + static_cast<int>(rng() % 3);
      run = RunChild(path, rootPageNo, flush, stopAt, stopAt.inTransaction, 0);
      ASSERT_TRUE(run.exitCode == 0 || run.exitCode == kCrashedExit) << "round " << round << " exit " << run.exitCode;
      if (flush && run.exitCode == kCrashedExit && stopAt.step == TKrxCommitStep::JournalRecordWritten) {
        // Power lost before the journal was flushed: any tail of it is gone.
        std::vector<uint8_t> journal = FileBytes(journalName);
        journal.resize(journal.empty() ? 0 : rng() % journal.size());
        PutFileBytes(journalName, journal);
      }
    }
    if (run.lastReported > committed) committed = run.lastReported;
    int32_t found = ExpectSoundLedger(path, rootPageNo, model);
    ASSERT_TRUE(found == committed || found == committed + 1)
        << "round " << round << ": file holds txn " << found << ", child reported " << committed;
    committed = found;
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(committed, rounds / 2);
}

TEST_F(JournalTest, KilledStreamAlwaysOpensAsACommittedState) { RunKilledStream(path_, rootPageNo_, false, 240); }

TEST_F(JournalTest, KilledStreamWithFlushSurvivesALostJournalTail) { RunKilledStream(path_, rootPageNo_, true, 120); }

}  // namespace
}  // namespace krx
