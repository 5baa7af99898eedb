// The model a new session and the new command start from.
#pragma once

#include <memory>

#include "kernel/queuing_system.h"
#include "kernel/refusal_sink.h"

namespace marvolt {

inline constexpr const char* kFreshModelDescription = "Новая модель";

// One request type, one generator generating it with probability 1 at
// (15, 15), and the refusal sink at (15, 83), just below the generator.
std::unique_ptr<CQueuingSystem> BuildFreshModel();

}  // namespace marvolt
