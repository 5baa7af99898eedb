// A queue node: waiting requests, disciplines, priority classes and limits.
#pragma once

#include <optional>

#include "kernel/queuing_system.h"
#include "kernel/request_deque.h"

namespace marvolt {

enum QueueDiscipline : uint8_t { kFifo = 0, kLifo = 1, kRandomOrder = 2, kLeastTimeToRefusal = 3 };
enum WaitLimitMode : uint8_t { kWaitUnlimited = 0, kWaitRandomLimit = 1, kWaitFixedLimit = 2 };

// A request taken from a queue; valid is false when nothing acceptable waits.
struct TakenRequest {
    bool valid = false;
    uint8_t type = 0;
    SimTime birthTime = 0;
};

class CQueue final : public CQSObject {
  public:
    // What a run reads on every request comes first, next to the fields of
    // the node it shares, so that a request touches few cache lines.
    uint8_t discipline = kFifo;
    uint8_t usePriority = 0;
    uint8_t lengthLimited = 0;
    uint8_t waitLimitMode = kWaitUnlimited;
    uint8_t classCount = 0;  // run-time
    float waitLimit = 0.0f;
    uint32_t lengthLimit = 0;            // 0: no limit
    std::vector<uint8_t> acceptedTypes;  // per type

    // Run-time state.
    std::vector<RequestDeque> classes;
    std::vector<uint8_t> typeClass;  // empty when priorities do not apply

    // Indicators, per type slot, that a run keeps up to date.
    std::vector<uint32_t> waitingCount;
    std::vector<uint32_t> maxWaitingCount;
    std::vector<uint32_t> zeroWaitCount;
    std::vector<float> minWait;
    std::vector<float> maxWait;

  private:
    // Chosen when a run starts: whether any waiting-time or length histogram
    // is kept, so that a run without them books none.
    bool waitHistograms_ = false;
    bool lengthHistograms_ = false;
    // Running sums of a run, converted into the float indicators at EndRun.
    std::vector<SimTime> waitSum_;
    std::vector<double> refusedSum_;

  public:
    // Configuration.
    std::vector<LawRecord> waitLimitLaws;                            // per type, or empty when absent
    std::vector<uint8_t> lengthDistFlags;                            // per type slot
    std::vector<uint8_t> waitDistFlags;                              // per type slot
    std::vector<std::optional<CFDistribution>> waitDistributions;    // per type slot
    std::vector<std::optional<CIDistribution>> lengthDistributions;  // per type slot
    std::vector<SimTime> lastChangeTime;  // run-time, read by the length histograms only

    // Indicators, per type slot, worked out at the end of a run.
    std::vector<float> refused;    // refusal fraction
    std::vector<float> totalWait;  // mean waiting time
    std::vector<float> meanLength;

    CQueue(std::string nodeName, CQueuingSystem* model);
    CQueue(const CQueue&) = default;

    void BeginRun() override;
    void EndRun() override;
    void Accept(uint8_t type, SimTime birthTime) override;
    void ProcessEvent() override;
    bool CanAccept(uint8_t type) override;
    bool HasRequestFor(const uint8_t* mask) override;
    SimTime NextEventTime() const override { return nextEventTime; }
    uint32_t HeldCount() const override { return waitingCount.empty() ? 0 : waitingCount[0]; }
    void Write(RecordWriter& out) const override;
    bool Read(RecordReader& in) override;

    TakenRequest Take(const uint8_t* mask);
    // Take for a taker that accepts every type: no search for an acceptable one.
    TakenRequest TakeAny();
    void ResetStatistics();
    void BuildClasses();
    void PurgeExpired();

    bool EventDriven() const {
        return waitLimitMode == kWaitRandomLimit && discipline != kLeastTimeToRefusal;
    }
    bool Lazy() const {
        return waitLimitMode == kWaitFixedLimit || discipline == kLeastTimeToRefusal;
    }

    // Container steps.
    void InsertType(uint8_t t);
    void EraseType(uint8_t t);
    void DropIndicators();

  private:
    friend class CLineRun;  // runs the plainest line with the node's own numbers
    friend class CTandemRun;  // and the tandem line
    // What the requests of a class are allowed to wait, by the waiting-limit mode.
    Allowance ClassAllowance() const;
    float DrawAllowance(uint8_t t) const;
    void InsertWaiting(uint8_t cls, const QueueRequest& r);
    // Books a waiting time into the slot of the type and into slot 0.
    void RecordWait(uint8_t t, SimTime w, bool withMin);
    // Closes the interval of a slot's length that ends at the given time.
    void RecordLength(uint8_t slot, uint32_t length, SimTime at);
    // How a request leaves the queue: taken by a channel, refused by the
    // queue's event, or found expired by a later operation.
    enum Leaving : uint8_t { kTaken, kRefused, kExpired };
    // Books a request that left: counts, waiting time, length intervals, refusals.
    void BookLeaving(const QueueRequest& r, Leaving how);
    SimTime EarliestRefusal() const;
    void FitSlotArrays();
    // Up to this many priority classes, a take looks at every one.
    static constexpr size_t kScannedClasses = 8;
    // Removes the request at a place and hands it out.
    TakenRequest TakeAt(size_t cls, size_t position);

    // Per type slot, after a reset of the statistics: the waiting done before
    // it by the requests then waiting, which the queue length leaves out.
    std::vector<SimTime> waitBeforeStatistics_;
};

}  // namespace marvolt
