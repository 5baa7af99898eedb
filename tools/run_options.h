// Command line of the batch runner, parsed apart from running so it can be tested.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace marvolt {

struct RunOptions {
    std::string model;
    std::optional<float> time;
    std::optional<uint32_t> arrivals;
    bool json = false;
    bool check = false;  // only the model check, no run
    std::string save;
    bool help = false;
};

// Empty error: the options are usable. Otherwise a message for the user.
struct ParsedOptions {
    RunOptions options;
    std::string error;
};

ParsedOptions ParseRunOptions(const std::vector<std::string>& args);
std::string RunUsage();

}  // namespace marvolt
