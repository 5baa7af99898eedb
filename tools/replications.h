// Independent replications of one experiment: where each takes its random
// numbers from, and the confidence interval of their mean.
#pragma once

#include <cstdint>

namespace marvolt {

// Replication n starts at the position of the random cycle whose 32 bits are
// those of n in reverse order: 0, 1/2, 1/4, 3/4, 1/8... of the way round. The
// start of n never depends on how many replications a run makes, so runs of
// any size on any machine fit together, and replications 0 .. N-1 always lie
// at least 2^32 / 2^ceil(log2 N) draws apart.
uint32_t ReplicationStartPosition(uint32_t number);
uint32_t ReplicationStartState(uint32_t number);
// The draws replication `number` may take before it reaches the start of
// another of the replications 0 .. count-1 (count > number); the whole cycle
// for a replication alone.
uint64_t ReplicationStretch(uint32_t number, uint64_t count);

// The t with P(|T| <= t) = 0.95 for Student's distribution with df > 0
// degrees of freedom.
double StudentT975(uint64_t df);

// Mean and spread of one indicator over replications, added in number order.
class Summary {
  public:
    void Add(double x);
    uint64_t count() const { return n_; }
    // Not a number when a replication had no value.
    double Mean() const;
    // Half the width of the 95 % confidence interval of the mean; not a
    // number below two replications.
    double HalfWidth() const;

  private:
    uint64_t n_ = 0;
    double mean_ = 0.0;
    double m2_ = 0.0;  // sum of squared deviations from the running mean
    bool finite_ = true;
};

}  // namespace marvolt
