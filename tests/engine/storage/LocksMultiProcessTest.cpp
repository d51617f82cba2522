// Table locks between processes in multi-user mode: exclusive opens, locks
// kept to their own table, the write locks of a commit, readers beside a
// waiting writer.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxTableDataDisk.h"
#include "KrxTempDir.h"
#include "SessionsTestChild.h"

namespace krx {
namespace {

using Clock = std::chrono::steady_clock;

int64_t MillisSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// One connected multi-user session on its own database object.
struct MultiUser {
  explicit MultiUser(const std::string& path) : data(std::make_unique<TKrxDiskDatabaseData>(path)) {
    bool multiUser = true, readOnly = false;
    data->Open({}, multiUser, false, readOnly);
    session = data->ConnectSession();
  }
  ~MultiUser() {
    try {
      data->DisconnectSession(session);
    } catch (...) {
    }
  }
  std::shared_ptr<TKrxDiskTableData> Table(const std::string& name) {
    return TKrxDiskTableData::OpenTable(*data, name);
  }
  TKrxDatabaseTableLockManager& Locks() { return data->TableLocks(); }

  std::unique_ptr<TKrxDiskDatabaseData> data;
  int32_t session = -1;
};

void Insert(TKrxDiskTableData& t, TKrxCursor& c, int id) {
  t.PrepareNewRecord(c);
  t.SetField(c, 0, TKrxVariant::FromInt32(id));
  t.InsertRecord(c);
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EKrxException& e) {
    return e.Message();
  }
  return "";
}

TEST(LockTypesTest, CompatibilityIsSymmetricAndCoverageFollowsIt) {
  for (int a = 0; a < kKrxTableLockTypeCount; ++a) {
    EXPECT_TRUE(KrxTableLockCovers(kKrxLockExclusive, a));
    EXPECT_TRUE(KrxTableLockCovers(a, a));
    for (int b = 0; b < kKrxTableLockTypeCount; ++b) EXPECT_EQ(KrxTableLocksCompatible(a, b), KrxTableLocksCompatible(b, a));
  }
  EXPECT_TRUE(KrxTableLockCovers(kKrxLockWrite, kKrxLockRead));
  EXPECT_TRUE(KrxTableLockCovers(kKrxLockTransactionWrite, kKrxLockRead));
  EXPECT_FALSE(KrxTableLockCovers(kKrxLockRead, kKrxLockWrite));
  EXPECT_FALSE(KrxTableLockCovers(kKrxLockOpen, kKrxLockRead));
  EXPECT_FALSE(KrxTableLockCovers(kKrxLockTransactionWrite, kKrxLockWrite));
  EXPECT_TRUE(KrxTableLocksCompatible(kKrxLockRead, kKrxLockRead));
  EXPECT_FALSE(KrxTableLocksCompatible(kKrxLockRead, kKrxLockWrite));
  EXPECT_FALSE(KrxTableLocksCompatible(kKrxLockEdit, kKrxLockTransactionWrite));
  EXPECT_TRUE(KrxTableLocksCompatible(kKrxLockEdit, kKrxLockWrite));
}

class LocksMultiProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TKrxDiskDatabaseData data(path_);
    data.CreateDatabase({}, 8, 4096, 8);
    for (const char* name : {"T1", "T2"}) {
      TKrxTableDefinition def;
      def.fields.Add("FID", TKrxAdvancedType::Integer);
      TKrxDiskTableData::CreateTable(data, name, def);
    }
    {
      auto t1 = TKrxDiskTableData::OpenTable(data, "T1");
      TKrxCursor c(data.ConnectSession());
      t1->Attach(c);
      Insert(*t1, c, 1);
      t1->Detach(c);
    }
    data.Close();
  }

  test::TempDir dir_;
  std::string path_ = dir_.File("locks.krx");
};

TEST_F(LocksMultiProcessTest, ExclusiveOpenKeepsOtherSessionsOutOfThatTableOnly) {
  std::string path = path_;
  test::ChildProcess child([path](test::ChildProcess& self) {
    if (self.Await() != 'g') return 3;
    MultiUser mu(path);
    auto t1 = mu.Table("T1");
    TKrxCursor c(mu.session);
    c.exclusive = true;
    t1->Attach(c);
    self.Tell('h');
    if (self.Await() != 'g') return 3;
    t1->Detach(c);
    return 0;
  });
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'h');
  MultiUser mu(path_);
  auto t1 = mu.Table("T1");
  TKrxCursor c(mu.session);
  auto start = Clock::now();
  EXPECT_EQ(ErrorOf([&] { t1->Attach(c); }), "Cannot open table 'T1'. Table is locked");
  // 50 attempts, 50 to 99 ms apart.
  EXPECT_GE(MillisSince(start), 49 * 50);
  // The other table is free.
  auto t2 = mu.Table("T2");
  TKrxCursor c2(mu.session);
  t2->Attach(c2);
  EXPECT_EQ(t2->RecordCount(c2), 0);
  t2->Detach(c2);

  child.Send('g');
  EXPECT_EQ(child.Finish(), 0);
  t1->Attach(c);
  EXPECT_EQ(t1->RecordCount(c), 1);
  // Now this session has it open: another process cannot have it exclusively.
  test::ChildProcess second([path = path_](test::ChildProcess&) {
    MultiUser other(path);
    auto table = other.Table("T1");
    TKrxCursor exclusive(other.session);
    exclusive.exclusive = true;
    std::string error = ErrorOf([&] { table->Attach(exclusive); });
    return error == "Cannot access table 'T1' in exclusive mode. Probably the table is open by another user" ? 0 : 2;
  });
  EXPECT_EQ(second.Finish(), 0);
  t1->Detach(c);
}

TEST_F(LocksMultiProcessTest, LockOnOneTableGrantsNothingOnAnother) {
  std::string path = path_;
  test::ChildProcess child([path](test::ChildProcess& self) {
    if (self.Await() != 'g') return 3;
    MultiUser mu(path);
    if (!mu.Locks().LockTable(mu.session, mu.Table("T2")->LockKey(), kKrxLockRead, 40, 10)) return 2;
    self.Tell('h');
    if (self.Await() != 'g') return 3;
    mu.Locks().UnlockTable(mu.session, mu.Table("T2")->LockKey(), kKrxLockRead);
    return 0;
  });
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'h');
  MultiUser mu(path_);
  int32_t t1 = mu.Table("T1")->LockKey(), t2 = mu.Table("T2")->LockKey();
  ASSERT_TRUE(mu.Locks().LockTable(mu.session, t1, kKrxLockExclusive, 40, 10));
  // Covered on its own table, written nowhere.
  EXPECT_TRUE(mu.Locks().LockTable(mu.session, t1, kKrxLockWrite, 0, 1));
  // The exclusive lock on T1 says nothing about T2, where the reader is.
  EXPECT_FALSE(mu.Locks().LockTable(mu.session, t2, kKrxLockWrite, 20, 3));
  EXPECT_FALSE(mu.Locks().HoldsLock(mu.session, t2, kKrxLockWrite));
  EXPECT_TRUE(mu.Locks().LockTable(mu.session, t2, kKrxLockRead, 20, 3));
  mu.Locks().UnlockTable(mu.session, t2, kKrxLockRead);
  mu.Locks().UnlockTable(mu.session, t1, kKrxLockWrite);
  mu.Locks().UnlockTable(mu.session, t1, kKrxLockExclusive);
  child.Send('g');
  EXPECT_EQ(child.Finish(), 0);
  EXPECT_TRUE(mu.Locks().LockTable(mu.session, t2, kKrxLockWrite, 20, 3));
  mu.Locks().UnlockTable(mu.session, t2, kKrxLockWrite);
}

TEST_F(LocksMultiProcessTest, FailedCommitLockReleasesTheWriteLockAlreadyTaken) {
  std::string path = path_;
  test::ChildProcess child([path](test::ChildProcess& self) {
    if (self.Await() != 'g') return 3;
    MultiUser mu(path);
    int32_t t1 = mu.Table("T1")->LockKey(), t2 = mu.Table("T2")->LockKey();
    // A reader of T2 lets the transaction write but not commit.
    if (!mu.Locks().LockTable(mu.session, t2, kKrxLockRead, 40, 10)) return 2;
    self.Tell('h');
    if (self.Await() != 'g') return 3;
    // No write lock may be left on T1 now.
    bool readT1 = mu.Locks().LockTable(mu.session, t1, kKrxLockRead, 20, 3);
    self.Tell(readT1 ? 'y' : 'n');
    if (readT1) mu.Locks().UnlockTable(mu.session, t1, kKrxLockRead);
    mu.Locks().UnlockTable(mu.session, t2, kKrxLockRead);
    return 0;
  });
  MultiUser mu(path_);
  mu.Locks().SetCommitLockRetry(3, 20);
  auto t1 = mu.Table("T1"), t2 = mu.Table("T2");
  TKrxCursor c1(mu.session), c2(mu.session);
  c1.inTransaction = c2.inTransaction = true;
  t1->Attach(c1);
  t2->Attach(c2);
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'h');
  Insert(*t1, c1, 10);
  Insert(*t2, c2, 20);
  EXPECT_EQ(ErrorOf([&] { mu.data->Commit(mu.session, false); }),
            "Cannot commit changes. Locks of modified tables failed");
  EXPECT_FALSE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockWrite));
  EXPECT_TRUE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockTransactionWrite));
  child.Send('g');
  EXPECT_EQ(child.Receive(), 'y');
  EXPECT_EQ(child.Finish(), 0);
  // The transaction is still open: with the reader gone it commits.
  mu.data->Commit(mu.session, false);
  EXPECT_FALSE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockTransactionWrite));
  EXPECT_FALSE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockWrite));
  c1.inTransaction = c2.inTransaction = false;
  EXPECT_EQ(t1->RecordCount(c1), 2);
  EXPECT_EQ(t2->RecordCount(c2), 1);
  t1->Detach(c1);
  t2->Detach(c2);
}

TEST_F(LocksMultiProcessTest, RollbackLetsTheTransactionLocksGoAndDropsItsRecords) {
  MultiUser mu(path_);
  auto t1 = mu.Table("T1");
  TKrxCursor c(mu.session);
  c.inTransaction = true;
  t1->Attach(c);
  Insert(*t1, c, 7);
  EXPECT_TRUE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockTransactionWrite));
  // Another process can read the committed state but not write.
  test::ChildProcess child([path = path_](test::ChildProcess&) {
    MultiUser other(path);
    auto table = other.Table("T1");
    TKrxCursor oc(other.session);
    table->Attach(oc);
    bool sawCommitted = table->RecordCount(oc) == 1;
    bool writeRefused = !other.Locks().LockTable(other.session, table->LockKey(), kKrxLockWrite, 20, 3);
    table->Detach(oc);
    return sawCommitted && writeRefused ? 0 : 2;
  });
  EXPECT_EQ(child.Finish(), 0);
  mu.data->Rollback(mu.session);
  t1->CleanupAfterRollback(mu.session);
  EXPECT_FALSE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockTransactionWrite));
  c.inTransaction = false;
  EXPECT_EQ(t1->RecordCount(c), 1);
  t1->Detach(c);
}

TEST_F(LocksMultiProcessTest, TwoProcessesReadTogetherWhileAPostWaitsForTheReader) {
  std::string path = path_;
  test::ChildProcess child([path](test::ChildProcess& self) {
    if (self.Await() != 'g') return 3;
    MultiUser mu(path);
    auto t1 = mu.Table("T1");
    TKrxCursor c(mu.session);
    t1->Attach(c);
    if (t1->RecordCount(c) != 1) return 4;
    // A long read: the read lock held as a read operation holds it.
    if (!mu.Locks().LockTable(mu.session, t1->LockKey(), kKrxLockRead, 40, 10)) return 2;
    self.Tell('r');
    if (self.Await() != 'g') return 3;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    mu.Locks().UnlockTable(mu.session, t1->LockKey(), kKrxLockRead);
    if (self.Await() != 'v') return 3;
    // The other process's committed record is seen here.
    int64_t count = t1->RecordCount(c);
    int found = 0;
    for (int r = t1->ReadRecord(c, TKrxReadMode::First); r == kKrxRecordFound;
         r = t1->ReadRecord(c, TKrxReadMode::Next))
      found += t1->GetField(c, 0).AsInt32() == 2 ? 1 : 0;
    t1->Detach(c);
    if (count != 2 || found != 1) std::fprintf(stderr, "child sees count %lld, found %d\n", static_cast<long long>(count), found);
    return count == 2 && found == 1 ? 0 : 5;
  });
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'r');
  MultiUser mu(path_);
  auto t1 = mu.Table("T1");
  TKrxCursor c(mu.session);
  t1->Attach(c);
  // Reading beside the reader.
  EXPECT_EQ(t1->RecordCount(c), 1);
  EXPECT_EQ(t1->ReadRecord(c, TKrxReadMode::First), kKrxRecordFound);
  child.Send('g');
  auto start = Clock::now();
  Insert(*t1, c, 2);
  EXPECT_GE(MillisSince(start), 250);
  child.Send('v');
  EXPECT_EQ(child.Finish(), 0);
  EXPECT_EQ(t1->RecordCount(c), 2);
  t1->Detach(c);
}

TEST_F(LocksMultiProcessTest, EditLocksTheRecordAndFindsWhatOthersChanged) {
  std::string path = path_;
  test::ChildProcess child([path](test::ChildProcess& self) {
    if (self.Await() != 'g') return 3;
    MultiUser mu(path);
    auto t1 = mu.Table("T1");
    TKrxCursor c(mu.session);
    t1->Attach(c);
    if (t1->ReadRecord(c, TKrxReadMode::First) != kKrxRecordFound) return 4;
    if (t1->BeginEdit(c) != 0) return 5;
    self.Tell('e');
    if (self.Await() != 'g') return 3;
    t1->SetField(c, 0, TKrxVariant::FromInt32(11));
    t1->UpdateRecord(c);
    t1->EndEdit(c);
    self.Tell('p');
    if (self.Await() != 'g') return 3;
    if (t1->ReadRecord(c, TKrxReadMode::First) != kKrxRecordFound) return 4;
    t1->DeleteRecord(c);
    t1->Detach(c);
    self.Tell('d');
    return 0;
  });
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'e');
  MultiUser mu(path_);
  auto t1 = mu.Table("T1");
  TKrxCursor c(mu.session);
  t1->Attach(c);
  ASSERT_EQ(t1->ReadRecord(c, TKrxReadMode::First), kKrxRecordFound);
  EXPECT_EQ(t1->BeginEdit(c), kKrxEditRecordLocked);
  EXPECT_FALSE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockEdit));
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'p');
  // This cursor's copy is older than the committed record.
  EXPECT_EQ(t1->BeginEdit(c), kKrxEditRecordChanged);
  ASSERT_EQ(t1->ReadRecord(c, TKrxReadMode::Current), kKrxRecordFound);
  EXPECT_EQ(t1->GetField(c, 0).AsInt32(), 11);
  EXPECT_EQ(t1->BeginEdit(c), 0);
  EXPECT_TRUE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockEdit));
  t1->EndEdit(c);
  EXPECT_FALSE(mu.Locks().HoldsLock(mu.session, t1->LockKey(), kKrxLockEdit));
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'd');
  EXPECT_EQ(t1->BeginEdit(c), kKrxEditRecordGone);
  EXPECT_EQ(child.Finish(), 0);
  t1->Detach(c);
}

TEST_F(LocksMultiProcessTest, SessionLeavingWithLocksLetsThemGoAndSaysSo) {
  MultiUser mu(path_);
  int32_t key = mu.Table("T1")->LockKey();
  int32_t other = mu.data->ConnectSession();
  ASSERT_TRUE(mu.Locks().LockTable(other, key, kKrxLockOpen, 10, 3));
  ASSERT_TRUE(mu.Locks().LockTable(other, key, kKrxLockRead, 10, 3));
  // Sessions of one process keep each other out as other processes would.
  EXPECT_FALSE(mu.Locks().LockTable(mu.session, key, kKrxLockExclusive, 10, 3));
  EXPECT_EQ(ErrorOf([&] { mu.data->DisconnectSession(other); }), "Some table locks still exist");
  EXPECT_TRUE(mu.Locks().LockTable(mu.session, key, kKrxLockExclusive, 10, 3));
  mu.Locks().UnlockTable(mu.session, key, kKrxLockExclusive);
  // A slot the lock file was not made for.
  EXPECT_EQ(ErrorOf([&] { mu.Locks().LockTable(8, key, kKrxLockRead, 10, 3); }),
            "Cannot set table lock. Try to repair database or to increase number of allowed connections");
}

TEST_F(LocksMultiProcessTest, TableMadeByAnotherProcessCanBeOpened) {
  std::string path = path_;
  test::ChildProcess child([path](test::ChildProcess& self) {
    if (self.Await() != 'g') return 3;
    MultiUser mu(path);
    TKrxTableDefinition def;
    def.fields.Add("FID", TKrxAdvancedType::Integer);
    TKrxDiskTableData::CreateTable(*mu.data, "T3", def);
    auto t3 = mu.Table("T3");
    TKrxCursor c(mu.session);
    t3->Attach(c);
    Insert(*t3, c, 30);
    t3->Detach(c);
    self.Tell('m');
    return 0;
  });
  MultiUser mu(path_);
  EXPECT_EQ(ErrorOf([&] { mu.Table("T3"); }), "Table 'T3' not exists.");
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'm');
  EXPECT_EQ(child.Finish(), 0);
  auto t3 = mu.Table("T3");
  TKrxCursor c(mu.session);
  t3->Attach(c);
  EXPECT_EQ(t3->RecordCount(c), 1);
  t3->Detach(c);
}

}  // namespace
}  // namespace krx
