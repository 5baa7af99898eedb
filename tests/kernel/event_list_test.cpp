#include "kernel/event_list.h"

#include <gtest/gtest.h>

#include "kernel/queuing_system.h"

namespace marvolt {
namespace {

// A node whose time the test sets by hand.
class TimedNode : public CQSObject {
  public:
    SimTime time = 0;
    explicit TimedNode(CQueuingSystem* m) : CQSObject(kQueue, "n", m) {}
    void BeginRun() override {}
    void EndRun() override {}
    void Accept(uint8_t, SimTime) override {}
    void ProcessEvent() override {}
    bool CanAccept(uint8_t) override { return false; }
    bool HasRequestFor(const uint8_t*) override { return false; }
    SimTime NextEventTime() const override { return time; }
    uint32_t HeldCount() const override { return 0; }
};

class EventListTest : public ::testing::Test {
  protected:
    CQueuingSystem model;
    CEventList list;

    void SetUp() override {
        for (int i = 0; i < 5; ++i)
            model.nodes.push_back(std::make_unique<TimedNode>(&model));
        list.Build(model.nodeCount(), model.nodes.data());  // no generators: empty
    }
    TimedNode& N(int i) { return *static_cast<TimedNode*>(model.nodes[i].get()); }
    void Place(int i, SimTime t) {
        N(i).time = t;
        list.Add(static_cast<uint8_t>(i));
    }
    // The entries from head along next, and a check that prev agrees.
    std::vector<int> Order() {
        std::vector<int> out;
        uint8_t e = list.head;
        do {
            out.push_back(e);
            EXPECT_EQ(list.prev[list.next[e]], e);
            e = list.next[e];
        } while (e != list.head && out.size() < 10);
        EXPECT_EQ(out.back(), list.tail);
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
    EXPECT_EQ(Order(), (std::vector<int>{1, 4, 2, 0, 3}));
}

TEST_F(EventListTest, HeadChangedGoesBehindEqualEntries) {
    Place(0, 1.0);
    Place(1, 2.0);
    Place(2, 3.0);
    N(0).time = 2.0;
    list.HeadChanged();
    EXPECT_EQ(Order(), (std::vector<int>{1, 0, 2}));
    // Past every entry: the ring needs no relinking, only new ends.
    N(1).time = 9.0;
    list.HeadChanged();
    EXPECT_EQ(Order(), (std::vector<int>{0, 2, 1}));
    // Still earliest: nothing moves.
    N(0).time = 2.5;
    list.HeadChanged();
    EXPECT_EQ(Order(), (std::vector<int>{0, 2, 1}));
}

TEST_F(EventListTest, MovedEarlier) {
    Place(0, 1.0);
    Place(1, 2.0);
    Place(2, 3.0);
    Place(3, 4.0);
    N(3).time = 0.5;  // the tail becomes the head without relinking
    list.MovedEarlier(3);
    EXPECT_EQ(Order(), (std::vector<int>{3, 0, 1, 2}));
    N(2).time = 1.0;  // behind the equal entry
    list.MovedEarlier(2);
    EXPECT_EQ(Order(), (std::vector<int>{3, 0, 2, 1}));
    N(1).time = 0.1;  // a middle entry to the head
    list.MovedEarlier(1);
    EXPECT_EQ(Order(), (std::vector<int>{1, 3, 0, 2}));
    N(0).time = 0.7;  // still after its predecessor: unchanged
    list.MovedEarlier(0);
    EXPECT_EQ(Order(), (std::vector<int>{1, 3, 0, 2}));
}

TEST_F(EventListTest, SingleEntryAndRemoval) {
    Place(4, 1.0);
    N(4).time = 7.0;
    list.HeadChanged();
    list.MovedEarlier(4);
    EXPECT_EQ(list.head, 4);
    EXPECT_EQ(list.tail, 4);
    Place(1, 3.0);
    Place(2, 8.0);
    list.Remove(1);
    EXPECT_EQ(Order(), (std::vector<int>{4, 2}));
    EXPECT_FALSE(list.Contains(1));
    list.Remove(2);
    EXPECT_EQ(Order(), (std::vector<int>{4}));
    list.Remove(4);
    EXPECT_EQ(list.nonEmpty, 0);
    list.Clear();
    EXPECT_EQ(list.size, 0);
    EXPECT_TRUE(list.next.empty());
}

TEST_F(EventListTest, AddEarlierThanEverythingBecomesHead) {
    Place(0, 5.0);
    Place(1, 6.0);
    Place(2, 1.0);
    EXPECT_EQ(Order(), (std::vector<int>{2, 0, 1}));
    Place(3, 5.5);
    EXPECT_EQ(Order(), (std::vector<int>{2, 0, 3, 1}));
}

}  // namespace
}  // namespace marvolt
