#include "tools/run_results.h"

#include "results/logic/factor_plan.h"

#include <cmath>
#include <ostream>

namespace marvolt {

void ForEachIndicator(const ReportLayout& layout, const std::function<void(IndicatorKey)>& f) {
    const size_t nodes = layout.nodes.size();
    const auto types = static_cast<uint8_t>(layout.typeNames.size());
    for (size_t i = 0; i <= nodes; ++i) {
        const uint8_t object = i < nodes ? static_cast<uint8_t>(i) : kNoIndex;
        const uint8_t scope = i < nodes ? ScopeOfKind(layout.nodes[i].kind) : uint8_t{kForSystem};
        for (uint8_t id = 0; id < kIndicatorCount; ++id) {
            if (!IndicatorExists(id, scope) || id == indMinIdle)
                continue;
            f({object, kNoIndex, id});
            if (IndicatorIsPerType(id)) {
                for (uint8_t t = 0; t < types; ++t)
                    f({object, t, id});
            }
        }
    }
}

std::string ObjectName(const ReportLayout& layout, uint8_t object) {
    return object < layout.nodes.size() ? layout.nodes[object].name : "СМО";
}
std::string TypeName(const ReportLayout& layout, uint8_t type) {
    return type < layout.typeNames.size() ? layout.typeNames[type] : "Все типы заявок";
}
std::string ResultName(uint8_t id) {
    std::string name = CAppData::IndicatorName(id);
    if (name.empty() && id == indMeanWaitNonZero) {
        name = "Среднее время нахождения в накопителе заявок, время ожидания которых не равно 0.";
    }
    return name;
}

nlohmann::ordered_json FiniteOrNull(double v) {
    return std::isfinite(v) ? nlohmann::ordered_json(v) : nlohmann::ordered_json();
}

nlohmann::ordered_json IndicatorJson(const CQueuingSystem& m, IndicatorKey k) {
    return IndicatorHas(k.id, IndicatorValue::kCount)
               ? nlohmann::ordered_json(m.CountIndicator(k.id, k.object, k.type))
               : FiniteOrNull(CAppData::ShownValue(m, k.id, k.object, k.type));
}

void WriteRunFields(JsonStream& j, const CQueuingSystem& m) {
    const ReportLayout layout = ReportLayout::Of(m);
    j.Field("modelTime", m.modelTime);
    j.Field("arrived", m.arrived);
    j.Field("stoppedByGuard", m.stopReason == StopReason::kProgressGuard);
    // Only a run that met the bound says so, so the documents of every other run stay as they were.
    if (m.stopReason == StopReason::kTooManyRequests) {
        j.Field("stoppedByLimit", true);
        j.Field("inSystemLimit", m.InSystemLimit());
    }
    j.Key("indicators");
    j.BeginArray();
    ForEachIndicator(layout, [&](IndicatorKey k) {
        if (IndicatorHas(k.id, IndicatorValue::kDistribution))
            return;
        j.BeginObject();
        j.Field("id", k.id);
        j.Field("name", ResultName(k.id));
        j.Field("object", ObjectName(layout, k.object));
        j.Field("type", TypeName(layout, k.type));
        j.Key("value");
        j.Value(IndicatorJson(m, k));
        j.EndObject();
    });
    j.EndArray();
    j.Key("distributions");
    j.BeginArray();
    ForEachIndicator(layout, [&](IndicatorKey k) {
        if (!IndicatorHas(k.id, IndicatorValue::kDistribution))
            return;
        const CDistribution* d = m.DistributionIndicator(k.id, k.object, k.type);
        if (!d || !d->HasBins())
            return;
        j.BeginObject();
        j.Field("id", k.id);
        j.Field("object", ObjectName(layout, k.object));
        j.Field("type", TypeName(layout, k.type));
        j.Field("lower", d->Lower());
        j.Field("upper", d->Upper());
        j.Key("bins");
        j.BeginArray();
        for (int b = 0; b < d->binCount; ++b) {
            float value = 0, center = 0;
            d->BinAtCenter(b, value, center);
            j.Value(value);
        }
        j.EndArray();
        j.Key("mean");
        j.Value(FiniteOrNull(d->Mean()));
        j.Key("variance");
        j.Value(FiniteOrNull(d->Variance()));
        j.EndObject();
    });
    j.EndArray();
}

nlohmann::ordered_json FactorTree(const CQueuingSystem& m, const FactorSettings& f) {
    nlohmann::ordered_json values = nlohmann::ordered_json::array();
    for (int k = 0; k < f.valueCount; ++k)
        values.push_back(FactorValue(f, k));
    const ReportLayout layout = ReportLayout::Of(m);
    return {{"caption", CAppData::FactorCaption(m, f)},
            {"object", ObjectName(layout, f.factorObject)},
            {"parameter", f.factorParameter},
            {"values", values}};
}

nlohmann::ordered_json DependencyTree(const CQueuingSystem& m, const CDependInfo& d) {
    const ReportLayout layout = ReportLayout::Of(m);
    return {{"caption", CAppData::DependencyCaption(m, d)},
            {"object", ObjectName(layout, d.dependencyObject)},
            {"type", TypeName(layout, d.dependencyType)},
            {"id", d.dependencyIndicator}};
}

void WriteFactorFields(JsonStream& j, const CQueuingSystem& m) {
    j.Key("factor");
    nlohmann::ordered_json factor = FactorTree(m, m.usedFactor);
    if (m.limitStopRun != kNoIndex)
        factor["limitStopRun"] = m.limitStopRun;
    j.Tree(factor);
    j.Key("dependencies");
    j.BeginArray();
    for (uint32_t i = 0; i < m.dependencies.itemCount(); ++i) {
        const CDependInfo& d = *m.dependencies.Item(i);
        nlohmann::ordered_json tree = DependencyTree(m, d);
        nlohmann::ordered_json values = nlohmann::ordered_json::array();
        // A run that did not go to its end gave no value.
        for (size_t k = 0; k < d.values.size(); ++k)
            values.push_back(k < m.factorRunsDone ? FiniteOrNull(d.values[k]) : nullptr);
        tree["values"] = std::move(values);
        j.Tree(tree);
    }
    j.EndArray();
}

void WriteFactorTable(std::ostream& out, const std::string& caption,
                      const std::vector<float>& values, const std::vector<FactorTableRow>& rows) {
    out << caption;
    for (float v : values)
        out << '\t' << CAppData::FormatValue(v);
    out << '\n';
    for (const FactorTableRow& row : rows) {
        out << row.caption;
        for (const std::string& cell : row.cells)
            out << '\t' << cell;
        out << '\n';
    }
}

void WriteFactorTable(std::ostream& out, const CQueuingSystem& m) {
    const FactorSettings& f = m.usedFactor;
    std::vector<float> values;
    for (int k = 0; k < f.valueCount; ++k)
        values.push_back(FactorValue(f, k));
    std::vector<FactorTableRow> rows;
    for (uint32_t i = 0; i < m.dependencies.itemCount(); ++i) {
        const CDependInfo& d = *m.dependencies.Item(i);
        FactorTableRow row{CAppData::DependencyCaption(m, d), {}};
        for (size_t k = 0; k < d.values.size(); ++k)
            row.cells.push_back(k < m.factorRunsDone ? CAppData::FormatValue(d.values[k])
                                                     : std::string());
        rows.push_back(std::move(row));
    }
    WriteFactorTable(out, CAppData::FactorCaption(m, f), values, rows);
}

}  // namespace marvolt
