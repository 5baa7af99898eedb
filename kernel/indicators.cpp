// Reading the indicators of the last run.
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"

namespace marvolt {

namespace {

// Indicator arrays are absent before the first run.
template <class T>
T At(const std::vector<T>& v, size_t s) {
    return s < v.size() ? v[s] : T{};
}

template <class D>
const CDistribution* Collected(const std::vector<uint8_t>& flags,
                               const std::vector<std::optional<D>>& d, size_t s) {
    if (s < flags.size() && flags[s] && s < d.size() && d[s])
        return &*d[s];
    return nullptr;
}

// Figures kept for all types together give nothing for one type; the argument
// itself is compared with 255, not with the number of types.
bool OnlyForAllTypes(uint8_t id, uint8_t type) {
    return !IndicatorIsPerType(id) && type != kNoIndex;
}

}  // namespace

static_assert(ScopeOfKind(kGenerator) == kForGenerator && ScopeOfKind(kChannel) == kForChannel &&
              ScopeOfKind(kQueue) == kForQueue && ScopeOfKind(kSink) == kForSink);

bool CQueuingSystem::IndicatorApplies(uint8_t id, uint8_t object) const {
    const uint8_t scope =
        object < nodeCount() ? ScopeOfKind(nodes[object]->kind) : uint8_t{kForSystem};
    return IndicatorExists(id, scope);
}

uint32_t CQueuingSystem::CountIndicator(uint8_t id, uint8_t object, uint8_t type) const {
    if (!IndicatorApplies(id, object) || !IndicatorHas(id, IndicatorValue::kCount) ||
        OnlyForAllTypes(id, type))
        return 0;
    const bool oneType = type < typeCount();
    const size_t s = oneType ? type + 1u : 0u;
    if (object >= nodeCount()) {
        switch (id) {
            case indArrived:
                return oneType ? requestTypes[type]->generated : arrived - arrivedBeforeStatistics;
            case indLeftCount: {
                uint32_t left = 0;
                for (const auto& node : nodes) {
                    if (node->kind == kSink)
                        left += At(node->arrivals, s);
                }
                return left;
            }
            case indMaxInSystem:
                return oneType ? requestTypes[type]->maxInSystem : maxInSystem;
            default:
                return 0;
        }
    }
    const CQSObject* node = nodes[object].get();
    if (id == indArrived)
        return At(node->arrivals, s);
    if (node->kind == kQueue) {
        const auto* queue = static_cast<const CQueue*>(node);
        if (id == indMaxQueueLength)
            return At(queue->maxWaitingCount, s);
        if (id == indZeroWaitCount)
            return At(queue->zeroWaitCount, s);
    }
    return 0;
}

float CQueuingSystem::RealIndicator(uint8_t id, uint8_t object, uint8_t type) const {
    if (!IndicatorApplies(id, object) || OnlyForAllTypes(id, type))
        return 0.0f;
    // Counts read as reals; distributions have no number.
    if (!IndicatorHas(id, IndicatorValue::kReal))
        return static_cast<float>(CountIndicator(id, object, type));
    const bool oneType = type < typeCount();
    const size_t s = oneType ? type + 1u : 0u;
    if (object >= nodeCount()) {
        switch (id) {
            case indThroughput: {
                const SimTime span = modelTime - statisticsStart;
                if (span < 0.00001)
                    return 0.0f;
                const uint32_t refused = refusalSink ? At(refusalSink->arrivals, s) : 0u;
                const double left =
                    static_cast<double>(CountIndicator(indLeftCount, object, type)) - refused;
                return static_cast<float>(left / span);
            }
            case indModelTime:
                return static_cast<float>(modelTime);
            case indMeanInSystem:
                return oneType ? requestTypes[type]->meanInSystem : inSystem;
            default:
                return 0.0f;
        }
    }
    const CQSObject* node = nodes[object].get();
    switch (node->kind) {
        case kChannel: {
            const auto* c = static_cast<const CChannel*>(node);
            switch (id) {
                case indMeanIdle:
                    return c->meanIdle;
                case indMaxIdle:
                    return c->maxIdle;
                case indMeanService:
                    return c->meanService;
                case indMinService:
                    return c->minService;
                case indMaxService:
                    return c->maxService;
                case indLoad:
                    return c->loadFactor;
                default:
                    return 0.0f;  // indMinIdle: the channel keeps no such value
            }
        }
        case kQueue: {
            const auto* q = static_cast<const CQueue*>(node);
            switch (id) {
                case indMeanQueueLength:
                    return At(q->meanLength, s);
                case indMeanWait:
                    return At(q->totalWait, s);
                case indMaxWait:
                    return At(q->maxWait, s);
                case indMeanWaitNonZero: {
                    const uint32_t a = At(q->arrivals, s), z = At(q->zeroWaitCount, s);
                    if (a == z || a < z)
                        return 0.0f;
                    return static_cast<float>(static_cast<double>(At(q->totalWait, s)) * a /
                                              (a - z));
                }
                case indRefusalShare:
                    return At(q->refused, s);
                default:
                    return 0.0f;
            }
        }
        case kSink: {
            const auto* d = static_cast<const CDispose*>(node);
            switch (id) {
                case indMeanLifetime:
                    return At(d->meanLifetime, s);
                case indMinLifetime:
                    return At(d->minLifetime, s);
                case indMaxLifetime:
                    return At(d->maxLifetime, s);
                default:
                    return 0.0f;
            }
        }
        default:
            return 0.0f;
    }
}

const CDistribution* CQueuingSystem::DistributionIndicator(uint8_t id, uint8_t object,
                                                           uint8_t type) const {
    if (!IndicatorApplies(id, object) || !IndicatorHas(id, IndicatorValue::kDistribution) ||
        OnlyForAllTypes(id, type))
        return nullptr;
    const bool oneType = type < typeCount();
    const size_t s = oneType ? type + 1u : 0u;
    if (object >= nodeCount()) {
        // indInSystemDistr, the one distribution of the system.
        if (oneType) {
            const CRequestType* t = requestTypes[type].get();
            return t->countDistFlag ? &t->countDistribution : nullptr;
        }
        return countDistFlag ? &countDistribution : nullptr;
    }
    const CQSObject* node = nodes[object].get();
    switch (node->kind) {
        case kChannel: {
            const auto* c = static_cast<const CChannel*>(node);
            if (id == indIdleDistr && c->idleDistFlag)
                return &c->idleDistribution;
            if (id == indServiceDistr && c->serviceDistFlag)
                return &c->serviceDistribution;
            return nullptr;
        }
        case kQueue: {
            const auto* q = static_cast<const CQueue*>(node);
            if (id == indQueueLengthDistr)
                return Collected(q->lengthDistFlags, q->lengthDistributions, s);
            return Collected(q->waitDistFlags, q->waitDistributions, s);
        }
        case kSink: {
            const auto* d = static_cast<const CDispose*>(node);
            return Collected(d->lifetimeDistFlags, d->lifetimeDistributions, s);
        }
        default:
            return nullptr;
    }
}

}  // namespace marvolt
