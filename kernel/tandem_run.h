// A tandem line, stage after stage of a FIFO queue and a channel of one device,
// fed by any number of generators of one type, run without the general
// machinery. Each stage's numbers are packed together in the loop, so that a
// long line stays in the first-level cache and an event costs what it costs
// in a short one. Every number comes out as the nodes would leave it: the same
// draws in the same order, the same event list, the same sums.
#pragma once

#include "kernel/queuing_system.h"

namespace marvolt {

class CTandemRun {
  public:
    // A model just prepared for a run (BeginRun): runs it to its stop and
    // answers true when it is such a line; does nothing and answers false
    // otherwise.
    static bool TryRun(CQueuingSystem& m, CQueuingSystem::Watch* watch);

  private:
    struct Line;
    static bool Find(const CQueuingSystem& m, Line& line);
    template <bool kWatched, bool kByTime>
    static void Loop(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch);
};

}  // namespace marvolt
