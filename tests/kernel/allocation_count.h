// What the program holds from operator new, counted for the tests of memory use.
#pragma once

#include <cstddef>

namespace marvolt::testing_memory {

// Bytes allocated with operator new and not yet given back.
size_t LiveBytes();
// The most LiveBytes has been since the last ResetPeak.
size_t PeakBytes();
void ResetPeak();
// Calls of operator new so far.
size_t Allocations();

}  // namespace marvolt::testing_memory
