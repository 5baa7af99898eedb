#include "check/network_flow.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>
#include <numbers>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"

namespace marvolt {

namespace {

// A service law the channel passes through at once, as its Accept decides.
bool InstantService(const LawRecord& law) {
    return law.lawKind == kLawDeterministic && law.param1 < 0.00001f;
}

bool Accepts(const CQSObject& node, uint8_t t) {
    switch (node.kind) {
        case kQueue: {
            const auto& accepted = static_cast<const CQueue&>(node).acceptedTypes;
            return t < accepted.size() && accepted[t] != 0;
        }
        case kChannel: {
            const auto& accepted = static_cast<const CChannel&>(node).acceptedTypes;
            return t < accepted.size() && accepted[t] != 0;
        }
        case kSink:
            return true;
        default:
            return false;
    }
}

// The type a request of type t leaves the channel with.
uint8_t LeavesAs(const CChannel& channel, uint8_t t, uint8_t typeCount) {
    if (!channel.transformOn || t >= channel.transformTable.size())
        return t;
    const uint8_t target = channel.transformTable[t];
    return target < typeCount ? target : t;
}

// The types a node sends on, from what is offered to it.
std::vector<bool> Emitted(const CQueuingSystem& model, uint8_t n, const std::vector<bool>& offered) {
    const CQSObject& node = *model.Node(n);
    const uint8_t types = model.typeCount();
    std::vector<bool> out(types, false);
    if (node.kind == kGenerator) {
        const auto& g = static_cast<const CGenerator&>(node);
        const std::vector<double> shares = TypeShares(g.typeProbabilities);
        for (size_t k = 0; k < g.generatedTypes.size() && k < shares.size(); ++k) {
            if (shares[k] > 0.0 && g.generatedTypes[k] < types)
                out[g.generatedTypes[k]] = true;
        }
        return out;
    }
    if (node.kind == kSink)
        return out;
    for (uint8_t t = 0; t < types; ++t) {
        if (!offered[t] || !Accepts(node, t))
            continue;
        const uint8_t leaves =
            node.kind == kChannel ? LeavesAs(static_cast<const CChannel&>(node), t, types) : t;
        out[leaves] = true;
    }
    return out;
}

// Nodes a node's requests can go to: its receivers, and for a channel whose
// failures are modelled its reserve, which takes over while it is repaired.
std::vector<uint8_t> Successors(const CQueuingSystem& model, uint8_t n) {
    const CQSObject& node = *model.Node(n);
    std::vector<uint8_t> next;
    if (node.kind == kSink)
        return next;
    for (uint8_t r : node.receivers) {
        if (r < model.nodeCount())
            next.push_back(r);
    }
    if (node.kind == kChannel && static_cast<const CChannel&>(node).failuresOn) {
        const uint8_t reserve = UsableReserve(model, n);
        if (reserve != kNoIndex)
            next.push_back(reserve);
    }
    return next;
}

void FollowTypes(const CQueuingSystem& model, NetworkFlow& flow) {
    const uint8_t count = model.nodeCount();
    std::deque<uint8_t> pending;
    for (uint8_t n = 0; n < count; ++n) {
        if (model.Node(n)->kind == kGenerator)
            pending.push_back(n);
    }
    while (!pending.empty()) {
        const uint8_t n = pending.front();
        pending.pop_front();
        const CQSObject& node = *model.Node(n);
        std::vector<bool> sent = Emitted(model, n, flow.nodes[n].offered);
        for (uint8_t r : Successors(model, n)) {
            // A failed channel leaves to its reserve whatever is offered to it,
            // also the types it would not serve itself.
            const bool toReserve = node.kind == kChannel &&
                                   std::find(node.receivers.begin(), node.receivers.end(), r) ==
                                       node.receivers.end();
            const std::vector<bool>& what = toReserve ? flow.nodes[n].offered : sent;
            bool grew = false;
            for (size_t t = 0; t < what.size(); ++t) {
                if (what[t] && !flow.nodes[r].offered[t]) {
                    flow.nodes[r].offered[t] = true;
                    grew = true;
                }
            }
            if (grew)
                pending.push_back(r);
        }
    }
}

// Mean rates per type sent by a generator, or nothing.
std::optional<std::vector<double>> GeneratorRates(const CGenerator& g, uint8_t types) {
    const std::optional<double> interval = LawMean(g.intervalLaw);
    const std::optional<double> batch = MeanBatch(g.batchLaw);
    if (!interval || !(*interval > 0.0) || !batch)
        return std::nullopt;
    std::vector<double> rates(types, 0.0);
    const std::vector<double> shares = TypeShares(g.typeProbabilities);
    for (size_t k = 0; k < g.generatedTypes.size() && k < shares.size(); ++k) {
        if (g.generatedTypes[k] < types)
            rates[g.generatedTypes[k]] += *batch / *interval * shares[k];
    }
    return rates;
}

// What a queue or a channel sends on, per type, from its offered rates.
std::optional<std::vector<double>> PassedRates(const CQueuingSystem& model, uint8_t n,
                                               const std::vector<double>& in) {
    const CQSObject& node = *model.Node(n);
    const uint8_t types = model.typeCount();
    std::vector<double> out(types, 0.0);
    if (node.kind == kQueue) {
        for (uint8_t t = 0; t < types; ++t)
            out[t] = Accepts(node, t) ? in[t] : 0.0;
        return out;
    }
    const auto& channel = static_cast<const CChannel&>(node);
    if (channel.failuresOn)
        return std::nullopt;
    for (uint8_t t = 0; t < types; ++t) {
        if (Accepts(node, t))
            out[LeavesAs(channel, t, types)] += in[t];
    }
    NodeFlow offered;
    offered.rates = in;
    const std::optional<double> load = ChannelLoad(model, n, offered);
    if (!load)
        return std::nullopt;
    // A channel serves no more than its devices can.
    if (*load > 1.0) {
        for (double& r : out)
            r /= *load;
    }
    return out;
}

void FollowRates(const CQueuingSystem& model, NetworkFlow& flow) {
    const uint8_t count = model.nodeCount();
    const uint8_t types = model.typeCount();
    std::vector<int> incoming(count, 0);
    for (uint8_t n = 0; n < count; ++n) {
        for (uint8_t r : Successors(model, n))
            ++incoming[r];
    }
    std::vector<std::vector<double>> in(count, std::vector<double>(types, 0.0));
    std::vector<bool> unknown(count, false);
    std::deque<uint8_t> ready;
    for (uint8_t n = 0; n < count; ++n) {
        if (incoming[n] == 0)
            ready.push_back(n);
    }
    // Nodes on a cycle, and everything behind one, never become ready: their
    // rates stay unknown.
    while (!ready.empty()) {
        const uint8_t n = ready.front();
        ready.pop_front();
        const CQSObject& node = *model.Node(n);
        if (!unknown[n])
            flow.nodes[n].rates = in[n];
        std::optional<std::vector<double>> out;
        if (!unknown[n]) {
            if (node.kind == kGenerator)
                out = GeneratorRates(static_cast<const CGenerator&>(node), types);
            else if (node.kind != kSink)
                out = PassedRates(model, n, in[n]);
        }
        const std::vector<uint8_t> next = Successors(model, n);
        const bool split = node.receivers.size() > 1;
        const bool random = node.routingDiscipline == kRouteRandom;
        float total = 0.0f;
        for (float p : node.routingProbabilities)
            total += p;
        for (uint8_t r : next) {
            const auto at = std::find(node.receivers.begin(), node.receivers.end(), r);
            if (!out || at == node.receivers.end() || (split && !random)) {
                unknown[r] = true;
            } else if (!split) {
                for (uint8_t t = 0; t < types; ++t)
                    in[r][t] += (*out)[t];
            } else if (total > 0.0f) {
                // The share of a receiver that cannot take a type falls to
                // the others, or to the refusal sink.
                const auto i = static_cast<size_t>(at - node.receivers.begin());
                const double p = i < node.routingProbabilities.size()
                                     ? static_cast<double>(node.routingProbabilities[i])
                                     : 0.0;
                for (uint8_t t = 0; t < types; ++t) {
                    if (Accepts(*model.Node(r), t))
                        in[r][t] += (*out)[t] * p / total;
                }
            }
            if (--incoming[r] == 0)
                ready.push_back(r);
        }
    }
}

}  // namespace

std::optional<double> LawMean(const LawRecord& law) {
    const double a = law.param1;
    const double b = law.param2;
    switch (law.lawKind) {
        case kLawDeterministic:
            return a;
        case kLawUniform:
            return (a + b) / 2.0;
        case kLawExponential:
            if (!(a > 0.0))
                return std::nullopt;
            return 1.0 / a;
        case kLawNormal: {
            const double s = std::fabs(b);
            if (s == 0.0)
                return std::max(a, 0.0);
            // E[max(X, 0)] of a normal X: draws below 0 are cut to 0.
            const double z = a / s;
            const double cdf = 0.5 * std::erfc(-z / std::sqrt(2.0));
            const double pdf = std::exp(-z * z / 2.0) / std::sqrt(2.0 * std::numbers::pi);
            return a * cdf + s * pdf;
        }
        default:
            return std::nullopt;
    }
}

double LawLargestDraw(const LawRecord& law) {
    const double a = law.param1;
    const double b = law.param2;
    switch (law.lawKind) {
        case kLawDeterministic:
            return a;
        case kLawUniform:
            return std::max(a, b);
        case kLawExponential:
            // The largest uniform draw short of 1 bounds -ln(v) by ln(32767).
            if (a > 0.0)
                return std::log(32767.0) / a;
            return a < 0.0 ? 0.0 : std::numeric_limits<double>::infinity();
        case kLawNormal:
            // Twelve uniform draws: at most six deviations above the mean; below 0 is cut to 0.
            return std::max(a + 6.0 * std::fabs(b), 0.0);
        default:
            return 0.0;
    }
}

std::optional<double> MeanBatch(const LawRecord& batchLaw) {
    // An event makes as many requests as the draw rounds to; a constant rounds exactly.
    if (batchLaw.lawKind == kLawDeterministic) {
        const double n = std::floor(static_cast<double>(batchLaw.param1) + 0.49999);
        return std::max(n, 0.0);
    }
    return LawMean(batchLaw);
}

std::vector<double> TypeShares(const std::vector<float>& probabilities) {
    std::vector<double> shares(probabilities.size(), 0.0);
    if (probabilities.empty())
        return shares;
    double below = 0.0;  // the running sum before the entry, as far as [0, 1] reaches
    float sum = 0.0f;
    for (size_t k = 0; k + 1 < probabilities.size(); ++k) {
        sum += probabilities[k];
        const double upTo = std::clamp(static_cast<double>(sum), 0.0, 1.0);
        shares[k] = std::max(upTo - below, 0.0);
        below = std::max(below, upTo);
    }
    shares.back() = 1.0 - below;
    return shares;
}

uint8_t UsableReserve(const CQueuingSystem& model, uint8_t channel) {
    const CQSObject& node = *model.Node(channel);
    if (node.kind != kChannel)
        return kNoIndex;
    const uint8_t reserve = static_cast<const CChannel&>(node).reserveChannel;
    if (reserve >= model.nodeCount() || reserve == channel || model.Node(reserve)->kind != kChannel)
        return kNoIndex;
    return reserve;
}

NetworkFlow AnalyseFlow(const CQueuingSystem& model) {
    NetworkFlow flow;
    flow.nodes.resize(model.nodeCount());
    for (NodeFlow& n : flow.nodes)
        n.offered.assign(model.typeCount(), false);
    FollowTypes(model, flow);
    FollowRates(model, flow);
    return flow;
}

std::optional<double> ChannelLoad(const CQueuingSystem& model, uint8_t channel,
                                  const NodeFlow& flow) {
    const CQSObject& node = *model.Node(channel);
    if (node.kind != kChannel || !flow.rates)
        return std::nullopt;
    const auto& c = static_cast<const CChannel&>(node);
    if (c.deviceCount == 0)
        return std::nullopt;
    double work = 0.0;
    for (uint8_t t = 0; t < model.typeCount() && t < flow.rates->size(); ++t) {
        const double rate = (*flow.rates)[t];
        if (!(rate > 0.0) || !Accepts(node, t))
            continue;
        if (t >= c.serviceLaws.size())
            return std::nullopt;
        const LawRecord& law = c.serviceLaws[t];
        if (InstantService(law))
            continue;
        const std::optional<double> mean = LawMean(law);
        if (!mean)
            return std::nullopt;
        work += rate * std::max(*mean, 0.0);
    }
    return work / c.deviceCount;
}

}  // namespace marvolt
