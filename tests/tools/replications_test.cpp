#include "tools/replications.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "kernel/random_stat.h"

namespace marvolt {
namespace {

TEST(ReplicationStretchTest, StartsAreFixedPointsOfTheValueCycle) {
    // Replication 0 is the run the program makes right after start-up.
    EXPECT_EQ(ReplicationStartPosition(0), 0u);
    EXPECT_EQ(ReplicationStartState(0), StartupRandomState());
    EXPECT_EQ(ReplicationStartPosition(1), kReplicationStep);
    EXPECT_EQ(ReplicationStartState(3),
              AdvanceRandomState(StartupRandomState(), 3 * kReplicationStep % kRandomValueCycle));
    EXPECT_EQ(ReplicationStartPosition(kReplicationLimit - 1),
              kRandomValueCycle - kReplicationStep);
    // Two starts a power of two apart would give copies of each other's values.
    for (uint32_t n = 1; n < 4096; ++n) {
        const uint32_t p = ReplicationStartPosition(n);
        ASSERT_NE(p & (p - 1), 0u) << n;
    }
}

// Every count is checked against sorting the starts of 0 .. count-1.
TEST(ReplicationStretchTest, EachStretchEndsWhereTheNextReplicationStarts) {
    std::vector<uint64_t> counts;
    for (uint64_t c = 1; c <= 300; ++c)
        counts.push_back(c);
    for (uint64_t c : {987u, 988u, 1000u, 1597u, 4096u, 10007u})
        counts.push_back(c);
    for (uint64_t count : counts) {
        std::vector<std::pair<uint64_t, uint32_t>> starts;
        for (uint32_t n = 0; n < count; ++n)
            starts.push_back({ReplicationStartPosition(n), n});
        std::sort(starts.begin(), starts.end());
        uint64_t shortest = kRandomValueCycle;
        for (size_t i = 0; i < starts.size(); ++i) {
            const auto [start, n] = starts[i];
            const bool last = i + 1 == starts.size();
            const uint64_t next = last ? starts[0].first + kRandomValueCycle : starts[i + 1].first;
            const ReplicationStretchEnd end = ReplicationStretchOf(n, count);
            ASSERT_EQ(end.draws, next - start) << n << " of " << count;
            ASSERT_EQ(end.next, last ? starts[0].second : starts[i + 1].second);
            shortest = std::min(shortest, end.draws);
        }
        // No stretch is much shorter than an even share of the cycle.
        ASSERT_GE(static_cast<double>(shortest) * 3.34 * static_cast<double>(count),
                  static_cast<double>(kRandomValueCycle))
            << count;
    }
    EXPECT_EQ(ReplicationStretch(0, 1), kRandomValueCycle);
    EXPECT_EQ(ReplicationStretch(5, 1), kRandomValueCycle) << "alone, whatever its number";
}

TEST(StudentTTest, QuantilesMatchTheTables) {
    // Closed forms for one and two degrees of freedom.
    EXPECT_NEAR(StudentT975(1), std::tan(0.475 * 3.14159265358979323846), 1e-9);
    EXPECT_NEAR(StudentT975(2), std::sqrt(2 * 0.9025 / (1 - 0.9025)), 1e-12);
    // Tables of the two-sided 5 % point, four decimals.
    const struct {
        uint64_t df;
        double t;
    } table[] = {{3, 3.1824},   {4, 2.7764},   {5, 2.5706},   {9, 2.2622},
                 {10, 2.2281},  {19, 2.0930},  {30, 2.0423},  {60, 2.0003},
                 {120, 1.9799}, {400, 1.9659}, {401, 1.9659}, {1000, 1.9623}};
    for (const auto& row : table)
        EXPECT_NEAR(StudentT975(row.df), row.t, 5e-5) << row.df;
    // The two ways of computing meet where one hands over to the other: the
    // second difference there is as small as the curve's own (about 7e-8).
    const double bend = StudentT975(399) - 2 * StudentT975(400) + StudentT975(401);
    EXPECT_NEAR(bend, 7.4e-8, 1e-8);
    EXPECT_NEAR(StudentT975(100000000), 1.959963984540054, 1e-7);
}

TEST(SummaryTest, MeanAndHalfWidthOfTheReplications) {
    Summary s;
    EXPECT_TRUE(std::isnan(s.Mean()));
    s.Add(4.0);
    EXPECT_EQ(s.Mean(), 4.0);
    EXPECT_TRUE(std::isnan(s.HalfWidth())) << "one replication says nothing of the spread";
    for (double x : {6.0, 8.0, 2.0})
        s.Add(x);
    // Mean 5, sample variance 20/3, t(3) = 3.18245.
    EXPECT_DOUBLE_EQ(s.Mean(), 5.0);
    EXPECT_NEAR(s.HalfWidth(), 3.182446305284263 * std::sqrt(20.0 / 3.0 / 4.0), 1e-12);

    // Large values close together keep their small spread.
    Summary big;
    for (double x : {1e9 + 1, 1e9 + 2, 1e9 + 3})
        big.Add(x);
    EXPECT_NEAR(big.HalfWidth(), 4.302652729749464 * std::sqrt(1.0 / 3.0), 1e-6);

    Summary missing;
    missing.Add(1.0);
    missing.Add(std::nan(""));
    missing.Add(3.0);
    EXPECT_TRUE(std::isnan(missing.Mean()));
    EXPECT_TRUE(std::isnan(missing.HalfWidth()));
    EXPECT_EQ(missing.count(), 3u);
}

}  // namespace
}  // namespace marvolt
