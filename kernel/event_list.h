// The future-event set: the nodes that have a pending event, ordered by the
// time each keeps in its nextEventTime field.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>

#include "kernel/sim_time.h"

namespace marvolt {

class CQSObject;

// Ordered by (time, order of placement): equal times leave in the order they
// were placed, and every placement, a re-placement included, goes behind the
// entries of equal time already there. The times are copied in when a node is
// placed, so ordering never asks a node anything.
//
// A tournament tree over the nodes that can have an event: each has a fixed
// leaf, and every inner entry holds the earliest of its four children, so the
// root is the head. A change climbs from the node's leaf to the root, which
// costs less than a heap's sifting at the sizes a model reaches. Four children
// to an entry, side by side in one cache line, halve the levels of two: the
// three siblings are compared among themselves while the climb is still below,
// so a level waits for one comparison only.
class CEventList {
  public:
    uint8_t size = 0;      // node positions: the model's node count at Build
    uint8_t nonEmpty = 0;  // set while the list holds an entry
    const std::unique_ptr<CQSObject>* nodes = nullptr;  // the model's node array, not owned

    CEventList();
    ~CEventList();
    CEventList(const CEventList&) = delete;
    CEventList& operator=(const CEventList&) = delete;

    void Build(uint8_t nodeCount, const std::unique_ptr<CQSObject>* nodeArray);
    void Clear();
    // The node with the earliest event; only while the list holds one.
    CQSObject* Head() const { return nodes[HeadIndex()].get(); }
    uint8_t HeadIndex() const { return static_cast<uint8_t>(tree_[kRoot + 1] & 0xFF); }
    // A node without a leaf points at entry 0, which is always absent.
    bool Contains(uint8_t p) const { return tree_[leafAt_[p] + 1] != kAbsent; }
    size_t EntryCount() const { return count_; }

    // Enters a node at the time it keeps; one already in counts as moved earlier.
    void Add(uint8_t p);
    // Add with the time given, for a loop that keeps the nodes' times itself.
    void AddAt(uint8_t p, SimTime t);
    void Remove(uint8_t p);
    // The node's time decreased or stayed: an unchanged time keeps its place.
    void MovedEarlier(uint8_t p);
    // The head's time increased or stayed: it goes behind every entry of equal time.
    // Inline (after the node class, in queuing_system.h): every event of a
    // generator or a channel ends with it.
    void HeadChanged();
    // HeadChanged with the head's time given; only while the list holds an entry.
    void HeadChangedTo(SimTime t) {
        const uint8_t h = HeadIndex();
        Climb(tree_.get(), leafAt_[h], TimeKey(t), NextOrder(h));
    }

    // The placements made so far; the last one numbers the latest entry.
    uint64_t Placements() const { return placed_; }
    // Orders every double, NaN included (after everything), so a time a
    // hand-made file makes NaN cannot break the order.
    static uint64_t TimeKey(SimTime t) {
        if (std::isnan(t))
            return ~uint64_t{0};
        // Adding 0 turns -0 into +0, which compares equal to it as a double does.
        const uint64_t bits = std::bit_cast<uint64_t>(t + 0.0);
        // A negative time has all its bits flipped, any other only its sign bit.
        const uint64_t sign = static_cast<uint64_t>(static_cast<int64_t>(bits) >> 63);
        return bits ^ (sign | (uint64_t{1} << 63));
    }

  private:
    // Past every entry, one at a NaN time included.
    static constexpr uint64_t kAbsent = ~uint64_t{0};
    // An entry is a pair of words, its time and its order. Entry k of the tree
    // (0 the root, 4k + 1 to 4k + 4 the children of k) is kept at entry k + 3,
    // so that the four children of one entry start a cache line; places below
    // count words.
    static constexpr size_t kRoot = 6;
    static size_t Parent(size_t w) { return ((w >> 2) & ~size_t{1}) + 4; }
    struct FreeAligned {
        void operator()(uint64_t* p) const;
    };
    // Words for leaves leaves (every entry then has four children), all absent.
    static std::unique_ptr<uint64_t[], FreeAligned> Allocate(size_t leaves);
    // The word place of leaf k.
    size_t LeafPlace(size_t k) const { return 2 * ((leaves_ - 1) / 3 + k + 3); }
    // (time, order) becomes the earliest of itself and the three other
    // children of the entry at place w.
    static void KeepEarliestOfGroup(const uint64_t* tree, size_t w, uint64_t& time,
                                    uint64_t& order) {
        uint64_t t = tree[w ^ 2];
        uint64_t o = tree[(w ^ 2) + 1];
        KeepEarlier(tree[w ^ 4], tree[(w ^ 4) + 1], t, o);
        KeepEarlier(tree[w ^ 6], tree[(w ^ 6) + 1], t, o);
        KeepEarlier(t, o, time, order);
    }
    // Whether the entry (time a, order p) comes before (time b, order q); one wide
    // comparison, which compiles to no branch on which of the two is earlier.
    static bool Before(uint64_t a, uint64_t p, uint64_t b, uint64_t q) {
        __extension__ using Key = unsigned __int128;
        return ((Key{a} << 64) | p) < ((Key{b} << 64) | q);
    }
    uint64_t NextOrder(uint8_t p) { return (++placed_ << 8) | p; }
    // The tree place of a node's leaf, given one first if it has none.
    size_t LeafOf(uint8_t p);
    // Sets a leaf and the entries above it, up to the first that stays as it was.
    void Settle(size_t w, uint64_t time, uint64_t order);
    // (time, order) becomes the earlier of itself and (t, o), without a branch:
    // which one it is follows no pattern a branch predictor could learn.
    static void KeepEarlier(uint64_t t, uint64_t o, uint64_t& time, uint64_t& order) {
#if defined(__x86_64__)
        // The borrow of (t, o) - (time, order) picks by conditional moves, which
        // the compiler would otherwise turn into a branch or a longer mask select.
        uint64_t scratch;
        asm("mov %[t], %[scratch]\n\t"
            "cmp %[order], %[o]\n\t"
            "sbb %[time], %[scratch]\n\t"
            "cmovc %[t], %[time]\n\t"
            "cmovc %[o], %[order]"
            : [time] "+r"(time), [order] "+r"(order), [scratch] "=&r"(scratch)
            : [t] "r"(t), [o] "r"(o)
            : "cc");
#else
        const uint64_t take = uint64_t{0} - static_cast<uint64_t>(Before(t, o, time, order));
        time ^= (time ^ t) & take;
        order ^= (order ^ o) & take;
#endif
    }
    // Sets a leaf and every entry up to the root: the head's re-placement.
    static void Climb(uint64_t* tree, size_t w, uint64_t time, uint64_t order) {
        tree[w] = time;
        tree[w + 1] = order;
        while (w > kRoot) {
            KeepEarliestOfGroup(tree, w, time, order);
            w = Parent(w);
            tree[w] = time;
            tree[w + 1] = order;
        }
    }
    void Rebuild();
    void MovedEarlierTo(uint8_t p, SimTime t);

    // Entries 0 to 2 are always absent; an entry's order is its placement
    // number << 8 | node index, kAbsent for an empty leaf.
    std::unique_ptr<uint64_t[], FreeAligned> tree_;
    // Per node position: the word place of its leaf, 0 while it has none.
    uint16_t leafAt_[256] = {};
    // One more than a multiple of three, so that every inner entry has four
    // children; the ones past the nodes stay absent.
    size_t leaves_ = 1;
    size_t usedLeaves_ = 0;
    size_t count_ = 0;
    uint64_t placed_ = 0;
};

}  // namespace marvolt
