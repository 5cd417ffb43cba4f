// SPDX-License-Identifier: MIT
#include "session.h"

#include "layout.h"

#include <algorithm>

namespace velmora::ui {

Session::Session(GameView& view, const TickClock& clock) : view_(view), clock_(clock) {}

void Session::fail(const std::string& message) {
    if (failed_) {
        return; // one message; the program is ending already
    }
    failed_ = true;
    stopTimer();
    afterMessage_ = AfterMessage::EndProgram;
    view_.showMessage(message);
}

void Session::showState() {
    redraw_.changed([this](const Shape& place) { view_.repaintPlayfield(place); });
    if (shownScore_ != game_.lblPunti.Caption) {
        shownScore_ = game_.lblPunti.Caption;
        view_.showScore(shownScore_);
    }
}

// The speed box shows what the rules hold: a pick along a history played back, or a state
// put back, may have changed it.
void Session::showSpeedIfChanged(const std::string& shown) {
    if (game_.cmbVel.Text != shown) {
        view_.fillSpeedList(game_.cmbVel.List, game_.cmbVel.Text);
    }
}

void Session::load() {
    run([this] {
        game_.Form_Load();
        view_.fillSpeedList(game_.cmbVel.List, game_.cmbVel.Text);
        view_.showScore(game_.lblPunti.Caption);
    });
}

void Session::watch(SessionWatcher& watcher) {
    if (!activated_) {
        watcher_ = &watcher;
    }
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
        play(game_, Step::activation());
        view_.focusFirstControl();
        if (watcher_ != nullptr) {
            const std::string speedShown = game_.cmbVel.Text;
            watcher_->activated(game_);
            showSpeedIfChanged(speedShown);
        }
        if (!paused_) { // paused before the window appeared: the clock waits
            startTimer();
        }
    });
}

void Session::wake() {
    if (!ticking_) {
        return; // a wake-up already on its way when the timer stopped
    }
    if (const int due = schedule_.due(clock_.now())) {
        runTicks(due, false);
    }
    if (ticking_) { // the tick may have stopped the timer
        view_.wakeIn(schedule_.waitMs(clock_.now()));
    }
}

void Session::tick() {
    runTicks(1, false);
}

// Each tick is a whole tick of the rules; the state is shown once, after the last. The tick
// that ends the game is the last. Slowed down, one clock tick in `divisor_` is the game's.
void Session::runTicks(int count, bool evenIfStopped) {
    if (!ticking_ && !evenIfStopped) {
        return;
    }
    if (game_.gameOver) {
        return; // an ended game shown again: no tick, and no second "Game Over !"
    }
    run([&] {
        std::string speedShown; // only a watcher's steps may change the speed on a tick
        if (watcher_ != nullptr) {
            speedShown = game_.cmbVel.Text;
        }
        for (int n = 0; n < count && !game_.gameOver; ++n) {
            if (evenIfStopped || ++beats_ >= divisor_) {
                beats_ = 0;
                if (watcher_ != nullptr) {
                    watcher_->tick(game_);
                } else {
                    play(game_, Step::tick());
                }
            }
        }
        if (watcher_ != nullptr) {
            showSpeedIfChanged(speedShown);
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
    if (game_.gameOver) {
        return; // the game has ended: its window is only looked at
    }
    run([&] {
        if (watcher_ != nullptr) {
            watcher_->take(game_, input);
        } else {
            play(game_, Step::of(input));
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

void Session::pause() {
    paused_ = true;
    stopTimer();
}

void Session::resume() {
    if (!paused_ || closed_ || failed_ || overShown_ || game_.gameOver) {
        return;
    }
    paused_ = false;
    beats_ = 0;
    if (activated_) {
        startTimer();
    }
}

void Session::step() {
    if (!activated_ || closed_ || overShown_ || game_.gameOver) {
        return;
    }
    runTicks(1, true);
}

void Session::setClockDivisor(int divisor) {
    if (std::find(clockDivisors.begin(), clockDivisors.end(), divisor) != clockDivisors.end()) {
        divisor_ = divisor;
        beats_ = 0;
    }
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

} // namespace velmora::ui
