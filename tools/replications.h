// Independent replications of one experiment: where each takes its random
// numbers from, and the confidence interval of their mean.
#pragma once

#include <cstdint>

namespace marvolt {

// Replication n starts n * kReplicationStep draws past the start-up state,
// round the cycle of 2^31 values. So where n starts never depends on how many
// replications a run makes, and runs of any size on any machine fit together.
// The step is odd, so no two replications start a power of two apart, where
// this source's values copy each other bit for bit; and it lies near the cycle
// over the golden ratio with no partial quotient above 2 in its continued
// fraction, so by the three-gap theorem the starts of any replications
// 0 .. N-1 lie at least 2^31 / (3.34 N) draws apart (checked for every N).
constexpr uint32_t kReplicationLimit = uint32_t{1} << 31;  // numbers below it
constexpr uint64_t kReplicationStep = 1325465601;
uint32_t ReplicationStartPosition(uint32_t number);
uint32_t ReplicationStartState(uint32_t number);

// Of the replications 0 .. count-1 (count > number): how many draws
// replication `number` may make before it reaches the start of another, and
// which one that is. A replication alone has the whole cycle.
struct ReplicationStretchEnd {
    uint64_t draws;
    uint32_t next;
};
ReplicationStretchEnd ReplicationStretchOf(uint32_t number, uint64_t count);
inline uint64_t ReplicationStretch(uint32_t number, uint64_t count) {
    return ReplicationStretchOf(number, count).draws;
}

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
