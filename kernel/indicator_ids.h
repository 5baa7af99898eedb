// The indicators a run leaves behind, by id, and what each of them is: where
// it exists, what kind of value it has and whether it is kept per request
// type. The accessors of the model, the catalogue, the runner and the result
// windows all read this one table.
#pragma once

#include <array>
#include <cstdint>

namespace marvolt {

enum IndicatorId : uint8_t {
    indArrived = 0,
    indMeanIdle = 1,
    indMaxIdle = 2,
    indMinIdle = 3,
    indIdleDistr = 4,
    indMeanService = 5,
    indMinService = 6,
    indMaxService = 7,
    indServiceDistr = 8,
    indLoad = 9,
    indMeanQueueLength = 10,
    indMaxQueueLength = 11,
    indQueueLengthDistr = 12,
    indMeanWait = 13,
    indMaxWait = 14,
    indMeanWaitNonZero = 15,
    indWaitDistr = 16,
    indZeroWaitCount = 17,
    indRefusalShare = 18,
    indMeanLifetime = 19,
    indMinLifetime = 20,
    indMaxLifetime = 21,
    indLifetimeDistr = 22,
    indThroughput = 23,
    indLeftCount = 24,
    indModelTime = 25,
    indMeanInSystem = 26,
    indMaxInSystem = 27,
    indInSystemDistr = 28,
};

inline constexpr uint8_t kIndicatorCount = 29;

// One indicator of a node (255: the system) for a request type (255: all types).
struct IndicatorKey {
    uint8_t object = 255;
    uint8_t type = 255;
    uint8_t id = 0;

    bool operator==(const IndicatorKey&) const = default;
};

enum class IndicatorValue : uint8_t { kCount, kReal, kDistribution };

// Where an indicator exists: one bit per node kind code (0 generator,
// 1 channel, 2 queue, 3 sink) and one for the system as a whole.
enum IndicatorScope : uint8_t {
    kForGenerator = 1u << 0,
    kForChannel = 1u << 1,
    kForQueue = 1u << 2,
    kForSink = 1u << 3,
    kForSystem = 1u << 4,
    kForEverything = kForGenerator | kForChannel | kForQueue | kForSink | kForSystem,
};

struct IndicatorInfo {
    uint8_t scope;
    IndicatorValue value;
    // False: only the request type index 255 (all types) gives the value.
    bool perType;
};

inline constexpr std::array<IndicatorInfo, kIndicatorCount> kIndicatorTable{{
    {kForEverything, IndicatorValue::kCount, true},       // indArrived
    {kForChannel, IndicatorValue::kReal, false},          // indMeanIdle
    {kForChannel, IndicatorValue::kReal, false},          // indMaxIdle
    {kForChannel, IndicatorValue::kReal, false},          // indMinIdle: always 0
    {kForChannel, IndicatorValue::kDistribution, false},  // indIdleDistr
    {kForChannel, IndicatorValue::kReal, false},          // indMeanService
    {kForChannel, IndicatorValue::kReal, false},          // indMinService
    {kForChannel, IndicatorValue::kReal, false},          // indMaxService
    {kForChannel, IndicatorValue::kDistribution, false},  // indServiceDistr
    {kForChannel, IndicatorValue::kReal, false},          // indLoad
    {kForQueue, IndicatorValue::kReal, true},             // indMeanQueueLength
    {kForQueue, IndicatorValue::kCount, true},            // indMaxQueueLength
    {kForQueue, IndicatorValue::kDistribution, true},     // indQueueLengthDistr
    {kForQueue, IndicatorValue::kReal, true},             // indMeanWait
    {kForQueue, IndicatorValue::kReal, true},             // indMaxWait
    {kForQueue, IndicatorValue::kReal, true},             // indMeanWaitNonZero
    {kForQueue, IndicatorValue::kDistribution, true},     // indWaitDistr
    {kForQueue, IndicatorValue::kCount, true},            // indZeroWaitCount
    {kForQueue, IndicatorValue::kReal, true},             // indRefusalShare
    {kForSink, IndicatorValue::kReal, true},              // indMeanLifetime
    {kForSink, IndicatorValue::kReal, true},              // indMinLifetime
    {kForSink, IndicatorValue::kReal, true},              // indMaxLifetime
    {kForSink, IndicatorValue::kDistribution, true},      // indLifetimeDistr
    {kForSystem, IndicatorValue::kReal, true},            // indThroughput
    {kForSystem, IndicatorValue::kCount, true},           // indLeftCount
    {kForSystem, IndicatorValue::kReal, false},           // indModelTime
    {kForSystem, IndicatorValue::kReal, true},            // indMeanInSystem
    {kForSystem, IndicatorValue::kCount, true},           // indMaxInSystem
    {kForSystem, IndicatorValue::kDistribution, true},    // indInSystemDistr
}};

// The scope bit of a node kind code, or of the system for any other value.
constexpr uint8_t ScopeOfKind(uint8_t nodeKind) {
    return nodeKind <= 3 ? static_cast<uint8_t>(1u << nodeKind) : uint8_t{kForSystem};
}

// Ids past the table exist everywhere and have no value of any kind.
constexpr bool IndicatorExists(uint8_t id, uint8_t scope) {
    return id >= kIndicatorCount || (kIndicatorTable[id].scope & scope) != 0;
}
constexpr bool IndicatorHas(uint8_t id, IndicatorValue value) {
    return id < kIndicatorCount && kIndicatorTable[id].value == value;
}
constexpr bool IndicatorIsPerType(uint8_t id) {
    return id >= kIndicatorCount || kIndicatorTable[id].perType;
}

}  // namespace marvolt
