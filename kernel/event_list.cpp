#include "kernel/event_list.h"

#include <bit>
#include <cmath>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queuing_system.h"

namespace marvolt {

uint64_t CEventList::TimeKey(SimTime t) {
    if (std::isnan(t))
        return ~uint64_t{0};
    // Adding 0 turns -0 into +0, which compares equal to it as a double does.
    const uint64_t bits = std::bit_cast<uint64_t>(t + 0.0);
    return (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
}

CEventList::Entry CEventList::Placed(uint8_t p) {
    return Entry{TimeKey(nodes[p]->nextEventTime), (++placed_ << 8) | p};
}

void CEventList::SiftUp(size_t i) {
    const Entry e = heap_[i];
    while (i > 0) {
        const size_t parent = (i - 1) / 2;
        if (!Before(e, heap_[parent]))
            break;
        Put(i, heap_[parent]);
        i = parent;
    }
    Put(i, e);
}

void CEventList::SiftDown(size_t i) {
    const Entry e = heap_[i];
    const size_t n = heap_.size();
    for (;;) {
        size_t child = 2 * i + 1;
        if (child >= n)
            break;
        if (child + 1 < n && Before(heap_[child + 1], heap_[child]))
            ++child;
        if (!Before(heap_[child], e))
            break;
        Put(i, heap_[child]);
        i = child;
    }
    Put(i, e);
}

void CEventList::Build(uint8_t nodeCount, const std::unique_ptr<CQSObject>* nodeArray) {
    size = nodeCount;
    nonEmpty = 0;
    nodes = nodeArray;
    placed_ = 0;
    heap_.clear();
    heap_.reserve(nodeCount);
    position_.assign(nodeCount, kNone);
    for (uint8_t i = 0; i < nodeCount; ++i) {
        const CQSObject* node = nodes[i].get();
        if (node->kind == kGenerator && !static_cast<const CGenerator*>(node)->generatedTypes.empty())
            Add(i);
    }
    if (heap_.empty())
        return;
    // Channels without failures and queues enter later, when they get work.
    for (uint8_t i = 0; i < nodeCount; ++i) {
        const CQSObject* node = nodes[i].get();
        if (node->kind == kChannel && static_cast<const CChannel*>(node)->failuresOn)
            Add(i);
    }
}

void CEventList::Clear() {
    heap_.clear();
    heap_.shrink_to_fit();
    position_.clear();
    position_.shrink_to_fit();
    size = nonEmpty = 0;
    placed_ = 0;
}

void CEventList::Add(uint8_t p) {
    if (Contains(p)) {
        MovedEarlier(p);
        return;
    }
    nonEmpty = 1;
    heap_.push_back(Placed(p));
    SiftUp(heap_.size() - 1);
}

void CEventList::Remove(uint8_t p) {
    if (!Contains(p))
        return;
    const size_t i = position_[p];
    position_[p] = kNone;
    const Entry last = heap_.back();
    heap_.pop_back();
    if (i == heap_.size()) {
        if (heap_.empty())
            nonEmpty = 0;
        return;
    }
    const bool up = Before(last, heap_[i]);
    Put(i, last);
    if (up) {
        SiftUp(i);
    } else {
        SiftDown(i);
    }
}

void CEventList::MovedEarlier(uint8_t p) {
    if (!Contains(p))
        return;
    const size_t i = position_[p];
    const uint64_t key = TimeKey(nodes[p]->nextEventTime);
    if (key == heap_[i].time)
        return;  // an unchanged time keeps its place among equal ones
    const bool later = key > heap_[i].time;
    heap_[i] = Entry{key, (++placed_ << 8) | p};
    // A time that grew (never from the nodes of a sane model) still finds its place.
    if (later) {
        SiftDown(i);
    } else {
        SiftUp(i);
    }
}

void CEventList::HeadChanged() {
    if (heap_.empty())
        return;
    const uint8_t h = HeadIndex();
    const uint64_t key = TimeKey(nodes[h]->nextEventTime);
    const bool earlier = key < heap_[0].time;
    heap_[0] = Entry{key, (++placed_ << 8) | h};
    if (!earlier)
        SiftDown(0);
}

}  // namespace marvolt
