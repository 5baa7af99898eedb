// What can flow through a model before it is run: which request types can
// reach each node, and, where the laws and the routing allow, at what mean
// rate. Plain C++ over the model container; the model is only read.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt {

// The mean of a law's draws as the kernel makes them (a normal draw below 0
// is cut to 0); nothing for a law whose mean is infinite or unknown.
std::optional<double> LawMean(const LawRecord& law);
// The largest value a draw of the law can give (infinity when unbounded).
double LawLargestDraw(const LawRecord& law);
// The mean number of requests one generator event creates.
std::optional<double> MeanBatch(const LawRecord& batchLaw);

// The share of a generator's events that picks each entry of its type list,
// as the type draw walks the probabilities (the last entry takes what the
// sum leaves short of 1).
std::vector<double> TypeShares(const std::vector<float>& probabilities);

// The reserve channel that can take over from a channel, or 255.
uint8_t UsableReserve(const CQueuingSystem& model, uint8_t channel);

struct NodeFlow {
    // Per request type: some request of that type can be offered to the node.
    std::vector<bool> offered;
    // Per request type: the mean rate at which requests of that type are
    // offered, when the network lets it be derived.
    std::optional<std::vector<double>> rates;
};

struct NetworkFlow {
    std::vector<NodeFlow> nodes;  // in node order
};

// Types are followed along every link, through what each queue and channel
// accepts and what each channel turns them into, and from a failing channel
// to its reserve. Rates follow the same way from each generator's mean
// interval, batch and type shares; they split where routing is random, go
// whole where a node has one receiver, and stop being known behind a node
// that routes in order or to the least loaded among several receivers,
// behind a channel that fails, and around a cycle.
NetworkFlow AnalyseFlow(const CQueuingSystem& model);

// The offered load of one device of a channel: the mean rate of what it
// accepts times the mean service time, over its devices. Nothing when the
// offered rates or a service mean are not known.
std::optional<double> ChannelLoad(const CQueuingSystem& model, uint8_t channel,
                                  const NodeFlow& flow);

}  // namespace marvolt
