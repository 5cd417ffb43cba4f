// SPDX-License-Identifier: MIT
// The tick schedule, on a clock the test moves by hand: the desktop timer's wake-ups are
// played by calling wake() when the wait the timer asked for is over.
#include "ticktimer.h"

#include <gtest/gtest.h>

namespace velmora::ui {
namespace {

using namespace std::chrono_literals;
using std::chrono::nanoseconds;

class HandClock final : public TickClock {
  public:
    nanoseconds now() const override { return time; }
    nanoseconds time{5s}; // any start: the schedule counts from start()
};

class TickTimerTest : public ::testing::Test {
  protected:
    TickTimerTest() {
        QObject::connect(&timer, &TickTimer::timeout, [this] { ++ticks; });
    }

    // Moves the clock on to the time the timer asked to be woken, plus `late`, and wakes it.
    void wakeWhenAsked(nanoseconds late = 0ns) {
        clock.time += std::chrono::milliseconds(timer.nextWaitMs()) + late;
        timer.wake();
    }

    HandClock clock;
    TickTimer timer{clock};
    int ticks = 0;
};

TEST_F(TickTimerTest, TicksAtMostSixtyFourTimesASecond) {
    const nanoseconds start = clock.time;
    timer.start(1);                    // the game asks for 1 ms
    EXPECT_EQ(timer.nextWaitMs(), 16); // 15.625 ms, rounded up
    clock.time = start + 15'624'999ns;
    timer.wake(); // woken early: no tick, and a short wait for the rest
    EXPECT_EQ(ticks, 0);
    EXPECT_EQ(timer.nextWaitMs(), 1);
    clock.time = start + 15'625'000ns;
    timer.wake();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timer.nextWaitMs(), 16);
}

TEST_F(TickTimerTest, KeepsItsScheduleOverAMinuteOfLateWakeUps) {
    const nanoseconds start = clock.time;
    timer.start(1);
    // Every wake-up comes late by 0 to 9 ms, as a busy desktop's do.
    for (int n = 0; clock.time - start < 64s; ++n) {
        wakeWhenAsked(std::chrono::milliseconds(n * 7 % 10));
    }
    // Tick n was due at n * 1/64 s: exactly as many ticks as are due, none lost to lateness.
    EXPECT_EQ(ticks, (clock.time - start) / TickTimer::resolution);
    EXPECT_GE(ticks, 4096);
    EXPECT_LE(ticks, 4097);
}

TEST_F(TickTimerTest, SkipsTicksMissedAltogether) {
    const nanoseconds start = clock.time;
    timer.start(1);
    clock.time = start + 1s; // a second without a wake-up: 64 ticks were due
    timer.wake();
    EXPECT_EQ(ticks, 1);
    EXPECT_EQ(timer.nextWaitMs(), 16); // the next is tick 65, at 1.015625 s
    clock.time = start + 1'015'625'000ns;
    timer.wake();
    EXPECT_EQ(ticks, 2);
}

TEST_F(TickTimerTest, LongerIntervalsAreKeptAndStopEndsTheTicks) {
    timer.start(100);
    EXPECT_EQ(timer.nextWaitMs(), 100);
    wakeWhenAsked();
    EXPECT_EQ(ticks, 1);
    timer.stop();
    EXPECT_FALSE(timer.isActive());
    clock.time += 1s;
    timer.wake(); // a wake-up already on its way when the timer stopped
    EXPECT_EQ(ticks, 1);
    timer.start(0);
    EXPECT_FALSE(timer.isActive());
}

TEST_F(TickTimerTest, ATickThatStopsTheTimerIsTheLast) {
    QObject::connect(&timer, &TickTimer::timeout, [this] { timer.stop(); });
    timer.start(1);
    wakeWhenAsked();
    wakeWhenAsked();
    EXPECT_EQ(ticks, 1);
}

} // namespace
} // namespace velmora::ui
