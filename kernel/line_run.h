// The model students run most, a single-queue line, run without the general
// machinery: one generator of one type in batches of one, a FIFO queue without
// a waiting limit, a channel without failures, a sink. Every number of the
// run comes out as the nodes themselves would leave it: the same draws in the
// same order, the same order of events on equal times, the same sums.
#pragma once

#include "kernel/queuing_system.h"
#include "kernel/sink.h"

namespace marvolt {

class CChannel;
class CGenerator;
class CQueue;

class CLineRun {
  public:
    // A model just prepared for a run (BeginRun): runs it to its stop and
    // answers true when it is such a line; does nothing and answers false
    // otherwise, so that the general loop runs it.
    static bool TryRun(CQueuingSystem& m, CQueuingSystem::Watch* watch);

    // What a loop of its own can take over from the general loop, piece by
    // piece; the tandem line's loop asks the same.
    // One type, nothing observed or tallied for the whole model, not stopping yet.
    static bool ModelFits(const CQueuingSystem& m);
    // One type in batches of one, its first event in the list.
    static bool GeneratorFits(const CQueuingSystem& m, const CGenerator& g);
    // Everything waits, in arrival order, in one class; no histograms.
    static bool QueueFits(const CQueue& q);
    // Devices that serve for a while, without failures or histograms, fed by q alone.
    static bool ChannelFits(const CQueuingSystem& m, const CChannel& c, const CQueue& q);
    // No histogram of lifetimes.
    static bool SinkFits(const CDispose& s);

    // What a loop of its own keeps of the model as a whole, of its one request
    // type and of the sink at the line's end, in locals that stay in
    // registers: taken from them when the loop starts, handed back at its end.
    struct Tally {
        SimTime now;
        uint32_t arrived;
        StopReason reason;
        uint32_t inside;
        uint32_t maxInside;
        SimTime lastChange;
        SimTime countIntegral;
        uint32_t generated;
        uint32_t sinkArrivals;
        SimTime lifetimeSum;
        float minLifetime;
        float maxLifetime;

        Tally(const CQueuingSystem& m, const CDispose& sink);
        void HandBack(CQueuingSystem& m, CDispose& sink) const;
        // A request is born now.
        void Born() {
            CountChanges();
            ++inside;
            ++generated;
            if (inside > maxInside)
                maxInside = inside;
        }
        // A request leaves the system now.
        void Leaves() {
            CountChanges();
            --inside;
        }
        // It leaves into the sink, born at birth.
        void Absorbed(SimTime birth) {
            ++sinkArrivals;
            Leaves();
            CDispose::BookLifetime(now - birth, lifetimeSum, minLifetime, maxLifetime);
        }

      private:
        // The time integral of the number inside, up to now.
        void CountChanges() {
            countIntegral += (now - lastChange) * inside;
            lastChange = now;
        }
    };

  private:
    struct Line;
    static bool Find(const CQueuingSystem& m, Line& line);
    template <class Devices>
    static void LoopFor(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch);
    template <class Devices, bool kWatched, bool kByTime>
    static void Loop(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch);
};

}  // namespace marvolt
