#include "kernel/tandem_run.h"

#include <memory>
#include <vector>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/line_run.h"
#include "kernel/queue.h"
#include "kernel/run_watch.h"
#include "kernel/sink.h"

namespace marvolt {

namespace {

struct Waiting {
    SimTime arrival;
    SimTime birth;
};

// A stage's queue and channel, the numbers one event touches in two cache lines.
struct alignas(64) Stage {
    // The one device: the request in service, or since when the device is free.
    SimTime completion = 0;
    SimTime start = 0;
    SimTime birth = 0;
    SimTime idleSum = 0;
    SimTime serviceSum = 0;
    SimTime waitSum = 0;
    // The waiting requests, a ring of a power of two from head on.
    Waiting* ring = nullptr;
    uint32_t head = 0;
    uint32_t mask = 0;
    uint32_t queued = 0;
    float maxIdle = 0;
    float minService = 0;
    float maxService = 0;
    float minWait = 0;
    float maxWait = 0;
    uint32_t serviceStarts = 0;
    uint32_t queueArrivals = 0;
    uint32_t zeroWait = 0;
    uint32_t maxQueued = 0;
    LawRecord service;
    uint8_t channelAt = 0;
    bool busy = false;
};

struct Source {
    LawRecord interval;
    uint32_t arrivals = 0;
};

// The rings start side by side in one block; one that outgrows its place
// moves to a block of its own.
class Rings {
  public:
    static constexpr uint32_t kFirst = 4;
    explicit Rings(size_t stages) : first_(std::make_unique<Waiting[]>(stages * kFirst)) {}
    Waiting* First(size_t stage) { return first_.get() + stage * kFirst; }
    // Inline on every push; the rare growth out of line, so that it does not
    // keep the push itself from inlining.
    void Push(Stage& s, const Waiting& w) {
        if (s.queued > s.mask) [[unlikely]]
            Grow(s);
        s.ring[(s.head + s.queued) & s.mask] = w;
        ++s.queued;
    }
    static Waiting Pop(Stage& s) {
        const Waiting w = s.ring[s.head];
        s.head = (s.head + 1) & s.mask;
        --s.queued;
        return w;
    }

  private:
    [[gnu::noinline]] void Grow(Stage& s) {
        const uint32_t size = s.mask + 1;
        auto grown = std::make_unique<Waiting[]>(2 * size);
        for (uint32_t i = 0; i < size; ++i)
            grown[i] = s.ring[(s.head + i) & s.mask];
        s.ring = grown.get();
        s.head = 0;
        s.mask = 2 * size - 1;
        grown_.push_back(std::move(grown));
    }

    std::unique_ptr<Waiting[]> first_;
    std::vector<std::unique_ptr<Waiting[]>> grown_;
};

}  // namespace

struct CTandemRun::Line {
    std::vector<CGenerator*> generators;
    std::vector<CQueue*> queues;
    std::vector<CChannel*> channels;
    CDispose* sink = nullptr;
};

bool CTandemRun::Find(const CQueuingSystem& m, Line& line) {
    if (!CLineRun::ModelFits(m))
        return false;
    size_t queues = 0;
    size_t channels = 0;
    // Besides the line only sinks, which nothing but the line can reach.
    for (const auto& node : m.nodes) {
        switch (node->runKind) {
            case kGenerator:
                line.generators.push_back(static_cast<CGenerator*>(node.get()));
                break;
            case kQueue:
                ++queues;
                break;
            case kChannel:
                ++channels;
                break;
            case kSink:
                break;
            default:
                return false;
        }
    }
    // The generators' events are the only ones of the list.
    if (line.generators.empty() || queues != channels ||
        m.eventList.EntryCount() != line.generators.size())
        return false;
    CQSObject* at = line.generators[0]->soleReceiver;
    for (const CGenerator* g : line.generators) {
        if (g->soleReceiver != at || !CLineRun::GeneratorFits(m, *g))
            return false;
    }
    while (at && at->runKind == kQueue) {
        if (line.queues.size() == queues)
            return false;  // the line runs in a circle
        auto* q = static_cast<CQueue*>(at);
        CQSObject* next = q->soleReceiver;
        if (!next || next->runKind != kChannel)
            return false;
        auto* c = static_cast<CChannel*>(next);
        // Nothing refused on the way, one device each.
        if (!CLineRun::QueueFits(*q) || q->lengthLimit != 0 || !CLineRun::ChannelFits(m, *c, *q) ||
            c->deviceCount != 1 || c->devices.capacity != 1)
            return false;
        line.queues.push_back(q);
        line.channels.push_back(c);
        at = c->soleReceiver;
    }
    if (!at || at->runKind != kSink || line.queues.empty() || line.queues.size() != queues)
        return false;
    line.sink = static_cast<CDispose*>(at);
    return CLineRun::SinkFits(*line.sink);
}

template <bool kWatched, bool kByTime>
void CTandemRun::Loop(CQueuingSystem& m, const Line& line, CQueuingSystem::Watch* watch) {
    CEventList& list = m.eventList;
    CDispose& sink = *line.sink;
    const uint8_t typeIndex = line.generators[0]->generatedTypes[0];
    const size_t count = line.queues.size();

    // Per node place: the time its event is kept at, and what it is. The
    // general loop reads the time of the node at the head, not the list's key.
    SimTime times[256] = {};
    constexpr uint8_t kSource = 0x80;  // a generator, its number in the low bits
    uint8_t role[256] = {};
    std::vector<Source> sources(line.generators.size());
    for (size_t i = 0; i < sources.size(); ++i) {
        const CGenerator& g = *line.generators[i];
        sources[i] = Source{g.intervalLaw, g.arrivals[1]};
        times[g.index] = g.nextEventTime;
        role[g.index] = static_cast<uint8_t>(kSource | i);
    }
    std::vector<Stage> stages(count);
    Rings rings(count);
    for (size_t k = 0; k < count; ++k) {
        const CQueue& q = *line.queues[k];
        const CChannel& c = *line.channels[k];
        Stage& s = stages[k];
        const DeviceRecord& device = c.devices.records[0];
        s.completion = device.completionTime;
        s.start = device.startTime;
        s.birth = device.birthTime;
        s.idleSum = c.idleSum_;
        s.serviceSum = c.serviceSum_;
        s.waitSum = q.waitSum_[1];
        s.ring = rings.First(k);
        s.mask = Rings::kFirst - 1;
        s.maxIdle = c.maxIdle;
        s.minService = c.minService;
        s.maxService = c.maxService;
        s.minWait = q.minWait[1];
        s.maxWait = q.maxWait[1];
        s.serviceStarts = c.arrivals[1];
        s.queueArrivals = q.arrivals[1];
        s.zeroWait = q.zeroWaitCount[1];
        s.maxQueued = q.maxWaitingCount[1];
        s.service = c.serviceLaws[0];
        s.channelAt = c.index;
        times[c.index] = c.nextEventTime;
        role[c.index] = static_cast<uint8_t>(k);
    }

    LocalRandom random;
    CLineRun::Tally tally(m, sink);
    SimTime& now = tally.now;
    uint32_t& arrived = tally.arrived;
    StopReason& reason = tally.reason;
    const uint32_t insideLimit = m.InSystemLimit();

    // A request enters stage k's queue, or passes it to the free device.
    auto enter = [&](Stage& s, SimTime birth) {
        ++s.queueArrivals;
        if (s.queued == 0 && !s.busy) {
            const float length = random.Draw(s.service);
            CChannel::BookIdle(now - s.completion, s.idleSum, s.maxIdle);
            s.completion = now + length;
            s.start = now;
            s.birth = birth;
            s.busy = true;
            ++s.serviceStarts;
            times[s.channelAt] = s.completion;
            list.AddAt(s.channelAt, s.completion);
            ++s.zeroWait;
        } else {
            rings.Push(s, Waiting{now, birth});
            if (s.queued > s.maxQueued)
                s.maxQueued = s.queued;
        }
    };

    const SimTime timeLimit = m.timeLimit;
    const uint32_t arrivalsLimit = m.arrivalsLimit;
    const uint64_t guard = m.progressGuard;
    uint64_t stalled = 0;
    uint32_t untilLook = CQueuingSystem::Watch::kEventsPerLook;

    while (reason == StopReason::kFinished &&
           !(kByTime ? now > timeLimit : arrived > arrivalsLimit)) {
        const SimTime before = now;
        const uint32_t arrivedBefore = arrived;
        const uint8_t head = list.HeadIndex();
        now = times[head];
        const uint8_t r = role[head];
        if (r & kSource) {
            // A request is born and enters the first stage.
            Source& source = sources[r & ~kSource];
            times[head] = now + random.Draw(source.interval);
            list.HeadChangedTo(times[head]);
            if (tally.inside < insideLimit) {
                random.Next();  // the type is drawn with one type too
                tally.Born();
                enter(stages[0], now);
                ++arrived;
                ++source.arrivals;
            } else {
                reason = StopReason::kTooManyRequests;
            }
        } else {
            // A service ends: the request goes on, the device to the front request.
            Stage& s = stages[r];
            CChannel::BookService(s.completion - s.start, s.serviceSum, s.minService,
                                  s.maxService);
            if (r + 1u < count) {
                enter(stages[r + 1u], s.birth);
            } else {
                tally.Absorbed(s.birth);
            }
            s.busy = false;
            if (s.queued != 0) {
                const Waiting w = Rings::Pop(s);
                const SimTime wait = now - w.arrival;
                s.waitSum += wait;
                const float waitF = static_cast<float>(wait);
                if (waitF < s.minWait)
                    s.minWait = waitF;
                if (waitF > s.maxWait)
                    s.maxWait = waitF;
                const float length = random.Draw(s.service);
                s.completion = now + length;
                s.start = now;
                s.birth = w.birth;
                s.busy = true;
                ++s.serviceStarts;
                times[head] = s.completion;
                // The head as the list has it: a start of the next stage at a
                // time before now (a negative duration) has taken its place.
                list.HeadChangedTo(times[list.HeadIndex()]);
            } else {
                list.Remove(head);
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
    tally.HandBack(m, sink);
    for (size_t i = 0; i < sources.size(); ++i) {
        CGenerator& g = *line.generators[i];
        g.nextEventTime = times[g.index];
        g.arrivals[1] = sources[i].arrivals;
    }
    for (size_t k = 0; k < count; ++k) {
        CQueue& q = *line.queues[k];
        CChannel& c = *line.channels[k];
        Stage& s = stages[k];
        q.arrivals[1] = s.queueArrivals;
        q.zeroWaitCount[1] = s.zeroWait;
        q.waitingCount[0] = q.waitingCount[1] = s.queued;
        q.maxWaitingCount[0] = q.maxWaitingCount[1] = s.maxQueued;
        q.waitSum_[1] = s.waitSum;
        q.minWait[1] = s.minWait;
        q.maxWait[1] = s.maxWait;
        while (s.queued != 0) {
            const Waiting w = Rings::Pop(s);
            QueueRequest request;
            request.requestType = typeIndex;
            request.arrivalTime = w.arrival;
            request.birthTime = w.birth;
            q.classes[0].push_back(request);
        }
        // A device that never started keeps its record as it was.
        CDeviceList& devices = c.devices;
        if (s.serviceStarts != c.arrivals[1]) {
            devices.records[0] = DeviceRecord{typeIndex, s.completion, s.start, s.birth};
            devices.firstBusy = devices.lastBusy = 0;
            devices.busyCount = s.busy ? 1 : 0;
            devices.allFree = s.busy ? 0 : 1;
        }
        c.arrivals[1] = s.serviceStarts;
        c.idleSum_ = s.idleSum;
        c.serviceSum_ = s.serviceSum;
        c.maxIdle = s.maxIdle;
        c.minService = s.minService;
        c.maxService = s.maxService;
        c.nextEventTime = times[c.index];
    }
}

bool CTandemRun::TryRun(CQueuingSystem& m, CQueuingSystem::Watch* watch) {
    Line line;
    if (!Find(m, line))
        return false;
    if (m.stopByTime) {
        watch ? Loop<true, true>(m, line, watch) : Loop<false, true>(m, line, nullptr);
    } else {
        watch ? Loop<true, false>(m, line, watch) : Loop<false, false>(m, line, nullptr);
    }
    return true;
}

}  // namespace marvolt
