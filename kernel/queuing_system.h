// The model container and the node base.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kernel/depends_vector.h"
#include "kernel/event_list.h"
#include "kernel/indicator_ids.h"
#include "kernel/random_stat.h"
#include "kernel/record_io.h"
#include "kernel/request_type.h"
#include "kernel/sim_time.h"

namespace marvolt {

constexpr int ObjectLimit = 250;
constexpr int RequestTypeLimit = 250;
constexpr uint8_t kNoIndex = 255;
constexpr float kLargestFloat = 3.4028235e38f;

enum NodeKind : uint8_t { kGenerator = 0, kChannel = 1, kQueue = 2, kSink = 3 };
// A node of a class the kernel does not know (tests make such nodes).
constexpr uint8_t kForeignNode = 255;

enum RoutingDiscipline : uint8_t { kRouteInOrder = 0, kRouteRandom = 1, kRouteFewest = 2 };

// Result codes shared by the container, the factor settings and validation.
enum ResultCode : int {
    kOk = 0,
    kNoSuchNode = 1,
    kNoSuchType = 2,
    kFactorNoValues = 5,
    kFactorNegativeStart = 6,
    kFactorWrongParameter = 7,
    kTypeProbabilities = 11,
    kRoutingProbabilities = 12,
    kSourceProbabilities = 13,
    kLinkFromSink = 14,
    kLinkToGenerator = 15,
    kLinkExists = 16,
    kNoSuchLink = 17,
    kNotGenerated = 18,
    kLinkQueueToQueue = 19,
};

// Why the last run or factor experiment ended. Later reasons are added at the end.
enum class StopReason : uint8_t {
    kFinished = 0,         // the stop criterion was reached (or nothing was left to happen)
    kProgressGuard = 1,    // the run stopped coming closer to its stop criterion
    kCancelled = 2,        // the progress callback asked to stop
    kTooManyRequests = 3,  // one more request would have passed the bound on the requests held
};

// The requests a model may hold at once unless told otherwise: far more than an
// honest model keeps waiting, far less than would exhaust the memory.
constexpr uint32_t kDefaultInSystemLimit = uint32_t{1} << 24;

// Where a run in progress stands: the share of its stop criterion reached
// and, in a factor experiment, which run of how many it is (run counts from 0).
struct RunProgress {
    float share = 0.0f;
    int run = 0;
    int runs = 1;
    // The share of the whole experiment.
    float Overall() const { return (static_cast<float>(run) + share) / static_cast<float>(runs); }
};

// Called now and then during a run, never per event; false cancels the run.
using ProgressCallback = std::function<bool(const RunProgress&)>;

class CQueuingSystem;

// Told of every waiting time a queue records (a request passed straight on
// waited 0) and every lifetime a sink records, in the order they are
// recorded; the model time says when. A run without one pays a null check.
class CObservationHook {
  public:
    virtual void Observe(uint8_t node, SimTime value) = 0;

  protected:
    ~CObservationHook() = default;
};

class CQSObject {
  public:
    // What a run never reads comes first; what it reads on every request
    // follows, right before the fields of the node's kind that it reads too,
    // so that a request touches few cache lines.
    std::string name;
    std::string description;
    std::vector<float> routingProbabilities;
    int32_t x = 1;
    int32_t y = 1;
    uint8_t index = 0;
    uint8_t kind;
    uint8_t routingDiscipline = kRouteInOrder;
    // The node's kind when it is one of the kernel's own (final) node classes,
    // which the hot path then calls directly; kForeignNode otherwise.
    uint8_t runKind = kForeignNode;
    CQueuingSystem* owner;
    // The time of the node's pending event, kept here so that the event list
    // reads it without asking the node.
    SimTime nextEventTime = 0;
    // Chosen when a run starts: the only receiver of a node that routes to one
    // node without a draw, which the hand-over then asks directly; null otherwise.
    CQSObject* soleReceiver = nullptr;
    std::vector<uint32_t> arrivals;  // per type slot; empty until the first run
    std::vector<uint8_t> receivers;
    // Chosen when a run starts: routing to the fewest among queues of the
    // kernel's own that refuse nothing lazily. The choice then reads this
    // table, one entry per receiver, instead of the queues themselves, which
    // would cost several cache lines each per request.
    struct FewestQueue {
        const uint32_t* held;      // the queue's count of waiting requests
        const uint8_t* accepted;   // per type; null when the queue takes every type
        uint32_t acceptedCount;
        uint32_t lengthLimit;      // the largest count when the queue has no limit
        uint8_t node;
    };
    std::vector<FewestQueue> fewestQueues;

    uint8_t receiverCount() const { return static_cast<uint8_t>(receivers.size()); }

    // The node operations, in their fixed slot order.
    virtual void BeginRun() = 0;
    virtual void EndRun() = 0;
    virtual void Accept(uint8_t type, SimTime birthTime) = 0;
    virtual void ProcessEvent() = 0;
    virtual bool CanAccept(uint8_t type) = 0;
    virtual bool HasRequestFor(const uint8_t* mask) = 0;
    virtual SimTime NextEventTime() const = 0;
    virtual uint32_t HeldCount() const = 0;
    virtual ~CQSObject() = default;
    virtual void Write(RecordWriter& out) const;
    virtual bool Read(RecordReader& in);
    virtual int Validate() const;

    // The receiver for a request of this type, or 255 when none qualifies.
    uint8_t ChooseReceiver(uint8_t type);
    // Routes a request on: to the chosen receiver, else to the refusal sink.
    void PassOn(uint8_t type, SimTime birthTime);

  protected:
    CQSObject(uint8_t nodeKind, std::string nodeName, CQueuingSystem* model)
        : name(std::move(nodeName)), kind(nodeKind), owner(model) {}
    CQSObject(const CQSObject&) = default;
    CQSObject& operator=(const CQSObject&) = delete;

    // The per-kind steps the container applies; each kind extends them.
    friend class CQueuingSystem;
    void RemoveNodeReferences(uint8_t deleted);
};

inline void CEventList::HeadChanged() {
    if (count_ == 0)
        return;
    HeadChangedTo(nodes[HeadIndex()]->nextEventTime);
}

class CGenerator;
class CChannel;
class CQueue;
class CDispose;

// Whether a per-type table of accepted types lets every one of the model's types in.
inline bool AcceptsEveryType(const std::vector<uint8_t>& accepted, uint8_t types) {
    if (accepted.size() < types)
        return false;
    for (uint8_t t = 0; t < types; ++t) {
        if (accepted[t] == 0)
            return false;
    }
    return true;
}

// The random choice by probability that routing and the choice of a source
// share: u is drawn in [0, total]; the first entry that qualifies and whose
// running sum of probabilities reaches u is chosen; 255 when none does.
template <class Qualifies>
uint8_t ChooseByProbability(const std::vector<uint8_t>& nodes,
                            const std::vector<float>& probabilities, float total,
                            Qualifies qualifies) {
    if (!(total > 0.0f))
        return kNoIndex;
    const float u = static_cast<float>(NextRandom() * static_cast<double>(total) / 32767.0);
    float sum = 0.0f;
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (!qualifies(nodes[i]))
            continue;
        sum += probabilities[i];
        if (sum >= u)
            return nodes[i];
    }
    return kNoIndex;
}

class CQueuingSystem {
  public:
    std::vector<std::unique_ptr<CQSObject>> nodes;
    std::vector<std::unique_ptr<CRequestType>> requestTypes;
    CQSObject* refusalSink = nullptr;
    CEventList eventList;
    CDependsVector dependencies;
    FactorSettings plannedFactor;
    FactorSettings usedFactor;
    std::array<std::string, 5> defaultNames;
    float precision = 0.001f;
    std::string modelName;
    std::string modelDescription;
    uint8_t factorRun = 0;
    uint8_t lastRunWasFactor = 0;
    uint8_t resultsValid = 0;
    uint8_t stopByTime = 0;
    float timeLimit = 10000.0f;
    uint32_t arrivalsLimit = 10000;
    SimTime modelTime = 0;
    uint32_t arrived = 0;
    uint8_t countDistFlag = 0;
    CIDistribution countDistribution;
    float inSystem = 0.0f;  // after a run: the mean number of requests in the system
    uint32_t maxInSystem = 0;
    SimTime lastCountChange = 0;

    // Of the last run or factor experiment; a factor experiment in which one
    // run was stopped by the guard says so even if later runs finished.
    StopReason stopReason = StopReason::kFinished;
    // Consecutive events without progress after which a run is stopped.
    uint64_t progressGuard = 50'000'000;
    // The shortest time between two calls of the progress callback.
    std::chrono::nanoseconds progressPeriod = std::chrono::milliseconds(100);
    // Runs of the last factor experiment that went to their end; fewer than
    // its values when it was cancelled or met the bound. Their dependency
    // values are the valid ones.
    uint8_t factorRunsDone = 0;
    // The run of the last factor experiment, from 0, that the bound on the
    // requests held stopped; 255 when none did.
    uint8_t limitStopRun = kNoIndex;

    CQueuingSystem();
    ~CQueuingSystem();
    CQueuingSystem(const CQueuingSystem&) = delete;
    CQueuingSystem& operator=(const CQueuingSystem&) = delete;

    static std::unique_ptr<CQueuingSystem> CopyModel(const CQueuingSystem& source,
                                                     bool withResults);

    uint8_t nodeCount() const { return static_cast<uint8_t>(nodes.size()); }
    uint8_t typeCount() const { return static_cast<uint8_t>(requestTypes.size()); }
    CQSObject* Node(uint8_t i) const { return nodes[i].get(); }
    CRequestType* RequestType(uint8_t i) const { return requestTypes[i].get(); }

    CGenerator* AddGenerator(const std::string& name);
    CChannel* AddChannel(const std::string& name);
    CQueue* AddQueue(const std::string& name);
    CDispose* AddSink(const std::string& name);
    int DeleteNode(const std::string& name);
    CRequestType* AddRequestType(const std::string& name);
    int DeleteRequestType(const std::string& name);
    int Link(uint8_t source, uint8_t receiver);
    int Unlink(uint8_t source, uint8_t receiver);
    CQSObject* FindNode(const std::string& name) const;
    uint8_t NodeIndex(const std::string& name) const;
    CRequestType* FindRequestType(const std::string& name) const;
    uint8_t RequestTypeIndex(const std::string& name) const;
    int SetRefusalSink(const std::string& name);
    std::string DefaultNodeName(uint8_t nodeKind) const;
    std::string DefaultTypeName() const;

    // Running. With a callback the run reports its progress and may be
    // cancelled; without one it runs exactly as it always did.
    void Run(const ProgressCallback& progress = {});
    bool Stop() const;
    int Experiment(const ProgressCallback& progress = {});
    void BeginRun();
    void EndRun();

    // A request reaches the refusal sink; a model without one lets it leave.
    void Refuse(uint8_t type, SimTime birthTime);
    // Hands a request to a node within the bound on instant hand-overs; past
    // the bound the request is refused instead and the answer is false.
    bool HandOver(uint8_t receiver, uint8_t type, SimTime birthTime);
    static constexpr int kHandOverLimit = 1000;
    int handOverDepth = 0;
    // Requests refused because an instant cycle passed the hand-over bound.
    uint32_t cycleRefusals = 0;

    // Factor experiments.
    int SetFactor(const FactorSettings& settings, uint8_t mask);
    int ValidateFactor() const;
    int PrepareFactor();
    void ApplyFactorValue(int i);
    void RestoreFactor();
    CDependInfo* AddDependency(uint8_t object, uint8_t type, uint8_t indicator);
    bool RemoveDependency(uint8_t object, uint8_t type, uint8_t indicator);
    uint32_t DependencyCount() const { return dependencies.itemCount(); }
    CDependInfo* Dependency(uint32_t i) { return dependencies.Item(i); }

    // Indicators.
    bool IndicatorApplies(uint8_t id, uint8_t object) const;
    uint32_t CountIndicator(uint8_t id, uint8_t object, uint8_t type) const;
    float RealIndicator(uint8_t id, uint8_t object, uint8_t type) const;
    const CDistribution* DistributionIndicator(uint8_t id, uint8_t object, uint8_t type) const;

    // Run-time count of requests inside the network.
    uint32_t requestsInSystem = 0;

    // Every statistic of the run starts afresh at the current model time: the
    // requests inside stay and go on, what they record from now on counts.
    void ResetStatistics();
    // A run resets its statistics before its first event at or after this
    // model time; 0 or less: never, the statistics cover the whole run.
    SimTime warmupTime = 0;
    // Since when the statistics of the last run were kept: 0, or the reset.
    SimTime statisticsStart = 0;
    // The run's arrivals before that moment, which the indicators leave out.
    uint32_t arrivedBeforeStatistics = 0;
    CObservationHook* observer = nullptr;
    // False makes every run take the general loop, also where a loop of its
    // own fits the model; the tests compare the two.
    bool lineRunAllowed = true;

    // The bound on the requests the model may hold during a run.
    void SetInSystemLimit(uint32_t limit) { inSystemLimit_ = limit; }
    uint32_t InSystemLimit() const { return inSystemLimit_; }
    // Whether one more request may enter; when it may not, the run is marked to stop.
    bool AdmitRequest() {
        if (requestsInSystem < inSystemLimit_)
            return true;
        stopReason = StopReason::kTooManyRequests;
        return false;
    }

  private:
    friend class CLineRun;  // runs the plainest line in a loop of its own
    friend class CTandemRun;  // and the tandem line
    uint32_t inSystemLimit_ = kDefaultInSystemLimit;

    template <class Node>
    Node* AddNode(const std::string& name);
    struct Watch;
    // True when it stopped at the warm-up time rather than at the run's end.
    // Stop() with the stop criterion fixed for the run.
    template <bool kByTime>
    bool Stopped() const {
        // A run given a reason to stop within an event (the bound was met) ends there.
        if (!eventList.nonEmpty || stopReason != StopReason::kFinished)
            return true;
        return kByTime ? modelTime > timeLimit : arrived > arrivalsLimit;
    }
    template <bool kWatched, bool kUntilWarmup, bool kByTime>
    bool Loop(Watch* watch);
    template <bool kWatched, bool kUntilWarmup>
    bool LoopFor(Watch* watch) {
        return stopByTime ? Loop<kWatched, kUntilWarmup, true>(watch)
                          : Loop<kWatched, kUntilWarmup, false>(watch);
    }
    void RunWatched(Watch* watch);
    int RunFactorExperiment(const ProgressCallback& progress);
};

// Inline: every request pays it when it enters and when it leaves.
inline void CRequestType::ChangeCount(int32_t delta) {
    CQueuingSystem& m = *owner;
    const SimTime now = m.modelTime;
    const SimTime dt = now - lastChange;
    countIntegral_ += dt * count;
    if (countDistFlag)
        countDistribution.AddWeighted(static_cast<int32_t>(count), static_cast<float>(dt));
    if (m.countDistFlag) {
        m.countDistribution.AddWeighted(static_cast<int32_t>(m.requestsInSystem),
                                        static_cast<float>(now - m.lastCountChange));
    }
    lastChange = now;
    m.lastCountChange = now;

    count += static_cast<uint32_t>(delta);
    m.requestsInSystem += static_cast<uint32_t>(delta);
    if (delta > 0) {
        generated += static_cast<uint32_t>(delta);
        if (count > maxInSystem)
            maxInSystem = count;
        if (m.maxInSystem < m.requestsInSystem)
            m.maxInSystem = m.requestsInSystem;
    }
}

}  // namespace marvolt
