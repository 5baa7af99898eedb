// What a command changed in the current model, so that the main window can
// bring its tree, its refusal-sink list and its scheme in step in one place.
#pragma once

#include "kernel/queuing_system.h"

namespace marvolt {

enum class ModelChange {
    // Another model altogether (new or opened): the tree is built afresh with
    // every category open, the description field shows the model's
    // description, the picture grows to hold the nodes and scrolls home, and
    // every node index the editor holds is forgotten.
    kReplaced,
    // The model put back by undo or redo: like kReplaced, but the categories
    // stay open or closed as they were and the picture keeps its scrolling.
    kRestored,
    // Nodes added, renamed or otherwise edited: tree, refusal-sink list and
    // the whole scheme.
    kNodes,
    // Like kNodes after a node was put down on the scheme, which has drawn it
    // already: the picture is left as it is.
    kNodePlaced,
    // A node deleted: like kNodes, and the node indices the editor holds
    // (grabbed node, chosen link source, menu node) are forgotten, since the
    // nodes after it have moved down one place.
    kNodeRemoved,
    // Request types added, deleted or renamed: the tree only.
    kRequestTypes,
    // Positions, links or reserve channels: the scheme only.
    kScheme,
    // A link made on the scheme, which has drawn it already: nothing to redo.
    kLinkDrawn,
};

// The tree entry a change selects: a node or else a request type of the
// current model. Neither keeps the selection where it is.
struct TreeSelection {
    const CQSObject* node = nullptr;
    const CRequestType* type = nullptr;
};

}  // namespace marvolt
