// SPDX-License-Identifier: MIT
// The cost of the rules: one tick with the whole pyramid standing, and a whole game.
#include "game.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>

using velmora::Game;

namespace {

Game startedGame() {
    Game game;
    game.Form_Load();
    game.Form_Activate();
    return game;
}

// The ball in open field below the pyramid: each tick runs the full 57-brick test and
// hits nothing, the common case while a game plays.
void tickWithFiftySevenBricks(benchmark::State& state) {
    Game game = startedGame();
    for (auto _ : state) {
        if (game.shaP.Top > 6000) {
            game.shaP.Top = 3500; // climb back before the paddle band
        }
        game.Timer_Timer();
        benchmark::DoNotOptimize(game.shaP);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(tickWithFiftySevenBricks);

// Drags the paddle by about `distance` twips as a hand does: a press on it, moves in
// steps that keep the pointer on it, a release.
void dragPaddle(Game& game, double distance) {
    double pointer = velmora::Dbl(game.shaB.Left) + 700;
    game.frame_MouseDown(1, 0, static_cast<float>(pointer), 7700);
    while (std::abs(distance) >= 1) {
        const double step = std::clamp(distance, -600.0, 600.0);
        pointer += step;
        distance -= step;
        game.frame_MouseMove(1, 0, static_cast<float>(pointer), 7700);
    }
    game.frame_MouseUp(1, 0, static_cast<float>(pointer), 7700);
}

// A whole game played by a hand that puts the paddle where the ball will come down, under a
// different third each time, until the pyramid is cleared; then the ball falls.
void wholeGame(benchmark::State& state) {
    long ticks = 0;
    for (auto _ : state) {
        Game game = startedGame();
        int catches = 0;
        for (; !game.gameOver; ++ticks) {
            const bool falling = game.velY > 0;
            if (falling && game.shaP.Top >= 6480 && game.shaP.Top < 6540 &&
                game.punti < velmora::brickCount) {
                const double ticksToPaddle = (7200 - velmora::Dbl(game.shaP.Top)) / game.velY;
                const double centre = game.shaP.Left + 127.5 + game.velX * ticksToPaddle;
                const double third = (catches++ % 3 - 1) * 485.0;
                dragPaddle(game, centre - 727.5 - third - game.shaB.Left);
            }
            game.Timer_Timer();
        }
        benchmark::DoNotOptimize(game.punti);
        state.counters["punti"] = game.punti;
    }
    state.counters["ticks"] =
        benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kAvgIterations);
}
BENCHMARK(wholeGame)->Unit(benchmark::kMicrosecond);

} // namespace
