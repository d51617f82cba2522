// krxseed: makes a database file from an SQL script.
//
//   krxseed <script> <output file>
//
// The script runs as one query run (its commands separated by ';') in a new
// database built beside the output under the name output + ".tmp"; only a
// complete run replaces the output, so a failed build leaves no half file.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "KrxDatabase.h"
#include "KrxException.h"
#include "KrxQuery.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: krxseed <script> <output file>\n";
    return 2;
  }
  const std::string scriptFile = argv[1];
  const std::string output = argv[2];
  const std::string building = output + ".tmp";

  std::ifstream in(scriptFile, std::ios::binary);
  if (!in) {
    std::cerr << "krxseed: cannot read " << scriptFile << "\n";
    return 1;
  }
  std::string script((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  std::error_code ec;
  std::filesystem::remove(building, ec);
  try {
    krx::TKrxDatabase database;
    database.SetDatabaseName("KRXSEED");
    database.SetDatabaseFileName(building);
    database.SetSilentMode(true);
    database.CreateDataBase();
    database.Connect();
    krx::TKrxQuery query("KrxSeed");
    query.SetDatabaseName("KRXSEED");
    // Values in the script are plain text: no parameters.
    query.SetParamCheck(false);
    query.SetSQLText(script);
    query.ExecSQL();
    database.Disconnect();
  } catch (const std::exception& e) {
    std::cerr << "krxseed: " << scriptFile << ": " << e.what() << "\n";
    std::filesystem::remove(building, ec);
    return 1;
  }
  std::filesystem::rename(building, output, ec);
  if (ec) {
    std::cerr << "krxseed: cannot write " << output << ": " << ec.message() << "\n";
    std::filesystem::remove(building, ec);
    return 1;
  }
  return 0;
}
