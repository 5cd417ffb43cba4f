// SPDX-License-Identifier: MIT
// The game's tick schedule, for every front end. A tick comes every requested interval,
// but never more often than the desktop timer this game was tuned on could deliver:
// `ticksPerSecond`. The ball's speeds, 20 to 200 twips a tick, assume that rate. Ticks
// follow a fixed schedule from the start, so late ticks do not add up to drift.
//
// A wake-up that comes a little late, as on a slow or busy machine, where the timer often
// fires a tick or two after its time, runs the ticks it missed too: otherwise the ball would
// slow down. It catches up a little and no more: at most `catchUpTicks` ticks a wake-up, the
// rest skipped, so a hidden tab, a suspended laptop or a debugger stop brings no burst.
//
// The front end's timer wakes the schedule; the schedule says how many ticks are due and how
// long to wait for the next. Times are read from whatever clock the front end has.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace velmora::ui {

inline constexpr int ticksPerSecond = 64;

// Where a front end reads the time: a steady clock, or one that a test moves by hand.
class TickClock {
  public:
    virtual ~TickClock() = default;
    virtual std::chrono::nanoseconds now() const = 0;
};

// The system's steady clock, which every front end's game window reads.
class SteadyClock final : public TickClock {
  public:
    std::chrono::nanoseconds now() const override {
        return std::chrono::steady_clock::now().time_since_epoch();
    }
};

class TickSchedule {
  public:
    static constexpr std::chrono::nanoseconds resolution =
        std::chrono::nanoseconds(std::chrono::seconds(1)) / ticksPerSecond;

    // Starts at `now`, ticking every max(interval, resolution).
    void start(std::chrono::nanoseconds now, int intervalMs) {
        period_ =
            std::max<std::chrono::nanoseconds>(std::chrono::milliseconds(intervalMs), resolution);
        nextTick_ = 1;
        started_ = now;
    }

    // The most ticks a wake-up runs: the one due, and the three a wake-up late by almost four
    // periods (62.5 ms) has missed.
    static constexpr std::int64_t catchUpTicks = 4;

    // How many ticks are due at `now`: none when woken early, else the one due and those
    // missed, up to `catchUpTicks`. The next is then the first still to come.
    int due(std::chrono::nanoseconds now) {
        const std::chrono::nanoseconds elapsed = now - started_;
        if (elapsed < period_ * nextTick_) { // woken a little early
            return 0;
        }
        const std::int64_t last = elapsed / period_; // the latest tick due
        const std::int64_t count = std::min(last - nextTick_ + 1, catchUpTicks);
        nextTick_ = last + 1;
        return static_cast<int>(count);
    }

    // How long to wait from `now` for the next tick, in whole milliseconds, rounded up: a
    // precise timer never fires before the time asked for.
    int waitMs(std::chrono::nanoseconds now) const {
        const std::chrono::nanoseconds wait = period_ * nextTick_ - (now - started_);
        return static_cast<int>(std::max<std::int64_t>((wait.count() + 999'999) / 1'000'000, 0));
    }

  private:
    std::chrono::nanoseconds started_{0};
    std::chrono::nanoseconds period_{resolution};
    std::int64_t nextTick_ = 1; // ticks are numbered from the start; tick n is due at n periods
};

} // namespace velmora::ui
