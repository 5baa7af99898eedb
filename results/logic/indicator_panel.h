// What the indicators tab shows: its selection lists, which carry node and
// request-type indices rather than names, and the text of every value field.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt {

inline constexpr const char* kAllTypesItem = "Все типы заявок";

// One entry of a selection list: its text and what it stands for.
struct ChoiceItem {
    std::string text;
    uint8_t index = kNoIndex;  // a node or request type; 255 for all types

    bool operator==(const ChoiceItem&) const = default;
};
using ChoiceList = std::vector<ChoiceItem>;


// "Все типы заявок", then every request type.
ChoiceList TypeChoices(const CQueuingSystem& m);
// "Все типы заявок", then the request types the queue admits.
ChoiceList QueueTypeChoices(const CQueuingSystem& m, uint8_t queue);
// Every node of one kind, in node order.
ChoiceList NodeChoices(const CQueuingSystem& m, uint8_t kind);

// The position to select in a rebuilt list: the item with the remembered text
// that stands for the same kind of thing (all types, or one node or type),
// else the first item; -1 when the list is empty. A type named "Все типы
// заявок" is thus never taken for all types.
int Reselect(const ChoiceList& list, const std::optional<ChoiceItem>& remembered);

enum class IndicatorGroup : uint8_t { kSystem, kChannel, kQueue, kSink };
enum class FieldKind : uint8_t {
    kCount,  // the count indicator in decimal
    kReal,   // the real indicator as every display shows it
    kShare,  // the node's arrivals in % of the system's, of the same type
};

// A caption field with its text and hint, and the value field beside it.
struct IndicatorField {
    IndicatorGroup group;
    const char* captionField;
    const char* caption;
    const char* hint;
    const char* valueField;
    FieldKind kind;
    uint8_t id;
};

// Every pair in the order the tab lays them out, group by group.
std::span<const IndicatorField> IndicatorFields();

// The value of a field for the chosen node (255 for the system) and request
// type (255 for all types).
std::string FieldText(const CQueuingSystem& m, const IndicatorField& field, uint8_t node,
                      uint8_t type);

// A count as a share of a total: "0%" for no total, else e.g. "12.5%".
std::string ShareText(uint32_t part, uint32_t total);

}  // namespace marvolt
