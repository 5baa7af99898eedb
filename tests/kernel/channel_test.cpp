#include "kernel/channel.h"

#include <gtest/gtest.h>

#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"

namespace marvolt {
namespace {

// ---- the device ring ----

// Busy devices from the first to the last, as (completion, start) pairs.
std::vector<std::pair<SimTime, SimTime>> BusyStretch(const CDeviceList& d) {
    std::vector<std::pair<SimTime, SimTime>> out;
    uint8_t i = d.firstBusy;
    for (int k = 0; k < (d.allFree ? 0 : d.busyCount); ++k, i = d.nextDevice[i]) {
        out.emplace_back(d.records[i].completionTime, d.records[i].startTime);
    }
    return out;
}

DeviceRecord Rec(SimTime completion, SimTime start) {
    return DeviceRecord{0, completion, start, 0};
}

TEST(DeviceListTest, OccupyKeepsCompletionOrderAndEqualTimesInPlacementOrder) {
    CDeviceList d;
    d.Prepare(5);
    // The start time tells the placements apart.
    for (auto [c, s] : {std::pair{6.0, 1.0}, {2.0, 2.0}, {4.0, 3.0}, {4.0, 4.0}, {1.0, 5.0}}) {
        EXPECT_EQ(d.Occupy(Rec(c, s)), 0.0);
    }
    using P = std::pair<SimTime, SimTime>;
    EXPECT_EQ(BusyStretch(d), (std::vector<P>{{1, 5}, {2, 2}, {4, 3}, {4, 4}, {6, 1}}));
    EXPECT_EQ(d.busyCount, 5);

    d.Prepare(3);
    d.Occupy(Rec(5, 1));
    d.Occupy(Rec(5, 2));
    d.Occupy(Rec(5, 3));
    EXPECT_EQ(BusyStretch(d), (std::vector<P>{{5, 1}, {5, 2}, {5, 3}}));

    // Two devices take their own way: each order in turn, an equal time behind.
    d.Prepare(2);
    d.Occupy(Rec(5, 1));
    d.Occupy(Rec(3, 2));
    EXPECT_EQ(BusyStretch(d), (std::vector<P>{{3, 2}, {5, 1}}));
    d.ReleaseFirst();
    EXPECT_EQ(d.Occupy(Rec(5, 3)), 3.0);
    EXPECT_EQ(BusyStretch(d), (std::vector<P>{{5, 1}, {5, 3}}));
    d.ReleaseFirst();
    EXPECT_EQ(d.Occupy(Rec(4, 6)), 5.0);
    EXPECT_EQ(BusyStretch(d), (std::vector<P>{{4, 6}, {5, 3}}));
    d.ReleaseFirst();
    d.ReleaseFirst();
    EXPECT_TRUE(d.allFree);
}

TEST(DeviceListTest, FreedDevicesAreReusedLongestFreeFirst) {
    CDeviceList d;
    d.Prepare(3);
    d.Occupy(Rec(3, 0));
    d.Occupy(Rec(1, 0));
    d.Occupy(Rec(2, 0));
    d.ReleaseFirst();  // free since 1
    d.ReleaseFirst();  // free since 2
    EXPECT_EQ(d.busyCount, 1);
    EXPECT_EQ(d.Occupy(Rec(9, 4)), 1.0);
    EXPECT_EQ(d.Occupy(Rec(9, 4)), 2.0);
    EXPECT_EQ(d.busyCount, 3);

    for (int i = 0; i < 3; ++i)
        d.ReleaseFirst();
    EXPECT_TRUE(d.allFree);
    d.ReleaseFirst();  // nothing to free
    EXPECT_EQ(d.busyCount, 0);
    // All free: device 0 serves next.
    EXPECT_EQ(d.Occupy(Rec(10, 5)), 3.0);
    EXPECT_EQ(d.firstBusy, 0);
    EXPECT_EQ(d.lastBusy, 0);
}

// ---- channels in a model ----

// A sink that remembers when and what it received.
class Probe : public CQSObject {
  public:
    struct Hit {
        SimTime time;
        uint8_t type;
        SimTime birth;
    };
    std::vector<Hit> hits;

    Probe(std::string n, CQueuingSystem* m) : CQSObject(kSink, std::move(n), m) {}
    void BeginRun() override { hits.clear(); }
    void EndRun() override {}
    void Accept(uint8_t type, SimTime birth) override {
        hits.push_back({owner->modelTime, type, birth});
        owner->RequestType(type)->ChangeCount(-1);
    }
    void ProcessEvent() override {}
    bool CanAccept(uint8_t) override { return true; }
    bool HasRequestFor(const uint8_t*) override { return false; }
    SimTime NextEventTime() const override { return 0; }
    uint32_t HeldCount() const override { return 0; }
    std::vector<SimTime> Times() const {
        std::vector<SimTime> t;
        for (const Hit& h : hits)
            t.push_back(h.time);
        return t;
    }
};

class ChannelTest : public ::testing::Test {
  protected:
    void SetUp() override { RestoreRandomStartState(); }

    // Request types go first: the container treats probes as sinks.
    void Build(int types) {
        for (int i = 0; i < types; ++i)
            m.AddRequestType("t" + std::to_string(i));
        // A generator whose first event never comes keeps the event list alive.
        gen = m.AddGenerator("g");
        gen->SetGeneratedType(0, true);
        gen->typeProbabilities[0] = 1.0f;
        gen->firstEventTime = 1e9;
        out = AddProbe("out");
        refused = AddProbe("refused");
        m.refusalSink = refused;
    }
    Probe* AddProbe(const std::string& name) {
        auto p = std::make_unique<Probe>(name, &m);
        Probe* raw = p.get();
        m.nodes.push_back(std::move(p));
        return raw;
    }
    CChannel* Channel(const std::string& name, float service, uint8_t devices = 1) {
        CChannel* c = m.AddChannel(name);
        for (auto& law : c->serviceLaws)
            law = {kLawDeterministic, service, 0};
        c->deviceCount = devices;
        m.Link(m.NodeIndex(name), m.NodeIndex("out"));
        return c;
    }
    CQueue* Queue(const std::string& name, CChannel* to) {
        CQueue* q = m.AddQueue(name);
        m.Link(m.NodeIndex(name), m.NodeIndex(to->name));
        return q;
    }
    void Failures(CChannel* c, uint8_t rule, float firstFailure, float repair) {
        c->failuresOn = 1;
        c->failureRule = rule;
        c->workLaw = {kLawDeterministic, 1000, 0};
        repairs.push_back({c, firstFailure, repair});
    }
    void Begin() {
        // The first failure comes after half a repair time; later repairs take their own time.
        for (const Repair& r : repairs)
            r.c->repairLaw = {kLawDeterministic, 2 * r.first, 0};
        m.BeginRun();
        for (const Repair& r : repairs)
            r.c->repairLaw = {kLawDeterministic, r.length, 0};
    }
    void Step() {
        CQSObject* p = m.eventList.Head();
        m.modelTime = p->NextEventTime();
        p->ProcessEvent();
    }
    // Processes every event up to t, then stands at t.
    void At(SimTime t) {
        while (m.eventList.Head()->NextEventTime() <= t)
            Step();
        m.modelTime = t;
    }

    CQueuingSystem m;
    CGenerator* gen = nullptr;
    Probe* out = nullptr;
    Probe* refused = nullptr;
    struct Repair {
        CChannel* c;
        float first;
        float length;
    };
    std::vector<Repair> repairs;
};

TEST_F(ChannelTest, OneDeviceBehindFifoQueue) {
    Build(1);
    CChannel* c = Channel("c", 2.0f);
    CQueue* q = Queue("q", c);
    Begin();
    q->Accept(0, 0);  // passes straight on, idle 0
    At(1);
    q->Accept(0, 1);  // waits, taken at 2 without idle
    At(10);
    EXPECT_EQ(out->Times(), (std::vector<SimTime>{2, 4}));
    EXPECT_FALSE(m.eventList.Contains(c->index)) << "an idle channel leaves the event list";
    m.EndRun();
    EXPECT_EQ(c->arrivals[0], 2u);
    EXPECT_FLOAT_EQ(c->meanIdle, (10 - 4) / 2.0f);
    EXPECT_FLOAT_EQ(c->meanService, 2.0f);
    EXPECT_FLOAT_EQ(c->loadFactor, 4.0f / 10.0f);
}

TEST_F(ChannelTest, IdleTimesOfTwoDevicesAndOpenIntervalsAtTheEnd) {
    Build(1);
    CChannel* c = Channel("c", 100.0f, 2);
    Begin();
    At(5);
    c->Accept(0, 5);
    EXPECT_FLOAT_EQ(c->maxIdle, 5.0f);
    At(6);
    EXPECT_TRUE(c->CanAccept(0));
    c->Accept(0, 6);
    EXPECT_FLOAT_EQ(c->maxIdle, 6.0f);
    EXPECT_FALSE(c->CanAccept(0));
    At(7);
    m.EndRun();
    EXPECT_FLOAT_EQ(c->meanIdle, (5 + 6) / 2.0f);
    EXPECT_FLOAT_EQ(c->meanService, (2 + 1) / 2.0f);
}

TEST_F(ChannelTest, TinyDeterministicServiceIsInstant) {
    Build(2);
    CChannel* c = Channel("c", 0.000005f);
    c->serviceLaws[1] = {kLawDeterministic, 0.00002f, 0};
    Begin();
    At(3);
    c->Accept(0, 1);
    EXPECT_EQ(out->Times(), (std::vector<SimTime>{3}));
    EXPECT_EQ(c->devices.busyCount, 0);
    EXPECT_FALSE(m.eventList.Contains(c->index));
    c->Accept(1, 1);  // just above the bound: uses a device
    EXPECT_EQ(c->devices.busyCount, 1);
    At(4);
    m.EndRun();
    EXPECT_EQ(c->arrivals[1], 1u);
    EXPECT_EQ(c->minService, 0.0f);
}

TEST_F(ChannelTest, SourceChoiceByProbabilityAndByMostRequests) {
    Build(1);
    CChannel* c = Channel("c", 100.0f);
    CQueue* q[3] = {Queue("q0", c), Queue("q1", c), Queue("q2", c)};
    Begin();
    c->Accept(0, 0);  // the device is busy, so the queues keep what they get
    const int waiting[3] = {3, 5, 5};
    for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < waiting[i]; ++k)
            q[i]->Accept(0, 0);
    }
    const uint8_t* mask = c->acceptedTypes.data();
    c->sourceDiscipline = kSourceMost;
    EXPECT_EQ(c->ChooseSource(mask), m.NodeIndex("q1"));

    c->sourceDiscipline = kSourceRandom;
    c->sourceProbabilities = {0.5f, 0.5f, 0.0f};
    int firsts = 0;
    for (uint32_t k = 1; k <= 20; ++k) {
        const uint32_t state = k * 2654435761u;  // spread over the state space
        SetRandomState(state);
        const int r = NextRandom();
        SetRandomState(state);
        const bool first = r / 32767.0f <= 0.5f;
        firsts += first;
        EXPECT_EQ(c->ChooseSource(mask), m.NodeIndex(first ? "q0" : "q1")) << "draw " << r;
    }
    EXPECT_GT(firsts, 0);
    EXPECT_LT(firsts, 20);
    const uint8_t none[1] = {0};
    EXPECT_EQ(c->ChooseSource(none), kNoIndex);
}

TEST_F(ChannelTest, FailureRule0RefusesRequestsAndRepairCountsAsIdle) {
    Build(1);
    CChannel* c = Channel("c", 50.0f, 2);
    Failures(c, kFailToRefusal, 10, 3);
    Begin();
    At(1);
    c->Accept(0, 1);
    At(2);
    c->Accept(0, 2);
    At(10);
    EXPECT_EQ(refused->Times(), (std::vector<SimTime>{10, 10}));
    EXPECT_FLOAT_EQ(c->maxService, 9.0f);
    EXPECT_FLOAT_EQ(c->minService, 8.0f);
    EXPECT_FALSE(c->CanAccept(0)) << "failed without a reserve";
    At(15);
    EXPECT_TRUE(c->CanAccept(0));
    c->Accept(0, 15);
    EXPECT_FLOAT_EQ(c->maxIdle, 5.0f) << "free since the failure at 10";
}

TEST_F(ChannelTest, FailureRule1ContinuesInTheReserve) {
    Build(1);
    CChannel* a = Channel("a", 10.0f);
    CChannel* b = Channel("b", 1.0f);
    Failures(a, kFailContinueInReserve, 10, 3);
    a->reserveChannel = m.NodeIndex("b");
    Begin();
    At(2);
    a->Accept(0, 2);  // due at 12
    At(10);
    EXPECT_EQ(b->devices.busyCount, 1);
    EXPECT_FLOAT_EQ(a->maxService, 8.0f);
    At(12.5);
    ASSERT_EQ(out->hits.size(), 1u);
    EXPECT_EQ(out->hits[0].time, 12.0);
    EXPECT_EQ(out->hits[0].birth, 2.0);
    EXPECT_FLOAT_EQ(b->maxService, 2.0f);
}

TEST_F(ChannelTest, FailedChannelDefersToItsReserve) {
    Build(1);
    CChannel* a = Channel("a", 5.0f);
    CChannel* b = Channel("b", 100.0f);
    CChannel* a2 = Channel("a2", 5.0f);
    CQueue* q = Queue("q", a);
    CQueue* q2 = Queue("q2", a2);
    for (CChannel* c : {a, a2}) {
        Failures(c, kFailToRefusal, 10, 3);
        c->reserveChannel = m.NodeIndex("b");
    }
    Begin();
    At(11);
    EXPECT_TRUE(a->CanAccept(0));
    a->Accept(0, 11);
    EXPECT_EQ(b->arrivals[1], 1u);
    EXPECT_FALSE(a->CanAccept(0)) << "the reserve is busy now";
    EXPECT_EQ(a->arrivals[1], 0u);

    // The reserve finds work in the queues of the failed channels, taking turns.
    q->Accept(0, 11);
    q2->Accept(0, 11);
    const uint8_t* mask = b->acceptedTypes.data();
    EXPECT_EQ(b->ChooseSource(mask), m.NodeIndex("q2"));
    EXPECT_EQ(b->ChooseSource(mask), m.NodeIndex("q"));
    EXPECT_EQ(b->ChooseSource(mask), m.NodeIndex("q2"));
}

TEST_F(ChannelTest, HandingOverWithoutAUsableReserveRefuses) {
    Build(1);
    CChannel* c = Channel("c", 50.0f);
    Failures(c, kFailContinueInReserve, 10, 3);
    CChannel* other = Channel("other", 1.0f);
    const uint8_t self = m.NodeIndex("c");
    for (uint8_t rule : {kFailContinueInReserve, kFailRestartInReserve}) {
        for (uint8_t reserve : {kNoIndex, self, m.NodeIndex("out"), uint8_t{200}}) {
            c->failureRule = rule;
            c->reserveChannel = reserve;
            Begin();
            At(1);
            c->Accept(0, 1);
            At(10);
            EXPECT_EQ(refused->Times(), (std::vector<SimTime>{10}))
                << int(rule) << " " << int(reserve);
            EXPECT_FALSE(c->CanAccept(0));
            EXPECT_EQ(other->arrivals[1], 0u);
            m.EndRun();
        }
    }
}

TEST_F(ChannelTest, FailureRule3WaitsForTheRepair) {
    Build(2);
    CChannel* c = Channel("c", 10.0f, 3);
    c->serviceLaws[1] = {kLawDeterministic, 12.0f, 0};
    CQueue* q = Queue("q", c);
    Failures(c, kFailWaitForRepair, 10, 3);
    Begin();
    At(1);
    c->Accept(0, 1);  // due at 11
    At(2);
    c->Accept(0, 2);  // due at 12
    c->Accept(1, 2);  // due at 14
    At(10);
    EXPECT_TRUE(out->hits.empty());
    q->Accept(0, 10);  // waits for the restoration
    At(13);
    EXPECT_EQ(out->Times(), (std::vector<SimTime>{13, 13}));
    EXPECT_FALSE(c->failed);
    EXPECT_FLOAT_EQ(c->maxIdle, 3.0f);
    EXPECT_FLOAT_EQ(c->maxService, 10.0f) << "scheduled service times";
    // Only the request still on its device is moved; the restoration takes the
    // waiting request onto the device free since 11 (idle 2, never negative).
    using P = std::pair<SimTime, SimTime>;
    EXPECT_EQ(BusyStretch(c->devices), (std::vector<P>{{17, 5}, {23, 13}}));
    for (const DeviceRecord& r : c->devices.records)
        EXPECT_LE(r.startTime, 13.0);
    EXPECT_EQ(c->devices.Device(1).completionTime, 12.0) << "free since its request ended";
    At(17);
    EXPECT_EQ(out->Times(), (std::vector<SimTime>{13, 13, 17}));
    EXPECT_FLOAT_EQ(c->maxService, 12.0f);
    At(23);
    m.EndRun();
    // Idle 1, 2, 2, the repair 3, 2 before the refill, then 11 and 6 to the end.
    EXPECT_FLOAT_EQ(c->meanIdle, (1 + 2 + 2 + 3 + 2 + 11 + 6) / 4.0f);
    EXPECT_FLOAT_EQ(c->meanService, 42 / 4.0f);

    // A run that ends during the repair: the repair so far is idle time and
    // service ran up to the failure.
    Begin();
    At(1);
    c->Accept(0, 1);
    At(2);
    c->Accept(0, 2);
    c->Accept(1, 2);
    At(12);
    m.EndRun();
    EXPECT_FLOAT_EQ(c->meanIdle, (1 + 2 + 2 + 3 * 2) / 3.0f);
    EXPECT_FLOAT_EQ(c->meanService, (9 + 8 + 8) / 3.0f);
}

TEST_F(ChannelTest, TransformationMovesTheRequestToItsNewType) {
    Build(2);
    CChannel* c = Channel("c", 0.0f);
    c->transformOn = 1;
    c->transformTable = {1, 1};
    Begin();
    At(2);
    m.RequestType(0)->ChangeCount(+1);
    c->Accept(0, 2);
    ASSERT_EQ(out->hits.size(), 1u);
    EXPECT_EQ(out->hits[0].type, 1);
    EXPECT_EQ(m.RequestType(0)->count, 0u);
    EXPECT_EQ(m.RequestType(1)->generated, 1u);
    EXPECT_EQ(m.RequestType(1)->count, 0u);
}

TEST_F(ChannelTest, TypeListsFollowTheModel) {
    m.AddRequestType("a");
    CChannel* c = m.AddChannel("c");
    CQueuingSystem empty;
    CChannel* none = empty.AddChannel("n");
    EXPECT_TRUE(none->acceptedTypes.empty() && none->serviceLaws.empty());
    c->transformOn = 1;
    c->arrivals = {4, 4};
    m.AddRequestType("b");
    m.AddRequestType("c");
    EXPECT_EQ(c->acceptedTypes, (std::vector<uint8_t>{1, 1, 1}));
    EXPECT_EQ(c->serviceLaws[2], LawRecord{});
    EXPECT_EQ(c->transformTable, (std::vector<uint8_t>{0, 1, 2}));
    EXPECT_EQ(c->arrivals, (std::vector<uint32_t>{4, 4, 0, 0}));

    m.AddRequestType("d");
    // a -> b, b -> a, c -> b, d -> c; without b: a and c keep their type, d -> c renumbered.
    c->transformTable = {1, 0, 1, 2};
    c->arrivals = {6, 1, 2, 3, 0};
    EXPECT_EQ(m.DeleteRequestType("b"), kOk);
    EXPECT_EQ(c->transformTable, (std::vector<uint8_t>{0, 1, 1}));
    EXPECT_EQ(c->arrivals, (std::vector<uint32_t>{6, 1, 3, 0}));
    EXPECT_EQ(c->acceptedTypes.size(), 3u);
}

TEST_F(ChannelTest, FailingChannelsReservingEachOtherLoseNoRequest) {
    Build(2);
    gen->firstEventTime = 0;
    gen->intervalLaw = {kLawExponential, 2.0f, 0};
    gen->SetGeneratedType(1, true);
    gen->typeProbabilities = {0.5f, 0.5f};
    CChannel* c[3] = {Channel("c0", 1.0f, 2), Channel("c1", 1.0f), Channel("c2", 1.0f, 3)};
    CQueue* q = Queue("q", c[0]);
    m.Link(m.NodeIndex("q"), m.NodeIndex("c1"));
    m.Link(m.NodeIndex("q"), m.NodeIndex("c2"));
    m.Link(m.NodeIndex("g"), m.NodeIndex("q"));
    q->lengthLimited = 1;
    q->lengthLimit = 5;
    for (int i = 0; i < 3; ++i) {
        for (auto& law : c[i]->serviceLaws)
            law = {kLawExponential, 0.5f, 0};
        c[i]->failuresOn = 1;
        c[i]->failureRule = static_cast<uint8_t>(i + 1);
        c[i]->reserveChannel = m.NodeIndex(c[(i + 1) % 3]->name);
        c[i]->workLaw = {kLawExponential, 0.05f, 0};
        c[i]->repairLaw = {kLawUniform, 1.0f, 6.0f};
        c[i]->sourceDiscipline = static_cast<uint8_t>(i);
        c[i]->sourceProbabilities.assign(c[i]->sources.size(), 1.0f);
    }
    c[1]->transformOn = 1;
    c[1]->transformTable = {1, 0};
    m.arrivalsLimit = 20000;
    m.BeginRun();
    while (!m.Stop())
        Step();
    uint32_t inside = 0;
    for (const auto& type : m.requestTypes)
        inside += type->count;
    uint32_t held = q->HeldCount();
    for (CChannel* ch : c)
        held += ch->HeldCount();
    EXPECT_EQ(inside, held);
    m.EndRun();
    EXPECT_EQ(m.arrived, 20001u);
    for (CChannel* ch : c) {
        EXPECT_GT(ch->arrivals[0], 0u);
        EXPECT_GT(ch->loadFactor, 0.0f);
        EXPECT_LE(ch->loadFactor, 1.0f);
    }
}

TEST_F(ChannelTest, InstantCycleBetweenTwoChannelsEndsAtTheRefusalSink) {
    m.AddRequestType("a");
    CGenerator* g = m.AddGenerator("g");
    g->SetGeneratedType(0, true);
    g->typeProbabilities[0] = 1.0f;
    CChannel* a = m.AddChannel("a");
    CChannel* b = m.AddChannel("b");
    a->serviceLaws[0] = b->serviceLaws[0] = {kLawDeterministic, 0.0f, 0};
    CDispose* sink = m.AddSink("s");
    m.SetRefusalSink("s");
    m.Link(0, 1);
    m.Link(1, 2);
    m.Link(2, 1);
    m.arrivalsLimit = 4;
    m.Run();
    EXPECT_EQ(m.arrived, 5u);
    EXPECT_EQ(sink->arrivals[0], 5u);
    EXPECT_EQ(m.cycleRefusals, 5u);
    EXPECT_GT(a->arrivals[0], 5u);
    EXPECT_GT(b->arrivals[0], 5u);
}

}  // namespace
}  // namespace marvolt
