// Saving and opening the largest model: 250 nodes, 250 request types, with results.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"
#include "persistence/model_file.h"

namespace {

using namespace marvolt;

// Every per-type and per-slot array at its full length and every distribution
// collected, so the file is as large as such a model's gets.
std::unique_ptr<CQueuingSystem> LargestModel() {
    RestoreRandomStartState();
    auto m = std::make_unique<CQueuingSystem>();
    for (int t = 0; t < RequestTypeLimit; ++t)
        m->AddRequestType(m->DefaultTypeName());
    for (auto& type : m->requestTypes)
        type->countDistFlag = 1;
    constexpr int kGenerators = 50, kQueues = 75, kChannels = 75, kSinks = 50;
    for (int i = 0; i < kGenerators; ++i) {
        CGenerator* g = m->AddGenerator(m->DefaultNodeName(kGenerator));
        for (uint8_t t = 0; t < 5; ++t)
            g->SetGeneratedType(static_cast<uint8_t>((i * 5 + t) % 250), true);
        g->typeProbabilities.assign(5, 0.2f);
        g->intervalLaw = {kLawExponential, 2.0f, 0.0f};
    }
    for (int i = 0; i < kQueues; ++i) {
        CQueue* q = m->AddQueue(m->DefaultNodeName(kQueue));
        q->waitDistFlags.assign(251, 1);
        q->lengthDistFlags.assign(251, 1);
    }
    for (int i = 0; i < kChannels; ++i) {
        CChannel* c = m->AddChannel(m->DefaultNodeName(kChannel));
        c->idleDistFlag = c->serviceDistFlag = 1;
        c->transformTable.resize(250);
        for (size_t t = 0; t < 250; ++t)
            c->transformTable[t] = static_cast<uint8_t>(t);
    }
    for (int i = 0; i < kSinks; ++i) {
        CDispose* s = m->AddSink(m->DefaultNodeName(kSink));
        s->lifetimeDistFlags.assign(251, 1);
    }
    m->SetRefusalSink(m->Node(kGenerators + kQueues + kChannels)->name);
    for (int i = 0; i < kGenerators; ++i)
        m->Link(static_cast<uint8_t>(i), static_cast<uint8_t>(kGenerators + i));
    for (int i = 0; i < kQueues; ++i) {
        m->Link(static_cast<uint8_t>(kGenerators + i),
                static_cast<uint8_t>(kGenerators + kQueues + i));
    }
    for (int i = 0; i < kChannels; ++i) {
        m->Link(static_cast<uint8_t>(kGenerators + kQueues + i),
                static_cast<uint8_t>(kGenerators + kQueues + kChannels + i % kSinks));
    }
    m->stopByTime = 1;
    m->timeLimit = 200.0f;
    m->countDistFlag = 1;
    m->Experiment();
    return m;
}

struct Fixture {
    std::unique_ptr<CQueuingSystem> current = LargestModel();
    std::unique_ptr<CQueuingSystem> results = CQueuingSystem::CopyModel(*current, true);
    std::vector<uint8_t> bytes;
    Fixture() { WriteModelBytes(*current, results.get(), bytes); }
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_WriteLargestModel(benchmark::State& state) {
    Fixture& f = Shared();
    std::vector<uint8_t> out;
    for (auto _ : state) {
        WriteModelBytes(*f.current, f.results.get(), out);
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["file_bytes"] = static_cast<double>(f.bytes.size());
}
BENCHMARK(BM_WriteLargestModel)->Unit(benchmark::kMillisecond);

void BM_ReadLargestModel(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        OpenedModels opened = ReadModelBytes(f.bytes.data(), f.bytes.size());
        if (opened.result != OpenResult::kOk || !opened.results)
            state.SkipWithError("unreadable");
        benchmark::DoNotOptimize(opened.current.get());
    }
}
BENCHMARK(BM_ReadLargestModel)->Unit(benchmark::kMillisecond);

void BM_SaveAndOpenLargestModelFile(benchmark::State& state) {
    Fixture& f = Shared();
    const std::string path =
        (std::filesystem::temp_directory_path() / "marvolt_file_bench.qsf").string();
    for (auto _ : state) {
        if (SaveModelFile(path, *f.current, f.results.get()) != SaveResult::kOk) {
            state.SkipWithError("save failed");
        }
        OpenedModels opened = OpenModelFile(path);
        if (opened.result != OpenResult::kOk)
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(opened.current.get());
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveAndOpenLargestModelFile)->Unit(benchmark::kMillisecond);

}  // namespace
