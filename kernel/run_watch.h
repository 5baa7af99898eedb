// The progress callback of a run together with the clock that keeps its calls
// apart; shared by the single run and the factor experiment.
#pragma once

#include <algorithm>
#include <chrono>

#include "kernel/queuing_system.h"

namespace marvolt {

struct CQueuingSystem::Watch {
    // The clock is read once per this many events, so the loop keeps its speed.
    static constexpr uint32_t kEventsPerLook = 4096;

    const ProgressCallback& callback;
    std::chrono::nanoseconds period;
    RunProgress where;
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();

    // A run must end: counts an event that brought it no closer to its stop
    // criterion. True when the guard stops the run; the bound, met within the
    // same event, stays the better reason.
    static bool GuardStops(bool progress, uint64_t& stalled, uint64_t guard, StopReason& reason) {
        if (progress) {
            stalled = 0;
            return false;
        }
        if (++stalled < guard)
            return false;
        if (reason == StopReason::kFinished)
            reason = StopReason::kProgressGuard;
        return true;
    }

    // Once every kEventsPerLook events: brings the model up to date (sync)
    // and asks the callback. True when it cancels the run.
    template <class Sync>
    bool Cancels(const CQueuingSystem& m, uint32_t& untilLook, StopReason& reason, Sync sync) {
        if (--untilLook != 0)
            return false;
        untilLook = kEventsPerLook;
        sync();
        if (reason != StopReason::kFinished || Look(m))
            return false;
        reason = StopReason::kCancelled;
        return true;
    }

    // False when the callback asks to stop.
    bool Look(const CQueuingSystem& m) {
        if (std::chrono::steady_clock::now() - last < period)
            return true;
        double share = 1.0;
        if (m.stopByTime) {
            if (m.timeLimit > 0.0f)
                share = m.modelTime / m.timeLimit;
        } else if (m.arrivalsLimit > 0) {
            share = static_cast<double>(m.arrived) / m.arrivalsLimit;
        }
        where.share = static_cast<float>(std::clamp(share, 0.0, 1.0));
        const bool goOn = callback(where);
        // Counted from the answer, so that a slow callback is not called back to back.
        last = std::chrono::steady_clock::now();
        return goOn;
    }
};

}  // namespace marvolt
