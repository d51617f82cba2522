// The query component: its text, parameters, preparing and the errors the
// engine gives back through it.
#include <gtest/gtest.h>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxQuery.h"
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

class ClientQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    db_.SetDatabaseName("QUOTE");
    db_.SetDatabaseFileName(dir_.File("cpbill"));
    db_.CreateDataBase();
    db_.Connect();
    q_.SetDatabaseName("QUOTE");
  }
  test::TempDir dir_;
  TKrxDatabase db_;
  TKrxQuery q_{"KrxQ1"};
};

TEST_F(ClientQuery, TooLittleTextIsNoStatement) {
  EXPECT_EQ(MessageOf([&] { q_.Open(); }), "No SQL statement available - Native error: 20034");
  q_.SQLAdd("x");
  EXPECT_EQ(MessageOf([&] { q_.Open(); }), "No SQL statement available - Native error: 30142");
  EXPECT_EQ(MessageOf([&] { q_.ExecSQL(); }), "No SQL statement available - Native error: 30142");
  EXPECT_FALSE(q_.Active());
  EXPECT_EQ(q_.RecordCount(), 0);
}

TEST_F(ClientQuery, QueryWithoutDatabaseNameIsRefused) {
  TKrxQuery lone("KrxQ2");
  lone.SQLAdd("select * from cqproduct");
  EXPECT_EQ(MessageOf([&] { lone.Open(); }), "DatabaseName property is blank - Native error: 22101");
}

TEST_F(ClientQuery, EngineErrorsComeBackInUtf8AndTheQueryStaysClosed) {
  q_.SQLAdd("select '型号 from cqproduct");
  EXPECT_EQ(MessageOf([&] { q_.Open(); }), "Unterminated string at line 1, column 8 - Native error: 30061");
  q_.SQLClear();
  q_.SQLAdd("select fname from t where fname = :name");
  EXPECT_EQ(MessageOf([&] { q_.ExecSQL(); }), "Value for parameter 'name' not found - Native error: 30358");
  EXPECT_FALSE(q_.Active());
  // The database keeps its connection and no dataset is left on it.
  EXPECT_TRUE(db_.Connected());
  EXPECT_TRUE(db_.DataSets().empty());
}

TEST_F(ClientQuery, ParametersAreParsedFromTheText) {
  struct Case {
    const char* sql;
    std::vector<std::string> names;
  };
  const Case kCases[] = {
      {"select * from t where a = :a and b = :B1", {"a", "B1"}},
      {"select * from t where a = :a or c = :A", {"a"}},
      {"select TOSTRING(fdate,'hh:nn:ss') from t where x = \"a:b\"", {}},
      {"select * from t where a = :\"名 称\" and b = :[x y]", {"名 称", "x y"}},
      {"select * from t -- :skipped\n where a = :客户 /* :no */", {"客户"}},
      {"select a::b from t", {}},
  };
  for (const Case& c : kCases) EXPECT_EQ(TKrxParams::ParseNames(c.sql), c.names) << c.sql;
}

TEST_F(ClientQuery, ChangingTextUnpreparesAndKeepsValuesOfParametersThatStay) {
  q_.SQLAdd("select * from t where a = :a and b = :b");
  q_.ParamByName("A").SetAsInteger(7);
  q_.ParamByName("b").SetAsString("电缆");
  q_.Prepare();
  EXPECT_TRUE(q_.Prepared());
  q_.SetSQLText("select * from t\r\nwhere b = :b and c = :c");
  EXPECT_FALSE(q_.Prepared());
  EXPECT_EQ(q_.SQL().size(), 2u);
  EXPECT_EQ(q_.Params().Count(), 2);
  EXPECT_EQ(q_.ParamByName("b").value.AsUtf8(), "电缆");
  EXPECT_FALSE(q_.ParamByName("c").bound);
  EXPECT_EQ(MessageOf([&] { q_.ParamByName("a"); }), "Parameter 'a' not found - Native error: 22009");
  q_.SetParamCheck(false);
  q_.SQLClear();
  q_.SQLAdd("select :z from t");
  EXPECT_EQ(q_.Params().Count(), 2);  // left as they were
}

TEST_F(ClientQuery, InMemoryFollowsTheDatabaseName) {
  TKrxQuery q("KrxQ3");
  q.SetDatabaseName("memory");
  EXPECT_TRUE(q.InMemory());
  q.SetDatabaseName("QUOTE");
  EXPECT_FALSE(q.InMemory());
  q.SetInMemory(true);
  EXPECT_EQ(q.DatabaseName(), "MEMORY");
}

TEST_F(ClientQuery, DataSourceMayNotLinkInACircle) {
  TKrxQuery a("A"), b("B");
  a.SetDataSource(&b);
  EXPECT_EQ(MessageOf([&] { b.SetDataSource(&a); }), "Circular datalinks are not allowed - Native error: 22109");
}

}  // namespace
}  // namespace krx
