// The editing commands of the model: each changes the current model through
// the container's operations, or refuses and says why. No windows here: the
// editor shows the refusals and asks the questions these hand it, and then
// brings its tree and scheme in step with what was done.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "kernel/queuing_system.h"

namespace marvolt {

// The box a refusal is shown in.
enum class RefusalBox : uint8_t {
    kNone,           // nothing to show
    kWarning,        // "Предупреждение", warning icon: refused input or action
    kNotice,         // "Сообщение", information icon
    kNoticeWarning,  // "Сообщение", warning icon
    kError,          // "Ошибка", warning icon: a failed file operation
};

struct Refusal {
    RefusalBox box = RefusalBox::kNone;
    std::string text;  // UTF-8

    explicit operator bool() const { return box != RefusalBox::kNone; }
};

struct CommandResult {
    bool done = false;        // the model changed
    Refusal refusal;          // why nothing changed, when the user is to be told
    uint8_t node = kNoIndex;  // the node added or placed
};

// Asks the user a deletion question (the text given); true for yes.
using Confirm = std::function<bool(const std::string& question)>;

// A name or path as messages quote it.
std::string Quoted(const std::string& text);

namespace edit {

// Where a node added from the tree is put.
inline constexpr int32_t kAddedNodeX = 15;
inline constexpr int32_t kAddedNodeY = 15;

// The limit messages, when the model holds as many nodes (request types) as
// it can; no refusal while there is room.
Refusal NodeRoom(const CQueuingSystem& model);
Refusal TypeRoom(const CQueuingSystem& model);

// Adds a node of the kind at (15, 15). A name already in use adds nothing
// and tells nothing: the name dialog has had its say.
CommandResult AddNode(CQueuingSystem& model, uint8_t kind, const std::string& name);
CommandResult AddRequestType(CQueuingSystem& model, const std::string& name);
// Adds a node of the kind under its default name, centred on (x, y) but never
// left of or above pixel 1: a node at 0 would count as never placed.
CommandResult PlaceNode(CQueuingSystem& model, uint8_t kind, int32_t x, int32_t y,
                        int32_t nodeSize);

// The only generator and the refusal sink stay; anything else goes once the
// user confirms.
CommandResult DeleteNode(CQueuingSystem& model, uint8_t node, const Confirm& confirm);
// The only request type stays.
CommandResult DeleteRequestType(CQueuingSystem& model, const std::string& name,
                                const Confirm& confirm);

// The warning for a name that cannot be given to a new node (or request type,
// in request-type mode); empty when the name passes. Also refuses what the
// model file cannot hold, since every later save would fail.
std::string NameDialogRefusal(const std::string& name, bool requestTypeMode,
                              const CQueuingSystem* model);
// Why something now named current may not be renamed to name: empty, one in
// use by another node (request type, in request-type mode) or one the file
// cannot hold. The same name again always may. Empty when the name passes.
std::string RenameRefusal(const CQueuingSystem& model, const std::string& current,
                          const std::string& name, bool requestTypeMode);
// Renames a node (a request type). The same name again changes nothing; an
// empty one, one in use by another node (type) or one the file cannot hold is
// refused with a warning.
CommandResult RenameNode(CQueuingSystem& model, uint8_t node, const std::string& name);
CommandResult RenameRequestType(CQueuingSystem& model, uint8_t type, const std::string& name);

// One press on a node in link mode: with no source chosen it chooses one (a
// sink cannot be), else it links the source to the pressed node.
struct LinkStep {
    uint8_t linkSource = kNoIndex;  // the source chosen afterwards
    bool linked = false;            // the link from the previous source was made
    Refusal refusal;
};
LinkStep LinkModePress(CQueuingSystem& model, uint8_t linkSource, uint8_t pressed);
// Nothing happens when either end names no node.
CommandResult Unlink(CQueuingSystem& model, uint8_t source, uint8_t receiver);
CommandResult MoveNode(CQueuingSystem& model, uint8_t node, int32_t x, int32_t y);
CommandResult SetRefusalSink(CQueuingSystem& model, const std::string& name);

}  // namespace edit
}  // namespace marvolt
