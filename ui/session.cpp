// SPDX-License-Identifier: MIT
#include "session.h"

#include "layout.h"
#include "record.h"

#include <algorithm>
#include <new>

namespace velmora::ui {

// The sequences every front end runs reach the lab's side only through `lab_`, which only
// keepRecord() and playRecord() set: a front end that never calls them links none of it,
// nor any of the record's code.
class Session::Lab {
  public:
    virtual ~Lab() = default;
    virtual void activated(Session& session) const { session.labActivated(); }
    virtual bool tickDue(Session& session) const { return session.labTickDue(); }
    virtual void tick(Session& session) const { session.labTick(); }
    virtual void take(Session& session, const Input& input) const { session.labTake(input); }
};

Session::Session(GameView& view, const TickClock& clock) : view_(view), clock_(clock) {}

// Runs one event's whole work, the showing of the new state included. Whatever it throws
// ends the program here, with a message. After a failure nothing more runs.
template <typename Work> void Session::run(Work&& work) {
    if (failed_) {
        return;
    }
    try {
        work();
        showState();
    } catch (const RunTimeError& error) {
        fail(describeInItalian(error.kind()));
    } catch (const std::bad_alloc&) {
        fail(outOfMemory);
    } catch (...) {
        fail(internalError);
    }
}

void Session::fail(const char* description) {
    failed_ = true;
    stopTimer();
    afterMessage_ = AfterMessage::EndProgram;
    view_.showMessage(std::string(runTimeErrorMessage) + description);
}

void Session::showState() {
    redraw_.changed([this](const Shape& place) { view_.repaintPlayfield(place); });
    if (shownScore_ != game_.lblPunti.Caption) {
        shownScore_ = game_.lblPunti.Caption;
        view_.showScore(shownScore_);
    }
}

void Session::load() {
    run([this] {
        game_.Form_Load();
        view_.fillSpeedList(game_.cmbVel.List, game_.cmbVel.Text);
        view_.showScore(game_.lblPunti.Caption);
    });
}

// The pyramid is built, and the timer started, when the window first appears, so the
// first tick always finds the pyramid standing. The timer then runs until the window goes:
// minimising, covering or moving the window does not stop the game.
void Session::activate() {
    if (activated_) {
        return;
    }
    activated_ = true;
    run([this] {
        game_.Form_Activate();
        view_.focusFirstControl();
        startTimer();
    });
    if (lab_ != nullptr) {
        lab_->activated(*this);
    }
}

void Session::wake() {
    if (!ticking_) {
        return; // a wake-up already on its way when the timer stopped
    }
    if (schedule_.due(clock_.now())) {
        tick();
    }
    if (ticking_) { // the tick may have stopped the timer
        view_.wakeIn(schedule_.waitMs(clock_.now()));
    }
}

void Session::tick() {
    if (!ticking_ || (lab_ != nullptr && !lab_->tickDue(*this))) {
        return;
    }
    run([this] {
        if (lab_ != nullptr) {
            lab_->tick(*this);
        } else {
            game_.Timer_Timer();
        }
    });
    endIfOver();
}

void Session::endIfOver() {
    if (game_.gameOver && !failed_ && !overShown_) {
        overShown_ = true;
        stopTimer(); // no tick while the message is open, and none after
        afterMessage_ = AfterMessage::Close;
        view_.showMessage(gameOverMessage);
    }
}

void Session::mouseDown(Integer button, float xTwips, float yTwips) {
    take(Input::mouse(Input::Kind::Down, button, xTwips, yTwips));
}

void Session::mouseMove(Integer button, float xTwips, float yTwips) {
    take(Input::mouse(Input::Kind::Move, button, xTwips, yTwips));
}

void Session::mouseUp(Integer button, float xTwips, float yTwips) {
    take(Input::mouse(Input::Kind::Up, button, xTwips, yTwips));
}

void Session::speedPicked(const std::string& entry) {
    take(Input::pick(entry));
}

void Session::take(const Input& input) {
    run([&] {
        if (lab_ != nullptr) {
            lab_->take(*this, input);
        } else {
            apply(game_, input);
        }
    });
}

void Session::messageDismissed() {
    const AfterMessage after = afterMessage_;
    afterMessage_ = AfterMessage::Nothing;
    switch (after) {
    case AfterMessage::Close:
        view_.closeWindow();
        break;
    case AfterMessage::EndProgram:
        view_.endProgram(1);
        break;
    case AfterMessage::Nothing:
        break;
    }
}

void Session::closing() {
    closed_ = true;
    stopTimer();
}

// The schedule caps the ticks at 64 a second, however often the front end's timer fires.
void Session::startTimer() {
    if (game_.timer.Interval <= 0) {
        return;
    }
    schedule_.start(clock_.now(), game_.timer.Interval);
    ticking_ = true;
    view_.wakeIn(schedule_.waitMs(clock_.now()));
}

void Session::stopTimer() {
    if (ticking_) {
        ticking_ = false;
        view_.stopWaking();
    }
}

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
