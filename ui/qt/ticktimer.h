// SPDX-License-Identifier: MIT
// The game's timer: a Qt timer that wakes the tick schedule and ticks when it says so.
#pragma once

#include "tickschedule.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>

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
    static constexpr std::chrono::nanoseconds resolution = TickSchedule::resolution;

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
    void waitForNextTick();

    const TickClock& clock_;
    QTimer wakeUp_;
    TickSchedule schedule_;
    bool active_ = false;
};

} // namespace velmora::ui
