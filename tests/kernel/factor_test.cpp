#include <gtest/gtest.h>

#include <cmath>

#include "model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

class FactorTest : public ::testing::Test {
  protected:
    void SetUp() override { RestoreRandomStartState(); }
};

TEST_F(FactorTest, UniformMeanShiftsTheIntervalAndIsRestored) {
    QueueLine q = MakeQueueLine(Uniform(2.0f, 4.0f), Exponential(10.0f));
    CQueuingSystem& m = *q.model;
    m.arrivalsLimit = 1000;
    ASSERT_EQ(m.SetFactor(Factor(1, kFactorIntervalMean, 5.0f, 1.0f, 2), kAllFactorFields), kOk);
    ASSERT_EQ(m.PrepareFactor(), kOk);
    m.ApplyFactorValue(0);
    EXPECT_EQ(q.generator->intervalLaw, Uniform(4.0f, 6.0f));
    m.ApplyFactorValue(1);
    EXPECT_EQ(q.generator->intervalLaw, Uniform(5.0f, 7.0f));
    m.RestoreFactor();
    EXPECT_EQ(q.generator->intervalLaw, Uniform(2.0f, 4.0f));

    // The whole experiment: the model time of each run follows the mean interval.
    m.AddDependency(255, 255, 25);
    m.AddDependency(255, 255, 25);
    m.factorRun = 1;
    ASSERT_EQ(m.Experiment(), kOk);
    ASSERT_EQ(m.DependencyCount(), 1u);
    const auto& values = m.Dependency(0)->values;
    ASSERT_EQ(values.size(), 2u);
    EXPECT_NEAR(values[0], 5000.0, 100.0);
    EXPECT_NEAR(values[1], 6000.0, 100.0);
    EXPECT_EQ(q.generator->intervalLaw, Uniform(2.0f, 4.0f));
    EXPECT_EQ(m.lastRunWasFactor, 1);
    EXPECT_EQ(m.resultsValid, 0);
    EXPECT_EQ(m.usedFactor.valueCount, 2);
    EXPECT_EQ(m.dependencies.valueCount, 2);
}

TEST_F(FactorTest, StandardDeviationOfAUniformLaw) {
    QueueLine q = MakeQueueLine(Uniform(0.0f, 2.0f), Exponential(10.0f));
    CQueuingSystem& m = *q.model;
    ASSERT_EQ(m.SetFactor(Factor(1, kFactorIntervalDeviation, 1.0f, 1.0f, 1), kAllFactorFields),
              kOk);
    ASSERT_EQ(m.PrepareFactor(), kOk);
    m.ApplyFactorValue(0);
    EXPECT_FLOAT_EQ(q.generator->intervalLaw.param1, 1.0f - std::sqrt(3.0f));
    EXPECT_FLOAT_EQ(q.generator->intervalLaw.param2, 1.0f + std::sqrt(3.0f));
    m.RestoreFactor();
    EXPECT_EQ(q.generator->intervalLaw, Uniform(0.0f, 2.0f));
}

TEST_F(FactorTest, DeviceCountStepsAndComesBack) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(0.5f), 2);
    CQueuingSystem& m = *q.model;
    m.arrivalsLimit = 3000;
    ASSERT_EQ(m.SetFactor(Factor(3, kFactorDevices, 1.0f, 2.0f, 3), kAllFactorFields), kOk);
    m.AddDependency(3, 255, 9);
    m.factorRun = 1;
    ASSERT_EQ(m.Experiment(), kOk);
    const auto& load = m.Dependency(0)->values;
    // Offered load 2: one device saturates, three and five share it.
    EXPECT_GT(load[0], 0.97f);
    EXPECT_NEAR(load[1], 2.0 / 3.0, 0.06);
    EXPECT_NEAR(load[2], 2.0 / 5.0, 0.05);
    EXPECT_EQ(q.channel->deviceCount, 2);
}

TEST_F(FactorTest, CountsAreClampedInsteadOfWrapping) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(0.5f), 2);
    CQueuingSystem& m = *q.model;
    ASSERT_EQ(m.SetFactor(Factor(3, kFactorDevices, 0.0f, 300.0f, 2), kAllFactorFields), kOk);
    ASSERT_EQ(m.PrepareFactor(), kOk);
    m.ApplyFactorValue(0);
    EXPECT_EQ(q.channel->deviceCount, 1) << "never a channel without devices";
    m.ApplyFactorValue(1);
    EXPECT_EQ(q.channel->deviceCount, 255);
    m.RestoreFactor();
    EXPECT_EQ(q.channel->deviceCount, 2);

    ASSERT_EQ(m.SetFactor(Factor(2, kFactorLengthLimit, 0.2f, -1.0f, 2), kAllFactorFields), kOk);
    ASSERT_EQ(m.PrepareFactor(), kOk);
    m.ApplyFactorValue(0);
    EXPECT_EQ(q.queue->lengthLimit, 1u) << "0 would silently mean no limit";
    m.ApplyFactorValue(1);
    EXPECT_EQ(q.queue->lengthLimit, 1u);
    m.RestoreFactor();
    EXPECT_EQ(q.queue->lengthLimit, 0u);
}

TEST_F(FactorTest, QueueLimitsAreSwitchedOnForTheRunsOnly) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(0.8f));
    CQueuingSystem& m = *q.model;
    m.arrivalsLimit = 2000;
    ASSERT_EQ(m.SetFactor(Factor(2, kFactorLengthLimit, 1.0f, 1.0f, 2), kAllFactorFields), kOk);
    m.AddDependency(0, 255, 0);  // requests at the refusal sink
    m.AddDependency(2, 255, 11);
    m.factorRun = 1;
    ASSERT_EQ(m.Experiment(), kOk);
    EXPECT_GT(m.Dependency(0)->values[0], 200.0f) << "the full queue turned requests away";
    EXPECT_LE(m.Dependency(1)->values[0], 1.0f);
    EXPECT_LE(m.Dependency(1)->values[1], 2.0f);
    EXPECT_EQ(q.queue->lengthLimited, 0);
    EXPECT_EQ(q.queue->lengthLimit, 0u);

    ASSERT_EQ(m.SetFactor(Factor(2, kFactorWaitLimit, 0.5f, 1.0f, 1), kAllFactorFields), kOk);
    ASSERT_EQ(m.Experiment(), kOk);
    EXPECT_LE(m.Dependency(1)->values[0], 4.0f);
    EXPECT_EQ(q.queue->waitLimitMode, kWaitUnlimited);
    EXPECT_EQ(q.queue->waitLimit, 0.0f);
}

TEST_F(FactorTest, SettingsAreCheckedBeforeAnythingChanges) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *q.model;
    const FactorSettings before = m.plannedFactor;
    EXPECT_EQ(m.SetFactor(Factor(4, kFactorDevices, 2.0f, 3.0f, 4), kAllFactorFields), kNoSuchNode)
        << "a sink";
    EXPECT_EQ(m.SetFactor(Factor(9, kFactorDevices, 2.0f, 3.0f, 4), kAllFactorFields), kNoSuchNode);
    EXPECT_EQ(m.SetFactor(Factor(3, kFactorDevices, -1.0f, 3.0f, 4), kAllFactorFields),
              kFactorNegativeStart);
    EXPECT_EQ(m.plannedFactor, before);
    // Bits not set are not checked nor copied.
    EXPECT_EQ(m.SetFactor(Factor(4, kFactorDevices, 2.0f, 3.0f, 4), kFactorMaskStep), kOk);
    EXPECT_EQ(m.plannedFactor.step, 3.0f);
    EXPECT_EQ(m.plannedFactor.factorObject, kNoIndex);

    m.factorRun = 1;
    EXPECT_EQ(m.Experiment(), kNoSuchNode);
    m.SetFactor(Factor(1, kFactorDevices, 1.0f, 1.0f, 1), kAllFactorFields);
    EXPECT_EQ(m.ValidateFactor(), kFactorWrongParameter);
    m.SetFactor(Factor(3, kFactorServiceMean, 1.0f, 1.0f, 1, 5), kAllFactorFields);
    EXPECT_EQ(m.ValidateFactor(), kNoSuchType);
    m.SetFactor(Factor(2, kFactorServiceMean, 1.0f, 1.0f, 1, 0), kAllFactorFields);
    EXPECT_EQ(m.ValidateFactor(), kFactorWrongParameter);
    m.SetFactor(Factor(3, kFactorServiceMean, 1.0f, 1.0f, 0, 0), kAllFactorFields);
    EXPECT_EQ(m.ValidateFactor(), kOk);
    EXPECT_EQ(m.Experiment(), kFactorNoValues);
    EXPECT_EQ(m.lastRunWasFactor, 0);
}

// Stepping the service rate of an M/M/1 queue: the mean wait follows rho / (mu - lambda).
TEST_F(FactorTest, MM1WaitingTimeCurve) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *q.model;
    m.arrivalsLimit = 400000;
    ASSERT_EQ(m.SetFactor(Factor(3, kFactorServiceIntensity, 1.25f, 0.25f, 5, 0), kAllFactorFields),
              kOk);
    m.AddDependency(2, 255, 13);
    m.factorRun = 1;
    ASSERT_EQ(m.Experiment(), kOk);
    for (int i = 0; i < 5; ++i) {
        const double mu = 1.25 + 0.25 * i;
        const double expected = (1.0 / mu) / (mu - 1.0);
        // Half-width of a few standard errors at these loads and this run length.
        EXPECT_NEAR(m.Dependency(0)->values[i], expected, 0.05 * expected) << "mu " << mu;
    }
    EXPECT_EQ(q.channel->serviceLaws[0], Exponential(2.0f));
}

}  // namespace
}  // namespace marvolt
