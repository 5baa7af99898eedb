#include "results/logic/report_file.h"

#include "persistence/text_codec.h"
#include "results/application_data.h"

namespace marvolt {

std::string ReportFileBytes(const std::string& report) {
    std::string text;
    text.reserve(report.size() + report.size() / 16);
    for (char c : report) {
        if (c == '\n')
            text += '\r';
        text += c;
    }
    TextCodec codec;
    return codec.EncodeReplacing(text);
}

SafeSaveResult SaveReportFile(const std::string& path, const CQueuingSystem& results) {
    return SaveBytesWithResult(path, ReportFileBytes(CAppData::ReportText(&results)));
}

std::string ReportSaveMessage(SafeSaveResult result, const std::string& path) {
    switch (result) {
        case SafeSaveResult::kOk:
            return {};
        case SafeSaveResult::kCannotCreate:
            return "Невозможно открыть файл \"" + path + "\" для записи.";
        case SafeSaveResult::kWriteFailed:
            return "Ошибка при записи файла \"" + path + "\".";
    }
    return {};
}

}  // namespace marvolt
