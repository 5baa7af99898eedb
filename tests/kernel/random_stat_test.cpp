#include "kernel/random_stat.h"

#include <gtest/gtest.h>

#include <cmath>

namespace marvolt {
namespace {

class RandomTest : public ::testing::Test {
  protected:
    void SetUp() override { RestoreRandomStartState(); }
};

// Finds a state whose next draw is r, so edge draws can be forced.
uint32_t StateBefore(int r) {
    for (uint32_t s = 0;; ++s) {
        SetRandomState(s);
        if (NextRandom() == r)
            return s;
    }
}

TEST_F(RandomTest, StartupSequenceAndSeedingOnlyOnce) {
    EXPECT_EQ(RandomState(), 22695478u);
    EXPECT_EQ(NextRandom(), 130);
    EXPECT_EQ(NextRandom(), 10982);
    EXPECT_EQ(NextRandom(), 1090);
    // The program seeds once; a second start-up call must not restart the sequence.
    const uint32_t before = RandomState();
    SeedRandomAtStartup();
    EXPECT_EQ(RandomState(), before);
}

TEST_F(RandomTest, JumpsLandWhereTheDrawsWouldHaveLed) {
    EXPECT_EQ(StartupRandomState(), RandomState());
    const uint32_t start = RandomState();
    uint32_t walked = start;
    for (uint64_t n = 0; n <= 70000; ++n) {
        // Every count up to 70000 is checked against drawing that many values.
        ASSERT_EQ(AdvanceRandomState(start, n), walked) << n;
        ASSERT_EQ(RandomDrawsBetween(start, walked), n) << n;
        SetRandomState(walked);
        NextRandom();
        walked = RandomState();
    }
    // A whole cycle comes back, and no shorter power of two does.
    EXPECT_EQ(AdvanceRandomState(12345u, kRandomStateCycle), 12345u);
    EXPECT_EQ(AdvanceRandomState(12345u, kRandomStateCycle + 7), AdvanceRandomState(12345u, 7));
    for (int k = 0; k < 32; ++k)
        EXPECT_NE(AdvanceRandomState(12345u, uint64_t{1} << k), 12345u) << k;
    // Long jumps compose and are undone by the distance.
    const uint64_t longJumps[] = {1u << 20, 3000000017u, 4294967295u, 2147483648u};
    for (uint64_t a : longJumps) {
        for (uint64_t b : longJumps) {
            const uint32_t there = AdvanceRandomState(start, a);
            EXPECT_EQ(AdvanceRandomState(there, b), AdvanceRandomState(start, a + b));
            EXPECT_EQ(RandomDrawsBetween(start, there), a);
            EXPECT_EQ(RandomDrawsBetween(there, start), kRandomStateCycle - a);
        }
    }
    EXPECT_EQ(RandomDrawsBetween(999u, 999u), 0u);
}

// Half a cycle of states apart the values are the same, a quarter apart they
// differ in their top bit only: runs must never start a power of two apart.
TEST_F(RandomTest, ValuesRepeatAfterHalfTheStates) {
    const uint32_t a0 = StartupRandomState();
    for (const uint64_t apart : {kRandomValueCycle, kRandomValueCycle / 2}) {
        uint32_t a = a0, b = AdvanceRandomState(a0, apart);
        int same = 0, topBitOnly = 0;
        for (int i = 0; i < 10000; ++i) {
            SetRandomState(a);
            const int ra = NextRandom();
            a = RandomState();
            SetRandomState(b);
            const int rb = NextRandom();
            b = RandomState();
            same += ra == rb;
            topBitOnly += (ra ^ rb) == 16384;
        }
        EXPECT_EQ(apart == kRandomValueCycle ? same : topBitOnly, 10000) << apart;
    }
}

TEST_F(RandomTest, EachLawConsumesItsNumberOfValues) {
    struct Case {
        LawRecord law;
        int draws;
    } cases[] = {{{kLawDeterministic, 3.0f, 0.0f}, 0},
                 {{kLawUniform, 2.0f, 2.0f}, 1},
                 {{kLawExponential, 0.5f, 0.0f}, 1},
                 {{kLawNormal, 1.0f, 0.5f}, 12},
                 {{7, 1.0f, 1.0f}, 0}};
    for (const auto& c : cases) {
        RestoreRandomStartState();
        SampleLaw(c.law);
        uint32_t expected = 22695478u;
        RestoreRandomStartState();
        for (int i = 0; i < c.draws; ++i)
            NextRandom();
        expected = RandomState();
        RestoreRandomStartState();
        SampleLaw(c.law);
        EXPECT_EQ(RandomState(), expected) << "kind " << int(c.law.lawKind);
    }
    RestoreRandomStartState();
    EXPECT_EQ(SampleLaw({kLawUniform, 2.0f, 2.0f}), 2.0f);
    EXPECT_EQ(SampleLaw({7, 1.0f, 1.0f}), 0.0f);
}

TEST_F(RandomTest, ExponentialEdgeDrawsStayFinite) {
    const LawRecord law{kLawExponential, 2.0f, 0.0f};
    SetRandomState(StateBefore(32767));
    const float top = SampleLaw(law);
    EXPECT_NEAR(top, 10.3972 / 2.0, 1e-3);
    SetRandomState(StateBefore(0));
    EXPECT_EQ(SampleLaw(law), 0.0f);
}

TEST_F(RandomTest, ExponentialDrawsMatchTheDirectFormulaBitForBit) {
    const LawRecord law{kLawExponential, 0.37f, 0.0f};
    for (int i = 0; i < 300000; ++i) {
        const uint32_t state = RandomState() * 22695477u + 1u;
        const int r = static_cast<int>((state >> 16) & 32767u);
        const float v = static_cast<float>(1.0 - r / 32767.0);
        const double arg = v > 0.0f ? static_cast<double>(v) : 1.0 / 32767.0;
        const float expected = static_cast<float>(-std::log(arg) / law.param1);
        ASSERT_EQ(SampleLaw(law), expected) << "r = " << r;
    }
}

TEST_F(RandomTest, UniformAndNormalDraws) {
    SetRandomState(StateBefore(32767));
    EXPECT_FLOAT_EQ(SampleLaw({kLawUniform, 2.0f, 6.0f}), 6.0f);
    SetRandomState(StateBefore(0));
    EXPECT_FLOAT_EQ(SampleLaw({kLawUniform, 2.0f, 6.0f}), 2.0f);

    // Mean 0, sigma 1: negative draws are cut to 0, so about half are exactly 0.
    int zeros = 0;
    double sum = 0.0;
    const int n = 20000;
    for (int i = 0; i < n; ++i) {
        const float x = SampleLaw({kLawNormal, 0.0f, 1.0f});
        EXPECT_GE(x, 0.0f);
        zeros += x == 0.0f;
        sum += x;
    }
    EXPECT_NEAR(zeros / double(n), 0.5, 0.02);
    // E[max(Z,0)] = 1/sqrt(2 pi) ~ 0.3989.
    EXPECT_NEAR(sum / n, 0.3989, 0.02);
}

TEST(LawTest, IntervalProbabilities) {
    const LawRecord det{kLawDeterministic, 5.0f, 0.0f};
    EXPECT_EQ(IntervalProbability(det, 5.0f, 6.0f), 1.0);
    EXPECT_EQ(IntervalProbability(det, 4.0f, 5.0f), 0.0);

    const LawRecord uni{kLawUniform, 0.0f, 10.0f};
    EXPECT_NEAR(IntervalProbability(uni, 8.0f, 12.0f), 0.2, 1e-7);
    EXPECT_EQ(IntervalProbability(uni, 11.0f, 12.0f), 0.0);
    EXPECT_NEAR(IntervalProbability(uni, -5.0f, 15.0f), 1.0, 1e-7);

    const LawRecord expo{kLawExponential, 0.5f, 0.0f};
    EXPECT_NEAR(IntervalProbability(expo, 0.0f, 2.0f), 1.0 - std::exp(-1.0), 1e-9);
    // No clipping below 0.
    EXPECT_NEAR(IntervalProbability(expo, -2.0f, 0.0f), std::exp(1.0) - 1.0, 1e-9);

    const LawRecord norm{kLawNormal, 0.0f, 1.0f};
    EXPECT_NEAR(IntervalProbability(norm, -1.0f, 1.0f), 0.682689, 1e-4);
    EXPECT_NEAR(IntervalProbability(norm, 0.0f, 0.5f), 0.191462, 1e-5);
    EXPECT_EQ(IntervalProbability({9, 1.0f, 1.0f}, 0.0f, 1.0f), 0.0);
}

TEST(LawTest, NearestIntegerRoundsHalfUp) {
    EXPECT_EQ(NearestInteger(2.5f), 3);
    EXPECT_EQ(NearestInteger(2.4999f), 2);
    EXPECT_EQ(NearestInteger(0.0f), 0);
}

TEST(LawTest, LawFromSample) {
    CFDistribution d;
    d.lowerBound = 0.0f;
    d.upperBound = 4.0f;
    d.binCount = 4;
    ASSERT_TRUE(d.ResetBins());
    d.AddValue(0.5f);
    d.AddValue(1.5f);
    d.AddValue(1.5f);
    d.AddValue(2.5f);
    EXPECT_FLOAT_EQ(LawFromSample(d, kLawDeterministic).param1, 1.5f);
    const LawRecord u = LawFromSample(d, kLawUniform);
    EXPECT_EQ(u.param1, 0.0f);
    EXPECT_EQ(u.param2, 4.0f);
    EXPECT_FLOAT_EQ(LawFromSample(d, kLawExponential).param1, 1.0f / 1.5f);
    EXPECT_EQ(LawFromSample(d, kLawExponential).param2, 0.0f);
    const LawRecord n = LawFromSample(d, kLawNormal);
    EXPECT_FLOAT_EQ(n.param1, 1.5f);
    EXPECT_FLOAT_EQ(n.param2, std::sqrt(0.5f));

    CFDistribution empty;
    empty.ResetBins();
    EXPECT_EQ(LawFromSample(empty, kLawExponential).param1, 0.0f);
}

TEST(DistributionTest, RealBinPlacementAtTheBounds) {
    CFDistribution d;
    ASSERT_TRUE(d.ResetBins());
    EXPECT_FLOAT_EQ(d.binWidth, 1.0f);
    d.AddValue(7.99f);
    d.AddValue(8.0f);
    d.AddValue(-0.5f);
    d.AddValue(-1.0f);
    d.AddValue(std::nanf(""));
    d.AddValue(INFINITY);
    EXPECT_EQ(d.binCounts[7], 1u);
    EXPECT_EQ(d.binCounts[0], 1u);
    EXPECT_EQ(d.sampleCount, 2u);
    float v = -1, l = -1, r = -1;
    d.BinWithBounds(7, v, l, r);
    EXPECT_EQ(v, 1.0f);
    EXPECT_EQ(l, 7.0f);
    EXPECT_EQ(r, 8.0f);
    d.BinWithBounds(8, v, l, r);  // out of range leaves outputs alone
    EXPECT_EQ(l, 7.0f);
}

TEST(DistributionTest, RealMeanAndVariance) {
    CFDistribution d;
    d.upperBound = 8.0f;
    ASSERT_TRUE(d.ResetBins());
    EXPECT_EQ(d.Mean(), 0.0f);
    EXPECT_EQ(d.Variance(), 0.0f);
    d.AddValue(0.2f);
    EXPECT_FLOAT_EQ(d.Mean(), 0.5f);
    d.AddValue(2.7f);
    EXPECT_FLOAT_EQ(d.Mean(), 1.5f);
    EXPECT_FLOAT_EQ(d.Variance(), 1.0f);
}

TEST(DistributionTest, IntegerBinsNarrowedToTheRange) {
    CIDistribution d;
    d.upperBound = 2;
    ASSERT_TRUE(d.ResetBins());
    EXPECT_EQ(d.binCount, 3);
    EXPECT_EQ(d.binWidth, 1);

    CIDistribution e;
    e.upperBound = 9;
    e.binCount = 4;
    ASSERT_TRUE(e.ResetBins());
    EXPECT_EQ(e.binWidth, 2);
    e.AddWeighted(8, 1.0f);
    e.AddWeighted(9, 1.0f);
    e.AddWeighted(7, 1.0f);
    EXPECT_EQ(e.sampleCount, 1u);
    EXPECT_EQ(e.binWeights[3], 1.0f);

    CIDistribution w;
    ASSERT_TRUE(w.ResetBins());
    w.AddWeighted(3, 2.5f);
    w.AddWeighted(3, 0.0f);
    EXPECT_EQ(w.sampleCount, 2u);
    EXPECT_EQ(w.binWeights[3], 2.5f);
    // Centre of bin 3 of width 1 is the value 3 itself.
    EXPECT_FLOAT_EQ(w.Mean(), 3.0f);
    EXPECT_FLOAT_EQ(w.Variance(), 0.0f);
}

TEST(DistributionTest, UnusableSettingsAreRefused) {
    CFDistribution reversed;
    reversed.lowerBound = 5.0f;
    reversed.upperBound = 1.0f;
    EXPECT_FALSE(reversed.ResetBins());
    EXPECT_FALSE(reversed.HasBins());
    reversed.AddValue(3.0f);
    EXPECT_EQ(reversed.sampleCount, 0u);
    EXPECT_EQ(reversed.ChiSquare({kLawUniform, 1.0f, 5.0f}, nullptr), 0.0f);

    CFDistribution flat;
    flat.lowerBound = flat.upperBound = 2.0f;
    EXPECT_FALSE(flat.ResetBins());

    CFDistribution none;
    none.binCount = 0;
    EXPECT_FALSE(none.ResetBins());
    none.AddValue(1.0f);
    EXPECT_EQ(none.Mean(), 0.0f);

    CIDistribution ireversed;
    ireversed.lowerBound = 3;
    ireversed.upperBound = 1;
    EXPECT_FALSE(ireversed.ResetBins());
    ireversed.AddWeighted(2, 1.0f);
    EXPECT_EQ(ireversed.sampleCount, 0u);

    CIDistribution inone;
    inone.binCount = 0;
    EXPECT_FALSE(inone.ResetBins());
    EXPECT_EQ(inone.Mean(), 0.0f);

    // A single value is a valid integer range.
    CIDistribution single;
    single.lowerBound = single.upperBound = 4;
    EXPECT_TRUE(single.ResetBins());
    EXPECT_EQ(single.binCount, 1);
}

TEST(DistributionTest, ChiSquare) {
    CFDistribution d;
    d.upperBound = 4.0f;
    d.binCount = 4;
    ASSERT_TRUE(d.ResetBins());
    for (float x : {0.5f, 1.5f, 2.5f, 3.5f})
        d.AddValue(x);
    std::vector<float> e;
    EXPECT_FLOAT_EQ(d.ChiSquare({kLawUniform, 0.0f, 4.0f}, &e), 0.0f);
    ASSERT_EQ(e.size(), 4u);
    EXPECT_FLOAT_EQ(e[2], 1.0f);

    // A deterministic law puts every expectation into one bin; the others
    // divide by 0.00001 rather than by zero.
    const float chi = d.ChiSquare({kLawDeterministic, 0.5f, 0.0f}, &e);
    EXPECT_FLOAT_EQ(e[0], 4.0f);
    EXPECT_EQ(e[1], 0.0f);
    EXPECT_NEAR(chi, (1 - 4.0) * (1 - 4.0) / 4.0 + 3 * 1.0 / 0.00001, 1.0);

    CIDistribution i;
    i.upperBound = 3;
    i.binCount = 4;
    ASSERT_TRUE(i.ResetBins());
    for (int v = 0; v < 4; ++v)
        i.AddWeighted(v, 2.0f);
    std::vector<float> ie;
    EXPECT_FLOAT_EQ(i.ChiSquare({kLawUniform, 0.0f, 1.0f}, &ie), 0.0f);
    ASSERT_EQ(ie.size(), 4u);
    // Expected values come back in weight units: 4 observations over 8 weight.
    EXPECT_FLOAT_EQ(ie[0], 2.0f);

    CIDistribution unset;
    EXPECT_EQ(unset.ChiSquare({kLawUniform, 0.0f, 1.0f}, nullptr), 0.0f);
}

}  // namespace
}  // namespace marvolt
