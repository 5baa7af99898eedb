// The devices of one channel during a run, in order of completion.
#pragma once

#include <cstdint>
#include <vector>

#include "kernel/sim_time.h"

namespace marvolt {

struct DeviceRecord {
    uint8_t requestType = 0;
    SimTime completionTime = 0;  // a free device: when it became free
    SimTime startTime = 0;
    SimTime birthTime = 0;
};

class CDeviceList {
  public:
    uint8_t capacity = 0;
    uint8_t firstBusy = 0;
    uint8_t lastBusy = 0;
    uint8_t busyCount = 0;
    uint8_t allFree = 1;
    std::vector<DeviceRecord> records;
    std::vector<uint8_t> nextDevice;
    std::vector<uint8_t> prevDevice;

    void Prepare(uint8_t n);
    void Release();
    DeviceRecord& FirstBusy() { return records[firstBusy]; }
    DeviceRecord& Device(uint8_t i) { return records[i]; }
    // Returns the time the used device became free. Only while busyCount < capacity.
    SimTime Occupy(const DeviceRecord& r);
    void ReleaseFirst();

  private:
    void Unlink(uint8_t d);
    void LinkAfter(uint8_t d, uint8_t e);
};

}  // namespace marvolt
