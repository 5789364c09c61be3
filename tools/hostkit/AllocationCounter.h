// Counts the heap allocations that one module makes on one thread between
// Start and Stop: the executable defines malloc and its kin itself (exported,
// see the CMake property ENABLE_EXPORTS), so every module of the process
// allocates through it, and operator new reaches malloc too. An allocation is
// the module's when its call stack, past the C and C++ runtimes, reaches the
// module's code first; what a GL driver allocates inside a GL call is not.
#pragma once

#include <cstdint>

namespace hostkit {

struct AllocationStats {
    uint64_t allocations = 0;  // malloc, calloc, realloc and the aligned forms
    uint64_t bytes = 0;  // usable bytes of those blocks
    int64_t peakBytes = 0;  // highest sum of those blocks live at once
    uint64_t otherAllocations = 0;  // by other modules on the thread (drivers)
};

// False in sanitized builds, whose runtime owns malloc: nothing is counted there.
bool AllocationCountingAvailable();
// The module whose allocations count: the one holding this address (a loaded
// plug-in's entry point, say). Counting covers the calling thread only.
void StartCountingAllocations(const void* addressInModule);
AllocationStats StopCountingAllocations();

}  // namespace hostkit
