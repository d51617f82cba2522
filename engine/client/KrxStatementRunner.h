// Runs the statements a query's processor has parsed against the query's
// database, and hands back the rows of the last one (none for statements
// without rows). This is the one place where the client layer asks the SQL
// layer to execute.
#pragma once

#include <cstdint>
#include <memory>

#include "KrxProcessor.h"
#include "KrxRecordSource.h"

namespace krx {

class TKrxDatabase;

struct TKrxRunResult {
  std::unique_ptr<TKrxRecordSource> rows;
  bool readOnly = true;
  int64_t rowsAffected = 0;
};

TKrxRunResult KrxRunStatements(TKrxSQLProcessor& processor, TKrxDatabase& database, bool requestLive);

}  // namespace krx
