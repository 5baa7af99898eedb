#include "file_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"
#include "persistence/model_file.h"

namespace marvolt::test {

std::unique_ptr<CQueuingSystem> SmallModel() {
    auto m = std::make_unique<CQueuingSystem>();
    m->modelName = "Модель";
    m->modelDescription = "Проверка";
    m->AddRequestType("A")->priority = 3;
    CRequestType* second = m->AddRequestType("Тип_заявки2");
    second->description = "второй";
    second->countDistFlag = 1;
    second->countDistribution.upperBound = 3;
    second->countDistribution.binCount = 4;

    CGenerator* g = m->AddGenerator("Генератор1");
    g->x = 10;
    g->y = 20;
    g->SetGeneratedType(0, true);
    g->SetGeneratedType(1, true);
    g->typeProbabilities = {0.25f, 0.75f};
    g->intervalLaw = {kLawExponential, 0.5f, 0.0f};

    CQueue* q = m->AddQueue("Накопитель1");
    q->x = 100;
    q->y = 20;
    q->discipline = kLifo;
    q->usePriority = 1;
    q->lengthLimited = 1;
    q->waitLimitMode = kWaitFixedLimit;
    q->waitLimit = 2.5f;
    q->lengthLimit = 5;
    q->acceptedTypes = {1, 0};
    q->lengthDistFlags = {0, 1, 0};
    q->waitDistFlags = {1, 0, 0};
    q->waitDistributions[1].emplace();
    q->waitDistributions[1]->upperBound = 10.0f;
    q->waitDistributions[1]->binCount = 5;
    q->lengthDistributions[1].emplace();

    CChannel* c = m->AddChannel("Канал1");
    c->x = 200;
    c->y = 20;
    c->deviceCount = 2;
    c->serviceLaws[0] = {kLawUniform, 1.0f, 2.0f};

    CDispose* s = m->AddSink("Сток отказов");
    s->x = 200;
    s->y = 120;
    m->SetRefusalSink("Сток отказов");

    m->Link(0, 1);
    g->routingProbabilities[0] = 1.0f;
    m->Link(1, 2);

    m->stopByTime = 1;
    m->timeLimit = 500.0f;
    m->plannedFactor.factorObject = 2;
    m->plannedFactor.step = 2.0f;
    m->plannedFactor.valueCount = 3;
    m->dependencies.valueCount = 2;
    m->AddDependency(2, kNoIndex, 3)->values = {1.5f, 2.5f};
    m->AddDependency(kNoIndex, 1, 26);
    return m;
}

std::unique_ptr<CQueuingSystem> RichModel(bool withResults) {
    RestoreRandomStartState();
    auto m = std::make_unique<CQueuingSystem>();
    m->modelName = "Богатая модель";
    m->modelDescription = "строка 1\r\nстрока 2";
    CRequestType* a = m->AddRequestType("A");
    a->priority = 2;
    a->description = "первый";
    CRequestType* b = m->AddRequestType("Тип_заявки2");
    b->countDistFlag = 1;
    b->countDistribution.upperBound = 19;
    b->countDistribution.binCount = 10;
    m->AddRequestType("C")->priority = 1;

    CGenerator* g1 = m->AddGenerator("Генератор1");
    g1->SetGeneratedType(0, true);
    g1->SetGeneratedType(1, true);
    g1->typeProbabilities = {0.6f, 0.4f};
    g1->intervalLaw = {kLawExponential, 1.0f, 0.0f};
    g1->x = 5;
    g1->y = 7;
    CGenerator* g2 = m->AddGenerator("Генератор2");
    g2->SetGeneratedType(2, true);
    g2->typeProbabilities = {1.0f};
    g2->intervalLaw = {kLawUniform, 0.5f, 2.5f};
    g2->batchLaw = {kLawUniform, 0.5f, 2.5f};
    g2->firstEventTime = 0.5;
    g2->storedCount = 7;
    g2->storedFlag = 1;
    g2->x = -40;
    g2->y = 300;

    CQueue* q1 = m->AddQueue("Накопитель1");
    q1->acceptedTypes = {1, 0, 1};
    q1->usePriority = 1;
    q1->lengthLimited = 1;
    q1->lengthLimit = 20;
    q1->waitLimitMode = kWaitRandomLimit;
    q1->waitLimitLaws = {{kLawExponential, 0.2f, 0.0f}, {}, {kLawNormal, 6.0f, 1.5f}};
    q1->waitDistFlags = {1, 0, 0, 1};
    q1->lengthDistFlags = {0, 1, 0, 0};
    q1->description = "очередь с приоритетами";
    CQueue* q2 = m->AddQueue("Накопитель2");
    q2->discipline = kRandomOrder;
    q2->waitLimitMode = kWaitFixedLimit;
    q2->waitLimit = 3.0f;
    q2->lengthDistFlags = {1, 0, 0, 0};

    CChannel* c1 = m->AddChannel("Канал1");
    c1->deviceCount = 2;
    c1->serviceLaws = {
        {kLawExponential, 2.0f, 0.0f}, {kLawUniform, 0.2f, 0.8f}, {kLawNormal, 0.5f, 0.1f}};
    c1->transformOn = 1;
    c1->transformTable = {0, 2, 2};
    c1->failuresOn = 1;
    c1->workLaw = {kLawExponential, 0.05f, 0.0f};
    c1->repairLaw = {kLawDeterministic, 2.0f, 0.0f};
    c1->failureRule = kFailContinueInReserve;
    c1->reserveChannel = 5;
    c1->idleDistFlag = 1;
    c1->serviceDistFlag = 1;
    c1->serviceDistribution.upperBound = 2.0f;
    c1->serviceDistribution.binCount = 20;
    CChannel* c2 = m->AddChannel("Канал2");
    c2->serviceLaws.assign(3, LawRecord{kLawDeterministic, 0.3f, 0.0f});
    c2->sourceDiscipline = kSourceMost;

    CDispose* s1 = m->AddSink("Сток1");
    s1->lifetimeDistFlags = {1, 0, 1, 0};
    s1->lifetimeDistributions[2].emplace();
    s1->lifetimeDistributions[2]->upperBound = 30.0f;
    m->AddSink("Сток отказов");
    m->SetRefusalSink("Сток отказов");

    for (auto [from, to] :
         {std::pair{0, 2}, {0, 5}, {1, 3}, {2, 4}, {3, 5}, {3, 4}, {4, 6}, {5, 6}}) {
        EXPECT_EQ(m->Link(static_cast<uint8_t>(from), static_cast<uint8_t>(to)), kOk);
    }
    g1->routingDiscipline = kRouteRandom;
    g1->routingProbabilities = {0.7f, 0.3f};
    q2->routingDiscipline = kRouteFewest;
    c1->sourceDiscipline = kSourceRandom;
    c1->sourceProbabilities = {0.5f, 0.5f};

    m->stopByTime = 1;
    m->timeLimit = 300.0f;
    m->arrivalsLimit = 123456;
    m->countDistFlag = 1;
    m->countDistribution.upperBound = 29;
    m->countDistribution.binCount = 6;
    FactorSettings f;
    f.factorObject = 4;
    f.factorType = 1;
    f.factorParameter = kFactorServiceMean;
    f.startValue = 0.5f;
    f.step = 0.25f;
    f.valueCount = 4;
    m->plannedFactor = f;
    m->AddDependency(4, kNoIndex, 5);
    m->AddDependency(kNoIndex, kNoIndex, 26);
    m->AddDependency(2, 0, 13);
    m->factorRun = 1;
    if (withResults) {
        EXPECT_EQ(m->Experiment(), kOk);  // the factor experiment
        m->factorRun = 0;
        EXPECT_EQ(m->Experiment(), kOk);  // then a single run
        m->factorRun = 1;
        // Added after the experiment: no values yet.
        m->AddDependency(6, 2, 19);
    }
    return m;
}

namespace {

template <class D>
void ExpectSameDistribution(const D& e, const D& a) {
    EXPECT_EQ(e.lowerBound, a.lowerBound);
    EXPECT_EQ(e.upperBound, a.upperBound);
    EXPECT_EQ(e.binCount, a.binCount);
    EXPECT_EQ(e.sampleCount, a.sampleCount);
    EXPECT_EQ(e.binWidth, a.binWidth);
    EXPECT_EQ(e.HasBins(), a.HasBins());
    if constexpr (std::is_same_v<D, CFDistribution>) {
        EXPECT_EQ(e.binCounts, a.binCounts);
    } else {
        EXPECT_EQ(e.binWeights, a.binWeights);
    }
}

template <class D>
void ExpectSameSlot(const std::vector<std::optional<D>>& e, const std::vector<std::optional<D>>& a,
                    size_t slot, bool stored) {
    SCOPED_TRACE("slot " + std::to_string(slot));
    ASSERT_LT(slot, a.size());
    if (!stored) {
        EXPECT_FALSE(a[slot].has_value());
        return;
    }
    ASSERT_TRUE(a[slot].has_value());
    const D fresh;
    ExpectSameDistribution(slot < e.size() && e[slot] ? *e[slot] : fresh, *a[slot]);
}

void ExpectSameNode(const CQSObject& e, const CQSObject& a, bool results) {
    ASSERT_EQ(e.kind, a.kind);
    EXPECT_EQ(e.name, a.name);
    EXPECT_EQ(e.description, a.description);
    EXPECT_EQ(e.receivers, a.receivers);
    EXPECT_EQ(e.routingProbabilities, a.routingProbabilities);
    EXPECT_EQ(e.routingDiscipline, a.routingDiscipline);
    EXPECT_EQ(results ? e.arrivals : std::vector<uint32_t>{}, a.arrivals);
    EXPECT_EQ(e.x, a.x);
    EXPECT_EQ(e.y, a.y);
    const size_t slots = e.owner->typeCount() + 1u;
    switch (e.kind) {
        case kGenerator: {
            const auto& ge = static_cast<const CGenerator&>(e);
            const auto& ga = static_cast<const CGenerator&>(a);
            EXPECT_EQ(ge.generatedTypes, ga.generatedTypes);
            EXPECT_EQ(ge.typeProbabilities, ga.typeProbabilities);
            EXPECT_EQ(ge.batchLaw, ga.batchLaw);
            EXPECT_EQ(ge.intervalLaw, ga.intervalLaw);
            EXPECT_EQ(static_cast<float>(ge.firstEventTime), ga.firstEventTime);
            EXPECT_EQ(ge.storedCount, ga.storedCount);
            EXPECT_EQ(ge.storedFlag, ga.storedFlag);
            break;
        }
        case kChannel: {
            const auto& ce = static_cast<const CChannel&>(e);
            const auto& ca = static_cast<const CChannel&>(a);
            EXPECT_EQ(ce.requestCounts, ca.requestCounts);
            EXPECT_EQ(ce.deviceCount, ca.deviceCount);
            EXPECT_EQ(ce.sources, ca.sources);
            EXPECT_EQ(ce.sourceProbabilities, ca.sourceProbabilities);
            EXPECT_EQ(ce.sourceDiscipline, ca.sourceDiscipline);
            EXPECT_EQ(ce.acceptedTypes, ca.acceptedTypes);
            EXPECT_EQ(ce.serviceLaws, ca.serviceLaws);
            EXPECT_EQ(ce.transformTable, ca.transformTable);
            EXPECT_EQ(ce.transformOn, ca.transformOn);
            EXPECT_EQ(ce.failuresOn, ca.failuresOn);
            EXPECT_EQ(ce.workLaw, ca.workLaw);
            EXPECT_EQ(ce.repairLaw, ca.repairLaw);
            EXPECT_EQ(ce.failureRule, ca.failureRule);
            EXPECT_EQ(ce.reserveChannel, ca.reserveChannel);
            EXPECT_EQ(ce.idleDistFlag, ca.idleDistFlag);
            EXPECT_EQ(ce.serviceDistFlag, ca.serviceDistFlag);
            EXPECT_EQ(ce.loadFactor, ca.loadFactor);
            EXPECT_EQ(ce.meanIdle, ca.meanIdle);
            EXPECT_EQ(ce.maxIdle, ca.maxIdle);
            ExpectSameDistribution(ce.idleDistribution, ca.idleDistribution);
            EXPECT_EQ(ce.meanService, ca.meanService);
            EXPECT_EQ(ce.minService, ca.minService);
            EXPECT_EQ(ce.maxService, ca.maxService);
            ExpectSameDistribution(ce.serviceDistribution, ca.serviceDistribution);
            break;
        }
        case kQueue: {
            const auto& qe = static_cast<const CQueue&>(e);
            const auto& qa = static_cast<const CQueue&>(a);
            EXPECT_EQ(qe.discipline, qa.discipline);
            EXPECT_EQ(qe.usePriority, qa.usePriority);
            EXPECT_EQ(qe.lengthLimited, qa.lengthLimited);
            EXPECT_EQ(qe.waitLimitMode, qa.waitLimitMode);
            EXPECT_EQ(qe.waitLimit, qa.waitLimit);
            EXPECT_EQ(qe.lengthLimit, qa.lengthLimit);
            EXPECT_EQ(qe.acceptedTypes, qa.acceptedTypes);
            EXPECT_EQ(qe.waitLimitLaws, qa.waitLimitLaws);
            EXPECT_EQ(qe.lengthDistFlags, qa.lengthDistFlags);
            EXPECT_EQ(qe.waitDistFlags, qa.waitDistFlags);
            auto expectIndicators = [results](const auto& ev, const auto& av) {
                using V = std::decay_t<decltype(ev)>;
                EXPECT_EQ(results ? ev : V{}, av);
            };
            expectIndicators(qe.refused, qa.refused);
            expectIndicators(qe.totalWait, qa.totalWait);
            expectIndicators(qe.minWait, qa.minWait);
            expectIndicators(qe.maxWait, qa.maxWait);
            expectIndicators(qe.meanLength, qa.meanLength);
            expectIndicators(qe.maxWaitingCount, qa.maxWaitingCount);
            expectIndicators(qe.waitingCount, qa.waitingCount);
            expectIndicators(qe.zeroWaitCount, qa.zeroWaitCount);
            for (size_t s = 0; s < slots; ++s) {
                const bool stored = s == 0 || qe.acceptedTypes[s - 1] != 0;
                ExpectSameSlot(qe.waitDistributions, qa.waitDistributions, s, stored);
                ExpectSameSlot(qe.lengthDistributions, qa.lengthDistributions, s, stored);
            }
            break;
        }
        default: {
            const auto& de = static_cast<const CDispose&>(e);
            const auto& da = static_cast<const CDispose&>(a);
            EXPECT_EQ(results ? de.meanLifetime : std::vector<float>{}, da.meanLifetime);
            EXPECT_EQ(results ? de.minLifetime : std::vector<float>{}, da.minLifetime);
            EXPECT_EQ(results ? de.maxLifetime : std::vector<float>{}, da.maxLifetime);
            EXPECT_EQ(de.lifetimeDistFlags, da.lifetimeDistFlags);
            for (size_t s = 0; s < slots; ++s) {
                ExpectSameSlot(de.lifetimeDistributions, da.lifetimeDistributions, s, true);
            }
            break;
        }
    }
}

uint8_t RefusalSinkIndex(const CQueuingSystem& m) {
    for (size_t i = 0; i < m.nodes.size(); ++i) {
        if (m.nodes[i].get() == m.refusalSink)
            return static_cast<uint8_t>(i);
    }
    return kNoIndex;
}

}  // namespace

void ExpectSameModel(const CQueuingSystem& e, const CQueuingSystem& a) {
    EXPECT_EQ(e.modelName, a.modelName);
    EXPECT_EQ(e.modelDescription, a.modelDescription);
    EXPECT_EQ(e.factorRun, a.factorRun);
    EXPECT_EQ(e.resultsValid, a.resultsValid);
    EXPECT_EQ(e.stopByTime, a.stopByTime);
    EXPECT_EQ(e.timeLimit, a.timeLimit);
    EXPECT_EQ(e.arrivalsLimit, a.arrivalsLimit);
    EXPECT_EQ(static_cast<float>(e.modelTime), a.modelTime);
    EXPECT_EQ(e.arrived, a.arrived);
    EXPECT_EQ(e.countDistFlag, a.countDistFlag);
    ExpectSameDistribution(e.countDistribution, a.countDistribution);
    EXPECT_EQ(e.inSystem, a.inSystem);
    EXPECT_EQ(e.maxInSystem, a.maxInSystem);
    EXPECT_EQ(e.plannedFactor, a.plannedFactor);
    EXPECT_EQ(e.usedFactor, a.usedFactor);
    EXPECT_EQ(RefusalSinkIndex(e), RefusalSinkIndex(a));

    EXPECT_EQ(e.dependencies.valueCount, a.dependencies.valueCount);
    ASSERT_EQ(e.dependencies.itemCount(), a.dependencies.itemCount());
    for (uint32_t i = 0; i < e.dependencies.itemCount(); ++i) {
        const CDependInfo& de = *e.dependencies.Item(i);
        const CDependInfo& da = *a.dependencies.Item(i);
        EXPECT_EQ(de.dependencyObject, da.dependencyObject);
        EXPECT_EQ(de.dependencyType, da.dependencyType);
        EXPECT_EQ(de.dependencyIndicator, da.dependencyIndicator);
        EXPECT_EQ(de.values, da.values);
    }

    ASSERT_EQ(e.typeCount(), a.typeCount());
    for (uint8_t t = 0; t < e.typeCount(); ++t) {
        SCOPED_TRACE("request type " + std::to_string(t));
        const CRequestType& te = *e.RequestType(t);
        const CRequestType& ta = *a.RequestType(t);
        EXPECT_EQ(ta.owner, &a);
        EXPECT_EQ(te.name, ta.name);
        EXPECT_EQ(te.description, ta.description);
        EXPECT_EQ(te.priority, ta.priority);
        EXPECT_EQ(te.countDistFlag, ta.countDistFlag);
        EXPECT_EQ(te.generated, ta.generated);
        EXPECT_EQ(te.count, ta.count);
        EXPECT_EQ(te.meanInSystem, ta.meanInSystem);
        EXPECT_EQ(te.maxInSystem, ta.maxInSystem);
        ExpectSameDistribution(te.countDistribution, ta.countDistribution);
    }
    ASSERT_EQ(e.nodeCount(), a.nodeCount());
    for (uint8_t i = 0; i < e.nodeCount(); ++i) {
        SCOPED_TRACE("node " + std::to_string(i));
        EXPECT_EQ(a.Node(i)->owner, &a);
        ExpectSameNode(*e.Node(i), *a.Node(i), e.resultsValid != 0);
    }
}

std::vector<uint8_t> Bytes(const CQueuingSystem& current, const CQueuingSystem* results) {
    std::vector<uint8_t> out;
    EXPECT_TRUE(WriteModelBytes(current, results, out));
    return out;
}

std::vector<uint8_t> HexFile(const std::string& name) {
    const auto path = std::filesystem::path(__FILE__).parent_path().parent_path() / "data" / name;
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    std::vector<uint8_t> bytes;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream tokens(line);
        std::string token;
        while (tokens >> token) {
            if (token.front() == '\'') {
                // A quoted tag: its letters as they are.
                bytes.insert(bytes.end(), token.begin() + 1, token.end() - 1);
            } else {
                bytes.push_back(static_cast<uint8_t>(std::stoul(token, nullptr, 16)));
            }
        }
    }
    return bytes;
}

size_t FindTag(const std::vector<uint8_t>& bytes, const char* tag, size_t from, int n) {
    for (size_t i = from; i + 4 <= bytes.size(); ++i) {
        if (std::memcmp(&bytes[i], tag, 4) == 0 && n-- == 0)
            return i;
    }
    return std::string::npos;
}

void RemoveItem(std::vector<uint8_t>& bytes, const char* tag, size_t dataSize, size_t from) {
    const size_t at = FindTag(bytes, tag, from);
    ASSERT_NE(at, std::string::npos) << tag;
    bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                bytes.begin() + static_cast<std::ptrdiff_t>(at + 4 + dataSize));
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void KeepAsSeed(const std::string& name, const std::vector<uint8_t>& bytes) {
    const char* dir = std::getenv("MARVOLT_SEED_DIR");
    if (!dir || !*dir)
        return;
    std::ofstream out(std::filesystem::path(dir) / (name + ".qsf"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

}  // namespace marvolt::test
