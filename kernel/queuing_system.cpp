#include "kernel/queuing_system.h"

#include <algorithm>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/line_run.h"
#include "kernel/tandem_run.h"
#include "kernel/node_calls.h"
#include "kernel/queue.h"
#include "kernel/run_watch.h"
#include "kernel/sink.h"

namespace marvolt {

// ---- node base ----

void CQSObject::Write(RecordWriter&) const {}
bool CQSObject::Read(RecordReader&) {
    return false;
}

int CQSObject::Validate() const {
    if (routingDiscipline != kRouteRandom)
        return kOk;
    float sum = 0.0f;
    for (float p : routingProbabilities)
        sum += p;
    return (sum < 0.98f || sum > 1.02f) ? kRoutingProbabilities : kOk;
}

uint8_t CQSObject::ChooseReceiver(uint8_t type) {
    const auto& all = owner->nodes;
    switch (routingDiscipline) {
        case kRouteInOrder:
            for (uint8_t r : receivers) {
                if (node_calls::CanAccept(all[r].get(), type))
                    return r;
            }
            return kNoIndex;
        case kRouteRandom: {
            // The share of a receiver that cannot accept falls to those after it.
            float total = 0.0f;
            for (float p : routingProbabilities)
                total += p;
            return ChooseByProbability(receivers, routingProbabilities, total, [&](uint8_t r) {
                return node_calls::CanAccept(all[r].get(), type);
            });
        }
        default: {
            uint8_t best = kNoIndex;
            uint32_t bound = 2147483647u;
            if (!fewestQueues.empty()) {
                for (const FewestQueue& q : fewestQueues) {
                    if (q.accepted && !(type < q.acceptedCount && q.accepted[type]))
                        continue;
                    const uint32_t held = *q.held;
                    if (held >= q.lengthLimit)
                        continue;
                    // Chosen by a mask, not a branch: which queue is shorter follows
                    // no pattern, and the compiler turned a plain choice into a jump.
                    const uint32_t take = 0u - static_cast<uint32_t>(held < bound);
                    best = static_cast<uint8_t>((q.node & take) | (best & ~take));
                    bound = (held & take) | (bound & ~take);
                }
                return best;
            }
            for (uint8_t r : receivers) {
                if (!node_calls::CanAccept(all[r].get(), type))
                    continue;
                const uint32_t held = node_calls::HeldCount(all[r].get());
                if (held < bound) {
                    bound = held;
                    best = r;
                }
            }
            return best;
        }
    }
}

void CQSObject::PassOn(uint8_t type, SimTime birthTime) {
    node_calls::PassOn(this, type, birthTime);
}

void CQSObject::RemoveNodeReferences(uint8_t deleted) {
    for (size_t i = receivers.size(); i-- > 0;) {
        if (receivers[i] == deleted) {
            receivers.erase(receivers.begin() + static_cast<std::ptrdiff_t>(i));
            routingProbabilities.erase(routingProbabilities.begin() +
                                       static_cast<std::ptrdiff_t>(i));
        } else if (receivers[i] > deleted) {
            --receivers[i];
        }
    }
}

// ---- the container ----

CQueuingSystem::CQueuingSystem()
    : defaultNames{"Генератор", "Канал", "Накопитель", "Сток", "Тип_заявки"} {}

CQueuingSystem::~CQueuingSystem() = default;

void CQueuingSystem::Refuse(uint8_t type, SimTime birthTime) {
    if (refusalSink) {
        node_calls::Accept(refusalSink, type, birthTime);
    } else {
        // Without a refusal sink the request simply leaves the system.
        requestTypes[type]->ChangeCount(-1);
    }
}

bool CQueuingSystem::HandOver(uint8_t receiver, uint8_t type, SimTime birthTime) {
    return node_calls::HandOver(*this, nodes[receiver].get(), type, birthTime);
}

template <class Node>
Node* CQueuingSystem::AddNode(const std::string& name) {
    if (nodes.size() >= ObjectLimit || FindNode(name))
        return nullptr;
    auto node = std::make_unique<Node>(name, this);
    Node* raw = node.get();
    nodes.push_back(std::move(node));
    return raw;
}

CGenerator* CQueuingSystem::AddGenerator(const std::string& name) {
    return AddNode<CGenerator>(name);
}
CChannel* CQueuingSystem::AddChannel(const std::string& name) {
    return AddNode<CChannel>(name);
}
CQueue* CQueuingSystem::AddQueue(const std::string& name) {
    return AddNode<CQueue>(name);
}
CDispose* CQueuingSystem::AddSink(const std::string& name) {
    return AddNode<CDispose>(name);
}

static void RenumberAfterDelete(uint8_t& index, uint8_t deleted) {
    if (index == kNoIndex)
        return;
    if (index == deleted) {
        index = kNoIndex;
    } else if (index > deleted) {
        --index;
    }
}

int CQueuingSystem::DeleteNode(const std::string& name) {
    const uint8_t i = NodeIndex(name);
    if (i == kNoIndex)
        return kNoSuchNode;
    // The editor never deletes the refusal sink; a caller that does must not leave it dangling.
    if (refusalSink == nodes[i].get())
        refusalSink = nullptr;
    nodes.erase(nodes.begin() + i);
    for (auto& node : nodes) {
        switch (node->kind) {
            case kChannel:
                static_cast<CChannel*>(node.get())->RemoveNodeReferences(i);
                break;
            case kSink:
                break;
            default:
                node->RemoveNodeReferences(i);
                break;
        }
    }
    RenumberAfterDelete(plannedFactor.factorObject, i);
    RenumberAfterDelete(usedFactor.factorObject, i);
    dependencies.RemoveObject(i);
    return kOk;
}

CRequestType* CQueuingSystem::AddRequestType(const std::string& name) {
    if (requestTypes.size() >= RequestTypeLimit || FindRequestType(name))
        return nullptr;
    auto type = std::make_unique<CRequestType>(name, this);
    const uint8_t t = typeCount();
    for (auto& node : nodes) {
        switch (node->kind) {
            case kChannel:
                static_cast<CChannel*>(node.get())->InsertType(t);
                break;
            case kQueue:
                static_cast<CQueue*>(node.get())->InsertType(t);
                break;
            case kSink:
                static_cast<CDispose*>(node.get())->InsertType(t);
                break;
            default:
                break;  // generators generate nothing new by themselves
        }
    }
    requestTypes.push_back(std::move(type));
    return requestTypes.back().get();
}

int CQueuingSystem::DeleteRequestType(const std::string& name) {
    const uint8_t t = RequestTypeIndex(name);
    if (t == kNoIndex)
        return kNoSuchType;
    requestTypes.erase(requestTypes.begin() + t);
    for (auto& node : nodes) {
        switch (node->kind) {
            case kGenerator:
                static_cast<CGenerator*>(node.get())->EraseType(t);
                break;
            case kChannel:
                static_cast<CChannel*>(node.get())->EraseType(t);
                break;
            case kQueue:
                static_cast<CQueue*>(node.get())->EraseType(t);
                break;
            case kSink:
                static_cast<CDispose*>(node.get())->EraseType(t);
                break;
        }
    }
    RenumberAfterDelete(plannedFactor.factorType, t);
    RenumberAfterDelete(usedFactor.factorType, t);
    dependencies.RemoveRequestType(t);
    return kOk;
}

int CQueuingSystem::Link(uint8_t source, uint8_t receiver) {
    if (source >= nodeCount() || receiver >= nodeCount())
        return kNoSuchNode;
    CQSObject* s = nodes[source].get();
    CQSObject* r = nodes[receiver].get();
    if (s->kind == kSink)
        return kLinkFromSink;
    if (r->kind == kGenerator)
        return kLinkToGenerator;
    if (s->kind == kQueue && r->kind == kQueue)
        return kLinkQueueToQueue;
    if (std::find(s->receivers.begin(), s->receivers.end(), receiver) != s->receivers.end())
        return kLinkExists;
    s->receivers.push_back(receiver);
    s->routingProbabilities.push_back(0.0f);
    if (r->kind == kChannel)
        static_cast<CChannel*>(r)->AddSource(source);
    return kOk;
}

int CQueuingSystem::Unlink(uint8_t source, uint8_t receiver) {
    if (source >= nodeCount() || receiver >= nodeCount())
        return kNoSuchNode;
    CQSObject* s = nodes[source].get();
    const auto it = std::find(s->receivers.begin(), s->receivers.end(), receiver);
    if (it == s->receivers.end())
        return kNoSuchLink;
    s->routingProbabilities.erase(s->routingProbabilities.begin() + (it - s->receivers.begin()));
    s->receivers.erase(it);
    CQSObject* r = nodes[receiver].get();
    if (r->kind == kChannel)
        static_cast<CChannel*>(r)->RemoveSource(source);
    return kOk;
}

CQSObject* CQueuingSystem::FindNode(const std::string& name) const {
    for (const auto& node : nodes) {
        if (node->name == name)
            return node.get();
    }
    return nullptr;
}

uint8_t CQueuingSystem::NodeIndex(const std::string& name) const {
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i]->name == name)
            return static_cast<uint8_t>(i);
    }
    return kNoIndex;
}

CRequestType* CQueuingSystem::FindRequestType(const std::string& name) const {
    const uint8_t t = RequestTypeIndex(name);
    return t == kNoIndex ? nullptr : requestTypes[t].get();
}

uint8_t CQueuingSystem::RequestTypeIndex(const std::string& name) const {
    for (size_t i = 0; i < requestTypes.size(); ++i) {
        if (requestTypes[i]->name == name)
            return static_cast<uint8_t>(i);
    }
    return kNoIndex;
}

int CQueuingSystem::SetRefusalSink(const std::string& name) {
    CQSObject* node = FindNode(name);
    // Only a sink can absorb what it is sent; anything else would lose requests.
    if (!node || node->kind != kSink)
        return kNoSuchNode;
    refusalSink = node;
    return kOk;
}

std::string CQueuingSystem::DefaultNodeName(uint8_t nodeKind) const {
    if (nodeKind > kSink)
        return {};
    for (int n = 1; n <= ObjectLimit; ++n) {
        std::string candidate = defaultNames[nodeKind] + std::to_string(n);
        if (!FindNode(candidate))
            return candidate;
    }
    return {};
}

std::string CQueuingSystem::DefaultTypeName() const {
    for (int n = 1; n <= RequestTypeLimit; ++n) {
        std::string candidate = defaultNames[4] + std::to_string(n);
        if (!FindRequestType(candidate))
            return candidate;
    }
    return {};
}

template <class Node>
static std::unique_ptr<CQSObject> CloneNode(const CQSObject& source, CQueuingSystem* owner,
                                            bool withResults) {
    auto copy = std::make_unique<Node>(static_cast<const Node&>(source));
    copy->owner = owner;
    copy->soleReceiver = nullptr;
    copy->fewestQueues.clear();
    if (!withResults)
        copy->DropIndicators();
    return copy;
}

std::unique_ptr<CQueuingSystem> CQueuingSystem::CopyModel(const CQueuingSystem& source,
                                                          bool withResults) {
    auto copy = std::make_unique<CQueuingSystem>();
    copy->defaultNames = {};
    copy->factorRun = source.factorRun;
    copy->lastRunWasFactor = source.lastRunWasFactor;
    copy->resultsValid = source.resultsValid;
    copy->modelName = source.modelName;
    for (const auto& type : source.requestTypes) {
        auto t = std::make_unique<CRequestType>(*type);
        t->owner = copy.get();
        copy->requestTypes.push_back(std::move(t));
    }
    const bool results = withResults && source.resultsValid;
    for (const auto& node : source.nodes) {
        std::unique_ptr<CQSObject> n;
        switch (node->kind) {
            case kGenerator:
                n = CloneNode<CGenerator>(*node, copy.get(), results);
                break;
            case kChannel:
                n = CloneNode<CChannel>(*node, copy.get(), results);
                static_cast<CChannel*>(n.get())->reserveFor.clear();
                static_cast<CChannel*>(n.get())->soleSource = nullptr;
                break;
            case kQueue:
                n = CloneNode<CQueue>(*node, copy.get(), results);
                break;
            default:
                n = CloneNode<CDispose>(*node, copy.get(), results);
                break;
        }
        copy->nodes.push_back(std::move(n));
    }
    if (source.refusalSink)
        copy->refusalSink = copy->FindNode(source.refusalSink->name);
    copy->modelTime = source.modelTime;
    copy->arrived = source.arrived;
    copy->statisticsStart = source.statisticsStart;
    copy->arrivedBeforeStatistics = source.arrivedBeforeStatistics;
    copy->warmupTime = source.warmupTime;
    copy->inSystem = source.inSystem;
    copy->maxInSystem = source.maxInSystem;
    copy->stopByTime = source.stopByTime;
    copy->timeLimit = source.timeLimit;
    copy->arrivalsLimit = source.arrivalsLimit;
    copy->countDistFlag = source.countDistFlag;
    copy->countDistribution = source.countDistribution;
    copy->stopReason = source.stopReason;
    copy->factorRunsDone = source.factorRunsDone;
    copy->limitStopRun = source.limitStopRun;
    copy->inSystemLimit_ = source.inSystemLimit_;
    return copy;
}

// ---- running ----

void CQueuingSystem::BeginRun() {
    arrived = 0;
    inSystem = 0.0f;
    requestsInSystem = 0;
    maxInSystem = 0;
    lastCountChange = 0;
    handOverDepth = 0;
    cycleRefusals = 0;
    stopReason = StopReason::kFinished;
    statisticsStart = 0;
    arrivedBeforeStatistics = 0;
    if (countDistFlag)
        countDistribution.ResetBins();
    modelTime = 0;
    for (size_t i = 0; i < nodes.size(); ++i) {
        CQSObject* node = nodes[i].get();
        node->index = static_cast<uint8_t>(i);
        node->BeginRun();
    }
    // A single receiver chosen without a draw needs no choosing per request.
    for (const auto& node : nodes) {
        const bool sole = node->receivers.size() == 1 && node->routingDiscipline != kRouteRandom &&
                          node->receivers[0] < nodes.size();
        node->soleReceiver = sole ? nodes[node->receivers[0]].get() : nullptr;
        node->fewestQueues.clear();
        const bool fewestAmongQueues =
            node->routingDiscipline == kRouteFewest && !node->receivers.empty() &&
            std::all_of(node->receivers.begin(), node->receivers.end(), [&](uint8_t r) {
                return r < nodes.size() && nodes[r]->runKind == kQueue &&
                       !static_cast<const CQueue*>(nodes[r].get())->Lazy();
            });
        if (fewestAmongQueues) {
            // The counts stay where BeginRun of the queues put them until the run ends.
            for (uint8_t r : node->receivers) {
                const auto* q = static_cast<const CQueue*>(nodes[r].get());
                const bool all = AcceptsEveryType(q->acceptedTypes, typeCount());
                node->fewestQueues.push_back(
                    {q->waitingCount.data(), all ? nullptr : q->acceptedTypes.data(),
                     static_cast<uint32_t>(q->acceptedTypes.size()),
                     q->lengthLimit != 0 ? q->lengthLimit : UINT32_MAX, r});
            }
        }
    }
    for (size_t i = 0; i < requestTypes.size(); ++i) {
        requestTypes[i]->index = static_cast<uint8_t>(i);
        requestTypes[i]->ResetType();
    }
    eventList.Build(nodeCount(), nodes.data());
    modelTime = 0;
}

void CQueuingSystem::EndRun() {
    for (auto& node : nodes)
        node->EndRun();
    inSystem = 0.0f;
    for (auto& type : requestTypes) {
        type->FinishType();
        inSystem += type->meanInSystem;
    }
    requestsInSystem = 0;
    eventList.Clear();
    for (auto& node : nodes) {
        node->soleReceiver = nullptr;
        node->fewestQueues.clear();
    }
}

bool CQueuingSystem::Stop() const {
    return stopByTime ? Stopped<true>() : Stopped<false>();
}

template <bool kWatched, bool kUntilWarmup, bool kByTime>
bool CQueuingSystem::Loop(Watch* watch) {
    uint64_t stalled = 0;
    // A local count stays in a register across the nodes' calls.
    uint32_t untilLook = Watch::kEventsPerLook;
    while (!Stopped<kByTime>()) {
        CQSObject* p = eventList.Head();
        if constexpr (kUntilWarmup) {
            if (p->nextEventTime >= warmupTime)
                return true;
        }
        const SimTime before = modelTime;
        const uint32_t arrivedBefore = arrived;
        modelTime = p->nextEventTime;
        node_calls::ProcessEvent(p);
        const bool progress = kByTime ? modelTime > before : arrived > arrivedBefore;
        if (Watch::GuardStops(progress, stalled, progressGuard, stopReason))
            break;
        if constexpr (kWatched) {
            if (watch->Cancels(*this, untilLook, stopReason, [] {}))
                break;
        }
    }
    return false;
}

void CQueuingSystem::RunWatched(Watch* watch) {
    BeginRun();
    bool goOn = true;
    if (warmupTime > 0) {
        goOn = watch ? LoopFor<true, true>(watch) : LoopFor<false, true>(nullptr);
        if (goOn) {
            // The statistics start at the warm-up time itself, between two events.
            modelTime = warmupTime;
            ResetStatistics();
        }
    }
    if (goOn && !CLineRun::TryRun(*this, watch) && !CTandemRun::TryRun(*this, watch)) {
        if (watch) {
            LoopFor<true, false>(watch);
        } else {
            LoopFor<false, false>(nullptr);
        }
    }
    EndRun();
}

void CQueuingSystem::ResetStatistics() {
    // Queues first: one that refuses its expired requests now books them
    // before the sinks and the counts start afresh.
    for (auto& node : nodes) {
        if (node->kind == kQueue)
            static_cast<CQueue*>(node.get())->ResetStatistics();
    }
    statisticsStart = modelTime;
    arrivedBeforeStatistics = arrived;
    maxInSystem = requestsInSystem;
    lastCountChange = modelTime;
    cycleRefusals = 0;
    if (countDistFlag)
        countDistribution.ResetBins();
    for (auto& node : nodes) {
        switch (node->kind) {
            case kGenerator:
                std::fill(node->arrivals.begin(), node->arrivals.end(), 0u);
                break;
            case kChannel:
                static_cast<CChannel*>(node.get())->ResetStatistics();
                break;
            case kSink:
                static_cast<CDispose*>(node.get())->ResetStatistics();
                break;
            default:
                break;
        }
    }
    for (auto& type : requestTypes)
        type->ResetStatistics();
}

void CQueuingSystem::Run(const ProgressCallback& progress) {
    if (!progress) {
        RunWatched(nullptr);
        return;
    }
    Watch watch{progress, progressPeriod, RunProgress{}};
    RunWatched(&watch);
}

int CQueuingSystem::Experiment(const ProgressCallback& progress) {
    limitStopRun = kNoIndex;
    if (factorRun)
        return RunFactorExperiment(progress);
    Run(progress);
    resultsValid = 1;
    return kOk;
}

}  // namespace marvolt
