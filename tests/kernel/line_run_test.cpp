// The single-server line has a loop of its own: every run of it must leave
// exactly what the general loop leaves, bit for bit, whatever the laws, ties,
// bounds, guards and callbacks, and a model it does not fit must not take it.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "own_loop_outcome.h"
#include "kernel/line_run.h"
#include "model_builders.h"

namespace marvolt {
namespace {

using testing_models::Deterministic;
using testing_models::Exponential;
using Outcome = testing_models::LoopOutcome;
using testing_models::MakeQueueLine;
using testing_models::QueueLine;
using testing_models::Uniform;

LawRecord Normal(float mean, float deviation) {
    return {kLawNormal, mean, deviation};
}

struct Variant {
    std::string name;
    std::function<void(QueueLine&)> shape;
    bool fits;  // the line's own loop takes it
};

// The variant built afresh, with the random source at its start, then run twice.
Outcome RunTwice(const Variant& v, bool lineRun, int cancelAtCall) {
    RestoreRandomStartState();
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(1.25f));
    CQueuingSystem& m = *q.model;
    m.arrivalsLimit = 20000;
    v.shape(q);
    return testing_models::RunTwiceOn(m, lineRun, cancelAtCall);
}

std::vector<Variant> Variants() {
    return {
        {"exponential laws", [](QueueLine&) {}, true},
        {"stop by time",
         [](QueueLine& q) {
             q.model->stopByTime = 1;
             q.model->timeLimit = 3000.0f;
         },
         true},
        {"laws drawn out of line",
         [](QueueLine& q) {
             q.generator->intervalLaw = Uniform(0.5f, 1.5f);
             q.channel->serviceLaws[0] = Normal(0.9f, 0.3f);
         },
         true},
        {"arrivals and completions at equal times",
         [](QueueLine& q) {
             q.generator->intervalLaw = Deterministic(1.0f);
             q.channel->serviceLaws[0] = Deterministic(1.0f);
             q.model->arrivalsLimit = 500;
         },
         true},
        {"a queue that grows on equal times",
         [](QueueLine& q) {
             q.generator->intervalLaw = Deterministic(0.5f);
             q.channel->serviceLaws[0] = Deterministic(1.0f);
             q.model->arrivalsLimit = 3000;
         },
         true},
        {"the bound on the requests held",
         [](QueueLine& q) {
             q.channel->serviceLaws[0] = Exponential(0.5f);
             q.model->SetInSystemLimit(40);
         },
         true},
        {"durations below zero",
         [](QueueLine& q) {
             q.generator->intervalLaw = Normal(1.0f, 2.0f);
             q.channel->serviceLaws[0] = Normal(0.5f, 2.0f);
             q.model->arrivalsLimit = 5000;
         },
         true},
        {"times that are not numbers",
         [](QueueLine& q) {
             // Every interval is infinite: births at infinity, lifetimes and waits NaN.
             q.generator->intervalLaw = Exponential(0.0f);
             q.model->arrivalsLimit = 500;
         },
         true},
        {"the progress guard", [](QueueLine& q) { q.model->progressGuard = 3; }, true},
        {"priorities with one type", [](QueueLine& q) { q.queue->usePriority = 1; }, true},
        {"three devices",
         [](QueueLine& q) {
             q.channel->deviceCount = 3;
             q.channel->serviceLaws[0] = Exponential(0.4f);
         },
         true},
        {"two devices and equal times",
         [](QueueLine& q) {
             q.channel->deviceCount = 2;
             q.generator->intervalLaw = Deterministic(0.5f);
             q.channel->serviceLaws[0] = Deterministic(1.0f);
             q.model->arrivalsLimit = 2000;
         },
         true},
        {"devices that finish out of order",
         [](QueueLine& q) {
             q.channel->deviceCount = 4;
             q.generator->intervalLaw = Uniform(0.0f, 0.5f);
             q.channel->serviceLaws[0] = Normal(1.0f, 1.5f);
             q.model->arrivalsLimit = 5000;
         },
         true},
        {"a factor over the device count",
         [](QueueLine& q) {
             CQueuingSystem& m = *q.model;
             m.arrivalsLimit = 3000;
             ASSERT_EQ(m.SetFactor(testing_models::Factor(QueueLine::kChannelAt, kFactorDevices,
                                                          1.0f, 1.0f, 3),
                                   testing_models::kAllFactorFields),
                       kOk);
             m.AddDependency(QueueLine::kChannelAt, 255, indLoad);
             m.factorRun = 1;
         },
         true},
        {"a full queue refusing",
         [](QueueLine& q) {
             q.queue->lengthLimit = 3;
             q.channel->serviceLaws[0] = Exponential(0.7f);
         },
         true},
        {"a full queue and no refusal sink",
         [](QueueLine& q) {
             q.queue->lengthLimit = 1;
             q.model->refusalSink = nullptr;
         },
         true},
        {"a full queue before two devices at equal times",
         [](QueueLine& q) {
             q.queue->lengthLimit = 2;
             q.channel->deviceCount = 2;
             q.generator->intervalLaw = Deterministic(0.25f);
             q.channel->serviceLaws[0] = Deterministic(1.0f);
             q.model->arrivalsLimit = 2000;
         },
         true},
        {"a factor over the length limit",
         [](QueueLine& q) {
             CQueuingSystem& m = *q.model;
             m.arrivalsLimit = 3000;
             q.channel->serviceLaws[0] = Exponential(0.8f);
             ASSERT_EQ(m.SetFactor(testing_models::Factor(QueueLine::kQueueAt, kFactorLengthLimit,
                                                          1.0f, 2.0f, 4),
                                   testing_models::kAllFactorFields),
                       kOk);
             m.AddDependency(QueueLine::kRefusalsAt, 255, indArrived);
             m.factorRun = 1;
         },
         true},
        {"a factor experiment",
         [](QueueLine& q) {
             CQueuingSystem& m = *q.model;
             m.arrivalsLimit = 3000;
             ASSERT_EQ(m.SetFactor(testing_models::Factor(QueueLine::kChannelAt, kFactorServiceMean,
                                                          0.5f, 0.1f, 4),
                                   testing_models::kAllFactorFields),
                       kOk);
             m.AddDependency(QueueLine::kQueueAt, 255, indMeanWait);
             m.factorRun = 1;
         },
         true},
        // Models it must leave to the general loop.
        {"LIFO", [](QueueLine& q) { q.queue->discipline = kLifo; }, false},
        {"the line's sink taking the refusals too",
         [](QueueLine& q) {
             q.queue->lengthLimit = 3;
             q.model->refusalSink = q.sink;
         },
         false},
        {"a fixed waiting limit",
         [](QueueLine& q) {
             q.queue->waitLimitMode = kWaitFixedLimit;
             q.queue->waitLimit = 2.0f;
         },
         false},
        {"a waiting-time histogram", [](QueueLine& q) { q.queue->waitDistFlags[0] = 1; }, false},
        {"a lifetime histogram", [](QueueLine& q) { q.sink->lifetimeDistFlags[1] = 1; }, false},
        {"a service histogram", [](QueueLine& q) { q.channel->serviceDistFlag = 1; }, false},
        {"a histogram of the requests inside", [](QueueLine& q) { q.model->countDistFlag = 1; },
         false},
        {"an instant service",
         [](QueueLine& q) { q.channel->serviceLaws[0] = Deterministic(0.0f); }, false},
        {"a batch of two", [](QueueLine& q) { q.generator->batchLaw = Deterministic(2.0f); },
         false},
        {"failures",
         [](QueueLine& q) {
             q.channel->failuresOn = 1;
             q.channel->workLaw = Exponential(0.05f);
             q.channel->repairLaw = Exponential(1.0f);
         },
         false},
        {"a second generator",
         [](QueueLine& q) {
             auto* g = q.model->AddGenerator("Генератор2");
             g->SetGeneratedType(0, true);
             g->typeProbabilities[0] = 1.0f;
             q.model->Link(q.model->nodeCount() - 1, QueueLine::kQueueAt);
         },
         false},
        {"a second type",
         [](QueueLine& q) {
             q.model->AddRequestType("Тип_заявки2");
             q.generator->SetGeneratedType(1, true);
             q.generator->typeProbabilities = {0.5f, 0.5f};
         },
         false},
    };
}

TEST(LineRunTest, EveryRunEqualsTheGeneralLoopBitForBit) {
    testing_models::ExpectOwnLoopLeavesTheSame(Variants(), RunTwice);
}

TEST(LineRunTest, ACallbackSeesTheSameRunAndCancelsItAtTheSamePoint) {
    const Variant plain{"plain", [](QueueLine& q) { q.model->arrivalsLimit = 200000; }, true};
    testing_models::ExpectTheSameCancels(plain, RunTwice);
}

TEST(LineRunTest, TheLinesItFitsTakeItsLoopAndNoOthers) {
    for (const Variant& v : Variants()) {
        SCOPED_TRACE(v.name);
        RestoreRandomStartState();
        QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(1.25f));
        v.shape(q);
        CQueuingSystem& m = *q.model;
        m.arrivalsLimit = 100;
        m.BeginRun();
        EXPECT_EQ(CLineRun::TryRun(m, nullptr), v.fits);
        m.EndRun();
    }
}

TEST(LineRunTest, TheMeanWaitOfMM1MatchesTheFormula) {
    // Arrivals at 1, service at 1.25: the mean wait in the queue is 3.2.
    RestoreRandomStartState();
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(1.25f));
    q.model->arrivalsLimit = 2000000;
    q.model->Run();
    EXPECT_NEAR(q.model->RealIndicator(indMeanWait, QueueLine::kQueueAt, kNoIndex), 3.2, 0.15);
}

}  // namespace
}  // namespace marvolt
