// Copies and comparisons of a model's configuration, for the edit history.
// The configuration is everything the model file keeps of a model except what
// runs produce: the indicators of nodes and request types, the contents of
// sample distributions, the figures of the last run (its time, arrivals,
// requests in the system) and what the last factor experiment left (the
// factor it used, the value it changed and the dependency values).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt {

// A model with the configuration of the given one and no valid results.
std::unique_ptr<CQueuingSystem> ConfigurationCopy(const CQueuingSystem& model);

// The model to continue with when the history goes back or forth to state:
// state's configuration, with what runs produced taken over from the model it
// replaces, because results are never part of the history. Dependency values
// stay with the dependencies that are still there (known by node and type
// names); the others have none.
std::unique_ptr<CQueuingSystem> RestoredModel(const CQueuingSystem& state,
                                              const CQueuingSystem& replaced);

// The parts whose configuration differs, named for a reader ("node 2
// (Канал1)", "request type 0 (Тип_заявки1)", "node count", "model"); empty
// when the two configurations are the same in every stored field.
std::vector<std::string> ConfigurationDifferences(const CQueuingSystem& a,
                                                  const CQueuingSystem& b);
bool SameConfiguration(const CQueuingSystem& a, const CQueuingSystem& b);
// The figures of the last run and what the last factor experiment left are
// the same in both.
bool SameOutcomes(const CQueuingSystem& a, const CQueuingSystem& b);

}  // namespace marvolt
