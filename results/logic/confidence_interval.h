// The confidence-interval method: the number of arrived requests after which
// the mean of every random quantity of the model lies within +-e of its true
// value at the quantile t, from N >= t^2 * D / e^2.
#pragma once

#include <cstdint>

#include "kernel/queuing_system.h"
#include "kernel/random_stat.h"

namespace marvolt {

// The variance of a law; 0 for a kind without one.
long double LawVariance(const LawRecord& law);

// t^2 / e^2 with each step rounded to a float32, as the arrivals count is
// figured from it.
float ConfidenceFactor(float t, float e);

// The arrivals limit for the laws of the model: at least 1, at most the
// largest limit a run can reach. t and e must be positive.
uint32_t ConfidenceArrivals(const CQueuingSystem& model, float t, float e);

}  // namespace marvolt
