#include "kernel/random_stat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace marvolt {

namespace random_detail {
uint32_t g_state = 1u;
}  // namespace random_detail

namespace {

using random_detail::g_state;
using random_detail::kMultiplier;
constexpr uint32_t kStartState = 1u;

bool g_seeded = false;

// 1/32767 as a double: the exponential draw uses it when 1 - u is exactly 0.
constexpr double kSmallestUniform = 1.0 / 32767.0;

// The 7-point Gauss-Legendre rule with the nodes and weights as stored.
constexpr double kGaussNodes[7] = {-0.949107912, -0.741531186, -0.405845151, 0.0,
                                   0.405845151,  0.741531186,  0.949107912};
constexpr double kGaussWeights[7] = {0.129484966, 0.279705391, 0.381830051, 0.417959184,
                                     0.381830051, 0.279705391, 0.129484966};

double Uniform() {
    return NextRandom() / 32767.0;
}

}  // namespace

random_detail::NegativeLogTable::NegativeLogTable() {
    for (int r = 0; r < 32768; ++r) {
        const float v = static_cast<float>(1.0 - r / 32767.0);
        value[r] = -std::log(v > 0.0f ? static_cast<double>(v) : kSmallestUniform);
    }
}
const random_detail::NegativeLogTable random_detail::g_negativeLog;

const float kInvSqrt2Pi = static_cast<float>(1.0 / std::sqrt(2.0 * 3.14159265358979323846));
const float kSqrt3 = static_cast<float>(std::sqrt(3.0));

void SeedRandomAtStartup() {
    if (g_seeded)
        return;
    g_seeded = true;
    g_state = kStartState;
    NextRandom();
}

void RestoreRandomStartState() {
    g_seeded = true;
    g_state = kStartState;
    NextRandom();
}

uint32_t RandomState() {
    return g_state;
}
void SetRandomState(uint32_t state) {
    g_state = state;
}

uint32_t StartupRandomState() {
    return kStartState * kMultiplier + 1u;
}

uint32_t AdvanceRandomState(uint32_t state, uint64_t draws) {
    // k draws are one affine map s -> A*s + C; squaring the one-draw map
    // gives the maps of 2, 4, 8... draws, and the set bits of k pick them.
    uint32_t accMult = 1u, accPlus = 0u;
    uint32_t mult = kMultiplier, plus = 1u;
    for (uint64_t k = draws % kRandomStateCycle; k != 0; k >>= 1) {
        if (k & 1u) {
            accMult *= mult;
            accPlus = accPlus * mult + plus;
        }
        plus *= mult + 1u;
        mult *= mult;
    }
    return accMult * state + accPlus;
}

uint32_t RandomDrawsBetween(uint32_t from, uint32_t to) {
    // The low n bits of the state have a cycle of 2^n on their own, so the
    // distance is found one bit at a time, lowest first: whenever bit n still
    // differs, 2^n more draws (one step of the 2^n-draw map) make it agree
    // and leave the lower bits as they are.
    uint32_t draws = 0u;
    uint32_t mult = kMultiplier, plus = 1u;
    for (uint32_t bit = 1u; from != to; bit <<= 1) {
        if ((from & bit) != (to & bit)) {
            from = from * mult + plus;
            draws |= bit;
        }
        plus *= mult + 1u;
        mult *= mult;
    }
    return draws;
}

float SampleOtherLaw(const LawRecord& law) {
    switch (law.lawKind) {
        case kLawDeterministic:
            return law.param1;
        case kLawUniform: {
            const double u = Uniform();
            return static_cast<float>(law.param1 +
                                      u * (static_cast<double>(law.param2) - law.param1));
        }
        case kLawExponential:
            return static_cast<float>(random_detail::g_negativeLog.value[NextRandom()] / law.param1);
        case kLawNormal: {
            float sum = 0.0f;
            for (int i = 0; i < 12; ++i)
                sum = static_cast<float>(sum + Uniform());
            const float x =
                static_cast<float>((static_cast<double>(sum) - 6.0) * law.param2 + law.param1);
            return x >= 0.0f ? x : 0.0f;
        }
        default:
            return 0.0f;
    }
}

double IntervalProbability(const LawRecord& law, float lo, float hi) {
    switch (law.lawKind) {
        case kLawDeterministic:
            return (lo <= law.param1 && law.param1 < hi) ? 1.0 : 0.0;
        case kLawUniform: {
            const double a = law.param1, b = law.param2;
            const float overlap =
                static_cast<float>((b - a) - std::max(lo - a, 0.0) - std::max(b - hi, 0.0));
            if (overlap < 0.0f)
                return 0.0;
            return overlap / (b - a);
        }
        case kLawExponential: {
            const double lambda = law.param1;
            return std::exp(-lambda * lo) - std::exp(-lambda * hi);
        }
        case kLawNormal: {
            const double h = (static_cast<double>(hi) - lo) / 2.0;
            const double m = (static_cast<double>(hi) + lo) / 2.0;
            const double a = law.param1, sigma = law.param2;
            double s = 0.0;
            for (int i = 0; i < 7; ++i) {
                const double z = (h * kGaussNodes[i] + m - a) / sigma;
                s += kGaussWeights[i] * std::exp(-z * z / 2.0);
            }
            return h * s * kInvSqrt2Pi / sigma;
        }
        default:
            return 0.0;
    }
}

int NearestInteger(float x) {
    const double r = static_cast<double>(x) + 0.5;
    // Out-of-range values saturate instead of overflowing the conversion.
    if (!(r > -2147483648.0))
        return std::isnan(r) ? 0 : std::numeric_limits<int>::min();
    if (!(r < 2147483647.0))
        return std::numeric_limits<int>::max();
    return static_cast<int>(r);
}

LawRecord LawFromSample(const CDistribution& d, uint8_t kind) {
    LawRecord law;
    law.lawKind = kind;
    switch (kind) {
        case kLawDeterministic:
            law.param1 = d.Mean();
            break;
        case kLawUniform:
            law.param1 = d.Lower();
            law.param2 = d.Upper();
            break;
        case kLawExponential: {
            const float m = d.Mean();
            law.param1 = m >= 0.00001f ? 1.0f / m : 0.0f;
            break;
        }
        case kLawNormal:
            law.param1 = d.Mean();
            law.param2 = std::sqrt(d.Variance());
            break;
        default:
            break;
    }
    return law;
}

// ---- real-valued distribution ----

bool CFDistribution::ResetBins() {
    sampleCount = 0;
    // Reversed or empty bounds, or no intervals, would divide by zero later.
    if (binCount == 0 || !(upperBound > lowerBound)) {
        binsValid_ = false;
        binCounts.clear();
        binWidth = 0.0f;
        return false;
    }
    binWidth = (upperBound - lowerBound) / binCount;
    binCounts.assign(binCount, 0u);
    binsValid_ = true;
    return true;
}

void CFDistribution::SetBins(std::vector<uint32_t> counts) {
    binCounts = std::move(counts);
    binsValid_ = binCounts.size() == binCount && binCount > 0;
}

void CFDistribution::AddValue(float x) {
    if (!binsValid_ || binWidth <= 0.0f)
        return;
    const double q = (static_cast<double>(x) - lowerBound) / binWidth;
    // Truncation toward zero: anything above -1 that is below binCount has a bin.
    if (!(q > -1.0 && q < binCount))
        return;
    const int k = static_cast<int>(q);
    ++binCounts[k];
    ++sampleCount;
}

void CFDistribution::BinAtCenter(int i, float& value, float& center) const {
    if (i < 0 || i >= binCount)
        return;
    value = i < static_cast<int>(binCounts.size()) ? static_cast<float>(binCounts[i]) : 0.0f;
    center = static_cast<float>((i + 0.5) * binWidth + lowerBound);
}

void CFDistribution::BinWithBounds(int i, float& value, float& left, float& right) const {
    if (i < 0 || i >= binCount)
        return;
    value = i < static_cast<int>(binCounts.size()) ? static_cast<float>(binCounts[i]) : 0.0f;
    left = static_cast<float>(static_cast<double>(i) * binWidth + lowerBound);
    right = static_cast<float>(static_cast<double>(i + 1) * binWidth + lowerBound);
}

float CFDistribution::TotalWeight() const {
    return static_cast<float>(sampleCount);
}

float CFDistribution::Mean() const {
    if (sampleCount == 0 || binCounts.size() < binCount)
        return 0.0f;
    float sum = 0.0f;
    for (int i = 0; i < binCount; ++i) {
        const float c = static_cast<float>((i + 0.5) * binWidth + lowerBound);
        sum = static_cast<float>(sum + static_cast<double>(c) * binCounts[i]);
    }
    return static_cast<float>(static_cast<double>(sum) / sampleCount);
}

float CFDistribution::Variance() const {
    if (sampleCount == 0 || binCounts.size() < binCount)
        return 0.0f;
    const double mean = Mean();
    float sum = 0.0f;
    for (int i = 0; i < binCount; ++i) {
        const float c = static_cast<float>((i + 0.5) * binWidth + lowerBound);
        sum = static_cast<float>(sum + binCounts[i] * (mean - c) * (mean - c));
    }
    return static_cast<float>(static_cast<double>(sum) / sampleCount);
}

float CFDistribution::ChiSquare(const LawRecord& law, std::vector<float>* expected) const {
    if (binCounts.size() < binCount || binCounts.empty() || sampleCount == 0 || binCount == 0)
        return 0.0f;
    const double n = sampleCount;
    if (expected)
        expected->assign(binCount, 0.0f);
    float chi = 0.0f;
    for (int i = 0; i < binCount; ++i) {
        const float lo = static_cast<float>(static_cast<double>(i) * binWidth + lowerBound);
        const float hi = static_cast<float>(static_cast<double>(i + 1) * binWidth + lowerBound);
        const float e = static_cast<float>(IntervalProbability(law, lo, hi) * n);
        if (expected)
            (*expected)[i] = e;
        const double diff = static_cast<double>(binCounts[i]) - e;
        chi = static_cast<float>(chi + diff * diff / std::max(static_cast<double>(e), 0.00001));
    }
    return chi;
}

// ---- integer-valued distribution ----

bool CIDistribution::ResetBins() {
    sampleCount = 0;
    const int64_t range = static_cast<int64_t>(upperBound) - lowerBound + 1;
    if (binCount == 0 || range < 1) {
        binsValid_ = false;
        binWeights.clear();
        binWidth = 0;
        return false;
    }
    // No bin narrower than one value.
    if (range < binCount)
        binCount = static_cast<uint8_t>(range);
    binWidth = static_cast<int32_t>(range / binCount);
    binWeights.assign(binCount, 0.0f);
    binsValid_ = true;
    return true;
}

void CIDistribution::SetBins(std::vector<float> weights) {
    binWeights = std::move(weights);
    binsValid_ = binWeights.size() == binCount && binCount > 0;
}

void CIDistribution::AddWeighted(int32_t value, float weight) {
    if (!binsValid_ || binWidth <= 0)
        return;
    const int64_t k = (static_cast<int64_t>(value) - lowerBound) / binWidth;
    if (k < 0 || k >= binCount)
        return;
    binWeights[static_cast<size_t>(k)] += weight;
    ++sampleCount;
}

void CIDistribution::BinAtCenter(int i, float& value, float& center) const {
    if (i < 0 || i >= binCount)
        return;
    value = i < static_cast<int>(binWeights.size()) ? binWeights[i] : 0.0f;
    center = static_cast<float>((i + 0.5) * binWidth + lowerBound - 0.5);
}

void CIDistribution::BinWithBounds(int i, float& value, float& left, float& right) const {
    if (i < 0 || i >= binCount)
        return;
    value = i < static_cast<int>(binWeights.size()) ? binWeights[i] : 0.0f;
    left = static_cast<float>(static_cast<int64_t>(i) * binWidth + lowerBound);
    right = static_cast<float>(static_cast<int64_t>(i + 1) * binWidth + lowerBound - 1);
}

float CIDistribution::TotalWeight() const {
    float sum = 0.0f;
    for (float w : binWeights)
        sum += w;
    return sum;
}

float CIDistribution::Mean() const {
    if (binWeights.size() < binCount)
        return 0.0f;
    float w = TotalWeight();
    if (w < 0.00001f)
        w = 0.00001f;
    double sum = 0.0;
    for (int i = 0; i < binCount; ++i)
        sum += binWeights[i] * ((i + 0.5) * binWidth + lowerBound - 0.5);
    return static_cast<float>(sum / w);
}

float CIDistribution::Variance() const {
    if (binWeights.size() < binCount)
        return 0.0f;
    float w = TotalWeight();
    if (w < 0.00001f)
        w = 0.00001f;
    const double mean = Mean();
    double sum = 0.0;
    for (int i = 0; i < binCount; ++i) {
        const double c = (i + 0.5) * binWidth + lowerBound - 0.5;
        sum += binWeights[i] * (mean - c) * (mean - c);
    }
    return static_cast<float>(sum / w);
}

float CIDistribution::ChiSquare(const LawRecord& law, std::vector<float>* expected) const {
    if (binWeights.size() < binCount || binWeights.empty() || sampleCount == 0 || binCount == 0)
        return 0.0f;
    const double n = sampleCount;
    const double total = TotalWeight();
    const double k = total < 0.00001 ? n / 0.00001 : n / total;
    const double range = static_cast<double>(upperBound) - lowerBound + 1;
    if (expected)
        expected->assign(binCount, 0.0f);
    float chi = 0.0f;
    for (int i = 0; i < binCount; ++i) {
        const double l = static_cast<double>(i) * binWidth + lowerBound;
        const double r = static_cast<double>(i + 1) * binWidth + lowerBound - 1;
        double e;
        switch (law.lawKind) {
            case kLawExponential:
                e = IntervalProbability(law, static_cast<float>(l), static_cast<float>(r + 1)) * n;
                break;
            case kLawUniform:
                e = n * (r - l + 1) / range;
                break;
            default:
                e = IntervalProbability(law, static_cast<float>(l - 0.5),
                                        static_cast<float>(r + 0.5)) *
                    n;
                break;
        }
        if (expected)
            (*expected)[i] = static_cast<float>(e / k);
        const double diff = k * binWeights[i] - e;
        chi = static_cast<float>(chi + diff * diff / std::max(e, 0.00001));
    }
    return chi;
}

}  // namespace marvolt
