#include "editor/logic/file_messages.h"

namespace marvolt {

namespace {

Refusal Error(std::string text) {
    return {RefusalBox::kError, std::move(text)};
}

}  // namespace

Refusal SaveFailure(SaveResult result, const std::string& path) {
    switch (result) {
        case SaveResult::kOk:
            break;
        case SaveResult::kCannotOpenForWriting:
            return Error("Невозможно открыть файл " + Quoted(path) + " для записи.");
        case SaveResult::kCannotStoreText:
            return Error("Невозможно сохранить модель в файл " + Quoted(path) +
                         ".\nОписание модели или имя одного из ее объектов содержит символы, "
                         "которые нельзя записать в файл.");
        case SaveResult::kWriteFailed:
            return Error("Ошибка при записи файла " + Quoted(path) + ".");
    }
    return {};
}

Refusal OpenFailure(const OpenedModels& opened, const std::string& path) {
    if (opened.result == OpenResult::kCannotOpenForReading)
        return Error("Невозможно открыть файл " + Quoted(path) + " для чтения.");
    if (opened.result != OpenResult::kOk || !opened.current)
        return Error("Ошибка при чтении файла " + Quoted(path) + ".");
    return {};
}

}  // namespace marvolt
