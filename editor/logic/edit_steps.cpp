#include "editor/logic/edit_steps.h"

namespace marvolt::step {

namespace {

std::string Named(const std::string& name) {
    return "«" + name + "»";
}

std::string Hint(const char* command, const std::string& step) {
    return step.empty() ? std::string(command) : std::string(command) + ": " + step;
}

}  // namespace

std::string Added(const std::string& name) {
    return "добавление " + Named(name);
}

std::string Deleted(const std::string& name) {
    return "удаление " + Named(name);
}

std::string Properties(const std::string& name) {
    return "изменение свойств " + Named(name);
}

std::string Moved(const std::string& name) {
    return "перемещение " + Named(name);
}

std::string Linked(const std::string& source, const std::string& receiver) {
    return "связь " + Named(source) + " → " + Named(receiver);
}

std::string Unlinked(const std::string& source, const std::string& receiver) {
    return "удаление связи " + Named(source) + " → " + Named(receiver);
}

std::string RefusalSink(const std::string& name) {
    return "выбор стока отказов " + Named(name);
}

std::string Description() {
    return "изменение описания модели";
}

std::string ExperimentSettings() {
    return "изменение настроек эксперимента";
}

std::string Other() {
    return "изменение модели";
}

std::string UndoHint(const std::string& step) {
    return Hint("Отменить", step);
}

std::string RedoHint(const std::string& step) {
    return Hint("Повторить", step);
}

}  // namespace marvolt::step
