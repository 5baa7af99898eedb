#include "results/logic/dependency_lists.h"

#include <algorithm>
#include <span>

#include "results/application_data.h"
#include "results/logic/factor_plan.h"

namespace marvolt {

namespace {

constexpr char kTableSeparator = ',';

ChoiceList Named(std::span<const uint8_t> ids) {
    ChoiceList list;
    for (uint8_t id : ids)
        list.push_back({CAppData::IndicatorName(id), id});
    return list;
}

size_t PointCount(const CQueuingSystem& m, const CDependInfo& d) {
    return std::min<size_t>({m.usedFactor.valueCount, m.dependencies.valueCount, d.values.size()});
}

}  // namespace

ChoiceList DependencyIndicators(const CQueuingSystem& m, uint8_t object) {
    if (object == kNoIndex)
        return Named(CAppData::DependSystemSet);
    if (object >= m.nodeCount())
        return {};
    switch (m.Node(object)->kind) {
        case kChannel:
            return Named(CAppData::DependChannelSet);
        case kQueue:
            return Named(CAppData::DependQueueSet);
        case kSink:
            return Named(CAppData::DependSinkSet);
        default:
            return {};
    }
}

ChoiceList DependencyTypes(const CQueuingSystem& m, uint8_t object) {
    if (m.typeCount() <= 1)
        return {};
    if (object == kNoIndex)
        return TypeChoices(m);
    if (object >= m.nodeCount())
        return {};
    switch (m.Node(object)->kind) {
        case kQueue:
            return QueueTypeChoices(m, object);
        case kSink:
            return TypeChoices(m);
        default:
            return {};
    }
}

std::vector<DependEntry> DependencyEntries(const CQueuingSystem& m) {
    std::vector<DependEntry> entries;
    for (uint32_t i = 0; i < m.dependencies.itemCount(); ++i) {
        const CDependInfo& d = *m.dependencies.Item(i);
        entries.push_back({CAppData::DependencyCaption(m, d),
                           {d.dependencyObject, d.dependencyType, d.dependencyIndicator}});
    }
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const DependEntry& a, const DependEntry& b) { return a.caption < b.caption; });
    return entries;
}

const CDependInfo* FindDependency(const CQueuingSystem& m, const DependKey& key) {
    const int at = m.dependencies.Find(key.object, key.type, key.id);
    return at < 0 ? nullptr : m.dependencies.Item(static_cast<uint32_t>(at));
}

std::vector<std::pair<float, float>> DependencyPoints(const CQueuingSystem& m,
                                                      const CDependInfo& d) {
    std::vector<std::pair<float, float>> points;
    const size_t n = PointCount(m, d);
    for (size_t k = 0; k < n; ++k)
        points.emplace_back(FactorValue(m.usedFactor, static_cast<int>(k)), d.values[k]);
    return points;
}

DependChartLines DependencyLines(const CQueuingSystem& m, const std::vector<DependKey>& selected) {
    DependChartLines chart;
    for (const DependKey& key : selected) {
        if (chart.lines.size() == kDependLineCount)
            break;
        const CDependInfo* d = FindDependency(m, key);
        if (!d)
            continue;
        DependLine line{CAppData::DependencyCaption(m, *d), DependencyPoints(m, *d)};
        chart.anyValues = chart.anyValues || !line.points.empty();
        chart.lines.push_back(std::move(line));
    }
    if (chart.anyValues)
        chart.axisTitle = CAppData::FactorCaption(m, m.usedFactor);
    return chart;
}

std::optional<TextTable> DependencyTable(const CQueuingSystem& m,
                                         const std::vector<DependKey>& selected) {
    auto format = [](float v) { return CAppData::FormatValue(v, kTableSeparator); };
    const FactorSettings& u = m.usedFactor;
    TextTable table;
    table.emplace_back();
    table[0].push_back(CAppData::FactorCaption(m, u));
    for (int k = 0; k < u.valueCount; ++k)
        table[0].push_back(format(FactorValue(u, k)));
    for (const DependKey& key : selected) {
        const CDependInfo* d = FindDependency(m, key);
        if (!d || PointCount(m, *d) == 0)
            continue;
        std::vector<std::string> row{CAppData::DependencyCaption(m, *d)};
        for (size_t k = 0; k < PointCount(m, *d); ++k)
            row.push_back(format(d->values[k]));
        // A dependency with fewer values than the factor keeps the table's shape.
        row.resize(table[0].size());
        table.push_back(std::move(row));
    }
    if (table.size() == 1)
        return std::nullopt;
    return table;
}

}  // namespace marvolt
