// The properties dialog's working copies of a node or a request type, the
// decisions it makes on them while it is open, the checks of OK and the
// writing into the model. Nothing here shows anything: refusals come back as
// message texts for the dialog to show.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt {

// Receivers or sources of a node: their order, probabilities and discipline code.
struct LinkCopy {
    std::vector<uint8_t> nodes;
    std::vector<float> probabilities;
    uint8_t discipline = kRouteInOrder;
};

// Everything the dialog edits of a node, copied when it opens and written on OK.
struct NodeDraft {
    uint8_t kind = kGenerator;
    uint8_t index = kNoIndex;
    std::string name;
    LinkCopy receivers;
    // Generator.
    std::vector<uint8_t> generatedTypes;
    std::vector<float> typeProbabilities;
    LawRecord intervalLaw;
    LawRecord batchLaw;
    // Queue and channel, one entry per request type of the model: the accept
    // flags and the waiting-time-limit laws of a queue or service laws of a channel.
    std::vector<uint8_t> acceptedTypes;
    std::vector<LawRecord> typeLaws;
    // Queue.
    uint8_t discipline = 0;
    uint8_t usePriority = 0;
    uint8_t lengthLimited = 0;
    uint32_t lengthLimit = 0;
    uint8_t waitLimitMode = 0;
    float waitLimit = 0.0f;
    // Channel.
    uint8_t deviceCount = 1;
    LinkCopy sources;
    std::vector<uint8_t> transform;  // target type per type; the identity without a table
    uint8_t transformOn = 0;
    uint8_t failuresOn = 0;
    LawRecord workLaw;
    LawRecord repairLaw;
    uint8_t reserveChannel = kNoIndex;
    uint8_t failureRule = 0;
};

struct TypeDraft {
    std::string name;
    uint8_t priority = 0;
};

// The node's settings as the dialog shows them. Codes the dialog cannot show
// (a damaged or foreign file) become code 0, a reserve that is not another
// channel becomes none, and the reserve rules fall back to the refusal sink
// when there is no reserve.
NodeDraft DraftOf(const CQSObject& node);
TypeDraft DraftOf(const CRequestType& type);

// ---- request-type lists ----

// The admitted types in grid order: a generator's list order, else type order.
std::vector<uint8_t> AdmittedTypes(const NodeDraft& d);
// The other types of the model, sorted by name.
std::vector<uint8_t> OtherTypes(const NodeDraft& d, const CQueuingSystem& m);
// "<" and "<<": a generator appends the types with probability 0 and sorts
// its list; a queue or channel sets their accept flags.
void AdmitTypes(NodeDraft& d, const CQueuingSystem& m, const std::vector<uint8_t>& types);
void AdmitAllTypes(NodeDraft& d, const CQueuingSystem& m);
// ">" and ">>".
void DismissTypes(NodeDraft& d, const std::vector<uint8_t>& types);
void DismissAllTypes(NodeDraft& d);
// Sorts a generator's list by type name, each entry keeping its probability.
void SortGeneratorTypes(NodeDraft& d, const CQueuingSystem& m);
// Name order of the lists: the bytes the model file stores (Windows-1251),
// so that the order does not depend on the memory encoding (Ё, ё).
bool NameBytesLess(const std::string& a, const std::string& b);

// ---- grid texts ----

struct TypeRow {
    uint8_t type;
    std::string name;
    std::string second;  // probability (generator) or law (queue, channel)
    std::string third;   // a channel's transform target
};
std::vector<TypeRow> TypeRows(const NodeDraft& d, const CQueuingSystem& m);

struct LinkRow {
    std::string name;
    std::string probability;
};
std::vector<LinkRow> LinkRows(const LinkCopy& links, const CQueuingSystem& m);

// The number text of the dialog's fields and cells.
std::string ShownNumber(float x);
// The shortest text that reads back as the same float.
std::string ExactNumber(float x);

// ---- probabilities ----

// Reads a probability cell. Text the user did not change (it still reads as
// shown) keeps the stored value: shown texts are rounded.
struct NumberInput {
    std::optional<float> value;
    std::string message;
};
NumberInput ReadProbabilityCell(std::string_view text, std::string_view shown, float stored);
// Each entry gets 1/n; an empty list stays empty.
void SetEqualProbabilities(std::vector<float>& probabilities);
// Swaps an entry with its neighbour above (up) or below, index and
// probability together; answers the entry's new position, or nothing.
std::optional<size_t> MoveLink(LinkCopy& links, size_t entry, bool up);

// ---- queue ----

// A mode other than the random limit gives up the least-time-to-refusal discipline.
void SetWaitLimitMode(NodeDraft& d, uint8_t mode);
inline bool PriorityApplies(uint8_t discipline) {
    return discipline == 0 || discipline == 1;
}
NumberInput ReadWaitLimit(std::string_view text, std::string_view shown, float stored);

// ---- channel ----

// The other channels of the model, sorted by name.
std::vector<uint8_t> ReserveCandidates(const CQueuingSystem& m, uint8_t self);
// The table is kept when the box is ticked or any type maps to another.
bool TransformTableNeeded(const NodeDraft& d);

// ---- OK ----

// Where a refusal sends the user.
enum class DraftField { kName, kReceivers, kSources, kGeneratorTypes, kWaitLimit };
struct DraftRefusal {
    DraftField field;
    std::string message;
};
// Every check of OK on the whole draft, before anything is written; the name
// is checked as on leaving its field (edit::RenameRefusal).
std::optional<DraftRefusal> CheckDraft(const NodeDraft& d, const CQueuingSystem& m,
                                       const std::string& nameAtOpening);
std::optional<DraftRefusal> CheckDraft(const TypeDraft& d, const CQueuingSystem& m,
                                       const std::string& nameAtOpening);
// Writes a checked draft into its node or type.
void WriteDraft(const NodeDraft& d, CQSObject& node);
void WriteDraft(const TypeDraft& d, CRequestType& type);

}  // namespace marvolt
