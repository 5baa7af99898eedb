#include "results/logic/confidence_interval.h"

#include <cmath>
#include <functional>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "results/logic/stop_limits.h"

namespace marvolt {

namespace {

// Every random quantity of the model, in node order.
void ForEachLaw(const CQueuingSystem& m, const std::function<void(const LawRecord&)>& visit) {
    for (uint8_t i = 0; i < m.nodeCount(); ++i) {
        const CQSObject* node = m.Node(i);
        switch (node->kind) {
            case kGenerator: {
                const auto* g = static_cast<const CGenerator*>(node);
                visit(g->intervalLaw);
                visit(g->batchLaw);
                break;
            }
            case kChannel: {
                const auto* c = static_cast<const CChannel*>(node);
                for (size_t t = 0; t < m.typeCount() && t < c->serviceLaws.size(); ++t) {
                    if (t < c->acceptedTypes.size() && c->acceptedTypes[t])
                        visit(c->serviceLaws[t]);
                }
                break;
            }
            case kQueue: {
                const auto* q = static_cast<const CQueue*>(node);
                if (q->waitLimitMode != kWaitRandomLimit)
                    break;
                for (size_t t = 0; t < m.typeCount() && t < q->waitLimitLaws.size(); ++t) {
                    if (t < q->acceptedTypes.size() && q->acceptedTypes[t])
                        visit(q->waitLimitLaws[t]);
                }
                break;
            }
            default:
                break;
        }
    }
}

}  // namespace

long double LawVariance(const LawRecord& law) {
    const long double a = law.param1;
    const long double b = law.param2;
    switch (law.lawKind) {
        case kLawUniform:
            return (b - a) * (b - a) * (1.0L / 12.0L);
        case kLawExponential:
            return 1.0L / (a * a);
        case kLawNormal:
            return b * b;
        default:
            return 0.0L;
    }
}

float ConfidenceFactor(float t, float e) {
    const float t2 = t * t;
    const float e2 = e * e;
    return t2 / e2;
}

uint32_t ConfidenceArrivals(const CQueuingSystem& model, float t, float e) {
    const float k = ConfidenceFactor(t, e);
    constexpr float kCeiling = static_cast<float>(kLargestArrivalsLimit);
    uint32_t n = 0;
    ForEachLaw(model, [&](const LawRecord& law) {
        const long double variance = LawVariance(law);
        // A law without spread needs no requests, however large k is (an e
        // whose square is below the float range makes k infinite).
        if (!(variance > 0.0L))
            return;
        const float v = static_cast<float>(variance * k);
        if (std::isnan(v))
            return;
        if (v >= kCeiling) {
            n = kLargestArrivalsLimit;
        } else if (static_cast<double>(n) < v) {
            n = static_cast<uint32_t>(v);
        }
    });
    return n < 1 ? 1 : n;
}

}  // namespace marvolt
