#include "kernel/event_list.h"

#include <algorithm>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"

namespace marvolt {

void CEventList::Rebuild() {
    for (size_t i = leaves_ - 1; i >= 1; --i) {
        const size_t c = Before(times_[2 * i + 1], orders_[2 * i + 1], times_[2 * i], orders_[2 * i])
                             ? 2 * i + 1
                             : 2 * i;
        times_[i] = times_[c];
        orders_[i] = orders_[c];
    }
}

size_t CEventList::LeafOf(uint8_t p) {
    if (leaf_[p] == kNone) {
        // A node that was not expected to have events: it gets a leaf now.
        if (usedLeaves_ == leaves_) {
            for (auto* v : {&times_, &orders_}) {
                std::vector<uint64_t> grown(4 * leaves_, kAbsent);
                std::copy(v->begin() + static_cast<std::ptrdiff_t>(leaves_), v->end(),
                          grown.begin() + static_cast<std::ptrdiff_t>(2 * leaves_));
                v->swap(grown);
            }
            leaves_ *= 2;
            Rebuild();
        }
        leaf_[p] = static_cast<uint8_t>(usedLeaves_++);
    }
    return leaves_ + leaf_[p];
}

void CEventList::Settle(size_t i, uint64_t time, uint64_t order) {
    uint64_t* const times = times_.data();
    uint64_t* const orders = orders_.data();
    times[i] = time;
    orders[i] = order;
    for (; i > 1; i >>= 1) {
        KeepEarlier(times[i ^ 1], orders[i ^ 1], time, order);
        // Placement numbers are never reused, so an equal order is the same entry.
        if (orders[i >> 1] == order)
            return;
        times[i >> 1] = time;
        orders[i >> 1] = order;
    }
}

void CEventList::Build(uint8_t nodeCount, const std::unique_ptr<CQSObject>* nodeArray) {
    size = nodeCount;
    nonEmpty = 0;
    nodes = nodeArray;
    placed_ = 0;
    count_ = 0;
    // Leaves for the nodes that can have an event: sinks never do, nor a queue
    // whose refusals are not events.
    leaf_.assign(nodeCount, kNone);
    usedLeaves_ = 0;
    for (uint8_t i = 0; i < nodeCount; ++i) {
        const CQSObject* node = nodes[i].get();
        if (node->runKind == kSink)
            continue;
        if (node->runKind == kQueue && !static_cast<const CQueue*>(node)->EventDriven())
            continue;
        leaf_[i] = static_cast<uint8_t>(usedLeaves_++);
    }
    leaves_ = std::max<size_t>(usedLeaves_, 1);
    times_.assign(2 * leaves_, kAbsent);
    orders_.assign(2 * leaves_, kAbsent);

    for (uint8_t i = 0; i < nodeCount; ++i) {
        const CQSObject* node = nodes[i].get();
        if (node->kind == kGenerator && !static_cast<const CGenerator*>(node)->generatedTypes.empty())
            Add(i);
    }
    if (count_ == 0)
        return;
    // Channels without failures and queues enter later, when they get work.
    for (uint8_t i = 0; i < nodeCount; ++i) {
        const CQSObject* node = nodes[i].get();
        if (node->kind == kChannel && static_cast<const CChannel*>(node)->failuresOn)
            Add(i);
    }
}

void CEventList::Clear() {
    for (auto* v : {&times_, &orders_}) {
        v->clear();
        v->shrink_to_fit();
    }
    leaf_.clear();
    leaf_.shrink_to_fit();
    size = nonEmpty = 0;
    leaves_ = 1;
    usedLeaves_ = count_ = 0;
    placed_ = 0;
}

void CEventList::Add(uint8_t p) {
    if (Contains(p)) {
        MovedEarlier(p);
        return;
    }
    const size_t i = LeafOf(p);
    ++count_;
    nonEmpty = 1;
    Settle(i, TimeKey(nodes[p]->nextEventTime), NextOrder(p));
}

void CEventList::Remove(uint8_t p) {
    if (!Contains(p))
        return;
    if (--count_ == 0)
        nonEmpty = 0;
    Settle(leaves_ + leaf_[p], kAbsent, kAbsent);
}

void CEventList::MovedEarlier(uint8_t p) {
    if (!Contains(p))
        return;
    const size_t i = leaves_ + leaf_[p];
    const uint64_t key = TimeKey(nodes[p]->nextEventTime);
    if (key == times_[i])
        return;  // an unchanged time keeps its place among equal ones
    // A time that grew (never from the nodes of a sane model) still finds its place.
    Settle(i, key, NextOrder(p));
}

}  // namespace marvolt
