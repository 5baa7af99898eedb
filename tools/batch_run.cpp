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
#include "tools/csv_output.h"
#include "tools/merge_results.h"
#include "tools/progress_bar.h"
#include "tools/replication_study.h"
#include "tools/replications.h"
#include "tools/result_about.h"
#include "tools/run_results.h"
#include "tools/sha256.h"
#include "tools/study_document.h"
#include "tools/study_run.h"

namespace marvolt {

namespace {

// The stop criterion of the options, and results that belong to this run only.
void PrepareRun(const RunOptions& options, CQueuingSystem& model) {
    ApplyStopOptions(options, model);
    if (!model.factorRun)
        model.resultsValid = 0;
}

// Replications first .. first + count - 1, each on the model as the file
// holds it; the file's bytes are read once, so every process runs the same.
int RunStudy(const RunOptions& options, std::ostream& out, std::ostream& err,
             const ProgressDisplay& progress) {
    std::vector<uint8_t> bytes;
    const bool read = ReadWholeFile(options.model, bytes);
    OpenedModels check = ReadModelBytes(bytes.data(), bytes.size());
    if (!read || check.result != OpenResult::kOk || !check.current) {
        err << "Ошибка при чтении файла \"" << std::filesystem::absolute(options.model).string()
            << "\".\n";
        return kRunUnreadableModel;
    }
    const auto prepare = [&options](CQueuingSystem& m) { PrepareRun(options, m); };
    const StudyPlan plan{options.seed.value_or(0), *options.replications, options.jobs.value_or(1),
                         options.warmup};
    CQueuingSystem& model = *check.current;
    prepare(model);
    if (const std::string misfit = WarmupMisfit(options, model); !misfit.empty()) {
        err << misfit << '\n';
        return kRunBadArguments;
    }
    StudyHeader header = StudyHeaderOf(model, plan.count);
    header.about = AboutTree(model, Sha256Hex(bytes.data(), bytes.size()), options.warmup);
    // A factor that cannot be stepped fails every replication alike: say so
    // before anything is printed.
    if (model.factorRun && (model.ValidateFactor() != kOk || model.PrepareFactor() != kOk ||
                            !FactorValuesValid(model, model.plannedFactor))) {
        ReportInvalidFactor(err);
        return kRunInvalidFactor;
    }
    if (options.precision)
        return RunPrecisionStudy(options, bytes, prepare, plan, header, model, out, err, progress);

    CsvStudy csv;
    std::string error;
    if (!options.csv.empty() && !csv.Open(options.csv, header, error)) {
        err << error << '\n';
        return kRunCsvFailed;
    }
    StudyWriter writer(header, uint64_t{plan.first} + plan.count, options.json ? &out : nullptr,
                       err);
    if (!options.csv.empty())
        writer.AttachCsv(&csv);
    int failed = kRunOk;
    const bool ran = RunReplications(
        bytes, prepare, plan, progress,
        [&](const ReplicationOutcome& o) { TakeOutcome(o, writer, failed, err); }, error);
    if (!ran) {
        err << error << '\n';
        return kRunWorkerFailed;
    }
    if (failed != kRunOk)
        return failed;
    return FinishStudy(writer, options.json, out, err);
}

// The CSV of a single run: one replication.
int WriteSingleCsv(const RunOptions& options, const CQueuingSystem& model, std::ostream& err) {
    const StudyHeader header = StudyHeaderOf(model, 1);
    ReplicationOutcome o;
    o.number = options.seed.value_or(0);
    o.warmup = model.statisticsStart;
    o.values = ReplicationValues(model);
    std::vector<Summary> summaries(o.values.size());
    for (size_t k = 0; k < o.values.size(); ++k)
        summaries[k].Add(o.values[k]);
    CsvStudy csv;
    std::string error;
    if (!csv.Open(options.csv, header, error) || (csv.Row(o, 1), !csv.Finish(summaries, error))) {
        err << error << '\n';
        return kRunCsvFailed;
    }
    return kRunOk;
}

}  // namespace

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

void TakeOutcome(const ReplicationOutcome& o, StudyWriter& writer, int& failed, std::ostream& err) {
    if (failed != kRunOk)
        return;
    if (o.result != kOk || !writer.Add(o)) {
        ReportInvalidFactor(err);
        failed = kRunInvalidFactor;
    } else if (!o.warmupReached) {
        err << "Прогон " << o.number << ". " << WarmupPastEndText() << '\n';
        failed = kRunWarmupPastEnd;
    }
}

int FinishStudy(StudyWriter& writer, bool json, std::ostream& out, std::ostream& err,
                const std::function<void(JsonStream&)>& extra,
                const std::function<void(std::ostream&)>& preface) {
    std::string error;
    if (!writer.Finish(json ? extra : nullptr, &error)) {
        err << error << '\n';
        return kRunCsvFailed;
    }
    if (!json) {
        if (preface)
            preface(out);
        writer.WriteReport(out);
    }
    return Written(out, err);
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    bytes.assign(in ? static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)) : 0, 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(in);
}

std::string WarmupMisfit(const RunOptions& options, const CQueuingSystem& model) {
    if (options.warmup.automatic && model.factorRun) {
        return "Параметр --warmup auto выбирает разгон по одному прогону, а факторный "
               "эксперимент делает прогон на каждое значение фактора: укажите --warmup T.";
    }
    if (model.stopByTime && options.warmup.time > 0 && options.warmup.time >= model.timeLimit) {
        return "Разгон --warmup должен закончиться раньше, чем прогон: модельное время "
               "прогона " +
               CAppData::FormatValue(model.timeLimit) + ".";
    }
    if (options.precision && model.factorRun)
        return "Параметр --precision применяется к прогонам модели без фактора.";
    return {};
}

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
        return MergeStudies(options.mergeFiles, options.json, options.csv, out, err);
    if (options.check)
        return CheckBatch(options, out, err);
    OpenedModels opened;
    if (!OpenBatchModel(options, err, opened))
        return kRunUnreadableModel;
    if (options.replications)
        return RunStudy(options, out, err, progress);
    CQueuingSystem& model = *opened.current;
    PrepareRun(options, model);
    if (const std::string misfit = WarmupMisfit(options, model); !misfit.empty()) {
        err << misfit << '\n';
        return kRunBadArguments;
    }

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
    bool warmupReached = true;
    // A planned value the law dialog or the node would refuse never reaches a run.
    if (factor && !FactorValuesValid(model, model.plannedFactor)) {
        result = kFactorWrongParameter;
    } else {
        if (options.seed)
            SetRandomState(ReplicationStartState(*options.seed));
        const WarmupOutcome w = WarmedExperiment(model, options.warmup, [&](CQueuingSystem& m) {
            return options.seed ? CountedExperiment(m, shown, draws) : m.Experiment(shown);
        });
        result = w.result;
        warmupReached = w.reached;
    }
    if (bar)
        bar->Clear();
    if (result != kOk) {
        ReportInvalidFactor(err);
        return kRunInvalidFactor;
    }
    // A run the bound stopped says so before it says it ended before its warm-up.
    if (const std::string stopped = CAppData::StopNotice(model); !stopped.empty())
        err << stopped << '\n';
    if (!warmupReached) {
        err << WarmupPastEndText() << " Модельное время прогона "
            << CAppData::FormatValue(static_cast<float>(model.modelTime)) << ".\n";
        return kRunWarmupPastEnd;
    }
    if (options.seed)
        WarnIfBeyondStretch(err, *options.seed, draws, uint64_t{*options.seed} + 1);

    if (options.json) {
        // Written as it is produced: a model of the largest size gives tens of
        // megabytes that are never held at once.
        std::vector<uint8_t> bytes;
        ReadWholeFile(options.model, bytes);
        nlohmann::ordered_json about =
            AboutTree(model, Sha256Hex(bytes.data(), bytes.size()), options.warmup);
        const uint32_t number = options.seed.value_or(0);
        about["replication"] = number;
        about["randomStart"] = ReplicationStartPosition(number);
        JsonStream j(out);
        j.BeginObject();
        j.Key("about");
        j.Tree(about);
        if (options.warmup.Any())
            j.Field("statisticsStart", model.statisticsStart);
        WriteRunFields(j, model);
        if (factor)
            WriteFactorFields(j, model);
        j.EndObject();
        out << '\n';
    } else if (factor) {
        WriteFactorTable(out, model);
    } else {
        if (options.warmup.Any()) {
            out << "Статистика собрана после разгона, с момента "
                << CsvNumber(model.statisticsStart)
                << (options.warmup.automatic ? " (выбран по MSER-5)" : "") << ".\n\n";
        }
        out << CAppData::ReportText(&model);
    }
    if (const int written = Written(out, err); written != kRunOk)
        return written;
    if (!options.csv.empty()) {
        if (const int csv = WriteSingleCsv(options, model, err); csv != kRunOk)
            return csv;
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
