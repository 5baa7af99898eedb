// The factor settings and the dependencies recorded by a factor experiment.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace marvolt {

enum FactorParameter : int8_t {
    kFactorDevices = 0,
    kFactorLengthLimit = 1,
    kFactorWaitLimit = 2,
    kFactorIntervalMean = 3,
    kFactorIntervalDeviation = 4,
    kFactorIntervalIntensity = 5,
    kFactorIntervalLower = 6,
    kFactorIntervalUpper = 7,
    kFactorServiceMean = 8,
    kFactorServiceDeviation = 9,
    kFactorServiceIntensity = 10,
    kFactorServiceLower = 11,
    kFactorServiceUpper = 12,
};

// Mask bits of SetFactor.
enum FactorMask : uint8_t {
    kFactorMaskObject = 1,
    kFactorMaskType = 2,
    kFactorMaskParameter = 4,
    kFactorMaskStart = 8,
    kFactorMaskStep = 16,
    kFactorMaskCount = 32,
};

struct FactorSettings {
    uint8_t factorObject = 255;
    uint8_t factorType = 255;
    int8_t factorParameter = 0;
    float startValue = 1.0f;
    float step = 1.0f;
    uint8_t valueCount = 8;
    int32_t savedA = 0;
    float savedB = 0.0f;
    float savedC = 0.0f;

    bool operator==(const FactorSettings&) const = default;
};

struct CDependInfo {
    uint8_t dependencyObject = 255;  // 255: the system
    uint8_t dependencyType = 255;    // 255: all types
    uint8_t dependencyIndicator = 0;
    std::vector<float> values;  // empty until the first experiment
};

class CDependsVector {
  public:
    static constexpr uint32_t kDefaultGrowthStep = 15;
    uint32_t growthStep = kDefaultGrowthStep;

    uint32_t itemCount() const { return static_cast<uint32_t>(items_.size()); }
    uint32_t itemCapacity() const { return capacity_; }
    uint8_t valueCount = 0;

    CDependInfo* Item(uint32_t i) { return items_[i].get(); }
    const CDependInfo* Item(uint32_t i) const { return items_[i].get(); }

    // Nothing is added when the triple is listed already.
    CDependInfo* Add(uint8_t object, uint8_t type, uint8_t indicator);
    int Find(uint8_t object, uint8_t type, uint8_t indicator) const;  // -1 when absent
    bool Remove(uint8_t object, uint8_t type, uint8_t indicator);
    void RemoveAt(uint32_t position);
    void RemoveObject(uint8_t node);  // drops dependencies on it, renumbers those above
    void RemoveRequestType(uint8_t type);
    void Clear();

  private:
    std::vector<std::unique_ptr<CDependInfo>> items_;
    uint32_t capacity_ = 0;
};

}  // namespace marvolt
