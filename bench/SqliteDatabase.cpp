#include "SqliteDatabase.h"

#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>

namespace bench {
namespace {

// Reads the leading yyyy-mm-dd of a stored date text.
bool ParseDate(const unsigned char* text, int& year, int& month, int& day) {
  return text != nullptr &&
         std::sscanf(reinterpret_cast<const char*>(text), "%d-%d-%d", &year, &month, &day) == 3;
}

// TOSTRING(date, pattern) for the date letters the program's statements use:
// yyyy / yy year, mm / m month, dd / d day; anything else is copied.
void ToStringFunction(sqlite3_context* context, int, sqlite3_value** args) {
  int year = 0, month = 0, day = 0;
  if (!ParseDate(sqlite3_value_text(args[0]), year, month, day)) {
    sqlite3_result_null(context);
    return;
  }
  const unsigned char* raw = sqlite3_value_text(args[1]);
  const std::string pattern = raw ? reinterpret_cast<const char*>(raw) : "";
  std::string out;
  char digits[16];
  for (size_t i = 0; i < pattern.size();) {
    const char c = pattern[i];
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    if (c == 'y') {
      std::snprintf(digits, sizeof digits, run >= 4 ? "%04d" : "%02d", run >= 4 ? year : year % 100);
    } else if (c == 'm') {
      std::snprintf(digits, sizeof digits, run >= 2 ? "%02d" : "%d", month);
    } else if (c == 'd') {
      std::snprintf(digits, sizeof digits, run >= 2 ? "%02d" : "%d", day);
    } else {
      out.append(run, c);
      i += run;
      continue;
    }
    out += digits;
    i += run;
  }
  sqlite3_result_text(context, out.c_str(), static_cast<int>(out.size()), SQLITE_TRANSIENT);
}

}  // namespace

TSqliteDatabase::~TSqliteDatabase() { Close(); }

std::string TSqliteDatabase::FileFor(const std::string& dir, const std::string& stem) const {
  return dir + "/" + stem + ".sqlite";
}

void TSqliteDatabase::Check(int rc, const char* what) {
  if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
  throw std::runtime_error(std::string(what) + ": " + (db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc)));
}

void TSqliteDatabase::Create(const std::string& file) {
  Close();
  std::error_code ec;
  std::filesystem::remove(file, ec);
  std::filesystem::remove(file + "-journal", ec);
  Open(file);
}

void TSqliteDatabase::Open(const std::string& file) {
  Close();
  Check(sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr), "open");
  Check(sqlite3_exec(db_, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr), "pragma");
  Check(sqlite3_create_function(db_, "TOSTRING", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                ToStringFunction, nullptr, nullptr),
        "create function");
}

void TSqliteDatabase::Close() {
  if (db_ != nullptr) {
    sqlite3_close_v2(db_);
    db_ = nullptr;
  }
}

void TSqliteDatabase::Execute(const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr), "prepare");
  const int rc = sqlite3_step(stmt);
  sqlite3_finalize(stmt);
  Check(rc, "step");
}

void TSqliteDatabase::ExecuteScript(const std::string& script) {
  Check(sqlite3_exec(db_, script.c_str(), nullptr, nullptr, nullptr), "script");
}

TBenchRows TSqliteDatabase::Query(const std::string& sql) {
  TBenchRows result;
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr), "prepare");
  const int columns = sqlite3_column_count(stmt);
  for (int i = 0; i < columns; ++i) result.fieldNames.emplace_back(sqlite3_column_name(stmt, i));
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    for (int i = 0; i < columns; ++i) {
      const unsigned char* text = sqlite3_column_text(stmt, i);
      const int size = sqlite3_column_bytes(stmt, i);
      result.textBytes += static_cast<uint64_t>(size);
      if (result.rows == 0 && i == 0 && text != nullptr) result.firstValue.assign(reinterpret_cast<const char*>(text), size);
    }
    ++result.rows;
  }
  sqlite3_finalize(stmt);
  Check(rc, "step");
  return result;
}

std::vector<std::string> TSqliteDatabase::TableNames() {
  std::vector<std::string> names;
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v2(db_, "select name from sqlite_master where type='table'", -1, &stmt, nullptr), "prepare");
  while (sqlite3_step(stmt) == SQLITE_ROW)
    names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  return names;
}

void TSqliteDatabase::StartTransaction() { Execute("BEGIN"); }
void TSqliteDatabase::Commit() { Execute("COMMIT"); }

}  // namespace bench
