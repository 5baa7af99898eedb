#include "kernel/request_type.h"

#include "kernel/queuing_system.h"

namespace marvolt {

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
