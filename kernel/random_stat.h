// Laws, the one pseudo-random source and sample distributions.
#pragma once

#include <cstdint>
#include <vector>

#include "kernel/sim_time.h"

namespace marvolt {

enum LawKind : uint8_t {
    kLawDeterministic = 0,
    kLawUniform = 1,
    kLawExponential = 2,
    kLawNormal = 3,
};

// A random quantity of the model: a kind and two parameters.
struct LawRecord {
    uint8_t lawKind = kLawDeterministic;
    float param1 = 1.0f;
    float param2 = 0.0f;

    bool operator==(const LawRecord&) const = default;
};

namespace random_detail {
constexpr uint32_t kMultiplier = 22695477u;
extern uint32_t g_state;
// A law only ever sees 32768 random values, so -ln(1 - u) is tabled once;
// the division by the intensity stays per draw, which keeps every value
// bit-identical to computing the logarithm each time.
struct NegativeLogTable {
    double value[32768];
    NegativeLogTable();
};
extern const NegativeLogTable g_negativeLog;
}  // namespace random_detail

// The process-wide random source. Seeded once at program start; every random
// choice of the program draws from it, so runs continue one sequence.
// Inline, as the laws that draw from it: every request draws.
inline int NextRandom() {
    random_detail::g_state = random_detail::g_state * random_detail::kMultiplier + 1u;
    return static_cast<int>((random_detail::g_state >> 16) & 32767u);
}
void SeedRandomAtStartup();      // state 1, one value discarded; later calls do nothing
void RestoreRandomStartState();  // tests: back to the state right after start-up seeding
uint32_t RandomState();
void SetRandomState(uint32_t state);

// The source runs through all 2^32 states before it repeats, but its values
// repeat after 2^31 draws: the top bit of the state never reaches a value, and
// states 2^31 draws apart differ in that bit alone. Positions along the cycle
// are counted in draws, so that independent runs can be given stretches of it
// that never meet.
constexpr uint64_t kRandomStateCycle = uint64_t{1} << 32;
constexpr uint64_t kRandomValueCycle = uint64_t{1} << 31;
uint32_t StartupRandomState();  // where start-up seeding leaves the source
// The state that many draws after the given one, in O(log draws).
uint32_t AdvanceRandomState(uint32_t state, uint64_t draws);
// The number of draws, modulo 2^32, that lead from one state to the other.
uint32_t RandomDrawsBetween(uint32_t from, uint32_t to);

// The laws a run meets most often inline, the others out of line.
float SampleOtherLaw(const LawRecord& law);
inline float SampleLaw(const LawRecord& law) {
    if (law.lawKind == kLawExponential)
        return static_cast<float>(random_detail::g_negativeLog.value[NextRandom()] / law.param1);
    if (law.lawKind == kLawDeterministic)
        return law.param1;
    return SampleOtherLaw(law);
}

// The random source held in a local by a run loop of its own, so that it stays
// in a register; a law drawn out of line gets it back. Store hands it back.
class LocalRandom {
  public:
    LocalRandom() : state_(random_detail::g_state) {}
    uint32_t Next() {
        state_ = state_ * random_detail::kMultiplier + 1u;
        return (state_ >> 16) & 32767u;
    }
    float Draw(const LawRecord& law) {
        if (law.lawKind == kLawExponential)
            return static_cast<float>(random_detail::g_negativeLog.value[Next()] / law.param1);
        if (law.lawKind == kLawDeterministic)
            return law.param1;
        random_detail::g_state = state_;
        const float v = SampleOtherLaw(law);
        state_ = random_detail::g_state;
        return v;
    }
    void Store() const { random_detail::g_state = state_; }

  private:
    uint32_t state_;
};
double IntervalProbability(const LawRecord& law, float lo, float hi);
int NearestInteger(float x);

extern const float kInvSqrt2Pi;  // 1/sqrt(2*pi) as float32, as the normal integration uses it
extern const float kSqrt3;

class CDistribution {
  public:
    uint8_t binCount = 8;
    uint32_t sampleCount = 0;

    virtual ~CDistribution() = default;

    // Slots 0 and 1 leave the outputs untouched when i is out of range.
    virtual void BinAtCenter(int i, float& value, float& center) const = 0;
    virtual void BinWithBounds(int i, float& value, float& left, float& right) const = 0;
    virtual float TotalWeight() const = 0;
    virtual float Mean() const = 0;
    virtual float Variance() const = 0;
    virtual float ChiSquare(const LawRecord& law, std::vector<float>* expected) const = 0;
    virtual float Lower() const = 0;
    virtual float Upper() const = 0;

    virtual bool IsInteger() const = 0;
    virtual CDistribution* Clone() const = 0;

    // False when the last ResetBins refused the settings (no bins exist then).
    bool HasBins() const { return binsValid_; }

  protected:
    bool binsValid_ = false;
};

// Real-valued observations counted per interval.
class CFDistribution : public CDistribution {
  public:
    float lowerBound = 0.0f;
    float upperBound = 8.0f;
    std::vector<uint32_t> binCounts;  // empty when absent
    float binWidth = 0.0f;

    // Refuses (returns false, no bins, nothing recorded afterwards) when the
    // bounds are reversed or empty or there are no intervals.
    bool ResetBins();
    void AddValue(float x);
    // For readers of stored bins.
    void SetBins(std::vector<uint32_t> counts);

    void BinAtCenter(int i, float& value, float& center) const override;
    void BinWithBounds(int i, float& value, float& left, float& right) const override;
    float TotalWeight() const override;
    float Mean() const override;
    float Variance() const override;
    float ChiSquare(const LawRecord& law, std::vector<float>* expected) const override;
    float Lower() const override { return lowerBound; }
    float Upper() const override { return upperBound; }
    bool IsInteger() const override { return false; }
    CFDistribution* Clone() const override { return new CFDistribution(*this); }
};

// Integer states with time accumulated as weight per interval.
class CIDistribution : public CDistribution {
  public:
    int32_t lowerBound = 0;
    int32_t upperBound = 7;
    std::vector<float> binWeights;  // empty when absent
    int32_t binWidth = 0;

    bool ResetBins();
    void AddWeighted(int32_t value, float weight);
    void SetBins(std::vector<float> weights);

    void BinAtCenter(int i, float& value, float& center) const override;
    void BinWithBounds(int i, float& value, float& left, float& right) const override;
    float TotalWeight() const override;
    float Mean() const override;
    float Variance() const override;
    float ChiSquare(const LawRecord& law, std::vector<float>* expected) const override;
    float Lower() const override { return static_cast<float>(lowerBound); }
    float Upper() const override { return static_cast<float>(upperBound); }
    bool IsInteger() const override { return true; }
    CIDistribution* Clone() const override { return new CIDistribution(*this); }
};

LawRecord LawFromSample(const CDistribution& d, uint8_t kind);

}  // namespace marvolt
