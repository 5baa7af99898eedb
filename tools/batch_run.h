// Running a saved model without the desktop.
#pragma once

#include <iosfwd>

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

// Opens, runs and reports; never asks anything. Returns the exit status.
int RunBatch(const RunOptions& options, std::ostream& out, std::ostream& err);

}  // namespace marvolt
