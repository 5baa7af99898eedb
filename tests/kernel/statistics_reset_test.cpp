// Statistics started afresh in the middle of a run, on deterministic models
// whose every figure follows by hand.
#include <gtest/gtest.h>

#include <vector>

#include "model_builders.h"

namespace marvolt {
namespace {

using namespace testing_models;

// Arrivals at 0, 10, 20, ...; one device serving 15 each: request j arrives
// at 10j, starts at 15j, leaves at 15(j+1) and waits 5j. At 500 requests
// 33..49 are inside (33 in service since 495), 50 arrives at 500 itself. The
// run ends with the first event past 1000, the end of service 66 at 1005,
// where 67 starts.
QueueLine Overloaded(SimTime warmup) {
    QueueLine q = MakeQueueLine(Deterministic(10.0f), Deterministic(15.0f));
    q.generator->firstEventTime = 0;
    q.model->stopByTime = 1;
    q.model->timeLimit = 1000.0f;
    q.model->warmupTime = warmup;
    return q;
}

TEST(StatisticsResetTest, ARunCountsOnlyWhatHappensAfterTheReset) {
    QueueLine q = Overloaded(500);
    CQueuingSystem& m = *q.model;
    m.Run();
    EXPECT_EQ(m.statisticsStart, 500.0);
    EXPECT_EQ(m.modelTime, 1005.0);
    // Arrivals 50..100.
    EXPECT_EQ(q.generator->arrivals[0], 51u);
    EXPECT_EQ(q.queue->arrivals[0], 51u);
    EXPECT_EQ(m.CountIndicator(indArrived, kNoIndex, kNoIndex), 51u);
    // Requests 34..67 leave the queue after 500; waits 5j in whole, so
    // those who waited before the reset keep what they waited before it.
    const double waits = 5.0 * (34 + 67) * 34 / 2;  // 8585
    EXPECT_FLOAT_EQ(q.queue->totalWait[0], static_cast<float>(waits / 51));
    EXPECT_FLOAT_EQ(q.queue->minWait[0], 170.0f);
    EXPECT_FLOAT_EQ(q.queue->maxWait[0], 335.0f);
    EXPECT_EQ(q.queue->zeroWaitCount[0], 0u);
    // The queue's length counts only waiting after 500: requests 34..49
    // had waited 500 - 10j by then.
    const double before = 16 * 500.0 - 10.0 * (34 + 49) * 16 / 2;  // 1360
    EXPECT_FLOAT_EQ(q.queue->meanLength[0], static_cast<float>((waits - before) / 505));
    // Departures 33..66 at 510 .. 1005, living 5j + 15 from their birth.
    EXPECT_EQ(q.sink->arrivals[0], 34u);
    EXPECT_FLOAT_EQ(q.sink->meanLifetime[0], 5.0f * 49.5f + 15.0f);
    EXPECT_FLOAT_EQ(q.sink->minLifetime[0], 180.0f);
    EXPECT_FLOAT_EQ(q.sink->maxLifetime[0], 345.0f);
    // Never idle after the reset; the service under way at it counts whole.
    EXPECT_FLOAT_EQ(q.channel->loadFactor, 1.0f);
    EXPECT_FLOAT_EQ(q.channel->meanService, 15.0f);
    EXPECT_EQ(q.channel->arrivals[0], 34u);
    EXPECT_FLOAT_EQ(m.RealIndicator(indThroughput, kNoIndex, kNoIndex), 34.0f / 505.0f);
}

TEST(StatisticsResetTest, AWarmupPastTheEndIsNeverReachedAndChangesNothing) {
    QueueLine plain = Overloaded(0);
    plain.model->Run();
    QueueLine late = Overloaded(2000);  // past the end: never reached
    late.model->Run();
    EXPECT_EQ(late.model->statisticsStart, 0.0);
    for (const QueueLine* q : {&plain, &late}) {
        EXPECT_EQ(q->queue->arrivals[0], 101u);
        EXPECT_FLOAT_EQ(q->sink->meanLifetime[0], 5.0f * 33.0f + 15.0f);  // j = 0..66
        EXPECT_FLOAT_EQ(q->channel->loadFactor, 1.0f);
    }
}

// One device serving 5 of every 10: empty at every multiple of 10 just
// before its arrival, so the run from 500 to its end is the run from 0 over again.
TEST(StatisticsResetTest, ASecondHalfEqualsARunOfItsLengthFromTheStart) {
    const auto run = [](SimTime limit, SimTime warmup) {
        QueueLine q = MakeQueueLine(Deterministic(10.0f), Deterministic(5.0f));
        q.generator->firstEventTime = 0;
        q.model->stopByTime = 1;
        q.model->timeLimit = static_cast<float>(limit);
        q.model->warmupTime = warmup;
        q.model->Run();
        return q;
    };
    const QueueLine whole = run(1000, 500), half = run(500, 0);
    const std::vector<uint8_t> ids = {
        indArrived,         indMeanIdle,     indMaxIdle,       indMeanService,  indLoad,
        indMeanQueueLength, indMeanWait,     indZeroWaitCount, indMeanLifetime, indThroughput,
        indLeftCount,       indMeanInSystem, indMaxInSystem};
    for (uint8_t object : {uint8_t{1}, uint8_t{2}, uint8_t{3}, uint8_t{4}, kNoIndex}) {
        for (uint8_t id : ids) {
            EXPECT_EQ(whole.model->RealIndicator(id, object, kNoIndex),
                      half.model->RealIndicator(id, object, kNoIndex))
                << "indicator " << int(id) << " of " << int(object);
        }
    }
    EXPECT_EQ(whole.sink->arrivals[0], 51u);
}

}  // namespace
}  // namespace marvolt
