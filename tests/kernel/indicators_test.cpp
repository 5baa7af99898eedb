#include <gtest/gtest.h>

#include "model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

class IndicatorTest : public ::testing::Test {
  protected:
    void SetUp() override { RestoreRandomStartState(); }
};

TEST_F(IndicatorTest, WhichIdsApplyToWhichKinds) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    const CQueuingSystem& m = *q.model;
    EXPECT_TRUE(m.IndicatorApplies(0, 1));
    EXPECT_FALSE(m.IndicatorApplies(5, 1)) << "a generator has only id 0";
    EXPECT_TRUE(m.IndicatorApplies(9, 3));
    EXPECT_FALSE(m.IndicatorApplies(10, 3));
    EXPECT_TRUE(m.IndicatorApplies(18, 2));
    EXPECT_FALSE(m.IndicatorApplies(19, 2));
    EXPECT_TRUE(m.IndicatorApplies(22, 4));
    EXPECT_FALSE(m.IndicatorApplies(23, 4));
    EXPECT_TRUE(m.IndicatorApplies(23, 255));
    EXPECT_TRUE(m.IndicatorApplies(28, 77)) << "any index past the nodes is the system";
    EXPECT_FALSE(m.IndicatorApplies(9, 255));
    EXPECT_TRUE(m.IndicatorApplies(40, 2));
}

TEST_F(IndicatorTest, BeforeAnyRunEverythingIsZero) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    const CQueuingSystem& m = *q.model;
    for (uint8_t id = 0; id <= 28; ++id) {
        for (uint8_t object : {1, 2, 3, 4, 255}) {
            EXPECT_EQ(m.RealIndicator(id, object, 0), 0.0f) << int(id) << " " << int(object);
            EXPECT_EQ(m.CountIndicator(id, object, 255), 0u);
        }
    }
    EXPECT_EQ(m.RealIndicator(23, 255, 255), 0.0f) << "throughput at model time 0";
}

TEST_F(IndicatorTest, ValuesAfterARun) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *q.model;
    m.AddRequestType("B");
    m.AddRequestType("C");
    q.queue->waitDistFlags[0] = 1;
    m.arrivalsLimit = 2000;
    ASSERT_EQ(m.Experiment(), kOk);

    // Channel figures exist for all types only: the argument itself is compared with 255.
    EXPECT_GT(m.RealIndicator(1, 3, 255), 0.0f);
    EXPECT_EQ(m.RealIndicator(1, 3, 255), q.channel->meanIdle);
    for (uint8_t id = 1; id <= 9; ++id) {
        EXPECT_EQ(m.RealIndicator(id, 3, 0), 0.0f);
        EXPECT_EQ(m.RealIndicator(id, 3, 7), 0.0f);
    }
    EXPECT_EQ(m.RealIndicator(3, 3, 255), 0.0f);
    EXPECT_EQ(m.RealIndicator(9, 3, 255), q.channel->loadFactor);
    // A type index past the types reads the all-types slot elsewhere.
    EXPECT_EQ(m.RealIndicator(13, 2, 7), m.RealIndicator(13, 2, 255));
    EXPECT_EQ(m.RealIndicator(13, 2, 7), q.queue->totalWait[0]);
    EXPECT_EQ(m.CountIndicator(0, 255, 7), m.arrived);
    EXPECT_EQ(m.CountIndicator(0, 255, 0), m.RequestType(0)->generated);
    EXPECT_EQ(m.CountIndicator(0, 255, 1), 0u);

    // Count ids read through the real accessor as floats.
    EXPECT_EQ(m.RealIndicator(24, 255, 255), static_cast<float>(m.CountIndicator(24, 255, 255)));
    EXPECT_EQ(m.CountIndicator(24, 255, 255), q.sink->arrivals[0] + q.refusals->arrivals[0]);
    EXPECT_EQ(m.RealIndicator(11, 2, 255), static_cast<float>(q.queue->maxWaitingCount[0]));
    EXPECT_EQ(m.CountIndicator(13, 2, 255), 0u) << "a real id has no count";
    EXPECT_FLOAT_EQ(m.RealIndicator(23, 255, 255),
                    static_cast<float>(q.sink->arrivals[0] / m.modelTime));
    EXPECT_EQ(m.RealIndicator(25, 255, 255), static_cast<float>(m.modelTime));
    EXPECT_EQ(m.RealIndicator(25, 255, 0), 0.0f);
    EXPECT_EQ(m.RealIndicator(26, 255, 255), m.inSystem);

    // Mean wait of those that waited: total mean scaled by arrivals over non-zero waits.
    const double a = q.queue->arrivals[0], z = q.queue->zeroWaitCount[0];
    ASSERT_GT(a, z);
    EXPECT_NEAR(m.RealIndicator(15, 2, 255), q.queue->totalWait[0] * a / (a - z), 1e-4);

    // Distributions only where collected.
    EXPECT_NE(m.DistributionIndicator(16, 2, 255), nullptr);
    EXPECT_EQ(m.DistributionIndicator(16, 2, 0), nullptr);
    EXPECT_EQ(m.DistributionIndicator(12, 2, 255), nullptr);
    EXPECT_EQ(m.DistributionIndicator(8, 3, 255), nullptr);
    EXPECT_EQ(m.DistributionIndicator(28, 255, 255), nullptr);
    EXPECT_EQ(m.DistributionIndicator(13, 2, 255), nullptr) << "not a distribution id";
    q.channel->serviceDistFlag = 1;
    EXPECT_EQ(m.DistributionIndicator(8, 3, 255), &q.channel->serviceDistribution);
    EXPECT_EQ(m.DistributionIndicator(8, 3, 0), nullptr);
}

// The table of ids says what each accessor gives: with every distribution
// collected, an id answers through the accessor of its kind of value only,
// and an id kept for all types gives nothing for a single type.
TEST_F(IndicatorTest, TheTableOfIdsDescribesWhatTheAccessorsGive) {
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(1.5f));
    CQueuingSystem& m = *q.model;
    m.AddRequestType("B");
    q.generator->SetGeneratedType(1, true);
    q.generator->typeProbabilities = {0.5f, 0.5f};
    q.queue->waitDistFlags = {1, 1, 1};
    q.queue->lengthDistFlags = {1, 1, 1};
    q.sink->lifetimeDistFlags = {1, 1, 1};
    q.channel->idleDistFlag = q.channel->serviceDistFlag = 1;
    m.countDistFlag = 1;
    m.RequestType(0)->countDistFlag = m.RequestType(1)->countDistFlag = 1;
    m.arrivalsLimit = 3000;
    ASSERT_EQ(m.Experiment(), kOk);

    int distributions = 0;
    for (uint8_t id = 0; id < kIndicatorCount; ++id) {
        const IndicatorInfo& info = kIndicatorTable[id];
        for (uint8_t object : {1, 2, 3, 4, 255}) {
            const uint8_t scope =
                object == 255 ? uint8_t{kForSystem} : ScopeOfKind(m.Node(object)->kind);
            ASSERT_EQ(m.IndicatorApplies(id, object), (info.scope & scope) != 0)
                << int(id) << " " << int(object);
            if (!m.IndicatorApplies(id, object))
                continue;
            for (uint8_t type : {0, 1, 255}) {
                const std::string where =
                    std::to_string(id) + " " + std::to_string(object) + " " + std::to_string(type);
                const bool given = info.perType || type == 255;
                const CDistribution* d = m.DistributionIndicator(id, object, type);
                EXPECT_EQ(d != nullptr, given && info.value == IndicatorValue::kDistribution)
                    << where;
                distributions += d != nullptr;
                if (info.value != IndicatorValue::kCount) {
                    EXPECT_EQ(m.CountIndicator(id, object, type), 0u) << where;
                } else {
                    EXPECT_EQ(m.RealIndicator(id, object, type),
                              static_cast<float>(m.CountIndicator(id, object, type)))
                        << where;
                }
                if (!given || info.value == IndicatorValue::kDistribution) {
                    EXPECT_EQ(m.RealIndicator(id, object, type), 0.0f) << where;
                }
            }
        }
    }
    // Channel: idle and service; queue: length and wait for 3 slots; sink: 3; system: 3.
    EXPECT_EQ(distributions, 2 + 6 + 3 + 3);
    EXPECT_GT(m.CountIndicator(indLeftCount, 255, 1), 0u) << "the run did reach the sink";
}

}  // namespace
}  // namespace marvolt
