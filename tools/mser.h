// MSER-5: where to cut the start of an observation series so that what is
// left has the smallest marginal standard error of its mean.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/sim_time.h"

namespace marvolt {

constexpr size_t kMserBatch = 5;
// Fewer batches than this tell nothing of a transient: the series is not cut.
constexpr size_t kMserFewestBatches = 10;

// Of the means of consecutive batches: the number of batches to drop, the d
// in 0 .. m/2 that minimises the variance of the batches d .. m-1 about their
// mean divided by (m - d)^2; the earliest d on a tie.
size_t MserCut(const std::vector<double>& batchMeans);

// Gathers one series as batch means of kMserBatch observations, each batch
// with the model time of its first observation; a last, incomplete batch is
// left out.
class MserSeries {
  public:
    void Add(double value, SimTime at);
    // The model time of the first observation kept; 0 when nothing is cut.
    SimTime CutTime() const;
    size_t BatchCount() const { return means_.size(); }
    const std::vector<double>& Means() const { return means_; }

  private:
    std::vector<double> means_;
    std::vector<SimTime> starts_;
    double sum_ = 0.0;
    SimTime first_ = 0;
    size_t inBatch_ = 0;
};

}  // namespace marvolt
