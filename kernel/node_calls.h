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

}  // namespace marvolt::node_calls
