#include "kernel/queue.h"

#include <gtest/gtest.h>

#include <utility>

#include "kernel/sink.h"

namespace marvolt {
namespace {

// A receiver whose willingness the test switches; it remembers what it got.
class Probe : public CQSObject {
  public:
    // A kind code the container's per-kind steps leave alone.
    explicit Probe(CQueuingSystem* model) : CQSObject(4, "probe", model) {}
    bool open = false;
    std::vector<std::pair<uint8_t, SimTime>> got;

    void BeginRun() override {}
    void EndRun() override {}
    void Accept(uint8_t type, SimTime birthTime) override { got.emplace_back(type, birthTime); }
    void ProcessEvent() override {}
    bool CanAccept(uint8_t) override { return open; }
    bool HasRequestFor(const uint8_t*) override { return false; }
    SimTime NextEventTime() const override { return 0; }
    uint32_t HeldCount() const override { return 0; }
};

// A model of one queue, a probe receiver behind it and a refusal sink; the
// tests drive the queue by hand at chosen model times.
class QueueTest : public ::testing::Test {
  protected:
    void SetUp() override { RestoreRandomStartState(); }

    void Build(int types, bool withProbe = true) {
        for (int i = 0; i < types; ++i)
            model.AddRequestType("T" + std::to_string(i));
        queue = model.AddQueue("Q");
        sink = model.AddSink("Refusals");
        model.SetRefusalSink("Refusals");
        if (!withProbe)
            return;
        model.nodes.push_back(std::make_unique<Probe>(&model));
        probe = static_cast<Probe*>(model.nodes.back().get());
        ASSERT_EQ(model.Link(0, 2), kOk);
    }

    void Start() { model.BeginRun(); }

    void Arrive(SimTime at, uint8_t type, SimTime birth) {
        model.modelTime = at;
        model.requestTypes[type]->ChangeCount(+1);
        ASSERT_TRUE(queue->CanAccept(type));
        queue->Accept(type, birth);
    }

    TakenRequest TakeAt(SimTime at, std::vector<uint8_t> mask) {
        model.modelTime = at;
        return queue->Take(mask.data());
    }

    // Processes the queue's own events due up to the given time.
    void EventsUntil(SimTime until) {
        while (model.eventList.Contains(queue->index) && queue->NextEventTime() <= until) {
            model.modelTime = queue->NextEventTime();
            queue->ProcessEvent();
        }
    }

    void Finish(SimTime at) {
        model.modelTime = at;
        model.EndRun();
    }

    CQueuingSystem model;
    CQueue* queue = nullptr;
    CDispose* sink = nullptr;
    Probe* probe = nullptr;
};

// ---- arrival: direct pass or waiting ----

TEST_F(QueueTest, DirectPassDependsOnlyOnRequestsOfTheSameType) {
    Build(2);
    Start();
    Arrive(1, 0, 0.5);  // nobody can take it: waits
    probe->open = true;
    Arrive(2, 1, 1.5);  // another type waits: passes straight on
    Arrive(3, 0, 2.5);  // its own type waits: queued although the probe is open
    ASSERT_EQ(probe->got.size(), 1u);
    EXPECT_EQ(probe->got[0], std::make_pair(uint8_t{1}, SimTime{1.5}));
    EXPECT_EQ(queue->HeldCount(), 2u);
    EXPECT_EQ(queue->waitingCount[1], 2u);
    EXPECT_EQ(queue->waitingCount[2], 0u);

    TakenRequest r = TakeAt(5, {1, 1});
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.type, 0);
    EXPECT_EQ(r.birthTime, 0.5);
    Finish(5);
    EXPECT_EQ(queue->arrivals[1], 2u);
    EXPECT_EQ(queue->arrivals[2], 1u);
    EXPECT_EQ(queue->arrivals[0], 3u);
    EXPECT_EQ(queue->zeroWaitCount[2], 1u);
    EXPECT_EQ(queue->zeroWaitCount[0], 1u);
    EXPECT_FLOAT_EQ(queue->totalWait[2], 0.0f);  // the direct pass waited nothing
    EXPECT_FLOAT_EQ(queue->totalWait[1], 2.0f);  // (5 - 1) / 2 arrivals
    EXPECT_FLOAT_EQ(queue->maxWait[0], 4.0f);
    EXPECT_EQ(queue->maxWaitingCount[0], 2u);
    EXPECT_EQ(queue->waitingCount[0], 1u);  // still waiting when the run stopped
}

TEST_F(QueueTest, AcceptanceAndLengthLimit) {
    Build(3);
    queue->acceptedTypes = {1, 0, 1};
    queue->lengthLimit = 5;
    Start();
    EXPECT_FALSE(queue->CanAccept(1));
    for (int i = 0; i < 5; ++i)
        Arrive(i, static_cast<uint8_t>(i % 2 == 0 ? 0 : 2), i);
    for (uint8_t t = 0; t < 3; ++t)
        EXPECT_FALSE(queue->CanAccept(t)) << int(t);
    ASSERT_TRUE(TakeAt(6, {0, 0, 1}).valid);
    EXPECT_TRUE(queue->CanAccept(0));
    EXPECT_TRUE(queue->CanAccept(2));

    const uint8_t none[] = {0, 0, 0};
    EXPECT_FALSE(queue->HasRequestFor(none));
    const TakenRequest nothing = queue->Take(none);
    EXPECT_FALSE(nothing.valid);
    EXPECT_EQ(queue->HeldCount(), 4u);
}

TEST_F(QueueTest, NoAcceptedTypeWithPrioritiesGivesNoClasses) {
    Build(2);
    queue->acceptedTypes = {0, 0};
    queue->usePriority = 1;
    Start();
    EXPECT_EQ(queue->classCount, 0);
    EXPECT_TRUE(queue->classes.empty());
    EXPECT_FALSE(queue->CanAccept(0));
    EXPECT_FALSE(queue->CanAccept(1));
    // A sender that ignores CanAccept must not crash the queue.
    queue->Accept(1, 0);
    EXPECT_EQ(sink->arrivals[2], 1u);
    EXPECT_EQ(queue->HeldCount(), 0u);
}

// ---- choosing the request to take ----

class QueuePriorityTest : public QueueTest, public ::testing::WithParamInterface<uint8_t> {};

TEST_P(QueuePriorityTest, ClassesByPriorityValue) {
    Build(3);
    model.requestTypes[0]->priority = 3;
    model.requestTypes[1]->priority = 1;
    model.requestTypes[2]->priority = 3;
    queue->usePriority = 1;
    queue->discipline = GetParam();
    Start();
    EXPECT_EQ(queue->classCount, 2);
    EXPECT_EQ(queue->typeClass, (std::vector<uint8_t>{1, 0, 1}));
    Arrive(1, 0, 1);
    Arrive(2, 2, 2);
    Arrive(3, 1, 3);
    Arrive(4, 0, 4);
    Arrive(5, 1, 5);
    std::vector<SimTime> order;
    while (queue->HeldCount() > 0)
        order.push_back(TakeAt(10, {1, 1, 1}).birthTime);
    if (GetParam() == kFifo) {
        EXPECT_EQ(order, (std::vector<SimTime>{3, 5, 1, 2, 4}));
    } else {
        EXPECT_EQ(order, (std::vector<SimTime>{5, 3, 4, 2, 1}));
    }
}

INSTANTIATE_TEST_SUITE_P(QueueDisciplines, QueuePriorityTest, ::testing::Values(kFifo, kLifo));

// Taking for a taker that accepts every type must give exactly what the
// search with a full mask gives: the same requests, draws and indicators.
struct Discipline {
    uint8_t discipline;
    uint8_t usePriority;
    uint8_t waitLimitMode;
    uint8_t types = 3;  // more than 8 with priorities: classes are walked, not scanned
};

class QueueTakeAnyTest : public ::testing::TestWithParam<Discipline> {};

TEST_P(QueueTakeAnyTest, GivesWhatTheSearchWithAFullMaskGives) {
    struct Taken {
        std::vector<std::pair<uint8_t, SimTime>> requests;
        uint32_t stateAfter = 0;
        std::vector<float> totalWait, meanLength;
    };
    auto run = [](bool any) {
        RestoreRandomStartState();
        CQueuingSystem m;
        const int types = GetParam().types;
        for (int t = 0; t < types; ++t)
            m.AddRequestType("T" + std::to_string(t));
        for (int t = 0; t < types; ++t)
            m.requestTypes[t]->priority = static_cast<uint8_t>(types > 3 ? types - t : t == 1);
        CQueue* q = m.AddQueue("Q");
        q->discipline = GetParam().discipline;
        q->usePriority = GetParam().usePriority;
        q->waitLimitMode = GetParam().waitLimitMode;
        q->waitLimitLaws.assign(types, LawRecord{kLawExponential, 0.01f, 0.0f});
        m.BeginRun();
        for (int i = 0; i < 4 * types; ++i) {
            m.modelTime = i;
            const uint8_t type = static_cast<uint8_t>(i * 7 % types);
            m.requestTypes[type]->ChangeCount(+1);
            q->Accept(type, i);
        }
        Taken out;
        const std::vector<uint8_t> all(types, 1);
        m.modelTime = 5.0 * types + 5.0;
        for (;;) {
            const TakenRequest r = any ? q->TakeAny() : q->Take(all.data());
            if (!r.valid)
                break;
            out.requests.emplace_back(r.type, r.birthTime);
            m.requestTypes[r.type]->ChangeCount(-1);
        }
        out.stateAfter = RandomState();
        m.EndRun();
        out.totalWait = q->totalWait;
        out.meanLength = q->meanLength;
        return out;
    };
    const Taken searched = run(false);
    const Taken direct = run(true);
    EXPECT_GE(searched.requests.size(), 6u);
    EXPECT_EQ(direct.requests, searched.requests);
    EXPECT_EQ(direct.stateAfter, searched.stateAfter);
    EXPECT_EQ(direct.totalWait, searched.totalWait);
    EXPECT_EQ(direct.meanLength, searched.meanLength);
}

INSTANTIATE_TEST_SUITE_P(
    EveryDiscipline, QueueTakeAnyTest,
    ::testing::Values(Discipline{kFifo, 0, kWaitUnlimited}, Discipline{kFifo, 1, kWaitUnlimited},
                      Discipline{kLifo, 0, kWaitUnlimited}, Discipline{kLifo, 1, kWaitUnlimited},
                      Discipline{kRandomOrder, 0, kWaitUnlimited},
                      Discipline{kLeastTimeToRefusal, 0, kWaitRandomLimit},
                      Discipline{kFifo, 1, kWaitRandomLimit}, Discipline{kFifo, 1, kWaitUnlimited, 9},
                      Discipline{kLifo, 1, kWaitUnlimited, 12},
                      Discipline{kFifo, 1, kWaitRandomLimit, 12}));

TEST_F(QueueTest, PrioritiesAreIgnoredForRandomOrder) {
    Build(2);
    model.requestTypes[1]->priority = 1;
    model.requestTypes[0]->priority = 4;
    queue->usePriority = 1;
    queue->discipline = kRandomOrder;
    Start();
    EXPECT_EQ(queue->classCount, 1);
    EXPECT_TRUE(queue->typeClass.empty());
}

TEST_F(QueueTest, LeastTimeToRefusalOrdersByRefusalTime) {
    Build(4);
    queue->discipline = kLeastTimeToRefusal;
    queue->waitLimitMode = kWaitRandomLimit;
    queue->waitLimitLaws = {{kLawDeterministic, 5, 0},
                            {kLawDeterministic, 9, 0},
                            {kLawDeterministic, 7, 0},
                            {kLawDeterministic, 7, 0}};
    Start();
    for (uint8_t t = 0; t < 4; ++t)
        Arrive(0, t, t + 1);
    EXPECT_FALSE(model.eventList.Contains(queue->index));  // refusals are found lazily
    EXPECT_EQ(queue->NextEventTime(), -1.0);
    std::vector<SimTime> order;
    while (queue->HeldCount() > 0)
        order.push_back(TakeAt(1, {1, 1, 1, 1}).birthTime);
    EXPECT_EQ(order, (std::vector<SimTime>{1, 3, 4, 2}));
}

TEST_F(QueueTest, RandomOrderSearchesOutwardsFrontFirst) {
    Build(2);
    queue->discipline = kRandomOrder;
    Start();
    for (int i = 0; i < 9; ++i)
        Arrive(i, 0, i);
    // Only the requests at the given offsets from the drawn position are acceptable.
    auto expectTaken = [this](std::vector<int> offsets, int expected) {
        const uint32_t saved = RandomState();
        const int n = static_cast<int>(queue->HeldCount());
        const int k = NextRandom() % n;
        SetRandomState(saved);
        RequestDeque& c = queue->classes[0];
        auto retype = [&c](int i, uint8_t type) {
            QueueRequest r = c[static_cast<size_t>(i)];
            r.requestType = type;
            c.Set(static_cast<size_t>(i), r);
        };
        for (int i = 0; i < n; ++i)
            retype(i, 0);
        for (int o : offsets) {
            ASSERT_TRUE(k + o >= 0 && k + o < n) << "draw " << k << " of " << n;
            retype(k + o, 1);
        }
        const SimTime want = c[static_cast<size_t>(k + expected)].birthTime;
        const TakenRequest r = TakeAt(20, {0, 1});
        ASSERT_TRUE(r.valid);
        EXPECT_EQ(r.birthTime, want);
    };
    expectTaken({-1, 1}, -1);  // equal distance: the front side first
    expectTaken({-2, 1}, 1);   // one step back beats two steps forward
    expectTaken({-5}, -5);     // the back side ends, the front goes on
    EXPECT_EQ(queue->HeldCount(), 6u);
}

TEST_F(QueueTest, RandomOrderFindsTheOnlyAcceptableRequestAtTheBack) {
    Build(2);
    queue->discipline = kRandomOrder;
    Start();
    const uint32_t saved = RandomState();
    const bool frontChosen = NextRandom() % 2 == 0;
    SetRandomState(saved);
    Arrive(0, frontChosen ? 0 : 1, 0);
    Arrive(1, frontChosen ? 1 : 0, 1);
    const TakenRequest r = TakeAt(2, {0, 1});
    ASSERT_TRUE(r.valid);
    EXPECT_EQ(r.type, 1);
    EXPECT_EQ(queue->HeldCount(), 1u);
    EXPECT_EQ(queue->classes[0][0].requestType, 0);
}

// ---- refusals ----

TEST_F(QueueTest, FixedLimitRefusesLazilyAsOfTheRefusalTime) {
    Build(1);
    queue->waitLimitMode = kWaitFixedLimit;
    queue->waitLimit = 10;
    queue->lengthDistFlags = {0, 1};
    queue->waitDistFlags = {0, 1};
    queue->waitDistributions[1].emplace().upperBound = 16;
    Start();
    Arrive(0, 0, 0);
    model.modelTime = 10;
    EXPECT_TRUE(queue->CanAccept(0));
    EXPECT_EQ(queue->HeldCount(), 1u);  // equal to the refusal time: still waiting
    EXPECT_FALSE(model.eventList.Contains(queue->index));
    model.modelTime = 15;
    const uint8_t all[] = {1};
    EXPECT_FALSE(queue->HasRequestFor(all));
    EXPECT_EQ(queue->HeldCount(), 0u);
    Finish(15);
    EXPECT_EQ(sink->arrivals[1], 1u);
    EXPECT_FLOAT_EQ(sink->maxLifetime[1], 10.0f);
    EXPECT_FLOAT_EQ(queue->totalWait[1], 10.0f);
    EXPECT_FLOAT_EQ(queue->maxWait[1], 10.0f);
    EXPECT_FLOAT_EQ(queue->refused[1], 1.0f);
    EXPECT_FLOAT_EQ(queue->refused[0], 1.0f);
    const CIDistribution& length = *queue->lengthDistributions[1];
    EXPECT_FLOAT_EQ(length.binWeights[1], 10.0f);  // length 1 from 0 to 10, not to 15
    EXPECT_FLOAT_EQ(length.TotalWeight(), 10.0f);
    EXPECT_EQ(queue->waitDistributions[1]->sampleCount, 1u);
}

TEST_F(QueueTest, FixedLimitWithPrioritiesClosesLengthIntervalsInTimeOrder) {
    Build(2);
    model.requestTypes[0]->priority = 1;
    model.requestTypes[1]->priority = 2;
    queue->usePriority = 1;
    queue->waitLimitMode = kWaitFixedLimit;
    queue->waitLimit = 10;
    queue->lengthDistFlags = {1, 0, 0};
    Start();
    Arrive(0, 1, 0);  // class 1, refused at 10
    Arrive(2, 0, 2);  // class 0, refused at 12
    model.modelTime = 20;
    queue->CanAccept(0);
    EXPECT_EQ(queue->HeldCount(), 0u);
    const CIDistribution& length = *queue->lengthDistributions[0];
    for (float w : length.binWeights)
        EXPECT_GE(w, 0.0f);
    EXPECT_FLOAT_EQ(length.binWeights[1], 4.0f);  // from 0..2 and 10..12
    EXPECT_FLOAT_EQ(length.binWeights[2], 8.0f);  // from 2 to 10
}

TEST_F(QueueTest, EqualRandomRefusalTimesGiveTwoEventsAtOneTime) {
    Build(1);
    queue->waitLimitMode = kWaitRandomLimit;
    queue->waitLimitLaws = {{kLawDeterministic, 5, 0}};
    Start();
    Arrive(0, 0, 0);
    Arrive(0, 0, 1);
    ASSERT_TRUE(model.eventList.Contains(queue->index));
    EXPECT_EQ(queue->NextEventTime(), 5.0);

    model.modelTime = 5;
    queue->ProcessEvent();
    EXPECT_EQ(queue->HeldCount(), 1u);
    EXPECT_EQ(queue->NextEventTime(), 5.0);
    EXPECT_TRUE(model.eventList.Contains(queue->index));
    queue->ProcessEvent();
    EXPECT_EQ(queue->HeldCount(), 0u);
    EXPECT_FALSE(model.eventList.Contains(queue->index));
    Finish(5);
    EXPECT_EQ(sink->arrivals[1], 2u);
    EXPECT_FLOAT_EQ(queue->refused[1], 1.0f);
    EXPECT_FLOAT_EQ(queue->totalWait[1], 5.0f);
    EXPECT_FLOAT_EQ(queue->minWait[0], 5.0f);
    EXPECT_FLOAT_EQ(sink->maxLifetime[1], 5.0f);  // birth time not shifted on this path
}

TEST_F(QueueTest, EarliestRefusalTimeFollowsArrivalsAndTakes) {
    Build(2);
    queue->waitLimitMode = kWaitRandomLimit;
    queue->waitLimitLaws = {{kLawDeterministic, 8, 0}, {kLawDeterministic, 3, 0}};
    Start();
    Arrive(0, 0, 0);
    EXPECT_EQ(queue->NextEventTime(), 8.0);
    Arrive(1, 1, 1);
    EXPECT_EQ(queue->NextEventTime(), 4.0);
    Arrive(2, 0, 2);
    EXPECT_EQ(queue->NextEventTime(), 4.0);
    ASSERT_TRUE(TakeAt(3, {0, 1}).valid);  // the holder leaves: rescan
    EXPECT_EQ(queue->NextEventTime(), 8.0);
    EventsUntil(9);  // refuses the request due at 8
    EXPECT_EQ(queue->HeldCount(), 1u);
    EXPECT_EQ(queue->NextEventTime(), 10.0);
    ASSERT_TRUE(TakeAt(9.5, {1, 1}).valid);
    EXPECT_FALSE(model.eventList.Contains(queue->index));
    Finish(9.5);
    EXPECT_FLOAT_EQ(queue->refused[1], 0.5f);
    EXPECT_FLOAT_EQ(queue->minWait[1], 7.5f);
    EXPECT_FLOAT_EQ(queue->maxWait[1], 8.0f);
}

TEST_F(QueueTest, NegativeLimitRefusesAtArrivalNotInThePast) {
    Build(1);
    queue->waitLimitMode = kWaitRandomLimit;
    queue->waitLimitLaws = {{kLawDeterministic, -4, 0}};
    Start();
    Arrive(6, 0, 6);
    EXPECT_EQ(queue->NextEventTime(), 6.0);
    EventsUntil(6);
    Finish(6);
    EXPECT_FLOAT_EQ(queue->refused[1], 1.0f);
    EXPECT_FLOAT_EQ(queue->maxWait[1], 0.0f);
    EXPECT_FLOAT_EQ(queue->minWait[1], 0.0f);
}

TEST_F(QueueTest, LeastTimeToRefusalWithoutLimitNeverRefuses) {
    Build(1);
    queue->discipline = kLeastTimeToRefusal;  // only possible from a hand-made file
    Start();
    Arrive(1, 0, 1);
    Arrive(2, 0, 2);
    model.modelTime = 100;
    EXPECT_TRUE(queue->CanAccept(0));
    EXPECT_EQ(queue->HeldCount(), 2u);
    EXPECT_EQ(TakeAt(100, {1}).birthTime, 1.0);
    Finish(100);
    EXPECT_FLOAT_EQ(queue->refused[0], 0.0f);
    EXPECT_EQ(sink->arrivals[0], 0u);
}

// ---- finalisation ----

TEST_F(QueueTest, RunWithoutWaitingEndsWithNeutralIndicators) {
    Build(2);
    probe->open = true;
    Start();
    Arrive(3, 0, 3);
    Finish(4);
    for (size_t s = 0; s < 3; ++s) {
        EXPECT_EQ(queue->minWait[s], kLargestFloat) << s;
        EXPECT_EQ(queue->maxWait[s], 0.0f) << s;
        EXPECT_EQ(queue->totalWait[s], 0.0f) << s;
        EXPECT_EQ(queue->refused[s], 0.0f) << s;
        EXPECT_EQ(queue->meanLength[s], 0.0f) << s;
    }
    EXPECT_EQ(queue->zeroWaitCount[0], 1u);
    EXPECT_TRUE(queue->classes.empty());
    EXPECT_TRUE(queue->lastChangeTime.empty());
}

TEST_F(QueueTest, MeanLengthIsWaitingTimeOverModelTime) {
    Build(2);
    Start();
    Arrive(0, 0, 0);
    Arrive(0, 1, 0);
    ASSERT_TRUE(TakeAt(2, {1, 0}).valid);
    ASSERT_TRUE(TakeAt(6, {0, 1}).valid);
    Finish(8);
    EXPECT_FLOAT_EQ(queue->meanLength[1], 0.25f);
    EXPECT_FLOAT_EQ(queue->meanLength[2], 0.75f);
    EXPECT_FLOAT_EQ(queue->meanLength[0], 1.0f);
    EXPECT_FLOAT_EQ(queue->totalWait[0], 4.0f);
    EXPECT_FLOAT_EQ(queue->minWait[0], 2.0f);
}

TEST_F(QueueTest, RunEndingAtTimeZeroGivesNoMeanLength) {
    Build(1);
    Start();
    Arrive(0, 0, 0);
    ASSERT_TRUE(TakeAt(0, {1}).valid);
    Finish(0);
    EXPECT_EQ(queue->meanLength[0], 0.0f);
    EXPECT_EQ(queue->meanLength[1], 0.0f);
    EXPECT_EQ(queue->minWait[1], 0.0f);
}

// ---- request types coming and going ----

TEST_F(QueueTest, TypeInsertAndEraseKeepArraysConsistent) {
    Build(2);
    Start();
    Arrive(0, 1, 0);
    Finish(1);
    ASSERT_EQ(queue->minWait.size(), 3u);

    ASSERT_NE(model.AddRequestType("T2"), nullptr);
    EXPECT_EQ(queue->acceptedTypes, (std::vector<uint8_t>{1, 1, 1}));
    EXPECT_EQ(queue->waitLimitLaws.size(), 3u);
    EXPECT_EQ(queue->lengthDistFlags.size(), 4u);
    EXPECT_EQ(queue->waitDistributions.size(), 4u);
    EXPECT_EQ(queue->minWait.size(), 4u);
    EXPECT_EQ(queue->minWait[3], kLargestFloat);
    EXPECT_EQ(queue->arrivals.size(), 4u);

    queue->waitDistFlags[3] = 1;
    queue->waitLimitLaws[2].param1 = 7;
    ASSERT_EQ(model.DeleteRequestType("T0"), kOk);
    EXPECT_EQ(queue->acceptedTypes.size(), 2u);
    EXPECT_EQ(queue->waitLimitLaws.size(), 2u);
    EXPECT_EQ(queue->waitLimitLaws[1].param1, 7.0f);
    EXPECT_EQ(queue->waitDistFlags, (std::vector<uint8_t>{0, 0, 1}));
    EXPECT_EQ(queue->lengthDistributions.size(), 3u);
    EXPECT_EQ(queue->waitingCount, (std::vector<uint32_t>{1, 1, 0}));

    // The flagged slot has no histogram object yet: the run makes one.
    Start();
    EXPECT_TRUE(queue->waitDistributions[2].has_value());
    Arrive(0, 1, 0);
    ASSERT_TRUE(TakeAt(3, {0, 1}).valid);
    Finish(3);
    EXPECT_EQ(queue->waitDistributions[2]->sampleCount, 1u);
}

TEST_F(QueueTest, CopyWithoutResultsHasNoIndicators) {
    Build(1, false);
    Start();
    Arrive(0, 0, 0);
    Finish(1);
    model.resultsValid = 1;
    const auto withResults = CQueuingSystem::CopyModel(model, true);
    const auto* full = static_cast<const CQueue*>(withResults->Node(0));
    EXPECT_EQ(full->waitingCount, queue->waitingCount);
    const auto plain = CQueuingSystem::CopyModel(model, false);
    auto* bare = static_cast<CQueue*>(plain->Node(0));
    EXPECT_TRUE(bare->arrivals.empty());
    EXPECT_TRUE(bare->minWait.empty());
    EXPECT_EQ(bare->HeldCount(), 0u);
    ASSERT_NE(plain->AddRequestType("T1"), nullptr);
    EXPECT_TRUE(bare->minWait.empty());  // absent indicators stay absent
}

}  // namespace
}  // namespace marvolt
