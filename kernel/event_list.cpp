#include "kernel/event_list.h"

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queuing_system.h"

namespace marvolt {

CEventList::Entry CEventList::Placed(uint8_t p) {
    return Entry{TimeKey(nodes[p]->nextEventTime), (++placed_ << 8) | p};
}

// The loops work on raw pointers: a store through the byte array of places
// could otherwise alias the vectors' own pointers and force their reload.
void CEventList::SiftUp(size_t i) {
    Entry* const heap = heap_.data();
    uint8_t* const position = position_.data();
    const Entry e = heap[i];
    while (i > 0) {
        const size_t parent = (i - 1) / 2;
        const Entry above = heap[parent];
        if (!Before(e, above))
            break;
        PutAt(heap, position, i, above);
        i = parent;
    }
    PutAt(heap, position, i, e);
}

void CEventList::SiftDown(size_t i) {
    Entry* const heap = heap_.data();
    uint8_t* const position = position_.data();
    const size_t n = heap_.size();
    const Entry e = heap[i];
    for (;;) {
        size_t child = 2 * i + 1;
        if (child >= n)
            break;
        Entry below = heap[child];
        if (child + 1 < n && Before(heap[child + 1], below)) {
            ++child;
            below = heap[child];
        }
        if (!Before(below, e))
            break;
        PutAt(heap, position, i, below);
        i = child;
    }
    PutAt(heap, position, i, e);
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
    PutAt(heap_.data(), position_.data(), i, last);
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

}  // namespace marvolt
