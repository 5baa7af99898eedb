// The one decision on the precision of model time.
#pragma once

namespace marvolt {

// Model time, every time within a run and every running sum of a run. A
// float32 clock stops advancing in long runs; the model file still stores
// float32 and converts at its edge.
using SimTime = double;

}  // namespace marvolt
