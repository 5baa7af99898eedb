// Running independent replications of a model, in this process or spread over
// worker processes, each from the start of its own stretch of the random cycle.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"
#include "tools/batch_run.h"
#include "tools/study_document.h"
#include "tools/warmup.h"

namespace marvolt {

// The model's experiment, counting the random values it draws. The count is
// read off the states the source passes through, so the event loop itself
// counts nothing.
int CountedExperiment(CQueuingSystem& m, const ProgressCallback& progress, uint64_t& draws);

struct StudyPlan {
    uint32_t first = 0;  // number of the first replication
    uint32_t count = 1;
    uint32_t jobs = 1;  // processes
    WarmupSpec warmup;
};

// Every replication runs on a model read afresh from the bytes and set up by
// `prepare`, so no replication depends on another or on the process that
// made it. Outcomes reach `take` in number order. False, with a message, when
// a worker process could not be started or failed.
bool RunReplications(const std::vector<uint8_t>& modelBytes,
                     const std::function<void(CQueuingSystem&)>& prepare, const StudyPlan& plan,
                     const ProgressDisplay& progress,
                     const std::function<void(const ReplicationOutcome&)>& take,
                     std::string& error);

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
// A temporary file of records, gone when closed.
using RecordFile = std::unique_ptr<std::FILE, FileCloser>;

// The records worker processes hand back; false when a record is damaged.
bool WriteOutcome(std::FILE* f, const ReplicationOutcome& o);
bool ReadOutcome(std::FILE* f, ReplicationOutcome& o);

}  // namespace marvolt
