#include "kernel/generator.h"

#include <algorithm>

#include "kernel/node_calls.h"

namespace marvolt {

uint32_t CGenerator::BatchSize(float drawn) {
    // A batch law never yields a negative count from the dialog; a file might.
    const double batch = static_cast<double>(drawn) + 0.49999;
    return batch > 0.0 ? static_cast<uint32_t>(std::min(batch, 4294967295.0)) : 0u;
}

void CGenerator::BeginRun() {
    nextEventTime = firstEventTime;
    // A fixed batch draws nothing, so its size is worked out once.
    fixedBatch_ = batchLaw.lawKind == kLawDeterministic;
    batchSize_ = fixedBatch_ ? BatchSize(SampleLaw(batchLaw)) : 0u;
    // The running sums of the type draw, added in the walk's own order so that
    // each is bit for bit the sum the walk reaches; only for a few types,
    // where comparing with every sum costs less than stopping early.
    cumulative_.clear();
    if (typeProbabilities.size() > 1 && typeProbabilities.size() <= kSummedTypes) {
        float sum = 0.0f;
        for (float p : typeProbabilities)
            cumulative_.push_back(sum += p);
    }
    arrivals.assign(owner->typeCount() + 1u, 0u);
}

void CGenerator::EndRun() {
    if (arrivals.empty())
        return;
    uint32_t sum = 0;
    for (size_t i = 1; i < arrivals.size(); ++i)
        sum += arrivals[i];
    arrivals[0] = sum;
}

void CGenerator::Accept(uint8_t, SimTime) {}

uint8_t CGenerator::DrawType() const {
    const float u = static_cast<float>(NextRandom() / 32767.0);
    // One type is chosen whatever the draw; the draw is still made.
    if (typeProbabilities.size() <= 1)
        return generatedTypes[0];
    const size_t n = typeProbabilities.size();
    if (cumulative_.size() == n) {
        // Which type the walk below stops at is the draw itself, so it would
        // mispredict; the same comparisons on the sums worked out at the run's
        // start count the steps it would take without a branch.
        uint32_t going = u > 0.0f;
        size_t chosen = 0;
        for (size_t i = 1; i < n; ++i) {
            going &= u > cumulative_[i - 1];
            chosen += going;
        }
        return generatedTypes[chosen];
    }
    float sum = 0.0f;
    size_t chosen = 0;
    for (size_t i = 0; u > sum && i < n; ++i) {
        sum += typeProbabilities[i];
        chosen = i;
    }
    return generatedTypes[chosen];
}

void CGenerator::ProcessEvent() {
    const SimTime t = nextEventTime;
    nextEventTime = t + SampleLaw(intervalLaw);
    owner->eventList.HeadChanged();

    const uint32_t n = fixedBatch_ ? batchSize_ : BatchSize(SampleLaw(batchLaw));
    if (generatedTypes.empty())
        return;
    for (uint32_t i = 0; i < n; ++i) {
        // The rest of a batch that would pass the bound is never created.
        if (!owner->AdmitRequest())
            return;
        const uint8_t k = DrawType();
        owner->requestTypes[k]->ChangeCount(+1);
        node_calls::PassOn(this, k, t);
        ++owner->arrived;
        ++arrivals[k + 1u];
    }
}

int CGenerator::Validate() const {
    float sum = 0.0f;
    for (float p : typeProbabilities)
        sum += p;
    if (sum < 0.98f || sum > 1.02f)
        return kTypeProbabilities;
    return CQSObject::Validate();
}

int CGenerator::SetGeneratedType(uint8_t type, bool add) {
    if (type >= owner->typeCount())
        return kNoSuchType;
    const auto it = std::find(generatedTypes.begin(), generatedTypes.end(), type);
    if (add) {
        if (it == generatedTypes.end()) {
            generatedTypes.push_back(type);
            typeProbabilities.push_back(0.0f);
        }
        return kOk;
    }
    if (it == generatedTypes.end())
        return kNotGenerated;
    const auto pos = it - generatedTypes.begin();
    generatedTypes.erase(it);
    typeProbabilities.erase(typeProbabilities.begin() + pos);
    return kOk;
}

void CGenerator::EraseType(uint8_t t) {
    for (size_t i = generatedTypes.size(); i-- > 0;) {
        if (generatedTypes[i] == t) {
            generatedTypes.erase(generatedTypes.begin() + static_cast<std::ptrdiff_t>(i));
            typeProbabilities.erase(typeProbabilities.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (generatedTypes[i] > t) {
            --generatedTypes[i];
        }
    }
    if (arrivals.size() > t + 1u)
        arrivals.erase(arrivals.begin() + t + 1);
}

}  // namespace marvolt
