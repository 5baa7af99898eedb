// The histogram, its zero-wait adjustment, the chi-square verdict and the
// distribution table.
#include "results/logic/histogram.h"

#include <gtest/gtest.h>

#include <cmath>

#include "results/application_data.h"
#include "tests/kernel/model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

CFDistribution Real(float lower, float upper, uint8_t bins) {
    CFDistribution d;
    d.lowerBound = lower;
    d.upperBound = upper;
    d.binCount = bins;
    d.ResetBins();
    return d;
}

CIDistribution Integer(int32_t lower, int32_t upper, uint8_t bins) {
    CIDistribution d;
    d.lowerBound = lower;
    d.upperBound = upper;
    d.binCount = bins;
    d.ResetBins();
    return d;
}

// A queue whose waiting-time histogram holds 60 values and which saw 40
// requests that did not wait at all.
struct ZeroWaits : ::testing::Test {
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CFDistribution* wait = nullptr;
    const DistrInfo info{QueueLine::kQueueAt, kNoIndex, indWaitDistr};

    void Build(float lower) {
        CQueue& q = *line.queue;
        q.waitDistFlags[0] = 1;
        q.waitDistributions[0] = Real(lower, lower + 8.0f, 8);
        wait = &*q.waitDistributions[0];
        for (int i = 0; i < 60; ++i)
            wait->AddValue(lower + 0.5f + static_cast<float>(i % 8));
        q.zeroWaitCount.assign(line.model->typeCount() + 1u, 40u);
    }
};

TEST_F(ZeroWaits, CountInTheFirstBarOnlyWhenAskedAndTheHistogramStartsAtZero) {
    Build(0.0f);
    const CDistribution& d =
        *line.model->DistributionIndicator(indWaitDistr, info.object, info.type);
    EXPECT_EQ(ZeroWaitCount(*line.model, info, d, false), 0u);
    const uint32_t z = ZeroWaitCount(*line.model, info, d, true);
    ASSERT_EQ(z, 40u);
    EXPECT_EQ(SampleSize(d, indWaitDistr, 0).value, "60");
    EXPECT_EQ(SampleSize(d, indWaitDistr, z).value, "100");
    EXPECT_EQ(SampleSize(d, indWaitDistr, z).label, "Объем выборки");
    const auto plain = HistogramBars(d, indWaitDistr, 0);
    const auto counted = HistogramBars(d, indWaitDistr, z);
    ASSERT_EQ(counted.size(), 8u);
    EXPECT_EQ(counted[0].height, plain[0].height + 40.0f);
    EXPECT_EQ(counted[1].height, plain[1].height);
    EXPECT_FLOAT_EQ(counted[0].position, 0.5f);
    EXPECT_EQ(counted[0].label, "");
    EXPECT_EQ(BarAxisText(counted[0]), "0.5");

    const TextTable t = DistributionTable(d, indWaitDistr, z, std::nullopt);
    ASSERT_EQ(t.size(), 3u) << "no theoretical row without a test";
    EXPECT_EQ(t[1][1], CAppData::FormatValue(plain[0].height + 40.0f));
    EXPECT_EQ(t[2][1], CAppData::FormatValue((plain[0].height + 40.0f) / 100.0f, ','));
    EXPECT_EQ(t[2][2], CAppData::FormatValue(plain[1].height / 100.0f, ','))
        << "every relative frequency is of the total with the zero waits";
}

TEST_F(ZeroWaits, HaveNoEffectWhenTheHistogramStartsAtOne) {
    Build(1.0f);
    const CDistribution& d =
        *line.model->DistributionIndicator(indWaitDistr, info.object, info.type);
    EXPECT_EQ(ZeroWaitCount(*line.model, info, d, true), 0u);
    // Only the waiting time has zero waits.
    const DistrInfo length{QueueLine::kQueueAt, kNoIndex, indQueueLengthDistr};
    EXPECT_EQ(ZeroWaitCount(*line.model, length, d, true), 0u);
}

TEST(ChiSquareVerdict, DegreesOfFreedomAndCriticalValues) {
    EXPECT_EQ(DegreesOfFreedom(8, kLawExponential), 6);
    EXPECT_EQ(DegreesOfFreedom(8, kLawDeterministic), 6);
    EXPECT_EQ(DegreesOfFreedom(8, kLawNormal), 5);
    EXPECT_EQ(DegreesOfFreedom(8, kLawUniform), 5);
    EXPECT_EQ(CriticalValue(6), 12.6f);
    EXPECT_EQ(CriticalValue(5), 11.1f);
    EXPECT_EQ(CriticalValue(1), 3.8f);
    EXPECT_EQ(CriticalValue(30), 43.8f);
    EXPECT_EQ(CriticalValue(DegreesOfFreedom(2, kLawExponential)), std::nullopt);
    EXPECT_EQ(CriticalValue(31), std::nullopt);
    EXPECT_EQ(CriticalValue(-2), std::nullopt);
}

TEST(ChiSquareVerdict, TheCriticalValueItselfIsAccepted) {
    EXPECT_EQ(ChiSquareText(12.6f, 6),
              "Наблюдаемое значение хи-квадрат - 12.6\nКритическое значение хи-квадрат - "
              "12.6\nГипотезу можно принять с уровнем значимости 0,05.");
    EXPECT_NE(ChiSquareText(std::nextafter(12.6f, 13.0f), 6).find("Гипотеза неверна"),
              std::string::npos);
    EXPECT_EQ(ChiSquareText(7.25f, 0), "Наблюдаемое значение хи-квадрат - 7.25")
        << "no critical value, no verdict";
}

TEST(ChiSquareVerdict, AnEmptyHistogramGetsNoVerdictAndNoExpectedBars) {
    const CFDistribution d = Real(0.0f, 8.0f, 8);
    const ChiSquareOutcome out = ChiSquareTest(d, {kLawExponential, 1.0f, 0.0f});
    EXPECT_FALSE(out.tested);
    EXPECT_TRUE(out.expected.empty());
    EXPECT_EQ(out.text.find("Гипотезу можно принять"), std::string::npos);
    EXPECT_NE(out.text.find("не содержит ни одного значения"), std::string::npos);

    CIDistribution weightless = Integer(0, 7, 8);
    weightless.AddWeighted(3, 0.0f);
    EXPECT_FALSE(ChiSquareTest(weightless, {kLawNormal, 3.0f, 1.0f}).tested)
        << "states seen for no time are no sample either";
}

TEST(ChiSquareVerdict, ManyIntervalsReportOnlyTheObservedValue) {
    CFDistribution d = Real(0.0f, 10.0f, 100);
    for (int i = 0; i < 500; ++i)
        d.AddValue(static_cast<float>(i % 100) / 10.0f + 0.05f);
    const ChiSquareOutcome out = ChiSquareTest(d, {kLawUniform, 0.0f, 10.0f});
    ASSERT_TRUE(out.tested);
    EXPECT_EQ(out.expected.size(), 100u);
    EXPECT_EQ(out.text.find('\n'), std::string::npos) << out.text;
}

TEST(ChiSquareVerdict, EightIntervalsAgainstExponentialAndNormalLaws) {
    CFDistribution d = Real(0.0f, 8.0f, 8);
    for (int i = 0; i < 80; ++i)
        d.AddValue(static_cast<float>(i % 8) + 0.5f);
    const ChiSquareOutcome exp = ChiSquareTest(d, {kLawExponential, 0.25f, 0.0f});
    EXPECT_NE(exp.text.find("Критическое значение хи-квадрат - 12.6\n"), std::string::npos);
    const ChiSquareOutcome normal = ChiSquareTest(d, {kLawNormal, 4.0f, 2.3f});
    EXPECT_NE(normal.text.find("Критическое значение хи-квадрат - 11.1\n"), std::string::npos);
    const ChiSquareOutcome two = ChiSquareTest(Real(0.0f, 8.0f, 2), {kLawExponential, 1.0f, 0.0f});
    EXPECT_FALSE(two.tested) << "empty as well";
    CFDistribution d2 = Real(0.0f, 8.0f, 2);
    d2.AddValue(1.0f);
    EXPECT_EQ(ChiSquareTest(d2, {kLawExponential, 1.0f, 0.0f}).text.find("Критическое"),
              std::string::npos);
}

TEST(HistogramBars, IntegerIntervalsOfTwoValuesAreLabelledWithTheirLimits) {
    CIDistribution wide = Integer(0, 7, 4);
    wide.AddWeighted(0, 1.0f);
    wide.AddWeighted(3, 2.0f);
    const auto bars = HistogramBars(wide, indQueueLengthDistr, 0);
    ASSERT_EQ(bars.size(), 4u);
    EXPECT_EQ(bars[0].label, "0…1");
    EXPECT_EQ(bars[1].label, "2…3");
    EXPECT_EQ(bars[3].label, "6…7");
    EXPECT_EQ(bars[1].height, 2.0f);
    EXPECT_EQ(BarAxisText(bars[1]), "2…3");
    const TextTable t = DistributionTable(wide, indQueueLengthDistr, 0, std::nullopt);
    EXPECT_EQ(t[0][0], "Интервал");
    EXPECT_EQ(t[0][2], "2…3");
    EXPECT_EQ(SampleSize(wide, indQueueLengthDistr, 0).label, "Общая сумма");
    EXPECT_EQ(SampleSize(wide, indQueueLengthDistr, 0).value, "3");

    CIDistribution narrow = Integer(0, 7, 8);
    narrow.AddWeighted(5, 1.0f);
    const auto single = HistogramBars(narrow, indInSystemDistr, 0);
    EXPECT_EQ(single[5].label, "");
    EXPECT_EQ(single[5].position, 5.0f);
    EXPECT_EQ(BarAxisText(single[5]), "5");
    EXPECT_EQ(DistributionTable(narrow, indInSystemDistr, 0, std::nullopt)[0][0], "Значение");
    EXPECT_EQ(DistributionTable(Real(0, 8, 8), indServiceDistr, 0, std::nullopt)[0][0],
              "Середина интервала");
}

TEST(DistributionTable, UsesDecimalCommasAndTheTestedLaw) {
    CFDistribution d = Real(0.0f, 1.0f, 4);
    for (float x : {0.1f, 0.3f, 0.3f, 0.6f, 0.6f, 0.6f, 0.9f, 0.9f})
        d.AddValue(x);
    const LawRecord law{kLawUniform, 0.0f, 1.0f};
    const TextTable t = DistributionTable(d, indServiceDistr, 0, law);
    ASSERT_EQ(t.size(), 4u);
    ASSERT_EQ(t[0].size(), 5u);
    EXPECT_EQ(t[0][1], "0,125");
    EXPECT_EQ(t[2][1], "0,125") << "one of eight";
    EXPECT_EQ(t[1][3], "3");
    EXPECT_EQ(t[3][0], "Теоретическая частота");
    EXPECT_EQ(t[3][1], "2");
    EXPECT_EQ(CAppData::FormatValue(0.125f), "0.125") << "the rest of the program keeps the point";
    const TextTable other = DistributionTable(d, indServiceDistr, 0, LawRecord{kLawUniform, 0, 2});
    EXPECT_EQ(other[3][1], "1");
}

TEST(DistributionList, SortedTitlesAndTheSameEntryAfterARebuild) {
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(2.0f));
    CQueuingSystem& m = *line.model;
    EXPECT_TRUE(DistributionEntries(nullptr).empty());
    EXPECT_TRUE(DistributionEntries(&m).empty());
    m.countDistFlag = 1;
    line.channel->serviceDistFlag = 1;
    line.channel->idleDistFlag = 1;
    const auto entries = DistributionEntries(&m);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].title, "Время обслуживания (Канал1)");
    EXPECT_EQ(entries[1].title, "Время простоя (Канал1)");
    EXPECT_EQ(entries[2].title, "Число заявок в системе (СМО)");
    EXPECT_EQ(entries[2].info, (DistrInfo{kNoIndex, kNoIndex, indInSystemDistr}));
    EXPECT_EQ(ReselectEntry(entries, std::string("Время простоя (Канал1)")), 1);
    EXPECT_EQ(ReselectEntry(entries, std::string("gone")), 0);
    EXPECT_EQ(ReselectEntry({}, std::nullopt), -1);
}

// The chi-square statistic of a histogram against an exponential law, and
// the 0.95 quantile of chi-square by the Wilson-Hilferty approximation
// (within 0.1 of the table from 5 degrees of freedom on).
double IndependentStatistic(const CFDistribution& d, double rate) {
    double chi = 0.0;
    for (int i = 0; i < d.binCount; ++i) {
        const double a = d.lowerBound + i * static_cast<double>(d.binWidth);
        const double b = a + d.binWidth;
        const double e = d.sampleCount * (std::exp(-rate * a) - std::exp(-rate * b));
        chi += (d.binCounts[i] - e) * (d.binCounts[i] - e) / e;
    }
    return chi;
}

double Quantile95(int df) {
    const double z = 1.644854;
    const double k = df;
    return k * std::pow(1.0 - 2.0 / (9.0 * k) + z * std::sqrt(2.0 / (9.0 * k)), 3.0);
}

TEST(ChiSquareVerdict, AgreesWithAnIndependentComputationOnMM1ServiceTimes) {
    RestoreRandomStartState();
    QueueLine line = MakeQueueLine(Exponential(1.0f), Exponential(1.25f));
    line.model->arrivalsLimit = 3000;
    line.channel->serviceDistFlag = 1;
    line.channel->serviceDistribution.lowerBound = 0.0f;
    line.channel->serviceDistribution.upperBound = 4.0f;
    line.channel->serviceDistribution.binCount = 16;
    line.model->Experiment();
    const CFDistribution& d = line.channel->serviceDistribution;
    ASSERT_GT(d.sampleCount, 2500u);

    const LawRecord fitted = LawFromSample(d, kLawExponential);
    EXPECT_NEAR(fitted.param1, 1.25f, 0.08f) << "the grouped mean is slightly above 0.8";
    const ChiSquareOutcome out = ChiSquareTest(d, fitted);
    ASSERT_TRUE(out.tested);
    const int df = DegreesOfFreedom(16, kLawExponential);
    const double independent = IndependentStatistic(d, fitted.param1);
    EXPECT_NEAR(d.ChiSquare(fitted, nullptr), independent, 1e-3 * independent + 1e-3);
    EXPECT_NEAR(*CriticalValue(df), Quantile95(df), 0.1);
    ASSERT_LT(independent, Quantile95(df));
    EXPECT_NE(out.text.find("Гипотезу можно принять"), std::string::npos) << out.text;
    double sum = 0.0;
    for (float e : out.expected)
        sum += e;
    EXPECT_NEAR(sum, d.sampleCount * (1.0 - std::exp(-4.0 * fitted.param1)), 0.5);

    const ChiSquareOutcome uniform = ChiSquareTest(d, LawFromSample(d, kLawUniform));
    EXPECT_NE(uniform.text.find("Гипотеза неверна"), std::string::npos) << uniform.text;
}

TEST(BarLabels, TextsWiderThanTheirBarsTurnAndTheAxisLeavesThemRoom) {
    // Eight bars in a 400 px plot leave 50 px a bar.
    const BarLabelLayout small = LayOutBarLabels(500.0, 8, 20.0, 14.0, 400.0, 300.0);
    EXPECT_TRUE(small.upright);
    EXPECT_DOUBLE_EQ(small.axisTop, 500.0 * 1.15) << "a line of text needs no more than before";
    // Time-weighted sums of a long run: "1.18164e+07" is about 70 px wide.
    const BarLabelLayout wide = LayOutBarLabels(1.18e7, 8, 70.0, 14.0, 400.0, 300.0);
    EXPECT_FALSE(wide.upright);
    // The tallest bar's text, turned, ends below the top of the axis.
    const double barTop = 300.0 * 1.18e7 / wide.axisTop;
    EXPECT_LE(barTop + 70.0, 300.0);
    EXPECT_FALSE(LayOutBarLabels(500.0, 9, 20.0, 14.0, 400.0, 300.0).upright)
        << "more than eight bars keep their texts on their side";
    // A plot too low for the text still keeps the bars visible.
    EXPECT_LE(LayOutBarLabels(100.0, 8, 70.0, 14.0, 400.0, 60.0).axisTop, 100.0 / 0.4 + 1e-9);
    EXPECT_DOUBLE_EQ(LayOutBarLabels(0.0, 0, 0.0, 14.0, 0.0, 0.0).axisTop, 1.0) << "no bars";
}

}  // namespace
}  // namespace marvolt
