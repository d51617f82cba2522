// Sessions of several processes on one file: slots of the active sessions
// file in multi-user mode, the single-user claim, the read-only fallback.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxTempDir.h"
#include "SessionsTestChild.h"

namespace krx {
namespace {

const char kMaxConnectionsMessage[] =
    "Cannot connect session. Maximum connections quantity exceeded or database is open in single-user mode";

class SessionsMultiProcessTest : public ::testing::Test {
 protected:
  void Create(int32_t maxConnections) {
    TKrxDiskDatabaseData data(path_);
    data.CreateDatabase({}, 8, 4096, maxConnections);
    data.Close();
  }
  // A database object of its own (not the process-wide shared one).
  static std::unique_ptr<TKrxDiskDatabaseData> OpenData(const std::string& path, bool multiUser) {
    auto data = std::make_unique<TKrxDiskDatabaseData>(path);
    bool readOnly = false;
    data->Open({}, multiUser, false, readOnly);
    return data;
  }

  test::TempDir dir_;
  std::string path_ = dir_.File("sessions.krx");
};

TEST_F(SessionsMultiProcessTest, SecondSingleUserProcessGetsTheFileReadOnly) {
  Create(8);
  std::string path = path_;
  test::ChildProcess child([path](test::ChildProcess& self) {
    auto data = OpenData(path, false);
    int32_t session = data->ConnectSession();
    if (!data->HoldsSingleUserClaim() || data->ReadOnly()) return 2;
    self.Tell('c');
    if (self.Await() != 'g') return 3;
    data->DisconnectSession(session);
    data->Close();
    return 0;
  });
  ASSERT_EQ(child.Receive(), 'c');
  {
    auto data = OpenData(path_, false);
    data->ConnectSession();
    EXPECT_TRUE(data->ReadOnly());
    EXPECT_FALSE(data->HoldsSingleUserClaim());
    data->Close();
  }
  child.Send('g');
  EXPECT_EQ(child.Finish(), 0);
  // With the other process gone the file is this one's again.
  auto data = OpenData(path_, false);
  data->ConnectSession();
  EXPECT_FALSE(data->ReadOnly());
  EXPECT_TRUE(data->HoldsSingleUserClaim());
}

TEST_F(SessionsMultiProcessTest, SingleUserClaimKeepsMultiUserProcessesOut) {
  Create(8);
  std::string path = path_;
  test::ChildProcess child([path](test::ChildProcess& self) {
    if (self.Await() != 'g') return 3;
    auto data = OpenData(path, true);
    try {
      data->ConnectSession();
      return 2;
    } catch (const EKrxException& e) {
      if (e.Message() != kMaxConnectionsMessage) return 4;
    }
    self.Tell('r');
    if (self.Await() != 'g') return 3;
    // Claim given up: a slot is free again.
    return data->ConnectSession() == 0 ? 0 : 5;
  });
  auto data = OpenData(path_, false);
  int32_t first = data->ConnectSession();
  int32_t second = data->ConnectSession();
  EXPECT_NE(first, second);
  EXPECT_TRUE(data->HoldsSingleUserClaim());
  child.Send('g');
  ASSERT_EQ(child.Receive(), 'r');
  // The claim lasts until the last session of the process leaves.
  data->DisconnectSession(first);
  EXPECT_TRUE(data->HoldsSingleUserClaim());
  data->DisconnectSession(second);
  EXPECT_FALSE(data->HoldsSingleUserClaim());
  child.Send('g');
  EXPECT_EQ(child.Finish(), 0);
}

TEST_F(SessionsMultiProcessTest, ThirdConnectionFailsWithMaxConnectionsTwo) {
  Create(2);
  std::string path = path_;
  auto holder = [path](int32_t expectedSlot) {
    return [path, expectedSlot](test::ChildProcess& self) {
      if (self.Await() != 'g') return 3;
      auto data = OpenData(path, true);
      int32_t slot = data->ConnectSession();
      self.Tell(static_cast<char>('0' + slot));
      if (self.Await() != 'g') return 3;
      data->DisconnectSession(slot);
      return slot == expectedSlot ? 0 : 2;
    };
  };
  test::ChildProcess a(holder(0));
  test::ChildProcess b(holder(1));
  a.Send('g');
  ASSERT_EQ(a.Receive(), '0');
  b.Send('g');
  ASSERT_EQ(b.Receive(), '1');

  auto data = OpenData(path_, true);
  try {
    data->ConnectSession();
    FAIL() << "a third connection was granted";
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), kMaxConnectionsMessage);
  }
  a.Send('g');
  EXPECT_EQ(a.Finish(), 0);
  // The slot the first process gave up is the lowest free one.
  EXPECT_EQ(data->ConnectSession(), 0);
  b.Send('g');
  EXPECT_EQ(b.Finish(), 0);
}

TEST_F(SessionsMultiProcessTest, SessionsOfOneObjectTakeTheirOwnSlots) {
  Create(3);
  auto data = OpenData(path_, true);
  int32_t a = data->ConnectSession();
  int32_t b = data->ConnectSession();
  int32_t c = data->ConnectSession();
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(c, 2);
  EXPECT_THROW(data->ConnectSession(), EKrxException);
  data->DisconnectSession(b);
  EXPECT_EQ(data->ConnectSession(), 1);
}

}  // namespace
}  // namespace krx
