// The arrivals limit figured by the confidence-interval method.
#include "results/logic/confidence_interval.h"

#include <gtest/gtest.h>

#include "results/logic/stop_limits.h"
#include "tests/kernel/model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

TEST(ConfidenceIntervalTest, FactorAndArrivalsFollowTheWorkedExamples) {
    EXPECT_EQ(ConfidenceFactor(1.95f, 0.01f), 38025.004f);

    // An exponential interval of intensity 1 has variance 1; the other laws are fixed.
    QueueLine exp = MakeQueueLine(Exponential(1.0f), Deterministic(0.5f));
    EXPECT_EQ(ConfidenceArrivals(*exp.model, 1.95f, 0.01f), 38025u);

    // A uniform service on [0, 2] has variance 1/3: 12675.001 is truncated.
    QueueLine uni = MakeQueueLine(Deterministic(1.0f), Uniform(0.0f, 2.0f));
    EXPECT_EQ(ConfidenceArrivals(*uni.model, 1.95f, 0.01f), 12675u);

    QueueLine fixed = MakeQueueLine(Deterministic(1.0f), Deterministic(0.5f));
    EXPECT_EQ(ConfidenceArrivals(*fixed.model, 1.95f, 0.01f), 1u);
}

TEST(ConfidenceIntervalTest, OnlyLawsThatTakePartCount) {
    QueueLine q = MakeQueueLine(Deterministic(1.0f), Deterministic(0.5f));
    // A law of a type the channel does not serve plays no part ...
    q.model->AddRequestType("Тип_заявки2");
    q.channel->serviceLaws[1] = Exponential(0.1f);
    q.channel->acceptedTypes[1] = 0;
    EXPECT_EQ(ConfidenceArrivals(*q.model, 1.95f, 0.01f), 1u);
    // ... nor does a waiting-limit law while the limit is not random.
    q.queue->waitLimitLaws.assign(2, Exponential(1.0f));
    EXPECT_EQ(ConfidenceArrivals(*q.model, 1.95f, 0.01f), 1u);
    q.queue->waitLimitMode = kWaitRandomLimit;
    EXPECT_EQ(ConfidenceArrivals(*q.model, 1.95f, 0.01f), 38025u);
    // The largest variance decides: a normal law with deviation 2 has 4.
    q.generator->batchLaw = {kLawNormal, 3.0f, 2.0f};
    EXPECT_EQ(ConfidenceArrivals(*q.model, 1.95f, 0.01f), 152100u);
}

TEST(ConfidenceIntervalTest, HugeCountsStopAtTheLargestReachableLimit) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Deterministic(0.5f));
    EXPECT_EQ(ConfidenceArrivals(*q.model, 1.95f, 1e-6f), kLargestArrivalsLimit);
    // e squared below the float range: the factor is infinite.
    EXPECT_EQ(ConfidenceArrivals(*q.model, 1.95f, 1e-30f), kLargestArrivalsLimit);
    q.generator->intervalLaw = Exponential(0.0f);
    EXPECT_EQ(ConfidenceArrivals(*q.model, 1.95f, 0.01f), kLargestArrivalsLimit);
    // Without spread an infinite factor still asks for nothing.
    QueueLine fixed = MakeQueueLine(Deterministic(1.0f), Deterministic(0.5f));
    EXPECT_EQ(ConfidenceArrivals(*fixed.model, 1.95f, 1e-30f), 1u);
}

TEST(ConfidenceIntervalTest, VarianceOfEachLaw) {
    EXPECT_EQ(LawVariance({kLawDeterministic, 5.0f, 0.0f}), 0.0L);
    EXPECT_NEAR(static_cast<double>(LawVariance({kLawUniform, 1.0f, 4.0f})), 0.75, 1e-15);
    EXPECT_EQ(LawVariance({kLawExponential, 0.5f, 0.0f}), 4.0L);
    EXPECT_EQ(LawVariance({kLawNormal, 10.0f, 3.0f}), 9.0L);
    EXPECT_EQ(LawVariance({9, 10.0f, 3.0f}), 0.0L);
}

}  // namespace
}  // namespace marvolt
