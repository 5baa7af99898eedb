// What the distributions tab decides: the list of collected sample
// distributions, the bars of a histogram, the zero-wait adjustment, the
// chi-square test with its verdict, and the distribution table.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"
#include "results/logic/indicator_panel.h"
#include "results/logic/table_export.h"

namespace marvolt {

// Which sample distribution a list entry stands for; the indicator is one
// of the distribution ids.
using DistrInfo = IndicatorKey;

struct DistrEntry {
    std::string title;
    DistrInfo info;
};

// Every distribution the results model collected, sorted by title; empty
// without results.
std::vector<DistrEntry> DistributionEntries(const CQueuingSystem* results);
// The entry to select after a rebuild: the one with the remembered title,
// else the first; -1 for an empty list.
int ReselectEntry(const std::vector<DistrEntry>& entries,
                  const std::optional<std::string>& rememberedTitle);

// Critical values of chi-square at the 0.05 level for 1 to 30 degrees of freedom.
inline constexpr std::array<float, 30> ChiSquareCritical{
    3.8f,  6.0f,  7.8f,  9.5f,  11.1f, 12.6f, 14.1f, 15.5f, 16.9f, 18.3f,
    19.7f, 21.0f, 22.4f, 23.7f, 25.0f, 26.3f, 27.6f, 28.9f, 30.1f, 31.4f,
    32.7f, 33.9f, 35.2f, 36.4f, 37.7f, 38.9f, 40.1f, 41.3f, 42.6f, 43.8f};

// None outside the table: fewer than one or more than 30 degrees of freedom.
std::optional<float> CriticalValue(int degreesOfFreedom);
// Intervals less two, less one more for the laws of two estimated parameters.
int DegreesOfFreedom(int intervals, uint8_t lawKind);

// The result text for a statistic: the observed value, then the critical
// value and the verdict where the table has one. Only a value above the
// critical one rejects the law.
std::string ChiSquareText(float statistic, int degreesOfFreedom);

struct ChiSquareOutcome {
    // The text of the result box.
    std::string text;
    // False when there was nothing to test: no verdict and no expected bars.
    bool tested = false;
    std::vector<float> expected;  // per interval, when tested
};

// The test of a histogram against a law. The statistic and the expected
// frequencies come from the distribution itself.
ChiSquareOutcome ChiSquareTest(const CDistribution& d, const LawRecord& law);

// Queue lengths and numbers of requests: integer states weighted by time.
bool IsIntegerQuantity(uint8_t indicator);
// Integer intervals of two or more values are drawn and tabulated as "l…r".
bool IntervalForm(const CDistribution& d, uint8_t indicator);

// The requests that waited 0, added to the first interval of a waiting-time
// histogram that starts at 0 when the user asks for them; 0 otherwise.
uint32_t ZeroWaitCount(const CQueuingSystem& results, const DistrInfo& info, const CDistribution& d,
                       bool counted);

struct HistogramBar {
    float position = 0.0f;  // the middle of a real interval, the value of an integer one
    float height = 0.0f;
    std::string label;  // "l…r" in the interval form, else empty
};

std::vector<HistogramBar> HistogramBars(const CDistribution& d, uint8_t indicator,
                                        uint32_t zeroWait);

// Where the heights written above the bars go. Upright while each text fits
// above its own bar and there are few bars, else turned on its side; the
// value axis reaches high enough that the tallest bar's text stays inside
// the plot. Sizes in pixels; a plot not yet laid out counts as 0.
struct BarLabelLayout {
    bool upright = true;
    double axisTop = 1.0;
};
BarLabelLayout LayOutBarLabels(double tallest, size_t bars, double widestLabel, double labelHeight,
                               double plotWidth, double plotHeight);

// What the axis shows under a bar: its label, else its position.
std::string BarAxisText(const HistogramBar& bar);
// Bars of the expected frequencies at the same positions.
std::vector<HistogramBar> ExpectedBars(const CDistribution& d, uint8_t indicator,
                                       const std::vector<float>& expected);

struct SampleSizeText {
    std::string label;
    std::string value;
};
// "Объем выборки" and the number of values, or "Общая сумма" and the total weight.
SampleSizeText SampleSize(const CDistribution& d, uint8_t indicator, uint32_t zeroWait);

// The distribution table, written with "," as decimal separator. The row of
// theoretical frequencies is there only for a tested law.
TextTable DistributionTable(const CDistribution& d, uint8_t indicator, uint32_t zeroWait,
                            const std::optional<LawRecord>& tested);

}  // namespace marvolt
