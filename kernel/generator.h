// A source of requests.
#pragma once

#include "kernel/queuing_system.h"

namespace marvolt {

class CGenerator final : public CQSObject {
  public:
    std::vector<uint8_t> generatedTypes;
    std::vector<float> typeProbabilities;
    LawRecord batchLaw;
    LawRecord intervalLaw;
    SimTime firstEventTime = 0;
    // Kept by the model file only; runs never consult them.
    uint32_t storedCount = 0;
    uint8_t storedFlag = 0;

    CGenerator(std::string nodeName, CQueuingSystem* model)
        : CQSObject(kGenerator, std::move(nodeName), model) {
        runKind = kGenerator;
    }
    CGenerator(const CGenerator&) = default;

    uint8_t generatedTypeCount() const { return static_cast<uint8_t>(generatedTypes.size()); }

    void BeginRun() override;
    void EndRun() override;
    void Accept(uint8_t type, SimTime birthTime) override;
    void ProcessEvent() override;
    bool CanAccept(uint8_t) override { return false; }
    bool HasRequestFor(const uint8_t*) override { return false; }
    SimTime NextEventTime() const override { return nextEventTime; }
    uint32_t HeldCount() const override { return 0; }
    void Write(RecordWriter& out) const override;
    bool Read(RecordReader& in) override;
    int Validate() const override;

    int SetGeneratedType(uint8_t type, bool add);

    // Container steps.
    void EraseType(uint8_t t);
    void DropIndicators() { arrivals.clear(); }

  private:
    friend class CLineRun;  // runs the plainest line with the node's own numbers
    friend class CTandemRun;  // and the tandem line
    uint8_t DrawType() const;
    static uint32_t BatchSize(float drawn);
    // Chosen when a run starts: a deterministic batch law and the size it gives.
    bool fixedBatch_ = false;
    uint32_t batchSize_ = 0;
    // Chosen when a run starts: the running sums of the type probabilities,
    // empty when the draw walks them instead.
    static constexpr size_t kSummedTypes = 8;
    std::vector<float> cumulative_;
};

}  // namespace marvolt
