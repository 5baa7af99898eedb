// The planning grid: its layouts, the cells' texts and the checks of a commit.
#include "results/logic/planning_grid.h"

#include <gtest/gtest.h>

#include "tests/kernel/model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

std::string Rejection(const char* rule) {
    return std::string("Введено некорректное значение.\n") + rule;
}

class PlanningGridTest : public ::testing::Test {
  protected:
    QueueLine q = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *q.model;

    PlanCommit Commit(const PlanLayout& l, int row, int col, const std::string& text) {
        return CommitPlanCell(m, l, row, col, text);
    }
};

TEST_F(PlanningGridTest, AQueueShowsTheTypesItAdmits) {
    m.AddRequestType("Тип2");
    m.AddRequestType("Тип3");
    q.queue->acceptedTypes = {1, 0, 1};
    const PlanLayout l = PlanGridLayout(m, q.kQueueAt);
    EXPECT_EQ(l.kind, PlanKind::kQueue);
    EXPECT_EQ(l.columnHeaders,
              (std::vector<std::string>{"", "Все типы заявок", "Тип_заявки1", "Тип3"}));
    ASSERT_EQ(l.rowCount(), 9);
    EXPECT_EQ(PlanCellText(m, l, 5, 0), "Длина очереди");
    EXPECT_EQ(PlanCellText(m, l, 3, 0), "Правая граница");

    // Column 3 is the third type: slot 3 of the queue's arrays.
    EXPECT_TRUE(Commit(l, 1, 3, kCheckMark).accepted);
    EXPECT_EQ(q.queue->waitDistFlags, (std::vector<uint8_t>{0, 0, 0, 1}));
    EXPECT_EQ(PlanCellText(m, l, 1, 3), kCheckMark);
    EXPECT_TRUE(Commit(l, 7, 3, "20").accepted);
    EXPECT_EQ(q.queue->lengthDistributions[3]->upperBound, 20);
    EXPECT_EQ(PlanCellText(m, l, 7, 3), "20");
    EXPECT_EQ(PlanCellText(m, l, 7, 2), "7") << "a fresh slice has the default grid";
    EXPECT_TRUE(Commit(l, 1, 3, "").accepted);
    EXPECT_EQ(q.queue->waitDistFlags[3], 0);
}

TEST_F(PlanningGridTest, LayoutsOfTheOtherObjects) {
    m.AddRequestType("Тип2");
    const PlanLayout system = PlanGridLayout(m, kNoIndex);
    EXPECT_EQ(system.kind, PlanKind::kSystem);
    EXPECT_EQ(system.columnHeaders,
              (std::vector<std::string>{"", "Все типы заявок", "Тип_заявки1", "Тип2"}));
    EXPECT_EQ(system.rowLabels[1], "Число заявок в системе");
    const PlanLayout channel = PlanGridLayout(m, q.kChannelAt);
    EXPECT_EQ(channel.columnCount(), 2);
    EXPECT_EQ(channel.rowLabels[5], "Время обслуживания");
    const PlanLayout sink = PlanGridLayout(m, q.kSinkAt);
    EXPECT_EQ(sink.columnCount(), 4);
    EXPECT_EQ(sink.rowLabels[1], "Время пребывания в СМО");
    EXPECT_EQ(PlanCellText(m, sink, 3, 3), "8");

    const ChoiceList objects = PlanObjectChoices(m);
    ASSERT_EQ(objects.size(), 5u) << "every node but the generator";
    EXPECT_EQ(objects[0], (ChoiceItem{"СМО", kNoIndex}));
    EXPECT_EQ(objects[2], (ChoiceItem{"Накопитель1", 2}));

    // Arrays a file left short are fitted, and a slice without an object gets one.
    q.sink->lifetimeDistFlags.resize(1);
    q.sink->lifetimeDistributions.resize(1);
    const PlanLayout refitted = PlanGridLayout(m, q.kSinkAt);
    EXPECT_EQ(PlanCellText(m, refitted, 4, 3), "8");
    EXPECT_EQ(q.sink->lifetimeDistributions.size(), 3u);
}

TEST_F(PlanningGridTest, IntegerCountsAreNarrowedAndHeldInEightBits) {
    const PlanLayout l = PlanGridLayout(m, kNoIndex);
    ASSERT_TRUE(Commit(l, 3, 1, "4").accepted);
    const PlanCommit narrowed = Commit(l, 4, 1, "10");
    EXPECT_TRUE(narrowed.accepted);
    EXPECT_EQ(narrowed.shownText, "5");
    EXPECT_EQ(m.countDistribution.binCount, 5);
    EXPECT_EQ(Commit(l, 4, 1, "3").shownText, std::nullopt);

    for (const char* text : {"256", "0", "-1", "1.5", "abc", "99999999999999999999"}) {
        const PlanCommit c = Commit(l, 4, 1, text);
        EXPECT_FALSE(c.accepted) << text;
        EXPECT_EQ(c.message, Rejection("Правильным значением является целое положительное число."));
    }
    EXPECT_EQ(m.countDistribution.binCount, 3) << "a refusal changes nothing";
    EXPECT_TRUE(Commit(l, 3, 1, "2147483647").accepted);
    EXPECT_TRUE(Commit(l, 4, 1, "255").accepted);
    EXPECT_EQ(m.countDistribution.binCount, 255);
    EXPECT_FALSE(Commit(l, 3, 1, "2147483648").accepted) << "beyond 32 bits";

    // Bounds as far apart as 32 bits allow: the range is counted in 64.
    ASSERT_TRUE(Commit(l, 2, 1, "0").accepted);
    const PlanCommit wide = Commit(l, 4, 1, "200");
    EXPECT_TRUE(wide.accepted);
    EXPECT_EQ(wide.shownText, std::nullopt);
}

TEST_F(PlanningGridTest, BoundsKeepLeftBelowRight) {
    const PlanLayout l = PlanGridLayout(m, q.kSinkAt);
    EXPECT_EQ(Commit(l, 2, 1, "8").message, Rejection("Левая граница должна быть меньше правой."));
    EXPECT_EQ(Commit(l, 3, 1, "0").message,
              Rejection("Правильным значением является вещественное положительное число."));
    EXPECT_EQ(Commit(l, 2, 1, "1,5").message,
              Rejection("Правильным значением является вещественное неотрицательное число."));
    EXPECT_EQ(Commit(l, 2, 1, "-1").message,
              Rejection("Правильным значением является вещественное неотрицательное число."));
    EXPECT_EQ(Commit(l, 3, 1, "1e39").message,
              Rejection("Правильным значением является вещественное положительное число."))
        << "infinite as a float32";
    ASSERT_TRUE(Commit(l, 3, 1, "1").accepted);
    // Below 1 as a double, equal to it as a float32.
    EXPECT_EQ(Commit(l, 2, 1, "0.999999999").message,
              Rejection("Левая граница должна быть меньше правой."));
    ASSERT_TRUE(Commit(l, 2, 1, "0.5").accepted);
    EXPECT_EQ(Commit(l, 3, 1, "0.5").message,
              Rejection("Правая граница должна быть больше левой."));
    EXPECT_EQ(q.sink->lifetimeDistributions[0]->lowerBound, 0.5f);
    EXPECT_EQ(q.sink->lifetimeDistributions[0]->upperBound, 1.0f);
    EXPECT_EQ(Commit(l, 4, 1, "256").message,
              Rejection("Правильным значением является целое положительное число."));

    const PlanLayout queue = PlanGridLayout(m, q.kQueueAt);
    EXPECT_EQ(Commit(queue, 6, 1, "-1").message,
              Rejection("Правильным значением является целое неотрицательное число."));
    EXPECT_EQ(Commit(queue, 6, 1, "7").message,
              Rejection("Левая граница должна быть меньше правой."));
    EXPECT_EQ(Commit(queue, 7, 1, "0").message,
              Rejection("Правильным значением является целое положительное число."));
}

TEST_F(PlanningGridTest, AChangedGridDropsTheBinsOfTheLastRun) {
    const PlanLayout l = PlanGridLayout(m, q.kChannelAt);
    ASSERT_TRUE(Commit(l, 5, 1, kCheckMark).accepted);
    m.arrivalsLimit = 100;
    m.Experiment();
    ASSERT_TRUE(q.channel->serviceDistribution.HasBins());
    const uint32_t counted = q.channel->serviceDistribution.sampleCount;
    ASSERT_GT(counted, 0u);
    // The same value again keeps them: nothing was changed.
    EXPECT_TRUE(Commit(l, 7, 1, "8").accepted);
    EXPECT_EQ(q.channel->serviceDistribution.sampleCount, counted);
    EXPECT_TRUE(Commit(l, 8, 1, "4").accepted);
    EXPECT_FALSE(q.channel->serviceDistribution.HasBins());
    EXPECT_EQ(q.channel->serviceDistribution.sampleCount, 0u);
    EXPECT_EQ(m.DistributionIndicator(indServiceDistr, q.kChannelAt, kNoIndex)->HasBins(), false);
}

TEST_F(PlanningGridTest, RealBoundsAreShownAsEveryDisplayShowsThem) {
    const PlanLayout l = PlanGridLayout(m, q.kChannelAt);
    ASSERT_TRUE(Commit(l, 3, 1, "12.345").accepted);
    EXPECT_EQ(q.channel->idleDistribution.upperBound, 12.345f);
    EXPECT_EQ(PlanCellText(m, l, 3, 1), "12.3");
    EXPECT_EQ(PlanCellText(m, l, 1, 1), "");
}

}  // namespace
}  // namespace marvolt
