// What a run loop of its own must leave exactly as the general loop leaves it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <ostream>
#include <vector>

#include "fingerprint.h"
#include "kernel/queuing_system.h"

namespace marvolt::testing_models {

struct LoopOutcome {
    uint64_t fingerprint = 0;
    std::vector<uint8_t> stored;
    StopReason reason = StopReason::kFinished;
    uint32_t inside = 0;
    int callbacks = 0;
    std::vector<float> dependency;

    bool operator==(const LoopOutcome&) const = default;
};

// For a failure message that can be read: the stored records as their size and hash.
inline void PrintTo(const LoopOutcome& o, std::ostream* os) {
    Fingerprint stored;
    stored.Add(o.stored.data(), o.stored.size());
    *os << "{fingerprint " << std::hex << o.fingerprint << ", stored " << std::dec
        << o.stored.size() << " bytes hashed " << std::hex << stored.value() << std::dec
        << ", reason " << static_cast<int>(o.reason) << ", inside " << o.inside << ", callbacks "
        << o.callbacks << ", " << o.dependency.size() << " dependency values}";
}

// Two experiments in a row, so that the second goes on from where the first
// left the random source and the model; with cancelAtCall the progress
// callback cancels at that call.
inline LoopOutcome RunTwiceOn(CQueuingSystem& m, bool ownLoop, int cancelAtCall) {
    m.lineRunAllowed = ownLoop;
    LoopOutcome o;
    ProgressCallback progress;
    if (cancelAtCall > 0) {
        m.progressPeriod = std::chrono::nanoseconds(0);
        progress = [&](const RunProgress&) { return ++o.callbacks < cancelAtCall; };
    }
    for (int run = 0; run < 2; ++run)
        m.Experiment(progress);
    o.fingerprint = FingerprintOf(m);
    o.stored = StoredNodesOf(m);
    o.reason = m.stopReason;
    o.inside = m.requestsInSystem;
    if (m.DependencyCount() > 0)
        o.dependency = m.Dependency(0)->values;
    return o;
}

// Every variant leaves the same whether its own loop runs it or the general
// one; runTwice(variant, ownLoop, cancelAtCall) runs it.
template <class Variant, class Run>
void ExpectOwnLoopLeavesTheSame(const std::vector<Variant>& variants, Run runTwice) {
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        const LoopOutcome general = runTwice(v, false, 0);
        const LoopOutcome own = runTwice(v, true, 0);
        EXPECT_EQ(own, general);
    }
}

// A callback sees the same run from both loops and cancels it at the same point.
template <class Variant, class Run>
void ExpectTheSameCancels(const Variant& plain, Run runTwice) {
    for (int cancelAt : {1, 3, 1000}) {
        SCOPED_TRACE(cancelAt);
        const LoopOutcome general = runTwice(plain, false, cancelAt);
        const LoopOutcome own = runTwice(plain, true, cancelAt);
        EXPECT_EQ(own, general);
        if (cancelAt < 1000) {
            EXPECT_EQ(own.reason, StopReason::kCancelled);
        }
    }
}

}  // namespace marvolt::testing_models
