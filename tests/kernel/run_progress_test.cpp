// Progress reports of runs and factor experiments, and cancelling them.
#include <gtest/gtest.h>

#include <chrono>

#include "model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

class RunProgressTest : public ::testing::Test {
  protected:
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(1.25f));
    CQueuingSystem& m = *q.model;
    void SetUp() override {
        RestoreRandomStartState();
        m.progressPeriod = std::chrono::nanoseconds(0);  // report at every look at the clock
    }
};

TEST_F(RunProgressTest, CancellingStopsTheRunWithinOneCallback) {
    m.arrivalsLimit = 4'000'000'000u;  // would run for minutes
    int calls = 0;
    ASSERT_EQ(m.Experiment([&](const RunProgress& p) {
        ++calls;
        EXPECT_EQ(p.runs, 1);
        return false;
    }),
              kOk);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(m.stopReason, StopReason::kCancelled);
    EXPECT_LT(m.arrived, 10000u) << "stopped after a few thousand events";
    EXPECT_GT(m.CountIndicator(indArrived, 4, kNoIndex), 0u) << "the run was finalised";

    // The next run starts afresh.
    m.arrivalsLimit = 100;
    m.Run();
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
    EXPECT_EQ(m.arrived, 101u);
}

TEST_F(RunProgressTest, SharesFollowTheStopCriterion) {
    m.arrivalsLimit = 200000;
    float last = 0.0f;
    int calls = 0;
    m.Run([&](const RunProgress& p) {
        ++calls;
        EXPECT_GE(p.share, last);
        EXPECT_LE(p.share, 1.0f);
        EXPECT_NEAR(p.share, static_cast<float>(m.arrived) / 200000.0f, 1e-6);
        last = p.share;
        return true;
    });
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
    EXPECT_GT(last, 0.9f);
    // Never per event: the clock is looked at once in thousands of events.
    EXPECT_GT(calls, 10);
    EXPECT_LT(calls, 200);

    m.stopByTime = 1;
    m.timeLimit = 50000.0f;
    m.Run([&](const RunProgress& p) {
        EXPECT_NEAR(p.share, m.modelTime / 50000.0, 1e-6);
        return true;
    });
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
}

TEST_F(RunProgressTest, CallsAreKeptAPeriodApart) {
    m.arrivalsLimit = 600000;
    m.progressPeriod = std::chrono::milliseconds(20);
    int calls = 0;
    const auto start = std::chrono::steady_clock::now();
    m.Run([&](const RunProgress&) {
        ++calls;
        return true;
    });
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Bounded by the period whatever the speed of the machine.
    EXPECT_LE(calls, elapsed / std::chrono::milliseconds(20) + 1);
}

class FactorProgressTest : public RunProgressTest {
  protected:
    void SetUp() override {
        RunProgressTest::SetUp();
        q.channel->deviceCount = 2;
        ASSERT_EQ(m.SetFactor(Factor(3, kFactorDevices, 1.0f, 1.0f, 4), kAllFactorFields), kOk);
        m.AddDependency(3, kNoIndex, indLoad);
        m.factorRun = 1;
        m.arrivalsLimit = 100000;
    }
};

TEST_F(FactorProgressTest, CancelledExperimentRestoresTheFactor) {
    int lastRun = -1;
    ASSERT_EQ(m.Experiment([&](const RunProgress& p) {
        EXPECT_EQ(p.runs, 4);
        EXPECT_GE(p.run, lastRun);
        lastRun = p.run;
        return p.run < 1;  // cancel as soon as the second run reports
    }),
              kOk);
    EXPECT_EQ(lastRun, 1);
    EXPECT_EQ(m.stopReason, StopReason::kCancelled);
    EXPECT_EQ(q.channel->deviceCount, 2) << "the factor's own value is back";
    EXPECT_EQ(m.factorRunsDone, 1);
    const CDependInfo* load = m.Dependency(0);
    ASSERT_EQ(load->values.size(), 4u);
    EXPECT_GT(load->values[0], 0.5f) << "the finished run is recorded";
    EXPECT_EQ(load->values[1], 0.0f) << "the cancelled run is not";
    EXPECT_EQ(m.usedFactor.valueCount, 4);

    // Uninterrupted, every run is done.
    ASSERT_EQ(m.Experiment(), kOk);
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
    EXPECT_EQ(m.factorRunsDone, 4);
    EXPECT_GT(m.Dependency(0)->values[3], 0.0f);
}

TEST_F(FactorProgressTest, AGuardedRunMarksTheWholeExperimentAndTheFactorIsRestored) {
    // A generator interval of 0 stops the clock: the guard ends that run only.
    ASSERT_EQ(m.SetFactor(Factor(1, kFactorIntervalMean, 0.0f, 1.0f, 2), kAllFactorFields), kOk);
    q.generator->intervalLaw = Deterministic(1.0f);
    m.stopByTime = 1;
    m.timeLimit = 200.0f;
    m.progressGuard = 1000;
    ASSERT_EQ(m.Experiment(), kOk);
    EXPECT_EQ(m.stopReason, StopReason::kProgressGuard) << "though the last run finished";
    EXPECT_EQ(m.factorRunsDone, 2);
    EXPECT_GT(m.modelTime, 200.0) << "the second run went to its end";
    EXPECT_EQ(q.generator->intervalLaw, Deterministic(1.0f));
}

}  // namespace
}  // namespace marvolt
