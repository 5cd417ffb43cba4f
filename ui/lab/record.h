// SPDX-License-Identifier: MIT
// The lab's record of one showing of the game window: the game at tick 0 (just activated,
// the pyramid built), each input of the player's with its tick, and the number of ticks.
// Every 32 ticks it keeps a small snapshot (`Moment`), so that any tick is restored by
// replaying at most 31 ticks from the one before it.
//
// Ticks are counted from the activation: tick 0 is the pyramid just built (or, for a script
// that never activates the window, the game as loaded), tick t the game after t ticks and
// after every input recorded at tick t (an input's tick is the number of ticks that ran
// before it). Only inputs that changed the game are recorded: a hover in the past does not
// destroy the future. Every step is played by `play` (play.h), as the session plays it.
//
// The lab (lab.h) keeps one as the session plays, or plays back one that a script made
// (playScript, script.h); the log (explain.h) and "Salva la partita" (writeScript) read it.
#pragma once

#include "game.h"
#include "play.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace velmora::ui {

// What changes in a game after its activation, in a few bytes: the ball's Left and Top, the
// paddle's Left and Top, the five integers, the score the caption shows, which bricks stand
// (bit i: shaX(i).Visible), whether the game is over, and which of the record's inputs last
// set the speed box's text. Everything else stays as the activation left it.
struct Moment {
    float ballLeft = 0;
    float ballTop = 0;
    float paddleLeft = 0;
    float paddleTop = 0; // only an assignment moves it
    Integer velY = 0;
    Integer velX = 0;
    Integer intervallo = 0;
    Integer xPresa = 0;
    Integer punti = 0;
    // What lblPunti.Caption shows: the score the last brick wrote, none for the loaded caption.
    // It follows `punti` but for an assignment to punti, which writes no caption.
    std::optional<Integer> score;
    bool gameOver = false;
    std::int32_t lastPick = -1; // the input whose text cmbVel.Text shows; -1: the loaded text
    std::uint64_t standing = 0;
    static_assert(brickCount <= 64, "a bit of `standing` for each brick");

    bool operator==(const Moment&) const = default;
};
static_assert(std::is_trivially_copyable_v<Moment>);

struct TimedInput {
    std::int64_t tick;
    Input input;
};

// A teacher's note, a comment line of a script: it stands after `tick` ticks (-1: before the
// window's activation) and after the record's first `inputs` inputs.
struct Note {
    std::int64_t tick;
    std::size_t inputs;
    std::string text;
};

class Record {
  public:
    static constexpr std::int64_t snapshotEvery = 32;

    // Starts the record at tick 0 with `game`, just activated, or loaded and never to be
    // activated (`activated` false: a script of the rules alone); forgets any earlier one.
    void start(const Game& game, bool activated = true);
    bool activated() const { return activated_; }

    // One more tick ran on the game at the record's last tick.
    void ticked(const Game& game);

    // Plays `input` on `game`, which is the record's game at `tick`. If it changed the
    // game, the history after `tick` is forgotten and the input recorded at `tick`: returns
    // true. A run-time error is recorded as `failingInput()`, then passed on.
    bool take(std::int64_t tick, const Input& input, Game& game);

    // Starts a new history at `tick`: the ticks, inputs and notes after it are forgotten
    // (inputs and notes at `tick` are kept), and so is a failing input.
    void forgetAfter(std::int64_t tick);

    // A note at the history's end, or before the activation.
    void note(std::string text, bool beforeActivation = false);
    const std::vector<Note>& notes() const { return notes_; } // in the order they stand

    std::int64_t lastTick() const { return lastTick_; }
    const Game& atStart() const { return start_; }
    const std::vector<TimedInput>& inputs() const { return inputs_; }
    std::span<const TimedInput> inputsAt(std::int64_t tick) const;
    // The input after the last tick's that raised a run-time error, if the history ends so.
    const Input* failingInput() const { return failing_ ? &*failing_ : nullptr; }
    // The history's number, which no other history of any record has: a log built from
    // the record is built again when it changes. A new history from forgetAfter() keeps the
    // number it came from, and the tick it began after.
    std::uint64_t revision() const { return revision_; }
    std::uint64_t revisionBefore() const { return revisionBefore_; }
    std::int64_t forgotAfter() const { return forgotAfter_; }

    // The game at `tick` (0..lastTick()): a copy of the game at tick 0, restored.
    Game at(std::int64_t tick) const;
    // Puts `game`, a game of this record (it came from atStart() or from at()), at `tick`.
    void restore(std::int64_t tick, Game& game) const;
    // Plays the history's next tick on `game`, the game at `tick` (< lastTick()): the tick,
    // then the inputs recorded at the tick after.
    void playNext(std::int64_t tick, Game& game) const;

  private:
    Moment momentOf(const Game& game) const;
    void put(const Moment& moment, Game& game) const;

    Game start_;
    bool activated_ = true;
    std::int64_t lastTick_ = 0;
    std::vector<TimedInput> inputs_; // in the order taken, so by tick
    std::vector<Note> notes_;
    std::vector<Moment> moments_; // moments_[k]: tick k * snapshotEvery, before its inputs
    std::optional<Input> failing_;
    std::int32_t lastPick_ = -1; // of the game at the last tick
    std::uint64_t revision_ = 0;
    std::uint64_t revisionBefore_ = 0;
    std::int64_t forgotAfter_ = -1;
};

} // namespace velmora::ui
