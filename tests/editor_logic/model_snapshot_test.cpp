// Copies and comparisons of a model's configuration for the edit history.
#include "editor/logic/model_snapshot.h"

#include <gtest/gtest.h>

#include "../kernel/model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

class SnapshotTest : public ::testing::Test {
  protected:
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *line.model;

    void SetUp() override {
        RestoreRandomStartState();
        m.modelDescription = "Линия";
        m.AddDependency(3, kNoIndex, indLoad);
        m.AddDependency(2, kNoIndex, indMeanWait);
    }
};

TEST_F(SnapshotTest, ACopyKeepsEveryStoredSettingAndStandsApart) {
    const auto copy = ConfigurationCopy(m);
    EXPECT_TRUE(ConfigurationDifferences(m, *copy).empty());
    EXPECT_EQ(copy->modelDescription, "Линия");
    EXPECT_EQ(copy->dependencies.itemCount(), 2u);
    EXPECT_EQ(copy->refusalSink, copy->Node(0));
    EXPECT_EQ(copy->Node(3)->owner, copy.get());
    EXPECT_EQ(copy->defaultNames, m.defaultNames);
    // Changing the model leaves the copy as it was.
    line.channel->deviceCount = 3;
    EXPECT_EQ(static_cast<const CChannel*>(copy->Node(3))->deviceCount, 1);
}

TEST_F(SnapshotTest, DifferencesNameThePartThatChanged) {
    const auto before = ConfigurationCopy(m);
    line.channel->serviceLaws[0] = Exponential(3.0f);
    EXPECT_EQ(ConfigurationDifferences(m, *before), std::vector<std::string>({"node 3 (Канал1)"}));
    line.channel->serviceLaws[0] = Exponential(2.0f);
    m.RequestType(0)->priority = 4;
    EXPECT_EQ(ConfigurationDifferences(m, *before),
              std::vector<std::string>({"request type 0 (Тип_заявки1)"}));
    m.RequestType(0)->priority = 0;
    EXPECT_TRUE(SameConfiguration(m, *before));

    // What belongs to the model itself: description, refusal sink, stop criterion.
    m.modelDescription = "Другая";
    EXPECT_EQ(ConfigurationDifferences(m, *before), std::vector<std::string>({"model"}));
    m.modelDescription = "Линия";
    ASSERT_EQ(m.SetRefusalSink("Сток1"), kOk);
    EXPECT_FALSE(SameConfiguration(m, *before));
    ASSERT_EQ(m.SetRefusalSink("Сток отказов"), kOk);
    m.timeLimit = 5.0f;
    EXPECT_FALSE(SameConfiguration(m, *before));
    m.timeLimit = before->timeLimit;
    float& upper = line.queue->waitDistributions[0]->upperBound;
    const float kept = upper;
    upper = kept + 12.0f;
    EXPECT_FALSE(SameConfiguration(m, *before)) << "a histogram's settings are configuration";
    upper = kept;
    EXPECT_TRUE(SameConfiguration(m, *before));

    ASSERT_EQ(m.DeleteNode("Сток1"), kOk);
    EXPECT_EQ(ConfigurationDifferences(m, *before).front(), "node count");
}

TEST_F(SnapshotTest, WhatARunProducesIsNoChange) {
    const auto before = ConfigurationCopy(m);
    line.queue->waitDistFlags[0] = 1;
    line.channel->serviceDistFlag = 1;
    const auto planned = ConfigurationCopy(m);
    m.arrivalsLimit = 500;
    const auto limited = ConfigurationCopy(m);
    ASSERT_EQ(m.Experiment(), kOk);
    ASSERT_EQ(m.resultsValid, 1);
    ASSERT_GT(m.arrived, 0u);
    EXPECT_TRUE(SameConfiguration(m, *limited));
    EXPECT_FALSE(SameConfiguration(m, *planned));
    EXPECT_FALSE(SameConfiguration(*planned, *before));
    // The copy holds none of the results.
    const auto copy = ConfigurationCopy(m);
    EXPECT_EQ(copy->resultsValid, 0);
    EXPECT_TRUE(copy->Node(3)->arrivals.empty());

    // A factor experiment leaves values in the dependencies: still no change.
    FactorSettings f = Factor(3, kFactorDevices, 1.0f, 1.0f, 3);
    ASSERT_EQ(m.SetFactor(f, kAllFactorFields), kOk);
    const auto factor = ConfigurationCopy(m);
    m.factorRun = 1;
    const auto factorOn = ConfigurationCopy(m);
    ASSERT_EQ(m.Experiment(), kOk);
    ASSERT_EQ(m.dependencies.Item(0)->values.size(), 3u);
    EXPECT_TRUE(SameConfiguration(m, *factorOn)) << ::testing::PrintToString(
        ConfigurationDifferences(m, *factorOn));
    EXPECT_FALSE(SameConfiguration(m, *factor));
    EXPECT_FALSE(SameOutcomes(m, *factorOn));
    EXPECT_TRUE(SameOutcomes(m, *ConfigurationCopy(m)));
}

TEST_F(SnapshotTest, RestoringKeepsTheLatestResultsWithTheDependenciesStillThere) {
    const auto twoChannels = [&] {
        m.AddChannel("Канал2");
        return ConfigurationCopy(m);
    }();
    // Later the second channel goes and a factor experiment runs.
    ASSERT_EQ(m.DeleteNode("Канал2"), kOk);
    m.arrivalsLimit = 300;
    ASSERT_EQ(m.SetFactor(Factor(3, kFactorDevices, 1.0f, 1.0f, 2), kAllFactorFields), kOk);
    m.factorRun = 1;
    ASSERT_EQ(m.Experiment(), kOk);
    const std::vector<float> loads = m.dependencies.Item(0)->values;
    ASSERT_EQ(loads.size(), 2u);
    m.dependencies.Item(1)->values.clear();  // as if its values were lost

    // Going back to the state with two channels keeps this experiment's results.
    const auto restored = RestoredModel(*twoChannels, m);
    EXPECT_TRUE(SameConfiguration(*restored, *twoChannels));
    EXPECT_EQ(restored->nodeCount(), 6);
    EXPECT_EQ(restored->dependencies.Item(0)->values, loads);
    EXPECT_TRUE(restored->dependencies.Item(1)->values.empty());
    EXPECT_EQ(restored->dependencies.valueCount, m.dependencies.valueCount);
    EXPECT_EQ(restored->usedFactor.valueCount, 2);
    EXPECT_EQ(restored->usedFactor.factorObject, restored->NodeIndex("Канал1"));
    EXPECT_EQ(restored->lastRunWasFactor, m.lastRunWasFactor);
    EXPECT_EQ(restored->arrived, m.arrived);
    EXPECT_EQ(restored->resultsValid, 0);

    // A dependency on a node that is not in the state it goes back to has no values.
    auto noChannel = ConfigurationCopy(m);
    ASSERT_EQ(noChannel->DeleteNode("Канал1"), kOk);
    const auto without = RestoredModel(*noChannel, m);
    EXPECT_EQ(without->usedFactor.factorObject, kNoIndex);
    ASSERT_EQ(without->dependencies.itemCount(), 1u);  // the queue's
    EXPECT_TRUE(without->dependencies.Item(0)->values.empty());
}

}  // namespace
}  // namespace marvolt
