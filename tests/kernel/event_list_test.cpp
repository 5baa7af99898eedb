#include "kernel/event_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "kernel/queuing_system.h"

namespace marvolt {
namespace {

// A node whose time the test sets by hand.
class TimedNode : public CQSObject {
  public:
    explicit TimedNode(CQueuingSystem* m) : CQSObject(kQueue, "n", m) {}
    void BeginRun() override {}
    void EndRun() override {}
    void Accept(uint8_t, SimTime) override {}
    void ProcessEvent() override {}
    bool CanAccept(uint8_t) override { return false; }
    bool HasRequestFor(const uint8_t*) override { return false; }
    SimTime NextEventTime() const override { return nextEventTime; }
    uint32_t HeldCount() const override { return 0; }
};

class EventListTest : public ::testing::Test {
  protected:
    CQueuingSystem model;
    CEventList list;

    void Make(int n) {
        for (int i = 0; i < n; ++i)
            model.nodes.push_back(std::make_unique<TimedNode>(&model));
        list.Build(model.nodeCount(), model.nodes.data());  // no generators: empty
    }
    void SetUp() override { Make(5); }
    void Set(int i, SimTime t) { model.nodes[i]->nextEventTime = t; }
    void Place(int i, SimTime t) {
        Set(i, t);
        list.Add(static_cast<uint8_t>(i));
    }
    // The order in which the entries leave, taking each head in turn.
    std::vector<int> Drain() {
        std::vector<int> out;
        while (list.nonEmpty) {
            out.push_back(list.HeadIndex());
            EXPECT_EQ(list.Head(), model.nodes[out.back()].get());
            list.Remove(list.HeadIndex());
        }
        return out;
    }
};

TEST_F(EventListTest, EqualTimesLeaveInPlacementOrder) {
    EXPECT_EQ(list.nonEmpty, 0);
    Place(2, 5.0);
    Place(0, 5.0);
    Place(1, 3.0);
    Place(3, 5.0);
    Place(4, 4.0);
    EXPECT_EQ(Drain(), (std::vector<int>{1, 4, 2, 0, 3}));
}

TEST_F(EventListTest, HeadChangedGoesBehindEqualEntries) {
    Place(0, 1.0);
    Place(1, 2.0);
    Place(2, 3.0);
    Set(0, 2.0);
    list.HeadChanged();
    EXPECT_EQ(list.HeadIndex(), 1);
    Set(1, 3.0);  // behind 2, which was placed at 3 before it
    list.HeadChanged();
    EXPECT_EQ(list.HeadIndex(), 0);
    Set(0, 2.5);  // still the earliest: stays the head
    list.HeadChanged();
    EXPECT_EQ(Drain(), (std::vector<int>{0, 2, 1}));

    // The same time again: behind the equal one.
    Place(3, 7.0);
    Place(4, 7.0);
    list.HeadChanged();
    EXPECT_EQ(Drain(), (std::vector<int>{4, 3}));
}

TEST_F(EventListTest, MovedEarlierGoesBehindEqualEntriesAndAnUnchangedTimeStays) {
    Place(0, 1.0);
    Place(1, 2.0);
    Place(2, 3.0);
    Place(3, 4.0);
    Set(3, 0.5);  // past everything: the new head
    list.MovedEarlier(3);
    Set(2, 1.0);  // behind 0, placed at 1 before it
    list.MovedEarlier(2);
    Set(4, 9.0);
    list.Add(4);
    EXPECT_EQ(list.EntryCount(), 5u);
    // Unchanged: 1 keeps its place before an entry of equal time placed after it.
    Place(0, 1.0);  // already in: only re-placed if its time moved
    Set(4, 2.0);
    list.MovedEarlier(4);
    list.MovedEarlier(1);
    EXPECT_EQ(Drain(), (std::vector<int>{3, 0, 2, 1, 4}));
}

TEST_F(EventListTest, SingleEntryAndRemoval) {
    Place(4, 1.0);
    Set(4, 7.0);
    list.HeadChanged();
    list.MovedEarlier(4);
    EXPECT_EQ(list.HeadIndex(), 4);
    Place(1, 3.0);
    Place(2, 8.0);
    list.Remove(1);
    EXPECT_FALSE(list.Contains(1));
    list.Remove(1);  // not in the list: nothing happens
    EXPECT_TRUE(list.Contains(2));
    EXPECT_EQ(Drain(), (std::vector<int>{4, 2}));
    EXPECT_EQ(list.nonEmpty, 0);
    list.Clear();
    EXPECT_EQ(list.size, 0);
    EXPECT_FALSE(list.Contains(4));
}

// The list keeps room only for the nodes expected to have events; another
// that gets one still takes its place in the order, however many come.
TEST_F(EventListTest, NodesNotExpectedToHaveEventsStillTakePart) {
    model.nodes.clear();
    for (int i = 0; i < 9; ++i)
        model.nodes.push_back(std::make_unique<TimedNode>(&model));
    for (int i = 1; i < 9; ++i)
        model.nodes[i]->runKind = kSink;
    list.Build(model.nodeCount(), model.nodes.data());
    Place(0, 5.0);
    Place(3, 2.0);
    Place(8, 5.0);
    Place(1, 4.0);
    Place(6, 1.0);
    Place(2, 3.0);
    Place(7, 2.0);
    Place(5, 6.0);
    Place(4, 0.5);
    EXPECT_EQ(list.EntryCount(), 9u);
    Set(5, 0.25);
    list.MovedEarlier(5);
    list.Remove(2);
    EXPECT_EQ(Drain(), (std::vector<int>{5, 4, 6, 3, 7, 1, 0, 8}));
}

// Times a hand-made file can produce: NaN leaves after everything, a negative
// time before everything, and the entries around them keep their order.
TEST_F(EventListTest, NanAndNegativeTimesKeepTheOrderOfTheRest) {
    Place(0, std::numeric_limits<double>::quiet_NaN());
    Place(1, 2.0);
    Place(2, -1.0);
    Place(3, -0.0);
    Place(4, 0.0);
    EXPECT_EQ(Drain(), (std::vector<int>{2, 3, 4, 1, 0}));
}

// The order of a sorted list, kept the simple way: every placement
// goes behind the entries of equal or earlier time.
struct ReferenceList {
    std::vector<std::pair<int, double>> entries;
    void Insert(int p, double t) {
        auto at = std::find_if(entries.begin(), entries.end(),
                               [t](const auto& e) { return e.second > t; });
        entries.insert(at, {p, t});
    }
    void Erase(int p) {
        entries.erase(std::find_if(entries.begin(), entries.end(),
                                   [p](const auto& e) { return e.first == p; }));
    }
    size_t Find(int p) const {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].first == p)
                return i;
        }
        return entries.size();
    }
};

// Random placements, re-placements and removals on n nodes, checked against
// the sorted list; every third node is a sink, so it gets its leaf only when
// it first takes part.
void CheckAgainstSortedList(CQueuingSystem& model, CEventList& list, int n, unsigned seed) {
    model.nodes.clear();
    for (int i = 0; i < n; ++i) {
        model.nodes.push_back(std::make_unique<TimedNode>(&model));
        if (i % 3 == 2)
            model.nodes.back()->runKind = kSink;
    }
    list.Build(model.nodeCount(), model.nodes.data());
    auto set = [&](int i, SimTime t) { model.nodes[i]->nextEventTime = t; };
    ReferenceList ref;
    std::mt19937 random(seed);
    // Few distinct times, so that equal times are common.
    auto time = [&](double from) { return from + static_cast<double>(random() % 4); };
    double now = 0;
    for (int step = 0; step < 20000; ++step) {
        const int p = static_cast<int>(random() % static_cast<unsigned>(n));
        const size_t at = ref.Find(p);
        const int what = static_cast<int>(random() % 4);
        if (at == ref.entries.size()) {
            set(p, time(now));
            list.Add(static_cast<uint8_t>(p));
            ref.Insert(p, model.nodes[p]->nextEventTime);
        } else if (what == 0) {
            list.Remove(static_cast<uint8_t>(p));
            ref.Erase(p);
        } else if (what == 1) {
            // Earlier, or the same time.
            const double old = ref.entries[at].second;
            const double t = std::max(now, old - static_cast<double>(random() % 3));
            set(p, t);
            list.MovedEarlier(static_cast<uint8_t>(p));
            if (t != old && (at == 0 || ref.entries[at - 1].second > t)) {
                ref.Erase(p);
                ref.Insert(p, t);
            } else {
                ref.entries[at].second = t;
            }
        } else {
            // The head is processed and comes back later, or at the same time.
            const int h = ref.entries.front().first;
            now = ref.entries.front().second;
            set(h, time(now));
            list.HeadChanged();
            ref.Erase(h);
            ref.Insert(h, model.nodes[h]->nextEventTime);
        }
        ASSERT_EQ(list.nonEmpty != 0, !ref.entries.empty()) << n << " nodes, step " << step;
        ASSERT_EQ(list.EntryCount(), ref.entries.size()) << n << " nodes, step " << step;
        if (!ref.entries.empty()) {
            ASSERT_EQ(list.HeadIndex(), ref.entries.front().first) << n << " nodes, step " << step;
        }
    }
    std::vector<int> expected;
    for (const auto& e : ref.entries)
        expected.push_back(e.first);
    std::vector<int> drained;
    while (list.nonEmpty) {
        drained.push_back(list.HeadIndex());
        list.Remove(list.HeadIndex());
    }
    EXPECT_EQ(drained, expected) << n << " nodes";
}

// Sizes around every change of the tree's depth, up to the most nodes a model has.
TEST_F(EventListTest, ManyOperationsLeaveInTheOrderOfTheSortedList) {
    for (const int n : {1, 2, 3, 4, 5, 13, 14, 60, 121, 122, 255})
        CheckAgainstSortedList(model, list, n, static_cast<unsigned>(7 + n));
}

}  // namespace
}  // namespace marvolt
