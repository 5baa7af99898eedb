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

}  // namespace marvolt
