// SPDX-License-Identifier: MIT
// The cost of the rules: one tick with the whole pyramid standing, and a whole game; and
// the lab's: a tick restored from a record, and the memory a long record takes.
#include "explain.h"
#include "game.h"
#include "record.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

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

void wholeGame(benchmark::State& state) {
    long ticks = 0;
    for (auto _ : state) {
        Game game = startedGame();
        ticks += playWholeGame(
            game, [&](const velmora::ui::Input& input) { velmora::ui::apply(game, input); }, [] {});
        benchmark::DoNotOptimize(game.punti);
        state.counters["punti"] = game.punti;
    }
    state.counters["ticks"] =
        benchmark::Counter(static_cast<double>(ticks), benchmark::Counter::kAvgIterations);
}
BENCHMARK(wholeGame)->Unit(benchmark::kMicrosecond);

// The lab's record of the whole game above.
velmora::ui::Record recordedWholeGame() {
    velmora::ui::Record record;
    Game game = startedGame();
    record.start(game);
    playWholeGame(
        game, [&](const velmora::ui::Input& input) { record.take(record.lastTick(), input, game); },
        [&] { record.ticked(game); });
    return record;
}

// One tick of the recorded game restored, as the lab's slider does: the tick's snapshot,
// then up to 31 ticks and their inputs. At random ticks, and at the worst: 31 to replay.
void restoreATick(benchmark::State& state) {
    const velmora::ui::Record record = recordedWholeGame();
    std::mt19937 random(1);
    std::vector<std::int64_t> ticks(4096);
    for (std::int64_t& tick : ticks) {
        tick = std::uniform_int_distribution<std::int64_t>(0, record.lastTick())(random);
        if (state.range(0) == 1) {
            tick = tick / 32 * 32 + 31;
        }
    }
    Game game = record.atStart();
    std::size_t next = 0;
    for (auto _ : state) {
        record.restore(ticks[next++ % ticks.size()], game);
        benchmark::DoNotOptimize(game.shaP);
    }
    state.counters["ticks"] = static_cast<double>(record.lastTick());
    state.counters["inputs"] = static_cast<double>(record.inputs().size());
}
BENCHMARK(restoreATick)->Arg(0)->Arg(1)->ArgName("worst");

#if defined(__GLIBC__)
// Allocated from the heap and, for large blocks, mapped on their own.
double megabytesInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / 1e6;
}

// A game of 1,000,000 ticks left alone: after the first bounce, a pick of 0 leaves the ball
// going from wall to wall for ever. The record's memory, and the lab's log of it.
void millionTickRecord(benchmark::State& state) {
    for (auto _ : state) {
        const double before = megabytesInUse();
        velmora::ui::Record record;
        Game game = startedGame();
        record.start(game);
        for (int tick = 1; tick <= 1'000'000; ++tick) {
            game.Timer_Timer();
            record.ticked(game);
            if (tick == 83) {
                record.take(tick, velmora::ui::Input::pick("0"), game);
            }
        }
        const double recorded = megabytesInUse();
        velmora::ui::Explainer explainer;
        explainer.follow(record, record.lastTick());
        state.counters["record_MB"] = recorded - before;
        state.counters["log_MB"] = megabytesInUse() - recorded;
        state.counters["log_entries"] = static_cast<double>(explainer.log().entries().size());
    }
}
BENCHMARK(millionTickRecord)->Unit(benchmark::kMillisecond)->Iterations(1);
#endif

} // namespace
