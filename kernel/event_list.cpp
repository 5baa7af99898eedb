#include "kernel/event_list.h"

#include <algorithm>
#include <new>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"

namespace marvolt {

void CEventList::FreeAligned::operator()(uint64_t* p) const {
    ::operator delete[](p, std::align_val_t{64});
}

std::unique_ptr<uint64_t[], CEventList::FreeAligned> CEventList::Allocate(size_t leaves) {
    // Whole cache lines, the last group of children included.
    const size_t words = (2 * ((leaves - 1) / 3 + leaves + 3) + 7) & ~size_t{7};
    std::unique_ptr<uint64_t[], FreeAligned> tree(
        static_cast<uint64_t*>(::operator new[](words * sizeof(uint64_t), std::align_val_t{64})));
    std::fill(tree.get(), tree.get() + words, kAbsent);
    return tree;
}

CEventList::CEventList() : tree_(Allocate(1)) {}

CEventList::~CEventList() = default;

void CEventList::Rebuild() {
    uint64_t* const tree = tree_.get();
    for (size_t k = (leaves_ - 1) / 3; k-- > 0;) {
        const size_t first = 8 * (k + 1);  // the word place of child 4k + 1
        uint64_t time = tree[first];
        uint64_t order = tree[first + 1];
        KeepEarliestOfGroup(tree, first, time, order);
        tree[2 * (k + 3)] = time;
        tree[2 * (k + 3) + 1] = order;
    }
}

size_t CEventList::LeafOf(uint8_t p) {
    if (leafAt_[p] == 0) {
        // A node that was not expected to have events: it gets a leaf now.
        if (usedLeaves_ == leaves_) {
            const size_t from = LeafPlace(0);
            std::unique_ptr<uint64_t[], FreeAligned> grown = Allocate(3 * leaves_ + 1);
            const size_t to = 2 * (leaves_ + 3);  // leaf 0 of 3 leaves_ + 1
            std::copy(tree_.get() + from, tree_.get() + from + 2 * leaves_, grown.get() + to);
            for (uint16_t& at : leafAt_) {
                if (at != 0)
                    at = static_cast<uint16_t>(at - from + to);
            }
            tree_ = std::move(grown);
            leaves_ = 3 * leaves_ + 1;
            Rebuild();
        }
        leafAt_[p] = static_cast<uint16_t>(LeafPlace(usedLeaves_++));
    }
    return leafAt_[p];
}

void CEventList::Settle(size_t w, uint64_t time, uint64_t order) {
    uint64_t* const tree = tree_.get();
    tree[w] = time;
    tree[w + 1] = order;
    while (w > kRoot) {
        KeepEarliestOfGroup(tree, w, time, order);
        w = Parent(w);
        // Placement numbers are never reused, so an equal order is the same entry.
        if (tree[w + 1] == order)
            return;
        tree[w] = time;
        tree[w + 1] = order;
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
    leaves_ += (3 - (leaves_ - 1) % 3) % 3;
    tree_ = Allocate(leaves_);
    std::fill(std::begin(leafAt_), std::end(leafAt_), uint16_t{0});
    usedLeaves_ = 0;
    for (uint8_t i = 0; i < nodeCount; ++i) {
        if (hasEvents(i))
            leafAt_[i] = static_cast<uint16_t>(LeafPlace(usedLeaves_++));
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
    std::fill(std::begin(leafAt_), std::end(leafAt_), uint16_t{0});
    size = nonEmpty = 0;
    leaves_ = 1;
    tree_ = Allocate(leaves_);
    usedLeaves_ = count_ = 0;
    placed_ = 0;
}

void CEventList::Add(uint8_t p) {
    AddAt(p, nodes[p]->nextEventTime);
}

void CEventList::AddAt(uint8_t p, SimTime t) {
    if (Contains(p)) {
        MovedEarlierTo(p, t);
        return;
    }
    const size_t i = LeafOf(p);
    ++count_;
    nonEmpty = 1;
    Settle(i, TimeKey(t), NextOrder(p));
}

void CEventList::Remove(uint8_t p) {
    if (!Contains(p))
        return;
    if (--count_ == 0)
        nonEmpty = 0;
    Settle(leafAt_[p], kAbsent, kAbsent);
}

void CEventList::MovedEarlier(uint8_t p) {
    MovedEarlierTo(p, nodes[p]->nextEventTime);
}

void CEventList::MovedEarlierTo(uint8_t p, SimTime t) {
    if (!Contains(p))
        return;
    const size_t i = leafAt_[p];
    const uint64_t key = TimeKey(t);
    if (key == tree_[i])
        return;  // an unchanged time keeps its place among equal ones
    // A time that grew (never from the nodes of a sane model) still finds its place.
    Settle(i, key, NextOrder(p));
}

}  // namespace marvolt
