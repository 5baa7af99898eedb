// A circular doubly linked chain kept in two byte arrays, as the event list
// and the device ring both hold their entries.
#pragma once

#include <cstdint>
#include <vector>

namespace marvolt {

inline void RingUnlink(std::vector<uint8_t>& next, std::vector<uint8_t>& prev, uint8_t p) {
    prev[next[p]] = prev[p];
    next[prev[p]] = next[p];
}

inline void RingLinkAfter(std::vector<uint8_t>& next, std::vector<uint8_t>& prev, uint8_t p,
                          uint8_t e) {
    prev[p] = e;
    next[p] = next[e];
    prev[next[e]] = p;
    next[e] = p;
}

}  // namespace marvolt
