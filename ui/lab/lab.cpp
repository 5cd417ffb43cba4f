// SPDX-License-Identifier: MIT
#include "lab.h"

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

} // namespace velmora::ui
