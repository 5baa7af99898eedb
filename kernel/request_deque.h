// The waiting requests of one priority class.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "kernel/sim_time.h"

namespace marvolt {

struct QueueRequest {
    uint8_t requestType = 0;
    SimTime arrivalTime = 0;
    SimTime birthTime = 0;
    // The waiting time the request is allowed; meaningless without a waiting limit.
    float allowance = 0.0f;

    SimTime RefusalTime() const { return arrivalTime + allowance; }
};

// How much waiting the requests of a deque are allowed.
struct Allowance {
    bool perRequest = false;  // each request carries its own (a random limit)
    float fixed = 0.0f;       // otherwise every request has this one
};

// A double-ended queue of waiting requests in blocks: the ends are cheap, a
// removal or an insertion in the middle keeps the order of the rest, and
// growing never copies the requests already held, so a long queue costs
// little more than what its requests carry.
//
// A request keeps only its type byte and birth time, and besides them what it
// cannot share: its arrival time once some arrival differs from its birth
// (a request that comes straight from its generator arrives when it is born),
// and its allowance only when each request draws its own.
class RequestDeque {
  public:
    explicit RequestDeque(Allowance allowance = {});
    RequestDeque(const RequestDeque& other);
    RequestDeque& operator=(const RequestDeque& other);
    RequestDeque(RequestDeque&&) noexcept = default;
    RequestDeque& operator=(RequestDeque&&) noexcept = default;
    ~RequestDeque();

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    QueueRequest operator[](size_t i) const {
        const Place p = Locate(i);
        QueueRequest r;
        r.requestType = p.block->type[p.offset];
        r.birthTime = p.block->birth[p.offset];
        r.arrivalTime = arrivals_ ? p.block->arrival[p.offset] : r.birthTime;
        r.allowance = allowance_.perRequest ? p.block->allowance[p.offset] : allowance_.fixed;
        return r;
    }
    uint8_t Type(size_t i) const {
        const Place p = Locate(i);
        return p.block->type[p.offset];
    }
    SimTime RefusalTime(size_t i) const {
        const Place p = Locate(i);
        const SimTime arrival = arrivals_ ? p.block->arrival[p.offset] : p.block->birth[p.offset];
        return arrival + (allowance_.perRequest ? p.block->allowance[p.offset] : allowance_.fixed);
    }
    void Set(size_t i, const QueueRequest& r) {
        if (!arrivals_ && !SameTime(r.arrivalTime, r.birthTime))
            KeepArrivals();
        const Place p = Locate(i);
        p.block->type[p.offset] = r.requestType;
        p.block->birth[p.offset] = r.birthTime;
        if (arrivals_)
            p.block->arrival[p.offset] = r.arrivalTime;
        if (allowance_.perRequest)
            p.block->allowance[p.offset] = r.allowance;
    }
    QueueRequest front() const { return (*this)[0]; }
    QueueRequest back() const { return (*this)[size_ - 1]; }

    // The ends inline: a queue's every request passes them.
    void push_back(const QueueRequest& r) {
        if (first_ + size_ == liveBlocks_ * kBlockSize)
            AddBlockAtBack();
        ++size_;
        Set(size_ - 1, r);
    }
    void push_front(const QueueRequest& r);
    void pop_front() {
        ++first_;
        --size_;
        if (size_ == 0) {
            Emptied();
        } else if (first_ == kBlockSize) {
            DropFrontBlock();
        }
    }
    void pop_back();
    void insert(size_t position, const QueueRequest& r);  // before the element at position
    // Returns the removed element; the front, the usual one, inline.
    QueueRequest erase(size_t position) {
        if (position != 0)
            return EraseInside(position);
        const QueueRequest removed = front();
        pop_front();
        return removed;
    }
    void clear();

    static constexpr size_t kBlockShift = 9;
    static constexpr size_t kBlockSize = size_t{1} << kBlockShift;

  private:
    struct Block {
        SimTime birth[kBlockSize];
        uint8_t type[kBlockSize];
        std::unique_ptr<SimTime[]> arrival;  // once some arrival differs from its birth
        std::unique_ptr<float[]> allowance;  // with an allowance per request
    };
    struct Place {
        Block* block;
        size_t offset;
    };
    Place Locate(size_t i) const {
        const size_t g = first_ + i;
        // Most queues are short: the first block, without a look at the block map.
        if (g < kBlockSize)
            return {front_, g};
        return {Slot(g >> kBlockShift).get(), g & (kBlockSize - 1)};
    }
    // The slot of the j-th live block.
    std::unique_ptr<Block>& Slot(size_t j) { return blocks_[(head_ + j) & mask_]; }
    const std::unique_ptr<Block>& Slot(size_t j) const { return blocks_[(head_ + j) & mask_]; }
    std::unique_ptr<Block> TakeBlock();
    void GiveBack(std::unique_ptr<Block> b);
    void AddBlockAtBack();
    void DropFrontBlock();
    QueueRequest EraseInside(size_t position);
    // Bit for bit, so that an arrival kept as its birth time reads back exactly.
    static bool SameTime(SimTime a, SimTime b) {
        return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
    }
    // A deque that became empty keeps its one block live, so that a queue
    // that empties and fills again, the usual case, touches no block list;
    // that block serves as the spare, so an empty deque holds no more than before.
    void Emptied() {
        if (liveBlocks_ == 1) {
            first_ = 0;
            if (spare_)
                spare_.reset();
        } else {
            clear();
        }
    }
    void AddBlockAtFront();
    void GrowMap();
    void KeepArrivals();

    // A ring of block slots, its size a power of two; the live blocks are the
    // liveBlocks_ slots from head_ on, and the front request sits at first_
    // within the first of them.
    std::vector<std::unique_ptr<Block>> blocks_;
    size_t mask_ = 0;  // the size of blocks_ less one
    size_t head_ = 0;
    size_t liveBlocks_ = 0;
    size_t first_ = 0;
    size_t size_ = 0;
    // The first live block, null while there is none.
    Block* front_ = nullptr;
    // The block last emptied, kept so a queue of stable length allocates nothing.
    std::unique_ptr<Block> spare_;
    Allowance allowance_;
    bool arrivals_ = false;  // the blocks keep arrival times
};

}  // namespace marvolt
