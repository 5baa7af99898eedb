#include "tools/precision_study.h"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "kernel/queuing_system.h"
#include "results/number_text.h"
#include "tools/csv_output.h"
#include "tools/run_results.h"
#include "tools/study_run.h"

namespace marvolt {

namespace {

std::optional<uint8_t> NodeNamed(const ReportLayout& layout, std::string_view name) {
    for (size_t i = 0; i < layout.nodes.size(); ++i) {
        if (layout.nodes[i].name == name)
            return static_cast<uint8_t>(i);
    }
    return std::nullopt;
}

std::optional<uint8_t> TypeNamed(const ReportLayout& layout, std::string_view name) {
    for (size_t i = 0; i < layout.typeNames.size(); ++i) {
        if (layout.typeNames[i] == name)
            return static_cast<uint8_t>(i);
    }
    return std::nullopt;
}

// The place of the key among a replication's values, if it has one.
std::optional<size_t> ValuePlace(const ReportLayout& layout, IndicatorKey key) {
    std::optional<size_t> place;
    size_t k = 0;
    ForEachIndicator(layout, [&](IndicatorKey each) {
        if (IndicatorHas(each.id, IndicatorValue::kDistribution))
            return;
        if (each == key)
            place = k;
        ++k;
    });
    return place;
}

std::string TargetText(const ReportLayout& layout, IndicatorKey key) {
    std::string text = ResultName(key.id);
    while (!text.empty() && (text.back() == '.' || text.back() == '\n'))
        text.pop_back();
    text += " (" + ObjectName(layout, key.object);
    if (key.type != kNoIndex)
        text += ", " + TypeName(layout, key.type);
    return text + ")";
}

}  // namespace

bool ResolveTargets(const std::vector<std::string>& texts, const ReportLayout& layout,
                    std::vector<PrecisionTarget>& targets, std::string& error) {
    targets.clear();
    std::vector<IndicatorKey> keys;
    if (texts.empty()) {
        for (size_t i = 0; i < layout.nodes.size(); ++i) {
            if (layout.nodes[i].kind == kQueue)
                keys.push_back({static_cast<uint8_t>(i), kNoIndex, indMeanWait});
        }
        keys.push_back({kNoIndex, kNoIndex, indMeanInSystem});
    }
    for (const std::string& text : texts) {
        const auto refuse = [&](const std::string& why) {
            error = "--target \"" + text + "\": " + why;
            return false;
        };
        const size_t colon = text.find(':');
        const std::string_view idText = std::string_view(text).substr(0, colon);
        const std::optional<int64_t> id = ParseInteger(idText);
        if (!id || *id < 0 || *id >= kIndicatorCount || idText.front() == '+')
            return refuse("номер показателя должен быть целым числом от 0 до " +
                          std::to_string(kIndicatorCount - 1) + ".");
        IndicatorKey key{kNoIndex, kNoIndex, static_cast<uint8_t>(*id)};
        if (colon != std::string::npos) {
            // A name may hold a colon itself: the whole rest as a node's name comes first.
            const std::string_view rest = std::string_view(text).substr(colon + 1);
            std::string_view object = rest, type;
            if (!NodeNamed(layout, rest)) {
                const size_t last = rest.rfind(':');
                if (last != std::string_view::npos) {
                    object = rest.substr(0, last);
                    type = rest.substr(last + 1);
                }
            }
            if (!object.empty()) {
                const std::optional<uint8_t> node = NodeNamed(layout, object);
                if (!node && object != ObjectName(layout, kNoIndex))
                    return refuse("в модели нет объекта \"" + std::string(object) + "\".");
                key.object = node.value_or(kNoIndex);
            }
            if (!type.empty()) {
                const std::optional<uint8_t> t = TypeNamed(layout, type);
                if (!t)
                    return refuse("в модели нет типа заявки \"" + std::string(type) + "\".");
                key.type = *t;
            }
        }
        if (!ValuePlace(layout, key))
            return refuse("у этого объекта нет такого числового показателя.");
        keys.push_back(key);
    }
    for (const IndicatorKey& key : keys) {
        const std::optional<size_t> place = ValuePlace(layout, key);
        if (place)
            targets.push_back({key, *place});
    }
    return true;
}

bool PrecisionReached(const std::vector<PrecisionTarget>& targets,
                      const std::vector<Summary>& summaries, double precision) {
    for (size_t t = 0; t < targets.size(); ++t) {
        const double halfWidth = summaries[t].HalfWidth();
        if (!std::isfinite(halfWidth) || !(halfWidth <= precision * std::fabs(summaries[t].Mean())))
            return false;
    }
    return true;
}

int RunPrecisionStudy(const RunOptions& options, const std::vector<uint8_t>& bytes,
                      const std::function<void(CQueuingSystem&)>& prepare, const StudyPlan& plan,
                      StudyHeader& header, const CQueuingSystem&, std::ostream& out,
                      std::ostream& err, const ProgressDisplay& progress) {
    std::vector<PrecisionTarget> targets;
    std::string error;
    if (!ResolveTargets(options.targets, header.layout, targets, error)) {
        err << error << '\n';
        return kRunBadArguments;
    }
    const double precision = *options.precision;
    const uint32_t least = *options.replications, most = *options.replicationsMost;
    const size_t valueCount = header.ValueCount();
    std::vector<ReplicationOutcome> kept;
    std::vector<Summary> watched(targets.size());
    bool reached = false;
    int failed = kRunOk;
    // The test follows every replication in number order, so the count used
    // is the same whatever the number of processes; a batch's later
    // replications past the one that reached the precision are left out.
    while (!reached && failed == kRunOk && kept.size() < most) {
        const auto made = static_cast<uint32_t>(kept.size());
        StudyPlan batch = plan;
        batch.first = plan.first + made;
        batch.count = made < least ? least - made : std::min(std::max(plan.jobs, 1u), most - made);
        const bool ran = RunReplications(
            bytes, prepare, batch, progress,
            [&](const ReplicationOutcome& o) {
                if (reached || failed != kRunOk)
                    return;
                if (o.result != kOk || o.values.size() != valueCount) {
                    ReportInvalidFactor(err);
                    failed = kRunInvalidFactor;
                    return;
                }
                if (!o.warmupReached) {
                    err << "Прогон " << o.number << ". " << WarmupPastEndText() << '\n';
                    failed = kRunWarmupPastEnd;
                    return;
                }
                kept.push_back(o);
                for (size_t t = 0; t < targets.size(); ++t)
                    watched[t].Add(o.values[targets[t].value]);
                reached = kept.size() >= least && PrecisionReached(targets, watched, precision);
            },
            error);
        if (!ran) {
            err << error << '\n';
            return kRunWorkerFailed;
        }
    }
    if (failed != kRunOk)
        return failed;

    header.replicationCount = kept.size();
    CsvStudy csv;
    if (!options.csv.empty() && !csv.Open(options.csv, header, error)) {
        err << error << '\n';
        return kRunCsvFailed;
    }
    StudyWriter writer(header, uint64_t{plan.first} + kept.size(), options.json ? &out : nullptr,
                       err);
    if (!options.csv.empty())
        writer.AttachCsv(&csv);
    for (const ReplicationOutcome& o : kept)
        writer.Add(o);
    const auto percent = [](double share) {
        return CAppData::FormatValue(static_cast<float>(share * 100.0));
    };
    if (!reached) {
        err << "Предупреждение: заданная точность " << percent(precision)
            << " % не достигнута за наибольшее число прогонов, " << most << ".\n";
    }
    const auto extra = [&](JsonStream& j) {
        nlohmann::ordered_json list = nlohmann::ordered_json::array();
        for (size_t t = 0; t < targets.size(); ++t) {
            const IndicatorKey k = targets[t].key;
            list.push_back({{"id", k.id},
                            {"name", ResultName(k.id)},
                            {"object", ObjectName(header.layout, k.object)},
                            {"type", TypeName(header.layout, k.type)},
                            {"mean", FiniteOrNull(watched[t].Mean())},
                            {"halfWidth", FiniteOrNull(watched[t].HalfWidth())}});
        }
        j.Key("precision");
        j.Tree({{"relativeHalfWidth", precision},
                {"least", least},
                {"most", most},
                {"used", kept.size()},
                {"reached", reached},
                {"targets", std::move(list)}});
    };
    const auto preface = [&](std::ostream& o) {
        if (reached) {
            o << "Заданная точность достигнута: полуширина 95 % доверительного интервала не "
                 "больше "
              << percent(precision) << " % среднего у каждого показателя после " << kept.size()
              << " прогонов (наименьшее число " << least << ", наибольшее " << most << ").\n";
        } else {
            o << "Заданная точность " << percent(precision)
              << " % не достигнута: сделано наибольшее число прогонов, " << most << ".\n";
        }
        for (size_t t = 0; t < targets.size(); ++t) {
            const double mean = watched[t].Mean(), halfWidth = watched[t].HalfWidth();
            o << '\t' << TargetText(header.layout, targets[t].key) << ":\t"
              << CAppData::FormatValue(static_cast<float>(mean)) << " ± "
              << CAppData::FormatValue(static_cast<float>(halfWidth));
            if (mean != 0.0 && std::isfinite(halfWidth))
                o << " (" << percent(halfWidth / std::fabs(mean)) << " % среднего)";
            o << '\n';
        }
        o << '\n';
    };
    return FinishStudy(writer, options.json, out, err, extra, preface);
}

}  // namespace marvolt
