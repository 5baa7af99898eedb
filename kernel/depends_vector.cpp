#include "kernel/depends_vector.h"

#include <algorithm>

namespace marvolt {

int CDependsVector::Find(uint8_t object, uint8_t type, uint8_t indicator) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        const CDependInfo& d = *items_[i];
        if (d.dependencyObject == object && d.dependencyType == type &&
            d.dependencyIndicator == indicator) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CDependInfo* CDependsVector::Add(uint8_t object, uint8_t type, uint8_t indicator) {
    if (Find(object, type, indicator) >= 0)
        return nullptr;
    // The capacity is bookkeeping of the stored list; a step of 0 from a file
    // still lets it grow.
    if (itemCount() >= capacity_)
        capacity_ = itemCount() + std::max<uint32_t>(growthStep, 1);
    auto item = std::make_unique<CDependInfo>();
    item->dependencyObject = object;
    item->dependencyType = type;
    item->dependencyIndicator = indicator;
    items_.push_back(std::move(item));
    return items_.back().get();
}

bool CDependsVector::Remove(uint8_t object, uint8_t type, uint8_t indicator) {
    const int position = Find(object, type, indicator);
    if (position < 0)
        return false;
    RemoveAt(static_cast<uint32_t>(position));
    return true;
}

void CDependsVector::RemoveAt(uint32_t position) {
    if (position >= items_.size())
        return;
    items_.erase(items_.begin() + position);
    if (capacity_ - itemCount() >= std::max<uint32_t>(growthStep, 1)) {
        capacity_ = itemCount();
        items_.shrink_to_fit();
    }
}

void CDependsVector::RemoveObject(uint8_t node) {
    for (uint32_t i = itemCount(); i-- > 0;) {
        uint8_t& object = items_[i]->dependencyObject;
        if (object == node) {
            RemoveAt(i);
        } else if (object > node && object != 255) {
            --object;
        }
    }
}

void CDependsVector::RemoveRequestType(uint8_t type) {
    for (uint32_t i = itemCount(); i-- > 0;) {
        uint8_t& t = items_[i]->dependencyType;
        if (t == type) {
            RemoveAt(i);
        } else if (t > type && t != 255) {
            --t;
        }
    }
}

void CDependsVector::Clear() {
    items_.clear();
    items_.shrink_to_fit();
    capacity_ = 0;
    growthStep = kDefaultGrowthStep;
    valueCount = 0;
}

}  // namespace marvolt
