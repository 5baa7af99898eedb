#include "kernel/request_deque.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace marvolt {

RequestDeque::RequestDeque(Allowance allowance) : allowance_(allowance) {}

RequestDeque::RequestDeque(const RequestDeque& other) : allowance_(other.allowance_) {
    for (size_t i = 0; i < other.size(); ++i)
        push_back(other[i]);
}

RequestDeque& RequestDeque::operator=(const RequestDeque& other) {
    if (this != &other) {
        RequestDeque copy(other);
        *this = std::move(copy);
    }
    return *this;
}

RequestDeque::~RequestDeque() = default;


void RequestDeque::KeepArrivals() {
    // Until now every arrival was its birth: the births are the arrivals.
    arrivals_ = true;
    for (size_t j = 0; j < liveBlocks_; ++j) {
        Block& b = *Slot(j);
        if (!b.arrival)
            b.arrival = std::make_unique<SimTime[]>(kBlockSize);
        std::copy(std::begin(b.birth), std::end(b.birth), b.arrival.get());
    }
}

std::unique_ptr<RequestDeque::Block> RequestDeque::TakeBlock() {
    std::unique_ptr<Block> b = spare_ ? std::move(spare_) : std::make_unique<Block>();
    if (arrivals_ && !b->arrival)
        b->arrival = std::make_unique<SimTime[]>(kBlockSize);
    if (allowance_.perRequest && !b->allowance)
        b->allowance = std::make_unique<float[]>(kBlockSize);
    return b;
}

void RequestDeque::GiveBack(std::unique_ptr<Block> b) {
    if (!spare_)
        spare_ = std::move(b);
}

void RequestDeque::GrowMap() {
    const size_t n = blocks_.empty() ? 4 : blocks_.size() * 2;
    std::vector<std::unique_ptr<Block>> grown(n);
    for (size_t j = 0; j < liveBlocks_; ++j)
        grown[j] = std::move(Slot(j));
    blocks_.swap(grown);
    mask_ = n - 1;
    head_ = 0;
}

void RequestDeque::AddBlockAtBack() {
    if (liveBlocks_ == blocks_.size())
        GrowMap();
    Slot(liveBlocks_) = TakeBlock();
    ++liveBlocks_;
    front_ = Slot(0).get();
}

void RequestDeque::AddBlockAtFront() {
    if (liveBlocks_ == blocks_.size())
        GrowMap();
    head_ = (head_ + mask_) & mask_;
    blocks_[head_] = TakeBlock();
    ++liveBlocks_;
    front_ = Slot(0).get();
}

void RequestDeque::push_front(const QueueRequest& r) {
    if (first_ == 0) {
        AddBlockAtFront();
        first_ = kBlockSize;
    }
    --first_;
    ++size_;
    Set(0, r);
}

void RequestDeque::DropFrontBlock() {
    GiveBack(std::move(Slot(0)));
    head_ = (head_ + 1) & mask_;
    --liveBlocks_;
    first_ = 0;
    front_ = liveBlocks_ != 0 ? Slot(0).get() : nullptr;
}

void RequestDeque::pop_back() {
    --size_;
    if (size_ == 0) {
        Emptied();
    } else if (first_ + size_ <= (liveBlocks_ - 1) * kBlockSize) {
        --liveBlocks_;
        GiveBack(std::move(Slot(liveBlocks_)));
    }
}

void RequestDeque::clear() {
    for (size_t j = 0; j < liveBlocks_; ++j)
        GiveBack(std::move(Slot(j)));
    head_ = liveBlocks_ = first_ = size_ = 0;
    front_ = nullptr;
}

void RequestDeque::insert(size_t position, const QueueRequest& r) {
    // Move whichever side is shorter.
    if (position < size_ / 2) {
        push_front(r);
        for (size_t i = 0; i < position; ++i)
            Set(i, (*this)[i + 1]);
    } else {
        push_back(r);
        for (size_t i = size_ - 1; i > position; --i)
            Set(i, (*this)[i - 1]);
    }
    Set(position, r);
}

QueueRequest RequestDeque::EraseInside(size_t position) {
    const QueueRequest removed = (*this)[position];
    if (position < size_ / 2) {
        for (size_t i = position; i > 0; --i)
            Set(i, (*this)[i - 1]);
        pop_front();
    } else {
        for (size_t i = position; i + 1 < size_; ++i)
            Set(i, (*this)[i + 1]);
        pop_back();
    }
    return removed;
}

}  // namespace marvolt
