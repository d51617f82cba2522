// Four processes in multi-user mode run small transactions of inserts,
// updates and deletes on shared tables, through SQL text. Each keeps a model
// of what it committed; at the end the file holds exactly the committed
// changes, the shared counter lost no increment, the indexes agree with the
// records and the file opens without repair.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxQuery.h"
#include "KrxTableDataDisk.h"
#include "KrxTempDir.h"
#include "../storage/SessionsTestChild.h"

namespace krx {
namespace {

constexpr int kProcesses = 4;
constexpr int kTransactionsPerProcess = 400;

struct Outcome {
  std::map<int, int> rows;  // FID -> FVAL as committed
  int increments = 0;       // committed increments of the shared counter
  int rolledBack = 0;
  int failures = 0;
};

void Exec(TKrxQuery& q, const std::string& sql) {
  q.Close();
  q.SetSQLText(sql);
  q.ExecSQL();
}

// One process's run; the outcome goes to a file for the parent.
int RunWorker(const std::string& path, const std::string& outFile, int worker) {
  TKrxDatabase db;
  db.SetDatabaseName("MUSTRESS" + std::to_string(worker));
  db.SetDatabaseFileName(path);
  db.SetMultiUser(true);
  db.Connect();
  TKrxQuery q("MUSTRESSQ" + std::to_string(worker));
  q.SetDatabaseName("MUSTRESS" + std::to_string(worker));

  std::mt19937 random(1000 + worker);
  Outcome committed;
  int nextID = worker * 100000;
  for (int t = 0; t < kTransactionsPerProcess; ++t) {
    std::map<int, int> rows = committed.rows;
    const bool autoCommit = t % 10 == 9;
    try {
      if (autoCommit) {
        // One statement outside a transaction, then the counter: each
        // commits on its own.
        if (!rows.empty()) {
          auto it = std::next(rows.begin(), static_cast<long>(random() % rows.size()));
          int value = static_cast<int>(random() % 1000);
          Exec(q, "update items set fval = " + std::to_string(value) + " where fid = " + std::to_string(it->first));
          committed.rows[it->first] = value;
        }
        Exec(q, "update counter set n = n + 1");
        ++committed.increments;
        continue;
      }
      Exec(q, "start transaction");
      int ops = 1 + static_cast<int>(random() % 3);
      for (int op = 0; op < ops; ++op) {
        int kind = rows.size() < 3 ? 0 : static_cast<int>(random() % 3);
        if (kind == 0) {
          int id = nextID++;
          int value = static_cast<int>(random() % 1000);
          Exec(q, "insert into items(fid, fowner, fval) values (" + std::to_string(id) + ", " +
                      std::to_string(worker) + ", " + std::to_string(value) + ")");
          rows[id] = value;
        } else {
          auto it = std::next(rows.begin(), static_cast<long>(random() % rows.size()));
          if (kind == 1) {
            int value = static_cast<int>(random() % 1000);
            Exec(q, "update items set fval = " + std::to_string(value) + " where fid = " + std::to_string(it->first));
            it->second = value;
          } else {
            Exec(q, "delete from items where fid = " + std::to_string(it->first));
            rows.erase(it);
          }
        }
      }
      Exec(q, "update counter set n = n + 1");
      if (random() % 5 == 0) {
        Exec(q, "rollback");
        ++committed.rolledBack;
      } else {
        Exec(q, "commit");
        committed.rows = rows;
        ++committed.increments;
      }
      if (t % 5 == 0) {
        // Its own rows, read while the others write theirs.
        q.Close();
        q.SetSQLText("select count(*) as cnt, sum(fval) as total from items where fowner = " + std::to_string(worker));
        q.Open();
        int64_t total = 0;
        for (const auto& [id, value] : committed.rows) total += value;
        int64_t count = q.FieldByName("cnt").AsLargeInt();
        int64_t sum = committed.rows.empty() ? 0 : q.FieldByName("total").AsLargeInt();
        if (count != static_cast<int64_t>(committed.rows.size()) || sum != total) {
          std::fprintf(stderr, "worker %d, transaction %d: reads %lld rows summing %lld, committed %zu summing %lld\n",
                       worker, t, static_cast<long long>(count), static_cast<long long>(sum), committed.rows.size(),
                       static_cast<long long>(total));
          ++committed.failures;
        }
        q.Close();
      }
    } catch (const EKrxException& e) {
      std::fprintf(stderr, "worker %d, transaction %d: %s\n", worker, t, e.what());
      ++committed.failures;
      try {
        if (db.InTransaction()) db.Rollback();
      } catch (...) {
      }
    }
  }
  q.Close();
  db.Disconnect();
  std::ofstream out(outFile);
  out << committed.increments << ' ' << committed.rolledBack << ' ' << committed.failures << '\n';
  for (const auto& [id, value] : committed.rows) out << id << ' ' << value << '\n';
  return out ? 0 : 2;
}

Outcome ReadOutcome(const std::string& file) {
  Outcome o;
  std::ifstream in(file);
  in >> o.increments >> o.rolledBack >> o.failures;
  int id, value;
  while (in >> id >> value) o.rows[id] = value;
  return o;
}

TEST(MultiUserStressTest, FourProcessesKeepEveryCommittedChangeAndNoRolledBackOne) {
  test::TempDir dir;
  const std::string path = dir.File("stress.krx");
  {
    TKrxDatabase db;
    db.SetDatabaseName("MUSTRESSSETUP");
    db.SetDatabaseFileName(path);
    db.SetMaxConnections(16);
    db.CreateDataBase();
    db.Connect();
    TKrxQuery q("MUSTRESSSETUPQ");
    q.SetDatabaseName("MUSTRESSSETUP");
    Exec(q, "create table items(fid integer, fowner integer, fval integer)");
    Exec(q, "create index ixowner on items(fowner, fid)");
    Exec(q, "create index ixval on items(fval)");
    Exec(q, "create table counter(n integer)");
    Exec(q, "insert into counter(n) values (0)");
    q.Close();
    db.Disconnect();
  }

  std::vector<std::unique_ptr<test::ChildProcess>> workers;
  for (int w = 0; w < kProcesses; ++w) {
    std::string out = dir.File("outcome" + std::to_string(w));
    workers.push_back(std::make_unique<test::ChildProcess>(
        [path, out, w](test::ChildProcess&) { return RunWorker(path, out, w); }, 240));
  }
  for (auto& worker : workers) EXPECT_EQ(worker->Finish(300000), 0);

  std::map<int, int> expected;
  int increments = 0, rolledBack = 0;
  for (int w = 0; w < kProcesses; ++w) {
    Outcome o = ReadOutcome(dir.File("outcome" + std::to_string(w)));
    EXPECT_EQ(o.failures, 0) << "worker " << w;
    increments += o.increments;
    rolledBack += o.rolledBack;
    expected.insert(o.rows.begin(), o.rows.end());
  }
  EXPECT_GT(rolledBack, 0);

  // Reopened by itself: consistent, and holding exactly what was committed.
  auto data = std::make_shared<TKrxDiskDatabaseData>(path);
  bool multiUser = false, readOnly = false;
  EXPECT_FALSE(data->Open({}, multiUser, false, readOnly));
  int32_t session = data->ConnectSession();
  {
    auto items = TKrxDiskTableData::OpenTable(*data, "ITEMS");
    TKrxCursor c(session);
    items->Attach(c);
    std::map<int, int> stored;
    std::map<int, int> owners;
    for (int r = items->ReadRecord(c, TKrxReadMode::First); r == kKrxRecordFound;
         r = items->ReadRecord(c, TKrxReadMode::Next)) {
      int id = items->GetField(c, 0).AsInt32();
      EXPECT_EQ(stored.count(id), 0u) << "record " << id << " twice";
      stored[id] = items->GetField(c, 2).AsInt32();
      EXPECT_EQ(items->GetField(c, 1).AsInt32(), id / 100000);
    }
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(items->RecordCount(c), static_cast<int64_t>(expected.size()));
    EXPECT_NO_THROW(items->CheckRecordPageIndex(session));
    EXPECT_NO_THROW(items->CheckIndexes(session));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(items->IndexOrder(session, i).size(), expected.size());
    items->Detach(c);

    auto counter = TKrxDiskTableData::OpenTable(*data, "COUNTER");
    TKrxCursor cc(session);
    counter->Attach(cc);
    ASSERT_EQ(counter->ReadRecord(cc, TKrxReadMode::First), kKrxRecordFound);
    EXPECT_EQ(counter->GetField(cc, 0).AsInt32(), increments);
    counter->Detach(cc);
  }
  data->DisconnectSession(session);
  data->Close();
}

}  // namespace
}  // namespace krx
