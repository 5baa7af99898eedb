#include "kernel/event_list.h"

#include <algorithm>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"

namespace marvolt {

void CEventList::Rebuild() {
    uint64_t* const tree = tree_.data();
    for (size_t i = leaves_ - 1; i >= 1; --i) {
        const size_t l = 4 * i;
        const size_t r = l + 2;
        const size_t c = Before(tree[r], tree[r + 1], tree[l], tree[l + 1]) ? r : l;
        tree[2 * i] = tree[c];
        tree[2 * i + 1] = tree[c + 1];
    }
}

size_t CEventList::LeafOf(uint8_t p) {
    if (leafAt_[p] == 0) {
        // A node that was not expected to have events: it gets a leaf now.
        if (usedLeaves_ == leaves_) {
            std::vector<uint64_t> grown(8 * leaves_, kAbsent);
            std::copy(tree_.begin() + static_cast<std::ptrdiff_t>(2 * leaves_), tree_.end(),
                      grown.begin() + static_cast<std::ptrdiff_t>(4 * leaves_));
            tree_.swap(grown);
            for (uint16_t& at : leafAt_) {
                if (at != 0)
                    at = static_cast<uint16_t>(at + 2 * leaves_);
            }
            leaves_ *= 2;
            Rebuild();
        }
        leafAt_[p] = static_cast<uint16_t>(2 * (leaves_ + usedLeaves_++));
    }
    return leafAt_[p];
}

void CEventList::Settle(size_t j, uint64_t time, uint64_t order) {
    uint64_t* const tree = tree_.data();
    tree[j] = time;
    tree[j + 1] = order;
    while (j > kRoot) {
        const size_t s = Sibling(j);
        KeepEarlier(tree[s], tree[s + 1], time, order);
        j = Parent(j);
        // Placement numbers are never reused, so an equal order is the same entry.
        if (tree[j + 1] == order)
            return;
        tree[j] = time;
        tree[j + 1] = order;
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
    auto hasEvents = [this](uint8_t i) {
        const CQSObject* node = nodes[i].get();
        return node->runKind != kSink &&
               (node->runKind != kQueue || static_cast<const CQueue*>(node)->EventDriven());
    };
    usedLeaves_ = 0;
    for (uint8_t i = 0; i < nodeCount; ++i)
        usedLeaves_ += hasEvents(i);
    leaves_ = std::max<size_t>(usedLeaves_, 1);
    tree_.assign(4 * leaves_, kAbsent);
    std::fill(std::begin(leafAt_), std::end(leafAt_), uint16_t{0});
    usedLeaves_ = 0;
    for (uint8_t i = 0; i < nodeCount; ++i) {
        if (hasEvents(i))
            leafAt_[i] = static_cast<uint16_t>(2 * (leaves_ + usedLeaves_++));
    }

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
    std::vector<uint64_t>(4, kAbsent).swap(tree_);
    std::fill(std::begin(leafAt_), std::end(leafAt_), uint16_t{0});
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
    Settle(leafAt_[p], kAbsent, kAbsent);
}

void CEventList::MovedEarlier(uint8_t p) {
    if (!Contains(p))
        return;
    const size_t i = leafAt_[p];
    const uint64_t key = TimeKey(nodes[p]->nextEventTime);
    if (key == tree_[i])
        return;  // an unchanged time keeps its place among equal ones
    // A time that grew (never from the nodes of a sane model) still finds its place.
    Settle(i, key, NextOrder(p));
}

}  // namespace marvolt
