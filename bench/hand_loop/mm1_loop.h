// M/M/1 written out by hand, as the yardstick of the kernel's speed: the same
// random source and tabled logarithm, the same draws in the same order, the
// same order of events on equal times and a double clock, and nothing else.
// It computes the same run as the kernel does on the benchmark model mm1.qsf.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace marvolt::hand {

struct LoopResult {
    uint32_t arrived = 0;
    double modelTime = 0;
    double meanWait = 0;      // over every request that reached the queue
    double meanLifetime = 0;  // over every request that left
    uint32_t served = 0;
    uint32_t randomState = 0;
};

class Mm1Loop {
  public:
    Mm1Loop() {
        for (int r = 0; r < 32768; ++r) {
            const float v = static_cast<float>(1.0 - r / 32767.0);
            negativeLog_[r] = -std::log(v > 0.0f ? static_cast<double>(v) : 1.0 / 32767.0);
        }
    }

    // Runs until more than arrivalsLimit requests were created, from the state
    // the program's start-up seeding leaves.
    LoopResult Run(uint32_t arrivalsLimit, float arrivalRate = 1.0f, float serviceRate = 1.25f) {
        state_ = 1u * 22695477u + 1u;
        double now = 0;
        double nextArrival = 0;
        double completion = 0;
        uint64_t arrivalOrder = 0, completionOrder = 0, placed = 0;
        bool busy = false;
        double inService = 0;  // birth time of the request on the device
        std::vector<double> waiting(1024);
        size_t head = 0, count = 0;
        uint32_t arrived = 0, served = 0;
        double waitSum = 0, lifetimeSum = 0;

        while (arrived <= arrivalsLimit) {
            const bool completes = busy && (completion < nextArrival ||
                                            (completion == nextArrival &&
                                             completionOrder < arrivalOrder));
            if (!completes) {
                now = nextArrival;
                nextArrival = now + Exponential(arrivalRate);
                arrivalOrder = ++placed;
                Next();  // the type draw, made with one type too
                if (count == 0 && !busy) {
                    busy = true;
                    inService = now;
                    completion = now + Exponential(serviceRate);
                    completionOrder = ++placed;
                } else {
                    if (count == waiting.size()) {
                        std::vector<double> grown(waiting.size() * 2);
                        for (size_t i = 0; i < count; ++i)
                            grown[i] = waiting[(head + i) & (waiting.size() - 1)];
                        waiting.swap(grown);
                        head = 0;
                    }
                    waiting[(head + count++) & (waiting.size() - 1)] = now;
                }
                ++arrived;
            } else {
                now = completion;
                ++served;
                lifetimeSum += now - inService;
                if (count == 0) {
                    busy = false;
                } else {
                    const double arrival = waiting[head];
                    head = (head + 1) & (waiting.size() - 1);
                    --count;
                    waitSum += now - arrival;
                    inService = arrival;
                    completion = now + Exponential(serviceRate);
                    completionOrder = ++placed;
                }
            }
        }
        LoopResult r;
        r.arrived = arrived;
        r.modelTime = now;
        r.meanWait = waitSum / arrived;
        r.meanLifetime = served ? lifetimeSum / served : 0.0;
        r.served = served;
        r.randomState = state_;
        return r;
    }

  private:
    int Next() {
        state_ = state_ * 22695477u + 1u;
        return static_cast<int>((state_ >> 16) & 32767u);
    }
    float Exponential(float rate) { return static_cast<float>(negativeLog_[Next()] / rate); }

    uint32_t state_ = 0;
    double negativeLog_[32768];
};

}  // namespace marvolt::hand
