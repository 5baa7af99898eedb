#include "kernel/request_type.h"

#include "kernel/queuing_system.h"

namespace marvolt {

void CRequestType::ChangeCount(int32_t delta) {
    const SimTime now = owner->modelTime;
    const SimTime dt = now - lastChange;
    countIntegral_ += dt * count;
    if (countDistFlag)
        countDistribution.AddWeighted(static_cast<int32_t>(count), static_cast<float>(dt));
    if (owner->countDistFlag) {
        owner->countDistribution.AddWeighted(static_cast<int32_t>(owner->requestsInSystem),
                                             static_cast<float>(now - owner->lastCountChange));
    }
    lastChange = now;
    owner->lastCountChange = now;

    count += static_cast<uint32_t>(delta);
    owner->requestsInSystem += static_cast<uint32_t>(delta);
    if (delta > 0) {
        generated += static_cast<uint32_t>(delta);
        if (count > maxInSystem)
            maxInSystem = count;
        if (owner->maxInSystem < owner->requestsInSystem)
            owner->maxInSystem = owner->requestsInSystem;
    }
}

void CRequestType::ResetType() {
    generated = 0;
    meanInSystem = 0.0f;
    countIntegral_ = 0;
    maxInSystem = 0;
    count = 0;
    lastChange = 0;
    if (countDistFlag)
        countDistribution.ResetBins();
}

void CRequestType::FinishType() {
    // The average runs to the type's own last change, not to the end of the run.
    const SimTime span = lastChange - owner->statisticsStart;
    meanInSystem = span > 0.00001 ? static_cast<float>(countIntegral_ / span) : 0.0f;
    count = 0;
}

void CRequestType::ResetStatistics() {
    generated = 0;
    countIntegral_ = 0;
    maxInSystem = count;
    lastChange = owner->modelTime;
    if (countDistFlag)
        countDistribution.ResetBins();
}

}  // namespace marvolt
