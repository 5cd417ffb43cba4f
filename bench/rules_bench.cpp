// SPDX-License-Identifier: MIT
// The cost of the rules: one tick with the whole pyramid standing, and a whole game; and
// the lab's: a tick restored from a record, and the memory a long record takes.
#include "explain.h"
#include "game.h"
#include "record.h"
#include "whole_game.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

using velmora::Game;
using namespace velmora::bench;

namespace {

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
