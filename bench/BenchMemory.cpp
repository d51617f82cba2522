#include "BenchMemory.h"

#include <sys/resource.h>

#include <fstream>
#include <string>

namespace bench {
namespace {

int64_t StatusKiB(const char* key) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(key) + ":";
  while (std::getline(status, line)) {
    if (line.rfind(prefix, 0) == 0) return std::stoll(line.substr(prefix.size()));
  }
  return -1;
}

}  // namespace

bool ResetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  if (!clear) return false;
  clear << "5";
  clear.flush();
  return static_cast<bool>(clear);
}

int64_t CurrentMemoryKiB() { return StatusKiB("VmRSS"); }

int64_t PeakMemoryKiB() {
  const int64_t peak = StatusKiB("VmHWM");
  if (peak >= 0) return peak;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace bench
