#include "tools/batch_run.h"

#include <filesystem>
#include <ostream>

#include "persistence/model_file.h"
#include "results/application_data.h"
#include "tools/progress_bar.h"
#include "tools/run_results.h"

namespace marvolt {

int RunBatch(const RunOptions& options, std::ostream& out, std::ostream& err,
             const ProgressDisplay& progress) {
    const std::string fullName = std::filesystem::absolute(options.model).string();
    OpenedModels opened = OpenModelFile(options.model);
    if (opened.result == OpenResult::kCannotOpenForReading) {
        err << "Невозможно открыть файл \"" << fullName << "\" для чтения.\n";
        return kRunUnreadableModel;
    }
    if (opened.result != OpenResult::kOk || !opened.current) {
        err << "Ошибка при чтении файла \"" << fullName << "\".\n";
        return kRunUnreadableModel;
    }
    CQueuingSystem& model = *opened.current;
    if (options.time) {
        model.stopByTime = 1;
        model.timeLimit = *options.time;
    } else if (options.arrivals) {
        model.stopByTime = 0;
        model.arrivalsLimit = *options.arrivals;
    }

    const bool factor = model.factorRun != 0;
    if (!factor)
        model.resultsValid = 0;
    int result = kOk;
    if (progress.to) {
        ProgressBar bar(*progress.to);
        model.progressPeriod = progress.period;
        result = model.Experiment([&bar](const RunProgress& p) { return bar.Show(p); });
        bar.Clear();
    } else {
        result = model.Experiment();
    }
    if (result != kOk) {
        err << "Фактор установлен некорректно.\nЭксперимент не может быть проведен.\n";
        return kRunInvalidFactor;
    }
    if (model.stopReason == StopReason::kProgressGuard) {
        err << "Прогон остановлен: модель перестала продвигаться к условию окончания.\n";
    }

    if (options.json) {
        // Written as it is produced: a model of the largest size gives tens of
        // megabytes that are never held at once.
        JsonStream j(out);
        j.BeginObject();
        WriteRunFields(j, model);
        if (factor)
            WriteFactorFields(j, model);
        j.EndObject();
        out << '\n';
    } else if (factor) {
        WriteFactorTable(out, model);
    } else {
        out << CAppData::ReportText(&model);
    }

    out.flush();
    if (!out) {
        err << "Не удалось вывести результаты.\n";
        return kRunOutputFailed;
    }

    if (!options.save.empty()) {
        // After a single run the model is its own results; a factor experiment
        // keeps the results model the file brought.
        const CQueuingSystem* results = factor ? opened.results.get() : &model;
        const SaveResult saved = SaveModelFile(options.save, model, results);
        if (saved != SaveResult::kOk) {
            err << "Невозможно открыть файл \"" << std::filesystem::absolute(options.save).string()
                << "\" для записи.\n";
            return kRunSaveFailed;
        }
    }
    return kRunOk;
}

}  // namespace marvolt
