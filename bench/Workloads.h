// The workloads: what the program asks of its database while a dealer
// writes, finds and reports bills. Each runs the same SQL texts on either
// engine and times only the engine's part; texts are built beforehand.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "BenchData.h"
#include "BenchDatabase.h"

namespace bench {

struct TBenchPlan {
  int insertLines = 20000;
  int saves = 500;
  int saveLines = 30;
  int loads = 2000;
  int salesLines = 100000;
  int reportRepeats = 3;
  int products = 20000;
  int searches = 200;
  int nextNumbers = 5000;
  int opens = 50;
  std::string periodFrom = "2024-03-01";
  std::string periodTo = "2024-03-31";
  // Processor seconds one engine may spend on one workload; a loop that
  // passes it stops and its figures are per completed step.
  double budgetSeconds = 20;

  // Every count multiplied (at least 1), for a quick trial run.
  void Scale(double factor);
};

// The texts both engines get, made once before anything is measured.
struct TBenchTexts {
  std::string schema;                   // the initial database script
  std::vector<std::string> inserts;     // workloads 1 and 2
  int insertBills = 0;                  // bills those lines make
  std::vector<std::string> saves;       // workload 3: per save, delete then lines
  std::vector<std::string> salesLines;  // the sales history of workloads 4, 5, 8
  int salesBills = 0;
  std::vector<std::string> loads;       // workload 4
  std::vector<TProduct> catalogue;      // workloads 6 and 7, numbered from 1
  std::vector<std::string> searches;    // workload 6

  static TBenchTexts Make(const TBenchPlan& plan, const std::string& schemaScript, uint64_t seed);
};

// One engine's side of the run: its folder and the files already built.
struct TEngineRun {
  TEngineRun(TBenchDatabase& database, std::string folder) : db(database), dir(std::move(folder)) {}
  TBenchDatabase& db;
  std::string dir;
  bool billsFileReady = false;     // the file of workload 2, reused by 3
  bool salesFileReady = false;
  bool productsFileReady = false;
  int64_t fileSizeAfterInserts = -1;
  std::vector<std::string> notes;  // setup steps and their times
};

struct TWorkloadResult {
  double seconds = 0;     // wall clock
  double cpuSeconds = 0;  // processor time of this process
  int done = 0;           // steps completed of those planned
  int planned = 0;
  int64_t check = 0;  // rows seen or left, to compare the two engines
  std::string error;
};

struct TWorkload {
  std::string title;
  std::function<TWorkloadResult(TEngineRun& run, const TBenchPlan& plan, const TBenchTexts& texts)> run;
};

// In the order they run; later ones reuse files the earlier ones built.
std::vector<TWorkload> AllWorkloads(const TBenchPlan& plan);

}  // namespace bench
