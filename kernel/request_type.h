// A class of requests and its system-wide counts.
#pragma once

#include <cstdint>
#include <string>

#include "kernel/random_stat.h"
#include "kernel/sim_time.h"

namespace marvolt {

class CQueuingSystem;

class CRequestType {
  public:
    std::string name;
    std::string description;
    uint8_t index = 0;
    CQueuingSystem* owner = nullptr;
    SimTime lastChange = 0;
    uint8_t priority = 0;  // smaller is served first
    uint8_t countDistFlag = 0;
    uint32_t generated = 0;
    uint32_t count = 0;
    float meanInSystem = 0.0f;  // after a run: time-average number in the system
    uint32_t maxInSystem = 0;
    CIDistribution countDistribution;

    CRequestType(std::string typeName, CQueuingSystem* model)
        : name(std::move(typeName)), owner(model) {}

    // A request of this type entered (+1) or left (-1) the system; keeps the
    // model's system-wide numbers too. Defined in queuing_system.h.
    inline void ChangeCount(int32_t delta);
    void ResetType();
    void FinishType();
    // The statistics start afresh now; the requests inside stay counted.
    void ResetStatistics();

  private:
    friend class CLineRun;  // runs the plainest line with the node's own numbers
    friend class CTandemRun;  // and the tandem line
    SimTime countIntegral_ = 0;  // time integral of count during a run
};

}  // namespace marvolt
