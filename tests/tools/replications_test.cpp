#include "tools/replications.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "kernel/random_stat.h"

namespace marvolt {
namespace {

TEST(ReplicationStretchTest, StartsHalveTheCycleOverAndOver) {
    EXPECT_EQ(ReplicationStartPosition(0), 0u);
    EXPECT_EQ(ReplicationStartPosition(1), 1u << 31);
    EXPECT_EQ(ReplicationStartPosition(2), 1u << 30);
    EXPECT_EQ(ReplicationStartPosition(3), 3u << 30);
    EXPECT_EQ(ReplicationStartPosition(4), 1u << 29);
    // Replication 0 is the run the program makes right after start-up.
    EXPECT_EQ(ReplicationStartState(0), StartupRandomState());
    EXPECT_EQ(ReplicationStartState(1),
              AdvanceRandomState(StartupRandomState(), uint64_t{1} << 31));
}

TEST(ReplicationStretchTest, EachStretchEndsWhereTheNextReplicationStarts) {
    for (uint64_t count : {1u, 2u, 3u, 5u, 7u, 8u, 9u, 100u, 1000u, 4097u}) {
        std::vector<uint64_t> starts;
        for (uint32_t n = 0; n < count; ++n)
            starts.push_back(ReplicationStartPosition(n));
        std::sort(starts.begin(), starts.end());
        ASSERT_EQ(std::adjacent_find(starts.begin(), starts.end()), starts.end());
        const uint64_t grid = std::bit_ceil(count);
        for (uint32_t n = 0; n < count; ++n) {
            const uint64_t start = ReplicationStartPosition(n);
            const auto at = std::upper_bound(starts.begin(), starts.end(), start);
            const uint64_t next = at == starts.end() ? starts.front() + kRandomCycleLength : *at;
            ASSERT_EQ(ReplicationStretch(n, count), next - start) << n << " of " << count;
            ASSERT_GE(ReplicationStretch(n, count), kRandomCycleLength / grid);
        }
    }
    EXPECT_EQ(ReplicationStretch(0, 1), kRandomCycleLength);
    EXPECT_EQ(ReplicationStretch(0, 2), kRandomCycleLength / 2);
    EXPECT_EQ(ReplicationStretch(4294967295u, 4294967296u), 1u);
}

TEST(StudentTTest, QuantilesMatchTheTables) {
    // Closed forms for one and two degrees of freedom.
    EXPECT_NEAR(StudentT975(1), std::tan(0.475 * 3.14159265358979323846), 1e-9);
    EXPECT_NEAR(StudentT975(2), std::sqrt(2 * 0.9025 / (1 - 0.9025)), 1e-12);
    // Tables of the two-sided 5 % point, four decimals.
    const struct {
        uint64_t df;
        double t;
    } table[] = {{3, 3.1824},  {4, 2.7764},   {5, 2.5706},  {9, 2.2622},  {10, 2.2281},
                 {19, 2.0930}, {30, 2.0423},  {60, 2.0003}, {120, 1.9799}, {400, 1.9659},
                 {401, 1.9659}, {1000, 1.9623}};
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
