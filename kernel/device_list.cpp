#include "kernel/device_list.h"

#include "kernel/byte_ring.h"

namespace marvolt {

void CDeviceList::Prepare(uint8_t n) {
    capacity = n;
    records.assign(n, DeviceRecord{});
    nextDevice.resize(n);
    prevDevice.resize(n);
    for (uint8_t i = 0; i < n; ++i) {
        nextDevice[i] = static_cast<uint8_t>(i + 1 == n ? 0 : i + 1);
        prevDevice[i] = static_cast<uint8_t>(i == 0 ? n - 1 : i - 1);
    }
    busyCount = 0;
    firstBusy = lastBusy = 0;
    allFree = 1;
}

void CDeviceList::Release() {
    records = {};
    nextDevice = {};
    prevDevice = {};
    capacity = 0;
    busyCount = 0;
    firstBusy = lastBusy = 0;
    allFree = 1;
}

void CDeviceList::Unlink(uint8_t d) {
    RingUnlink(nextDevice, prevDevice, d);
}
void CDeviceList::LinkAfter(uint8_t d, uint8_t e) {
    RingLinkAfter(nextDevice, prevDevice, d, e);
}

SimTime CDeviceList::Occupy(const DeviceRecord& r) {
    if (allFree) {
        firstBusy = lastBusy = 0;
        allFree = 0;
        const SimTime freeSince = records[0].completionTime;
        records[0] = r;
        ++busyCount;
        return freeSince;
    }
    const uint8_t d = nextDevice[lastBusy];
    const SimTime freeSince = records[d].completionTime;
    records[d] = r;
    ++busyCount;

    const SimTime t = r.completionTime;
    if (capacity == 2) {
        // The other device is busy, and a ring of two already holds both
        // orders. Chosen by a mask, not a jump: which of the two completes
        // first follows the drawn times, so a jump would be mispredicted.
        const uint8_t other = lastBusy;
        const uint8_t swap = static_cast<uint8_t>(0u - (records[other].completionTime <= t));
        firstBusy = static_cast<uint8_t>(d ^ ((d ^ other) & swap));
        lastBusy = static_cast<uint8_t>(other ^ ((d ^ other) & swap));
        return freeSince;
    }
    if (records[lastBusy].completionTime <= t) {
        lastBusy = d;  // d already follows lastBusy in the ring
        return freeSince;
    }
    // Behind the last busy device that completes no later, so equal times keep
    // their placement order.
    uint8_t e = lastBusy;
    while (e != firstBusy) {
        e = prevDevice[e];
        if (records[e].completionTime <= t) {
            Unlink(d);
            LinkAfter(d, e);
            return freeSince;
        }
    }
    if (prevDevice[firstBusy] != d) {
        Unlink(d);
        LinkAfter(d, prevDevice[firstBusy]);
    }
    firstBusy = d;
    return freeSince;
}

void CDeviceList::ReleaseFirst() {
    if (allFree)
        return;
    if (firstBusy == lastBusy) {
        allFree = 1;
    } else {
        firstBusy = nextDevice[firstBusy];
    }
    --busyCount;
}

}  // namespace marvolt
