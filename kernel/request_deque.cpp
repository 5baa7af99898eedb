#include "kernel/request_deque.h"

namespace marvolt {

namespace {
constexpr size_t kFirstCapacity = 8;
}

void RequestDeque::Grow() {
    const size_t capacity = buffer_.empty() ? kFirstCapacity : buffer_.size() * 2;
    std::vector<QueueRequest> grown(capacity);
    for (size_t i = 0; i < size_; ++i)
        grown[i] = (*this)[i];
    buffer_.swap(grown);
    mask_ = capacity - 1;
    start_ = 0;
}

void RequestDeque::push_back(const QueueRequest& r) {
    if (size_ == buffer_.size())
        Grow();
    buffer_[(start_ + size_) & mask_] = r;
    ++size_;
}

void RequestDeque::push_front(const QueueRequest& r) {
    if (size_ == buffer_.size())
        Grow();
    start_ = (start_ - 1) & mask_;
    buffer_[start_] = r;
    ++size_;
}

void RequestDeque::pop_front() {
    start_ = (start_ + 1) & mask_;
    --size_;
}

void RequestDeque::pop_back() {
    --size_;
}

void RequestDeque::insert(size_t position, const QueueRequest& r) {
    if (size_ == buffer_.size())
        Grow();
    // Move whichever side is shorter.
    if (position < size_ / 2) {
        start_ = (start_ - 1) & mask_;
        for (size_t i = 0; i < position; ++i)
            (*this)[i] = (*this)[i + 1];
    } else {
        for (size_t i = size_; i > position; --i)
            (*this)[i] = (*this)[i - 1];
    }
    (*this)[position] = r;
    ++size_;
}

QueueRequest RequestDeque::erase(size_t position) {
    const QueueRequest removed = (*this)[position];
    if (position < size_ / 2) {
        for (size_t i = position; i > 0; --i)
            (*this)[i] = (*this)[i - 1];
        start_ = (start_ + 1) & mask_;
    } else {
        for (size_t i = position; i + 1 < size_; ++i)
            (*this)[i] = (*this)[i + 1];
    }
    --size_;
    return removed;
}

}  // namespace marvolt
