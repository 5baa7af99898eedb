// The model check: what would make a run meaningless or surprising, found
// before the run. Plain C++ over the model container, shared by the main
// window and the batch runner; the model is only read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt {

enum class FindingKind : uint8_t {
    kNoRefusalSink,          // refused requests would leave uncounted
    kNoGeneratedType,        // a generator that generates no request type
    kEmptyBatch,             // a generator whose events never create a request
    kZeroInterval,           // no generator interval ever moves the time on, yet time stops the run
    kTypeProbabilities,      // a generator's type probabilities do not sum to 1
    kRoutingProbabilities,   // random routing whose probabilities do not sum to 1
    kSourceProbabilities,    // a channel's random source choice likewise
    kUnreachable,            // no request of any generator can get to the node
    kNoAcceptedType,         // a queue or channel refuses every type that reaches it
    kNoReceivers,            // a generator, queue or channel that sends nowhere
    kOverload,               // a channel's offered load per device is at least 1
};

struct Finding {
    FindingKind kind;
    uint8_t node = kNoIndex;  // the node it concerns; 255 for the model as a whole
    std::string text;         // one line, UTF-8
};

// The findings in node order, those of the model as a whole first; empty for
// a model with nothing to remark.
std::vector<Finding> CheckModel(const CQueuingSystem& model);

// The line above the list of findings.
std::string CheckSummary(size_t findings);

// A stable name of the kind for machine-readable output.
const char* FindingKey(FindingKind kind);

}  // namespace marvolt
