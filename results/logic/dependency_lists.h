// What the dependency list of the dependencies tab decides: the indicators
// and request types a new dependency may take, the list's entries, the lines
// of the chart and the dependency table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kernel/queuing_system.h"
#include "results/logic/indicator_panel.h"
#include "results/logic/table_export.h"

namespace marvolt {

// A dependency's identity in the model's list.
using DependKey = IndicatorKey;

// The indicators a dependency on the object (255: the system) may record;
// index: the indicator id. Empty for an object index that is no node.
ChoiceList DependencyIndicators(const CQueuingSystem& m, uint8_t object);
// "Все типы заявок" and the request types the object knows, only when the
// model has more than one request type; a channel has none.
ChoiceList DependencyTypes(const CQueuingSystem& m, uint8_t object);

struct DependEntry {
    std::string caption;
    DependKey key;
};
// The model's dependencies, sorted by caption.
std::vector<DependEntry> DependencyEntries(const CQueuingSystem& m);

// The dependency with that key, or null.
const CDependInfo* FindDependency(const CQueuingSystem& m, const DependKey& key);

// The points of a dependency over the factor of the last experiment; only as
// many as both the experiment had values and the dependency holds.
std::vector<std::pair<float, float>> DependencyPoints(const CQueuingSystem& m,
                                                      const CDependInfo& d);

struct DependLine {
    std::string title;
    std::vector<std::pair<float, float>> points;
};
struct DependChartLines {
    std::vector<DependLine> lines;  // the first three selected, in list order
    std::string axisTitle;          // the factor, when any line has points
    bool anyValues = false;
};
inline constexpr size_t kDependLineCount = 3;
DependChartLines DependencyLines(const CQueuingSystem& m, const std::vector<DependKey>& selected);

// The table of every selected dependency with values, under the row of the
// factor's values, with "," as decimal separator; none when no selected
// dependency has values.
std::optional<TextTable> DependencyTable(const CQueuingSystem& m,
                                         const std::vector<DependKey>& selected);

}  // namespace marvolt
