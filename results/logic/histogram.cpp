#include "results/logic/histogram.h"

#include <algorithm>

#include "results/application_data.h"

namespace marvolt {

namespace {

constexpr char kTableSeparator = ',';

// Below this a total counts as none.
constexpr float kNoTotal = 0.00001f;

int Intervals(const CDistribution& d) {
    return d.binCount;
}

float Frequency(const CDistribution& d, int i) {
    float value = 0.0f, centre = 0.0f;
    d.BinAtCenter(i, value, centre);
    return value;
}

float Position(const CDistribution& d, int i) {
    float value = 0.0f, centre = 0.0f;
    d.BinAtCenter(i, value, centre);
    return centre;
}

std::string IntervalLabel(const CDistribution& d, int i) {
    float value = 0.0f, left = 0.0f, right = 0.0f;
    d.BinWithBounds(i, value, left, right);
    return std::to_string(static_cast<int64_t>(left)) + "…" +
           std::to_string(static_cast<int64_t>(right));
}

bool IntegerWidthBelowTwo(const CDistribution& d) {
    const auto* integer = dynamic_cast<const CIDistribution*>(&d);
    return integer && integer->binWidth < 2;
}

}  // namespace

std::vector<DistrEntry> DistributionEntries(const CQueuingSystem* results) {
    std::vector<DistrEntry> entries;
    if (!results)
        return entries;
    const CQueuingSystem& m = *results;
    // Node order with the system last, type order with all types last.
    for (int object = 0; object <= m.nodeCount(); ++object) {
        const auto o = static_cast<uint8_t>(object < m.nodeCount() ? object : kNoIndex);
        for (int type = 0; type <= m.typeCount(); ++type) {
            const auto t = static_cast<uint8_t>(type < m.typeCount() ? type : kNoIndex);
            for (uint8_t id : CAppData::DistributionSet) {
                if (m.DistributionIndicator(id, o, t))
                    entries.push_back({CAppData::DistributionTitle(m, id, o, t), {o, t, id}});
            }
        }
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const DistrEntry& a, const DistrEntry& b) { return a.title < b.title; });
    return entries;
}

int ReselectEntry(const std::vector<DistrEntry>& entries,
                  const std::optional<std::string>& rememberedTitle) {
    if (entries.empty())
        return -1;
    if (rememberedTitle) {
        for (size_t i = 0; i < entries.size(); ++i) {
            if (entries[i].title == *rememberedTitle)
                return static_cast<int>(i);
        }
    }
    return 0;
}

std::optional<float> CriticalValue(int degreesOfFreedom) {
    if (degreesOfFreedom < 1 || degreesOfFreedom > static_cast<int>(ChiSquareCritical.size()))
        return std::nullopt;
    return ChiSquareCritical[static_cast<size_t>(degreesOfFreedom - 1)];
}

int DegreesOfFreedom(int intervals, uint8_t lawKind) {
    const int twoParameters = lawKind == kLawUniform || lawKind == kLawNormal ? 1 : 0;
    return intervals - 2 - twoParameters;
}

std::string ChiSquareText(float statistic, int degreesOfFreedom) {
    std::string text = "Наблюдаемое значение хи-квадрат - " + CAppData::FormatValue(statistic);
    if (const std::optional<float> critical = CriticalValue(degreesOfFreedom)) {
        text += "\nКритическое значение хи-квадрат - " + CAppData::FormatValue(*critical);
        text += statistic > *critical ? "\nГипотеза неверна с уровнем значимости 0,05."
                                      : "\nГипотезу можно принять с уровнем значимости 0,05.";
    }
    return text;
}

ChiSquareOutcome ChiSquareTest(const CDistribution& d, const LawRecord& law) {
    ChiSquareOutcome out;
    // Without one observation the statistic would be 0 and look like a perfect fit.
    if (!d.HasBins() || d.sampleCount == 0 || !(d.TotalWeight() >= kNoTotal)) {
        out.text =
            "Гистограмма не содержит ни одного значения.\nПроверить гипотезу невозможно: "
            "проведите эксперимент, в котором распределение получит значения.";
        return out;
    }
    const float statistic = d.ChiSquare(law, &out.expected);
    out.tested = true;
    out.text = ChiSquareText(statistic, DegreesOfFreedom(Intervals(d), law.lawKind));
    return out;
}

bool IsIntegerQuantity(uint8_t indicator) {
    return indicator == indQueueLengthDistr || indicator == indInSystemDistr;
}

bool IntervalForm(const CDistribution& d, uint8_t indicator) {
    const auto* integer = dynamic_cast<const CIDistribution*>(&d);
    return IsIntegerQuantity(indicator) && integer && integer->binWidth >= 2;
}

uint32_t ZeroWaitCount(const CQueuingSystem& results, const DistrInfo& info, const CDistribution& d,
                       bool counted) {
    if (info.id != indWaitDistr || !counted || !(d.Lower() < 1e-8f))
        return 0;
    return results.CountIndicator(indZeroWaitCount, info.object, info.type);
}

std::vector<HistogramBar> HistogramBars(const CDistribution& d, uint8_t indicator,
                                        uint32_t zeroWait) {
    std::vector<HistogramBar> bars;
    const bool intervals = IntervalForm(d, indicator);
    for (int i = 0; i < Intervals(d); ++i) {
        HistogramBar bar{Position(d, i), Frequency(d, i), {}};
        if (intervals) {
            bar.label = IntervalLabel(d, i);
        } else if (i == 0) {
            bar.height += static_cast<float>(zeroWait);
        }
        bars.push_back(bar);
    }
    return bars;
}

std::string BarAxisText(const HistogramBar& bar) {
    return bar.label.empty() ? CAppData::FormatValue(bar.position) : bar.label;
}

std::vector<HistogramBar> ExpectedBars(const CDistribution& d, uint8_t indicator,
                                       const std::vector<float>& expected) {
    std::vector<HistogramBar> bars = HistogramBars(d, indicator, 0);
    for (size_t i = 0; i < bars.size(); ++i)
        bars[i].height = i < expected.size() ? expected[i] : 0.0f;
    return bars;
}

SampleSizeText SampleSize(const CDistribution& d, uint8_t indicator, uint32_t zeroWait) {
    if (IsIntegerQuantity(indicator))
        return {"Общая сумма", CAppData::FormatValue(d.TotalWeight())};
    return {"Объем выборки", std::to_string(static_cast<uint64_t>(d.sampleCount) + zeroWait)};
}

TextTable DistributionTable(const CDistribution& d, uint8_t indicator, uint32_t zeroWait,
                            const std::optional<LawRecord>& tested) {
    auto format = [](float v) { return CAppData::FormatValue(v, kTableSeparator); };
    const int n = Intervals(d);
    TextTable table(tested ? 4 : 3);
    if (!IsIntegerQuantity(indicator))
        table[0].push_back("Середина интервала");
    else
        table[0].push_back(IntegerWidthBelowTwo(d) ? "Значение" : "Интервал");
    table[1].push_back("Абсолютная частота");
    table[2].push_back("Относительная частота");
    std::vector<float> expected;
    if (tested) {
        table[3].push_back("Теоретическая частота");
        d.ChiSquare(*tested, &expected);
    }
    const std::vector<HistogramBar> bars = HistogramBars(d, indicator, zeroWait);
    const float total = d.TotalWeight() + static_cast<float>(zeroWait);
    for (int i = 0; i < n; ++i) {
        const HistogramBar& bar = bars[static_cast<size_t>(i)];
        table[0].push_back(bar.label.empty() ? format(bar.position) : bar.label);
        table[1].push_back(format(bar.height));
        table[2].push_back(total >= kNoTotal ? format(bar.height / total) : "0");
        if (tested) {
            const size_t k = static_cast<size_t>(i);
            table[3].push_back(format(k < expected.size() ? expected[k] : 0.0f));
        }
    }
    return table;
}

BarLabelLayout LayOutBarLabels(double tallest, size_t bars, double widestLabel, double labelHeight,
                               double plotWidth, double plotHeight) {
    BarLabelLayout out;
    const double slot = bars > 0 ? plotWidth / static_cast<double>(bars) : 0.0;
    out.upright = bars <= 8 && (plotWidth <= 0.0 || widestLabel + 4.0 <= slot);
    if (tallest <= 0.0)
        return out;
    // The share of the plot's height the text above the tallest bar needs;
    // at most a little over half, so the bars stay worth looking at.
    const double room = out.upright ? labelHeight + 4.0 : widestLabel + 8.0;
    const double share = plotHeight > 0.0 ? std::min(room / plotHeight, 0.6) : 0.0;
    out.axisTop = std::max(tallest * 1.15, tallest / (1.0 - share));
    return out;
}

}  // namespace marvolt
