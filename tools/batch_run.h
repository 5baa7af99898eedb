// Running a saved model without the desktop.
#pragma once

#include <iosfwd>

#include "tools/progress_bar.h"
#include "tools/run_options.h"

namespace marvolt {

enum RunStatus : int {
    kRunOk = 0,
    kRunBadArguments = 2,
    kRunUnreadableModel = 3,
    kRunInvalidFactor = 4,
    kRunSaveFailed = 5,
    kRunOutputFailed = 6,
    kRunMergeRefused = 7,  // documents to merge that are unreadable or do not belong together
    kRunWorkerFailed = 8,  // a process of the replications failed
};

// Opens, runs and reports; never asks anything. Returns the exit status.
int RunBatch(const RunOptions& options, std::ostream& out, std::ostream& err,
             const ProgressDisplay& progress = {});

}  // namespace marvolt
