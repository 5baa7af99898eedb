// The model students run most, a single-queue line, run without the general
// machinery: one generator of one type in batches of one, a FIFO queue without
// a waiting limit, a channel without failures, a sink. Every number of the
// run comes out as the nodes themselves would leave it: the same draws in the
// same order, the same order of events on equal times, the same sums.
#pragma once

#include "kernel/queuing_system.h"

namespace marvolt {

class CChannel;
class CDispose;
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

  private:
    struct Line;
    static bool Find(const CQueuingSystem& m, Line& line);
    template <class Devices>
    static void LoopFor(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch);
    template <class Devices, bool kWatched, bool kByTime>
    static void Loop(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch);
};

}  // namespace marvolt
