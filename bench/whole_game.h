// SPDX-License-Identifier: MIT
// A whole game played by a scripted hand, for the benchmarks and for the lab's measurements
// (bench/write_whole_game.cpp writes it as a script, bench/whole_game.txt).
#pragma once

#include "game.h"
#include "record.h"

#include <algorithm>
#include <cmath>

namespace velmora::bench {

using velmora::Game;

inline Game startedGame() {
    Game game;
    game.Form_Load();
    game.Form_Activate();
    return game;
}

// Drags the paddle by about `distance` twips as a hand does: a press on it, moves in
// steps that keep the pointer on it, a release. Each event goes to `take`.
template <typename Take> void dragPaddle(const Game& game, double distance, Take&& take) {
    using velmora::ui::Input;
    double pointer = velmora::Dbl(game.shaB.Left) + 700;
    take(Input::mouse(Input::Kind::Down, 1, static_cast<float>(pointer), 7700));
    while (std::abs(distance) >= 1) {
        const double step = std::clamp(distance, -600.0, 600.0);
        pointer += step;
        distance -= step;
        take(Input::mouse(Input::Kind::Move, 1, static_cast<float>(pointer), 7700));
    }
    take(Input::mouse(Input::Kind::Up, 1, static_cast<float>(pointer), 7700));
}

// A whole game played by a hand that puts the paddle where the ball will come down, under a
// different third each time, until the pyramid is cleared; then the ball falls. The hand's
// inputs go to `take`, and `ticked` hears of each tick.
template <typename Take, typename Ticked>
long playWholeGame(Game& game, Take&& take, Ticked&& ticked) {
    long ticks = 0;
    int catches = 0;
    for (; !game.gameOver; ++ticks) {
        const bool falling = game.velY > 0;
        if (falling && game.shaP.Top >= 6480 && game.shaP.Top < 6540 &&
            game.punti < velmora::brickCount) {
            const double ticksToPaddle = (7200 - velmora::Dbl(game.shaP.Top)) / game.velY;
            const double centre = game.shaP.Left + 127.5 + game.velX * ticksToPaddle;
            const double third = (catches++ % 3 - 1) * 485.0;
            dragPaddle(game, centre - 727.5 - third - game.shaB.Left, take);
        }
        game.Timer_Timer();
        ticked();
    }
    return ticks;
}

// The lab's record of the whole game above.
inline velmora::ui::Record recordedWholeGame() {
    velmora::ui::Record record;
    Game game = startedGame();
    record.start(game);
    playWholeGame(
        game, [&](const velmora::ui::Input& input) { record.take(record.lastTick(), input, game); },
        [&] { record.ticked(game); });
    return record;
}

} // namespace velmora::bench
