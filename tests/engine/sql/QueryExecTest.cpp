// Queries and changes against a small bill table shaped like the program's.
#include <gtest/gtest.h>

#include "ExecTestDatabase.h"

namespace krx {
namespace {

using Rows = std::vector<std::string>;

class QueryExecTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Session().MutableValueFormat().shortDateFormat = "yyyy-MM-dd";
    db.Run(
        "create table cqsalebill(FInterID integer, FEntryID integer, fbillno varchar(40), FDate date,"
        " fcs varchar(120), fzhidan varchar(30), Fname varchar(120), fqty float, fprice float, famount float);"
        "create index i_salebill_interid on cqsalebill(FInterID);"
        "create table picuslink(FItemID autoinc, FParentID integer, FName varchar(120), FHide integer default 0)");
    db.Run(
        "insert into cqsalebill values('3','1','XS3','2024-03-02','乙公司','王','电缆','5','2','10');"
        "insert into cqsalebill values('1','1','XS1','2024-01-15','甲公司','张','电线','2','3','6');"
        "insert into cqsalebill values('1','2','XS1','2024-01-15','甲公司','张','电缆','1','4','4');"
        "insert into cqsalebill values('2','1','XS2','2024-02-20','甲公司','李','电缆','','','');"
        "insert into picuslink(FParentID, FName) values(0,'华东');"
        "insert into picuslink(FParentID, FName) values(1,'甲公司');"
        "insert into picuslink(FParentID, FName, FHide) values(1,'丙公司',1)");
  }
  test::ExecDatabase db;
};

TEST_F(QueryExecTest, StatementsGiveTheirRows) {
  struct Case {
    const char* sql;
    Rows rows;
  } cases[] = {
      {"select FInterID, FEntryID from cqsalebill where FInterID=1 order by FEntryID desc", {"1|2", "1|1"}},
      {"select * from cqsalebill where 1=2", {}},
      {"select FEntryID from cqsalebill where 1=1 and FInterID=1 order by 1", {"1", "2"}},
      {"select FEntryID from cqsalebill where 1=2 or FInterID=3", {"1"}},
      {"select count(*) from cqsalebill where 'a' = 'b'", {"0"}},
      {"select b.FName from picuslink b left join cqsalebill a on a.fcs = b.FName where 1=2", {}},
      {"select fbillno from cqsalebill where fqty > 0 order by 1", {"XS1", "XS1", "XS3"}},
      {"select fbillno, fqty from cqsalebill order by 2 desc, 1", {"XS3|5", "XS1|2", "XS1|1", "XS2|NULL"}},
      {"select distinct(fzhidan) as fzhidan from cqsalebill order by FInterID", {"张", "李", "王"}},
      {"select top 5 fbillno from cqsalebill where FInterID=1 order by FEntryID", {"XS1", "XS1"}},
      {"select top 2,2 FInterID from cqsalebill order by FInterID, FEntryID", {"1", "2"}},
      {" select fcs,sum(Fqty) as fqty,sum(FAmount) as famount \r from cqsalebill \r where "
       "TOSTRING(fdate,'yyyy-mm-dd')>='2024-01-01' and TOSTRING(fdate,'yyyy-mm-dd')<='2024-02-28' group by fcs "
       " order by fcs asc ",
       {"甲公司|3|10"}},
      {"select max(FInterID) as FInterID from cqsalebill where fcs='无'", {"NULL"}},
      {"select count(*) as n, max(famount) as m from cqsalebill", {"4|10"}},
      {"select fbillno from cqsalebill where Fname like '%缆%' and fcs like '%甲%' order by FInterID", {"XS1", "XS2"}},
      {"select a.fbillno, b.FItemID from cqsalebill a, picuslink b where a.fcs = b.FName and a.FEntryID=1 "
       "order by a.FInterID",
       {"XS1|2", "XS2|2"}},
      {"select b.FName, a.fbillno from picuslink b left join cqsalebill a on a.fcs = b.FName and a.FEntryID = 2 "
       "where b.FParentID = 1 order by b.FItemID",
       {"甲公司|XS1", "丙公司|NULL"}},
      {"select FName from picuslink where FName in (select fcs from cqsalebill) order by FName", {"甲公司"}},
      {"select FName from picuslink p where exists (select * from cqsalebill s where s.fcs = p.FName)", {"甲公司"}},
      {"select fcs from cqsalebill union select FName from picuslink where FParentID=1 order by 1",
       {"丙公司", "甲公司", "乙公司"}},
      {"select FName from picuslink except select fcs from cqsalebill order by 1", {"丙公司", "华东"}},
      {"select fcs from cqsalebill intersect select FName from picuslink", {"甲公司"}},
      {"select FInterID, count(*) as n from cqsalebill group by FInterID having count(*) > 1", {"1|2"}},
      {"select Upper(fbillno+'x') as k from cqsalebill where FInterID=3", {"XS3X"}},
      {"select fbillno from cqsalebill where fqty = '' ", {"XS2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(db.Rows(c.sql), c.rows);
  }
}

TEST_F(QueryExecTest, ResultKeepsTheColumnsOfAnEmptyQuery) {
  auto result = db.Query("select * from cqsalebill where 1=2");
  ASSERT_TRUE(result);
  EXPECT_EQ(result->RowCount(), 0);
  ASSERT_EQ(result->FieldDefs().Count(), 10u);
  EXPECT_EQ(result->FieldDefs()[3].name, "FDate");
  EXPECT_EQ(result->FieldDefs()[3].advancedType, TKrxAdvancedType::Date);
}

TEST_F(QueryExecTest, ErrorsOfQueries) {
  struct Case {
    const char* sql;
    const char* error;
  } cases[] = {
      {"select fbillno, fqty from cqsalebill order by 9", "Invalid field number in ORDER BY clause: 9 #20243"},
      {"select fbillno from cqsalebill order by nothing", "Column 'nothing' from ORDER BY clause not found #30195"},
      {"select fbillno from cqsalebill where nothing = 1", "Search condition is not applicable #30144"},
      {"select fcs, fbillno, sum(fqty) as q from cqsalebill group by fcs",
       "Field is not included in GROUP BY list. Table name = 'cqsalebill', Field name = 'fbillno', FieldNo = 2, "
       "Found field name = 'fbillno' #10342"},
      {"select count(*) as n from cqsalebill group by nothing",
       "Invalid field for GROUP BY. Table name = '', FieldName = 'nothing', i = 0, FieldExists = 0 #20245"},
      {"select * from nothing", "Table 'nothing' not exists. #21143"},
      {"select * from cqsalebill a join picuslink b on a.fcs = c.FName", "ON condition for JOIN is not applicable #20270"},
      {"select fbillno + fcs as k, count(*) as n from cqsalebill group by fcs",
       "Expression (Name=\"k\", DisplayName=\"k\") cannot be used with GROUP BY. Possibly expression is not "
       "aggregate, but it uses fields not included into group fields #20269"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(db.Error(c.sql), c.error);
  }
}

TEST_F(QueryExecTest, InsertConvertsTextByTheColumnType) {
  EXPECT_EQ(db.Rows("select TOSTRING(FDate,'yyyy-mm-dd') as d, fqty, famount from cqsalebill where FInterID=2"),
            (Rows{"2024-02-20|NULL|NULL"}));
  db.Session().MutableValueFormat().shortDateFormat = "d/M/yyyy";
  db.Session().MutableValueFormat().decimalSeparator = ',';
  db.Run("insert into cqsalebill(FInterID, FDate, fqty) values('9', '5/6/2024', '1,5')");
  EXPECT_EQ(db.Rows("select TOSTRING(FDate,'yyyy-mm-dd') as d, fqty from cqsalebill where FInterID=9"),
            (Rows{"2024-06-05|1.5"}));
  EXPECT_NE(db.Error("insert into cqsalebill(FInterID) values('abc')"), "");
  EXPECT_EQ(db.Rows("select count(*) as n from cqsalebill").front(), "5");
}

TEST_F(QueryExecTest, UpdateChangesTheRowsSelectedBeforeTheFirstChange) {
  EXPECT_EQ(db.Run("update cqsalebill set FInterID = FInterID + 1 where FInterID >= 1"), 4);
  EXPECT_EQ(db.Rows("select FInterID from cqsalebill order by FInterID, FEntryID"), (Rows{"2", "2", "3", "4"}));
  EXPECT_EQ(db.Run("update cqsalebill set famount = fqty * fprice, fzhidan = 'x' where fbillno = 'XS1'"), 2);
  EXPECT_EQ(db.Rows("select famount, fzhidan from cqsalebill where fbillno='XS1' order by FEntryID"),
            (Rows{"6|x", "4|x"}));
  // The index follows the changed keys.
  EXPECT_EQ(db.Rows("select fbillno from cqsalebill where FInterID = 4"), (Rows{"XS3"}));
}

TEST_F(QueryExecTest, FailedUpdateChangesNothing) {
  // The third record fails to convert after two have been changed.
  EXPECT_NE(db.Error("update cqsalebill set fqty = case when FInterID = 2 then 'bad' else '7' end"), "");
  EXPECT_EQ(db.Rows("select count(*) as n from cqsalebill where fqty = 7"), (Rows{"0"}));
  EXPECT_EQ(db.Rows("select fqty from cqsalebill where FInterID = 3"), (Rows{"5"}));
}

TEST_F(QueryExecTest, DeleteRemovesTheSelectedRecords) {
  EXPECT_EQ(db.Run("delete from cqsalebill where FInterID=1"), 2);
  EXPECT_EQ(db.Rows("select FInterID from cqsalebill order by FInterID"), (Rows{"2", "3"}));
  EXPECT_EQ(db.Run("delete from cqsalebill where FInterID=1"), 0);
  EXPECT_EQ(db.Run("delete from cqsalebill"), 2);
  EXPECT_TRUE(db.Rows("select * from cqsalebill").empty());
}

TEST_F(QueryExecTest, InsertFromAQueryAndInto) {
  EXPECT_EQ(db.Run("insert into cqsalebill(FInterID, fbillno) select FInterID + 10, fbillno from cqsalebill"), 4);
  EXPECT_EQ(db.Rows("select count(*) as n from cqsalebill where FInterID > 10"), (Rows{"4"}));
  db.Run("select fcs, sum(famount) as total into totals from cqsalebill group by fcs");
  EXPECT_EQ(db.Rows("select * from totals order by fcs"), (Rows{"NULL|NULL", "甲公司|10", "乙公司|10"}));
}

TEST_F(QueryExecTest, RolledBackChangesAreGone) {
  db.Run("start transaction");
  db.Run("delete from cqsalebill where FInterID=1");
  db.Run("insert into cqsalebill(FInterID) values(7)");
  EXPECT_EQ(db.Rows("select count(*) as n from cqsalebill"), (Rows{"3"}));
  db.Run("rollback");
  EXPECT_EQ(db.Rows("select FInterID from cqsalebill order by FInterID"), (Rows{"1", "1", "2", "3"}));
  db.Run("start transaction; update cqsalebill set fcs='丁' where FInterID=2; commit");
  EXPECT_EQ(db.Rows("select fcs from cqsalebill where FInterID=2"), (Rows{"丁"}));
}

}  // namespace
}  // namespace krx
