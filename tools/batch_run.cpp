#include "tools/batch_run.h"

#include <filesystem>
#include <nlohmann/json.hpp>
#include <ostream>

#include "persistence/model_file.h"
#include "results/application_data.h"
#include "results/logic/factor_plan.h"
#include "tools/check_run.h"
#include "tools/progress_bar.h"

namespace marvolt {

namespace {

std::string ObjectName(const CQueuingSystem& m, uint8_t object) {
    return object < m.nodeCount() ? m.Node(object)->name : "СМО";
}
std::string TypeName(const CQueuingSystem& m, uint8_t type) {
    return type < m.typeCount() ? m.RequestType(type)->name : "Все типы заявок";
}
std::string Name(uint8_t id) {
    std::string name = CAppData::IndicatorName(id);
    if (name.empty() && id == indMeanWaitNonZero) {
        name = "Среднее время нахождения в накопителе заявок, время ожидания которых не равно 0.";
    }
    return name;
}

nlohmann::ordered_json FiniteOrNull(double v) {
    return std::isfinite(v) ? nlohmann::ordered_json(v) : nlohmann::ordered_json();
}

nlohmann::ordered_json ResultsJson(const CQueuingSystem& m) {
    nlohmann::ordered_json doc;
    doc["modelTime"] = m.modelTime;
    doc["arrived"] = m.arrived;
    doc["stoppedByGuard"] = m.stopReason == StopReason::kProgressGuard;
    nlohmann::ordered_json indicators = nlohmann::ordered_json::array();
    nlohmann::ordered_json distributions = nlohmann::ordered_json::array();
    std::vector<uint8_t> objects;
    for (uint8_t i = 0; i < m.nodeCount(); ++i)
        objects.push_back(i);
    objects.push_back(kNoIndex);
    for (uint8_t object : objects) {
        for (uint8_t id = 0; id < kIndicatorCount; ++id) {
            // The minimal idle time is always 0: no figure to show.
            if (!m.IndicatorApplies(id, object) || id == indMinIdle)
                continue;
            std::vector<uint8_t> types{kNoIndex};
            if (IndicatorIsPerType(id)) {
                for (uint8_t t = 0; t < m.typeCount(); ++t)
                    types.push_back(t);
            }
            for (uint8_t type : types) {
                if (IndicatorHas(id, IndicatorValue::kDistribution)) {
                    const CDistribution* d = m.DistributionIndicator(id, object, type);
                    if (!d || !d->HasBins())
                        continue;
                    nlohmann::ordered_json bins = nlohmann::ordered_json::array();
                    for (int b = 0; b < d->binCount; ++b) {
                        float value = 0, center = 0;
                        d->BinAtCenter(b, value, center);
                        bins.push_back(value);
                    }
                    distributions.push_back({{"id", id},
                                             {"object", ObjectName(m, object)},
                                             {"type", TypeName(m, type)},
                                             {"lower", d->Lower()},
                                             {"upper", d->Upper()},
                                             {"bins", bins},
                                             {"mean", FiniteOrNull(d->Mean())},
                                             {"variance", FiniteOrNull(d->Variance())}});
                    continue;
                }
                nlohmann::ordered_json value =
                    IndicatorHas(id, IndicatorValue::kCount)
                        ? nlohmann::ordered_json(m.CountIndicator(id, object, type))
                        : FiniteOrNull(CAppData::ShownValue(m, id, object, type));
                indicators.push_back({{"id", id},
                                      {"name", Name(id)},
                                      {"object", ObjectName(m, object)},
                                      {"type", TypeName(m, type)},
                                      {"value", value}});
            }
        }
    }
    doc["indicators"] = indicators;
    doc["distributions"] = distributions;
    return doc;
}

void FactorJson(const CQueuingSystem& m, nlohmann::ordered_json& doc) {
    const FactorSettings& f = m.usedFactor;
    nlohmann::ordered_json values = nlohmann::ordered_json::array();
    for (int k = 0; k < f.valueCount; ++k)
        values.push_back(FactorValue(f, k));
    doc["factor"] = {{"caption", CAppData::FactorCaption(m, f)},
                     {"object", ObjectName(m, f.factorObject)},
                     {"parameter", f.factorParameter},
                     {"values", values}};
    nlohmann::ordered_json deps = nlohmann::ordered_json::array();
    for (uint32_t i = 0; i < m.dependencies.itemCount(); ++i) {
        const CDependInfo& d = *m.dependencies.Item(i);
        nlohmann::ordered_json dv = nlohmann::ordered_json::array();
        for (float v : d.values)
            dv.push_back(FiniteOrNull(v));
        deps.push_back({{"caption", CAppData::DependencyCaption(m, d)},
                        {"object", ObjectName(m, d.dependencyObject)},
                        {"type", TypeName(m, d.dependencyType)},
                        {"id", d.dependencyIndicator},
                        {"values", dv}});
    }
    doc["dependencies"] = deps;
}

void FactorTable(const CQueuingSystem& m, std::ostream& out) {
    const FactorSettings& f = m.usedFactor;
    out << CAppData::FactorCaption(m, f);
    for (int k = 0; k < f.valueCount; ++k)
        out << '\t' << CAppData::FormatValue(FactorValue(f, k));
    out << '\n';
    for (uint32_t i = 0; i < m.dependencies.itemCount(); ++i) {
        const CDependInfo& d = *m.dependencies.Item(i);
        out << CAppData::DependencyCaption(m, d);
        for (float v : d.values)
            out << '\t' << CAppData::FormatValue(v);
        out << '\n';
    }
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
    if (options.check)
        return CheckBatch(options, out, err);
    OpenedModels opened;
    if (!OpenBatchModel(options, err, opened))
        return kRunUnreadableModel;
    CQueuingSystem& model = *opened.current;
    ApplyStopOptions(options, model);

    const bool factor = model.factorRun != 0;
    if (!factor)
        model.resultsValid = 0;
    int result = kOk;
    // A planned value the law dialog or the node would refuse never reaches a run.
    if (factor && !FactorValuesValid(model, model.plannedFactor)) {
        result = kFactorWrongParameter;
    } else if (progress.to) {
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
    if (const std::string stopped = CAppData::StopReasonText(model.stopReason); !stopped.empty()) {
        err << stopped << '\n';
    }

    if (options.json) {
        nlohmann::ordered_json doc = ResultsJson(model);
        if (factor)
            FactorJson(model, doc);
        out << doc.dump(2) << '\n';
    } else if (factor) {
        FactorTable(model, out);
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
