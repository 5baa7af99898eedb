#include "tools/study_document.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>

#include "kernel/random_stat.h"
#include "persistence/model_file.h"
#include "tools/csv_output.h"
#include "tools/run_results.h"

namespace marvolt {

namespace {

// Keys in the order ForEachIndicator gives them are increasing: all types
// (255) come before type 0, so the type is stored one up.
uint32_t PackedKey(uint8_t id, uint8_t object, uint8_t type) {
    return (uint32_t{object} << 16) | (uint32_t{id} << 8) | static_cast<uint8_t>(type + 1u);
}

std::string Digest(const CQueuingSystem& m) {
    // The bytes of a copy reset as a run starts: the same model gives the same
    // bytes whatever its file kept of an earlier run, and the limit of the
    // criterion not in use counts for nothing.
    const auto copy = CQueuingSystem::CopyModel(m, false);
    const uint32_t state = RandomState();
    copy->BeginRun();
    copy->EndRun();
    SetRandomState(state);
    copy->resultsValid = 0;
    copy->lastRunWasFactor = 0;
    copy->factorRunsDone = 0;
    copy->modelTime = 0;
    if (copy->stopByTime) {
        copy->arrivalsLimit = 0;
    } else {
        copy->timeLimit = 0.0f;
    }
    std::vector<uint8_t> bytes;
    if (!WriteModelBytes(*copy, nullptr, bytes))
        return {};
    uint64_t hash = 14695981039346656037ull;
    for (uint8_t b : bytes) {
        hash ^= b;
        hash *= 1099511628211ull;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

nlohmann::ordered_json LayoutTree(const ReportLayout& layout) {
    nlohmann::ordered_json nodes = nlohmann::ordered_json::array();
    for (const ReportLayout::Node& n : layout.nodes) {
        nlohmann::ordered_json node{{"name", n.name}, {"kind", n.kind}};
        if (n.kind == kQueue)
            node["admitted"] = n.admitted;
        nodes.push_back(std::move(node));
    }
    return {{"types", layout.typeNames}, {"nodes", std::move(nodes)}};
}

}  // namespace

size_t StudyHeader::FactorValueCount() const {
    const auto values = factorTree.find("values");
    return values != factorTree.end() && values->is_array() ? values->size() : 0;
}

bool StudyHeader::HasWarmup() const {
    return about.is_object() && about.contains("warmup") && !about["warmup"].is_null();
}

size_t StudyHeader::ValueCount() const {
    if (factor)
        return dependencies.size() * FactorValueCount();
    size_t n = 0;
    ForEachIndicator(layout, [&n](IndicatorKey k) {
        if (!IndicatorHas(k.id, IndicatorValue::kDistribution))
            ++n;
    });
    return n;
}

StudyHeader StudyHeaderOf(const CQueuingSystem& m, uint64_t replicationCount) {
    StudyHeader h;
    h.model = m.modelName;
    h.digest = Digest(m);
    h.replicationCount = replicationCount;
    h.factor = m.factorRun != 0;
    if (h.factor) {
        h.factorTree = FactorTree(m, m.plannedFactor);
        for (uint32_t i = 0; i < m.dependencies.itemCount(); ++i)
            h.dependencies.push_back(DependencyTree(m, *m.dependencies.Item(i)));
    } else {
        h.layout = ReportLayout::Of(m);
    }
    return h;
}

std::vector<double> ReplicationValues(const CQueuingSystem& m) {
    std::vector<double> values;
    if (m.factorRun) {
        for (uint32_t i = 0; i < m.dependencies.itemCount(); ++i) {
            const CDependInfo& d = *m.dependencies.Item(i);
            for (int k = 0; k < m.plannedFactor.valueCount; ++k) {
                values.push_back(static_cast<size_t>(k) < d.values.size()
                                     ? d.values[static_cast<size_t>(k)]
                                     : std::numeric_limits<double>::quiet_NaN());
            }
        }
        return values;
    }
    ForEachIndicator(ReportLayout::Of(m), [&](IndicatorKey k) {
        if (IndicatorHas(k.id, IndicatorValue::kDistribution))
            return;
        values.push_back(
            IndicatorHas(k.id, IndicatorValue::kCount)
                ? static_cast<double>(m.CountIndicator(k.id, k.object, k.type))
                : static_cast<double>(CAppData::ShownValue(m, k.id, k.object, k.type)));
    });
    return values;
}

StudyWriter::StudyWriter(const StudyHeader& header, uint64_t numbersInUse, std::ostream* json,
                         std::ostream& err)
    : header_(header),
      numbersInUse_(numbersInUse),
      err_(err),
      summaries_(header.ValueCount()),
      out_(json) {
    if (!header.factor) {
        keys_.reserve(summaries_.size());
        ForEachIndicator(header.layout, [this](IndicatorKey k) {
            if (!IndicatorHas(k.id, IndicatorValue::kDistribution))
                keys_.push_back(PackedKey(k.id, k.object, k.type));
        });
    }
    if (!out_)
        return;
    json_.emplace(*out_);
    JsonStream& j = *json_;
    j.BeginObject();
    if (!header.about.is_null()) {
        j.Key("about");
        j.Tree(header.about);
    }
    j.Field("model", header.model);
    j.Field("digest", header.digest);
    j.Field("replicationCount", header.replicationCount);
    if (header.factor) {
        j.Key("factor");
        j.Tree(header.factorTree);
    } else {
        j.Key("layout");
        j.BeginObject();
        const nlohmann::ordered_json layout = LayoutTree(header.layout);
        j.Key("types");
        j.Tree(layout["types"]);
        j.Key("nodes");
        j.BeginArray();
        for (const auto& node : layout["nodes"]) {
            j.BeginObject(true);
            for (const auto& [key, value] : node.items()) {
                j.Key(key);
                j.Tree(value);
            }
            j.EndObject();
        }
        j.EndArray();
        j.EndObject();
    }
    j.Key("replications");
    j.BeginArray();
}

void WarnIfBeyondStretch(std::ostream& err, uint32_t number, uint64_t draws,
                         uint64_t numbersInUse) {
    const uint64_t inUse = std::max<uint64_t>(numbersInUse, uint64_t{number} + 1);
    const ReplicationStretchEnd stretch = ReplicationStretchOf(number, inUse);
    if (draws <= stretch.draws)
        return;
    err << "Предупреждение: прогон " << number << " взял " << draws << " случайных чисел, ";
    if (stretch.next == number) {
        err << "больше, чем их в цикле датчика (" << kRandomValueCycle
            << "): его числа повторяются.\n";
        return;
    }
    err << "а его отрезок цикла датчика вмещает " << stretch.draws
        << ": часть его чисел совпадает с числами прогона " << stretch.next
        << ". Сделайте прогоны короче или прогонов меньше.\n";
}

bool StudyWriter::Add(const ReplicationOutcome& o) {
    if (o.values.size() != summaries_.size())
        return false;
    for (size_t k = 0; k < summaries_.size(); ++k)
        summaries_[k].Add(o.values[k]);
    WarnIfBeyondStretch(err_, o.number, o.draws, numbersInUse_);
    if (const std::string stopped = CAppData::StopReasonText(o.stopReason); !stopped.empty())
        err_ << "Прогон " << o.number << ". " << stopped << '\n';
    ++added_;
    if (csv_)
        csv_->Row(o, added_);
    if (header_.HasWarmup())
        warmups_.emplace_back(o.number, o.warmup);
    if (!out_)
        return true;
    JsonStream& j = *json_;
    j.BeginObject(true);
    j.Field("number", o.number);
    if (!header_.about.is_null())
        j.Field("randomStart", ReplicationStartPosition(o.number));
    if (header_.HasWarmup())
        j.Field("warmup", o.warmup);
    j.Field("draws", o.draws);
    j.Field("stopReason", static_cast<int>(o.stopReason));
    j.Key("values");
    j.BeginArray();
    for (double v : o.values)
        j.Value(FiniteOrNull(v));
    j.EndArray();
    j.EndObject();
    return true;
}

bool StudyWriter::Finish(const std::function<void(JsonStream&)>& extra, std::string* error) {
    if (csv_) {
        std::string why;
        if (!csv_->Finish(summaries_, why)) {
            if (error)
                *error = why;
            return false;
        }
    }
    if (!out_)
        return true;
    JsonStream& j = *json_;
    j.EndArray();
    if (extra)
        extra(j);
    if (header_.factor) {
        const size_t perDependency = header_.FactorValueCount();
        j.Key("dependencies");
        j.BeginArray();
        for (size_t d = 0; d < header_.dependencies.size(); ++d) {
            nlohmann::ordered_json tree = header_.dependencies[d];
            nlohmann::ordered_json means = nlohmann::ordered_json::array();
            nlohmann::ordered_json halfWidths = nlohmann::ordered_json::array();
            for (size_t k = 0; k < perDependency; ++k) {
                const Summary& s = summaries_[d * perDependency + k];
                means.push_back(FiniteOrNull(s.Mean()));
                halfWidths.push_back(FiniteOrNull(s.HalfWidth()));
            }
            tree["mean"] = std::move(means);
            tree["halfWidth"] = std::move(halfWidths);
            j.Tree(tree);
        }
        j.EndArray();
    } else {
        j.Key("indicators");
        j.BeginArray();
        size_t k = 0;
        ForEachIndicator(header_.layout, [&](IndicatorKey key) {
            if (IndicatorHas(key.id, IndicatorValue::kDistribution))
                return;
            const Summary& s = summaries_[k++];
            j.BeginObject();
            j.Field("id", key.id);
            j.Field("name", ResultName(key.id));
            j.Field("object", ObjectName(header_.layout, key.object));
            j.Field("type", TypeName(header_.layout, key.type));
            j.Key("mean");
            j.Value(FiniteOrNull(s.Mean()));
            j.Key("halfWidth");
            j.Value(FiniteOrNull(s.HalfWidth()));
            j.EndObject();
        });
        j.EndArray();
    }
    j.EndObject();
    *out_ << '\n';
    return true;
}

std::string StudyWriter::ValueText(size_t k) const {
    const Summary& s = summaries_[k];
    std::string text = CAppData::FormatValue(static_cast<float>(s.Mean()));
    const double halfWidth = s.HalfWidth();
    if (std::isfinite(halfWidth))
        text += " ± " + CAppData::FormatValue(static_cast<float>(halfWidth));
    return text;
}

void StudyWriter::WriteReport(std::ostream& out) const {
    const uint64_t n = summaries_.empty() ? header_.replicationCount : summaries_[0].count();
    out << "Независимых прогонов: " << n
        << ". Значение: среднее ± полуширина 95 % доверительного интервала.\n";
    if (header_.HasWarmup()) {
        const auto& rule = header_.about["warmup"];
        if (rule.is_number()) {
            out << "Статистика каждого прогона собрана после разгона, с момента "
                << CsvNumber(rule.get<double>()) << ".\n";
        } else {
            out << "Статистика каждого прогона собрана после разгона, конец которого выбран "
                   "по MSER-5 (по прогонам в конце отчета).\n";
        }
    }
    out << '\n';
    WriteMeans(out);
    if (header_.HasWarmup() && !header_.about["warmup"].is_number()) {
        out << "\nКонец разгона по прогонам:\n";
        for (const auto& [number, warmup] : warmups_)
            out << "\tПрогон " << number << ":\t" << CsvNumber(warmup) << '\n';
    }
}

void StudyWriter::WriteMeans(std::ostream& out) const {
    if (header_.factor) {
        std::vector<float> values;
        for (const auto& v : header_.factorTree["values"])
            values.push_back(v.is_number() ? v.get<float>() : 0.0f);
        std::vector<FactorTableRow> rows;
        for (size_t d = 0; d < header_.dependencies.size(); ++d) {
            FactorTableRow row{header_.dependencies[d].value("caption", std::string()), {}};
            for (size_t k = 0; k < values.size(); ++k)
                row.cells.push_back(ValueText(d * values.size() + k));
            rows.push_back(std::move(row));
        }
        WriteFactorTable(out, header_.factorTree.value("caption", std::string()), values, rows);
        return;
    }
    out << CAppData::ReportText(header_.layout, [this](uint8_t id, uint8_t object, uint8_t type) {
        const uint32_t key = PackedKey(id, object, type);
        const auto at = std::lower_bound(keys_.begin(), keys_.end(), key);
        return at != keys_.end() && *at == key ? ValueText(static_cast<size_t>(at - keys_.begin()))
                                               : std::string();
    });
}

}  // namespace marvolt
