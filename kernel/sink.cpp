#include "kernel/sink.h"

#include <algorithm>

#include "kernel/slot_array.h"

namespace marvolt {

CDispose::CDispose(std::string nodeName, CQueuingSystem* model)
    : CQSObject(kSink, std::move(nodeName), model) {
    runKind = kSink;
    const size_t slots = model->typeCount() + 1u;
    lifetimeDistFlags.assign(slots, 0);
    lifetimeDistributions.resize(slots);
    lifetimeDistributions[0].emplace();
}

void CDispose::BeginRun() {
    const size_t slots = owner->typeCount() + 1u;
    lifetimeDistFlags.resize(slots, 0);
    lifetimeDistributions.resize(slots);
    lifetimeHistograms_ = std::any_of(lifetimeDistFlags.begin(), lifetimeDistFlags.end(),
                                      [](uint8_t f) { return f != 0; });
    ResetStatistics();
}

void CDispose::ResetStatistics() {
    const size_t slots = owner->typeCount() + 1u;
    arrivals.assign(slots, 0u);
    meanLifetime.assign(slots, 0.0f);
    minLifetime.assign(slots, kLargestFloat);
    maxLifetime.assign(slots, 0.0f);
    lifetimeSum_.assign(slots, 0.0);
    for (size_t i = 0; i < slots; ++i) {
        if (!lifetimeDistFlags[i])
            continue;
        if (!lifetimeDistributions[i])
            lifetimeDistributions[i].emplace();
        lifetimeDistributions[i]->ResetBins();
    }
}

void CDispose::Accept(uint8_t type, SimTime birthTime) {
    const size_t s = type + 1u;
    ++arrivals[s];
    owner->requestTypes[type]->ChangeCount(-1);
    const SimTime lifetime = owner->modelTime - birthTime;
    if (owner->observer)
        owner->observer->Observe(index, lifetime);
    BookLifetime(lifetime, lifetimeSum_[s], minLifetime[s], maxLifetime[s]);
    if (!lifetimeHistograms_)
        return;
    const float l = static_cast<float>(lifetime);
    if (lifetimeDistFlags[s])
        lifetimeDistributions[s]->AddValue(l);
    if (lifetimeDistFlags[0])
        lifetimeDistributions[0]->AddValue(l);
}

void CDispose::EndRun() {
    if (arrivals.empty())
        return;
    const size_t slots = arrivals.size();
    minLifetime[0] = kLargestFloat;
    maxLifetime[0] = 0.0f;
    arrivals[0] = 0;
    lifetimeSum_[0] = 0.0;
    for (size_t i = 1; i < slots; ++i) {
        arrivals[0] += arrivals[i];
        lifetimeSum_[0] += lifetimeSum_[i];
        if (minLifetime[i] < minLifetime[0])
            minLifetime[0] = minLifetime[i];
        if (maxLifetime[i] > maxLifetime[0])
            maxLifetime[0] = maxLifetime[i];
    }
    for (size_t i = 0; i < slots; ++i) {
        meanLifetime[i] =
            arrivals[i] != 0 ? static_cast<float>(lifetimeSum_[i] / arrivals[i]) : 0.0f;
    }
    lifetimeSum_.clear();
}

void CDispose::InsertType(uint8_t t) {
    const size_t s = t + 1u;
    InsertSlot(lifetimeDistFlags, s, uint8_t{0});
    InsertSlot(lifetimeDistributions, s, std::optional<CFDistribution>{});
    if (arrivals.empty())
        return;
    InsertSlot(arrivals, s, 0u);
    InsertSlot(meanLifetime, s, 0.0f);
    InsertSlot(minLifetime, s, kLargestFloat);
    InsertSlot(maxLifetime, s, 0.0f);
}

void CDispose::EraseType(uint8_t t) {
    const size_t s = t + 1u;
    EraseSlot(lifetimeDistFlags, s);
    EraseSlot(lifetimeDistributions, s);
    EraseSlot(arrivals, s);
    EraseSlot(meanLifetime, s);
    EraseSlot(minLifetime, s);
    EraseSlot(maxLifetime, s);
}

void CDispose::DropIndicators() {
    arrivals.clear();
    meanLifetime.clear();
    minLifetime.clear();
    maxLifetime.clear();
}

}  // namespace marvolt
