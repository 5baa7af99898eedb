// Warm-up deletion: the statistics of a run start afresh at a model time,
// given or chosen by MSER-5 from the run's own waiting times and lifetimes.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"
#include "tools/mser.h"

namespace marvolt {

struct WarmupSpec {
    bool automatic = false;
    SimTime time = 0;  // a fixed warm-up; 0: none
    bool Any() const { return automatic || time > 0; }
};

// The series MSER-5 reads: the waiting times at every queue and the
// lifetimes at every sink, each in the order the run records them.
class WarmupObserver : public CObservationHook {
  public:
    explicit WarmupObserver(const CQueuingSystem& m) : model_(m), series_(m.nodeCount()) {}
    void Observe(uint8_t node, SimTime value) override {
        series_[node].Add(value, model_.modelTime);
    }
    // The latest of the series' cuts; 0 when none is cut.
    SimTime Cut() const;
    const MserSeries& Series(uint8_t node) const { return series_[node]; }

  private:
    const CQueuingSystem& model_;
    std::vector<MserSeries> series_;
};

struct WarmupOutcome {
    int result = kOk;
    SimTime warmup = 0;   // the model time the statistics started at; 0: none
    bool reached = true;  // false: the run ended before the warm-up did
};

// Runs the experiment through `experiment` with the warm-up. An automatic
// one runs it twice from the same random state: once to watch the series,
// once with the cut they give; both runs are the same to the last event.
WarmupOutcome WarmedExperiment(CQueuingSystem& m, const WarmupSpec& spec,
                               const std::function<int(CQueuingSystem&)>& experiment);

// A warm-up as the command line gives it: a non-negative real or "auto".
// Empty error: usable.
std::string ParseWarmup(const std::string& text, WarmupSpec& spec);
// What the runner says when a run ended before its warm-up did.
std::string WarmupPastEndText();

}  // namespace marvolt
