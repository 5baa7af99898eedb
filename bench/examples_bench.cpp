// Whole runs of the shipped example models, as a user would start them.
#include <benchmark/benchmark.h>

#include "tools/example_models.h"

namespace {

void BM_Example(benchmark::State& state, size_t which) {
    auto examples = marvolt::BuildExampleModels();
    marvolt::CQueuingSystem& m = *examples[which].model;
    marvolt::RestoreRandomStartState();
    uint64_t arrivals = 0;
    for (auto _ : state) {
        m.Experiment();
        // A factor experiment makes one run per value; each run arrives about as many.
        arrivals += static_cast<uint64_t>(m.arrived) * (m.factorRun ? m.usedFactor.valueCount : 1);
    }
    state.SetLabel(examples[which].fileName);
    state.counters["arrivals/s"] =
        benchmark::Counter(static_cast<double>(arrivals), benchmark::Counter::kIsRate);
}

BENCHMARK_CAPTURE(BM_Example, mm1, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Example, three_devices, 1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Example, two_stage_line, 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Example, priorities, 3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Example, failures_and_reserve, 4)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Example, factor_devices, 5)->Unit(benchmark::kMillisecond);

}  // namespace
