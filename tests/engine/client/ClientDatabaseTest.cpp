// The database component over real database files: connecting, the file
// name property, listing tables, transactions, passwords and sessions.
#include <gtest/gtest.h>

#include <filesystem>

#include "ClientRowSetDataSet.h"
#include "KrxDatabase.h"
#include "KrxDatabaseDataRegistry.h"
#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxQuery.h"
#include "KrxSession.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const EKrxException& e) {
    return e.what();
  }
  return "no error";
}

class ClientDatabase : public ::testing::Test {
 protected:
  std::string NewFile(const std::string& name, const std::string& password = {}, uint8_t cipher = 0) {
    std::string file = dir_.File(name);
    TKrxDatabase maker;
    maker.SetDatabaseFileName(file);
    maker.SetPassword(password);
    maker.SetCipherID(cipher);
    maker.CreateDataBase();
    return file;
  }
  test::TempDir dir_;
};

TEST_F(ClientDatabase, ConnectsTakesOverFileSettingsAndDisconnects) {
  std::string file = NewFile("a.db");
  TKrxDatabase db;
  db.SetDatabaseName("QUOTE");
  db.SetDatabaseFileName(file);
  db.SetPageSize(8192);  // only for new files: the file's own wins
  db.Connect();
  EXPECT_TRUE(db.Connected());
  EXPECT_EQ(db.PageSize(), 4096);
  EXPECT_EQ(db.ExtentPageCount(), 8);
  EXPECT_EQ(db.MaxConnections(), 500);
  EXPECT_TRUE(TKrxDatabaseDataRegistry::Instance().IsOpen(file));
  EXPECT_EQ(MessageOf([&] { db.SetDatabaseName("OTHER"); }),
            "Cannot perform this operation on an open database - Native error: 22106");
  db.Disconnect();
  EXPECT_FALSE(db.Connected());
  EXPECT_FALSE(TKrxDatabaseDataRegistry::Instance().IsOpen(file));
  EXPECT_EQ(MessageOf([&] { db.StartTransaction(); }),
            "Cannot perform this operation on a closed database - Native error: 22107");
}

TEST_F(ClientDatabase, MissingFileRaisesWithThePathAndStaysDisconnected) {
  TKrxDatabase db;
  db.SetDatabaseName("QUOTE");
  std::string missing = dir_.File("no-such-file");
  db.SetDatabaseFileName(missing);
  EXPECT_EQ(MessageOf([&] { db.Connect(); }),
            "Database file '" + missing + "' does not exist - Native error: 22002");
  EXPECT_FALSE(db.Connected());
  TKrxDatabase unnamed;
  EXPECT_EQ(MessageOf([&] { unnamed.Connect(); }), "Database name missing - Native error: 22102");
}

TEST_F(ClientDatabase, SameFileNameKeepsTheConnectionAnotherClosesOpenDataSets) {
  std::string first = NewFile("first.db");
  std::string second = NewFile("second.db");
  TKrxDatabase db;
  db.SetDatabaseName("FILENAMETEST");
  db.SetDatabaseFileName(first);
  db.Connect();

  TKrxFieldDefs defs;
  defs.Add("FItemID", TKrxAdvancedType::Integer);
  test::RowSetDataSet rows([defs] { return std::make_unique<TKrxRowSet>(defs); }, true);
  rows.SetDatabaseName("filenametest");  // aliases match without regard to case
  rows.Open();
  EXPECT_EQ(rows.Database(), &db);
  EXPECT_EQ(db.DataSets().size(), 1u);

  db.SetDatabaseFileName(first);
  EXPECT_TRUE(db.Connected());
  EXPECT_TRUE(rows.Active());

  db.SetDatabaseFileName(second);
  EXPECT_FALSE(db.Connected());
  EXPECT_FALSE(rows.Active());
  EXPECT_TRUE(db.DataSets().empty());
  EXPECT_EQ(db.DatabaseFileName(), second);
}

TEST_F(ClientDatabase, ListingTablesOfADisconnectedDatabaseConnectsAndDisconnects) {
  std::string file = NewFile("tables.db");
  {
    auto data = TKrxDiskDatabaseData::Acquire(file);
    bool multiUser = false, readOnly = false;
    data->Open({}, multiUser, false, readOnly);
    data->TableList().Add(kKrxEngineSession, {"cqproduct", data->GetNextObjectID(), 10, 11, 12});
    data->TableList().Add(kKrxEngineSession, {KrxUtf8ToGb("客户"), data->GetNextObjectID(), 13, 14, 15});
    data->Commit(kKrxEngineSession, true);
    data->Close();
  }
  TKrxDatabase db;
  db.SetDatabaseName("LIST");
  db.SetDatabaseFileName(file);
  std::vector<std::string> names;
  db.GetTableNames(names);
  EXPECT_EQ(names, (std::vector<std::string>{"cqproduct", "客户"}));
  EXPECT_FALSE(db.Connected());
  EXPECT_FALSE(TKrxDatabaseDataRegistry::Instance().IsOpen(file));

  // Never raises: a missing file leaves the list as it was.
  db.SetDatabaseFileName(dir_.File("gone.db"));
  std::vector<std::string> none{"kept"};
  db.GetTableNames(none);
  EXPECT_EQ(none, (std::vector<std::string>{"kept"}));
}

TEST_F(ClientDatabase, TransactionsOnTheComponent) {
  TKrxDatabase db;
  db.SetDatabaseName("TX");
  db.SetDatabaseFileName(NewFile("tx.db"));
  db.Connect();
  EXPECT_FALSE(db.InTransaction());
  db.StartTransaction();
  EXPECT_TRUE(db.InTransaction());
  EXPECT_EQ(MessageOf([&] { db.StartTransaction(); }), "Database already in transaction - Native error: 22001");
  db.Commit();
  EXPECT_FALSE(db.InTransaction());
  db.StartTransaction();
  db.Rollback();
  EXPECT_FALSE(db.InTransaction());
}

TEST_F(ClientDatabase, PasswordIsAskedForAndRetriedAndMustAgreeWithinTheProcess) {
  std::string file = NewFile("secret.db", "开单", 1);
  TKrxDatabase db;
  db.SetDatabaseName("SECRET");
  db.SetDatabaseFileName(file);
  db.SetCipherID(1);
  db.SetPassword("wrong");
  EXPECT_EQ(MessageOf([&] { db.Connect(); }),
            "Cannot open database because incorrect password - Native error: 30445");
  EXPECT_FALSE(db.Connected());

  int asked = 0;
  db.OnPassword = [&](TKrxDatabase& target) {
    ++asked;
    target.SetPassword(asked == 1 ? "still wrong" : "开单");
    return true;
  };
  db.Connect();
  EXPECT_TRUE(db.Connected());
  EXPECT_EQ(asked, 2);

  TKrxDatabase second;
  second.SetDatabaseName("SECRET2");
  second.SetDatabaseFileName(file);
  second.SetCipherID(1);
  second.SetPassword("other");
  EXPECT_EQ(MessageOf([&] { second.Connect(); }), "Database password is invalid. - Native error: 20298");
}

TEST(ClientSessions, DefaultSessionAndUniqueNames) {
  TKrxSessionList& sessions = KrxSessions();
  ASSERT_NE(sessions.FindSession("default"), nullptr);
  EXPECT_EQ(sessions.FindSession("DEFAULT")->SessionName(), "Default");
  {
    TKrxSession mine("Billing");
    EXPECT_EQ(sessions.FindSession("billing"), &mine);
    EXPECT_EQ(MessageOf([] { TKrxSession again("BILLING"); }), "Duplicate session name 'BILLING' - Native error: 22105");
    TKrxDatabase a("Billing");
    a.SetDatabaseName("QUOTE");
    TKrxDatabase b("Billing");
    EXPECT_EQ(MessageOf([&] { b.SetDatabaseName("quote"); }), "Duplicate database name 'quote' - Native error: 22104");
    EXPECT_EQ(mine.FindDatabase("Quote"), &a);
  }
  EXPECT_EQ(sessions.FindSession("Billing"), nullptr);
  EXPECT_EQ(MessageOf([] { TKrxDatabase lost("Nowhere"); }), "Invalid session name 'Nowhere' - Native error: 20002");
}

TEST_F(ClientDatabase, DataSetWithoutItsOwnComponentGetsATemporaryOne) {
  std::string file = NewFile("temp.db");
  TKrxFieldDefs defs;
  defs.Add("FItemID", TKrxAdvancedType::Integer);
  test::RowSetDataSet rows([defs] { return std::make_unique<TKrxRowSet>(defs); }, true);
  rows.SetDatabaseName(file);
  rows.Open();
  ASSERT_NE(rows.Database(), nullptr);
  EXPECT_TRUE(rows.Database()->Temporary());
  EXPECT_TRUE(TKrxDatabaseDataRegistry::Instance().IsOpen(file));
  rows.Close();
  // The session keeps connections by default.
  EXPECT_TRUE(TKrxDatabaseDataRegistry::Instance().IsOpen(file));
  TKrxDatabase* temporary = KrxSessions().DefaultSession().FindDatabase(file);
  ASSERT_NE(temporary, nullptr);
  temporary->SetKeepConnection(false);
  rows.Open();
  rows.Close();
  EXPECT_FALSE(TKrxDatabaseDataRegistry::Instance().IsOpen(file));
  EXPECT_EQ(KrxSessions().DefaultSession().FindDatabase(file), nullptr);
}

}  // namespace
}  // namespace krx
