// A service node with identical devices, failures and a reserve channel.
#pragma once

#include <optional>

#include "kernel/device_list.h"
#include "kernel/queue.h"
#include "kernel/queuing_system.h"

namespace marvolt {

enum SourceDiscipline : uint8_t { kSourceInOrder = 0, kSourceRandom = 1, kSourceMost = 2 };
enum FailureRule : uint8_t {
    kFailToRefusal = 0,
    kFailContinueInReserve = 1,
    kFailRestartInReserve = 2,
    kFailWaitForRepair = 3,
};

// A deterministic service below this length passes a request through at once.
constexpr float kInstantService = 0.00001f;

class CChannel final : public CQSObject {
  public:
    // What a run reads on every request comes first, next to the fields of
    // the node it shares, so that a request touches few cache lines.
    uint8_t failuresOn = 0;
    uint8_t failed = 0;
    uint8_t transformOn = 0;
    uint8_t idleDistFlag = 0;
    uint8_t serviceDistFlag = 0;
    uint8_t deviceCount = 1;
    uint8_t inReserveQuery = 0;
    uint8_t sourceDiscipline = kSourceInOrder;
    CDeviceList devices;
    SimTime nextFailureTime = 0;
    // Run-time: the only source, a queue asked without a draw, when the channel
    // stands in for no other; the channel then takes from it directly.
    CQueue* soleSource = nullptr;
    std::vector<uint8_t> acceptedTypes;  // per type
    std::vector<LawRecord> serviceLaws;  // per type
    float maxIdle = 0.0f;
    float minService = 0.0f;
    float maxService = 0.0f;

  private:
    // Run-time: the channel accepts every type of the model.
    bool acceptsAll_ = false;
    // Running sums of a run, converted into the float indicators at EndRun.
    SimTime idleSum_ = 0;
    SimTime serviceSum_ = 0;

  public:
    std::vector<uint32_t> requestCounts;  // per type slot; stored, never changed by a run
    SimTime stateChangeTime = 0;
    std::vector<CChannel*> reserveFor;  // run-time
    uint8_t reserveRound = 0;
    std::vector<uint8_t> sources;
    std::vector<float> sourceProbabilities;
    std::vector<uint8_t> transformTable;  // per type, or empty when absent
    LawRecord workLaw;
    LawRecord repairLaw;
    uint8_t failureRule = kFailToRefusal;
    uint8_t reserveChannel = kNoIndex;
    float loadFactor = 0.0f;
    float meanIdle = 0.0f;
    CFDistribution idleDistribution;
    float meanService = 0.0f;
    CFDistribution serviceDistribution;

    CChannel(std::string nodeName, CQueuingSystem* model);
    CChannel(const CChannel&) = default;

    uint8_t sourceCount() const { return static_cast<uint8_t>(sources.size()); }
    uint8_t reserveForCount() const { return static_cast<uint8_t>(reserveFor.size()); }

    void BeginRun() override;
    void EndRun() override;
    void Accept(uint8_t type, SimTime birthTime) override;
    void ProcessEvent() override;
    bool CanAccept(uint8_t type) override;
    bool HasRequestFor(const uint8_t*) override { return false; }
    SimTime NextEventTime() const override { return nextEventTime; }
    uint32_t HeldCount() const override { return devices.busyCount; }
    void Write(RecordWriter& out) const override;
    bool Read(RecordReader& in) override;
    int Validate() const override;

    void CompleteService(DeviceRecord r);
    void PlaceInService(uint8_t type, SimTime completion, SimTime birthTime);
    uint8_t ChooseSource(const uint8_t* mask);
    void ResetStatistics();
    // Book one idle stretch or one service into their sums and extremes.
    static void BookIdle(SimTime d, SimTime& sum, float& max) {
        const float f = static_cast<float>(d);
        if (f > max)
            max = f;
        sum += d;
    }
    static void BookService(SimTime d, SimTime& sum, float& min, float& max) {
        const float f = static_cast<float>(d);
        if (f > max)
            max = f;
        if (f < min)
            min = f;
        sum += d;
    }

    // Container steps.
    void InsertType(uint8_t t);
    void EraseType(uint8_t t);
    void RemoveNodeReferences(uint8_t deleted);
    void AddSource(uint8_t s);
    void RemoveSource(uint8_t s);
    void DropIndicators();

  private:
    friend class CLineRun;  // runs the plainest line with the node's own numbers
    friend class CTandemRun;  // and the tandem line
    // The extremes, sums and histograms a run and a reset of its statistics both start afresh.
    void ClearTotals();
    // The reserve channel that can stand in, or null when there is none usable.
    CChannel* Reserve() const;
    // While failed, the reserve answers in the channel's place: ask is called
    // with it. False when there is none to ask.
    template <class Ask>
    bool AskReserve(Ask ask);
    // The next request a free device takes from the sources, if any.
    TakenRequest TakeNext(const uint8_t* mask);
    // A free device takes the request; the channel's next event follows.
    void StartService(const DeviceRecord& r);
    // Enters the first busy device's completion into the event list.
    void Schedule();
    void Fail();
    void Restore();
    void RecordIdle(SimTime d);
    void RecordService(SimTime d);
    // After a reset of the statistics: the device time before it that the
    // sums will still book, busy and idle, which the load leaves out.
    SimTime busyBeforeStatistics_ = 0;
    SimTime idleBeforeStatistics_ = 0;
};

}  // namespace marvolt
