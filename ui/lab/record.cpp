// SPDX-License-Identifier: MIT
#include "record.h"

#include <algorithm>
#include <charconv>

namespace velmora::ui {

namespace {

std::uint64_t newRevision() {
    static std::uint64_t last = 0;
    return ++last;
}

} // namespace

void Record::start(const Game& game, bool activated) {
    start_ = game;
    activated_ = activated;
    lastTick_ = 0;
    inputs_.clear();
    notes_.clear();
    moments_.assign(1, momentOf(game));
    failing_.reset();
    lastPick_ = -1;
    revision_ = newRevision();
    revisionBefore_ = 0;
    forgotAfter_ = -1;
}

void Record::ticked(const Game& game) {
    ++lastTick_;
    if (lastTick_ % snapshotEvery == 0) {
        moments_.push_back(momentOf(game));
    }
}

bool Record::take(std::int64_t tick, const Input& input, Game& game) {
    const Moment before = momentOf(game);
    const bool newText = input.kind == Input::Kind::Pick && input.text != game.cmbVel.Text;
    try {
        play(game, Step::of(input));
    } catch (const RunTimeError&) {
        forgetAfter(tick);
        failing_ = input;
        throw;
    }
    const Moment after = momentOf(game);
    if (!newText && before == after) {
        return false;
    }
    forgetAfter(tick);
    inputs_.push_back({tick, input});
    if (input.kind == Input::Kind::Pick) {
        lastPick_ = static_cast<std::int32_t>(inputs_.size() - 1);
    }
    return true;
}

void Record::forgetAfter(std::int64_t tick) {
    tick = std::clamp<std::int64_t>(tick, 0, lastTick_);
    failing_.reset();
    const auto later =
        std::upper_bound(inputs_.begin(), inputs_.end(), tick,
                         [](std::int64_t t, const TimedInput& timed) { return t < timed.tick; });
    if (tick == lastTick_ && later == inputs_.end()) {
        return; // nothing after it: the same history
    }
    inputs_.erase(later, inputs_.end());
    std::erase_if(notes_, [&](const Note& note) { return note.tick > tick; });
    moments_.resize(static_cast<std::size_t>(tick / snapshotEvery) + 1);
    lastTick_ = tick;
    lastPick_ = -1;
    for (std::size_t i = inputs_.size(); i-- > 0;) {
        if (inputs_[i].input.kind == Input::Kind::Pick) {
            lastPick_ = static_cast<std::int32_t>(i);
            break;
        }
    }
    revisionBefore_ = revision_;
    revision_ = newRevision();
    forgotAfter_ = tick;
}

void Record::note(std::string text, bool beforeActivation) {
    notes_.push_back({beforeActivation ? -1 : lastTick_, beforeActivation ? 0 : inputs_.size(),
                      std::move(text)});
}

std::span<const TimedInput> Record::inputsAt(std::int64_t tick) const {
    const auto [first, last] =
        std::equal_range(inputs_.begin(), inputs_.end(), TimedInput{tick, {}},
                         [](const TimedInput& a, const TimedInput& b) { return a.tick < b.tick; });
    return {inputs_.data() + (first - inputs_.begin()), static_cast<std::size_t>(last - first)};
}

Game Record::at(std::int64_t tick) const {
    Game game = start_;
    restore(tick, game);
    return game;
}

void Record::restore(std::int64_t tick, Game& game) const {
    tick = std::clamp<std::int64_t>(tick, 0, lastTick_);
    const std::int64_t from = tick / snapshotEvery * snapshotEvery;
    put(moments_[static_cast<std::size_t>(from / snapshotEvery)], game);
    for (const TimedInput& timed : inputsAt(from)) {
        play(game, Step::of(timed.input));
    }
    for (std::int64_t t = from; t < tick; ++t) {
        playNext(t, game);
    }
}

void Record::playNext(std::int64_t tick, Game& game) const {
    play(game, Step::tick());
    for (const TimedInput& timed : inputsAt(tick + 1)) {
        play(game, Step::of(timed.input));
    }
}

Moment Record::momentOf(const Game& game) const {
    Moment moment;
    moment.ballLeft = game.shaP.Left;
    moment.ballTop = game.shaP.Top;
    moment.paddleLeft = game.shaB.Left;
    moment.paddleTop = game.shaB.Top;
    moment.velY = game.velY;
    moment.velX = game.velX;
    moment.intervallo = game.intervallo;
    moment.xPresa = game.xPresa;
    moment.punti = game.punti;
    if (const std::string& caption = game.lblPunti.Caption; caption != start_.lblPunti.Caption) {
        Integer score = 0; // the caption holds what std::to_string wrote of an Integer
        std::from_chars(caption.data(), caption.data() + caption.size(), score);
        moment.score = score;
    }
    moment.gameOver = game.gameOver;
    moment.lastPick = lastPick_;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        if (game.shaX(i).Visible) {
            moment.standing |= std::uint64_t{1} << i;
        }
    }
    return moment;
}

void Record::put(const Moment& moment, Game& game) const {
    game.shaP.Left = moment.ballLeft;
    game.shaP.Top = moment.ballTop;
    game.shaB.Left = moment.paddleLeft;
    game.shaB.Top = moment.paddleTop;
    game.velY = moment.velY;
    game.velX = moment.velX;
    game.intervallo = moment.intervallo;
    game.xPresa = moment.xPresa;
    game.punti = moment.punti;
    game.gameOver = moment.gameOver;
    game.lblPunti.Caption = moment.score ? std::to_string(*moment.score) : start_.lblPunti.Caption;
    game.cmbVel.Text = moment.lastPick < 0
                           ? start_.cmbVel.Text
                           : inputs_[static_cast<std::size_t>(moment.lastPick)].input.text;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        game.shaX(i).Visible = (moment.standing >> i & 1) != 0;
    }
}

} // namespace velmora::ui
