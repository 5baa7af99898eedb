// What every result document says of itself, so that it can be read and its
// run repeated exactly: the format, the program, the model file, the stop
// criterion and the warm-up.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"
#include "tools/warmup.h"

namespace marvolt {

// Raised whenever a document changes so that an older reader could misread it.
constexpr int kResultSchemaVersion = 2;
// The project's version, as CMake knows it.
std::string ProgramVersion();

// The stop criterion, the bound on the requests held and the warm-up rule of
// runs of this model, with the format, the program and the model file's digest.
nlohmann::ordered_json AboutTree(const CQueuingSystem& m, const std::string& modelSha256,
                                 const WarmupSpec& warmup);
// The warm-up rule alone: null without one, the time, or "auto".
nlohmann::ordered_json WarmupTree(const WarmupSpec& warmup);

}  // namespace marvolt
