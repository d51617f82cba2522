// Local sessions of one process on one file: one database object per
// multi-user session name, no mixing of the two modes.
#include <gtest/gtest.h>

#include "KrxException.h"
#include "KrxLocalSession.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

class MultiUserSessionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TKrxDiskDatabaseData data(path_);
    data.CreateDatabase({}, 8, 4096, 4);
    data.Close();
  }
  TKrxLocalSessionSettings Settings(bool multiUser, const std::string& name = "") const {
    TKrxLocalSessionSettings s;
    s.fileName = path_;
    s.multiUser = multiUser;
    s.multiUserSessionName = name;
    return s;
  }

  test::TempDir dir_;
  std::string path_ = dir_.File("mu.krx");
};

TEST_F(MultiUserSessionsTest, OneFileCannotBeOpenInBothModes) {
  for (bool firstMultiUser : {false, true}) {
    SCOPED_TRACE(firstMultiUser);
    TKrxLocalSession first(Settings(firstMultiUser, firstMultiUser ? "A" : ""));
    first.Open();
    TKrxLocalSession second(Settings(!firstMultiUser, firstMultiUser ? "" : "B"));
    try {
      second.Open();
      FAIL() << "opened in both modes";
    } catch (const EKrxException& e) {
      EXPECT_EQ(e.Message(), "Cannot open database in multi-user and signle-user mode at the same time");
    }
  }
}

TEST_F(MultiUserSessionsTest, UnnamedMultiUserSessionDoesNotJoinASingleUserOpen) {
  TKrxLocalSession single(Settings(false));
  single.Open();
  TKrxLocalSession multi(Settings(true));
  try {
    multi.Open();
    FAIL() << "joined in the other mode";
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot open database in multi-user and signle-user mode at the same time");
  }
  // The same mode joins.
  TKrxLocalSession again(Settings(false));
  again.Open();
  EXPECT_EQ(&again.Data(), &single.Data());
}

TEST_F(MultiUserSessionsTest, NamedSessionsHoldSlotsOfTheirOwn) {
  TKrxLocalSession a(Settings(true, "A")), b(Settings(true, "b")), again(Settings(true, "B"));
  a.Open();
  b.Open();
  again.Open();
  EXPECT_EQ(a.SessionNumber(), 0);
  EXPECT_EQ(b.SessionNumber(), 1);
  // The same name (in any case) joins the same object, with a slot of its own.
  EXPECT_EQ(&again.Data(), &b.Data());
  EXPECT_NE(&a.Data(), &b.Data());
  EXPECT_EQ(again.SessionNumber(), 2);
  TKrxLocalSession fourth(Settings(true, "C")), fifth(Settings(true, "D"));
  fourth.Open();
  try {
    fifth.Open();
    FAIL() << "more sessions than the file has slots";
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(),
              "Cannot connect session. Maximum connections quantity exceeded or database is open in single-user mode");
  }
  a.Close();
  fifth.Open();
  EXPECT_EQ(fifth.SessionNumber(), 0);
}

}  // namespace
}  // namespace krx
