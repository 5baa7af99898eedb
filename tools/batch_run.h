// Running a saved model without the desktop.
#pragma once

#include <chrono>
#include <iosfwd>
#include <string>

#include "kernel/queuing_system.h"
#include "tools/run_options.h"

namespace marvolt {

enum RunStatus : int {
    kRunOk = 0,
    kRunBadArguments = 2,
    kRunUnreadableModel = 3,
    kRunInvalidFactor = 4,
    kRunSaveFailed = 5,
    kRunOutputFailed = 6,
};

// Where the progress bar goes (nowhere: no bar) and how often it may change.
struct ProgressDisplay {
    std::ostream* to = nullptr;
    std::chrono::nanoseconds period = std::chrono::milliseconds(100);
};

// What the runner adds to the warning of a run or factor experiment that the
// bound on the requests held stopped: the bound, and the run it stopped.
std::string LimitDetails(const CQueuingSystem& m);

// Opens, runs and reports; never asks anything. Returns the exit status.
int RunBatch(const RunOptions& options, std::ostream& out, std::ostream& err,
             const ProgressDisplay& progress = {});

}  // namespace marvolt
