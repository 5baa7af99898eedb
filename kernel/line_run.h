// The model students run most, a single-queue line, run without the general
// machinery: one generator of one type in batches of one, a FIFO queue without
// a waiting limit, a channel without failures, a sink. Every number of the
// run comes out as the nodes themselves would leave it: the same draws in the
// same order, the same order of events on equal times, the same sums.
#pragma once

#include "kernel/queuing_system.h"

namespace marvolt {

class CLineRun {
  public:
    // A model just prepared for a run (BeginRun): runs it to its stop and
    // answers true when it is such a line; does nothing and answers false
    // otherwise, so that the general loop runs it.
    static bool TryRun(CQueuingSystem& m, CQueuingSystem::Watch* watch);

  private:
    struct Line;
    static bool Find(const CQueuingSystem& m, Line& line);
    template <class Devices>
    static void LoopFor(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch);
    template <class Devices, bool kWatched, bool kByTime>
    static void Loop(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch);
};

}  // namespace marvolt
