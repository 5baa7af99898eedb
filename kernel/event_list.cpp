#include "kernel/event_list.h"

#include "kernel/byte_ring.h"

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queuing_system.h"

namespace marvolt {

double CEventList::TimeOf(uint8_t p) const {
    return nodes[p]->NextEventTime();
}

void CEventList::Unlink(uint8_t p) {
    RingUnlink(next, prev, p);
}
void CEventList::LinkAfter(uint8_t p, uint8_t e) {
    RingLinkAfter(next, prev, p, e);
}

void CEventList::Build(uint8_t nodeCount, const std::unique_ptr<CQSObject>* nodeArray) {
    size = nodeCount;
    nonEmpty = head = tail = 0;
    nodes = nodeArray;
    next.assign(nodeCount, kNone);
    prev.assign(nodeCount, kNone);
    bool entered = false;
    for (uint8_t i = 0; i < nodeCount; ++i) {
        const CQSObject* node = nodes[i].get();
        if (node->kind != kGenerator)
            continue;
        if (static_cast<const CGenerator*>(node)->generatedTypes.empty())
            continue;
        if (!entered) {
            head = tail = i;
            next[i] = prev[i] = i;
            nonEmpty = 1;
            entered = true;
        } else {
            Add(i);
        }
    }
    if (!entered)
        return;
    for (uint8_t i = 0; i < nodeCount; ++i) {
        const CQSObject* node = nodes[i].get();
        if (node->kind == kChannel && static_cast<const CChannel*>(node)->failuresOn)
            Add(i);
    }
}

void CEventList::Clear() {
    next.clear();
    prev.clear();
    next.shrink_to_fit();
    prev.shrink_to_fit();
    size = nonEmpty = head = tail = 0;
}

void CEventList::Add(uint8_t p) {
    if (!nonEmpty) {
        // Only a list emptied by hand reaches this; a run always holds its generators.
        head = tail = p;
        next[p] = prev[p] = p;
        nonEmpty = 1;
        return;
    }
    const double t = TimeOf(p);
    uint8_t e = tail;
    if (TimeOf(e) <= t) {
        LinkAfter(p, e);
        tail = p;
        return;
    }
    do {
        e = prev[e];
    } while (e != tail && TimeOf(e) > t);
    LinkAfter(p, e);
    if (e == tail)
        head = p;  // every entry is later
}

void CEventList::Remove(uint8_t p) {
    if (next[p] == p) {
        next[p] = prev[p] = kNone;
        nonEmpty = 0;
        return;
    }
    if (p == head) {
        head = next[p];
    } else if (p == tail) {
        tail = prev[p];
    }
    Unlink(p);
    next[p] = prev[p] = kNone;
}

void CEventList::HeadChanged() {
    const uint8_t h = head;
    const double x = TimeOf(h);
    uint8_t e = tail;
    while (e != h && TimeOf(e) > x)
        e = prev[e];
    if (e == h)
        return;
    head = next[h];
    if (e == tail) {
        tail = h;  // the old head already follows the tail in the ring
        return;
    }
    Unlink(h);
    LinkAfter(h, e);
}

void CEventList::MovedEarlier(uint8_t p) {
    const double t = TimeOf(p);
    if (p == head || TimeOf(prev[p]) <= t)
        return;
    uint8_t e = prev[p];
    while (TimeOf(e) > t) {
        if (e == head) {
            // Every other entry is later: p becomes the head.
            if (p == tail) {
                tail = prev[p];
            } else {
                Unlink(p);
                LinkAfter(p, tail);
            }
            head = p;
            return;
        }
        e = prev[e];
    }
    if (p == tail)
        tail = prev[p];
    Unlink(p);
    LinkAfter(p, e);
}

}  // namespace marvolt
