// krxsql: a shell for database files, for users, support and tests.
//
//   krxsql [--create] [--page-size N] [--extent N] [--max-connections N]
//          [--password TEXT] [--cipher N] [--multi-user] [--exclusive]
//          [--date-format FMT] [--repair] DBFILE [SQL]
//
// With SQL the text is one run; without it standard input is cut into texts
// at lines holding only GO. With --create and a --password the new file is
// enciphered with cipher --cipher (0-7, default 0); opening an enciphered
// file needs its --password, the cipher being read from the file. The shell
// stays connected until its input ends, so that it holds the file as the
// program does. It never asks questions.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxFormatSettings.h"
#include "KrxProtection.h"
#include "KrxQuery.h"
#include "KrxSqlShell.h"

namespace {

constexpr const char* kAlias = "KRXSQL";

struct Options {
  bool create = false;
  bool multiUser = false;
  bool exclusive = false;
  bool repair = false;
  long pageSize = 4096;
  long extent = 8;
  long maxConnections = 500;
  long cipher = 0;
  std::string password;
  std::optional<std::string> dateFormat;
  std::string file;
  std::optional<std::string> sql;
};

int Usage(const std::string& problem) {
  std::cerr << "krxsql: " << problem << "\n"
            << "usage: krxsql [--create] [--page-size N] [--extent N] [--max-connections N] [--password TEXT]\n"
            << "              [--cipher N] [--multi-user] [--exclusive] [--date-format FMT] [--repair] DBFILE [SQL]\n"
            << "  --password TEXT  the file's password: a new file is enciphered with it, an enciphered file\n"
            << "                   opens only with it\n"
            << "  --cipher N       cipher of a new enciphered file: 0 AES-128 (default), 1 AES-256, 2 DES,\n"
            << "                   3 triple DES, 4 Blowfish, 5 Twofish-128, 6 Twofish-256, 7 Square\n";
  return 2;
}

bool ReadNumber(const std::string& text, long min, long max, long& value) {
  char* end = nullptr;
  long parsed = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || parsed < min || parsed > max) return false;
  value = parsed;
  return true;
}

// Returns an empty text when the arguments are fine, else the problem.
std::string ParseArguments(int argc, char** argv, Options& options) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&](const char* name) -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      (void)name;
      return std::string(argv[++i]);
    };
    auto number = [&](const char* name, long min, long max, long& target) -> std::string {
      auto text = value(name);
      if (!text || !ReadNumber(*text, min, max, target)) return std::string("invalid value for ") + name;
      return {};
    };
    std::string problem;
    if (arg == "--create") options.create = true;
    else if (arg == "--multi-user") options.multiUser = true;
    else if (arg == "--exclusive") options.exclusive = true;
    else if (arg == "--repair") options.repair = true;
    else if (arg == "--page-size") problem = number("--page-size", 512, 65535, options.pageSize);
    else if (arg == "--extent") problem = number("--extent", 1, 65535, options.extent);
    else if (arg == "--max-connections") problem = number("--max-connections", 1, 1000000, options.maxConnections);
    // The engine would take a higher id as "no cipher" and store the pages
    // plain under a password; the shell refuses it.
    else if (arg == "--cipher") problem = number("--cipher", 0, krx::kKrxLastCipherID, options.cipher);
    else if (arg == "--password") {
      auto text = value("--password");
      if (!text) problem = "missing value for --password";
      else options.password = *text;
    } else if (arg == "--date-format") {
      auto text = value("--date-format");
      if (!text || text->empty()) problem = "missing value for --date-format";
      else options.dateFormat = *text;
    } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
      problem = "unknown option " + arg;
    } else {
      positional.push_back(arg);
    }
    if (!problem.empty()) return problem;
  }
  if (positional.empty()) return "missing DBFILE";
  if (positional.size() > 2) return "too many arguments";
  options.file = positional[0];
  if (positional.size() == 2) options.sql = positional[1];
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string problem = ParseArguments(argc, argv, options);
  if (!problem.empty()) return Usage(problem);

  if (options.dateFormat) {
    krx::TKrxFormatSettings settings = krx::KrxDefaultFormatSettings();
    settings.shortDateFormat = *options.dateFormat;
    krx::KrxSetDefaultFormatSettings(settings);
  }

  krx::TKrxDatabase database;
  krx::TKrxQuery query("KrxSQL");
  try {
    database.SetDatabaseName(kAlias);
    database.SetDatabaseFileName(options.file);
    database.SetSilentMode(true);
    database.SetMultiUser(options.multiUser);
    database.SetExclusive(options.exclusive);
    database.SetPassword(options.password);
    database.SetCipherID(static_cast<uint8_t>(options.cipher));
    if (options.create) {
      std::error_code ec;
      if (std::filesystem::exists(options.file, ec)) {
        throw krx::EKrxException(krx::KrxError::DatabaseFileExists, options.file);
      }
      database.SetPageSize(static_cast<uint16_t>(options.pageSize));
      database.SetExtentPageCount(static_cast<uint16_t>(options.extent));
      database.SetMaxConnections(static_cast<int32_t>(options.maxConnections));
      database.CreateDataBase();
    }
    database.Connect();
    if (database.NeedsRepair() && !options.repair) {
      throw krx::EKrxException(krx::KrxError::RepairNeeded);
    }
  } catch (const std::exception& e) {
    std::cout << "ERROR: " << e.what() << std::endl;
    return 1;
  }
  query.SetDatabaseName(kAlias);

  bool failed = false;
  if (options.sql) {
    failed = !krxsql::RunText(query, *options.sql, std::cout);
  } else {
    // Each text runs as soon as its GO line is read, so a shell left open
    // answers as it goes.
    std::string text;
    std::string line;
    auto runPending = [&] {
      if (krxsql::HasContent(text) && !krxsql::RunText(query, text, std::cout)) failed = true;
      std::cout.flush();
      text.clear();
    };
    while (std::getline(std::cin, line)) {
      if (krxsql::IsGoLine(line)) {
        runPending();
      } else {
        text += line;
        text += '\n';
      }
    }
    runPending();
  }
  query.Close();
  try {
    database.Disconnect();
  } catch (const std::exception& e) {
    std::cout << "ERROR: " << e.what() << std::endl;
    failed = true;
  }
  return failed ? 1 : 0;
}
