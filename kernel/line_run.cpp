#include "kernel/line_run.h"

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/run_watch.h"
#include "kernel/sink.h"

namespace marvolt {

namespace {

// One device kept in registers; written back to the channel's list at the end.
class OneDevice {
  public:
    explicit OneDevice(CDeviceList& list) : list_(list), r_(list.records[0]) {}
    bool Free() const { return !busy_; }
    bool AnyBusy() const { return busy_; }
    const DeviceRecord& First() const { return r_; }
    // The time the device became free.
    SimTime Start(const DeviceRecord& r) {
        const SimTime freeSince = r_.completionTime;
        r_ = r;
        busy_ = true;
        started_ = true;
        return freeSince;
    }
    void ReleaseFirst() { busy_ = false; }
    void WriteBack() {
        if (!started_)
            return;
        list_.records[0] = r_;
        list_.firstBusy = list_.lastBusy = 0;
        list_.busyCount = busy_ ? 1 : 0;
        list_.allFree = busy_ ? 0 : 1;
    }

  private:
    CDeviceList& list_;
    DeviceRecord r_;
    bool busy_ = false;
    bool started_ = false;
};

// Several devices: the channel's own list, in completion order.
class ManyDevices {
  public:
    explicit ManyDevices(CDeviceList& list) : list_(list) {}
    bool Free() const { return list_.busyCount < list_.capacity; }
    bool AnyBusy() const { return !list_.allFree; }
    const DeviceRecord& First() const { return list_.records[list_.firstBusy]; }
    SimTime Start(const DeviceRecord& r) { return list_.Occupy(r); }
    void ReleaseFirst() { list_.ReleaseFirst(); }
    void WriteBack() {}

  private:
    CDeviceList& list_;
};

}  // namespace

struct CLineRun::Line {
    CGenerator* g = nullptr;
    CQueue* q = nullptr;
    CChannel* c = nullptr;
    CDispose* s = nullptr;
    CDispose* refusals = nullptr;  // where a full queue refuses to, if anywhere
};

bool CLineRun::ModelFits(const CQueuingSystem& m) {
    if (!m.lineRunAllowed || m.observer || m.warmupTime > 0 || m.countDistFlag ||
        m.typeCount() != 1 || m.stopReason != StopReason::kFinished)
        return false;
    const CRequestType& type = *m.requestTypes[0];
    return !type.countDistFlag && type.count == m.requestsInSystem &&
           type.maxInSystem == m.maxInSystem && type.lastChange == m.lastCountChange;
}

bool CLineRun::GeneratorFits(const CQueuingSystem& m, const CGenerator& g) {
    return g.generatedTypes.size() == 1 && g.typeProbabilities.size() == 1 && g.fixedBatch_ &&
           g.batchSize_ == 1 && g.arrivals.size() == 2 && m.eventList.Contains(g.index);
}

bool CLineRun::QueueFits(const CQueue& q) {
    return q.discipline == kFifo && q.waitLimitMode == kWaitUnlimited && !q.acceptedTypes.empty() &&
           q.acceptedTypes[0] && !q.waitHistograms_ && !q.lengthHistograms_ &&
           q.classes.size() == 1 && q.classes[0].empty() && q.waitSum_.size() == 2 && q.waitingCount[0] == 0 &&
           q.waitingCount[1] == 0 &&
           q.maxWaitingCount[0] == q.maxWaitingCount[1];
}

bool CLineRun::ChannelFits(const CQueuingSystem& m, const CChannel& c, const CQueue& q) {
    if (c.serviceLaws.empty())
        return false;
    const LawRecord& service = c.serviceLaws[0];
    return !c.failuresOn && c.devices.capacity != 0 && c.soleSource == &q && c.acceptsAll_ &&
           !c.idleDistFlag && !c.serviceDistFlag && c.arrivals.size() == 2 &&
           !(service.lawKind == kLawDeterministic && service.param1 < kInstantService) &&
           c.devices.allFree && !m.eventList.Contains(c.index);
}

bool CLineRun::SinkFits(const CDispose& s) {
    return !s.lifetimeHistograms_ && s.arrivals.size() == 2;
}

bool CLineRun::Find(const CQueuingSystem& m, Line& line) {
    if (!ModelFits(m))
        return false;
    // Besides the line only sinks, which nothing but the line can reach.
    for (const auto& node : m.nodes) {
        switch (node->runKind) {
            case kGenerator:
                if (line.g)
                    return false;
                line.g = static_cast<CGenerator*>(node.get());
                break;
            case kQueue:
                if (line.q)
                    return false;
                line.q = static_cast<CQueue*>(node.get());
                break;
            case kChannel:
                if (line.c)
                    return false;
                line.c = static_cast<CChannel*>(node.get());
                break;
            case kSink:
                break;
            default:
                return false;
        }
    }
    const CGenerator* g = line.g;
    const CQueue* q = line.q;
    const CChannel* c = line.c;
    if (!g || !q || !c || g->soleReceiver != q || q->soleReceiver != c || !c->soleReceiver ||
        c->soleReceiver->runKind != kSink)
        return false;
    line.s = static_cast<CDispose*>(c->soleReceiver);
    // The generator's event is the only one of the list.
    if (!GeneratorFits(m, *g) || m.eventList.EntryCount() != 1 || !QueueFits(*q) ||
        !ChannelFits(m, *c, *q) || !SinkFits(*line.s))
        return false;
    if (q->lengthLimit != 0 && m.refusalSink) {
        // A sink of its own: the line's sink keeps its numbers in the loop's registers.
        const CQSObject* r = m.refusalSink;
        if (r->runKind != kSink || r == line.s)
            return false;
        line.refusals = static_cast<CDispose*>(m.refusalSink);
        if (!SinkFits(*line.refusals))
            return false;
    }
    return true;
}

CLineRun::Tally::Tally(const CQueuingSystem& m, const CDispose& sink)
    : now(m.modelTime),
      arrived(m.arrived),
      reason(m.stopReason),
      inside(m.requestsInSystem),
      maxInside(m.maxInSystem),
      lastChange(m.requestTypes[0]->lastChange),
      countIntegral(m.requestTypes[0]->countIntegral_),
      generated(m.requestTypes[0]->generated),
      sinkArrivals(sink.arrivals[1]),
      lifetimeSum(sink.lifetimeSum_[1]),
      minLifetime(sink.minLifetime[1]),
      maxLifetime(sink.maxLifetime[1]) {}

void CLineRun::Tally::HandBack(CQueuingSystem& m, CDispose& sink) const {
    m.modelTime = now;
    m.arrived = arrived;
    m.stopReason = reason;
    m.requestsInSystem = inside;
    m.maxInSystem = maxInside;
    m.lastCountChange = lastChange;
    CRequestType& type = *m.requestTypes[0];
    type.count = inside;
    type.maxInSystem = maxInside;
    type.lastChange = lastChange;
    type.countIntegral_ = countIntegral;
    type.generated = generated;
    sink.arrivals[1] = sinkArrivals;
    sink.lifetimeSum_[1] = lifetimeSum;
    sink.minLifetime[1] = minLifetime;
    sink.maxLifetime[1] = maxLifetime;
}

template <class Devices, bool kWatched, bool kByTime>
void CLineRun::Loop(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch) {
    CGenerator& g = *line.g;
    CQueue& q = *line.q;
    CChannel& c = *line.c;
    CDispose& s = *line.s;
    RequestDeque& waiting = q.classes[0];
    const uint32_t lengthLimit = q.lengthLimit;
    CDispose* const refusals = line.refusals;
    const LawRecord interval = g.intervalLaw;
    const LawRecord service = c.serviceLaws[0];
    const uint8_t typeIndex = g.generatedTypes[0];

    LocalRandom random;

    // The two entries the event list can hold, keyed as it keys them.
    uint64_t placed = m.eventList.Placements();
    SimTime genTime = g.nextEventTime;
    uint64_t genKey = CEventList::TimeKey(genTime);
    uint64_t genOrder = placed;
    uint64_t chanKey = 0;
    uint64_t chanOrder = 0;
    SimTime chanTime = c.nextEventTime;
    Devices devices(c.devices);

    // What the nodes count, in the order they count it.
    Tally tally(m, s);
    SimTime& now = tally.now;
    uint32_t& arrived = tally.arrived;
    StopReason& reason = tally.reason;
    const uint32_t insideLimit = m.InSystemLimit();
    uint32_t genArrivals = g.arrivals[1];
    uint32_t queueArrivals = q.arrivals[1];
    uint32_t zeroWait = q.zeroWaitCount[1];
    uint32_t queued = q.waitingCount[1];
    uint32_t maxQueued = q.maxWaitingCount[1];
    SimTime waitSum = q.waitSum_[1];
    float minWait = q.minWait[1];
    float maxWait = q.maxWait[1];
    uint32_t chanArrivals = c.arrivals[1];
    SimTime idleSum = c.idleSum_;
    SimTime serviceSum = c.serviceSum_;
    float maxIdle = c.maxIdle;
    float minService = c.minService;
    float maxService = c.maxService;

    const SimTime timeLimit = m.timeLimit;
    const uint32_t arrivalsLimit = m.arrivalsLimit;
    const uint64_t guard = m.progressGuard;
    uint64_t stalled = 0;
    uint32_t untilLook = CQueuingSystem::Watch::kEventsPerLook;

    while (reason == StopReason::kFinished &&
           !(kByTime ? now > timeLimit : arrived > arrivalsLimit)) {
        const SimTime before = now;
        const uint32_t arrivedBefore = arrived;
        if (devices.AnyBusy() &&
            (chanKey < genKey || (chanKey == genKey && chanOrder < genOrder))) {
            // The first service ends and the request leaves for the sink.
            const DeviceRecord done = devices.First();
            now = done.completionTime;
            CChannel::BookService(done.completionTime - done.startTime, serviceSum, minService,
                                  maxService);
            tally.Absorbed(done.birthTime);
            devices.ReleaseFirst();
            while (queued != 0 && devices.Free()) {
                // The device passes straight to the front request.
                const QueueRequest r = waiting.front();
                waiting.pop_front();
                --queued;
                const SimTime w = now - r.arrivalTime;
                waitSum += w;
                const float wF = static_cast<float>(w);
                if (wF < minWait)
                    minWait = wF;
                if (wF > maxWait)
                    maxWait = wF;
                const float length = random.Draw(service);
                devices.Start(DeviceRecord{typeIndex, now + length, now, r.birthTime});
                ++chanArrivals;
            }
            if (devices.AnyBusy()) {
                chanTime = devices.First().completionTime;
                chanKey = CEventList::TimeKey(chanTime);
                chanOrder = ++placed;
            }
        } else {
            // A request is born and goes to the queue, or past it to the free device.
            now = genTime;
            genTime = now + random.Draw(interval);
            genKey = CEventList::TimeKey(genTime);
            genOrder = ++placed;
            if (tally.inside < insideLimit) {
                random.Next();  // the type is drawn with one type too
                tally.Born();
                if (lengthLimit != 0 && queued >= lengthLimit) {
                    // The queue is full: refused at birth, the request leaves at once.
                    tally.Leaves();
                    if (refusals) {
                        ++refusals->arrivals[1];
                        // Born now: 0, or NaN at an infinite time.
                        CDispose::BookLifetime(now - now, refusals->lifetimeSum_[1],
                                               refusals->minLifetime[1], refusals->maxLifetime[1]);
                    }
                } else {
                    ++queueArrivals;
                    if (queued == 0 && devices.Free()) {
                        const float length = random.Draw(service);
                        const bool listed = devices.AnyBusy();
                        const SimTime freeSince =
                            devices.Start(DeviceRecord{typeIndex, now + length, now, now});
                        CChannel::BookIdle(now - freeSince, idleSum, maxIdle);
                        ++chanArrivals;
                        // Entered into the list, or moved in it when its first completion changed.
                        chanTime = devices.First().completionTime;
                        const uint64_t key = CEventList::TimeKey(chanTime);
                        if (!listed || key != chanKey) {
                            chanKey = key;
                            chanOrder = ++placed;
                        }
                        ++zeroWait;
                    } else {
                        QueueRequest r;
                        r.requestType = typeIndex;
                        r.arrivalTime = now;
                        r.birthTime = now;
                        waiting.push_back(r);
                        ++queued;
                        if (queued > maxQueued)
                            maxQueued = queued;
                    }
                }
                ++arrived;
                ++genArrivals;
            } else {
                reason = StopReason::kTooManyRequests;
            }
        }
        const bool progress = kByTime ? now > before : arrived > arrivedBefore;
        if (CQueuingSystem::Watch::GuardStops(progress, stalled, guard, reason))
            break;
        if constexpr (kWatched) {
            // The callback reads the model's time and arrivals.
            if (watch->Cancels(m, untilLook, reason, [&] {
                    m.modelTime = now;
                    m.arrived = arrived;
                }))
                break;
        }
    }

    // Everything back where the nodes keep it, for their EndRun.
    random.Store();
    tally.HandBack(m, s);
    g.nextEventTime = genTime;
    g.arrivals[1] = genArrivals;
    q.arrivals[1] = queueArrivals;
    q.zeroWaitCount[1] = zeroWait;
    q.waitingCount[0] = q.waitingCount[1] = queued;
    q.maxWaitingCount[0] = q.maxWaitingCount[1] = maxQueued;
    q.waitSum_[1] = waitSum;
    q.minWait[1] = minWait;
    q.maxWait[1] = maxWait;
    c.arrivals[1] = chanArrivals;
    c.idleSum_ = idleSum;
    c.serviceSum_ = serviceSum;
    c.maxIdle = maxIdle;
    c.minService = minService;
    c.maxService = maxService;
    devices.WriteBack();
    c.nextEventTime = chanTime;
}

template <class Devices>
void CLineRun::LoopFor(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch) {
    if (m.stopByTime) {
        watch ? Loop<Devices, true, true>(m, line, watch)
              : Loop<Devices, false, true>(m, line, nullptr);
    } else {
        watch ? Loop<Devices, true, false>(m, line, watch)
              : Loop<Devices, false, false>(m, line, nullptr);
    }
}

bool CLineRun::TryRun(CQueuingSystem& m, CQueuingSystem::Watch* watch) {
    Line line;
    if (!Find(m, line))
        return false;
    if (line.c->devices.capacity == 1) {
        LoopFor<OneDevice>(m, line, watch);
    } else {
        LoopFor<ManyDevices>(m, line, watch);
    }
    return true;
}

}  // namespace marvolt
