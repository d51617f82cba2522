// krxbench: the program's own database work on our engine and on SQLite,
// side by side in one process, on files in one temporary folder.
//
//   krxbench [--scale F] [--only PREFIX] [--engine krx|sqlite|both] [--keep]
//            [--budget SECONDS] [--schema FILE]
//
// Prints per workload our time, SQLite's, the ratio ours / SQLite and the
// row counts both saw, then peak memory and file sizes, and the geometric
// mean of the ratios on the last line. Times are processor seconds of this
// process (the machine is shared, so wall time says more about the
// neighbours); wall seconds stand beside them.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "BenchMemory.h"
#include "KrxBenchDatabase.h"
#include "SqliteDatabase.h"
#include "Workloads.h"

#ifndef KRXBENCH_SCHEMA
#define KRXBENCH_SCHEMA "data/cpbill.sql"
#endif

namespace {

struct TOptions {
  double scale = 1.0;
  double budget = 20;
  std::string only;
  bool runKrx = true;
  bool runSqlite = true;
  bool keep = false;
  std::string schema = KRXBENCH_SCHEMA;
};

bool ParseOptions(int argc, char** argv, TOptions& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--scale" && hasValue) {
      options.scale = std::atof(argv[++i]);
    } else if (arg == "--budget" && hasValue) {
      options.budget = std::atof(argv[++i]);
    } else if (arg == "--only" && hasValue) {
      options.only = argv[++i];
    } else if (arg == "--engine" && hasValue) {
      const std::string engine = argv[++i];
      options.runKrx = engine == "krx" || engine == "both";
      options.runSqlite = engine == "sqlite" || engine == "both";
    } else if (arg == "--schema" && hasValue) {
      options.schema = argv[++i];
    } else if (arg == "--keep") {
      options.keep = true;
    } else {
      return false;
    }
  }
  return options.scale > 0;
}

struct TSide {
  bench::TWorkloadResult result;
  bool ran = false;
  int64_t peakKiB = -1;
};

bench::TWorkloadResult RunOne(const bench::TWorkload& workload, bench::TEngineRun& run, const bench::TBenchPlan& plan,
                              const bench::TBenchTexts& texts, int64_t& peakKiB) {
  bench::TWorkloadResult result;
  bench::ResetPeakMemory();
  const int64_t before = bench::CurrentMemoryKiB();
  try {
    result = workload.run(run, plan, texts);
  } catch (const std::exception& e) {
    result = {};
    result.error = e.what();
    try {
      run.db.Close();
    } catch (const std::exception&) {
    }
  }
  peakKiB = bench::PeakMemoryKiB() - before;
  return result;
}

bool Succeeded(const TSide& side) { return side.ran && side.result.error.empty(); }

std::string Cell(const TSide& side, double seconds) {
  if (!side.ran) return "-";
  if (!side.result.error.empty()) return "error";
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", seconds);
  return text;
}

// Time per completed step, so that a run stopped by the budget compares fairly.
double PerStep(const TSide& side, double seconds) {
  return seconds / std::max(1, side.result.done);
}

std::string Mib(int64_t kib) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", kib / 1024.0);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions options;
  if (!ParseOptions(argc, argv, options)) {
    std::cerr << "usage: krxbench [--scale F] [--only PREFIX] [--engine krx|sqlite|both] [--keep] [--budget SECONDS]"
                 " [--schema FILE]\n";
    return 2;
  }
  std::ifstream schemaFile(options.schema, std::ios::binary);
  if (!schemaFile) {
    std::cerr << "krxbench: cannot read the schema script " << options.schema << "\n";
    return 1;
  }
  const std::string schema((std::istreambuf_iterator<char>(schemaFile)), std::istreambuf_iterator<char>());

  bench::TBenchPlan plan;
  if (options.scale != 1.0) plan.Scale(options.scale);
  plan.budgetSeconds = options.budget;
  const bench::TBenchTexts texts = bench::TBenchTexts::Make(plan, schema, 20240301);

  std::string tempTemplate = (std::filesystem::temp_directory_path() / "krxbench-XXXXXX").string();
  if (mkdtemp(tempTemplate.data()) == nullptr) {
    std::cerr << "krxbench: cannot make a temporary folder\n";
    return 1;
  }
  const std::string root = tempTemplate;
  std::filesystem::create_directories(root + "/krx");
  std::filesystem::create_directories(root + "/sqlite");

  bench::TKrxBenchDatabase krxDb;
  bench::TSqliteDatabase sqliteDb;
  bench::TEngineRun krx{krxDb, root + "/krx"};
  bench::TEngineRun sqlite{sqliteDb, root + "/sqlite"};

  std::printf("krxbench: %s; files in %s\n", bench::ResetPeakMemory() ? "peak memory per workload" : "peak memory of the process",
              root.c_str());
  std::printf("%-44s %9s %9s %8s %9s %9s  %s\n", "workload", "Krx cpu", "SQLite", "Krx/SQL", "Krx wall",
              "SQL wall", "rows Krx / SQLite");
  std::fflush(stdout);

  double logSum = 0, wallLogSum = 0;
  int ratios = 0, failures = 0;
  int64_t krxPeak = -1, sqlitePeak = -1;
  for (const bench::TWorkload& workload : bench::AllWorkloads(plan)) {
    if (!options.only.empty() && workload.title.rfind(options.only, 0) != 0) continue;
    TSide ours, theirs;
    if (options.runSqlite) {
      theirs.result = RunOne(workload, sqlite, plan, texts, theirs.peakKiB);
      theirs.ran = true;
      sqlitePeak = std::max(sqlitePeak, theirs.peakKiB);
    }
    if (options.runKrx) {
      ours.result = RunOne(workload, krx, plan, texts, ours.peakKiB);
      ours.ran = true;
      krxPeak = std::max(krxPeak, ours.peakKiB);
    }
    const bool both = Succeeded(ours) && Succeeded(theirs);
    std::string ratio = "-";
    if (both && ours.result.cpuSeconds > 0 && theirs.result.cpuSeconds > 0) {
      const double r = PerStep(ours, ours.result.cpuSeconds) / PerStep(theirs, theirs.result.cpuSeconds);
      char text[32];
      std::snprintf(text, sizeof text, "%.2f", r);
      ratio = text;
      logSum += std::log(r);
      wallLogSum += std::log(PerStep(ours, ours.result.seconds) / PerStep(theirs, theirs.result.seconds));
      ++ratios;
    }
    const bool complete = both && ours.result.done == ours.result.planned && theirs.result.done == theirs.result.planned;
    std::string rows = (Succeeded(ours) ? std::to_string(ours.result.check) : "-") + " / " +
                       (Succeeded(theirs) ? std::to_string(theirs.result.check) : "-");
    if (complete && ours.result.check != theirs.result.check) rows += " DIFFER";
    // A failure is shown where its figures would stand.
    if (!ours.result.error.empty()) rows = "Krx error: " + ours.result.error;
    if (!theirs.result.error.empty()) rows += "  SQLite error: " + theirs.result.error;
    std::printf("%-44s %9s %9s %8s %9s %9s  %s\n", workload.title.c_str(), Cell(ours, ours.result.cpuSeconds).c_str(),
                Cell(theirs, theirs.result.cpuSeconds).c_str(), ratio.c_str(), Cell(ours, ours.result.seconds).c_str(),
                Cell(theirs, theirs.result.seconds).c_str(), rows.c_str());
    for (const TSide* side : {&ours, &theirs}) {
      const char* name = side == &ours ? "Krx" : "SQLite";
      if (Succeeded(*side) && side->result.done < side->result.planned)
        std::printf("    %s stopped by the budget after %d of %d steps; the ratio is per step\n", name,
                    side->result.done, side->result.planned);
    }
    if (!ours.result.error.empty()) ++failures;
    std::fflush(stdout);
  }

  const auto size = [](int64_t bytes) { return bytes < 0 ? std::string("-") : std::to_string(bytes / 1024); };
  std::printf("%-46s %10s %10s\n", "peak memory above start of workload (MiB)", krxPeak < 0 ? "-" : Mib(krxPeak).c_str(),
              sqlitePeak < 0 ? "-" : Mib(sqlitePeak).c_str());
  std::printf("%-46s %10s %10s\n", "file size after workload 1 (KiB)", size(krx.fileSizeAfterInserts).c_str(),
              size(sqlite.fileSizeAfterInserts).c_str());
  for (const std::string& note : krx.notes) std::printf("    Krx: %s\n", note.c_str());
  for (const std::string& note : sqlite.notes) std::printf("    SQLite: %s\n", note.c_str());

  krxDb.Close();
  sqliteDb.Close();
  if (!options.keep) {
    std::error_code ec;
    std::filesystem::remove_all(root, ec);
  }
  if (ratios == 0) {
    if (!options.runKrx || !options.runSqlite)
      std::printf("geometric mean Krx/SQLite: none measured (only one engine ran)\n");
    else
      std::printf("geometric mean Krx/SQLite: none measured (%d of our workloads failed)\n", failures);
  } else {
    const std::string leftOut = failures ? " (" + std::to_string(failures) + " of ours failed, left out)" : "";
    std::printf("geometric mean Krx/SQLite of wall time over %d workloads: %.2f\n", ratios, std::exp(wallLogSum / ratios));
    std::printf("geometric mean Krx/SQLite over %d workloads: %.2f%s\n", ratios, std::exp(logSum / ratios),
                leftOut.c_str());
  }
  return 0;
}
