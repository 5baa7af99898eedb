// The indicator catalogue: number and law texts, captions and the report.
#include "results/application_data.h"

#include <gtest/gtest.h>

#include <fstream>
#include <limits>
#include <sstream>

#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"

namespace marvolt {
namespace {

TEST(FormatValueTest, PrecisionFollowsTheRangeOfTheValue) {
    const CAppData app;
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float x;
        const char* text;
    } cases[] = {
        {0.0f, "0"},
        {-0.0f, "0"},
        {0.123456f, "0.123"},
        {12.3456f, "12.3"},
        {100.0f, "100"},
        {999.7f, "1E3"},  // the range is chosen before rounding
        {1234.0f, "1234"},
        {12345678.0f, "12345678"},
        {123456789.0f, "1.2345679E8"},
        {0.00005f, "5E-5"},
        {0.0001f, "0.0001"},
        {-1500.0f, "-1.5E3"},
        {inf, "INF"},
        {-inf, "-INF"},
        {std::numeric_limits<float>::quiet_NaN(), "NAN"},
        // Rounding: halves away from zero, carries into a new leading digit.
        {1234.5f, "1235"},
        {1.125f, "1.13"},
        // The float's exact value is rounded: 0.1235f lies just below the half,
        // and large integers keep every digit of eight.
        {0.1235f, "0.123"},
        {67108872.0f, "67108872"},
        {876307008.0f, "8.7630701E8"},
        {9.9996f, "10"},
        {0.0009996f, "0.001"},
        {-0.5f, "-0.5"},
        {3.4028235e38f, "3.4028235E38"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(app.FormatValue(c.x), c.text) << "x = " << c.x;
    }
}

TEST(LawTextTest, DescribesEachKind) {
    const CAppData app;
    EXPECT_EQ(app.LawText({kLawUniform, 1.0f, 3.0f}), "Pавн. a=1 b=3");
    EXPECT_EQ(app.LawText({kLawNormal, 10.0f, 2.5f}), "Норм. a=10 s=2.5");
    EXPECT_EQ(app.LawText({kLawExponential, 0.25f, 0.0f}), "Показ. ly=0.25");
    EXPECT_EQ(app.LawText({kLawDeterministic, 12345.0f, 0.0f}), "Детерм. c=1.235E4");
    EXPECT_EQ(app.LawText({7, 5.0f, 5.0f}), "K c=0");
}

TEST(DecimalSeparatorTest, TheSeparatorIsAnArgumentAndLeavesNothingBehind) {
    EXPECT_EQ(CAppData::FormatValue(12.3456f, ','), "12,3");
    EXPECT_EQ(CAppData::FormatValue(-1500.0f, ','), "-1,5E3");
    EXPECT_EQ(CAppData::FormatValue(0.00005f, ','), "5E-5");
    EXPECT_EQ(CAppData::FormatValue(1234.0f, ','), "1234");
    EXPECT_EQ(CAppData::LawText({kLawNormal, 0.5f, 2.5f}, ','), "Норм. a=0,5 s=2,5");
    // A table built with "," does not change what the next display shows.
    EXPECT_EQ(CAppData::FormatValue(0.0001f), "0.0001");
    EXPECT_EQ(AppData.LawText({kLawNormal, 0.5f, 2.5f}), "Норм. a=0.5 s=2.5");
}

TEST(CatalogueNamesTest, GapsAndUnknownIdsHaveEmptyNames) {
    EXPECT_EQ(CAppData::IndicatorName(indMeanWaitNonZero), "");
    EXPECT_EQ(CAppData::IndicatorName(29), "");
    EXPECT_EQ(CAppData::IndicatorName(-1), "");
    EXPECT_EQ(CAppData::IndicatorName(indInSystemDistr), "Распределение числа заявок в системе");
    EXPECT_EQ(CAppData::QuantityName(indLifetimeDistr), "Время жизни заявки");
    EXPECT_EQ(CAppData::QuantityName(indMeanWait), "");
    EXPECT_EQ(CAppData::ParameterName(kFactorServiceUpper), "Верхняя граница времени обслуж.");
    EXPECT_EQ(CAppData::ParameterName(13), "");
    EXPECT_EQ(CAppData::ParameterName(-1), "");
}

// Nodes: Канал1 0, Накопитель1 1, Сток1 2, Сток отказов 3.
class CaptionTest : public ::testing::Test {
  protected:
    CQueuingSystem m;
    void SetUp() override {
        m.AddRequestType("А");
        m.AddChannel("Канал1");
        m.AddQueue("Накопитель1");
        m.AddSink("Сток1");
        m.AddSink("Сток отказов");
        m.SetRefusalSink("Сток отказов");
    }
};

TEST_F(CaptionTest, OneTypeNamesNoType) {
    EXPECT_EQ(CAppData::DistributionTitle(m, indWaitDistr, 1, 0), "Время ожидания (Накопитель1)");
    EXPECT_EQ(CAppData::DistributionTitle(m, indInSystemDistr, 255, 255),
              "Число заявок в системе (СМО)");
    EXPECT_EQ(CAppData::DependencyCaption(m, {255, 255, indMeanInSystem, {}}),
              "Среднее число заявок в системе");
    EXPECT_EQ(CAppData::DependencyCaption(m, {1, 255, indMeanWait, {}}),
              "Среднее время ожидания (Накопитель1)");
    EXPECT_EQ(CAppData::FactorCaption(m, {0, 0, kFactorServiceMean}),
              "Мат. ожидание времени обслуживания (Канал1)");
    EXPECT_EQ(CAppData::FactorCaption(m, {1, 255, kFactorLengthLimit}),
              "Предельная длина очереди (Накопитель1)");
}

TEST_F(CaptionTest, SeveralTypesNameTheType) {
    m.AddRequestType("Б");
    EXPECT_EQ(CAppData::DistributionTitle(m, indWaitDistr, 1, 1),
              "Время ожидания (Накопитель1, Б)");
    EXPECT_EQ(CAppData::DistributionTitle(m, indIdleDistr, 0, 255), "Время простоя (Канал1)");
    EXPECT_EQ(CAppData::DistributionTitle(m, indInSystemDistr, 255, 255),
              "Число заявок в системе (СМО, Все типы заявок)");
    EXPECT_EQ(CAppData::DependencyCaption(m, {255, 0, indThroughput, {}}),
              "Пропускная способность (А)");
    EXPECT_EQ(CAppData::DependencyCaption(m, {0, 255, indLoad, {}}),
              "Коэффициент загрузки (Канал1, Все типы заявок)");
    EXPECT_EQ(CAppData::FactorCaption(m, {0, 1, kFactorServiceMean}),
              "Мат. ожидание времени обслуживания (Канал1, Б)");
    EXPECT_EQ(CAppData::FactorCaption(m, {0, 1, kFactorDevices}), "Число устройств (Канал1)");
    // Sink and system indicators name the type only.
    EXPECT_EQ(CAppData::DependencyCaption(m, {2, 255, indMeanLifetime, {}}),
              "Среднее время жизни заявки (Все типы заявок)");
    // Indices past the lists stand for the system and all types.
    EXPECT_EQ(CAppData::DistributionTitle(m, indWaitDistr, 200, 7),
              "Время ожидания (СМО, Все типы заявок)");
}

// ---- the report ----

std::string ReadData(const std::string& name) {
    std::ifstream in(std::string(MARVOLT_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void ExpectSameLines(const std::string& actual, const std::string& expected) {
    std::istringstream a(actual), e(expected);
    std::string la, le;
    int line = 1;
    while (std::getline(e, le)) {
        ASSERT_TRUE(std::getline(a, la)) << "report ends before line " << line;
        EXPECT_EQ(la, le) << "line " << line;
        ++line;
    }
    EXPECT_FALSE(std::getline(a, la)) << "report goes on after line " << line - 1;
    EXPECT_EQ(actual, expected);
}

CGenerator* AddGenerator(CQueuingSystem& m, const std::string& name, uint8_t type, float interval,
                         float batch) {
    auto* g = m.AddGenerator(name);
    g->SetGeneratedType(type, true);
    g->typeProbabilities[0] = 1.0f;
    g->intervalLaw = {kLawDeterministic, interval, 0.0f};
    g->batchLaw = {kLawDeterministic, batch, 0.0f};
    return g;
}

// Pairs of requests every 3 time units into a queue before a channel serving each
// in 1: the second of a pair waits 1, the device idles 1 before every pair but the
// first. The run stops in the event at time 6, with one request in service and
// one waiting.
void BuildPairsModel(CQueuingSystem& m, uint8_t type) {
    AddGenerator(m, "Генератор1", type, 3.0f, 2.0f);
    const uint8_t queue = m.nodeCount();
    m.AddQueue("Накопитель1");
    m.AddChannel("Канал1");
    m.AddSink("Сток1");
    m.AddSink("Сток отказов");
    m.SetRefusalSink("Сток отказов");
    m.Link(queue, queue + 1);
    m.Link(queue + 1, queue + 2);
    m.Link(0, queue);
}

TEST(ReportTextTest, WithoutResultsModelTheReportIsEmpty) {
    EXPECT_EQ(AppData.ReportText(nullptr), "");
}

TEST(ReportTextTest, OneTypeModelUsesTheSimpleFormThroughout) {
    RestoreRandomStartState();
    CQueuingSystem m;
    m.AddRequestType("Тип_заявки1");
    BuildPairsModel(m, 0);
    m.arrivalsLimit = 5;
    ASSERT_EQ(m.Experiment(), kOk);
    ASSERT_DOUBLE_EQ(m.modelTime, 6.0);
    const CAppData app;
    ExpectSameLines(app.ReportText(&m), ReadData("report_one_type.txt"));
}

TEST(ReportTextTest, TwoTypesListTypesExceptForAQueueAdmittingOne) {
    // A second generator sends type Б every 2 time units to the queue, which does
    // not admit it: every Б ends in the refusal sink at once.
    RestoreRandomStartState();
    CQueuingSystem m;
    m.AddRequestType("Заявка А");
    m.AddRequestType("Заявка Б");
    AddGenerator(m, "Генератор1", 0, 3.0f, 2.0f);
    AddGenerator(m, "Генератор2", 1, 2.0f, 1.0f);
    CQueue* q = m.AddQueue("Накопитель1");
    q->acceptedTypes[1] = 0;
    m.AddChannel("Канал1");
    m.AddSink("Сток1");
    m.AddSink("Сток отказов");
    m.SetRefusalSink("Сток отказов");
    m.Link(0, 2);
    m.Link(1, 2);
    m.Link(2, 3);
    m.Link(3, 4);
    m.arrivalsLimit = 9;
    ASSERT_EQ(m.Experiment(), kOk);
    ASSERT_DOUBLE_EQ(m.modelTime, 6.0);
    const CAppData app;
    ExpectSameLines(app.ReportText(&m), ReadData("report_two_types.txt"));
}

TEST(ReportTextTest, QueueListsOnlyTheTypesItAdmits) {
    RestoreRandomStartState();
    CQueuingSystem m;
    m.AddRequestType("A");
    m.AddRequestType("B");
    m.AddRequestType("C");
    BuildPairsModel(m, 2);
    static_cast<CQueue*>(m.Node(1))->acceptedTypes[1] = 0;
    m.arrivalsLimit = 5;
    ASSERT_EQ(m.Experiment(), kOk);

    const std::string report = AppData.ReportText(&m);
    const size_t begin = report.find("Накопитель1 (накопитель)\n\n");
    const size_t end = report.find("Канал1 (канал)\n\n");
    ASSERT_NE(begin, std::string::npos);
    ASSERT_NE(end, std::string::npos);
    const std::string block = report.substr(begin, end - begin);
    auto count = [&](const std::string& what) {
        int n = 0;
        for (size_t p = block.find(what); p != std::string::npos; p = block.find(what, p + 1))
            ++n;
        return n;
    };
    const int ids = static_cast<int>(CAppData::ReportQueueSet.size());
    EXPECT_EQ(count(", по типам заявок:\n"), ids);
    EXPECT_EQ(count("\t\tвсе типы заявок:\t"), ids);
    EXPECT_EQ(count("\t\tA:\t0\n"), ids) << "type A arrives nowhere";
    EXPECT_EQ(count("\t\tB:\t"), 0);
    EXPECT_EQ(count("\t\tC:\t"), ids);
    EXPECT_NE(block.find("\tЧисло поступивших заявок, по типам заявок:\n"
                         "\t\tвсе типы заявок:\t6\n\t\tA:\t0\n\t\tC:\t6\n\n"),
              std::string::npos);
}

}  // namespace
}  // namespace marvolt
