// The timing rule of the pumping wait, over a fake clock, and the
// developer switch's value.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "util/message_pump.h"

using namespace kv;

namespace {

// A clock that advances by the step each pump round sleeps.
struct FakeWait {
    int64_t clock = 5000;
    std::vector<int64_t> rounds;
    void Run(int64_t step, int64_t duration) {
        RunTimedWait(step, duration, [this] { return clock; },
                     [this](int64_t s) {
                         rounds.push_back(s);
                         clock += s;
                     });
    }
};

TEST(WaitRule, StepTable) {
    struct Case {
        int64_t step, duration, expected;
    };
    const Case cases[] = {
        {0, 0, 1},     {0, 5, 1},    {0, 19, 1},     {0, 20, 2},   {0, 1000, 25},
        {0, 249, 24},  {0, 250, 25}, {0, 60000, 25}, {1, 1000, 1}, {300, 1000, 300},
        {-4, 1000, 25},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WaitStepMs(c.step, c.duration), c.expected) << c.step << " " << c.duration;
    }
}

TEST(WaitRule, ZeroDurationPumpsOnceAndSleepsOneMs) {
    FakeWait w;
    w.Run(0, 0);
    EXPECT_EQ(w.rounds, std::vector<int64_t>{1});
}

TEST(WaitRule, RoundsUntilTheDeadline) {
    FakeWait w;
    w.Run(0, 1000);
    EXPECT_EQ(w.rounds, std::vector<int64_t>(40, 25));

    FakeWait odd;
    odd.Run(300, 1000);  // the last round passes the deadline
    EXPECT_EQ(odd.rounds, std::vector<int64_t>(4, 300));
}

TEST(WaitRule, AClockThatDoesNotMoveStillEnds) {
    // A round that takes no time (the clock jumps only after the fourth)
    // keeps the wait going; it ends as soon as the deadline is reached.
    int64_t clock = 0;
    int rounds = 0;
    RunTimedWait(0, 100, [&] { return clock; },
                 [&](int64_t) {
                     if (++rounds == 4) clock = 100;
                 });
    EXPECT_EQ(rounds, 4);
}

TEST(DeveloperSwitch, OnlyTheExactCode) {
    EXPECT_TRUE(IsDeveloperModeValue(DeveloperModeCode));
    const std::string code = DeveloperModeCode;
    ASSERT_EQ(code.size(), 3u);
    const std::string others[] = {"", "0", "1", " " + code, code + " ", code + "0", code.substr(0, 2), "abc"};
    for (const std::string& v : others) EXPECT_FALSE(IsDeveloperModeValue(v)) << v;
}

}  // namespace
