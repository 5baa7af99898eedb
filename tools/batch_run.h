// Running a saved model without the desktop.
#pragma once

#include <chrono>
#include <iosfwd>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"
#include "persistence/model_file.h"
#include "tools/run_options.h"

namespace marvolt {

enum RunStatus : int {
    kRunOk = 0,
    kRunBadArguments = 2,
    kRunUnreadableModel = 3,
    kRunInvalidFactor = 4,
    kRunSaveFailed = 5,
    kRunOutputFailed = 6,
    kRunFindings = 7,        // --check found something to remark
    kRunMergeRefused = 8,    // documents to merge that are unreadable or do not belong together
    kRunWorkerFailed = 9,    // a process of the replications failed
    kRunWarmupPastEnd = 10,  // a run ended before its warm-up did
    kRunCsvFailed = 11,      // the CSV files could not be written
};

// Where the progress bar goes (nowhere: no bar) and how often it may change.
struct ProgressDisplay {
    std::ostream* to = nullptr;
    std::chrono::nanoseconds period = std::chrono::milliseconds(100);
};

// Opens, runs and reports (or only checks, with --check); never asks
// anything. Returns the exit status.
int RunBatch(const RunOptions& options, std::ostream& out, std::ostream& err,
             const ProgressDisplay& progress = {});

// Opens the model file named by the options; false, after telling err why,
// when it cannot be read.
bool OpenBatchModel(const RunOptions& options, std::ostream& err, OpenedModels& opened);
// The stop criterion and the bound on the requests held that the options ask
// for replace the model's own.
void ApplyStopOptions(const RunOptions& options, CQueuingSystem& model);
// A file's bytes; false when it cannot be read whole.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes);
// Empty when the warm-up the options ask for fits the model's experiment;
// otherwise why not.
std::string WarmupMisfit(const RunOptions& options, const CQueuingSystem& model);

}  // namespace marvolt
