// Whole runs of small models: arrivals per second and allocations per event.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"
#include "kernel/sink.h"
#include "mm1_loop.h"
#include "tools/bench_models.h"

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

// With watched set, every run reports its progress to a callback that lets
// it go on: the loop should be as fast as without one. Without lineRun a
// model the line's own loop would take runs in the general loop.
void RunModel(benchmark::State& state, std::unique_ptr<CQueuingSystem> (*make)(),
              bool watched = false, bool lineRun = true) {
    auto model = make();
    model->lineRunAllowed = lineRun;
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
    RunModel(s, BenchGeneratorToSink);
}
void BM_MM1(benchmark::State& s) {
    RunModel(s, [] { return BenchQueueAndChannel(1); });
}
void BM_MM3(benchmark::State& s) {
    RunModel(s, [] { return BenchQueueAndChannel(3); });
}
void BM_MM1_GeneralLoop(benchmark::State& s) {
    RunModel(
        s, [] { return BenchQueueAndChannel(1); }, false, false);
}
void BM_MM3_GeneralLoop(benchmark::State& s) {
    RunModel(
        s, [] { return BenchQueueAndChannel(3); }, false, false);
}
void BM_Network45(benchmark::State& s) {
    RunModel(s, BenchNetwork);
}
void BM_MM1_Watched(benchmark::State& s) {
    RunModel(
        s, [] { return BenchQueueAndChannel(1); }, true);
}
void BM_Network45_Watched(benchmark::State& s) {
    RunModel(s, BenchNetwork, true);
}

// The yardstick: the same M/M/1 run written out by hand.
void BM_MM1_HandLoop(benchmark::State& state) {
    auto loop = std::make_unique<hand::Mm1Loop>();
    uint64_t arrivals = 0;
    for (auto _ : state) {
        const hand::LoopResult r = loop->Run(static_cast<uint32_t>(state.range(0)));
        benchmark::DoNotOptimize(r);
        arrivals += r.arrived;
    }
    state.counters["arrivals/s"] =
        benchmark::Counter(static_cast<double>(arrivals), benchmark::Counter::kIsRate);
}

// Lines of queue-channel stages: the cost of an event should not grow with
// the number of nodes. An event is a generator's or a channel's completion.
void BM_Line(benchmark::State& state) {
    auto model = BenchLine(static_cast<uint8_t>(state.range(0)));
    model->arrivalsLimit = static_cast<uint32_t>(state.range(1));
    RestoreRandomStartState();
    uint64_t events = 0;
    for (auto _ : state) {
        model->Run();
        for (uint8_t i = 0; i < model->nodeCount(); ++i) {
            const uint8_t kind = model->Node(i)->kind;
            if (kind == kGenerator || kind == kChannel)
                events += model->CountIndicator(0, i, kNoIndex);
        }
    }
    state.counters["events/s"] =
        benchmark::Counter(static_cast<double>(events), benchmark::Counter::kIsRate);
    state.counters["ns/event"] = benchmark::Counter(
        static_cast<double>(events), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

BENCHMARK(BM_GeneratorToSink)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM1)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM3)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM1_GeneralLoop)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM3_GeneralLoop)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Network45)->Arg(200000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM1_HandLoop)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Line)
    ->Args({10, 100000})
    ->Args({60, 20000})
    ->Args({250, 5000})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MM1_Watched)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Network45_Watched)->Arg(200000)->Unit(benchmark::kMillisecond);

}  // namespace
