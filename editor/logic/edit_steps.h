// The names of the steps of the edit history, as the undo and redo commands
// show them in their hints ("Отменить: удаление «Канал2»").
#pragma once

#include <string>

namespace marvolt::step {

std::string Added(const std::string& name);
std::string Deleted(const std::string& name);
std::string Properties(const std::string& name);
std::string Moved(const std::string& name);
std::string Linked(const std::string& source, const std::string& receiver);
std::string Unlinked(const std::string& source, const std::string& receiver);
std::string RefusalSink(const std::string& name);
std::string Description();
std::string ExperimentSettings();
// A change that came without a name of its own.
std::string Other();

// The hints of the two commands; without a step, the command alone.
std::string UndoHint(const std::string& step);
std::string RedoHint(const std::string& step);

}  // namespace marvolt::step
