// Growing and shrinking the per-type arrays when request types come and go.
#pragma once

#include <algorithm>
#include <cstddef>
#include <iterator>

namespace marvolt {

// Inserts value before position s, or appends when the array is shorter.
template <class V, class T>
void InsertSlot(V& v, size_t s, const T& value) {
    v.insert(v.begin() + static_cast<std::ptrdiff_t>(std::min(s, v.size())), value);
}

// Removes entry s when it exists.
template <class V>
void EraseSlot(V& v, size_t s) {
    if (s < v.size())
        v.erase(v.begin() + static_cast<std::ptrdiff_t>(s));
}

}  // namespace marvolt
