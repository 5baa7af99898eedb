// The waiting requests of one priority class.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kernel/sim_time.h"

namespace marvolt {

struct QueueRequest {
    uint8_t requestType = 0;
    SimTime arrivalTime = 0;
    SimTime refusalTime = 0;  // 0: unlimited waiting
    SimTime birthTime = 0;
};

// A double-ended queue on a ring buffer: the ends are cheap, a removal or an
// insertion in the middle keeps the order of the rest, and a queue of stable
// length allocates nothing once it has grown to that length.
class RequestDeque {
  public:
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    QueueRequest& operator[](size_t i) { return buffer_[(start_ + i) & mask_]; }
    const QueueRequest& operator[](size_t i) const { return buffer_[(start_ + i) & mask_]; }
    QueueRequest& front() { return (*this)[0]; }
    QueueRequest& back() { return (*this)[size_ - 1]; }

    void push_back(const QueueRequest& r);
    void push_front(const QueueRequest& r);
    void pop_front();
    void pop_back();
    void insert(size_t position, const QueueRequest& r);  // before the element at position
    QueueRequest erase(size_t position);                  // returns the removed element
    void clear() { start_ = size_ = 0; }

  private:
    void Grow();
    std::vector<QueueRequest> buffer_;  // capacity a power of two
    size_t mask_ = 0;
    size_t start_ = 0;
    size_t size_ = 0;
};

}  // namespace marvolt
