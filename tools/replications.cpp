#include "tools/replications.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "kernel/random_stat.h"

namespace marvolt {

namespace {

// P(|T| <= sqrt(df) tan(theta)) by the finite series of Student's
// distribution for whole degrees of freedom.
double TwoSidedProbability(double theta, uint64_t df) {
    const double c = std::cos(theta), s = std::sin(theta), c2 = c * c;
    if (df % 2 == 0) {
        double term = 1.0, sum = 1.0;
        for (uint64_t k = 2; k + 2 <= df; k += 2) {
            term *= c2 * static_cast<double>(k - 1) / static_cast<double>(k);
            sum += term;
        }
        return s * sum;
    }
    if (df == 1)
        return 2.0 * theta / std::numbers::pi;
    double term = c, sum = c;
    for (uint64_t k = 3; k + 2 <= df; k += 2) {
        term *= c2 * static_cast<double>(k - 1) / static_cast<double>(k);
        sum += term;
    }
    return 2.0 / std::numbers::pi * (theta + s * sum);
}

}  // namespace

uint32_t ReplicationStartPosition(uint32_t number) {
    return static_cast<uint32_t>(number * kReplicationStep % kRandomValueCycle);
}

uint32_t ReplicationStartState(uint32_t number) {
    return AdvanceRandomState(StartupRandomState(), ReplicationStartPosition(number));
}

ReplicationStretchEnd ReplicationStretchOf(uint32_t number, uint64_t count) {
    if (count <= 1)
        return {kRandomValueCycle, number};
    // The starts nearest after and before replication 0: a start that comes
    // nearer than both is always the sum of their numbers.
    uint64_t after = 1, before = 1;
    uint64_t afterAt = kReplicationStep, beforeAt = kReplicationStep;
    while (after + before < count) {
        const uint64_t at = (afterAt + beforeAt) % kRandomValueCycle;
        if (at < afterAt) {
            afterAt = at;
            after += before;
        } else {
            beforeAt = at;
            before += after;
        }
    }
    // The three-gap theorem: replication n is followed by n + after while
    // that exists, else by n - before while that exists, else by both steps.
    const uint64_t n = number, upToAfter = afterAt, downToBefore = kRandomValueCycle - beforeAt;
    if (n + after < count)
        return {upToAfter, static_cast<uint32_t>(n + after)};
    if (n >= before)
        return {downToBefore, static_cast<uint32_t>(n - before)};
    return {upToAfter + downToBefore, static_cast<uint32_t>(n + after - before)};
}

double StudentT975(uint64_t df) {
    constexpr double kTarget = 0.95;
    if (df > 400) {
        // Beyond, the Cornish-Fisher series in 1/df is exact to double precision.
        const double z = 1.959963984540054, z2 = z * z, n = static_cast<double>(df);
        const double g1 = (z2 + 1) * z / 4;
        const double g2 = ((5 * z2 + 16) * z2 + 3) * z / 96;
        const double g3 = (((3 * z2 + 19) * z2 + 17) * z2 - 15) * z / 384;
        const double g4 = ((((79 * z2 + 776) * z2 + 1482) * z2 - 1920) * z2 - 945) * z / 92160;
        return z + (g1 + (g2 + (g3 + g4 / n) / n) / n) / n;
    }
    // The probability grows with the angle: halve the interval until it stops shrinking.
    double lo = 0.0, hi = std::numbers::pi / 2;
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        if (mid <= lo || mid >= hi)
            break;
        (TwoSidedProbability(mid, df) < kTarget ? lo : hi) = mid;
    }
    return std::sqrt(static_cast<double>(df)) * std::tan((lo + hi) / 2);
}

void Summary::Add(double x) {
    if (!std::isfinite(x))
        finite_ = false;
    ++n_;
    // Welford's running form keeps the spread exact where the values are
    // large and close together.
    const double d = x - mean_;
    mean_ += d / static_cast<double>(n_);
    m2_ += d * (x - mean_);
}

double Summary::Mean() const {
    return finite_ && n_ > 0 ? mean_ : std::numeric_limits<double>::quiet_NaN();
}

double Summary::HalfWidth() const {
    if (!finite_ || n_ < 2)
        return std::numeric_limits<double>::quiet_NaN();
    const double variance = m2_ / static_cast<double>(n_ - 1);
    return StudentT975(n_ - 1) * std::sqrt(variance / static_cast<double>(n_));
}

}  // namespace marvolt
