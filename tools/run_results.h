// The results of a run as JSON and as tables, and the order in which results
// list the indicators.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"
#include "results/application_data.h"
#include "tools/json_stream.h"

namespace marvolt {


// Every indicator of a model of this layout, in the order the results list
// them: the nodes in order, then the system; ids in order; all types, then
// each type for the indicators kept per type. The minimal idle time is left
// out: it is always 0.
void ForEachIndicator(const ReportLayout& layout, const std::function<void(IndicatorKey)>& f);

std::string ObjectName(const ReportLayout& layout, uint8_t object);
std::string TypeName(const ReportLayout& layout, uint8_t type);
// The name an indicator carries in the results; never empty.
std::string ResultName(uint8_t id);

// A number, or null where there is none to give.
nlohmann::ordered_json FiniteOrNull(double v);
// The value of a numeric indicator as a single run's results give it.
nlohmann::ordered_json IndicatorJson(const CQueuingSystem& m, IndicatorKey key);

// The fields of a single run's document: its figures, every numeric
// indicator and every collected distribution.
void WriteRunFields(JsonStream& j, const CQueuingSystem& m);
// The factor and its dependencies, after a factor experiment.
void WriteFactorFields(JsonStream& j, const CQueuingSystem& m);
// The factor's caption, object, parameter and values.
nlohmann::ordered_json FactorTree(const CQueuingSystem& m, const FactorSettings& f);
// A dependency's caption, object, type and indicator.
nlohmann::ordered_json DependencyTree(const CQueuingSystem& m, const CDependInfo& d);

// The table of a factor experiment: the factor's caption and values, then a
// row of cells for each dependency.
struct FactorTableRow {
    std::string caption;
    std::vector<std::string> cells;
};
void WriteFactorTable(std::ostream& out, const std::string& caption,
                      const std::vector<float>& values, const std::vector<FactorTableRow>& rows);
void WriteFactorTable(std::ostream& out, const CQueuingSystem& m);

}  // namespace marvolt
