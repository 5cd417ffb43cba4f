// SPDX-License-Identifier: MIT
#include "ticktimer.h"

#include <algorithm>

namespace velmora::ui {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;

TickTimer::TickTimer(const TickClock& clock, QObject* parent) : QObject(parent), clock_(clock) {
    wakeUp_.setSingleShot(true);
    wakeUp_.setTimerType(Qt::PreciseTimer);
    connect(&wakeUp_, &QTimer::timeout, this, &TickTimer::wake);
}

void TickTimer::start(int intervalMs) {
    if (intervalMs <= 0) {
        stop();
        return;
    }
    period_ = std::max<nanoseconds>(milliseconds(intervalMs), resolution);
    nextTick_ = 1;
    active_ = true;
    started_ = clock_.now();
    waitForNextTick();
}

void TickTimer::stop() {
    active_ = false;
    wakeUp_.stop();
}

void TickTimer::wake() {
    if (!active_) {
        return;
    }
    const nanoseconds now = elapsed();
    if (now < period_ * nextTick_) { // woken a little early
        waitForNextTick();
        return;
    }
    nextTick_ = now / period_ + 1;
    emit timeout();
    if (active_) { // the tick may have stopped the timer
        waitForNextTick();
    }
}

void TickTimer::waitForNextTick() {
    const nanoseconds wait = period_ * nextTick_ - elapsed();
    // Round up: the precise timer never fires before the time asked for.
    const auto waitMs = (wait.count() + 999'999) / 1'000'000;
    wakeUp_.start(static_cast<int>(std::max<decltype(waitMs)>(waitMs, 0)));
}

} // namespace velmora::ui
