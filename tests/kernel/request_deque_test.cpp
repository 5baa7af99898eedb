#include "kernel/request_deque.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "allocation_count.h"

namespace marvolt {
namespace {

using testing_memory::Allocations;
using testing_memory::LiveBytes;

// Every field of a request follows from its tag, so a mix-up of fields or places shows.
QueueRequest Tagged(int tag, bool ownArrival) {
    QueueRequest r;
    r.requestType = static_cast<uint8_t>(tag % 250);
    r.birthTime = tag;
    r.arrivalTime = ownArrival ? tag + 0.5 : tag;
    r.allowance = static_cast<float>(tag % 1000) + 0.25f;
    return r;
}

// What a deque gives back for what it was given.
QueueRequest Kept(QueueRequest r, const Allowance& a) {
    if (!a.perRequest)
        r.allowance = a.fixed;
    return r;
}

void ExpectSame(const QueueRequest& got, const QueueRequest& want, const std::string& where) {
    EXPECT_EQ(got.requestType, want.requestType) << where;
    EXPECT_EQ(got.birthTime, want.birthTime) << where;
    EXPECT_EQ(got.arrivalTime, want.arrivalTime) << where;
    EXPECT_EQ(got.allowance, want.allowance) << where;
}

void ExpectContents(const RequestDeque& d, const std::deque<QueueRequest>& want,
                    const std::string& where) {
    ASSERT_EQ(d.size(), want.size()) << where;
    for (size_t i = 0; i < want.size(); ++i) {
        ExpectSame(d[i], want[i], where + " at " + std::to_string(i));
        ASSERT_EQ(d.Type(i), want[i].requestType);
        ASSERT_EQ(d.RefusalTime(i), want[i].RefusalTime());
    }
}

struct Storage {
    const char* what;
    Allowance allowance;
};

class RequestDequeTest : public ::testing::TestWithParam<Storage> {};

// The queue grows over many blocks and shrinks back to nothing, through both
// ends and the middle; halfway through, arrivals start to differ from births.
TEST_P(RequestDequeTest, KeepsEveryFieldInOrderLikeAStandardDeque) {
    const Allowance a = GetParam().allowance;
    RequestDeque d(a);
    std::deque<QueueRequest> want;
    uint32_t state = 12345;
    auto next = [&state](uint32_t n) {
        state = state * 1103515245u + 12345u;
        return (state >> 8) % n;
    };
    const int steps = 40000;
    for (int step = 0; step < steps; ++step) {
        const bool growing = step < steps / 2 ? next(4) != 0 : next(4) == 0;
        const QueueRequest r = Kept(Tagged(step, step > steps / 4), a);
        if (growing) {
            const uint32_t where = next(3);
            if (where == 0) {
                d.push_back(r);
                want.push_back(r);
            } else if (where == 1) {
                d.push_front(r);
                want.push_front(r);
            } else {
                const size_t p = next(static_cast<uint32_t>(want.size() + 1));
                d.insert(p, r);
                want.insert(want.begin() + static_cast<std::ptrdiff_t>(p), r);
            }
        } else if (!want.empty()) {
            const uint32_t where = next(3);
            if (where == 0) {
                d.pop_front();
                want.pop_front();
            } else if (where == 1) {
                d.pop_back();
                want.pop_back();
            } else {
                const size_t p = next(static_cast<uint32_t>(want.size()));
                ExpectSame(d.erase(p), want[p], "erased at step " + std::to_string(step));
                want.erase(want.begin() + static_cast<std::ptrdiff_t>(p));
            }
        }
        ASSERT_EQ(d.size(), want.size()) << step;
        if (!want.empty()) {
            ExpectSame(d.front(), want.front(), "front at step " + std::to_string(step));
            ExpectSame(d.back(), want.back(), "back at step " + std::to_string(step));
        }
        if (step % 2000 == 0) {
            ExpectContents(d, want, "step " + std::to_string(step));
            const RequestDeque copy(d);
            ExpectContents(copy, want, "copy at step " + std::to_string(step));
            // Assigned over a deque of its own blocks, and moved on: each must
            // find its requests in the blocks it now holds.
            RequestDeque assigned(a);
            for (int i = 0; i < 700; ++i)
                assigned.push_back(Kept(Tagged(-i, true), a));
            assigned = d;
            ExpectContents(assigned, want, "assigned at step " + std::to_string(step));
            const RequestDeque moved(std::move(assigned));
            ExpectContents(moved, want, "moved at step " + std::to_string(step));
        }
    }
    ExpectContents(d, want, "the end");
}

INSTANTIATE_TEST_SUITE_P(EveryAllowance, RequestDequeTest,
                         ::testing::Values(Storage{"unlimited", {}},
                                           Storage{"fixed", {false, 7.5f}},
                                           Storage{"per request", {true, 0.0f}}),
                         [](const auto& info) {
                             std::string name = info.param.what;
                             for (char& c : name) {
                                 if (c == ' ')
                                     c = '_';
                             }
                             return name;
                         });

TEST(RequestDeque, MiddleInsertAndEraseNearBothEnds) {
    RequestDeque d;
    auto item = [](int tag) {
        QueueRequest r;
        r.birthTime = r.arrivalTime = tag;
        return r;
    };
    // The front sits inside its block, so the front side has room to move into.
    for (int i = 0; i < 8; ++i)
        d.push_back(item(i));
    for (int i = 0; i < 5; ++i)
        d.pop_front();
    for (int i = 8; i < 11; ++i)
        d.push_back(item(i));  // 5..10
    d.insert(1, item(100));    // the front part moves
    d.insert(5, item(101));    // the back part moves
    EXPECT_EQ(d.erase(2).birthTime, 6);
    EXPECT_EQ(d.erase(5).birthTime, 9);
    const std::vector<int> want = {5, 100, 7, 8, 101, 10};
    ASSERT_EQ(d.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i)
        EXPECT_EQ(d[i].birthTime, want[i]);
    EXPECT_EQ(d.front().birthTime, 5);
    EXPECT_EQ(d.back().birthTime, 10);
}

// What a long queue costs per request, measured as what operator new handed
// out: its type and birth time, and only what a request cannot share besides.
TEST(RequestDeque, ALongQueueCostsLittleMoreThanItsRequestsCarry) {
    struct Case {
        const char* what;
        Allowance allowance;
        bool ownArrival;
        double bytesPerRequest;  // what the request carries, plus a little for the blocks
    };
    const Case cases[] = {
        {"straight from the generator", {}, false, 9.2},
        {"straight from the generator, fixed limit", {false, 3.0f}, false, 9.2},
        {"after a channel", {}, true, 17.2},
        {"after a channel, random limit", {true, 0.0f}, true, 21.2},
    };
    const size_t n = 200001;  // not a whole number of blocks
    for (const Case& c : cases) {
        const size_t before = LiveBytes();
        {
            RequestDeque d(c.allowance);
            for (size_t i = 0; i < n; ++i)
                d.push_back(Tagged(static_cast<int>(i), c.ownArrival));
            const double perRequest = static_cast<double>(LiveBytes() - before) / n;
            EXPECT_LE(perRequest, c.bytesPerRequest) << c.what;
            EXPECT_LE(perRequest, 24.0) << c.what;
            for (size_t i = 0; i < n; ++i)
                d.pop_front();
            // An emptied queue keeps one block for the next request, and the slots of its map.
            EXPECT_LE(LiveBytes() - before, 16u * 1024u) << c.what;
        }
        EXPECT_EQ(LiveBytes(), before) << c.what;
    }
}

TEST(RequestDeque, AQueueOfStableLengthAllocatesNothing) {
    for (const Allowance a : {Allowance{}, Allowance{true, 0.0f}}) {
        RequestDeque d(a);
        int tag = 0;
        for (; tag < 3000; ++tag)
            d.push_back(Tagged(tag, true));
        // The requests walk through many blocks, one way and then the other; a
        // first short walk each way finds the blocks the walk needs.
        auto walk = [&](bool forwards, int steps) {
            for (int i = 0; i < steps; ++i, ++tag) {
                if (forwards) {
                    d.push_back(Tagged(tag, true));
                    d.pop_front();
                } else {
                    d.push_front(Tagged(tag, true));
                    d.pop_back();
                }
            }
        };
        for (const bool forwards : {true, false}) {
            walk(forwards, 2 * static_cast<int>(RequestDeque::kBlockSize));
            const size_t before = Allocations();
            walk(forwards, 20000);
            EXPECT_EQ(Allocations(), before) << (forwards ? "forwards" : "backwards");
        }
        // Emptied and filled again, a queue finds the block it kept.
        while (!d.empty())
            d.pop_back();
        const size_t before = Allocations();
        walk(true, 100);
        EXPECT_EQ(Allocations(), before) << "after emptying";
    }
}

}  // namespace
}  // namespace marvolt
