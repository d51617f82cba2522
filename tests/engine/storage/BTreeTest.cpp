// B+-trees on index pages: record keys, their order, splits and merges, and
// the page index's lookups.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "KrxBTree.h"
#include "KrxBTreePageIndex.h"
#include "KrxDiskPageManager.h"
#include "KrxException.h"
#include "KrxFieldDef.h"
#include "KrxLocale.h"
#include "KrxRecordKeyRef.h"
#include "KrxTempDir.h"

namespace krx {
namespace {

using A = TKrxAdvancedType;

class BTreeTest : public ::testing::Test {
 protected:
  void SetUp() override { pm_.CreateDatabaseFile(dir_.File("tree.krx"), {}, 8, 4096); }

  // A record buffer with one value per field.
  std::vector<uint8_t> Record(const std::vector<TKrxVariant>& values) {
    std::vector<uint8_t> r = KrxNewRecordBuffer(fields_);
    for (size_t i = 0; i < values.size(); ++i) KrxSetRecordField(fields_, r.data(), static_cast<int>(i), values[i]);
    return r;
  }

  void InsertRecord(TKrxBTree& tree, const TKrxRecordKeyRef& keys, const std::vector<uint8_t>& record,
                    TKrxRecordID id) {
    std::vector<uint8_t> key(keys.KeyLength()), full(keys.FullKeyLength());
    keys.BuildKey(record.data(), key.data(), full.data());
    uint8_t ref[6];
    KrxPutRecordID(ref, 0, id);
    tree.Insert(0, {key.data(), full.data(), ref}, ref);
    records_[id] = record;
  }

  void DeleteRecord(TKrxBTree& tree, const TKrxRecordKeyRef& keys, TKrxRecordID id) {
    const std::vector<uint8_t>& record = records_.at(id);
    std::vector<uint8_t> key(keys.KeyLength()), full(keys.FullKeyLength());
    keys.BuildKey(record.data(), key.data(), full.data());
    uint8_t ref[6];
    KrxPutRecordID(ref, 0, id);
    tree.Delete(0, {key.data(), full.data(), ref});
    records_.erase(id);
  }

  std::vector<TKrxRecordID> IdsInOrder(TKrxBTree& tree) {
    std::vector<TKrxRecordID> ids;
    tree.ForEach(0, [&](const uint8_t*, const uint8_t* ref) {
      ids.push_back(KrxGetRecordID(ref, 0));
      return true;
    });
    return ids;
  }

  void UseFullKeyReader(TKrxRecordKeyRef& keys) {
    keys.SetFullKeyReader([this, &keys](const TKrxRecordID& id, uint8_t* full) {
      auto it = records_.find(id);
      if (it == records_.end()) return false;
      std::vector<uint8_t> key(keys.KeyLength());
      keys.BuildKey(it->second.data(), key.data(), full);
      return true;
    });
  }

  test::TempDir dir_;
  TKrxDiskPageManager pm_;
  TKrxFieldDefs fields_;
  std::map<TKrxRecordID, std::vector<uint8_t>> records_;
};

TEST_F(BTreeTest, IntegerIndexHas367LeafEntriesPerPageAndTheRootStaysInPlace) {
  fields_.Add("FID", A::Integer);
  fields_.Layout();
  TKrxRecordKeyRef keys(fields_, {{0, false, false, 20}});
  EXPECT_EQ(keys.KeyLength(), 5u);
  int32_t root = TKrxBTree::CreateRoot(pm_, 0, 5);
  TKrxBTree tree(pm_, keys, root);
  EXPECT_EQ(tree.LeafEntrySize(), 11u);
  EXPECT_EQ(tree.LeafCapacity(), 367u);
  for (int i = 0; i < 367; ++i) InsertRecord(tree, keys, Record({TKrxVariant::FromInt32(i)}), {100, uint16_t(i)});
  EXPECT_EQ(tree.Height(0), 1);
  InsertRecord(tree, keys, Record({TKrxVariant::FromInt32(-1)}), {100, 999});
  EXPECT_EQ(tree.Height(0), 2);
  EXPECT_EQ(tree.RootPageNo(), root);
  EXPECT_EQ(tree.PageCount(0), 3);
  tree.Check(0);
  std::vector<TKrxRecordID> ids = IdsInOrder(tree);
  ASSERT_EQ(ids.size(), 368u);
  EXPECT_EQ(ids.front().slot, 999);
  EXPECT_EQ(ids.back().slot, 366);
}

TEST_F(BTreeTest, RandomChangesKeepOrderAndDeletingAllKeepsTheHeight) {
  fields_.Add("FCODE", A::Integer);
  fields_.Add("FNAME", A::String, 30);
  fields_.Layout();
  TKrxRecordKeyRef keys(fields_, {{0, false, false, 20}, {1, true, false, 20}});
  UseFullKeyReader(keys);
  TKrxBTree tree(pm_, keys, TKrxBTree::CreateRoot(pm_, 0, static_cast<uint16_t>(keys.KeyLength())));
  std::mt19937 rng(7);
  uint16_t nextSlot = 0;
  int32_t page = 50;
  for (int i = 0; i < 6000; ++i) {
    if (!records_.empty() && rng() % 4 == 0) {
      auto it = records_.begin();
      std::advance(it, rng() % records_.size());
      DeleteRecord(tree, keys, it->first);
    } else {
      if (nextSlot == 700) nextSlot = 0, ++page;
      std::string name = "n" + std::to_string(rng() % 50);
      InsertRecord(tree, keys,
                   Record({TKrxVariant::FromInt32(static_cast<int32_t>(rng() % 100)), TKrxVariant::FromString(name)}),
                   {page, nextSlot++});
    }
  }
  tree.Check(0);
  // Expected order: code ascending, name descending, then record ID.
  std::vector<TKrxRecordID> expected;
  for (const auto& [id, record] : records_) expected.push_back(id);
  std::sort(expected.begin(), expected.end(), [&](const TKrxRecordID& a, const TKrxRecordID& b) {
    int ca = KrxGetRecordField(fields_, records_[a].data(), 0).AsInt32();
    int cb = KrxGetRecordField(fields_, records_[b].data(), 0).AsInt32();
    if (ca != cb) return ca < cb;
    int n = KrxCompareStrings(KrxGetRecordField(fields_, records_[a].data(), 1).AsString(),
                              KrxGetRecordField(fields_, records_[b].data(), 1).AsString());
    if (n != 0) return n > 0;
    return a < b;
  });
  EXPECT_EQ(IdsInOrder(tree), expected);

  int height = tree.Height(0);
  int64_t pages = tree.PageCount(0);
  ASSERT_GE(height, 2);
  while (!records_.empty()) DeleteRecord(tree, keys, records_.begin()->first);
  tree.Check(0);
  EXPECT_EQ(tree.EntryCount(0), 0);
  EXPECT_EQ(tree.Height(0), height);
  EXPECT_LT(tree.PageCount(0), pages);
  TKrxKeyPath path;
  EXPECT_FALSE(tree.First(0, path));
  EXPECT_THROW(tree.PathOfEntryNumber(0, 0, path), EKrxException);
}

TEST_F(BTreeTest, TruncatedCharKeysAreOrderedByTheirFullValues) {
  fields_.Add("FNAME", A::FixedChar, 50);
  fields_.Layout();
  TKrxRecordKeyRef keys(fields_, {{0, false, false, 20}});
  EXPECT_EQ(keys.KeyLength(), 23u);
  EXPECT_TRUE(keys.HasTruncatedParts());
  UseFullKeyReader(keys);
  TKrxBTree tree(pm_, keys, TKrxBTree::CreateRoot(pm_, 0, 23));
  const std::string prefix(22, 'x');
  // Inserted so that record IDs run against the full values.
  InsertRecord(tree, keys, Record({TKrxVariant::FromString(prefix + "c")}), {1, 0});
  InsertRecord(tree, keys, Record({TKrxVariant::FromString(prefix + "a")}), {1, 1});
  InsertRecord(tree, keys, Record({TKrxVariant::FromString(prefix + "b")}), {1, 2});
  EXPECT_EQ(IdsInOrder(tree), (std::vector<TKrxRecordID>{{1, 1}, {1, 2}, {1, 0}}));
  // A lookup by the full value finds exactly its record.
  std::vector<uint8_t> key(23), full(keys.FullKeyLength());
  keys.BuildKey(Record({TKrxVariant::FromString(prefix + "b")}).data(), key.data(), full.data());
  TKrxKeyPath path;
  ASSERT_TRUE(tree.Find(0, {key.data(), full.data(), nullptr}, TKrxFindMode::First, path));
  uint8_t ref[6];
  tree.ReadEntry(0, path, nullptr, ref);
  EXPECT_EQ(KrxGetRecordID(ref, 0), (TKrxRecordID{1, 2}));
}

TEST_F(BTreeTest, CaseInsensitiveColumnTreatsCasesAsEqualAndOrdersThemByRecordID) {
  fields_.Add("FNAME", A::String, 10);
  fields_.Layout();
  TKrxRecordKeyRef keys(fields_, {{0, false, true, 20}});
  TKrxBTree tree(pm_, keys, TKrxBTree::CreateRoot(pm_, 0, static_cast<uint16_t>(keys.KeyLength())));
  InsertRecord(tree, keys, Record({TKrxVariant::FromString("abc")}), {3, 5});
  InsertRecord(tree, keys, Record({TKrxVariant::FromString("ABC")}), {3, 1});
  InsertRecord(tree, keys, Record({TKrxVariant::FromString("abd")}), {3, 0});
  EXPECT_EQ(IdsInOrder(tree), (std::vector<TKrxRecordID>{{3, 1}, {3, 5}, {3, 0}}));
  std::vector<uint8_t> a(keys.KeyLength()), b(keys.KeyLength());
  keys.BuildKey(Record({TKrxVariant::FromString("abc")}).data(), a.data(), nullptr);
  keys.BuildKey(Record({TKrxVariant::FromString("ABC")}).data(), b.data(), nullptr);
  EXPECT_EQ(keys.CompareStored(a.data(), b.data()), 0);
  // Both are found as equal keys: first and last differ.
  TKrxKeyPath first, last;
  ASSERT_TRUE(tree.Find(0, {a.data(), nullptr, nullptr}, TKrxFindMode::First, first));
  ASSERT_TRUE(tree.Find(0, {a.data(), nullptr, nullptr}, TKrxFindMode::Last, last));
  EXPECT_EQ(tree.EntryNumber(0, first), 0);
  EXPECT_EQ(tree.EntryNumber(0, last), 1);
}

TEST_F(BTreeTest, NullsComeFirstAscendingAndLastDescending) {
  fields_.Add("FQTY", A::Double);
  fields_.Layout();
  for (bool descending : {false, true}) {
    TKrxRecordKeyRef keys(fields_, {{0, descending, false, 20}});
    TKrxBTree tree(pm_, keys, TKrxBTree::CreateRoot(pm_, 0, 9));
    records_.clear();
    InsertRecord(tree, keys, Record({TKrxVariant::FromDouble(-1.5)}), {1, 0});
    InsertRecord(tree, keys, Record({TKrxVariant()}), {1, 1});
    InsertRecord(tree, keys, Record({TKrxVariant::FromDouble(2)}), {1, 2});
    std::vector<TKrxRecordID> expected = {{1, 1}, {1, 0}, {1, 2}};
    if (descending) expected = {{1, 2}, {1, 0}, {1, 1}};
    EXPECT_EQ(IdsInOrder(tree), expected) << descending;
  }
}

TEST_F(BTreeTest, DeletingAMissingEntryAndIndexingABlobAreRefused) {
  fields_.Add("FID", A::Integer);
  fields_.Add("FMEMO", A::Memo);
  fields_.Layout();
  try {
    TKrxRecordKeyRef bad(fields_, {{1, false, false, 20}});
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message().rfind("Cannot index BLOB field 'FMEMO'. Direct indexing", 0), 0u);
  }
  TKrxRecordKeyRef keys(fields_, {{0, false, false, 20}});
  TKrxBTree tree(pm_, keys, TKrxBTree::CreateRoot(pm_, 0, 5));
  records_[{1, 1}] = Record({TKrxVariant::FromInt32(4)});
  try {
    DeleteRecord(tree, keys, {1, 1});
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Index error: cannot delete entry. Entry not found");
  }
}

TEST_F(BTreeTest, PageIndexLooksForRoomOnlyInTheFirstAndLastLeaf) {
  TKrxBTreeRecordPageIndex index(pm_, -1, 10);
  index.Create(0);
  // Enough pages for three leaves (367 entries of 6 bytes fit 672 a leaf).
  const int kPages = 1500;
  for (int p = 0; p < kPages; ++p) index.Add(0, 1000 + p, 10);
  ASSERT_GE(index.Tree().Height(0), 2);
  EXPECT_EQ(index.FindPageWithRoom(0, 1), -1);
  index.Subtract(0, 1000 + kPages / 2, 3);  // a middle leaf
  EXPECT_EQ(index.FindPageWithRoom(0, 1), -1);
  index.Subtract(0, 1001, 1);  // first leaf
  EXPECT_EQ(index.FindPageWithRoom(0, 1), 1001);
  index.Subtract(0, 1000 + kPages - 2, 1);  // last leaf wins, from its end
  EXPECT_EQ(index.FindPageWithRoom(0, 1), 1000 + kPages - 2);
  EXPECT_EQ(index.SumCounts(0), int64_t(kPages) * 10 - 5);
  int32_t page;
  int occurrence;
  ASSERT_TRUE(index.PageOfNumber(0, 25, page, occurrence));
  EXPECT_EQ(page, 1002);  // 10 + 9 before it
  EXPECT_EQ(occurrence, 6);
  EXPECT_EQ(index.CountBefore(0, 1002), 19);
  try {
    index.Add(0, 1000, 1);
    FAIL();
  } catch (const EKrxException& e) {
    EXPECT_EQ(e.Message(), "Cannot add data item to page. Page is full");
  }
  index.Subtract(0, 1000, 10);
  int count;
  EXPECT_FALSE(index.FindPage(0, 1000, count));
  EXPECT_THROW(index.Subtract(0, 1000, 1), EKrxException);
  int32_t next;
  ASSERT_TRUE(index.NextPage(0, 990, next, count));
  EXPECT_EQ(next, 1001);
  EXPECT_FALSE(index.PriorPage(0, 1001, next, count));  // 1000 went at 0
  ASSERT_TRUE(index.PriorPage(0, 1003, next, count));
  EXPECT_EQ(next, 1002);
}

}  // namespace
}  // namespace krx
