// A dataset that presents a row set made by the test, optionally through
// its database (so that the database's connection and dataset list see it
// as they see a query).
#pragma once

#include <functional>
#include <memory>

#include "KrxDataSet.h"
#include "KrxRowSet.h"

namespace krx::test {

class RowSetDataSet : public TKrxDataSet {
 public:
  using Maker = std::function<std::unique_ptr<TKrxRowSet>()>;
  explicit RowSetDataSet(Maker maker, bool useDatabase = false)
      : TKrxDataSet("RowSetDataSet"), maker_(std::move(maker)), useDatabase_(useDatabase) {}
  ~RowSetDataSet() override { Close(); }

 protected:
  std::unique_ptr<TKrxLocalCursor> CreateCursor() override {
    if (useDatabase_) AcquireDatabase();
    return std::make_unique<TKrxLocalCursor>("rows", maker_());
  }

 private:
  Maker maker_;
  bool useDatabase_;
};

}  // namespace krx::test
