// The ready models shipped in examples/, built through the container's operations.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt {

struct ExampleModel {
    std::string fileName;  // within examples/
    std::unique_ptr<CQueuingSystem> model;
};

std::vector<ExampleModel> BuildExampleModels();

// A model of the largest size, every request type everywhere: for measuring
// what grows with the number of nodes and types. Not shipped.
std::unique_ptr<CQueuingSystem> BuildWideModel(uint8_t types = RequestTypeLimit);

// M/M/1 with the given means, without histograms: for studies of its output.
std::unique_ptr<CQueuingSystem> BuildSingleServerModel(float meanInterval, float meanService);

}  // namespace marvolt
