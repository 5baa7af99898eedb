// The tandem line has a loop of its own: every run of it must leave exactly
// what the general loop leaves, bit for bit, whatever the laws, ties, bounds,
// guards and callbacks, and a model it does not fit must not take it.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "own_loop_outcome.h"
#include "kernel/line_run.h"
#include "kernel/tandem_run.h"
#include "model_builders.h"

namespace marvolt {
namespace {

using testing_models::Deterministic;
using testing_models::Exponential;
using Outcome = testing_models::LoopOutcome;
using testing_models::Uniform;

LawRecord Normal(float mean, float deviation) {
    return {kLawNormal, mean, deviation};
}

// Node order: 0 refusal sink, the generators, then each stage's queue and
// channel, then the sink.
struct Tandem {
    std::unique_ptr<CQueuingSystem> model = std::make_unique<CQueuingSystem>();
    std::vector<CGenerator*> generators;
    std::vector<CQueue*> queues;
    std::vector<CChannel*> channels;
    CDispose* sink = nullptr;
    uint8_t QueueAt(size_t k) const { return static_cast<uint8_t>(1 + generators.size() + 2 * k); }
    uint8_t ChannelAt(size_t k) const { return static_cast<uint8_t>(QueueAt(k) + 1); }
};

Tandem MakeTandem(size_t stages, size_t generators, LawRecord interval, LawRecord service) {
    Tandem t;
    CQueuingSystem& m = *t.model;
    m.AddRequestType("Тип_заявки1");
    AddRefusalSink(m);
    for (size_t i = 0; i < generators; ++i) {
        CGenerator* g = m.AddGenerator("Генератор" + std::to_string(i + 1));
        g->SetGeneratedType(0, true);
        g->typeProbabilities[0] = 1.0f;
        g->intervalLaw = interval;
        t.generators.push_back(g);
    }
    for (size_t k = 0; k < stages; ++k) {
        t.queues.push_back(m.AddQueue("Накопитель" + std::to_string(k + 1)));
        t.channels.push_back(m.AddChannel("Канал" + std::to_string(k + 1)));
        t.channels.back()->serviceLaws[0] = service;
        if (k == 0) {
            for (size_t i = 0; i < generators; ++i)
                m.Link(static_cast<uint8_t>(1 + i), t.QueueAt(0));
        } else {
            m.Link(t.ChannelAt(k - 1), t.QueueAt(k));
        }
        m.Link(t.QueueAt(k), t.ChannelAt(k));
    }
    t.sink = m.AddSink("Сток1");
    const auto sinkAt = static_cast<uint8_t>(m.nodeCount() - 1);
    if (stages == 0) {
        for (size_t i = 0; i < generators; ++i)
            m.Link(static_cast<uint8_t>(1 + i), sinkAt);
    } else {
        m.Link(t.ChannelAt(stages - 1), sinkAt);
    }
    return t;
}

struct Variant {
    std::string name;
    std::function<void(Tandem&)> shape;
    bool fits;  // the tandem's own loop takes it
    size_t stages = 3;
    size_t generators = 2;
};

Tandem MakeFor(const Variant& v) {
    // Arrivals at 1 in all, service at 1.5: a load of two thirds at each stage.
    const float each = 1.0f / static_cast<float>(v.generators);
    Tandem t = MakeTandem(v.stages, v.generators, Exponential(each), Exponential(1.5f));
    t.model->arrivalsLimit = 20000;
    v.shape(t);
    return t;
}

// The variant built afresh, with the random source at its start, then run twice.
Outcome RunTwice(const Variant& v, bool ownLoop, int cancelAtCall) {
    RestoreRandomStartState();
    Tandem t = MakeFor(v);
    CQueuingSystem& m = *t.model;
    return testing_models::RunTwiceOn(m, ownLoop, cancelAtCall);
}

std::vector<Variant> Variants() {
    return {
        {"exponential laws", [](Tandem&) {}, true},
        {"one stage, two generators", [](Tandem&) {}, true, 1, 2},
        {"one generator", [](Tandem&) {}, true, 3, 1},
        {"sixty stages", [](Tandem& t) { t.model->arrivalsLimit = 3000; }, true, 60, 2},
        {"stop by time",
         [](Tandem& t) {
             t.model->stopByTime = 1;
             t.model->timeLimit = 3000.0f;
         },
         true},
        {"laws drawn out of line and a law per stage",
         [](Tandem& t) {
             t.generators[0]->intervalLaw = Uniform(0.5f, 3.5f);
             t.channels[0]->serviceLaws[0] = Normal(0.6f, 0.2f);
             t.channels[1]->serviceLaws[0] = Deterministic(0.5f);
             t.channels[2]->serviceLaws[0] = Uniform(0.1f, 1.0f);
         },
         true},
        {"arrivals and completions at equal times",
         [](Tandem& t) {
             for (CGenerator* g : t.generators)
                 g->intervalLaw = Deterministic(2.0f);
             for (CChannel* c : t.channels)
                 c->serviceLaws[0] = Deterministic(1.0f);
             t.model->arrivalsLimit = 500;
         },
         true},
        {"queues that grow on equal times",
         [](Tandem& t) {
             for (CGenerator* g : t.generators)
                 g->intervalLaw = Deterministic(1.0f);
             t.channels[1]->serviceLaws[0] = Deterministic(1.0f);
             t.channels[2]->serviceLaws[0] = Deterministic(2.0f);
             t.model->arrivalsLimit = 3000;
         },
         true},
        {"the bound on the requests held",
         [](Tandem& t) {
             t.channels[1]->serviceLaws[0] = Exponential(0.5f);
             t.model->SetInSystemLimit(40);
         },
         true},
        {"durations below zero",
         [](Tandem& t) {
             // A start in the next stage before now takes the head's place.
             for (CGenerator* g : t.generators)
                 g->intervalLaw = Uniform(-0.5f, 4.5f);
             for (CChannel* c : t.channels)
                 c->serviceLaws[0] = Uniform(-1.0f, 1.5f);
             t.model->arrivalsLimit = 5000;
         },
         true},
        {"times that are not numbers",
         [](Tandem& t) {
             // Every interval of one generator is infinite.
             t.generators[0]->intervalLaw = Exponential(0.0f);
             t.model->arrivalsLimit = 500;
         },
         true},
        {"the progress guard", [](Tandem& t) { t.model->progressGuard = 3; }, true},
        {"priorities with one type", [](Tandem& t) { t.queues[1]->usePriority = 1; }, true},
        {"the line's sink taking the refusals too",
         [](Tandem& t) { t.model->refusalSink = t.sink; }, true},
        {"no refusal sink", [](Tandem& t) { t.model->refusalSink = nullptr; }, true},
        {"a factor experiment",
         [](Tandem& t) {
             CQueuingSystem& m = *t.model;
             m.arrivalsLimit = 3000;
             ASSERT_EQ(m.SetFactor(testing_models::Factor(t.ChannelAt(1), kFactorServiceMean,
                                                          0.4f, 0.1f, 4),
                                   testing_models::kAllFactorFields),
                       kOk);
             m.AddDependency(t.QueueAt(1), 255, indMeanWait);
             m.factorRun = 1;
         },
         true},
        // Models it must leave to the general loop.
        {"the single-queue line, which has a loop of its own", [](Tandem&) {}, false, 1, 1},
        {"generators straight into the sink", [](Tandem&) {}, false, 0, 2},
        {"two devices at a stage", [](Tandem& t) { t.channels[1]->deviceCount = 2; }, false},
        {"a length limit at a stage", [](Tandem& t) { t.queues[2]->lengthLimit = 3; }, false},
        {"LIFO at a stage", [](Tandem& t) { t.queues[1]->discipline = kLifo; }, false},
        {"failures at a stage",
         [](Tandem& t) {
             t.channels[2]->failuresOn = 1;
             t.channels[2]->workLaw = Exponential(0.05f);
             t.channels[2]->repairLaw = Exponential(1.0f);
         },
         false},
        {"a waiting-time histogram at a stage",
         [](Tandem& t) { t.queues[2]->waitDistFlags[0] = 1; }, false},
        {"an instant service at a stage",
         [](Tandem& t) { t.channels[1]->serviceLaws[0] = Deterministic(0.0f); }, false},
        {"a generator feeding a later stage",
         [](Tandem& t) {
             CQueuingSystem& m = *t.model;
             m.Unlink(2, t.QueueAt(0));
             m.Link(2, t.QueueAt(1));
         },
         false},
        {"a channel choosing at random between two receivers",
         [](Tandem& t) {
             CQueuingSystem& m = *t.model;
             m.Link(t.ChannelAt(0), t.QueueAt(2));
             t.channels[0]->routingDiscipline = kRouteRandom;
             t.channels[0]->routingProbabilities = {0.5f, 0.5f};
         },
         false},
        {"a line that runs in a circle",
         [](Tandem& t) {
             CQueuingSystem& m = *t.model;
             m.Unlink(t.ChannelAt(2), static_cast<uint8_t>(m.nodeCount() - 1));
             m.Link(t.ChannelAt(2), t.QueueAt(0));
             m.arrivalsLimit = 100;
         },
         false},
        {"a second type",
         [](Tandem& t) {
             t.model->AddRequestType("Тип_заявки2");
             t.generators[0]->SetGeneratedType(1, true);
             t.generators[0]->typeProbabilities = {0.5f, 0.5f};
         },
         false},
    };
}

TEST(TandemRunTest, EveryRunEqualsTheGeneralLoopBitForBit) {
    testing_models::ExpectOwnLoopLeavesTheSame(Variants(), RunTwice);
}

TEST(TandemRunTest, ACallbackSeesTheSameRunAndCancelsItAtTheSamePoint) {
    const Variant plain{"plain", [](Tandem& t) { t.model->arrivalsLimit = 200000; }, true};
    testing_models::ExpectTheSameCancels(plain, RunTwice);
}

TEST(TandemRunTest, TheLinesItFitsTakeItsLoopAndNoOthers) {
    for (const Variant& v : Variants()) {
        SCOPED_TRACE(v.name);
        RestoreRandomStartState();
        Tandem t = MakeFor(v);
        CQueuingSystem& m = *t.model;
        m.arrivalsLimit = 100;
        m.BeginRun();
        // The runs take the single-queue line's loop first.
        const bool single = CLineRun::TryRun(m, nullptr);
        EXPECT_EQ(!single && CTandemRun::TryRun(m, nullptr), v.fits);
        m.EndRun();
    }
}

TEST(TandemRunTest, TheMeanWaitOfEveryStageMatchesTheFormula) {
    // Poisson arrivals at 1 leave each exponential stage as Poisson arrivals at
    // 1, so every stage at service rate 1.5 waits 2/3 / (1.5 - 1) = 4/3 on average.
    RestoreRandomStartState();
    Tandem t = MakeTandem(4, 2, Exponential(0.5f), Exponential(1.5f));
    t.model->arrivalsLimit = 1000000;
    t.model->Run();
    for (size_t k = 0; k < 4; ++k) {
        SCOPED_TRACE(k);
        EXPECT_NEAR(t.model->RealIndicator(indMeanWait, t.QueueAt(k), kNoIndex), 4.0 / 3.0, 0.08);
    }
}

}  // namespace
}  // namespace marvolt
