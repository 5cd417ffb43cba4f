// SPDX-License-Identifier: MIT
#include "ticktimer.h"

namespace velmora::ui {

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
    schedule_.start(clock_.now(), intervalMs);
    active_ = true;
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
    if (schedule_.due(clock_.now())) {
        emit timeout();
    }
    if (active_) { // the tick may have stopped the timer
        waitForNextTick();
    }
}

void TickTimer::waitForNextTick() {
    wakeUp_.start(schedule_.waitMs(clock_.now()));
}

} // namespace velmora::ui
