// Resident memory of this process from /proc/self: the current size and the
// high-water mark, which can be reset so that each workload's peak is its own.
#pragma once

#include <cstdint>

namespace bench {

// Resets the high-water mark to the current size; false where the kernel
// does not allow it (then the peak is the process's peak so far).
bool ResetPeakMemory();
int64_t CurrentMemoryKiB();
int64_t PeakMemoryKiB();

}  // namespace bench
