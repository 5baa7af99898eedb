#include "tools/batch_run.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>

#include "persistence/model_file.h"
#include "results/application_data.h"
#include "results/logic/factor_plan.h"
#include "tools/check_run.h"
#include "tools/merge_results.h"
#include "tools/progress_bar.h"
#include "tools/replication_study.h"
#include "tools/replications.h"
#include "tools/run_results.h"
#include "tools/study_document.h"

namespace marvolt {

namespace {

// The stop criterion of the options, and results that belong to this run only.
void PrepareRun(const RunOptions& options, CQueuingSystem& model) {
    ApplyStopOptions(options, model);
    if (!model.factorRun)
        model.resultsValid = 0;
}

void ReportInvalidFactor(std::ostream& err) {
    err << "Фактор установлен некорректно.\nЭксперимент не может быть проведен.\n";
}

int Written(std::ostream& out, std::ostream& err) {
    out.flush();
    if (!out) {
        err << "Не удалось вывести результаты.\n";
        return kRunOutputFailed;
    }
    return kRunOk;
}

// Replications first .. first + count - 1, each on the model as the file
// holds it; the file's bytes are read once, so every process runs the same.
int RunStudy(const RunOptions& options, std::ostream& out, std::ostream& err,
             const ProgressDisplay& progress) {
    std::ifstream in(options.model, std::ios::binary | std::ios::ate);
    std::vector<uint8_t> bytes(in ? static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0))
                                  : 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    OpenedModels check = ReadModelBytes(bytes.data(), bytes.size());
    if (!in || check.result != OpenResult::kOk || !check.current) {
        err << "Ошибка при чтении файла \"" << std::filesystem::absolute(options.model).string()
            << "\".\n";
        return kRunUnreadableModel;
    }
    const auto prepare = [&options](CQueuingSystem& m) { PrepareRun(options, m); };
    const StudyPlan plan{options.seed.value_or(0), *options.replications, options.jobs.value_or(1)};
    CQueuingSystem& model = *check.current;
    prepare(model);
    const StudyHeader header = StudyHeaderOf(model, plan.count);
    // A factor that cannot be stepped fails every replication alike: say so
    // before anything is printed.
    if (model.factorRun && (model.ValidateFactor() != kOk || model.PrepareFactor() != kOk ||
                            !FactorValuesValid(model, model.plannedFactor))) {
        ReportInvalidFactor(err);
        return kRunInvalidFactor;
    }
    StudyWriter writer(header, uint64_t{plan.first} + plan.count, options.json ? &out : nullptr,
                       err);
    int failed = kOk;
    std::string error;
    const bool ran = RunReplications(
        bytes, prepare, plan, progress,
        [&](const ReplicationOutcome& o) {
            if (failed == kOk && (o.result != kOk || !writer.Add(o)))
                failed = o.result != kOk ? o.result : kNoSuchNode;
        },
        error);
    if (!ran) {
        err << error << '\n';
        return kRunWorkerFailed;
    }
    if (failed != kOk) {
        ReportInvalidFactor(err);
        return kRunInvalidFactor;
    }
    if (options.json) {
        writer.Finish();
    } else {
        writer.WriteReport(out);
    }
    return Written(out, err);
}

}  // namespace

bool OpenBatchModel(const RunOptions& options, std::ostream& err, OpenedModels& opened) {
    const std::string fullName = std::filesystem::absolute(options.model).string();
    opened = OpenModelFile(options.model);
    if (opened.result == OpenResult::kCannotOpenForReading) {
        err << "Невозможно открыть файл \"" << fullName << "\" для чтения.\n";
        return false;
    }
    if (opened.result != OpenResult::kOk || !opened.current) {
        err << "Ошибка при чтении файла \"" << fullName << "\".\n";
        return false;
    }
    return true;
}

void ApplyStopOptions(const RunOptions& options, CQueuingSystem& model) {
    if (options.maxInSystem)
        model.SetInSystemLimit(*options.maxInSystem);
    if (options.time) {
        model.stopByTime = 1;
        model.timeLimit = *options.time;
    } else if (options.arrivals) {
        model.stopByTime = 0;
        model.arrivalsLimit = *options.arrivals;
    }
}

int RunBatch(const RunOptions& options, std::ostream& out, std::ostream& err,
             const ProgressDisplay& progress) {
    if (options.merge)
        return MergeStudies(options.mergeFiles, options.json, out, err);
    if (options.check)
        return CheckBatch(options, out, err);
    OpenedModels opened;
    if (!OpenBatchModel(options, err, opened))
        return kRunUnreadableModel;
    if (options.replications)
        return RunStudy(options, out, err, progress);
    CQueuingSystem& model = *opened.current;
    PrepareRun(options, model);

    const bool factor = model.factorRun != 0;
    std::optional<ProgressBar> bar;
    ProgressCallback shown;
    if (progress.to) {
        bar.emplace(*progress.to);
        model.progressPeriod = progress.period;
        shown = [&bar](const RunProgress& p) { return bar->Show(p); };
    }
    int result = kOk;
    uint64_t draws = 0;
    // A planned value the law dialog or the node would refuse never reaches a run.
    if (factor && !FactorValuesValid(model, model.plannedFactor)) {
        result = kFactorWrongParameter;
    } else if (options.seed) {
        SetRandomState(ReplicationStartState(*options.seed));
        result = CountedExperiment(model, shown, draws);
    } else {
        result = model.Experiment(shown);
    }
    if (bar)
        bar->Clear();
    if (result != kOk) {
        ReportInvalidFactor(err);
        return kRunInvalidFactor;
    }
    if (const std::string stopped = CAppData::StopNotice(model); !stopped.empty())
        err << stopped << '\n';
    if (options.seed)
        WarnIfBeyondStretch(err, *options.seed, draws, uint64_t{*options.seed} + 1);

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
    if (const int written = Written(out, err); written != kRunOk)
        return written;

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
