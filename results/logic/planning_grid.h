// The planning of sample distributions: which object's quantities a run
// collects, in which columns (request-type slices) and rows (a check mark,
// the left and right bound and the number of intervals of each quantity),
// and the checks a typed cell passes before it reaches the model.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"
#include "results/logic/indicator_panel.h"

namespace marvolt {

// What a quantity row holds when its distribution is collected.
inline constexpr const char* kCheckMark = "√";

// "СМО" (index 255), then every node that is not a generator.
ChoiceList PlanObjectChoices(const CQueuingSystem& m);

enum class PlanKind : uint8_t { kSystem, kChannel, kQueue, kSink };

struct PlanLayout {
    PlanKind kind = PlanKind::kSystem;
    uint8_t object = kNoIndex;               // 255: the system
    std::vector<std::string> rowLabels;      // row 0 is the header row: empty
    std::vector<std::string> columnHeaders;  // column 0 is the label column: empty
    // The request type of each column; 255 for the system as a whole or all types.
    std::vector<uint8_t> columnTypes;

    int rowCount() const { return static_cast<int>(rowLabels.size()); }
    int columnCount() const { return static_cast<int>(columnHeaders.size()); }
};

// The grid of an object (255: the system). A queue or sink slice that has no
// distribution yet gets one with the default bounds, so every cell has a value.
PlanLayout PlanGridLayout(CQueuingSystem& m, uint8_t object);

// Rows 1 and 5 switch a distribution on and off; the rows below them hold its grid.
bool IsQuantityRow(int row);
bool IsDataCell(const PlanLayout& layout, int row, int col);

// What a cell shows: labels and headers, the check mark, bounds and counts.
std::string PlanCellText(CQueuingSystem& m, const PlanLayout& layout, int row, int col);

struct PlanCommit {
    bool accepted = true;
    // For a rejection: "Введено некорректное значение.\n" and the rule broken.
    std::string message;
    // The text the cell shows from now on, when it differs from the typed one.
    std::optional<std::string> shownText;
};

// Checks a cell's text and stores it in the model. A rejected text changes
// nothing. A bound or count that changes drops the distribution's collected
// intervals, so that what a file stores always matches its grid.
PlanCommit CommitPlanCell(CQueuingSystem& m, const PlanLayout& layout, int row, int col,
                          const std::string& text);

}  // namespace marvolt
