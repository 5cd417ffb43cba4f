// SPDX-License-Identifier: MIT
// The session's controls for the lab: the record attached, pause and resume, steps and the
// tick shown.
#include "record.h"
#include "sessionwork.h"

#include <algorithm>

namespace velmora::ui {

// The lab. The game at the tick shown is always the record's game at that tick: each step
// either plays the history's next tick and its inputs, or a live tick that extends it.

void Session::keepRecord(Record& record) {
    static const Lab lab;
    if (!activated_) {
        lab_ = &lab;
        record_ = &record;
        playing_ = false;
    }
}

void Session::playRecord(Record& record) {
    keepRecord(record);
    if (!activated_) {
        playing_ = true;
    }
}

void Session::labActivated() {
    if (failed_) {
        return;
    }
    if (playing_) {
        game_ = record_->atStart();
        paused_ = true;
        labShow(0);
    } else {
        record_->start(game_);
    }
    if (paused_) { // paused before the window appeared, or a game to play back
        stopTimer();
    }
}

void Session::pause() {
    if (record_ != nullptr) {
        paused_ = true;
        stopTimer();
    }
}

void Session::resume() {
    if (record_ == nullptr || !paused_ || closed_ || failed_ || overShown_) {
        return;
    }
    paused_ = false;
    beats_ = 0;
    startTimer();
}

void Session::setClockDivisor(int divisor) {
    if (divisor == 1 || divisor == 2 || divisor == 4 || divisor == 8) {
        divisor_ = divisor;
        beats_ = 0;
    }
}

// Of the timer's ticks, one in `divisor_` is the game's.
bool Session::labTickDue() {
    if (++beats_ < divisor_) {
        return false;
    }
    beats_ = 0;
    return true;
}

void Session::labTick() {
    const std::string speedShown = game_.cmbVel.Text;
    if (shown_ < record_->lastTick()) {
        record_->playNext(shown_, game_);
    } else if (const Input* failing = record_->failingInput()) {
        apply(game_, *failing); // the history ends where the rules raised an error
    } else {
        game_.Timer_Timer();
        record_->ticked(game_);
    }
    ++shown_;
    if (game_.cmbVel.Text != speedShown) { // a pick along the history
        view_.fillSpeedList(game_.cmbVel.List, game_.cmbVel.Text);
    }
}

// A player's input at a past tick starts a new history there, if it changes the game.
void Session::labTake(const Input& input) {
    record_->take(shown_, input, game_);
}

void Session::stepForward() {
    if (record_ == nullptr || failed_) {
        return;
    }
    if (closed_) { // the window has gone: only its history is left to look at
        labShow(shown_ + 1);
        return;
    }
    if (overShown_) {
        return;
    }
    run([this] { labTick(); });
    endIfOver();
}

void Session::stepBack() {
    labShow(shown_ - 1);
}

void Session::showTick(std::int64_t tick) {
    labShow(tick);
    if (!closed_) {
        endIfOver(); // the last tick of a game that ended ends this one too
    }
}

void Session::labShow(std::int64_t tick) {
    if (record_ == nullptr || failed_ || (overShown_ && !closed_)) {
        return;
    }
    run([&] {
        const std::string speedShown = game_.cmbVel.Text;
        shown_ = std::clamp<std::int64_t>(tick, 0, record_->lastTick());
        record_->restore(shown_, game_);
        if (game_.cmbVel.Text != speedShown) {
            view_.fillSpeedList(game_.cmbVel.List, game_.cmbVel.Text);
        }
    });
}

} // namespace velmora::ui
