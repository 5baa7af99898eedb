// Factor experiments: one run per value of one parameter of one node.
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/run_watch.h"

namespace marvolt {

namespace {

bool IsLawParameter(int8_t p) {
    return p >= kFactorIntervalMean && p <= kFactorServiceUpper;
}

// The law a factor parameter acts on, or nothing.
LawRecord* FactorLaw(CQueuingSystem& model, const FactorSettings& f) {
    if (f.factorObject >= model.nodeCount())
        return nullptr;
    CQSObject* node = model.nodes[f.factorObject].get();
    if (node->kind == kGenerator && f.factorParameter >= kFactorIntervalMean &&
        f.factorParameter <= kFactorIntervalUpper) {
        return &static_cast<CGenerator*>(node)->intervalLaw;
    }
    if (node->kind == kChannel && f.factorParameter >= kFactorServiceMean) {
        auto* channel = static_cast<CChannel*>(node);
        if (f.factorType < channel->serviceLaws.size())
            return &channel->serviceLaws[f.factorType];
    }
    return nullptr;
}

// Parameters 8 to 12 mean the same for a service law as 3 to 7 for the interval law.
int LawRole(int8_t p) {
    return p >= kFactorServiceMean ? p - 5 : p;
}

}  // namespace

int CQueuingSystem::SetFactor(const FactorSettings& settings, uint8_t mask) {
    if (mask & kFactorMaskObject) {
        if (settings.factorObject >= nodeCount() || nodes[settings.factorObject]->kind == kSink) {
            return kNoSuchNode;
        }
    }
    if ((mask & kFactorMaskStart) && !(settings.startValue >= 0.0f))
        return kFactorNegativeStart;
    if (mask & kFactorMaskObject)
        plannedFactor.factorObject = settings.factorObject;
    if (mask & kFactorMaskType)
        plannedFactor.factorType = settings.factorType;
    if (mask & kFactorMaskParameter)
        plannedFactor.factorParameter = settings.factorParameter;
    if (mask & kFactorMaskStart)
        plannedFactor.startValue = settings.startValue;
    if (mask & kFactorMaskStep)
        plannedFactor.step = settings.step;
    if (mask & kFactorMaskCount)
        plannedFactor.valueCount = settings.valueCount;
    return kOk;
}

int CQueuingSystem::ValidateFactor() const {
    const FactorSettings& f = plannedFactor;
    if (f.factorObject == kNoIndex || f.factorObject >= nodeCount())
        return kNoSuchNode;
    const int8_t p = f.factorParameter;
    switch (nodes[f.factorObject]->kind) {
        case kGenerator:
            if (p < kFactorIntervalMean || p > kFactorIntervalUpper)
                return kFactorWrongParameter;
            break;
        case kChannel:
            if (p == kFactorDevices)
                break;
            if (p >= kFactorServiceMean && p <= kFactorServiceUpper) {
                if (f.factorType >= typeCount())
                    return kNoSuchType;
                break;
            }
            return kFactorWrongParameter;
        case kQueue:
            if (p != kFactorLengthLimit && p != kFactorWaitLimit)
                return kFactorWrongParameter;
            break;
        default:
            return kNoSuchNode;
    }
    if (!(f.startValue >= 0.0f))
        return kFactorNegativeStart;
    return kOk;
}

int CQueuingSystem::PrepareFactor() {
    FactorSettings& f = plannedFactor;
    if (f.valueCount == 0)
        return kFactorNoValues;
    for (uint32_t i = 0; i < dependencies.itemCount(); ++i)
        dependencies.Item(i)->values.assign(f.valueCount, 0.0f);
    CQSObject* node = nodes[f.factorObject].get();
    if (IsLawParameter(f.factorParameter)) {
        const LawRecord* law = FactorLaw(*this, f);
        if (!law)
            return kFactorWrongParameter;
        switch (LawRole(f.factorParameter)) {
            case kFactorIntervalMean:
                f.savedB = law->param1;
                if (law->lawKind == kLawUniform)
                    f.savedC = law->param2;
                break;
            case kFactorIntervalDeviation:
                f.savedC = law->param2;
                if (law->lawKind == kLawUniform)
                    f.savedB = law->param1;
                break;
            case kFactorIntervalUpper:
                f.savedC = law->param2;
                break;
            default:
                f.savedB = law->param1;
                break;
        }
    } else if (f.factorParameter == kFactorDevices) {
        f.savedA = static_cast<CChannel*>(node)->deviceCount;
    } else if (f.factorParameter == kFactorLengthLimit) {
        auto* queue = static_cast<CQueue*>(node);
        f.savedA = static_cast<int32_t>(queue->lengthLimit);
        f.savedC = queue->lengthLimited ? 1.0f : -1.0f;
        queue->lengthLimited = 1;
    } else {
        auto* queue = static_cast<CQueue*>(node);
        f.savedB = queue->waitLimit;
        f.savedA = queue->waitLimitMode;
        queue->waitLimitMode = kWaitFixedLimit;
    }
    return kOk;
}

void CQueuingSystem::ApplyFactorValue(int i) {
    const FactorSettings& f = plannedFactor;
    const float v = static_cast<float>(f.startValue + static_cast<double>(i) * f.step);
    CQSObject* node = nodes[f.factorObject].get();
    if (IsLawParameter(f.factorParameter)) {
        LawRecord* law = FactorLaw(*this, f);
        if (!law)
            return;
        const bool uniform = law->lawKind == kLawUniform;
        switch (LawRole(f.factorParameter)) {
            case kFactorIntervalMean:
                if (uniform) {
                    const float w = law->param2 - law->param1;
                    law->param1 = v - w / 2;
                    law->param2 = v + w / 2;
                } else {
                    law->param1 = v;
                }
                break;
            case kFactorIntervalDeviation:
                if (uniform) {
                    const float m = (law->param1 + law->param2) / 2;
                    law->param1 = m - v * kSqrt3;
                    law->param2 = m + v * kSqrt3;
                } else {
                    law->param2 = v;
                }
                break;
            case kFactorIntervalUpper:
                law->param2 = v;
                break;
            default:
                law->param1 = v;
                break;
        }
        return;
    }
    // Counts are clamped to what the model can hold: a channel keeps at least
    // one device, and a length limit of 0 would mean no limit at all.
    const int rounded = NearestInteger(v);
    if (f.factorParameter == kFactorDevices) {
        static_cast<CChannel*>(node)->deviceCount =
            static_cast<uint8_t>(std::clamp(rounded, 1, 255));
    } else if (f.factorParameter == kFactorLengthLimit) {
        static_cast<CQueue*>(node)->lengthLimit = static_cast<uint32_t>(std::max(rounded, 1));
    } else {
        static_cast<CQueue*>(node)->waitLimit = v;
    }
}

void CQueuingSystem::RestoreFactor() {
    const FactorSettings& f = plannedFactor;
    if (f.factorObject >= nodeCount())
        return;
    CQSObject* node = nodes[f.factorObject].get();
    if (IsLawParameter(f.factorParameter)) {
        LawRecord* law = FactorLaw(*this, f);
        if (!law)
            return;
        switch (LawRole(f.factorParameter)) {
            case kFactorIntervalMean:
                law->param1 = f.savedB;
                if (law->lawKind == kLawUniform)
                    law->param2 = f.savedC;
                break;
            case kFactorIntervalDeviation:
                law->param2 = f.savedC;
                if (law->lawKind == kLawUniform)
                    law->param1 = f.savedB;
                break;
            case kFactorIntervalUpper:
                law->param2 = f.savedC;
                break;
            default:
                law->param1 = f.savedB;
                break;
        }
    } else if (f.factorParameter == kFactorDevices) {
        static_cast<CChannel*>(node)->deviceCount =
            static_cast<uint8_t>(std::clamp(f.savedA, 1, 255));
    } else if (f.factorParameter == kFactorLengthLimit) {
        auto* queue = static_cast<CQueue*>(node);
        queue->lengthLimit = static_cast<uint32_t>(std::max(f.savedA, 0));
        queue->lengthLimited = f.savedC > 0.0f ? 1 : 0;
    } else {
        auto* queue = static_cast<CQueue*>(node);
        queue->waitLimit = f.savedB;
        queue->waitLimitMode = static_cast<uint8_t>(f.savedA);
    }
}

int CQueuingSystem::RunFactorExperiment(const ProgressCallback& progress) {
    int r = ValidateFactor();
    if (r != kOk)
        return r;
    r = PrepareFactor();
    if (r != kOk)
        return r;
    // One watch for all the runs, so the callback keeps its pace across them.
    std::optional<Watch> watch;
    if (progress)
        watch.emplace(
            Watch{progress, progressPeriod, RunProgress{0.0f, 0, plannedFactor.valueCount}});
    bool guarded = false;
    factorRunsDone = 0;
    for (int i = 0; i < plannedFactor.valueCount; ++i) {
        ApplyFactorValue(i);
        if (watch)
            watch->where.run = i;
        RunWatched(watch ? &*watch : nullptr);
        // A cancelled run is cut short: its indicators are no value of the factor.
        if (stopReason == StopReason::kCancelled)
            break;
        // Nor are those of a run the bound stopped; the experiment ends with it.
        if (stopReason == StopReason::kTooManyRequests) {
            limitStopRun = static_cast<uint8_t>(i);
            break;
        }
        guarded = guarded || stopReason == StopReason::kProgressGuard;
        for (uint32_t d = 0; d < dependencies.itemCount(); ++d) {
            CDependInfo* dep = dependencies.Item(d);
            dep->values[i] =
                RealIndicator(dep->dependencyIndicator, dep->dependencyObject, dep->dependencyType);
        }
        ++factorRunsDone;
    }
    if (guarded && stopReason == StopReason::kFinished)
        stopReason = StopReason::kProgressGuard;
    RestoreFactor();
    usedFactor = plannedFactor;
    // Only the runs that went to their end gave values; the file keeps those alone.
    dependencies.valueCount = factorRunsDone;
    lastRunWasFactor = 1;
    return kOk;
}

CDependInfo* CQueuingSystem::AddDependency(uint8_t object, uint8_t type, uint8_t indicator) {
    return dependencies.Add(object, type, indicator);
}

bool CQueuingSystem::RemoveDependency(uint8_t object, uint8_t type, uint8_t indicator) {
    return dependencies.Remove(object, type, indicator);
}

}  // namespace marvolt
