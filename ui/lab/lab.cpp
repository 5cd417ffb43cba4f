// SPDX-License-Identifier: MIT
#include "lab.h"

#include "explain.h"
#include "script.h"

#include <algorithm>
#include <utility>

namespace velmora::ui {

void Lab::attach(Session& session) {
    session_ = &session;
    shown_ = 0;
    session.watch(*this);
}

void Lab::keep(Session& session) {
    record_ = Record{};
    playing_ = false;
    attach(session);
}

void Lab::play(Session& session, Record record) {
    record_ = std::move(record);
    playing_ = true;
    attach(session);
}

void Lab::activated(Game& game) {
    if (playing_) {
        game = record_.atStart();
        record_.restore(0, game);
        session_->pause();
    } else {
        record_.start(game);
    }
}

void Lab::tick(Game& game) {
    if (shown_ < record_.lastTick()) {
        record_.playNext(shown_, game);
    } else if (const Input* failing = record_.failingInput()) {
        ui::play(game, Step::of(*failing)); // the history ends where the rules raised an error
    } else if (record_.lastTick() == mostTicks) {
        session_->pause(); // a tick more and "Salva la partita" would write a script none reads
        return;
    } else {
        ui::play(game, Step::tick());
        record_.ticked(game);
    }
    ++shown_;
}

void Lab::take(Game& game, const Input& input) {
    record_.take(shown_, input, game);
}

void Lab::pause() {
    if (session_ != nullptr) {
        session_->pause();
    }
}

void Lab::resume() {
    if (session_ != nullptr) {
        session_->resume();
    }
}

void Lab::stepForward() {
    if (session_ == nullptr) {
        return;
    }
    // Along the history a step only shows the next tick, as the slider would: stepping onto
    // the fall shows the game as it ended, without "Game Over !" again. At its end the step
    // is a new tick, live, and may end the game.
    if (shown_ < record_.lastTick() || session_->isClosed()) {
        showTick(shown_ + 1);
    } else {
        session_->step();
    }
}

void Lab::stepBack() {
    showTick(shown_ - 1);
}

void Lab::showTick(std::int64_t tick) {
    if (session_ == nullptr) {
        return;
    }
    session_->restore([&](Game& game) {
        shown_ = std::clamp<std::int64_t>(tick, 0, record_.lastTick());
        record_.restore(shown_, game);
    });
}

namespace {

// The brick a tick knocked out, or -1.
Integer knockedOut(const Game& before, const Game& after) {
    const Integer bricks = std::min(before.shaX.Count(), after.shaX.Count());
    for (Integer i = 0; i < bricks; ++i) {
        if (before.shaX(i).Visible && !after.shaX(i).Visible) {
            return i;
        }
    }
    return -1;
}

} // namespace

std::optional<Judgement> judge(const Prediction& prediction, const Event& event) {
    if (event.kind != Event::Kind::Turn) {
        return std::nullopt;
    }
    return Judgement{prediction.velX == event.velX, prediction.velY == event.velY,
                     prediction.brick == event.brick};
}

Event Lab::runToNextEvent() {
    return runOn(true);
}

Event Lab::runToNextTurn() {
    return runOn(false);
}

// The search plays ahead on a copy of the game shown, tick by tick as the session would.
// What it finds along the history is then shown as the slider shows it; past the history's
// end the ticks that only move the ball are recorded as they are found, and the last one is
// played by the session, so that a fall ends the game as a played fall does.
Event Lab::runOn(bool toInputs) {
    Event event;
    event.tick = shown_;
    if (session_ == nullptr || session_->hasFailed()) {
        return event;
    }
    pause();
    const bool live = !session_->isClosed(); // a closed window plays no more ticks
    Game game = session_->game();
    std::int64_t tick = shown_;
    bool playLast = false; // the last tick, or the failing input, is the session's to play
    for (std::int64_t searched = 0;; ++searched) {
        const bool along = tick < record_.lastTick();
        if (searched == eventSearch) {
            event.kind = Event::Kind::Bound;
            break;
        }
        if (!along && (!live || game.gameOver || tick == mostTicks)) {
            event.kind = Event::Kind::End;
            break;
        }
        if (!along && record_.failingInput() != nullptr) {
            event.kind = Event::Kind::Input;
            playLast = true;
            break;
        }
        const Game before = game;
        try {
            ui::play(game, Step::tick());
        } catch (const RunTimeError&) {
            // A value out of range meets the rules: the session plays the tick, which ends
            // Velmora with its message, as it would have played.
            event.kind = Event::Kind::End;
            playLast = true;
            break;
        }
        ++tick;
        event.why = whyTurned(before, game);
        if (!event.why.empty()) {
            event.kind = Event::Kind::Turn;
            event.velX = game.velX;
            event.velY = game.velY;
            event.brick = knockedOut(before, game);
            playLast = !along;
            break;
        }
        if (!along) {
            record_.ticked(game);
            continue;
        }
        const std::span<const TimedInput> inputs = record_.inputsAt(tick);
        if (toInputs && !inputs.empty()) {
            event.kind = Event::Kind::Input;
            break;
        }
        for (const TimedInput& timed : inputs) {
            ui::play(game, Step::of(timed.input));
        }
    }
    if (playLast) {
        showTick(record_.lastTick());
        session_->step();
    } else {
        showTick(tick);
    }
    event.tick = shown_;
    return event;
}

} // namespace velmora::ui
