// Replaces the global operator new and delete of the test program with ones
// that count, so tests can see what a run really holds.
#include "allocation_count.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace marvolt::testing_memory {
namespace {

std::atomic<size_t> g_live{0};
std::atomic<size_t> g_peak{0};
std::atomic<size_t> g_allocations{0};

void* Allocate(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p)
        throw std::bad_alloc();
    const size_t live = g_live += malloc_usable_size(p);
    size_t peak = g_peak.load(std::memory_order_relaxed);
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
    }
    ++g_allocations;
    return p;
}

void Release(void* p) noexcept {
    if (!p)
        return;
    g_live -= malloc_usable_size(p);
    std::free(p);
}

}  // namespace

size_t LiveBytes() {
    return g_live;
}
size_t PeakBytes() {
    return g_peak;
}
void ResetPeak() {
    g_peak = g_live.load();
}
size_t Allocations() {
    return g_allocations;
}

}  // namespace marvolt::testing_memory

using marvolt::testing_memory::Allocate;
using marvolt::testing_memory::Release;

void* operator new(size_t size) {
    return Allocate(size);
}
void* operator new[](size_t size) {
    return Allocate(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    Release(p);
}
void operator delete[](void* p) noexcept {
    Release(p);
}
void operator delete(void* p, size_t) noexcept {
    Release(p);
}
void operator delete[](void* p, size_t) noexcept {
    Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    Release(p);
}
