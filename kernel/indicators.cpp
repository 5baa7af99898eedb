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

}  // namespace

bool CQueuingSystem::IndicatorApplies(uint8_t id, uint8_t object) const {
    if (id == 0 || id > 28)
        return true;
    if (object >= nodeCount())
        return id >= 23;
    switch (nodes[object]->kind) {
        case kChannel:
            return id <= 9;
        case kQueue:
            return id >= 10 && id <= 18;
        case kSink:
            return id >= 19 && id <= 22;
        default:
            return false;
    }
}

uint32_t CQueuingSystem::CountIndicator(uint8_t id, uint8_t object, uint8_t type) const {
    if (!IndicatorApplies(id, object))
        return 0;
    const bool oneType = type < typeCount();
    const size_t s = oneType ? type + 1u : 0u;
    if (object >= nodeCount()) {
        switch (id) {
            case 0:
                return oneType ? requestTypes[type]->generated : arrived;
            case 24: {
                uint32_t left = 0;
                for (const auto& node : nodes) {
                    if (node->kind == kSink)
                        left += At(node->arrivals, s);
                }
                return left;
            }
            case 27:
                return oneType ? requestTypes[type]->maxInSystem : maxInSystem;
            default:
                return 0;
        }
    }
    const CQSObject* node = nodes[object].get();
    if (id == 0)
        return At(node->arrivals, s);
    if (node->kind == kQueue) {
        const auto* queue = static_cast<const CQueue*>(node);
        if (id == 11)
            return At(queue->maxWaitingCount, s);
        if (id == 17)
            return At(queue->zeroWaitCount, s);
    }
    return 0;
}

float CQueuingSystem::RealIndicator(uint8_t id, uint8_t object, uint8_t type) const {
    if (!IndicatorApplies(id, object))
        return 0.0f;
    const bool oneType = type < typeCount();
    const size_t s = oneType ? type + 1u : 0u;
    if (object >= nodeCount()) {
        switch (id) {
            case 23: {
                if (modelTime < 0.00001)
                    return 0.0f;
                const uint32_t refused = refusalSink ? At(refusalSink->arrivals, s) : 0u;
                const double left = static_cast<double>(CountIndicator(24, object, type)) - refused;
                return static_cast<float>(left / modelTime);
            }
            case 25:
                return type == kNoIndex ? static_cast<float>(modelTime) : 0.0f;
            case 26:
                return oneType ? requestTypes[type]->meanInSystem : inSystem;
            default:
                return static_cast<float>(CountIndicator(id, object, type));
        }
    }
    const CQSObject* node = nodes[object].get();
    switch (node->kind) {
        case kChannel: {
            if (id == 0)
                break;
            // Channel figures exist only for all types together.
            if (type != kNoIndex)
                return 0.0f;
            const auto* c = static_cast<const CChannel*>(node);
            switch (id) {
                case 1:
                    return c->meanIdle;
                case 2:
                    return c->maxIdle;
                case 5:
                    return c->meanService;
                case 6:
                    return c->minService;
                case 7:
                    return c->maxService;
                case 9:
                    return c->loadFactor;
                default:
                    return 0.0f;
            }
        }
        case kQueue: {
            const auto* q = static_cast<const CQueue*>(node);
            switch (id) {
                case 10:
                    return At(q->meanLength, s);
                case 13:
                    return At(q->totalWait, s);
                case 14:
                    return At(q->maxWait, s);
                case 15: {
                    const uint32_t a = At(q->arrivals, s), z = At(q->zeroWaitCount, s);
                    if (a == z || a < z)
                        return 0.0f;
                    return static_cast<float>(static_cast<double>(At(q->totalWait, s)) * a /
                                              (a - z));
                }
                case 18:
                    return At(q->refused, s);
                default:
                    break;
            }
            break;
        }
        case kSink: {
            const auto* d = static_cast<const CDispose*>(node);
            switch (id) {
                case 19:
                    return At(d->meanLifetime, s);
                case 20:
                    return At(d->minLifetime, s);
                case 21:
                    return At(d->maxLifetime, s);
                default:
                    break;
            }
            break;
        }
        default:
            break;
    }
    return static_cast<float>(CountIndicator(id, object, type));
}

const CDistribution* CQueuingSystem::DistributionIndicator(uint8_t id, uint8_t object,
                                                           uint8_t type) const {
    if (!IndicatorApplies(id, object))
        return nullptr;
    const bool oneType = type < typeCount();
    const size_t s = oneType ? type + 1u : 0u;
    if (object >= nodeCount()) {
        if (id != 28)
            return nullptr;
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
            if (type != kNoIndex)
                return nullptr;
            if (id == 4 && c->idleDistFlag)
                return &c->idleDistribution;
            if (id == 8 && c->serviceDistFlag)
                return &c->serviceDistribution;
            return nullptr;
        }
        case kQueue: {
            const auto* q = static_cast<const CQueue*>(node);
            if (id == 12)
                return Collected(q->lengthDistFlags, q->lengthDistributions, s);
            if (id == 16)
                return Collected(q->waitDistFlags, q->waitDistributions, s);
            return nullptr;
        }
        case kSink:
            if (id == 22) {
                const auto* d = static_cast<const CDispose*>(node);
                return Collected(d->lifetimeDistFlags, d->lifetimeDistributions, s);
            }
            return nullptr;
        default:
            return nullptr;
    }
}

}  // namespace marvolt
