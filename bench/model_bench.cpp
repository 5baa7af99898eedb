// Whole runs of small models: arrivals per second and allocations per event.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"
#include "kernel/refusal_sink.h"
#include "kernel/sink.h"

namespace {
std::atomic<uint64_t> g_allocations{0};
std::atomic<uint64_t> g_allocatedBytes{0};
}  // namespace

// Counting replacements of the global allocation functions; GCC cannot see
// that new and delete below are a matching pair.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    g_allocatedBytes.fetch_add(size, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using namespace marvolt;

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

std::unique_ptr<CQueuingSystem> GeneratorToSink() {
    auto m = std::make_unique<CQueuingSystem>();
    for (const char* t : {"A", "B", "C"})
        m->AddRequestType(t);
    AddRefusalSink(*m);
    AddSource(*m, "g", 1.0f);
    m->AddSink("s");
    m->Link(1, 2);
    return m;
}

std::unique_ptr<CQueuingSystem> QueueAndChannel(uint8_t devices) {
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

// Six lines of three queue-channel stages behind two generators: 45 nodes,
// three request types with priorities, failures in the middle stage.
std::unique_ptr<CQueuingSystem> Network() {
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

// With watched set, every run reports its progress to a callback that lets
// it go on: the loop should be as fast as without one.
void RunModel(benchmark::State& state, std::unique_ptr<CQueuingSystem> (*make)(),
              bool watched = false) {
    auto model = make();
    uint64_t reports = 0;
    const ProgressCallback progress = [&reports](const RunProgress&) { return ++reports > 0; };
    model->arrivalsLimit = static_cast<uint32_t>(state.range(0));
    RestoreRandomStartState();
    model->Run();  // warm-up: queues reach their usual lengths
    uint64_t arrivals = 0, allocations = 0, bytes = 0;
    for (auto _ : state) {
        const uint64_t a0 = g_allocations, b0 = g_allocatedBytes;
        if (watched) {
            model->Run(progress);
        } else {
            model->Run();
        }
        allocations += g_allocations - a0;
        bytes += g_allocatedBytes - b0;
        arrivals += model->arrived;
    }
    state.counters["arrivals/s"] =
        benchmark::Counter(static_cast<double>(arrivals), benchmark::Counter::kIsRate);
    state.counters["allocs/run"] = static_cast<double>(allocations) / state.iterations();
    state.counters["bytes/arrival"] = static_cast<double>(bytes) / arrivals;
    if (watched)
        state.counters["reports/run"] = static_cast<double>(reports) / state.iterations();
}

void BM_GeneratorToSink(benchmark::State& s) {
    RunModel(s, GeneratorToSink);
}
void BM_MM1(benchmark::State& s) {
    RunModel(s, [] { return QueueAndChannel(1); });
}
void BM_MM3(benchmark::State& s) {
    RunModel(s, [] { return QueueAndChannel(3); });
}
void BM_Network45(benchmark::State& s) {
    RunModel(s, Network);
}
void BM_MM1_Watched(benchmark::State& s) {
    RunModel(
        s, [] { return QueueAndChannel(1); }, true);
}
void BM_Network45_Watched(benchmark::State& s) {
    RunModel(s, Network, true);
}

BENCHMARK(BM_GeneratorToSink)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM1)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM3)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Network45)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM1_Watched)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Network45_Watched)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
