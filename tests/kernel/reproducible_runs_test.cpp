// Runs of models that use every routing, source, queue and failure rule give
// exactly the results they gave when these fingerprints were taken: a change
// of the kernel that moves one draw or one rounding shows here.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "fingerprint.h"
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"
#include "kernel/refusal_sink.h"
#include "kernel/sink.h"
#include "model_builders.h"

namespace marvolt {
namespace {

using testing_models::Fingerprint;
using testing_models::FingerprintOf;

LawRecord Exp(float rate) {
    return {kLawExponential, rate, 0.0f};
}
LawRecord Uni(float a, float b) {
    return {kLawUniform, a, b};
}

// Random routing, both refusal regimes of the queue, every discipline, sources
// by probability and by most requests, type transformation, histograms.
std::unique_ptr<CQueuingSystem> RoutesAndLimits() {
    auto m = std::make_unique<CQueuingSystem>();
    m->AddRequestType("A")->priority = 1;
    m->AddRequestType("B")->countDistFlag = 1;
    m->countDistFlag = 1;
    AddRefusalSink(*m);              // 0
    auto* g = m->AddGenerator("g");  // 1
    g->SetGeneratedType(0, true);
    g->SetGeneratedType(1, true);
    g->typeProbabilities = {0.6f, 0.4f};
    g->intervalLaw = Exp(1.6f);
    g->batchLaw = Uni(0.5f, 2.5f);
    g->routingDiscipline = kRouteRandom;

    auto* q1 = m->AddQueue("q1");  // 2: random limit, event-driven, priorities
    q1->usePriority = 1;
    q1->waitLimitMode = kWaitRandomLimit;
    q1->waitLimitLaws = {Exp(0.4f), Uni(0.5f, 4.0f)};
    q1->lengthLimit = 12;
    q1->waitDistFlags = {1, 1, 0};
    q1->lengthDistFlags = {1, 0, 1};
    auto* q2 = m->AddQueue("q2");  // 3: least time to refusal, lazy
    q2->discipline = kLeastTimeToRefusal;
    q2->waitLimitMode = kWaitRandomLimit;
    q2->waitLimitLaws = {Uni(1.0f, 6.0f), Exp(0.5f)};
    auto* q3 = m->AddQueue("q3");  // 4: fixed limit, LIFO, lazy
    q3->discipline = kLifo;
    q3->waitLimitMode = kWaitFixedLimit;
    q3->waitLimit = 3.0f;
    auto* q4 = m->AddQueue("q4");  // 5: random order
    q4->discipline = kRandomOrder;
    q4->acceptedTypes = {1, 1};

    auto* c1 = m->AddChannel("c1");  // 6: sources at random, transforms A into B
    c1->deviceCount = 2;
    c1->sourceDiscipline = kSourceRandom;
    c1->serviceLaws = {Exp(0.9f), Uni(0.8f, 2.0f)};
    c1->transformOn = 1;
    c1->transformTable = {1, 1};
    c1->routingDiscipline = kRouteFewest;
    c1->idleDistFlag = 1;
    auto* c2 = m->AddChannel("c2");  // 7: the source with most requests
    c2->sourceDiscipline = kSourceMost;
    c2->serviceLaws = {Uni(0.2f, 1.4f), {kLawNormal, 0.9f, 0.3f}};
    c2->serviceDistFlag = 1;
    auto* c3 = m->AddChannel("c3");  // 8: serves B only, instantly for A
    c3->serviceLaws = {{kLawDeterministic, 0.0f, 0.0f}, Exp(1.1f)};
    c3->acceptedTypes = {1, 1};
    auto* s = m->AddSink("s");  // 9
    s->lifetimeDistFlags = {1, 1, 1};

    m->Link(1, 2);
    m->Link(1, 3);
    g->routingProbabilities = {0.55f, 0.45f};
    m->Link(2, 6);
    m->Link(3, 6);
    c1->sourceProbabilities = {0.5f, 0.5f};
    m->Link(6, 4);
    m->Link(6, 5);
    m->Link(4, 7);
    m->Link(5, 7);
    m->Link(5, 8);
    m->Link(7, 9);
    m->Link(8, 9);
    return m;
}

// Every failure rule, a reserve channel standing in for several failed ones,
// and a reserve chain.
std::unique_ptr<CQueuingSystem> FailuresAndReserves() {
    auto m = std::make_unique<CQueuingSystem>();
    m->AddRequestType("A");
    AddRefusalSink(*m);              // 0
    auto* g = m->AddGenerator("g");  // 1
    g->SetGeneratedType(0, true);
    g->typeProbabilities = {1.0f};
    g->intervalLaw = Exp(2.2f);
    g->routingDiscipline = kRouteFewest;
    m->AddQueue("q");              // 2
    auto* q2 = m->AddQueue("q2");  // 3
    q2->waitLimitMode = kWaitFixedLimit;
    q2->waitLimit = 2.0f;
    for (uint8_t rule = 0; rule < 4; ++rule) {  // 4..7
        auto* c = m->AddChannel("c" + std::to_string(rule));
        c->deviceCount = static_cast<uint8_t>(1 + rule % 2);
        c->serviceLaws = {Exp(0.7f)};
        c->failuresOn = 1;
        c->failureRule = rule;
        c->workLaw = Exp(0.05f);
        c->repairLaw = Uni(1.0f, 6.0f);
        c->reserveChannel = 8;
        c->idleDistFlag = 1;
    }
    auto* reserve = m->AddChannel("r");  // 8: fails too, with its own reserve
    reserve->deviceCount = 2;
    reserve->serviceLaws = {Exp(0.6f)};
    reserve->failuresOn = 1;
    reserve->failureRule = kFailRestartInReserve;
    reserve->workLaw = Exp(0.02f);
    reserve->repairLaw = Exp(0.5f);
    reserve->reserveChannel = 9;
    auto* last = m->AddChannel("r2");  // 9
    last->serviceLaws = {Exp(0.5f)};
    m->AddSink("s");  // 10
    m->Link(1, 2);
    m->Link(1, 3);
    for (uint8_t c = 4; c <= 7; ++c) {
        m->Link(2, c);
        m->Link(c, 10);
    }
    m->Link(3, 7);
    m->Link(8, 10);
    m->Link(9, 10);
    return m;
}

struct Case {
    const char* what;
    std::unique_ptr<CQueuingSystem> (*make)();
    bool byTime;
    uint64_t expected;
};

// Two runs in a row, the second continuing the random sequence.
uint64_t RunTwice(const Case& c, const ProgressCallback& progress) {
    RestoreRandomStartState();
    auto m = c.make();
    m->stopByTime = c.byTime ? 1 : 0;
    m->arrivalsLimit = 30000;
    m->timeLimit = 8000.0f;
    m->progressPeriod = std::chrono::nanoseconds(0);
    EXPECT_EQ(m->Experiment(progress), kOk) << c.what;
    EXPECT_EQ(m->Experiment(progress), kOk) << c.what;
    return FingerprintOf(*m);
}

const Case kCases[] = {
    {"routes and limits by arrivals", RoutesAndLimits, false, 11291048563879325738ull},
    {"routes and limits by time", RoutesAndLimits, true, 17551220172589471489ull},
    {"failures and reserves by arrivals", FailuresAndReserves, false, 10234077836866474023ull},
    {"failures and reserves by time", FailuresAndReserves, true, 2580938884458574690ull},
};

TEST(ReproducibleRuns, RunsWithoutACallbackGiveTheResultsTheyAlwaysGave) {
    for (const Case& c : kCases)
        EXPECT_EQ(RunTwice(c, {}), c.expected) << c.what;
}

TEST(ReproducibleRuns, ACallbackThatLetsTheRunGoOnChangesNothing) {
    for (const Case& c : kCases) {
        int calls = 0;
        EXPECT_EQ(RunTwice(c, [&calls](const RunProgress&) { return ++calls > 0; }), c.expected)
            << c.what;
        EXPECT_GT(calls, 0) << c.what;
    }
}

TEST(ReproducibleRuns, FactorExperimentGivesTheDependenciesItAlwaysGave) {
    RestoreRandomStartState();
    auto m = FailuresAndReserves();
    m->arrivalsLimit = 5000;
    ASSERT_EQ(m->SetFactor(testing_models::Factor(8, kFactorDevices, 1.0f, 1.0f, 3),
                           testing_models::kAllFactorFields),
              kOk);
    m->AddDependency(2, kNoIndex, 13);
    m->AddDependency(8, kNoIndex, 9);
    m->AddDependency(kNoIndex, kNoIndex, 23);
    m->factorRun = 1;
    ASSERT_EQ(m->Experiment(), kOk);
    Fingerprint fp;
    for (uint32_t i = 0; i < m->DependencyCount(); ++i) {
        for (float v : m->Dependency(i)->values)
            fp.Add(v);
    }
    fp.Add(FingerprintOf(*m));
    EXPECT_EQ(fp.value(), 288125567323526134ull);
}

}  // namespace
}  // namespace marvolt
