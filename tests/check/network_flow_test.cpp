// What the check derives of the flow through a network before it is run.
#include "check/network_flow.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../kernel/model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

TEST(LawMeanTest, MeansAsTheKernelDrawsThem) {
    EXPECT_DOUBLE_EQ(*LawMean(Deterministic(2.5f)), 2.5);
    EXPECT_DOUBLE_EQ(*LawMean(Uniform(1.0f, 3.0f)), 2.0);
    EXPECT_DOUBLE_EQ(*LawMean(Exponential(4.0f)), 0.25);
    EXPECT_FALSE(LawMean(Exponential(0.0f))) << "an intensity of 0 has no mean";
    // Far from 0 the cut changes nothing; at a mean of 0 half the draws are cut to 0.
    EXPECT_NEAR(*LawMean({kLawNormal, 10.0f, 1.0f}), 10.0, 1e-9);
    EXPECT_NEAR(*LawMean({kLawNormal, 0.0f, 1.0f}), 1.0 / std::sqrt(2.0 * 3.14159265358979), 1e-9);
    EXPECT_DOUBLE_EQ(*LawMean({kLawNormal, -1.0f, 0.0f}), 0.0);
}

TEST(LawMeanTest, LargestDrawAndBatchMean) {
    EXPECT_DOUBLE_EQ(LawLargestDraw(Deterministic(0.0f)), 0.0);
    EXPECT_DOUBLE_EQ(LawLargestDraw(Uniform(-2.0f, 0.0f)), 0.0);
    EXPECT_DOUBLE_EQ(LawLargestDraw({kLawNormal, -6.0f, 1.0f}), 0.0);
    EXPECT_GT(LawLargestDraw({kLawNormal, -5.0f, 1.0f}), 0.0);
    EXPECT_NEAR(LawLargestDraw(Exponential(1.0f)), 10.397, 1e-3);
    // A batch of 2.5 rounds to 2 requests, one of 0.5 to none.
    EXPECT_DOUBLE_EQ(*MeanBatch(Deterministic(2.5f)), 2.0);
    EXPECT_DOUBLE_EQ(*MeanBatch(Deterministic(0.5f)), 0.0);
    EXPECT_DOUBLE_EQ(*MeanBatch(Uniform(0.0f, 2.0f)), 1.0);
}

TEST(TypeSharesTest, TheLastEntryTakesWhatTheSumLeaves) {
    EXPECT_EQ(TypeShares({0.3f, 0.7f}).size(), 2u);
    EXPECT_NEAR(TypeShares({0.3f, 0.7f})[0], 0.3, 1e-7);
    EXPECT_NEAR(TypeShares({0.3f, 0.7f})[1], 0.7, 1e-7);
    // Probabilities 0.2 and 0.3: every draw above 0.2 gives the second type.
    EXPECT_NEAR(TypeShares({0.2f, 0.3f})[1], 0.8, 1e-7);
    // A sum beyond 1 starves the entries past it.
    const std::vector<double> over = TypeShares({0.8f, 0.8f, 0.5f});
    EXPECT_NEAR(over[0], 0.8, 1e-7);
    EXPECT_NEAR(over[1], 0.2, 1e-7);
    EXPECT_NEAR(over[2], 0.0, 1e-7);
    EXPECT_TRUE(TypeShares({}).empty());
}

TEST(NetworkFlowTest, RatesFollowALineAndSplitAtRandomRouting) {
    QueueLine line = MakeQueueLine(Exponential(2.0f), Exponential(4.0f), 2);
    CQueuingSystem& m = *line.model;
    NetworkFlow flow = AnalyseFlow(m);
    ASSERT_TRUE(flow.nodes[3].rates);
    EXPECT_NEAR((*flow.nodes[3].rates)[0], 2.0, 1e-9);
    // Two requests a time unit, a quarter each, on two devices.
    EXPECT_NEAR(*ChannelLoad(m, 3, flow.nodes[3]), 0.25, 1e-9);
    EXPECT_NEAR((*flow.nodes[4].rates)[0], 2.0, 1e-9);

    // The channel's requests split 3:1 between the sink and a second sink.
    CDispose* second = m.AddSink("Сток2");
    ASSERT_EQ(m.Link(3, 5), kOk);
    line.channel->routingDiscipline = kRouteRandom;
    line.channel->routingProbabilities = {0.75f, 0.25f};
    flow = AnalyseFlow(m);
    EXPECT_NEAR((*flow.nodes[4].rates)[0], 1.5, 1e-6);
    EXPECT_NEAR((*flow.nodes[5].rates)[0], 0.5, 1e-6);
    EXPECT_TRUE(flow.nodes[5].offered[0]);
    (void)second;

    // In list order the split depends on what is busy: not derived.
    line.channel->routingDiscipline = kRouteInOrder;
    flow = AnalyseFlow(m);
    EXPECT_FALSE(flow.nodes[4].rates);
    EXPECT_FALSE(flow.nodes[5].rates);
    EXPECT_TRUE(flow.nodes[5].offered[0]);
}

TEST(NetworkFlowTest, TypesFollowAcceptanceAndTransformation) {
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *line.model;
    m.AddRequestType("Срочная");
    // The channel turns every request into the second type.
    line.channel->transformOn = 1;
    line.channel->transformTable = {1, 1};
    NetworkFlow flow = AnalyseFlow(m);
    EXPECT_TRUE(flow.nodes[3].offered[0]);
    EXPECT_FALSE(flow.nodes[3].offered[1]);
    EXPECT_FALSE(flow.nodes[4].offered[0]);
    EXPECT_TRUE(flow.nodes[4].offered[1]);
    EXPECT_NEAR((*flow.nodes[4].rates)[1], 1.0, 1e-9);

    // What the queue does not accept goes no further.
    line.queue->acceptedTypes[0] = 0;
    flow = AnalyseFlow(m);
    EXPECT_TRUE(flow.nodes[2].offered[0]);
    EXPECT_FALSE(flow.nodes[3].offered[0]);
    EXPECT_NEAR((*flow.nodes[3].rates)[0], 0.0, 1e-12);
}

TEST(NetworkFlowTest, AFailingChannelHandsItsTypesToItsReserveButNoRates) {
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *line.model;
    CChannel* reserve = m.AddChannel("Резерв");
    ASSERT_EQ(m.Link(5, 4), kOk);
    line.channel->reserveChannel = 5;
    NetworkFlow flow = AnalyseFlow(m);
    EXPECT_FALSE(flow.nodes[5].offered[0]) << "without failures the reserve is never used";
    line.channel->failuresOn = 1;
    flow = AnalyseFlow(m);
    EXPECT_TRUE(flow.nodes[5].offered[0]);
    EXPECT_FALSE(flow.nodes[5].rates);
    EXPECT_FALSE(flow.nodes[4].rates) << "behind a failing channel nothing is known";
    (void)reserve;
}

TEST(NetworkFlowTest, RatesAroundACycleAreNotDerived) {
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *line.model;
    // Half of the served requests go back into the queue.
    ASSERT_EQ(m.Link(3, 2), kOk);
    line.channel->routingDiscipline = kRouteRandom;
    line.channel->routingProbabilities = {0.5f, 0.5f};
    const NetworkFlow flow = AnalyseFlow(m);
    EXPECT_TRUE(flow.nodes[1].rates);
    EXPECT_FALSE(flow.nodes[2].rates);
    EXPECT_FALSE(flow.nodes[3].rates);
    EXPECT_FALSE(flow.nodes[4].rates);
    EXPECT_TRUE(flow.nodes[4].offered[0]);
}

}  // namespace
}  // namespace marvolt
