// The future-event set: the nodes that have a pending event, ordered by the
// time each keeps in its nextEventTime field.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "kernel/sim_time.h"

namespace marvolt {

class CQSObject;

// Ordered by (time, order of placement): equal times leave in the order they
// were placed, and every placement, a re-placement included, goes behind the
// entries of equal time already there. The times are copied in when a node is
// placed, so ordering never asks a node anything.
//
// A tournament tree over the nodes that can have an event: each has a fixed
// leaf, and every inner entry holds the earlier of its two children, so the
// root is the head. A change climbs from the node's leaf to the root, one
// comparison a level and no search for the smaller child, which costs less
// than a heap's sifting at the sizes a model reaches.
class CEventList {
  public:
    static constexpr uint8_t kNone = 255;

    uint8_t size = 0;      // node positions: the model's node count at Build
    uint8_t nonEmpty = 0;  // set while the list holds an entry
    const std::unique_ptr<CQSObject>* nodes = nullptr;  // the model's node array, not owned

    void Build(uint8_t nodeCount, const std::unique_ptr<CQSObject>* nodeArray);
    void Clear();
    // The node with the earliest event; only while the list holds one.
    CQSObject* Head() const { return nodes[HeadIndex()].get(); }
    uint8_t HeadIndex() const { return static_cast<uint8_t>(tree_[1].order & 0xFF); }
    bool Contains(uint8_t p) const {
        return p < leaf_.size() && leaf_[p] != kNone && tree_[leaves_ + leaf_[p]].order != kAbsent;
    }
    size_t EntryCount() const { return count_; }

    // Enters a node at the time it keeps; one already in counts as moved earlier.
    void Add(uint8_t p);
    void Remove(uint8_t p);
    // The node's time decreased or stayed: an unchanged time keeps its place.
    void MovedEarlier(uint8_t p);
    // The head's time increased or stayed: it goes behind every entry of equal time.
    // Inline (after the node class, in queuing_system.h): every event of a
    // generator or a channel ends with it.
    void HeadChanged();

  private:
    struct Entry {
        uint64_t time;   // the time as an ordered integer, see TimeKey
        uint64_t order;  // placement number << 8 | node index; kAbsent for an empty leaf
    };
    // Past every entry, one at a NaN time included.
    static constexpr uint64_t kAbsent = ~uint64_t{0};
    static bool Before(const Entry& a, const Entry& b) {
        // One wide comparison: no branch on which of the two is earlier.
        __extension__ using Key = unsigned __int128;
        return ((Key{a.time} << 64) | a.order) < ((Key{b.time} << 64) | b.order);
    }
    // Chosen by a mask: which of two entries is earlier follows no pattern a
    // branch predictor could learn.
    static Entry Earlier(const Entry& a, Entry b) {
        const uint64_t take = uint64_t{0} - static_cast<uint64_t>(Before(a, b));
        b.time ^= (b.time ^ a.time) & take;
        b.order ^= (b.order ^ a.order) & take;
        return b;
    }
    // Orders every double, NaN included (after everything), so a time a
    // hand-made file makes NaN cannot break the order.
    static uint64_t TimeKey(SimTime t) {
        if (std::isnan(t))
            return ~uint64_t{0};
        // Adding 0 turns -0 into +0, which compares equal to it as a double does.
        const uint64_t bits = std::bit_cast<uint64_t>(t + 0.0);
        return (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
    }
    Entry Placed(uint8_t p);
    // The tree place of a node's leaf, given one first if it has none.
    size_t LeafOf(uint8_t p);
    // Sets a leaf and the entries above it, up to the first that stays as it was.
    void Settle(size_t i, Entry e);
    // Sets a leaf and every entry up to the root: the head's re-placement.
    static void Climb(Entry* tree, size_t i, Entry e) {
        tree[i] = e;
        for (; i > 1; i >>= 1) {
            e = Earlier(tree[i ^ 1], e);
            tree[i >> 1] = e;
        }
    }
    void Rebuild();

    std::vector<Entry> tree_;     // [1] the root, [leaves_, 2 leaves_) the leaves
    std::vector<uint8_t> leaf_;   // per node position: its leaf, kNone when it has none
    size_t leaves_ = 1;           // a power of two
    size_t usedLeaves_ = 0;
    size_t count_ = 0;
    uint64_t placed_ = 0;
};

}  // namespace marvolt
