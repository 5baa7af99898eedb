// What the items of a selection list stand for, in list order.
#pragma once

#include <cstdint>
#include <vector>

#include "results/logic/indicator_panel.h"

namespace marvolt::test {

inline std::vector<uint8_t> Ids(const ChoiceList& list) {
    std::vector<uint8_t> ids;
    for (const ChoiceItem& item : list)
        ids.push_back(item.index);
    return ids;
}

}  // namespace marvolt::test
