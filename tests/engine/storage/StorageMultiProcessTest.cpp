// Two processes on one database file: the header lock and the object-ID
// lock of one keep the other out until they are let go.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "KrxDatabaseDataDisk.h"
#include "KrxDiskPageManager.h"
#include "KrxException.h"
#include "KrxFileHeader.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

// Waits up to timeoutMs for one byte on fd; false on timeout.
bool WaitByte(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  if (poll(&p, 1, timeoutMs) != 1) return false;
  char c;
  return read(fd, &c, 1) == 1;
}

// Runs hold() in a child process, which then tells the parent and keeps
// what it holds until the parent says go on.
class ChildHolder {
 public:
  explicit ChildHolder(const std::function<void()>& hold) {
    if (pipe(toParent_) != 0 || pipe(toChild_) != 0) throw std::runtime_error("pipe");
    pid_ = fork();
    if (pid_ == 0) {
      int code = 0;
      try {
        hold();
        if (write(toParent_[1], "h", 1) != 1) code = 2;
        if (!WaitByte(toChild_[0], 10000)) code = 3;
      } catch (...) {
        code = 1;
      }
      _exit(code);
    }
  }
  bool WaitHeld() { return WaitByte(toParent_[0], 10000); }
  int Finish() {
    if (write(toChild_[1], "g", 1) != 1) return -1;
    int status = 0;
    waitpid(pid_, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ~ChildHolder() {
    for (int fd : {toParent_[0], toParent_[1], toChild_[0], toChild_[1]}) close(fd);
  }

 private:
  pid_t pid_ = -1;
  int toParent_[2] = {-1, -1};
  int toChild_[2] = {-1, -1};
};

class StorageMultiProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto data = TKrxDiskDatabaseData::Acquire(path_);
    data->CreateDatabase({}, 8, 4096, 16);
    data->Close();
    bool multiUser = true, readOnly = false;
    pm_.OpenDatabaseFile(path_, {}, multiUser, false, readOnly);
    pm_.SetLockRetry(5, 10);
  }
  void TearDown() override { pm_.CloseDatabaseFile(); }

  test::TempDir dir_;
  std::string path_ = dir_.File("shared.krx");
  TKrxDiskPageManager pm_;
};

TEST_F(StorageMultiProcessTest, HeaderLockOfAnotherProcessKeepsCommitAndAllocationOut) {
  std::string path = path_;
  ChildHolder child([path] {
    static TKrxDiskPageManager other;
    bool multiUser = true, readOnly = false;
    other.OpenDatabaseFile(path, {}, multiUser, false, readOnly);
    other.LockHeader();
  });
  ASSERT_TRUE(child.WaitHeld());
  try {
    pm_.AllocatePage(0, 10);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Database is locked");
  }
  EXPECT_EQ(child.Finish(), 0);
  TKrxHeldPage page(pm_.AllocatePage(0, 10));
  EXPECT_EQ(page->PageNo(), 5);
  page.Reset();
  pm_.Commit(0);
}

TEST_F(StorageMultiProcessTest, ObjectIDLockOfAnotherProcessKeepsTheCounterOut) {
  std::string path = path_;
  ChildHolder child([path] {
    static TKrxDatabaseFile other;
    other.OpenFile(path, TKrxDatabaseFile::kAccessReadWrite, TKrxDatabaseFile::kShareReadWrite);
    if (!other.LockByte(kKrxObjectIDLockPosition)) throw std::runtime_error("not granted");
  });
  ASSERT_TRUE(child.WaitHeld());
  try {
    pm_.GetNextObjectID();
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot get NextObjectID. File area is Locked.");
  }
  EXPECT_EQ(child.Finish(), 0);
  EXPECT_EQ(pm_.GetNextObjectID(), 1);
}

TEST_F(StorageMultiProcessTest, SecondSingleUserProcessGetsTheFileReadOnly) {
  std::string path = path_;
  ChildHolder child([path] {
    static TKrxDiskPageManager other;
    bool multiUser = false, readOnly = false;
    other.OpenDatabaseFile(path, {}, multiUser, false, readOnly);
    if (!readOnly) throw std::runtime_error("expected read-only");
  });
  ASSERT_TRUE(child.WaitHeld());
  EXPECT_EQ(child.Finish(), 0);
}

}  // namespace
}  // namespace krx
