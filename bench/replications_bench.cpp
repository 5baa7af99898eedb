// What replications cost: counting a run's draws, jumping to a replication's
// start, and writing the document of the largest model.
#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>

#include "kernel/random_stat.h"
#include "tools/example_models.h"
#include "tools/json_stream.h"
#include "tools/replication_study.h"
#include "tools/replications.h"
#include "tools/run_results.h"

namespace {

using namespace marvolt;

std::unique_ptr<CQueuingSystem> ExampleModel(const std::string& name, uint32_t arrivals) {
    for (auto& e : BuildExampleModels()) {
        if (e.fileName == name) {
            e.model->stopByTime = 0;
            e.model->arrivalsLimit = arrivals;
            return std::move(e.model);
        }
    }
    return nullptr;
}

// The same runs with and without the count of draws: the count is read off
// the states every few thousand events, so both should take the same time.
void RunExample(benchmark::State& state, const char* name, bool counted) {
    auto m = ExampleModel(name, 1000000);
    RestoreRandomStartState();
    uint64_t arrivals = 0, draws = 0;
    for (auto _ : state) {
        if (counted) {
            CountedExperiment(*m, {}, draws);
        } else {
            m->Experiment();
        }
        arrivals += m->arrived;
    }
    state.counters["arrivals/s"] =
        benchmark::Counter(static_cast<double>(arrivals), benchmark::Counter::kIsRate);
    if (counted)
        state.counters["draws/run"] = static_cast<double>(draws);
}
BENCHMARK_CAPTURE(RunExample, mm1_plain, "mm1.qsf", false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, mm1_counted, "mm1.qsf", true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, line_plain, "two_stage_line.qsf", false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RunExample, line_counted, "two_stage_line.qsf", true)
    ->Unit(benchmark::kMillisecond);

void BM_ReplicationStart(benchmark::State& state) {
    uint32_t n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReplicationStartState(n++));
}
BENCHMARK(BM_ReplicationStart);

void BM_ReplicationStretch(benchmark::State& state) {
    uint32_t n = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReplicationStretchOf(n, 1000000));
        n = (n + 1) % 1000000;
    }
}
BENCHMARK(BM_ReplicationStretch);

// Counts what is written and keeps none of it.
class CountingBuffer : public std::streambuf {
  public:
    uint64_t bytes = 0;

  protected:
    int_type overflow(int_type c) override {
        ++bytes;
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += static_cast<uint64_t>(n);
        return n;
    }
};

void BM_JsonOfTheLargestModel(benchmark::State& state) {
    auto m = BuildWideModel();
    m->arrivalsLimit = 1000;
    RestoreRandomStartState();
    m->Experiment();
    uint64_t bytes = 0;
    for (auto _ : state) {
        CountingBuffer buffer;
        std::ostream out(&buffer);
        JsonStream j(out);
        j.BeginObject();
        WriteRunFields(j, *m);
        j.EndObject();
        bytes += buffer.bytes;
    }
    state.counters["MB/s"] =
        benchmark::Counter(static_cast<double>(bytes) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_JsonOfTheLargestModel)->Unit(benchmark::kMillisecond);

}  // namespace
