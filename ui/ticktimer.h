// SPDX-License-Identifier: MIT
// The game's timer. A tick comes every requested interval, but never more often than the
// desktop timer this game was tuned on could deliver: 64 a second. The ball's speeds, 20
// to 200 twips a tick, assume that rate. Ticks follow a fixed schedule from the start, so
// late ticks do not add up to drift; one that is missed altogether is skipped, not
// delivered twice.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>

namespace velmora::ui {

// Where the timer reads the time: the steady clock, or a clock that a test moves by hand.
class TickClock {
  public:
    virtual ~TickClock() = default;
    virtual std::chrono::nanoseconds now() const = 0;
};

class SteadyTickClock final : public TickClock {
  public:
    SteadyTickClock() { started_.start(); }
    std::chrono::nanoseconds now() const override {
        return std::chrono::nanoseconds(started_.nsecsElapsed());
    }

  private:
    QElapsedTimer started_;
};

class TickTimer : public QObject {
    Q_OBJECT

  public:
    static constexpr std::chrono::nanoseconds resolution{15'625'000}; // 1/64 s

    explicit TickTimer(const TickClock& clock, QObject* parent = nullptr);

    // Starts ticking every max(interval, resolution); an interval of 0 or less stops it.
    void start(int intervalMs);
    void stop();
    bool isActive() const { return active_; }

    // What the desktop timer calls when the wait it was asked for is over: ticks if a tick
    // is due, then asks to be woken for the next one.
    void wake();
    // The wait last asked of the desktop timer, in whole milliseconds.
    int nextWaitMs() const { return wakeUp_.interval(); }

  signals:
    void timeout();

  private:
    std::chrono::nanoseconds elapsed() const { return clock_.now() - started_; }
    void waitForNextTick();

    const TickClock& clock_;
    QTimer wakeUp_;
    std::chrono::nanoseconds started_{0};
    std::chrono::nanoseconds period_{resolution};
    std::int64_t nextTick_ = 1; // ticks are numbered from the start; tick n is due at n periods
    bool active_ = false;
};

} // namespace velmora::ui
