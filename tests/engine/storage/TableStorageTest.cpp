// Tables in a database file: record layout and pages, create and reopen,
// physical and index order, autoincrement, constraints, and a randomised
// run against an in-memory model.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxLocale.h"
#include "KrxTableDataDisk.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

using A = TKrxAdvancedType;

class TableStorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.File("tables.krx");
    db_ = TKrxDiskDatabaseData::Acquire(path_);
    db_->CreateDatabase({}, 8, 4096, 16);
  }
  void TearDown() override {
    if (db_ && db_->IsOpen()) db_->Close();
  }

  void Reopen() {
    db_->Close();
    db_.reset();
    db_ = TKrxDiskDatabaseData::Acquire(path_);
    bool multiUser = false, readOnly = false;
    db_->Open({}, multiUser, false, readOnly);
  }

  std::shared_ptr<TKrxDiskTableData> Open(const std::string& name, TKrxCursor& cursor) {
    auto table = TKrxDiskTableData::OpenTable(*db_, name);
    table->Attach(cursor);
    return table;
  }

  void Insert(TKrxDiskTableData& t, TKrxCursor& c, const std::vector<TKrxVariant>& values) {
    t.PrepareNewRecord(c);
    for (size_t i = 0; i < values.size(); ++i) t.SetField(c, static_cast<int>(i), values[i]);
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

  test::TempDir dir_;
  std::string path_;
  std::shared_ptr<TKrxDiskDatabaseData> db_;
};

TEST_F(TableStorageTest, RecordSizesAndRecordsPerPage) {
  TKrxTableDefinition one;
  one.fields.Add("FID", A::Integer);
  TKrxDiskTableData::CreateTable(*db_, "T1", one);
  TKrxCursor c;
  auto t = Open("T1", c);
  EXPECT_EQ(t->DiskRecordSize(), 5u);
  EXPECT_EQ(t->RecordsPerPage(), 791);

  TKrxFieldDefs f;
  f.Add("A", A::FixedChar, 10);
  f.Add("B", A::FixedWideChar, 10);
  f.Add("C", A::Blob);
  f.Layout();
  EXPECT_EQ(f[0].diskSize, 11u);
  EXPECT_EQ(f[1].diskSize, 22u);
  EXPECT_EQ(f[2].diskSize, 6u);
  EXPECT_EQ(f[2].memorySize, 10u);
  EXPECT_EQ(f.DiskRecordSize(), 1u + 11 + 22 + 6);

  TKrxTableDefinition huge;
  huge.fields.Add("BIG", A::FixedChar, 5000);
  EXPECT_EQ(ErrorOf([&] { TKrxDiskTableData::CreateTable(*db_, "T2", huge); }),
            "Cannot create table. Record is too large to fit in current database page. Please increase page size of "
            "database file or decrease record size");
  EXPECT_EQ(ErrorOf([&] { TKrxDiskTableData::CreateTable(*db_, "T1", one); }),
            "Cannot create table. Table 'T1' already exists");
  EXPECT_EQ(ErrorOf([&] { TKrxDiskTableData::CreateTable(*db_, "T3", TKrxTableDefinition{}); }),
            "Error creating table - no fields were specified");
  EXPECT_EQ(ErrorOf([&] { TKrxDiskTableData::OpenTable(*db_, "NOPE"); }), "Table 'NOPE' not exists.");
}

TEST_F(TableStorageTest, RecordsSurviveReopenInPhysicalAndIndexOrder) {
  TKrxTableDefinition def;
  def.fields.Add("FID", A::Integer);
  def.fields.Add("FNAME", A::String, 20);
  def.fields.Add("FDATE", A::Date);
  def.indexes.push_back(KrxIndexDefFromLists("i$fname", "FNAME", "", "", false, false));
  TKrxDiskTableData::CreateTable(*db_, "cqbill", def);
  const char* names[] = {"铜芯", "abc", "Zeta", "电缆", "ABC"};
  {
    TKrxCursor c;
    auto t = Open("cqbill", c);
    for (int i = 0; i < 5; ++i)
      Insert(*t, c, {TKrxVariant::FromInt32(i), TKrxVariant::FromUtf8(names[i]), TKrxVariant::FromDate(700000 + i)});
    t->Detach(c);
  }
  Reopen();
  TKrxCursor c;
  auto t = Open("CQBILL", c);
  EXPECT_EQ(t->RecordCount(c), 5);
  std::vector<int> physical;
  for (int r = t->ReadRecord(c, TKrxReadMode::First); r == kKrxRecordFound; r = t->ReadRecord(c, TKrxReadMode::Next))
    physical.push_back(t->GetField(c, 0).AsInt32());
  EXPECT_EQ(physical, (std::vector<int>{0, 1, 2, 3, 4}));
  EXPECT_EQ(c.position, TKrxCursorPosition::AfterLast);
  EXPECT_EQ(t->ReadRecord(c, TKrxReadMode::Prior), kKrxRecordFound);
  EXPECT_EQ(t->GetField(c, 0).AsInt32(), 4);
  EXPECT_EQ(t->GetField(c, 2).AsDate(), 700004);

  t->SetActiveIndex(c, "i$fname");
  std::vector<std::string> ordered;
  for (int r = t->ReadRecord(c, TKrxReadMode::First); r == kKrxRecordFound; r = t->ReadRecord(c, TKrxReadMode::Next))
    ordered.push_back(t->GetField(c, 1).AsUtf8());
  EXPECT_EQ(ordered, (std::vector<std::string>{"abc", "ABC", "Zeta", "电缆", "铜芯"}));
  ASSERT_TRUE(t->LocateByKey(c, {TKrxVariant::FromUtf8("电缆")}));
  EXPECT_EQ(t->GetField(c, 0).AsInt32(), 3);
  EXPECT_EQ(t->GetRecordNumber(c), 4);
  t->GoToRecordNumber(c, 99);
  EXPECT_EQ(t->GetField(c, 1).AsUtf8(), "铜芯");
  EXPECT_FALSE(t->LocateByKey(c, {TKrxVariant::FromString("nothing")}));
  t->SetActiveIndex(c, "");
  EXPECT_EQ(ErrorOf([&] { t->LocateByKey(c, {TKrxVariant::FromInt32(1)}); }),
            "No active index is set for Key search. Set Table.IndexName to the index on search fields.");
}

TEST_F(TableStorageTest, DeletingTheLastRecordOfAPageDropsThePage) {
  TKrxTableDefinition def;
  def.fields.Add("FID", A::Integer);
  TKrxDiskTableData::CreateTable(*db_, "T", def);
  TKrxCursor c;
  auto t = Open("T", c);
  for (int i = 0; i < 792; ++i) Insert(*t, c, {TKrxVariant::FromInt32(i)});  // two pages
  int32_t secondPage = c.recordID.pageNo;
  EXPECT_EQ(c.recordID.slot, 0);
  t->DeleteRecord(c);
  EXPECT_EQ(c.position, TKrxCursorPosition::OnRecord);  // on the prior record
  EXPECT_EQ(t->GetField(c, 0).AsInt32(), 790);
  TKrxBTreeRecordPageIndex index(db_->PageManager(), t->RecordPageIndexRoot(), 791);
  int count;
  EXPECT_FALSE(index.FindPage(0, secondPage, count));
  EXPECT_EQ(index.SumCounts(0), 791);
  t->CheckRecordPageIndex(0);
  // The next insert needs a fresh page again.
  Insert(*t, c, {TKrxVariant::FromInt32(1000)});
  EXPECT_EQ(c.recordID.slot, 0);
  EXPECT_TRUE(index.FindPage(0, c.recordID.pageNo, count));
  EXPECT_EQ(count, 1);
}

TEST_F(TableStorageTest, AutoincrementMaximumWithAndWithoutCycle) {
  for (bool cycle : {false, true}) {
    TKrxTableDefinition def;
    TKrxFieldDef& f = def.fields.Add("FID", A::AutoInc);
    f.autoincMaximum = 3;
    f.autoincCycle = cycle;
    def.fields.Add("FNAME", A::String, 10);
    std::string name = cycle ? "CYC" : "NOCYC";
    TKrxDiskTableData::CreateTable(*db_, name, def);
    TKrxCursor c;
    auto t = Open(name, c);
    for (int i = 1; i <= 3; ++i) {
      Insert(*t, c, {TKrxVariant(), TKrxVariant::FromString("x")});
      EXPECT_EQ(t->GetField(c, 0).AsInt32(), i);
    }
    EXPECT_EQ(t->LastAutoIncValue(0, 0), 3);
    if (!cycle) {
      EXPECT_EQ(ErrorOf([&] { Insert(*t, c, {TKrxVariant(), TKrxVariant::FromString("x")}); }),
                "Autoinc max value exceeded for field 'FID'");
      EXPECT_EQ(t->RecordCount(c), 3);
    } else {
      Insert(*t, c, {TKrxVariant(), TKrxVariant::FromString("x")});
      EXPECT_EQ(t->GetField(c, 0).AsInt32(), 0);
    }
    EXPECT_EQ(ErrorOf([&] { t->LastAutoIncValue(5, 0); }),
              "No SequenceLastValue in session for sequence 'FID'. Call GetNextVal first");
  }
  // An explicit value raises the current value; it survives reopening.
  TKrxTableDefinition def;
  def.fields.Add("FID", A::AutoInc);
  TKrxDiskTableData::CreateTable(*db_, "RAISE", def);
  {
    TKrxCursor c;
    auto t = Open("RAISE", c);
    Insert(*t, c, {TKrxVariant::FromInt32(40)});
    t->Detach(c);
  }
  Reopen();
  TKrxCursor c;
  auto t = Open("RAISE", c);
  Insert(*t, c, {TKrxVariant()});
  EXPECT_EQ(t->GetField(c, 0).AsInt32(), 41);
}

TEST_F(TableStorageTest, DefaultValuesAreGivenWhenARecordIsPrepared) {
  TKrxTableDefinition def;
  def.fields.Add("FQTY", A::Integer).defaultValue = TKrxVariant::FromInt32(5);
  def.fields.Add("FUNIT", A::String, 10).defaultValue = TKrxVariant::FromString("\"m\"");
  def.fields.Add("FDAY", A::Date).defaultValue = TKrxVariant::FromString("current_date");
  def.fields.Add("FWHEN", A::DateTime).defaultValue = TKrxVariant::FromString("'NOW'");
  def.fields.Add("FNOTE", A::String, 10);
  TKrxDiskTableData::CreateTable(*db_, "D", def);
  Reopen();  // defaults come back from the metadata file
  TKrxCursor c;
  auto t = Open("D", c);
  TKrxTimeStamp before = KrxNow();
  t->PrepareNewRecord(c);
  t->InsertRecord(c);
  ASSERT_EQ(t->ReadRecord(c, TKrxReadMode::First), kKrxRecordFound);
  EXPECT_EQ(t->GetField(c, 0).AsInt32(), 5);
  EXPECT_EQ(t->GetField(c, 1).AsString(), "m");
  EXPECT_GE(t->GetField(c, 2).AsDate(), before.date);
  EXPECT_EQ(t->GetField(c, 2).Type(), TKrxStorageType::Date);
  EXPECT_GE(t->GetField(c, 3).AsTimeStamp().date, before.date);
  EXPECT_TRUE(t->GetField(c, 4).IsNull());
}

TEST_F(TableStorageTest, ConstraintsAndTheirMessages) {
  TKrxTableDefinition def;
  def.fields.Add("FA", A::Integer);
  def.fields.Add("FB", A::String, 10);
  def.fields.Add("FQTY", A::Double);
  def.indexes.push_back(KrxIndexDefFromLists("C_PK$FA$FB", "FA;FB", "", "", true, true));
  auto pk = std::make_unique<TKrxConstraintDefPrimary>();
  pk->name = "PK_T";
  pk->columns = {{0, "FA"}, {1, "FB"}};
  def.constraints.push_back(std::move(pk));
  auto notNull = std::make_unique<TKrxConstraintDefNotNull>();
  notNull->name = KrxConstraintName(TKrxConstraintType::NotNull, "T", "FQTY", {});
  notNull->references[1].name = "T";
  notNull->references[2].name = "FQTY";
  EXPECT_EQ(notNull->name, "$C_NotNull$T$FQTY");
  EXPECT_NE(KrxConstraintName(TKrxConstraintType::NotNull, "T", "FQTY", {"$C_NOTNULL$T$FQTY"}), "$C_NotNull$T$FQTY");
  def.constraints.push_back(std::move(notNull));
  auto check = std::make_unique<TKrxConstraintDefCheck>();
  check->name = "CHK";
  check->references[2].name = "FQTY";
  check->minimum = TKrxVariant::FromDouble(0);
  check->maximum = TKrxVariant::FromDouble(100);
  def.constraints.push_back(std::move(check));
  TKrxDiskTableData::CreateTable(*db_, "T", def);
  Reopen();  // the definitions come back from the metadata file

  TKrxCursor c;
  auto t = Open("T", c);
  ASSERT_EQ(t->Constraints().size(), 3u);
  EXPECT_EQ(t->Constraints()[1]->name, "$C_NotNull$T$FQTY");
  auto q = [](double v) { return TKrxVariant::FromDouble(v); };
  Insert(*t, c, {TKrxVariant::FromInt32(1), TKrxVariant(), q(1)});  // one key field NULL is fine
  Insert(*t, c, {TKrxVariant(), TKrxVariant::FromString("b"), q(1)});
  struct Case {
    std::vector<TKrxVariant> values;
    const char* message;
  };
  const Case kCases[] = {
      {{TKrxVariant(), TKrxVariant(), q(1)}, "Constraint 'PK_T' violated. Value in field 'FA,FB' cannot be null"},
      {{TKrxVariant::FromInt32(1), TKrxVariant(), q(5)}, "Primary Key constraint 'PK_T' violated. Duplicate found."},
      {{TKrxVariant::FromInt32(2), TKrxVariant(), TKrxVariant()},
       "Constraint '$C_NotNull$T$FQTY' violated. Value in field 'FQTY' cannot be null"},
      {{TKrxVariant::FromInt32(3), TKrxVariant(), q(-1)},
       "Constraint 'CHK' violated. Value in field 'FQTY' cannot be lower than '0'"},
      {{TKrxVariant::FromInt32(4), TKrxVariant(), q(100.5)},
       "Constraint 'CHK' violated. Value in field 'FQTY' cannot be greater than '100'"},
  };
  for (const Case& k : kCases) EXPECT_EQ(ErrorOf([&] { Insert(*t, c, k.values); }), k.message);
  EXPECT_EQ(t->RecordCount(c), 2);
  // Updating a record to its own key is no duplicate; to another's is.
  ASSERT_EQ(t->ReadRecord(c, TKrxReadMode::First), kKrxRecordFound);
  t->SetField(c, 2, q(50));
  t->UpdateRecord(c);
  t->SetField(c, 0, TKrxVariant());
  t->SetField(c, 1, TKrxVariant::FromString("b"));
  EXPECT_EQ(ErrorOf([&] { t->UpdateRecord(c); }), "Primary Key constraint 'PK_T' violated. Duplicate found.");
}

TEST_F(TableStorageTest, RandomisedChangesMatchAModelAcrossReopen) {
  TKrxTableDefinition def;
  def.fields.Add("FID", A::Integer);
  def.fields.Add("FNAME", A::FixedChar, 50);
  def.fields.Add("FQTY", A::Double);
  def.indexes.push_back(KrxIndexDefFromLists("PK", "FID", "", "", true, true));
  def.indexes.push_back(KrxIndexDefFromLists("i$fname", "FNAME", "", "NO_CASE", false, false));
  def.indexes.push_back(KrxIndexDefFromLists("i$fqty", "FQTY;FID", "DESC;ASC", "", false, false));
  TKrxDiskTableData::CreateTable(*db_, "R", def);

  struct Row {
    int id;
    std::string name;
    double qty;
    bool qtyNull;
  };
  std::map<int, Row> model;
  std::mt19937 rng(12345);
  auto randomName = [&] {
    // Long shared prefixes exercise truncated key parts.
    std::string s = std::string(rng() % 4 == 0 ? 21 : 3, 'p') + (rng() % 2 ? "A" : "a") + std::to_string(rng() % 300);
    return s;
  };

  auto verify = [&](TKrxDiskTableData& t, TKrxCursor& c) {
    EXPECT_EQ(t.RecordCount(c), static_cast<int64_t>(model.size()));
    t.CheckRecordPageIndex(0);
    t.CheckIndexes(0);
    for (int indexNo = 0; indexNo < 3; ++indexNo) {
      t.SetActiveIndex(c, t.IndexDefs()[indexNo].name);
      std::vector<Row> seen;
      for (int r = t.ReadRecord(c, TKrxReadMode::First); r == kKrxRecordFound; r = t.ReadRecord(c, TKrxReadMode::Next)) {
        TKrxVariant qty = t.GetField(c, 2);
        seen.push_back({t.GetField(c, 0).AsInt32(), t.GetField(c, 1).AsString(), qty.IsNull() ? 0 : qty.AsDouble(),
                        qty.IsNull()});
      }
      ASSERT_EQ(seen.size(), model.size()) << indexNo;
      for (size_t i = 0; i + 1 < seen.size(); ++i) {
        const Row& a = seen[i];
        const Row& b = seen[i + 1];
        if (indexNo == 0) {
          ASSERT_LT(a.id, b.id);
        } else if (indexNo == 1) {
          ASSERT_LE(KrxCompareStrings(a.name, b.name, true), 0) << a.name << " / " << b.name;
        } else {
          // Descending quantity: NULLs last; equal quantities by FID.
          bool ordered = (a.qtyNull == b.qtyNull) ? (a.qtyNull || a.qty > b.qty || (a.qty == b.qty && a.id < b.id))
                                                  : b.qtyNull;
          if (a.qtyNull && b.qtyNull) ordered = a.id < b.id;
          ASSERT_TRUE(ordered) << a.id << " " << b.id;
        }
      }
      for (const Row& r : seen) {
        const Row& m = model.at(r.id);
        ASSERT_EQ(r.name, m.name);
        ASSERT_EQ(r.qtyNull, m.qtyNull);
        if (!m.qtyNull) ASSERT_EQ(r.qty, m.qty);
      }
    }
    t.SetActiveIndex(c, "");
  };

  {
    TKrxCursor c;
    c.inTransaction = true;
    auto t = Open("R", c);
    auto setRow = [&](const Row& r) {
      t->SetField(c, 0, TKrxVariant::FromInt32(r.id));
      t->SetField(c, 1, TKrxVariant::FromString(r.name));
      t->SetField(c, 2, r.qtyNull ? TKrxVariant() : TKrxVariant::FromDouble(r.qty));
    };
    // Phase 1: inserts.
    for (int i = 0; i < 12000; ++i) {
      Row r{static_cast<int>(rng() % 1000000), randomName(), double(rng() % 50), rng() % 10 == 0};
      if (model.count(r.id)) continue;
      t->PrepareNewRecord(c);
      setRow(r);
      t->InsertRecord(c);
      model[r.id] = r;
    }
    t->Commit(0, false);
    db_->Commit(0, false);
    verify(*t, c);
    // Phase 2: updates through the primary key.
    t->SetActiveIndex(c, "PK");
    for (int i = 0; i < 6000; ++i) {
      auto it = model.begin();
      std::advance(it, rng() % model.size());
      ASSERT_TRUE(t->LocateByKey(c, {TKrxVariant::FromInt32(it->first)}));
      Row r = it->second;
      r.name = randomName();
      r.qtyNull = rng() % 10 == 0;
      r.qty = double(rng() % 50);
      setRow(r);
      t->UpdateRecord(c);
      it->second = r;
    }
    db_->Commit(0, false);
    verify(*t, c);
    // Phase 3: deletes, most of the table.
    t->SetActiveIndex(c, "PK");
    for (int i = 0; i < 9000 && !model.empty(); ++i) {
      auto it = model.begin();
      std::advance(it, rng() % model.size());
      ASSERT_TRUE(t->LocateByKey(c, {TKrxVariant::FromInt32(it->first)}));
      t->DeleteRecord(c);
      model.erase(it);
    }
    db_->Commit(0, false);
    verify(*t, c);
    t->Detach(c);
  }
  Reopen();
  TKrxCursor c;
  auto t = Open("R", c);
  verify(*t, c);
}

TEST_F(TableStorageTest, TemporaryIndexesFollowChangesAndAreNotStored) {
  TKrxTableDefinition def;
  def.fields.Add("FID", A::Integer);
  def.fields.Add("FNAME", A::String, 10);
  TKrxDiskTableData::CreateTable(*db_, "TMP", def);
  {
    TKrxCursor c;
    auto t = Open("TMP", c);
    for (const char* n : {"d", "b"}) Insert(*t, c, {TKrxVariant::FromInt32(1), TKrxVariant::FromString(n)});
    std::string name = t->AddTemporaryIndex(0, {{"FNAME", true, false, 20}});
    EXPECT_EQ(name.rfind("TEMPORARY_INDEX_{", 0), 0u);
    EXPECT_EQ(name.size(), 16u + 38u);
    for (const char* n : {"a", "c"}) Insert(*t, c, {TKrxVariant::FromInt32(2), TKrxVariant::FromString(n)});
    ASSERT_EQ(t->ReadRecord(c, TKrxReadMode::First), kKrxRecordFound);
    t->DeleteRecord(c);  // "d"
    t->SetActiveIndex(c, name);
    std::string order;
    for (int r = t->ReadRecord(c, TKrxReadMode::First); r == kKrxRecordFound; r = t->ReadRecord(c, TKrxReadMode::Next))
      order += t->GetField(c, 1).AsString();
    EXPECT_EQ(order, "cba");
    t->CheckIndexes(0);
    t->Detach(c);
  }
  Reopen();
  TKrxCursor c;
  auto t = Open("TMP", c);
  EXPECT_TRUE(t->IndexDefs().empty());
}

TEST_F(TableStorageTest, DropRenameEmptyAndIndexChanges) {
  TKrxTableDefinition def;
  def.fields.Add("FID", A::Integer);
  def.fields.Add("FNAME", A::String, 10);
  TKrxDiskTableData::CreateTable(*db_, "A", def);
  {
    TKrxCursor c;
    auto t = Open("A", c);
    for (int i = 0; i < 10; ++i) Insert(*t, c, {TKrxVariant::FromInt32(9 - i), TKrxVariant::FromString("n")});
    EXPECT_EQ(ErrorOf([&] { TKrxDiskTableData::DropTable(*db_, "A"); }),
              "Cannot delete table 'A'. Table is open by another dataset");
    EXPECT_EQ(ErrorOf([&] { TKrxDiskTableData::RenameTable(*db_, "A", "B"); }),
              "Cannot rename table 'A'. Table is open by another dataset");
    t->AddIndex(0, KrxIndexDefFromLists("BYID", "FID", "", "", false, false));
    t->SetActiveIndex(c, "BYID");
    ASSERT_EQ(t->ReadRecord(c, TKrxReadMode::First), kKrxRecordFound);
    EXPECT_EQ(t->GetField(c, 0).AsInt32(), 0);
    EXPECT_EQ(ErrorOf([&] { t->RenameField(0, "FID", "fname"); }),
              "Cannot rename field 'FID'. Field 'fname' already exists");
    EXPECT_EQ(ErrorOf([&] { t->RenameField(0, "NOPE", "X"); }), "Field 'NOPE' not found");
    t->RenameField(0, "FID", "FCODE");
    t->DropIndex(0, "BYID");
    EXPECT_EQ(c.activeIndex, -1);
    EXPECT_EQ(ErrorOf([&] { t->DropIndex(0, "BYID"); }), "Index not found");
    t->Empty(0);
    EXPECT_EQ(t->RecordCount(c), 0);
    EXPECT_EQ(t->ReadRecord(c, TKrxReadMode::First), kKrxTableEmpty);
    t->Detach(c);
  }
  TKrxDiskTableData::RenameTable(*db_, "A", "B");
  EXPECT_FALSE(TKrxDiskTableData::TableExists(*db_, "A"));
  Reopen();
  {
    TKrxCursor c;
    auto t = Open("B", c);
    EXPECT_EQ(t->Fields()[0].name, "FCODE");
    EXPECT_TRUE(t->IndexDefs().empty());
    t->Detach(c);
  }
  TKrxDiskTableData::DropTable(*db_, "B");
  EXPECT_FALSE(TKrxDiskTableData::TableExists(*db_, "B"));
  Reopen();
  EXPECT_FALSE(TKrxDiskTableData::TableExists(*db_, "B"));
}

}  // namespace
}  // namespace krx
