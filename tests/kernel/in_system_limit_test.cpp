// The bound on the requests a model holds: models a typo or an unstable design
// easily makes end soon and small, and honest models never notice it.
#include <gtest/gtest.h>

#include <chrono>
#include <limits>

#include "allocation_count.h"
#include "fingerprint.h"
#include "model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;
using testing_memory::LiveBytes;
using testing_memory::PeakBytes;
using testing_memory::ResetPeak;

class InSystemLimitTest : public ::testing::Test {
  protected:
    void SetUp() override { RestoreRandomStartState(); }
};

TEST_F(InSystemLimitTest, AHugeBatchStopsAtTheBoundWithinTheBatchAndTheModelStaysUsable) {
    QueueLine q = MakeQueueLine(Deterministic(1.0f), Deterministic(1.0f));
    CQueuingSystem& m = *q.model;
    q.generator->batchLaw = Deterministic(1e8f);
    m.arrivalsLimit = 10;
    const uint32_t bound = 100000;
    m.SetInSystemLimit(bound);
    const size_t before = LiveBytes();
    ResetPeak();
    ASSERT_EQ(m.Experiment(), kOk);

    EXPECT_EQ(m.stopReason, StopReason::kTooManyRequests);
    EXPECT_EQ(m.arrived, bound) << "the rest of the batch is never created";
    EXPECT_EQ(m.maxInSystem, bound);
    EXPECT_EQ(m.modelTime, 0.0);
    // Finalised as at any other end: the sums of slot 0 are made, results are valid.
    EXPECT_EQ(q.generator->arrivals[0], bound);
    EXPECT_EQ(q.queue->arrivals[0], bound);
    EXPECT_EQ(q.queue->waitingCount[0], bound - 1) << "one is on the channel";
    EXPECT_EQ(m.resultsValid, 1);
    // Far below a gigabyte while it ran, and given back afterwards.
    EXPECT_LT(PeakBytes() - before, 24u * bound + 256u * 1024u);
    EXPECT_LT(LiveBytes() - before, 64u * 1024u);

    // Nothing of the stopped run lingers: the next run is that of a fresh model.
    q.generator->batchLaw = Deterministic(1.0f);
    m.arrivalsLimit = 3000;
    RestoreRandomStartState();
    ASSERT_EQ(m.Experiment(), kOk);
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
    QueueLine fresh = MakeQueueLine(Deterministic(1.0f), Deterministic(1.0f));
    fresh.model->arrivalsLimit = 3000;
    RestoreRandomStartState();
    ASSERT_EQ(fresh.model->Experiment(), kOk);
    EXPECT_EQ(FingerprintOf(m), FingerprintOf(*fresh.model));
}

TEST_F(InSystemLimitTest, BatchesAreCutExactlyAtTheBound) {
    QueueLine q = MakeQueueLine(Deterministic(1.0f), Deterministic(1000.0f));
    CQueuingSystem& m = *q.model;
    q.generator->batchLaw = Deterministic(4.0f);
    m.SetInSystemLimit(10);
    m.Run();
    EXPECT_EQ(m.stopReason, StopReason::kTooManyRequests);
    EXPECT_EQ(m.arrived, 10u) << "4 at time 0, 4 at time 1, 2 of the batch at time 2";
    EXPECT_EQ(m.modelTime, 2.0);
    EXPECT_EQ(m.maxInSystem, 10u);
}

// Model time advances by 1e-30 an event, so the run neither reaches its time
// limit nor stalls; only the bound stops the queue from growing for ever.
TEST_F(InSystemLimitTest, AnIntervalOfTenToTheMinusThirtyIsStoppedByTheBound) {
    auto make = [] {
        QueueLine q = MakeQueueLine(Deterministic(1e-30f), Deterministic(1.0f));
        q.model->stopByTime = 1;
        q.model->timeLimit = 1.0f;
        q.model->SetInSystemLimit(50000);
        return q;
    };
    QueueLine q = make();
    q.model->Run();
    EXPECT_EQ(q.model->stopReason, StopReason::kTooManyRequests);
    EXPECT_EQ(q.model->maxInSystem, 50000u);
    EXPECT_EQ(q.queue->waitingCount[0], 49999u);
    EXPECT_GT(q.model->modelTime, 0.0);
    EXPECT_LT(q.model->modelTime, 1e-20);

    // A watched run stops the same way, at the same place.
    RestoreRandomStartState();
    q.model->Run();
    const uint64_t unwatched = FingerprintOf(*q.model);
    QueueLine w = make();
    w.model->progressPeriod = std::chrono::nanoseconds(0);
    RestoreRandomStartState();
    w.model->Run([](const RunProgress&) { return true; });
    EXPECT_EQ(w.model->stopReason, StopReason::kTooManyRequests);
    EXPECT_EQ(FingerprintOf(*w.model), unwatched);
}

// M/M/1 at a load of 0.95 over ten million arrivals: far from the bound, so
// the run is the same bit for bit whether the bound is there or not.
TEST_F(InSystemLimitTest, AnHonestModelGivesTheSameResultsWithAndWithoutTheBound) {
    auto run = [](uint32_t bound) {
        RestoreRandomStartState();
        QueueLine q = MakeQueueLine(Exponential(0.95f), Exponential(1.0f));
        q.model->arrivalsLimit = 10'000'000;
        q.model->SetInSystemLimit(bound);
        EXPECT_EQ(q.model->Experiment(), kOk);
        EXPECT_EQ(q.model->stopReason, StopReason::kFinished);
        EXPECT_EQ(q.model->arrived, 10'000'001u);
        EXPECT_LT(q.model->maxInSystem, kDefaultInSystemLimit / 16);
        return FingerprintOf(*q.model);
    };
    EXPECT_EQ(run(kDefaultInSystemLimit), run(std::numeric_limits<uint32_t>::max()));
}

// Bytes per waiting request, on a smaller run: what the run held at its most per
// request waiting at the end, whether requests come straight from their
// generator or through a channel (their arrival then differs from their birth).
TEST_F(InSystemLimitTest, AnUnstableQueueCostsAtMost24BytesAWaitingRequest) {
    for (const bool throughAChannel : {false, true}) {
        QueueLine q = MakeQueueLine(Exponential(2.0f), Exponential(1.0f));
        CQueuingSystem& m = *q.model;
        if (throughAChannel) {
            CChannel* first = m.AddChannel("Канал0");  // 5
            first->deviceCount = 4;
            first->serviceLaws[0] = Uniform(0.1f, 1.0f);
            m.Unlink(1, 2);
            m.Link(1, 5);
            m.Link(5, 2);
        }
        m.arrivalsLimit = 400000;
        const size_t before = LiveBytes();
        ResetPeak();
        m.Run();
        const uint32_t waiting = q.queue->waitingCount[0];
        ASSERT_GT(waiting, 150000u);
        const double perRequest = static_cast<double>(PeakBytes() - before) / waiting;
        EXPECT_LE(perRequest, throughAChannel ? 24.0 : 12.0) << throughAChannel;
        EXPECT_LT(LiveBytes() - before, 64u * 1024u) << "the queue gives its memory back";
    }
}

TEST_F(InSystemLimitTest, AFactorExperimentStopsAtTheRunThatMeetsTheBoundAndSaysWhich) {
    QueueLine q = MakeQueueLine(Exponential(0.5f), Exponential(1.0f));
    CQueuingSystem& m = *q.model;
    m.arrivalsLimit = 20000;
    // Loads 0.5, 1 and 1.5: the third run piles its requests up.
    ASSERT_EQ(m.SetFactor(Factor(1, kFactorIntervalIntensity, 0.5f, 0.5f, 4), kAllFactorFields),
              kOk);
    m.AddDependency(2, kNoIndex, indMeanWait);
    m.factorRun = 1;
    m.SetInSystemLimit(2000);
    ASSERT_EQ(m.Experiment(), kOk);

    EXPECT_EQ(m.stopReason, StopReason::kTooManyRequests);
    EXPECT_EQ(m.limitStopRun, 2);
    EXPECT_EQ(m.factorRunsDone, 2);
    EXPECT_EQ(q.generator->intervalLaw, Exponential(0.5f)) << "the factor is restored";
    EXPECT_EQ(m.usedFactor.valueCount, 4);
    const auto& values = m.Dependency(0)->values;
    ASSERT_EQ(values.size(), 4u);
    EXPECT_GT(values[0], 0.0f);
    EXPECT_GT(values[1], values[0]);
    EXPECT_EQ(values[2], 0.0f) << "the stopped run gives no value";
    EXPECT_EQ(values[3], 0.0f);
    EXPECT_EQ(m.dependencies.valueCount, 2) << "only the runs done count as values";
    const auto copy = CQueuingSystem::CopyModel(m, true);
    EXPECT_EQ(copy->limitStopRun, 2);
    EXPECT_EQ(copy->InSystemLimit(), 2000u);

    m.SetInSystemLimit(kDefaultInSystemLimit);
    ASSERT_EQ(m.Experiment(), kOk);
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
    EXPECT_EQ(m.limitStopRun, kNoIndex);
    EXPECT_EQ(m.factorRunsDone, 4);
    EXPECT_EQ(m.dependencies.valueCount, 4);
}

}  // namespace
}  // namespace marvolt
