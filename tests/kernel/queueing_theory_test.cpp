// Long runs compared with closed-form results of queueing theory. Run lengths
// are chosen so that the tolerance is about three standard errors of the
// estimate at the load in question: a real fault shifts these figures by far more.
#include <gtest/gtest.h>

#include <cmath>

#include "model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

class TheoryTest : public ::testing::Test {
  protected:
    void SetUp() override { RestoreRandomStartState(); }
    static double MeanWait(const QueueLine& q, size_t slot = 0) { return q.queue->totalWait[slot]; }
};

TEST_F(TheoryTest, MM1) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(1.25f));  // rho 0.8
    q.model->arrivalsLimit = 1000000;
    q.model->Run();
    EXPECT_NEAR(MeanWait(q), 3.2, 0.04 * 3.2);
    EXPECT_NEAR(q.queue->meanLength[0], 3.2, 0.04 * 3.2);
    EXPECT_NEAR(q.channel->loadFactor, 0.8, 0.01);
    EXPECT_NEAR(q.sink->meanLifetime[0], 4.0, 0.04 * 4.0);
    EXPECT_NEAR(q.model->inSystem, 4.0, 0.04 * 4.0);
    EXPECT_EQ(q.refusals->arrivals[0], 0u);
}

TEST_F(TheoryTest, MM3AgainstErlangC) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(0.5f), 3);  // a = 2, rho 2/3
    q.model->arrivalsLimit = 500000;
    q.model->Run();
    const double waiting = 4.0 / 9.0;  // Erlang C for c = 3, a = 2
    const double a = q.queue->arrivals[0], z = q.queue->zeroWaitCount[0];
    EXPECT_NEAR(1.0 - z / a, waiting, 0.01);
    EXPECT_NEAR(MeanWait(q), waiting / (1.5 - 1.0), 0.04 * 0.889);
    EXPECT_NEAR(q.channel->loadFactor, 2.0 / 3.0, 0.01);
}

TEST_F(TheoryTest, MD1AndUniformServiceAgainstPollaczekKhinchine) {
    QueueLine d = MakeQueueLine(Exponential(1.0f), Deterministic(0.8f));
    d.model->arrivalsLimit = 500000;
    d.model->Run();
    EXPECT_NEAR(MeanWait(d), 0.64 / (2 * 0.2), 0.04 * 1.6);

    RestoreRandomStartState();
    QueueLine u = MakeQueueLine(Exponential(1.0f), Uniform(0.3f, 1.3f));
    u.model->arrivalsLimit = 500000;
    u.model->Run();
    const double secondMoment = 1.0 / 12.0 + 0.64;
    EXPECT_NEAR(MeanWait(u), secondMoment / (2 * 0.2), 0.04 * 1.808);
}

TEST_F(TheoryTest, MM1KBlockingThroughALengthLimit) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(1.25f));
    q.queue->lengthLimited = 1;
    q.queue->lengthLimit = 4;  // four waiting and one in service: K = 5
    q.model->arrivalsLimit = 500000;
    q.model->Run();
    const double rho = 0.8;
    const double blocking = (1 - rho) * std::pow(rho, 5) / (1 - std::pow(rho, 6));
    EXPECT_NEAR(q.refusals->arrivals[0] / double(q.model->arrived), blocking, 0.004);
    EXPECT_LE(q.queue->maxWaitingCount[0], 4u);
}

TEST_F(TheoryTest, TwoClassPriorityAgainstCobham) {
    QueueLine q = MakeQueueLine(Exponential(0.8f), Exponential(1.0f));
    CQueuingSystem& m = *q.model;
    m.AddRequestType("Низкий");
    m.RequestType(0)->priority = 0;
    m.RequestType(1)->priority = 1;
    q.generator->SetGeneratedType(1, true);
    q.generator->typeProbabilities = {0.5f, 0.5f};
    q.channel->serviceLaws[1] = Exponential(1.0f);
    q.queue->usePriority = 1;
    m.arrivalsLimit = 1000000;
    m.Run();
    const double w0 = 0.8;  // sum of lambda_i E[S_i^2] / 2
    EXPECT_NEAR(MeanWait(q, 1), w0 / 0.6, 0.04 * 1.333);
    EXPECT_NEAR(MeanWait(q, 2), w0 / (0.6 * 0.2), 0.06 * 6.667);
}

}  // namespace
}  // namespace marvolt
