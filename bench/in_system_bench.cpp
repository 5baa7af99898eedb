// The cost per request of the bound on the requests a model holds: it is
// checked once per request created and once per event, so models that create
// many requests per event, or hold very many, would show it first.
#include <benchmark/benchmark.h>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/refusal_sink.h"
#include "kernel/sink.h"

namespace {

using namespace marvolt;

// One request type, the refusal sink (0) and a generator of that type (1).
std::unique_ptr<CQueuingSystem> WithGenerator(LawRecord interval, LawRecord batch) {
    auto m = std::make_unique<CQueuingSystem>();
    m->AddRequestType("A");
    AddRefusalSink(*m);
    auto* g = m->AddGenerator("g");
    g->SetGeneratedType(0, true);
    g->typeProbabilities[0] = 1.0f;
    g->intervalLaw = interval;
    g->batchLaw = batch;
    return m;
}

// Generator -> sink with a deterministic batch: only creating requests costs.
std::unique_ptr<CQueuingSystem> BatchToSink(float batch) {
    auto m = WithGenerator({kLawDeterministic, 1.0f, 0.0f}, {kLawDeterministic, batch, 0.0f});
    m->AddSink("s");
    m->Link(1, 2);
    return m;
}

// M/M/1 at a load of 2: the queue grows by about one request every two arrivals.
std::unique_ptr<CQueuingSystem> Overloaded() {
    auto m = WithGenerator({kLawExponential, 2.0f, 0.0f}, {kLawDeterministic, 1.0f, 0.0f});
    m->AddQueue("q");
    m->AddChannel("c")->serviceLaws[0] = {kLawExponential, 1.0f, 0.0f};
    m->AddSink("s");
    m->Link(1, 2);
    m->Link(2, 3);
    m->Link(3, 4);
    return m;
}

void RunFor(benchmark::State& state, CQueuingSystem& m) {
    m.arrivalsLimit = static_cast<uint32_t>(state.range(0));
    RestoreRandomStartState();
    uint64_t arrivals = 0;
    for (auto _ : state) {
        m.Run();
        arrivals += m.arrived;
    }
    state.counters["time/arrival"] = benchmark::Counter(
        static_cast<double>(arrivals), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_BatchToSink(benchmark::State& state) {
    auto m = BatchToSink(static_cast<float>(state.range(1)));
    RunFor(state, *m);
}
void BM_OverloadedQueue(benchmark::State& state) {
    auto m = Overloaded();
    RunFor(state, *m);
}

BENCHMARK(BM_BatchToSink)->Args({2000000, 1})->Args({2000000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverloadedQueue)->Arg(2000000)->Unit(benchmark::kMillisecond);

}  // namespace
