// One number for all that a model shows after a run, to compare runs bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/queuing_system.h"
#include "kernel/record_fingerprint.h"

namespace marvolt::testing_models {

// FNV-1a over everything the accessors show, the run's own figures and the
// state of the random source.
class Fingerprint {
  public:
    void Add(const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) {
            hash_ ^= p[i];
            hash_ *= 1099511628211ull;
        }
    }
    template <class T>
    void Add(T v) {
        Add(&v, sizeof v);
    }
    uint64_t value() const { return hash_; }

  private:
    uint64_t hash_ = 14695981039346656037ull;
};

inline uint64_t FingerprintOf(const CQueuingSystem& m) {
    Fingerprint f;
    f.Add(static_cast<double>(m.modelTime));
    f.Add(m.arrived);
    f.Add(RandomState());
    for (int object = 0; object <= m.nodeCount(); ++object) {
        const uint8_t o = object == m.nodeCount() ? kNoIndex : static_cast<uint8_t>(object);
        for (uint8_t id = 0; id <= 28; ++id) {
            for (int type = 0; type <= m.typeCount(); ++type) {
                const uint8_t t = type == m.typeCount() ? kNoIndex : static_cast<uint8_t>(type);
                f.Add(m.CountIndicator(id, o, t));
                f.Add(m.RealIndicator(id, o, t));
                const CDistribution* d = m.DistributionIndicator(id, o, t);
                if (!d || !d->HasBins())
                    continue;
                for (int b = 0; b < d->binCount; ++b) {
                    float value = 0, center = 0;
                    d->BinAtCenter(b, value, center);
                    f.Add(value);
                }
            }
        }
    }
    return f.value();
}

// What the model file would store of every node, the figures no accessor
// shows (the shortest wait, say) included; only after an experiment.
inline std::vector<uint8_t> StoredNodesOf(const CQueuingSystem& m) {
    std::vector<uint8_t> bytes;
    FingerprintWriter out(bytes);
    for (uint8_t i = 0; i < m.nodeCount(); ++i)
        m.Node(i)->Write(out);
    return bytes;
}

}  // namespace marvolt::testing_models
