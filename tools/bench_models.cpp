#include "tools/bench_models.h"

#include <string>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/refusal_sink.h"
#include "kernel/sink.h"

namespace marvolt {

namespace {

LawRecord Exp(float rate) {
    return {kLawExponential, rate, 0.0f};
}

CGenerator* AddSource(CQueuingSystem& m, const std::string& name, float rate) {
    auto* g = m.AddGenerator(name);
    for (uint8_t t = 0; t < m.typeCount(); ++t) {
        g->SetGeneratedType(t, true);
        g->typeProbabilities[t] = 1.0f / m.typeCount();
    }
    g->intervalLaw = Exp(rate);
    return g;
}

}  // namespace

std::unique_ptr<CQueuingSystem> BenchGeneratorToSink() {
    auto m = std::make_unique<CQueuingSystem>();
    for (const char* t : {"A", "B", "C"})
        m->AddRequestType(t);
    AddRefusalSink(*m);
    AddSource(*m, "g", 1.0f);
    m->AddSink("s");
    m->Link(1, 2);
    return m;
}

std::unique_ptr<CQueuingSystem> BenchQueueAndChannel(uint8_t devices) {
    auto m = std::make_unique<CQueuingSystem>();
    m->AddRequestType("A");
    AddRefusalSink(*m);
    AddSource(*m, "g", 1.0f);
    m->AddQueue("q");
    auto* c = m->AddChannel("c");
    c->deviceCount = devices;
    c->serviceLaws[0] = Exp(1.25f / devices);  // load 0.8
    m->AddSink("s");
    m->Link(1, 2);
    m->Link(2, 3);
    m->Link(3, 4);
    return m;
}

std::unique_ptr<CQueuingSystem> BenchNetwork() {
    auto m = std::make_unique<CQueuingSystem>();
    for (const char* t : {"A", "B", "C"})
        m->AddRequestType(t);
    for (uint8_t t = 0; t < 3; ++t)
        m->RequestType(t)->priority = t;
    AddRefusalSink(*m);
    auto* g1 = AddSource(*m, "g1", 1.5f);
    auto* g2 = AddSource(*m, "g2", 1.5f);
    g1->routingDiscipline = kRouteFewest;
    g2->routingDiscipline = kRouteFewest;
    for (int line = 0; line < 6; ++line) {
        uint8_t previous = kNoIndex;
        for (int stage = 0; stage < 3; ++stage) {
            const std::string id = std::to_string(line) + "_" + std::to_string(stage);
            auto* q = m->AddQueue("q" + id);
            q->usePriority = 1;
            const uint8_t qi = m->nodeCount() - 1;
            auto* c = m->AddChannel("c" + id);
            const uint8_t ci = m->nodeCount() - 1;
            c->deviceCount = 2;
            for (auto& law : c->serviceLaws)
                law = Exp(0.3f);
            if (stage == 1) {
                c->failuresOn = 1;
                c->failureRule = kFailWaitForRepair;
                c->workLaw = Exp(0.01f);
                c->repairLaw = Exp(0.5f);
            }
            if (previous == kNoIndex) {
                m->Link(1, qi);
                m->Link(2, qi);
            } else {
                m->Link(previous, qi);
            }
            m->Link(qi, ci);
            previous = ci;
        }
        m->AddSink("s" + std::to_string(line));
        m->Link(previous, m->nodeCount() - 1);
    }
    return m;
}

std::unique_ptr<CQueuingSystem> BenchLine(uint8_t nodes) {
    auto m = std::make_unique<CQueuingSystem>();
    m->AddRequestType("A");
    AddRefusalSink(*m);
    AddSource(*m, "g1", 0.5f);
    AddSource(*m, "g2", 0.5f);
    const int stages = (nodes - 4) / 2;
    uint8_t previous = kNoIndex;
    for (int i = 0; i < stages; ++i) {
        m->AddQueue("q" + std::to_string(i));
        const uint8_t qi = m->nodeCount() - 1;
        m->AddChannel("c" + std::to_string(i))->serviceLaws[0] = Exp(1.5f);
        if (previous == kNoIndex) {
            m->Link(1, qi);
            m->Link(2, qi);
        } else {
            m->Link(previous, qi);
        }
        m->Link(qi, qi + 1);
        previous = static_cast<uint8_t>(qi + 1);
    }
    m->AddSink("s");
    m->Link(previous, m->nodeCount() - 1);
    return m;
}

std::vector<ExampleModel> BuildBenchmarkModels() {
    std::vector<ExampleModel> all;
    all.push_back({"generator_to_sink.qsf", BenchGeneratorToSink()});
    all.push_back({"mm1.qsf", BenchQueueAndChannel(1)});
    all.push_back({"mm3.qsf", BenchQueueAndChannel(3)});
    all.push_back({"network45.qsf", BenchNetwork()});
    all.push_back({"line10.qsf", BenchLine(10)});
    all.push_back({"line60.qsf", BenchLine(60)});
    all.push_back({"line250.qsf", BenchLine(250)});
    return all;
}

}  // namespace marvolt
