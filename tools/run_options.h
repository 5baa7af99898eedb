// Command line of the batch runner, parsed apart from running so it can be tested.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/warmup.h"

namespace marvolt {

struct RunOptions {
    std::string model;
    std::optional<float> time;
    std::optional<uint32_t> arrivals;
    std::optional<uint32_t> maxInSystem;
    bool json = false;
    bool check = false;  // only the model check, no run
    std::string save;
    bool help = false;
    // The first replication (its stretch of the random cycle) and how many
    // independent replications to make; none: one run as always.
    std::optional<uint32_t> seed;
    std::optional<uint32_t> replications;
    std::optional<uint32_t> jobs;  // processes the replications are spread over
    // --merge: the documents of separate runs to combine, instead of a model.
    bool merge = false;
    std::vector<std::string> mergeFiles;
    WarmupSpec warmup;
    // Replications until every target's half-width is at most this share of
    // its mean: from `replications` up to `replicationsMost`.
    std::optional<double> precision;
    std::optional<uint32_t> replicationsMost;
    std::vector<std::string> targets;  // ID[:OBJECT[:TYPE]] as given
    std::string csv;                   // where the rows go; empty: no CSV
};

// Worker processes beyond this gain nothing on any machine we know of.
constexpr uint32_t kJobLimit = 256;

// Empty error: the options are usable. Otherwise a message for the user.
struct ParsedOptions {
    RunOptions options;
    std::string error;
};

ParsedOptions ParseRunOptions(const std::vector<std::string>& args);
std::string RunUsage();

}  // namespace marvolt
