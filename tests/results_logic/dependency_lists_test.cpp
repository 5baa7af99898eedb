// The dependency list: what a new dependency may be, the chart's lines and the table.
#include "results/logic/dependency_lists.h"

#include <gtest/gtest.h>

#include "tests/kernel/model_builders.h"
#include "tests/results_logic/choice_ids.h"

namespace marvolt {
namespace {

using namespace testing_models;

using test::Ids;

class DependencyLists : public ::testing::Test {
  protected:
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *line.model;

    // As a finished experiment over 1.5, 2, 2.5 leaves them.
    void Experimented(uint8_t count = 3) {
        m.usedFactor = Factor(QueueLine::kChannelAt, kFactorDevices, 1.5f, 0.5f, count);
        m.dependencies.valueCount = count;
        for (uint32_t i = 0; i < m.DependencyCount(); ++i) {
            m.Dependency(i)->values.clear();
            for (uint8_t k = 0; k < count; ++k)
                m.Dependency(i)->values.push_back(static_cast<float>(i) + 0.25f * k);
        }
    }
    std::vector<DependKey> All() {
        std::vector<DependKey> keys;
        for (const DependEntry& e : DependencyEntries(m))
            keys.push_back(e.key);
        return keys;
    }
};

TEST_F(DependencyLists, IndicatorsAndTypesByObject) {
    EXPECT_EQ(Ids(DependencyIndicators(m, kNoIndex)),
              (std::vector<uint8_t>{indMeanInSystem, indThroughput}));
    EXPECT_EQ(Ids(DependencyIndicators(m, QueueLine::kChannelAt)),
              (std::vector<uint8_t>{indLoad, indMeanIdle, indMeanService}));
    EXPECT_EQ(Ids(DependencyIndicators(m, QueueLine::kQueueAt)),
              (std::vector<uint8_t>{indMeanWait, indMeanQueueLength, indRefusalShare}));
    EXPECT_EQ(Ids(DependencyIndicators(m, QueueLine::kSinkAt)),
              (std::vector<uint8_t>{indMeanLifetime, indArrived}));
    EXPECT_EQ(DependencyIndicators(m, QueueLine::kSinkAt)[0].text, "Среднее время жизни заявки");
    EXPECT_TRUE(DependencyIndicators(m, 77).empty());

    EXPECT_TRUE(DependencyTypes(m, kNoIndex).empty()) << "one request type: no type list";
    EXPECT_TRUE(DependencyTypes(m, QueueLine::kQueueAt).empty());
    m.AddRequestType("Вторая");
    line.queue->acceptedTypes = {0, 1};
    EXPECT_EQ(Ids(DependencyTypes(m, kNoIndex)), (std::vector<uint8_t>{kNoIndex, 0, 1}));
    EXPECT_EQ(Ids(DependencyTypes(m, QueueLine::kQueueAt)), (std::vector<uint8_t>{kNoIndex, 1}));
    EXPECT_EQ(Ids(DependencyTypes(m, QueueLine::kSinkAt)), (std::vector<uint8_t>{kNoIndex, 0, 1}));
    EXPECT_TRUE(DependencyTypes(m, QueueLine::kChannelAt).empty());
}

TEST_F(DependencyLists, FourSelectedDrawThreeLinesAndTabulateFour) {
    m.AddDependency(QueueLine::kQueueAt, kNoIndex, indMeanWait);
    m.AddDependency(QueueLine::kChannelAt, kNoIndex, indLoad);
    m.AddDependency(kNoIndex, kNoIndex, indThroughput);
    m.AddDependency(QueueLine::kSinkAt, kNoIndex, indMeanLifetime);
    Experimented();
    const std::vector<DependEntry> entries = DependencyEntries(m);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].caption, "Коэффициент загрузки (Канал1)") << "sorted by caption";
    EXPECT_EQ(entries[3].caption, "Среднее время ожидания (Накопитель1)");

    const DependChartLines chart = DependencyLines(m, All());
    ASSERT_EQ(chart.lines.size(), 3u);
    EXPECT_EQ(chart.lines[0].title, entries[0].caption);
    EXPECT_EQ(chart.lines[2].title, entries[2].caption);
    ASSERT_EQ(chart.lines[0].points.size(), 3u);
    EXPECT_EQ(chart.lines[0].points[2], (std::pair{2.5f, 1.5f}));
    EXPECT_EQ(chart.axisTitle, "Число устройств (Канал1)");

    const std::optional<TextTable> table = DependencyTable(m, All());
    ASSERT_TRUE(table);
    ASSERT_EQ(table->size(), 5u);
    EXPECT_EQ((*table)[0],
              (std::vector<std::string>{"Число устройств (Канал1)", "1,5", "2", "2,5"}));
    EXPECT_EQ((*table)[4][0], entries[3].caption);
    EXPECT_EQ((*table)[4][2], "0,25");
}

TEST_F(DependencyLists, ADependencyWithoutValuesHasNoPointsAndNoRow) {
    m.AddDependency(QueueLine::kChannelAt, kNoIndex, indLoad);
    const std::vector<DependKey> keys = All();
    DependChartLines chart = DependencyLines(m, keys);
    ASSERT_EQ(chart.lines.size(), 1u) << "listed in the legend";
    EXPECT_TRUE(chart.lines[0].points.empty());
    EXPECT_FALSE(chart.anyValues);
    EXPECT_EQ(chart.axisTitle, "");
    EXPECT_FALSE(DependencyTable(m, keys));

    Experimented();
    m.AddDependency(QueueLine::kQueueAt, kNoIndex, indMeanWait);
    chart = DependencyLines(m, All());
    EXPECT_TRUE(chart.anyValues);
    const std::optional<TextTable> table = DependencyTable(m, All());
    ASSERT_TRUE(table);
    EXPECT_EQ(table->size(), 2u) << "the new dependency has no row";
    EXPECT_TRUE(DependencyLines(m, {}).lines.empty());
}

TEST_F(DependencyLists, OnlyTheValuesStoredAreRead) {
    m.AddDependency(QueueLine::kChannelAt, kNoIndex, indLoad);
    Experimented(3);
    m.usedFactor.valueCount = 8;  // more than the dependency holds, as a damaged file may say
    const CDependInfo& d = *m.Dependency(0);
    EXPECT_EQ(DependencyPoints(m, d).size(), 3u);
    const std::optional<TextTable> table = DependencyTable(m, All());
    ASSERT_TRUE(table);
    EXPECT_EQ((*table)[1].size(), 9u) << "the row keeps the table's shape";
    EXPECT_EQ((*table)[1][8], "");
    m.usedFactor.valueCount = 2;
    EXPECT_EQ(DependencyPoints(m, d).size(), 2u);
}

}  // namespace
}  // namespace marvolt
