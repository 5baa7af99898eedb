// The models the benchmarks and the speed script run, built through the
// container's operations. Their results are pinned by a test, so a faster
// kernel is checked on them as well as on the shipped examples.
#pragma once

#include <vector>

#include "tools/example_models.h"

namespace marvolt {

// Three request types from one generator straight into a sink.
std::unique_ptr<CQueuingSystem> BenchGeneratorToSink();
// Generator, FIFO queue, a channel of the given number of devices and a sink,
// with exponential laws at load 0.8, no histograms.
std::unique_ptr<CQueuingSystem> BenchQueueAndChannel(uint8_t devices);
// Six lines of three queue-channel stages behind two generators: 45 nodes,
// three request types with priorities, failures in the middle stage.
std::unique_ptr<CQueuingSystem> BenchNetwork();
// Two generators before a line of queue-channel stages and a sink, the
// refusal sink included: nodes = 4 + 2 * stages.
std::unique_ptr<CQueuingSystem> BenchLine(uint8_t nodes);

// All of them under the file names the speed script uses.
std::vector<ExampleModel> BuildBenchmarkModels();

}  // namespace marvolt
