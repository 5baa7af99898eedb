#include "kernel/channel.h"

#include <algorithm>

#include "kernel/node_calls.h"
#include "kernel/queue.h"

namespace marvolt {

CChannel::CChannel(std::string nodeName, CQueuingSystem* model)
    : CQSObject(kChannel, std::move(nodeName), model) {
    nextEventTime = -1.0;
    runKind = kChannel;
    const uint8_t types = model ? model->typeCount() : 0;
    acceptedTypes.assign(types, 1);
    serviceLaws.assign(types, LawRecord{});
}

CChannel* CChannel::Reserve() const {
    // A reserve that is gone, not a channel or the channel itself cannot take over.
    if (reserveChannel == kNoIndex || reserveChannel >= owner->nodeCount())
        return nullptr;
    CQSObject* node = owner->Node(reserveChannel);
    if (node == this || node->kind != kChannel)
        return nullptr;
    return static_cast<CChannel*>(node);
}

void CChannel::RecordIdle(SimTime d) {
    BookIdle(d, idleSum_, maxIdle);
    if (idleDistFlag)
        idleDistribution.AddValue(static_cast<float>(d));
}

void CChannel::RecordService(SimTime d) {
    BookService(d, serviceSum_, minService, maxService);
    if (serviceDistFlag)
        serviceDistribution.AddValue(static_cast<float>(d));
}

void CChannel::ClearTotals() {
    maxIdle = maxService = 0.0f;
    minService = kLargestFloat;
    idleSum_ = serviceSum_ = 0;
    busyBeforeStatistics_ = idleBeforeStatistics_ = 0;
    if (serviceDistFlag)
        serviceDistribution.ResetBins();
    if (idleDistFlag)
        idleDistribution.ResetBins();
}

void CChannel::BeginRun() {
    const size_t slots = static_cast<size_t>(owner->typeCount()) + 1;
    arrivals.assign(slots, 0);
    requestCounts.assign(slots, 0);

    loadFactor = meanIdle = meanService = 0.0f;
    ClearTotals();

    devices.Prepare(deviceCount);

    if (failuresOn) {
        // The first failure comes after half a repair time, not after a working time.
        nextFailureTime = static_cast<float>(SampleLaw(repairLaw) * 0.5f);
        nextEventTime = nextFailureTime;
    } else {
        nextEventTime = -1.0;
    }
    failed = 0;
    stateChangeTime = 0;

    reserveFor.clear();
    for (const auto& node : owner->nodes) {
        if (node->kind != kChannel)
            continue;
        auto* other = static_cast<CChannel*>(node.get());
        if (other->failuresOn && other->Reserve() == this)
            reserveFor.push_back(other);
    }
    reserveRound = 0;
    inReserveQuery = 0;

    soleSource = nullptr;
    if (sources.size() == 1 && sourceDiscipline != kSourceRandom && reserveFor.empty() &&
        sources[0] < owner->nodeCount() && owner->Node(sources[0])->runKind == kQueue) {
        soleSource = static_cast<CQueue*>(owner->Node(sources[0]));
    }
    acceptsAll_ = AcceptsEveryType(acceptedTypes, owner->typeCount());
}

void CChannel::EndRun() {
    const SimTime now = owner->modelTime;
    // Close the intervals still open; a device is busy exactly while it lies in
    // the busy stretch of the ring.
    const bool repairPending = failuresOn && failed && failureRule == kFailWaitForRepair;
    SimTime repair = 0;
    if (repairPending) {
        repair = now - stateChangeTime;
        if (static_cast<float>(repair) > maxIdle)
            maxIdle = static_cast<float>(repair);
    }
    uint8_t d = devices.firstBusy;
    const uint8_t busy = devices.allFree ? 0 : devices.busyCount;
    for (uint8_t i = 0; i < devices.capacity; ++i, d = devices.nextDevice[d]) {
        const DeviceRecord& r = devices.records[d];
        if (i < busy) {
            if (repairPending) {
                idleSum_ += repair;
                serviceSum_ += stateChangeTime - r.startTime;
            } else {
                serviceSum_ += now - r.startTime;
            }
        } else {
            idleSum_ += now - r.completionTime;
        }
    }

    uint32_t started = 0;
    for (size_t i = 1; i < arrivals.size(); ++i)
        started += arrivals[i];
    if (!arrivals.empty())
        arrivals[0] = started;

    if (started != 0) {
        const SimTime idle = idleSum_ / started;
        const SimTime service = serviceSum_ / started;
        meanIdle = static_cast<float>(idle);
        meanService = static_cast<float>(service);
        // The load is the share of device time since the statistics began.
        const SimTime busy = (serviceSum_ - busyBeforeStatistics_) / started;
        const SimTime total = busy + (idleSum_ - idleBeforeStatistics_) / started;
        loadFactor = total >= 0.00001 ? static_cast<float>(busy / total) : 0.0f;
    } else {
        meanIdle = meanService = loadFactor = 0.0f;
    }

    devices.Release();
    reserveFor.clear();
    soleSource = nullptr;
}

void CChannel::ResetStatistics() {
    const SimTime now = owner->modelTime;
    std::fill(arrivals.begin(), arrivals.end(), 0u);
    ClearTotals();
    // A service under way books its whole length when it ends, and a repair
    // that holds the requests on their devices its whole length as idle time;
    // a free device is idle from now on.
    const bool repairPending = failuresOn && failed && failureRule == kFailWaitForRepair;
    uint8_t d = devices.firstBusy;
    const uint8_t busy = devices.allFree ? 0 : devices.busyCount;
    for (uint8_t i = 0; i < devices.capacity; ++i, d = devices.nextDevice[d]) {
        DeviceRecord& r = devices.records[d];
        if (i >= busy) {
            r.completionTime = now;
        } else if (repairPending) {
            busyBeforeStatistics_ += stateChangeTime - r.startTime;
            idleBeforeStatistics_ += now - stateChangeTime;
        } else {
            busyBeforeStatistics_ += now - r.startTime;
        }
    }
}

void CChannel::Schedule() {
    DeviceRecord& first = devices.FirstBusy();
    if (!failuresOn || first.completionTime < nextFailureTime)
        nextEventTime = first.completionTime;
    // One already in the list counts as moved earlier.
    owner->eventList.Add(index);
}

template <class Ask>
bool CChannel::AskReserve(Ask ask) {
    CChannel* reserve = Reserve();
    // The guard stops a ring of failed channels that reserve each other.
    if (!reserve || inReserveQuery)
        return false;
    inReserveQuery = 1;
    ask(*reserve);
    inReserveQuery = 0;
    return true;
}

void CChannel::StartService(const DeviceRecord& r) {
    const SimTime freeSince = devices.Occupy(r);
    RecordIdle(owner->modelTime - freeSince);
    ++arrivals[r.requestType + 1];
    Schedule();
}

void CChannel::Accept(uint8_t type, SimTime birthTime) {
    if (failuresOn && failed) {
        // Without a reserve a failed channel takes nothing.
        if (!AskReserve([&](CChannel& reserve) { reserve.Accept(type, birthTime); }))
            owner->Refuse(type, birthTime);
        return;
    }
    const LawRecord& law = serviceLaws[type];
    if (law.lawKind == kLawDeterministic && law.param1 < kInstantService) {
        ++arrivals[type + 1];
        CompleteService(DeviceRecord{type, 0, 0, birthTime});
        return;
    }
    if (devices.busyCount >= devices.capacity) {
        owner->Refuse(type, birthTime);
        return;
    }
    const SimTime now = owner->modelTime;
    const float s = SampleLaw(law);
    StartService(DeviceRecord{type, now + s, now, birthTime});
}

void CChannel::PlaceInService(uint8_t type, SimTime completion, SimTime birthTime) {
    if (failuresOn && failed) {
        if (!AskReserve(
                [&](CChannel& reserve) { reserve.PlaceInService(type, completion, birthTime); }))
            owner->Refuse(type, birthTime);
        return;
    }
    if (devices.busyCount >= devices.capacity) {
        owner->Refuse(type, birthTime);
        return;
    }
    StartService(DeviceRecord{type, completion, owner->modelTime, birthTime});
}

bool CChannel::CanAccept(uint8_t type) {
    if (failuresOn && failed) {
        bool answer = false;
        AskReserve([&](CChannel& reserve) { answer = reserve.CanAccept(type); });
        return answer;
    }
    return devices.busyCount < deviceCount && type < acceptedTypes.size() &&
           acceptedTypes[type] != 0;
}

void CChannel::CompleteService(DeviceRecord r) {
    uint8_t t = r.requestType;
    if (transformOn && t < transformTable.size()) {
        const uint8_t target = transformTable[t];
        if (target != t && target < owner->typeCount()) {
            owner->RequestType(t)->ChangeCount(-1);
            t = target;
            owner->RequestType(t)->ChangeCount(+1);
        }
    }
    RecordService(r.completionTime - r.startTime);
    node_calls::PassOn(this, t, r.birthTime);
}

uint8_t CChannel::ChooseSource(const uint8_t* mask) {
    if (inReserveQuery)
        return kNoIndex;
    const uint8_t n = sourceCount();
    switch (sourceDiscipline) {
        case kSourceInOrder:
            for (uint8_t i = 0; i < n; ++i) {
                if (node_calls::HasRequestFor(owner->Node(sources[i]), mask))
                    return sources[i];
            }
            break;
        case kSourceRandom: {
            float total = 0.0f;
            for (uint8_t i = 0; i < n; ++i) {
                if (node_calls::HasRequestFor(owner->Node(sources[i]), mask))
                    total += sourceProbabilities[i];
            }
            if (!(total > 0.0f))
                return kNoIndex;
            const uint8_t s = ChooseByProbability(
                sources, sourceProbabilities, total,
                [&](uint8_t s) { return node_calls::HasRequestFor(owner->Node(s), mask); });
            if (s != kNoIndex)
                return s;
            break;
        }
        default: {
            uint8_t best = kNoIndex;
            int64_t most = -1;
            for (uint8_t i = 0; i < n; ++i) {
                CQSObject* node = owner->Node(sources[i]);
                if (!node_calls::HasRequestFor(node, mask))
                    continue;
                const int64_t held = static_cast<int32_t>(node_calls::HeldCount(node));
                if (held > most) {
                    most = held;
                    best = sources[i];
                }
            }
            return best;
        }
    }

    // Reserve duty: take work from the sources of a failed channel we stand in for.
    const uint8_t m = reserveForCount();
    if (m == 0)
        return kNoIndex;
    uint8_t result = kNoIndex;
    inReserveQuery = 1;
    if (m == 1) {
        if (reserveFor[0]->failed)
            result = reserveFor[0]->ChooseSource(mask);
    } else {
        const uint8_t start = reserveRound < m ? reserveRound : 0;
        uint8_t pos = start;
        do {
            pos = static_cast<uint8_t>(pos + 1 == m ? 0 : pos + 1);
            if (reserveFor[pos]->failed) {
                result = reserveFor[pos]->ChooseSource(mask);
                if (result != kNoIndex) {
                    reserveRound = pos;
                    break;
                }
            }
        } while (pos != start);
    }
    inReserveQuery = 0;
    return result;
}

void CChannel::Fail() {
    const SimTime now = owner->modelTime;
    failed = 1;
    uint8_t rule = failureRule;
    CChannel* reserve = Reserve();
    // Handing over needs a reserve; without one the requests are refused.
    if ((rule == kFailContinueInReserve || rule == kFailRestartInReserve) && !reserve) {
        rule = kFailToRefusal;
    }
    if (rule != kFailWaitForRepair) {
        while (!devices.allFree) {
            DeviceRecord& first = devices.FirstBusy();
            const DeviceRecord r = first;
            first.completionTime = now;  // the device is free from the failure on
            RecordService(now - r.startTime);
            devices.ReleaseFirst();
            if (rule == kFailContinueInReserve && reserve->CanAccept(r.requestType)) {
                reserve->PlaceInService(r.requestType, r.completionTime, r.birthTime);
            } else if (rule == kFailRestartInReserve && reserve->CanAccept(r.requestType)) {
                reserve->Accept(r.requestType, r.birthTime);
            } else {
                owner->Refuse(r.requestType, r.birthTime);
            }
        }
    }
    nextFailureTime = now + SampleLaw(repairLaw);
    stateChangeTime = now;
}

void CChannel::Restore() {
    const SimTime now = owner->modelTime;
    failed = 0;
    if (failureRule == kFailWaitForRepair) {
        // The repair is inserted into the service of every request still on a
        // device and counts as idle time. Devices whose request was completed at
        // the repair's end are free already and are not moved.
        const SimTime d = nextFailureTime - stateChangeTime;
        const float f = static_cast<float>(d);
        if (f > maxIdle)
            maxIdle = f;
        uint8_t dev = devices.firstBusy;
        const uint8_t busy = devices.allFree ? 0 : devices.busyCount;
        for (uint8_t i = 0; i < busy; ++i, dev = devices.nextDevice[dev]) {
            DeviceRecord& r = devices.records[dev];
            r.startTime += d;
            r.completionTime += d;
            idleSum_ += d;
            if (idleDistFlag)
                idleDistribution.AddValue(f);
        }
    }
    nextFailureTime = now + SampleLaw(workLaw);
    stateChangeTime = now;
}

TakenRequest CChannel::TakeNext(const uint8_t* mask) {
    if (soleSource) {
        if (inReserveQuery)
            return TakenRequest{};
        if (acceptsAll_)
            return soleSource->TakeAny();
        return soleSource->HasRequestFor(mask) ? soleSource->Take(mask) : TakenRequest{};
    }
    const uint8_t s = ChooseSource(mask);
    if (s == kNoIndex)
        return TakenRequest{};
    CQSObject* node = owner->Node(s);
    if (node->runKind != kQueue)
        return TakenRequest{};
    return static_cast<CQueue*>(node)->Take(mask);
}

void CChannel::ProcessEvent() {
    const SimTime now = owner->modelTime;
    // On equal times the completion goes first.
    const bool failureEvent =
        failuresOn && (devices.allFree || devices.FirstBusy().completionTime > nextFailureTime);
    if (failureEvent) {
        if (failed) {
            Restore();
        } else {
            Fail();
        }
    } else {
        const DeviceRecord r = devices.FirstBusy();
        CompleteService(r);
        devices.ReleaseFirst();
    }

    if (!failed) {
        const uint8_t* mask = acceptedTypes.data();
        while (devices.busyCount < devices.capacity) {
            const TakenRequest taken = TakeNext(mask);
            if (!taken.valid)
                break;
            const float service = SampleLaw(serviceLaws[taken.type]);
            const SimTime freeSince =
                devices.Occupy(DeviceRecord{taken.type, now + service, now, taken.birthTime});
            // After a completion the device passes straight to the next request;
            // only after a failure or a restoration has it been standing.
            if (failureEvent)
                RecordIdle(now - freeSince);
            ++arrivals[taken.type + 1];
        }
    }

    if (failuresOn) {
        if (failed || devices.allFree || devices.FirstBusy().completionTime > nextFailureTime) {
            nextEventTime = nextFailureTime;
        } else {
            nextEventTime = devices.FirstBusy().completionTime;
        }
        owner->eventList.HeadChanged();
    } else if (devices.allFree) {
        owner->eventList.Remove(index);
    } else {
        nextEventTime = devices.FirstBusy().completionTime;
        owner->eventList.HeadChanged();
    }
}

int CChannel::Validate() const {
    if (sourceDiscipline == kSourceRandom) {
        float sum = 0.0f;
        for (float p : sourceProbabilities)
            sum += p;
        if (sum < 0.98f || sum > 1.02f)
            return kSourceProbabilities;
    }
    return CQSObject::Validate();
}

void CChannel::InsertType(uint8_t t) {
    const size_t at = std::min<size_t>(t, acceptedTypes.size());
    acceptedTypes.insert(acceptedTypes.begin() + static_cast<ptrdiff_t>(at), 1);
    serviceLaws.insert(serviceLaws.begin() + static_cast<ptrdiff_t>(at), LawRecord{});
    if (!transformTable.empty() || transformOn) {
        if (transformTable.empty()) {
            // Absent table: every type keeps its own type.
            transformTable.resize(acceptedTypes.size());
            for (size_t i = 0; i < transformTable.size(); ++i) {
                transformTable[i] = static_cast<uint8_t>(i);
            }
        } else {
            for (uint8_t& target : transformTable) {
                if (target >= t)
                    ++target;
            }
            const size_t pos = std::min<size_t>(t, transformTable.size());
            transformTable.insert(transformTable.begin() + static_cast<ptrdiff_t>(pos), t);
        }
    }
    const size_t slot = static_cast<size_t>(t) + 1;
    for (auto* counts : {&arrivals, &requestCounts}) {
        if (counts->empty())
            continue;
        counts->insert(counts->begin() + static_cast<ptrdiff_t>(std::min(slot, counts->size())),
                       0u);
    }
}

void CChannel::EraseType(uint8_t t) {
    if (t < acceptedTypes.size())
        acceptedTypes.erase(acceptedTypes.begin() + t);
    if (t < serviceLaws.size())
        serviceLaws.erase(serviceLaws.begin() + t);
    if (t < transformTable.size()) {
        transformTable.erase(transformTable.begin() + t);
        for (size_t i = 0; i < transformTable.size(); ++i) {
            uint8_t& target = transformTable[i];
            if (target == t) {
                // The target is gone: the request keeps its own type.
                target = static_cast<uint8_t>(i);
            } else if (target > t) {
                --target;
            }
        }
    }
    const size_t slot = static_cast<size_t>(t) + 1;
    for (auto* counts : {&arrivals, &requestCounts}) {
        if (slot < counts->size())
            counts->erase(counts->begin() + static_cast<ptrdiff_t>(slot));
    }
}

void CChannel::RemoveNodeReferences(uint8_t deleted) {
    CQSObject::RemoveNodeReferences(deleted);
    for (size_t i = sources.size(); i-- > 0;) {
        if (sources[i] == deleted) {
            sources.erase(sources.begin() + static_cast<ptrdiff_t>(i));
            if (i < sourceProbabilities.size()) {
                sourceProbabilities.erase(sourceProbabilities.begin() + static_cast<ptrdiff_t>(i));
            }
        } else if (sources[i] > deleted) {
            --sources[i];
        }
    }
    if (reserveChannel == deleted) {
        reserveChannel = kNoIndex;
    } else if (reserveChannel != kNoIndex && reserveChannel > deleted) {
        --reserveChannel;
    }
}

void CChannel::AddSource(uint8_t s) {
    sources.push_back(s);
    sourceProbabilities.push_back(0.0f);
}

void CChannel::RemoveSource(uint8_t s) {
    const auto it = std::find(sources.begin(), sources.end(), s);
    if (it == sources.end())
        return;
    const auto i = it - sources.begin();
    sources.erase(it);
    if (static_cast<size_t>(i) < sourceProbabilities.size()) {
        sourceProbabilities.erase(sourceProbabilities.begin() + i);
    }
}

void CChannel::DropIndicators() {
    arrivals.clear();
    requestCounts.clear();
    loadFactor = meanIdle = maxIdle = meanService = minService = maxService = 0.0f;
}

}  // namespace marvolt
