// Where requests leave the network.
#pragma once

#include <optional>

#include "kernel/queuing_system.h"

namespace marvolt {

class CDispose final : public CQSObject {
  public:
    // Per type slot. What a run reads on every request comes first.
    std::vector<float> minLifetime;
    std::vector<float> maxLifetime;

  private:
    friend class CLineRun;  // runs the plainest line with the node's own numbers
    friend class CTandemRun;  // and the tandem line
    std::vector<SimTime> lifetimeSum_;
    // Chosen when a run starts: whether any lifetime histogram is kept.
    bool lifetimeHistograms_ = false;

  public:
    std::vector<float> meanLifetime;  // unused during a run: the sum is kept in double
    std::vector<uint8_t> lifetimeDistFlags;
    std::vector<std::optional<CFDistribution>> lifetimeDistributions;

    CDispose(std::string nodeName, CQueuingSystem* model);
    CDispose(const CDispose&) = default;

    void BeginRun() override;
    void EndRun() override;
    void Accept(uint8_t type, SimTime birthTime) override;
    void ProcessEvent() override {}
    bool CanAccept(uint8_t) override { return true; }
    bool HasRequestFor(const uint8_t*) override { return false; }
    SimTime NextEventTime() const override { return 0; }
    uint32_t HeldCount() const override { return 0; }
    void Write(RecordWriter& out) const override;
    bool Read(RecordReader& in) override;
    int Validate() const override { return kOk; }

    void ResetStatistics();
    // Books one lifetime into a slot's sum and extremes; a NaN lifetime becomes the minimum.
    static void BookLifetime(SimTime lifetime, SimTime& sum, float& min, float& max) {
        const float l = static_cast<float>(lifetime);
        sum += lifetime;
        if (!(l >= min))
            min = l;
        if (l > max)
            max = l;
    }

    // Container steps.
    void InsertType(uint8_t t);
    void EraseType(uint8_t t);
    void DropIndicators();

};

}  // namespace marvolt
