// A fresh database file per test and a processor that runs SQL text (UTF-8
// here, the engine's code page inside) against it in session 0.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../KrxTempDir.h"
#include "KrxDatabaseDataDisk.h"
#include "KrxException.h"
#include "KrxExecSession.h"
#include "KrxLocale.h"
#include "KrxProcessor.h"
#include "KrxResultCursor.h"

namespace krx::test {

class ExecDatabase {
 public:
  ExecDatabase() {
    data_ = TKrxDiskDatabaseData::Acquire(Path());
    data_->CreateDatabase({}, 8, 4096, 10);
    Attach();
  }
  ~ExecDatabase() { Detach(); }

  // Closes the file and opens it again, as a new start of the program would.
  void Reopen() {
    Detach();
    bool multiUser = false;
    bool readOnly = false;
    ASSERT_FALSE(data_->Open({}, multiUser, false, readOnly));
    Attach();
  }

  TKrxDiskDatabaseData& Data() { return *data_; }
  TKrxDirectExecSession& Session() { return *session_; }
  TKrxSQLParams& Params() { return processor_->Params(); }
  std::string Path() const { return dir_.File("exec.krx"); }

  // Runs the text; the rows affected.
  int64_t Run(const std::string& sql) {
    processor_->SetSQL(KrxUtf8ToGb(sql));
    processor_->Execute(*session_);
    return processor_->RowsAffected();
  }
  std::unique_ptr<TKrxResultCursor> Query(const std::string& sql) {
    Run(sql);
    auto result = processor_->TakeResult();
    if (!result) ADD_FAILURE() << "no rows from: " << sql;
    return result;
  }
  // Every row as its values in UTF-8 joined by "|" ("NULL" for NULL).
  std::vector<std::string> Rows(const std::string& sql) {
    std::vector<std::string> rows;
    auto result = Query(sql);
    if (!result) return rows;
    for (int64_t r = 0; r < result->RowCount(); ++r) {
      std::string row;
      for (size_t c = 0; c < result->FieldDefs().Count(); ++c) {
        if (c) row += "|";
        TKrxVariant v = result->Value(r, static_cast<int>(c));
        row += v.IsNull() ? "NULL" : v.AsUtf8();
      }
      rows.push_back(row);
    }
    return rows;
  }
  // The stored bytes of the first column of the only row of the query.
  std::string Bytes(const std::string& sql) {
    auto result = Query(sql);
    if (!result || result->RowCount() != 1) {
      ADD_FAILURE() << "not one row from: " << sql;
      return {};
    }
    return result->Value(0, 0).StringValue();
  }
  // The message and code of the error the text raises ("" when none).
  std::string Error(const std::string& sql) {
    try {
      Run(sql);
    } catch (const EKrxException& e) {
      return KrxGbToUtf8(e.Message()) + " #" + std::to_string(e.NativeError());
    }
    return {};
  }

 private:
  void Attach() {
    session_ = std::make_unique<TKrxDirectExecSession>(*data_, 0);
    processor_ = std::make_unique<TKrxSQLProcessor>(nullptr);
  }
  void Detach() {
    processor_.reset();
    session_.reset();
    if (data_->IsOpen()) data_->Close();
  }

  TempDir dir_;
  std::shared_ptr<TKrxDiskDatabaseData> data_;
  std::unique_ptr<TKrxDirectExecSession> session_;
  std::unique_ptr<TKrxSQLProcessor> processor_;
};

}  // namespace krx::test
