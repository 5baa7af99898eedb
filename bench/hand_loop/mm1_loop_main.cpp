// marvolt-mm1-loop ARRIVALS: the hand-written M/M/1 loop as a program of its
// own, timed beside marvolt-run by scripts/speed.sh.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "mm1_loop.h"

int main(int argc, char** argv) {
    const unsigned long limit = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 10000000ul;
    auto loop = std::make_unique<marvolt::hand::Mm1Loop>();
    const marvolt::hand::LoopResult r = loop->Run(static_cast<uint32_t>(limit));
    std::printf("arrived %u\nmodelTime %.17g\nmeanWait %.9g\nmeanLifetime %.9g\nserved %u\n",
                r.arrived, r.modelTime, r.meanWait, r.meanLifetime, r.served);
    return 0;
}
