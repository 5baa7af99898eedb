#include <benchmark/benchmark.h>

#include "kernel/random_stat.h"

namespace {

void BM_SampleExponential(benchmark::State& state) {
    marvolt::RestoreRandomStartState();
    const marvolt::LawRecord law{marvolt::kLawExponential, 0.01f, 0.0f};
    for (auto _ : state)
        benchmark::DoNotOptimize(marvolt::SampleLaw(law));
}
BENCHMARK(BM_SampleExponential);

void BM_SampleNormal(benchmark::State& state) {
    marvolt::RestoreRandomStartState();
    const marvolt::LawRecord law{marvolt::kLawNormal, 10.0f, 2.0f};
    for (auto _ : state)
        benchmark::DoNotOptimize(marvolt::SampleLaw(law));
}
BENCHMARK(BM_SampleNormal);

}  // namespace
