// What the user is told when a model file cannot be saved or opened.
#pragma once

#include <string>

#include "editor/logic/model_commands.h"
#include "persistence/model_file.h"

namespace marvolt {

// The error box for a failed save of the file at path (as shown to the user);
// no refusal for a save that succeeded.
Refusal SaveFailure(SaveResult result, const std::string& path);
// The same for opening. A results model that cannot be read is no failure:
// the file then opens without one.
Refusal OpenFailure(const OpenedModels& opened, const std::string& path);

}  // namespace marvolt
