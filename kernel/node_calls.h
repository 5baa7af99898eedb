// The node operations as the run's hot path calls them: the kernel's own node
// kinds directly, so the calls inline, and any other node through its slots.
#pragma once

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"

namespace marvolt::node_calls {

inline void ProcessEvent(CQSObject* n) {
    switch (n->runKind) {
        case kGenerator:
            static_cast<CGenerator*>(n)->ProcessEvent();
            return;
        case kChannel:
            static_cast<CChannel*>(n)->ProcessEvent();
            return;
        case kQueue:
            static_cast<CQueue*>(n)->ProcessEvent();
            return;
        default:
            n->ProcessEvent();
            return;
    }
}

inline void Accept(CQSObject* n, uint8_t type, SimTime birthTime) {
    switch (n->runKind) {
        case kChannel:
            static_cast<CChannel*>(n)->Accept(type, birthTime);
            return;
        case kQueue:
            static_cast<CQueue*>(n)->Accept(type, birthTime);
            return;
        case kSink:
            static_cast<CDispose*>(n)->Accept(type, birthTime);
            return;
        default:
            n->Accept(type, birthTime);
            return;
    }
}

inline bool CanAccept(CQSObject* n, uint8_t type) {
    switch (n->runKind) {
        case kGenerator:
            return false;
        case kChannel:
            return static_cast<CChannel*>(n)->CanAccept(type);
        case kQueue:
            return static_cast<CQueue*>(n)->CanAccept(type);
        case kSink:
            return true;
        default:
            return n->CanAccept(type);
    }
}

inline bool HasRequestFor(CQSObject* n, const uint8_t* mask) {
    switch (n->runKind) {
        case kQueue:
            return static_cast<CQueue*>(n)->HasRequestFor(mask);
        case kGenerator:
        case kChannel:
        case kSink:
            return false;
        default:
            return n->HasRequestFor(mask);
    }
}

inline uint32_t HeldCount(const CQSObject* n) {
    switch (n->runKind) {
        case kChannel:
            return static_cast<const CChannel*>(n)->HeldCount();
        case kQueue:
            return static_cast<const CQueue*>(n)->HeldCount();
        case kGenerator:
        case kSink:
            return 0;
        default:
            return n->HeldCount();
    }
}

// The receiver a request of this type goes to, or null when none qualifies.
inline CQSObject* Receiver(CQSObject* from, uint8_t type) {
    if (CQSObject* r = from->soleReceiver)
        return CanAccept(r, type) ? r : nullptr;
    const uint8_t r = from->ChooseReceiver(type);
    return r != kNoIndex ? from->owner->Node(r) : nullptr;
}

// Hands a request to a node within the bound on instant hand-overs; past the
// bound the request is refused instead and the answer is false.
inline bool HandOver(CQueuingSystem& m, CQSObject* receiver, uint8_t type, SimTime birthTime) {
    if (m.handOverDepth >= CQueuingSystem::kHandOverLimit) {
        // An instant cycle: the request would be passed round for ever.
        ++m.cycleRefusals;
        m.Refuse(type, birthTime);
        return false;
    }
    ++m.handOverDepth;
    Accept(receiver, type, birthTime);
    --m.handOverDepth;
    return true;
}

// Routes a request on: to the chosen receiver, else to the refusal sink.
inline void PassOn(CQSObject* from, uint8_t type, SimTime birthTime) {
    if (CQSObject* r = Receiver(from, type)) {
        HandOver(*from->owner, r, type, birthTime);
    } else {
        from->owner->Refuse(type, birthTime);
    }
}

}  // namespace marvolt::node_calls
