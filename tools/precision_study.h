// Which indicators a study of replications watches for its precision, and
// when they are known well enough.
#pragma once

#include <string>
#include <vector>

#include "kernel/indicator_ids.h"
#include "results/application_data.h"
#include "tools/replications.h"

namespace marvolt {

struct PrecisionTarget {
    IndicatorKey key;
    size_t value = 0;  // its place among a replication's values
};

// ID[:OBJECT[:TYPE]]: the indicator's id, the node's name (none: the system)
// and the request type's name (none: all types). Each text is resolved
// against the layout; empty texts give the default targets, the mean waiting
// time of every queue and the mean number in the system. False, with a
// message, when a text names nothing the results have.
bool ResolveTargets(const std::vector<std::string>& texts, const ReportLayout& layout,
                    std::vector<PrecisionTarget>& targets, std::string& error);

// True when every target's half-width is at most `precision` times its mean.
bool PrecisionReached(const std::vector<PrecisionTarget>& targets,
                      const std::vector<Summary>& summaries, double precision);

}  // namespace marvolt
