// The model container and the node base.
#pragma once

#include <array>
#include <cstdint>
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

class CQueuingSystem;

class CQSObject {
  public:
    uint8_t index = 0;
    uint8_t kind;
    CQueuingSystem* owner;
    std::string name;
    std::string description;
    std::vector<uint8_t> receivers;
    std::vector<float> routingProbabilities;
    uint8_t routingDiscipline = kRouteInOrder;
    std::vector<uint32_t> arrivals;  // per type slot; empty until the first run
    int32_t x = 1;
    int32_t y = 1;

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
        : kind(nodeKind), owner(model), name(std::move(nodeName)) {}
    CQSObject(const CQSObject&) = default;
    CQSObject& operator=(const CQSObject&) = delete;

    // The per-kind steps the container applies; each kind extends them.
    friend class CQueuingSystem;
    void RemoveNodeReferences(uint8_t deleted);
};

class CGenerator;
class CChannel;
class CQueue;
class CDispose;

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

    // Set when the last run was cut short because it stopped making progress
    // toward its stop criterion.
    bool stoppedByGuard = false;
    // Consecutive events without progress after which a run is stopped.
    uint64_t progressGuard = 50'000'000;

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

    // Running.
    void Run();
    bool Stop() const;
    int Experiment();
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

  private:
    template <class Node>
    Node* AddNode(const std::string& name);
    int RunFactorExperiment();
};

}  // namespace marvolt
