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

// A binary heap keyed by (time, order of placement): equal times leave in the
// order they were placed, and every placement, a re-placement included, goes
// behind the entries of equal time already there. Its cost grows as the
// logarithm of the number of entries. The times are copied in when a node is
// placed, so ordering never asks a node anything.
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
    uint8_t HeadIndex() const { return static_cast<uint8_t>(heap_[0].order & 0xFF); }
    bool Contains(uint8_t p) const { return p < position_.size() && position_[p] != kNone; }
    size_t EntryCount() const { return heap_.size(); }

    // Enters a node at the time it keeps; one already in counts as moved earlier.
    void Add(uint8_t p);
    void Remove(uint8_t p);
    // The node's time decreased or stayed: an unchanged time keeps its place.
    void MovedEarlier(uint8_t p);
    // The head's time increased or stayed: it goes behind every entry of equal time.
    // Inline (after the node class, in queuing_system.h): every event of a
    // generator or a channel ends with it.
    void HeadChanged();

    // The placements made so far; the last one numbers the latest entry.
    uint64_t Placements() const { return placed_; }
    // Orders every double, NaN included (after everything), so a time a
    // hand-made file makes NaN cannot break the heap.
    static uint64_t TimeKey(SimTime t) {
        if (std::isnan(t))
            return ~uint64_t{0};
        // Adding 0 turns -0 into +0, which compares equal to it as a double does.
        const uint64_t bits = std::bit_cast<uint64_t>(t + 0.0);
        return (bits >> 63) ? ~bits : bits | (uint64_t{1} << 63);
    }

  private:
    struct Entry {
        uint64_t time;   // the time as an ordered integer, see TimeKey
        uint64_t order;  // placement number << 8 | node index
    };
    static bool Before(const Entry& a, const Entry& b) {
        return a.time < b.time || (a.time == b.time && a.order < b.order);
    }
    Entry Placed(uint8_t p);
    void SiftUp(size_t i);
    void SiftDown(size_t i);
    static void PutAt(Entry* heap, uint8_t* position, size_t i, const Entry& e) {
        heap[i] = e;
        position[e.order & 0xFF] = static_cast<uint8_t>(i);
    }

    std::vector<Entry> heap_;
    std::vector<uint8_t> position_;  // per node position: its place in heap_, kNone when out
    uint64_t placed_ = 0;
};

}  // namespace marvolt
