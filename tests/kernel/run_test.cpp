// Runs of generator-to-sink networks and the stop test.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"
#include "kernel/refusal_sink.h"
#include "kernel/sink.h"

namespace marvolt {
namespace {

// A node with a held count set by hand, to steer routing.
class HoldingNode : public CQSObject {
  public:
    uint32_t held = 0;
    bool accepts = true;
    int accepted = 0;
    HoldingNode(CQueuingSystem* m, std::string n) : CQSObject(kSink, std::move(n), m) {}
    void BeginRun() override {}
    void EndRun() override {}
    void Accept(uint8_t, SimTime) override { ++accepted; }
    void ProcessEvent() override {}
    bool CanAccept(uint8_t) override { return accepts; }
    bool HasRequestFor(const uint8_t*) override { return false; }
    SimTime NextEventTime() const override { return 0; }
    uint32_t HeldCount() const override { return held; }
};

// Finds a state whose next draw is r.
uint32_t StateBefore(int r) {
    for (uint32_t s = 0;; ++s) {
        SetRandomState(s);
        if (NextRandom() == r)
            return s;
    }
}

class RunTest : public ::testing::Test {
  protected:
    CQueuingSystem m;
    void SetUp() override {
        RestoreRandomStartState();
        m.AddRequestType("A");
        AddRefusalSink(m);
    }
    CGenerator* Generator(const std::string& name, float interval, float batch = 1.0f) {
        auto* g = m.AddGenerator(name);
        g->SetGeneratedType(0, true);
        g->typeProbabilities[0] = 1.0f;
        g->intervalLaw = {kLawDeterministic, interval, 0.0f};
        g->batchLaw = {kLawDeterministic, batch, 0.0f};
        return g;
    }
    CDispose* Refusals() { return static_cast<CDispose*>(m.refusalSink); }
};

TEST_F(RunTest, TimeLimitProcessesTheEventThatPassesIt) {
    Generator("g1", 100.0f);
    Generator("g2", 100.5f);
    m.stopByTime = 1;
    m.timeLimit = 100.0f;
    EXPECT_EQ(m.Experiment(), kOk);
    EXPECT_DOUBLE_EQ(m.modelTime, 100.5);
    EXPECT_EQ(m.arrived, 4u);  // two at 0, one at 100, one at 100.5
    EXPECT_EQ(m.resultsValid, 1);
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
}

TEST_F(RunTest, ArrivalsLimitFinishesTheWholeBatch) {
    Generator("g", 1.0f, 4.0f);
    m.arrivalsLimit = 10;
    m.Run();
    EXPECT_EQ(m.arrived, 12u);
    EXPECT_DOUBLE_EQ(m.modelTime, 2.0);
    EXPECT_EQ(Refusals()->arrivals[0], 12u) << "no receivers: every request is refused at once";
    EXPECT_EQ(Refusals()->maxLifetime[0], 0.0f);
}

TEST_F(RunTest, ModelWithoutGeneratedTypesEndsAtOnce) {
    m.AddGenerator("idle");
    m.Run();
    EXPECT_EQ(m.modelTime, 0.0);
    EXPECT_EQ(m.arrived, 0u);
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
}

TEST_F(RunTest, BatchRoundingAndTypeDraw) {
    m.AddRequestType("B");
    auto* g = Generator("g", 1.0f, 2.5f);
    g->SetGeneratedType(1, true);
    g->typeProbabilities = {0.2f, 0.3f};  // sums to 0.5: every u above it is type B
    m.arrivalsLimit = 3999;
    m.Run();
    EXPECT_EQ(m.arrived, 4000u) << "2.5 gives batches of 2";
    const double shareA = g->arrivals[1] / 4000.0;
    EXPECT_NEAR(shareA, 0.2, 0.03);
    EXPECT_EQ(g->arrivals[0], 4000u);
    EXPECT_EQ(m.CountIndicator(0, 255, 1), g->arrivals[2]);
}

TEST_F(RunTest, TypeDrawTakesTheWalksChoiceForAnyProbabilities) {
    // The walk over the running sums is the rule; a few types are drawn by
    // comparing with sums worked out at the run's start, which must choose
    // the same even when a hand-made file gives odd probabilities.
    const float nan = std::nanf("");
    const std::vector<std::vector<float>> cases = {
        {0.5f, 0.5f},
        {0.2f, 0.3f, 0.5f},
        {0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.3f},        // the most summed
        {0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.2f},  // walked
        {0.6f, -0.4f, 0.3f, 0.5f},  // the sum falls back under u and rises again
        {0.0f, 0.0f, 1.0f},
        {0.3f, nan, 0.7f},
        {2.0f, 1.0f, 1.0f},
    };
    for (const auto& probabilities : cases) {
        CQueuingSystem model;
        const auto n = static_cast<uint8_t>(probabilities.size());
        for (uint8_t t = 0; t < n; ++t)
            model.AddRequestType("T" + std::to_string(t));
        auto* g = model.AddGenerator("g");
        for (uint8_t t = 0; t < n; ++t)
            g->SetGeneratedType(t, true);
        g->typeProbabilities = probabilities;
        g->intervalLaw = {kLawDeterministic, 1.0f, 0.0f};
        model.arrivalsLimit = 3000;

        SetRandomState(12345u);
        model.Run();
        ASSERT_GE(model.arrived, model.arrivalsLimit);

        // Only the type draws take random values here.
        SetRandomState(12345u);
        std::vector<uint32_t> expected(n + 1u, 0u);
        for (uint32_t a = 0; a < model.arrived; ++a) {
            const float u = static_cast<float>(NextRandom() / 32767.0);
            float sum = 0.0f;
            size_t chosen = 0;
            for (size_t i = 0; u > sum && i < n; ++i) {
                sum += probabilities[i];
                chosen = i;
            }
            ++expected[chosen + 1];
        }
        for (uint8_t t = 0; t < n; ++t)
            EXPECT_EQ(g->arrivals[t + 1u], expected[t + 1u]) << "type " << int(t) << " of " << int(n);
    }
}

TEST_F(RunTest, FloatClockWouldStallHere) {
    // From 2^24 on, adding 1 to a float32 clock changes nothing.
    auto* g = Generator("g", 1.0f);
    g->firstEventTime = 16777216.0;
    m.stopByTime = 1;
    m.timeLimit = 16777216.0f + 10.0f;
    m.Run();
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
    EXPECT_DOUBLE_EQ(m.modelTime, 16777216.0 + 11.0);
    EXPECT_EQ(m.arrived, 12u);
}

TEST_F(RunTest, RunWithoutProgressIsStoppedAndSaysSo) {
    Generator("g", 1.0f, 0.0f);  // never creates a request
    m.progressGuard = 1000;
    m.Run();
    EXPECT_EQ(m.stopReason, StopReason::kProgressGuard);
    EXPECT_EQ(m.arrived, 0u);
    EXPECT_DOUBLE_EQ(m.modelTime, 999.0);

    // Time that stops advancing is caught the same way.
    CQueuingSystem z;
    z.AddRequestType("A");
    auto* g = z.AddGenerator("g");
    g->SetGeneratedType(0, true);
    g->typeProbabilities[0] = 1.0f;
    g->intervalLaw = {kLawDeterministic, 0.0f, 0.0f};
    z.stopByTime = 1;
    z.progressGuard = 500;
    z.Run();
    EXPECT_EQ(z.stopReason, StopReason::kProgressGuard);
    EXPECT_EQ(z.modelTime, 0.0);
}

// Durations a hand-made file can give: times that go back or are not numbers
// at all still leave a run that ends, with every request accounted for.
TEST_F(RunTest, NanAndNegativeDurationsStillEndTheRun) {
    auto* g = Generator("g", 1.0f);
    auto* nan = m.AddChannel("nan");
    nan->serviceLaws[0] = {kLawDeterministic, std::nanf(""), 0.0f};
    auto* back = m.AddChannel("back");
    back->serviceLaws[0] = {kLawDeterministic, -3.0f, 0.0f};
    auto* out = m.AddSink("out");
    g->routingDiscipline = kRouteRandom;
    ASSERT_EQ(m.Link(1, 2), kOk);
    ASSERT_EQ(m.Link(1, 3), kOk);
    g->routingProbabilities = {0.5f, 0.5f};
    ASSERT_EQ(m.Link(2, 4), kOk);
    ASSERT_EQ(m.Link(3, 4), kOk);
    m.arrivalsLimit = 2000;
    m.Run();
    EXPECT_EQ(m.stopReason, StopReason::kFinished);
    EXPECT_EQ(m.arrived, 2001u);
    // Every request left, but the one on each channel's device at the end.
    const uint32_t left = out->arrivals[0] + Refusals()->arrivals[0];
    EXPECT_LE(left, m.arrived);
    EXPECT_GE(left + 2u, m.arrived);
    EXPECT_GT(out->arrivals[0], 0u) << "the channel whose time goes back still serves";

    // By time, a generator whose clock runs backwards is stopped by the guard.
    g->intervalLaw = {kLawDeterministic, -1.0f, 0.0f};
    m.stopByTime = 1;
    m.timeLimit = 100.0f;
    m.progressGuard = 1000;
    m.Run();
    EXPECT_EQ(m.stopReason, StopReason::kProgressGuard);
}

TEST_F(RunTest, ModelWithoutRefusalSinkLetsRefusedRequestsLeave) {
    CQueuingSystem bare;
    bare.AddRequestType("A");
    auto* g = bare.AddGenerator("g");
    g->SetGeneratedType(0, true);
    g->typeProbabilities[0] = 1.0f;
    bare.arrivalsLimit = 20;
    bare.Run();
    EXPECT_EQ(bare.arrived, 21u);
    EXPECT_EQ(bare.RequestType(0)->generated, 21u);
    EXPECT_EQ(bare.maxInSystem, 1u);
    EXPECT_EQ(bare.requestsInSystem, 0u);
}

TEST_F(RunTest, RandomRoutingPassesTheShareOfABlockedReceiverOn) {
    auto* g = Generator("g", 1.0f);
    auto* blocked = new HoldingNode(&m, "blocked");
    auto* open = new HoldingNode(&m, "open");
    m.nodes.emplace_back(blocked);
    m.nodes.emplace_back(open);
    blocked->accepts = false;
    g->receivers = {2, 3};
    g->routingProbabilities = {0.5f, 0.5f};
    g->routingDiscipline = kRouteRandom;
    SetRandomState(StateBefore(16000));  // u = 0.488
    EXPECT_EQ(g->ChooseReceiver(0), 3);
    SetRandomState(StateBefore(20000));  // u = 0.61: the share of the blocked one is refused
    EXPECT_EQ(g->ChooseReceiver(0), kNoIndex);
    g->routingProbabilities = {0.0f, 0.0f};
    const uint32_t before = RandomState();
    EXPECT_EQ(g->ChooseReceiver(0), kNoIndex);
    EXPECT_EQ(RandomState(), before) << "no draw when nothing can be chosen";
}

TEST_F(RunTest, InOrderAndFewestRouting) {
    auto* g = Generator("g", 1.0f);
    HoldingNode* n[3];
    for (int i = 0; i < 3; ++i) {
        n[i] = new HoldingNode(&m, "h" + std::to_string(i));
        m.nodes.emplace_back(n[i]);
    }
    g->receivers = {2, 3, 4};
    g->routingProbabilities = {0, 0, 0};
    n[0]->accepts = false;
    EXPECT_EQ(g->ChooseReceiver(0), 3);
    n[0]->accepts = true;
    g->routingDiscipline = kRouteFewest;
    n[0]->held = 3;
    n[1]->held = 1;
    n[2]->held = 1;
    EXPECT_EQ(g->ChooseReceiver(0), 3);
    n[1]->accepts = false;
    EXPECT_EQ(g->ChooseReceiver(0), 4);
}

// During a run the fewest among plain queues is chosen from the queues'
// own counts: a full queue and one that refuses the type are passed over,
// and of equal ones the first is taken.
TEST_F(RunTest, FewestAmongQueuesDuringARun) {
    m.AddRequestType("B");
    auto* g = Generator("g", 1.0f);  // 1
    CQueue* q[3];
    for (int i = 0; i < 3; ++i) {
        q[i] = m.AddQueue("q" + std::to_string(i));  // 2..4
        ASSERT_EQ(m.Link(1, static_cast<uint8_t>(2 + i)), kOk);
    }
    g->routingDiscipline = kRouteFewest;
    q[0]->lengthLimit = 2;
    q[1]->acceptedTypes[1] = 0;
    m.BeginRun();
    ASSERT_EQ(g->fewestQueues.size(), 3u);
    q[0]->waitingCount[0] = 1;
    q[2]->waitingCount[0] = 3;
    EXPECT_EQ(g->ChooseReceiver(0), 3);
    EXPECT_EQ(g->ChooseReceiver(1), 2) << "q1 refuses B";
    q[0]->waitingCount[0] = 2;
    EXPECT_EQ(g->ChooseReceiver(1), 4) << "q0 is full";
    q[2]->waitingCount[0] = 0;
    q[1]->waitingCount[0] = 0;
    EXPECT_EQ(g->ChooseReceiver(0), 3) << "the first of equal ones";
    m.EndRun();
    EXPECT_TRUE(g->fewestQueues.empty());

    q[2]->lengthLimit = 1;
    m.BeginRun();
    q[0]->waitingCount[0] = 2;
    q[2]->waitingCount[0] = 1;
    EXPECT_EQ(g->ChooseReceiver(1), kNoIndex) << "q0 and q2 full, q1 refuses B";
    q[1]->waitingCount[0] = 7;
    EXPECT_EQ(g->ChooseReceiver(0), 3) << "only q1 has room";
    m.EndRun();

    // A queue that refuses expired requests when asked keeps the general choice.
    q[1]->waitLimitMode = kWaitFixedLimit;
    m.BeginRun();
    EXPECT_TRUE(g->fewestQueues.empty());
    m.EndRun();
}

TEST_F(RunTest, SinkLifetimesAndSystemCounts) {
    m.AddRequestType("B");
    auto* g = Generator("g", 1.0f);
    g->SetGeneratedType(1, true);
    g->typeProbabilities = {0.5f, 0.5f};
    auto* c = m.AddChannel("c");
    c->deviceCount = 3;
    c->serviceLaws[0] = {kLawDeterministic, 2.5f, 0.0f};
    c->serviceLaws[1] = {kLawDeterministic, 2.5f, 0.0f};
    auto* out = m.AddSink("out");
    out->lifetimeDistFlags = {1, 0, 1};
    out->lifetimeDistributions[2].emplace();
    ASSERT_EQ(m.Link(1, 2), kOk);
    ASSERT_EQ(m.Link(2, 3), kOk);
    m.countDistFlag = 1;
    m.stopByTime = 1;
    m.timeLimit = 1000.0f;
    m.Run();

    EXPECT_EQ(out->arrivals[0], out->arrivals[1] + out->arrivals[2]);
    EXPECT_FLOAT_EQ(out->meanLifetime[0], 2.5f);
    EXPECT_FLOAT_EQ(out->minLifetime[1], 2.5f);
    EXPECT_FLOAT_EQ(out->maxLifetime[0], 2.5f);
    // Lifetimes of 2.5 fall into bin 2 of the default [0, 8) histogram, in both flagged slots.
    EXPECT_EQ(out->lifetimeDistributions[0]->binCounts[2], out->arrivals[0]);
    EXPECT_EQ(out->lifetimeDistributions[2]->binCounts[2], out->arrivals[2]);
    EXPECT_EQ(Refusals()->arrivals[0], 0u);
    EXPECT_EQ(Refusals()->minLifetime[0], kLargestFloat) << "an idle sink keeps its start values";
    // With one arrival a time unit and 2.5 units in service, 2 or 3 requests are inside.
    EXPECT_EQ(m.maxInSystem, 3u);
    EXPECT_NEAR(m.inSystem, 2.5, 0.01);
    EXPECT_NEAR(m.countDistribution.Mean(), 2.5, 0.01);
    EXPECT_EQ(m.CountIndicator(24, 255, 255), out->arrivals[0]);
    EXPECT_NEAR(m.RealIndicator(23, 255, 255), 1.0, 0.01);
}

}  // namespace
}  // namespace marvolt
