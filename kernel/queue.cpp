#include "kernel/queue.h"

#include <algorithm>

#include "kernel/node_calls.h"
#include "kernel/slot_array.h"

namespace marvolt {

CQueue::CQueue(std::string nodeName, CQueuingSystem* model)
    : CQSObject(kQueue, std::move(nodeName), model) {
    nextEventTime = -1.0;
    runKind = kQueue;
    const size_t types = model ? model->typeCount() : 0;
    acceptedTypes.assign(types, 1);
    lengthDistFlags.assign(types + 1, 0);
    waitDistFlags.assign(types + 1, 0);
    waitDistributions.resize(types + 1);
    lengthDistributions.resize(types + 1);
    waitDistributions[0].emplace();
    lengthDistributions[0].emplace();
}

// ---- run ----

void CQueue::FitSlotArrays() {
    // Arrays read from a file may be short; a run needs one entry per slot.
    const size_t slots = static_cast<size_t>(owner->typeCount()) + 1;
    lengthDistFlags.resize(slots, 0);
    waitDistFlags.resize(slots, 0);
    waitDistributions.resize(slots);
    lengthDistributions.resize(slots);
}

void CQueue::BeginRun() {
    FitSlotArrays();
    const size_t slots = static_cast<size_t>(owner->typeCount()) + 1;
    arrivals.assign(slots, 0);
    waitingCount.assign(slots, 0);
    maxWaitingCount.assign(slots, 0);
    zeroWaitCount.assign(slots, 0);
    refused.assign(slots, 0.0f);
    totalWait.assign(slots, 0.0f);
    minWait.assign(slots, kLargestFloat);
    maxWait.assign(slots, 0.0f);
    meanLength.assign(slots, 0.0f);
    lastChangeTime.assign(slots, 0);
    waitSum_.assign(slots, 0);
    refusedSum_.assign(slots, 0);
    waitBeforeStatistics_.clear();

    for (size_t i = 0; i < slots; ++i) {
        if (waitDistFlags[i]) {
            if (!waitDistributions[i])
                waitDistributions[i].emplace();
            waitDistributions[i]->ResetBins();
        }
        if (lengthDistFlags[i]) {
            if (!lengthDistributions[i])
                lengthDistributions[i].emplace();
            lengthDistributions[i]->ResetBins();
        }
    }
    waitHistograms_ = std::any_of(waitDistFlags.begin(), waitDistFlags.end(),
                                  [](uint8_t f) { return f != 0; });
    lengthHistograms_ = std::any_of(lengthDistFlags.begin(), lengthDistFlags.end(),
                                    [](uint8_t f) { return f != 0; });
    nextEventTime = -1.0;
    BuildClasses();
}

void CQueue::BuildClasses() {
    classes.clear();
    typeClass.clear();
    const uint8_t types = owner->typeCount();
    if (usePriority && (discipline == kFifo || discipline == kLifo)) {
        std::vector<uint8_t> order;
        for (uint8_t t = 0; t < types; ++t) {
            if (t < acceptedTypes.size() && acceptedTypes[t])
                order.push_back(t);
        }
        std::stable_sort(order.begin(), order.end(), [this](uint8_t a, uint8_t b) {
            return owner->requestTypes[a]->priority < owner->requestTypes[b]->priority;
        });
        typeClass.assign(types, kNoIndex);
        classCount = 0;
        for (size_t i = 0; i < order.size(); ++i) {
            const uint8_t p = owner->requestTypes[order[i]]->priority;
            if (i == 0 || p != owner->requestTypes[order[i - 1]]->priority)
                ++classCount;
            typeClass[order[i]] = static_cast<uint8_t>(classCount - 1);
        }
    } else {
        classCount = 1;
    }
    classes.assign(classCount, RequestDeque(ClassAllowance()));
}

void CQueue::EndRun() {
    const size_t slots = static_cast<size_t>(owner->typeCount()) + 1;
    if (waitSum_.size() != slots || arrivals.size() != slots)
        return;  // no run to finish

    const SimTime start = owner->statisticsStart;
    std::vector<SimTime>& before = waitBeforeStatistics_;
    if (!before.empty()) {
        // Requests still waiting never book their wait, so nothing of it is left out.
        for (const RequestDeque& c : classes) {
            for (size_t i = 0; i < c.size(); ++i) {
                const QueueRequest r = c[i];
                if (r.arrivalTime < start)
                    before[r.requestType + 1u] -= start - r.arrivalTime;
            }
        }
    }
    minWait[0] = kLargestFloat;
    maxWait[0] = 0.0f;
    for (size_t i = 1; i < slots; ++i) {
        if (!before.empty())
            before[0] += before[i];
        arrivals[0] += arrivals[i];
        waitSum_[0] += waitSum_[i];
        refusedSum_[0] += refusedSum_[i];
        zeroWaitCount[0] += zeroWaitCount[i];
        minWait[0] = std::min(minWait[0], minWait[i]);
        maxWait[0] = std::max(maxWait[0], maxWait[i]);
    }
    const SimTime now = owner->modelTime;
    const SimTime span = now - start;
    for (size_t i = 0; i < slots; ++i) {
        const SimTime lengthSum = before.empty() ? waitSum_[i] : waitSum_[i] - before[i];
        meanLength[i] = span > 0.00001 ? static_cast<float>(lengthSum / span) : 0.0f;
        if (arrivals[i] != 0) {
            totalWait[i] = static_cast<float>(waitSum_[i] / arrivals[i]);
            refused[i] = static_cast<float>(refusedSum_[i] / arrivals[i]);
        } else {
            totalWait[i] = 0.0f;
            refused[i] = 0.0f;
        }
    }

    // Requests still waiting are dropped; waitingCount keeps their number.
    lastChangeTime.clear();
    lastChangeTime.shrink_to_fit();
    typeClass.clear();
    typeClass.shrink_to_fit();
    classes.clear();
    classes.shrink_to_fit();
    waitSum_.clear();
    refusedSum_.clear();
    waitBeforeStatistics_.clear();
}

void CQueue::ResetStatistics() {
    if (waitSum_.empty())
        return;  // not running
    // Requests that ran out of waiting before now are refused before it.
    if (Lazy())
        PurgeExpired();
    const SimTime now = owner->modelTime;
    const size_t slots = waitSum_.size();
    std::fill(arrivals.begin(), arrivals.end(), 0u);
    std::fill(zeroWaitCount.begin(), zeroWaitCount.end(), 0u);
    std::fill(waitSum_.begin(), waitSum_.end(), 0.0);
    std::fill(refusedSum_.begin(), refusedSum_.end(), 0.0);
    std::fill(minWait.begin(), minWait.end(), kLargestFloat);
    std::fill(maxWait.begin(), maxWait.end(), 0.0f);
    maxWaitingCount = waitingCount;
    std::fill(lastChangeTime.begin(), lastChangeTime.end(), now);
    for (size_t i = 0; i < slots; ++i) {
        if (waitDistFlags[i] && waitDistributions[i])
            waitDistributions[i]->ResetBins();
        if (lengthDistFlags[i] && lengthDistributions[i])
            lengthDistributions[i]->ResetBins();
    }
    // A request waiting now books its whole wait when it leaves; the queue
    // length counts only the part from now on.
    waitBeforeStatistics_.assign(slots, 0.0);
    for (const RequestDeque& c : classes) {
        for (size_t i = 0; i < c.size(); ++i) {
            const QueueRequest r = c[i];
            waitBeforeStatistics_[r.requestType + 1u] += now - r.arrivalTime;
        }
    }
}

// ---- statistics helpers ----

void CQueue::RecordWait(uint8_t t, SimTime w, bool withMin) {
    const size_t slot = static_cast<size_t>(t) + 1;
    waitSum_[slot] += w;
    const float wf = static_cast<float>(w);
    if (withMin && wf < minWait[slot])
        minWait[slot] = wf;
    if (wf > maxWait[slot])
        maxWait[slot] = wf;
    if (!waitHistograms_)
        return;
    if (waitDistFlags[slot] && waitDistributions[slot])
        waitDistributions[slot]->AddValue(wf);
    if (waitDistFlags[0] && waitDistributions[0])
        waitDistributions[0]->AddValue(wf);
}

void CQueue::RecordLength(uint8_t slot, uint32_t length, SimTime at) {
    // Only the length histograms read the time of the last change.
    if (!lengthHistograms_)
        return;
    if (lengthDistFlags[slot] && lengthDistributions[slot]) {
        lengthDistributions[slot]->AddWeighted(static_cast<int32_t>(length),
                                               static_cast<float>(at - lastChangeTime[slot]));
    }
    lastChangeTime[slot] = at;
}

void CQueue::BookLeaving(const QueueRequest& r, Leaving how) {
    const uint8_t t = r.requestType;
    const size_t slot = static_cast<size_t>(t) + 1;
    --waitingCount[slot];
    --waitingCount[0];
    // An expired request is booked as of its refusal time, not of the moment it was found.
    const SimTime end = how == kExpired ? r.RefusalTime() : owner->modelTime;
    const SimTime w = end - r.arrivalTime;
    if (owner->observer)
        owner->observer->Observe(index, w);
    RecordWait(t, w, how != kExpired);
    RecordLength(static_cast<uint8_t>(slot), waitingCount[slot] + 1, end);
    RecordLength(0, waitingCount[0] + 1, end);
    if (how != kTaken)
        refusedSum_[slot] += 1.0;
}

SimTime CQueue::EarliestRefusal() const {
    SimTime earliest = -1.0;
    bool found = false;
    for (const RequestDeque& c : classes) {
        for (size_t i = 0; i < c.size(); ++i) {
            const SimTime refusal = c.RefusalTime(i);
            if (!found || refusal < earliest) {
                earliest = refusal;
                found = true;
            }
        }
    }
    return earliest;
}

Allowance CQueue::ClassAllowance() const {
    // A negative limit (a law or a value the dialog would not allow) would put the
    // refusal before the arrival and the queue's event into the past.
    Allowance a;
    if (waitLimitMode == kWaitRandomLimit) {
        a.perRequest = true;
    } else if (waitLimitMode == kWaitFixedLimit) {
        a.fixed = std::max(0.0f, waitLimit);
    }
    return a;
}

float CQueue::DrawAllowance(uint8_t t) const {
    const LawRecord law = t < waitLimitLaws.size() ? waitLimitLaws[t] : LawRecord{};
    return std::max(0.0f, SampleLaw(law));
}

// ---- lazy refusal ----

void CQueue::PurgeExpired() {
    // Without a waiting limit a refusal time of 0 means "never".
    if (waitLimitMode == kWaitUnlimited)
        return;
    const SimTime now = owner->modelTime;
    for (;;) {
        // The earliest expired front over all classes, so that the length intervals
        // of slot 0 are closed in time order.
        size_t best = classes.size();
        SimTime bestRefusal = 0;
        for (size_t c = 0; c < classes.size(); ++c) {
            if (classes[c].empty())
                continue;
            const SimTime refusal = classes[c].RefusalTime(0);
            if (!(now > refusal))
                continue;
            if (best == classes.size() || refusal < bestRefusal) {
                best = c;
                bestRefusal = refusal;
            }
        }
        if (best == classes.size())
            return;

        const QueueRequest r = classes[best].front();
        classes[best].pop_front();
        BookLeaving(r, kExpired);
        // The lifetime the sink measures ends at the refusal time.
        owner->Refuse(r.requestType, r.birthTime + (now - r.RefusalTime()));
    }
}

// ---- node operations ----

void CQueue::InsertWaiting(uint8_t cls, const QueueRequest& r) {
    RequestDeque& c = classes[cls];
    const SimTime refusal = r.RefusalTime();
    if (EventDriven()) {
        if (waitingCount[0] == 0) {
            nextEventTime = refusal;
            owner->eventList.Add(index);
        } else if (nextEventTime > refusal) {
            nextEventTime = refusal;
            owner->eventList.MovedEarlier(index);
        }
        c.push_back(r);
    } else if (waitLimitMode == kWaitRandomLimit && discipline == kLeastTimeToRefusal) {
        // Ordered by refusal time; equal times keep arrival order.
        size_t position = c.size();
        while (position > 0 && c.RefusalTime(position - 1) > refusal)
            --position;
        if (position == c.size()) {
            c.push_back(r);
        } else if (position == 0) {
            c.push_front(r);
        } else {
            c.insert(position, r);
        }
    } else {
        c.push_back(r);
    }
}

void CQueue::Accept(uint8_t type, SimTime birthTime) {
    if (Lazy())
        PurgeExpired();
    const SimTime now = owner->modelTime;
    const size_t slot = static_cast<size_t>(type) + 1;
    ++arrivals[slot];

    if (waitingCount[slot] == 0) {
        if (CQSObject* r = node_calls::Receiver(this, type)) {
            // A false answer means the request went to the refusal sink instead.
            if (node_calls::HandOver(*owner, r, type, birthTime)) {
                ++zeroWaitCount[slot];
                if (owner->observer)
                    owner->observer->Observe(index, 0.0);
            }
            return;
        }
    }

    const uint8_t cls = typeClass.empty() ? 0 : typeClass[type];
    if (cls >= classes.size()) {
        // A type this queue does not accept has no class to wait in.
        refusedSum_[slot] += 1.0;
        owner->Refuse(type, birthTime);
        return;
    }

    QueueRequest r;
    r.requestType = type;
    r.arrivalTime = now;
    r.birthTime = birthTime;
    if (waitLimitMode == kWaitRandomLimit) {
        r.allowance = DrawAllowance(type);
    } else if (waitLimitMode == kWaitFixedLimit) {
        r.allowance = std::max(0.0f, waitLimit);
    }
    InsertWaiting(cls, r);

    ++waitingCount[0];
    ++waitingCount[slot];
    maxWaitingCount[0] = std::max(maxWaitingCount[0], waitingCount[0]);
    maxWaitingCount[slot] = std::max(maxWaitingCount[slot], waitingCount[slot]);
    RecordLength(static_cast<uint8_t>(slot), waitingCount[slot] - 1, now);
    RecordLength(0, waitingCount[0] - 1, now);
}

bool CQueue::CanAccept(uint8_t type) {
    if (type >= acceptedTypes.size() || !acceptedTypes[type])
        return false;
    if (Lazy())
        PurgeExpired();
    return lengthLimit == 0 || HeldCount() < lengthLimit;
}

bool CQueue::HasRequestFor(const uint8_t* mask) {
    if (Lazy())
        PurgeExpired();
    if (waitingCount.empty() || waitingCount[0] == 0)
        return false;
    const size_t types = std::min<size_t>(owner->typeCount(), waitingCount.size() - 1);
    for (size_t t = 0; t < types; ++t) {
        if (mask[t] && waitingCount[t + 1] > 0)
            return true;
    }
    return false;
}

TakenRequest CQueue::Take(const uint8_t* mask) {
    if (Lazy())
        PurgeExpired();
    if (waitingCount.empty() || waitingCount[0] == 0 || classes.empty())
        return TakenRequest{};

    size_t cls = classes.size();
    size_t position = 0;
    auto acceptable = [&](size_t c, size_t i) { return mask[classes[c].Type(i)] != 0; };
    if (discipline == kRandomOrder) {
        const RequestDeque& c = classes[0];
        if (c.empty())
            return TakenRequest{};
        const size_t k = static_cast<size_t>(NextRandom()) % c.size();
        for (size_t d = 0; d <= k || k + d < c.size(); ++d) {
            if (d <= k && acceptable(0, k - d)) {
                cls = 0;
                position = k - d;
                break;
            }
            if (d > 0 && k + d < c.size() && acceptable(0, k + d)) {
                cls = 0;
                position = k + d;
                break;
            }
        }
    } else {
        const bool fromBack = discipline == kLifo;
        for (size_t c = 0; c < classes.size() && cls == classes.size(); ++c) {
            const size_t n = classes[c].size();
            for (size_t j = 0; j < n; ++j) {
                const size_t i = fromBack ? n - 1 - j : j;
                if (acceptable(c, i)) {
                    cls = c;
                    position = i;
                    break;
                }
            }
        }
    }
    if (cls == classes.size())
        return TakenRequest{};
    return TakeAt(cls, position);
}

TakenRequest CQueue::TakeAny() {
    if (Lazy())
        PurgeExpired();
    if (waitingCount.empty() || waitingCount[0] == 0 || classes.empty())
        return TakenRequest{};
    // Every request qualifies: the discipline's first is taken.
    if (discipline == kRandomOrder) {
        const size_t n = classes[0].size();
        if (n == 0)
            return TakenRequest{};
        return TakeAt(0, static_cast<size_t>(NextRandom()) % n);
    }
    size_t first = classes.size();
    if (classes.size() <= kScannedClasses) {
        // Found without stopping at it: which class holds the first request
        // follows the types drawn, so a stop there would mispredict.
        for (size_t c = classes.size(); c-- > 0;)
            first = classes[c].empty() ? first : c;
    } else {
        for (size_t c = 0; c < classes.size() && first == classes.size(); ++c)
            first = classes[c].empty() ? first : c;
    }
    if (first == classes.size())
        return TakenRequest{};
    const size_t n = classes[first].size();
    return TakeAt(first, discipline == kLifo ? n - 1 : 0);
}

TakenRequest CQueue::TakeAt(size_t cls, size_t position) {
    const QueueRequest r = classes[cls].erase(position);
    BookLeaving(r, kTaken);

    if (EventDriven()) {
        if (waitingCount[0] == 0) {
            owner->eventList.Remove(index);
            nextEventTime = -1.0;
        } else if (nextEventTime == r.RefusalTime()) {
            nextEventTime = EarliestRefusal();
            owner->eventList.Remove(index);
            owner->eventList.Add(index);
        }
    }

    TakenRequest taken;
    taken.valid = true;
    taken.type = r.requestType;
    taken.birthTime = r.birthTime;
    return taken;
}

void CQueue::ProcessEvent() {
    // One pass finds the request to refuse, the last one due in class and queue
    // order, and the earliest refusal time among the others.
    const SimTime due = nextEventTime;
    size_t cls = classes.size();
    size_t position = 0;
    size_t dueCount = 0;
    SimTime otherEarliest = -1.0;
    bool other = false;
    for (size_t c = 0; c < classes.size(); ++c) {
        for (size_t i = 0; i < classes[c].size(); ++i) {
            const SimTime refusal = classes[c].RefusalTime(i);
            if (refusal == due) {
                cls = c;
                position = i;
                ++dueCount;
            } else if (!other || refusal < otherEarliest) {
                otherEarliest = refusal;
                other = true;
            }
        }
    }
    if (cls == classes.size()) {
        // Nothing is due at this time; re-place the queue by what actually waits.
        if (other) {
            nextEventTime = otherEarliest;
            owner->eventList.HeadChanged();
        } else {
            owner->eventList.Remove(index);
            nextEventTime = -1.0;
        }
        return;
    }

    const QueueRequest r = classes[cls].erase(position);
    BookLeaving(r, kRefused);

    if (dueCount > 1 || other) {
        // Others due at the same time are refused by further events at this time.
        nextEventTime = dueCount > 1 ? due : otherEarliest;
        owner->eventList.HeadChanged();
    } else {
        owner->eventList.Remove(index);
        nextEventTime = -1.0;
    }

    owner->Refuse(r.requestType, r.birthTime);
}

// ---- container steps ----

void CQueue::InsertType(uint8_t t) {
    const size_t slot = static_cast<size_t>(t) + 1;
    InsertSlot(acceptedTypes, t, uint8_t{1});
    if (waitLimitLaws.empty()) {
        waitLimitLaws.assign(acceptedTypes.size(), LawRecord{});
    } else {
        InsertSlot(waitLimitLaws, t, LawRecord{});
    }
    InsertSlot(lengthDistFlags, slot, uint8_t{0});
    InsertSlot(waitDistFlags, slot, uint8_t{0});
    InsertSlot(waitDistributions, slot, std::optional<CFDistribution>{});
    InsertSlot(lengthDistributions, slot, std::optional<CIDistribution>{});

    // Indicators of an earlier run stay consistent with the new type count.
    auto extend = [slot](auto& v, auto value) {
        if (!v.empty())
            InsertSlot(v, slot, value);
    };
    extend(arrivals, 0u);
    extend(waitingCount, 0u);
    extend(maxWaitingCount, 0u);
    extend(zeroWaitCount, 0u);
    extend(refused, 0.0f);
    extend(totalWait, 0.0f);
    extend(minWait, kLargestFloat);
    extend(maxWait, 0.0f);
    extend(meanLength, 0.0f);
}

void CQueue::EraseType(uint8_t t) {
    const size_t slot = static_cast<size_t>(t) + 1;
    EraseSlot(acceptedTypes, t);
    EraseSlot(waitLimitLaws, t);
    EraseSlot(lengthDistFlags, slot);
    EraseSlot(waitDistFlags, slot);
    EraseSlot(waitDistributions, slot);
    EraseSlot(lengthDistributions, slot);
    EraseSlot(arrivals, slot);
    EraseSlot(waitingCount, slot);
    EraseSlot(maxWaitingCount, slot);
    EraseSlot(zeroWaitCount, slot);
    EraseSlot(refused, slot);
    EraseSlot(totalWait, slot);
    EraseSlot(minWait, slot);
    EraseSlot(maxWait, slot);
    EraseSlot(meanLength, slot);
}

void CQueue::DropIndicators() {
    arrivals.clear();
    waitingCount.clear();
    maxWaitingCount.clear();
    zeroWaitCount.clear();
    refused.clear();
    totalWait.clear();
    minWait.clear();
    maxWait.clear();
    meanLength.clear();
}

}  // namespace marvolt
