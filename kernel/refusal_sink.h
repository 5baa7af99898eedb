// The sink where every refused request ends, as every new model has it.
#pragma once

#include "kernel/queuing_system.h"

namespace marvolt {

class CDispose;

inline constexpr const char* kRefusalSinkName = "Сток отказов";

// Adds the sink "Сток отказов" at (15, 83), just below the first node of a new
// scheme, and makes it the model's refusal sink. Null, and nothing changed,
// when that name is taken or the model is full.
CDispose* AddRefusalSink(CQueuingSystem& model);

}  // namespace marvolt
