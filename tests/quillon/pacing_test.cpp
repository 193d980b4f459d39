// Frame pacing: the deadlines' arithmetic, and a sleep that never wakes before its deadline.
#include "quillon/src/pacing.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(Pacing, DeadlinesFollowEachOtherAndAStallIsNotMadeUp) {
    const double interval = 1.0 / 144.0;
    struct Case {
        double last, now, expected;
        const char* what;
    } cases[] = {
        {0.0, 10.0, 10.0 + interval, "the first frame: an interval from now"},
        {10.0, 10.002, 10.0 + interval, "work done early: the next deadline, not now's"},
        {10.0, 10.0 + 1.5 * interval, 10.0 + interval, "a little late: still the next deadline"},
        {10.0, 10.05, 10.05, "a stall: at once, then due from now, no burst"},
        {10.0, 10.0 + 2.2 * interval, 10.0 + 2.2 * interval, "work slower than the cap: no wait"},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(Pacing_NextDeadline(c.last, c.now, interval), c.expected) << c.what;
    // Frames whose work varies keep the same spacing of deadlines.
    double deadline = 0.0, now = 100.0;
    for (int f = 0; f < 1000; f++) {
        double next = Pacing_NextDeadline(deadline, now, interval);
        if (f > 0) {
            EXPECT_NEAR(next - deadline, interval, 1e-9) << f;
        }
        deadline = next;
        now = deadline + (f % 3) * 0.002; // woke on time, then 0 to 4 ms of work
    }
}

double Clock() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

TEST(Pacing, TheSleepNeverWakesBeforeItsDeadline) {
    for (double ahead : {-0.001, 0.0, 0.0001, 0.003, 0.012}) {
        double deadline = Clock() + ahead;
        Pacing_SleepUntil(deadline, Clock, 0.0003);
        EXPECT_GE(Clock(), deadline) << ahead;
    }
}

} // namespace
