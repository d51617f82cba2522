#include "KrxBenchDatabase.h"

#include <filesystem>

#include "KrxDatabase.h"
#include "KrxFormatSettings.h"
#include "KrxQuery.h"

namespace bench {
namespace {
constexpr const char* kAlias = "KRXBENCH";
}

TKrxBenchDatabase::TKrxBenchDatabase()
    : db_(std::make_unique<krx::TKrxDatabase>()), query_(std::make_unique<krx::TKrxQuery>("KrxBenchQ")) {
  // The bills carry their dates as yyyy-mm-dd, the format the settings
  // window offers; the engine reads date texts in the short date format.
  krx::TKrxFormatSettings format = krx::KrxDefaultFormatSettings();
  format.shortDateFormat = "yyyy-MM-dd";
  format.dateSeparator = '-';
  krx::KrxSetDefaultFormatSettings(format);
  db_->SetDatabaseName(kAlias);
  db_->SetSilentMode(true);
  query_->SetDatabaseName(kAlias);
}

TKrxBenchDatabase::~TKrxBenchDatabase() {
  query_.reset();
  db_.reset();
}

std::string TKrxBenchDatabase::FileFor(const std::string& dir, const std::string& stem) const {
  return dir + "/" + stem;
}

void TKrxBenchDatabase::Create(const std::string& file) {
  Close();
  std::error_code ec;
  std::filesystem::remove(file, ec);
  db_->SetDatabaseFileName(file);
  db_->CreateDataBase();
  db_->Connect();
}

void TKrxBenchDatabase::Open(const std::string& file) {
  Close();
  db_->SetDatabaseFileName(file);
  db_->Connect();
}

void TKrxBenchDatabase::Close() {
  query_->Close();
  if (db_->Connected()) db_->Disconnect();
}

void TKrxBenchDatabase::Execute(const std::string& sql) {
  query_->Close();
  query_->SetSQLText(sql);
  query_->ExecSQL();
}

void TKrxBenchDatabase::ExecuteScript(const std::string& script) {
  // A script's values are plain text, never parameters.
  query_->Close();
  query_->SetParamCheck(false);
  query_->SetSQLText(script);
  try {
    query_->ExecSQL();
  } catch (...) {
    query_->SetParamCheck(true);
    throw;
  }
  query_->SetParamCheck(true);
}

TBenchRows TKrxBenchDatabase::Query(const std::string& sql) {
  TBenchRows result;
  query_->Close();
  query_->SetSQLText(sql);
  query_->Open();
  const int columns = query_->FieldCount();
  result.fieldNames = query_->FieldNames();
  while (!query_->Eof()) {
    for (int i = 0; i < columns; ++i) {
      const std::string text = query_->Fields(i).AsString();
      result.textBytes += text.size();
      if (result.rows == 0 && i == 0) result.firstValue = text;
    }
    ++result.rows;
    query_->Next();
  }
  query_->Close();
  return result;
}

std::vector<std::string> TKrxBenchDatabase::TableNames() {
  std::vector<std::string> names;
  db_->GetTableNames(names);
  return names;
}

void TKrxBenchDatabase::StartTransaction() { db_->StartTransaction(); }
// No flush, as SQLite with synchronous=OFF.
void TKrxBenchDatabase::Commit() { db_->Commit(false); }

}  // namespace bench
