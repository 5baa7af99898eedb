// The model a new document starts with, and the refusal sink every model has.
#pragma once

#include <memory>

#include "kernel/queuing_system.h"

namespace marvolt {

class CDispose;

inline constexpr const char* kRefusalSinkName = "Сток отказов";

// Adds the sink named "Сток отказов" at (15, 83), below the first node of a
// new scheme, and makes it the model's refusal sink. Null when the name is taken
// or the model is full.
CDispose* AddRefusalSink(CQueuingSystem& model);

// A new model as the program starts with one: request type Тип_заявки1;
// Генератор1 at (15, 15) generating it with probability 1; the refusal sink;
// the description "Новая модель".
std::unique_ptr<CQueuingSystem> MakeFreshModel();

}  // namespace marvolt
