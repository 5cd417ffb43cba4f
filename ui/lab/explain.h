// SPDX-License-Identifier: MIT
// What happened in the game, as the lab tells it: the comparison of two states, the Italian
// sentence that says why a tick turned the ball, and a log of the handlers that ran.
//
// One entry of the log, as text (velmora-sim --explain prints each line after two spaces):
//   tick 0: Form_Load
//     velY: 0 → 60
//     ...
//   tick 0: Form_Activate
//     shaX.Count: 1 → 57
//   tick 1–82: Timer_Timer × 82
//   tick 83: Timer_Timer
//     velY: 60 → -60
//     velX: 0 → 30
//     La palla cade sul terzo destro della racchetta: ...
//   tick 83: frame_MouseDown(1, 0, 7800, 7700)
//     xPresa: 0 → 7800
//   tick 83: velX = 30
//     velX: 0 → 30
//   tick 83: Nota: il primo rimbalzo
// The heading gives the tick the handler ran on (a tick's own number, from 1; an input's,
// the ticks before it; the form's load and activation, 0), then one line for each change,
// `name: old → new`, and the why. The log begins as the game does, with Form_Load.
// Ticks that only move the ball are one entry, "Timer_Timer × N"; the ball's move is never
// listed among a tick's changes. An input that changed nothing is no entry. A teacher's note
// in the record is an entry "Nota: ..." where it stands.
#pragma once

#include "game.h"
#include "play.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ui {

class Record;

struct Change {
    std::string name; // as the code names it: "velY", "shaX(12).Visible", "cmbVel.Text"
    std::string before;
    std::string after;
};

// Every difference between two states of one game, in a fixed order: velY, velX, intervallo,
// timer.Interval, xPresa, punti, lblPunti.Caption, cmbVel.List, cmbVel.Text, shaP.Left,
// shaP.Top, shaB.Left, shaB.Top, each brick's Visible, shaX.Count, gameOver. Numbers as the state
// line prints them, texts in quotes, a list in braces: {"20", "40"}.
std::vector<Change> compare(const Game& before, const Game& after);

// Why the tick from `before` to `after` turned the ball (velX or velY changed) or ended the
// game, in one Italian sentence: the wall, the ceiling, the paddle's third, the brick or the
// fall. Empty when the ball went straight on. Worked out from the two states and the
// playfield's geometry.
std::string whyTurned(const Game& before, const Game& after);

struct Entry {
    std::int64_t tick = 0;  // the tick it ran on; for "× N", the last of the N
    std::string call;       // "Timer_Timer", "frame_MouseUp(1, 0, 7500, 7000)", "cmbVel_Click"
    std::int64_t times = 1; // ticks in one "Timer_Timer × N"
    std::vector<Change> changes;
    std::string why;
};

// The entry as text: its heading, then each change and the why on a line of their own,
// two spaces in; lines end in "\n", the last one included.
std::string text(const Entry& entry);

// The handler an input runs, with its arguments: "frame_MouseDown(1, 0, 7800, 7700)"; for an
// assignment, as the code writes it: "velX = 30".
std::string callOf(const Input& input);
// The handler alone: "frame_MouseDown"; empty for an assignment, which runs none.
std::string_view handlerOf(const Input& input);

class Log {
  public:
    // Tick 0: what Form_Load set, as changes from a blank game (`Game{}`), always an entry;
    // then what the activation changed, if anything.
    void loaded(const Game& before, const Game& after);
    void activated(const Game& before, const Game& after);
    void ticked(std::int64_t tick, const Game& before, const Game& after);
    void took(std::int64_t tick, const Input& input, const Game& before, const Game& after);
    void noted(std::int64_t tick, const std::string& note); // none for a note with no words
    // Drops what ran after the tick `tick` itself: the inputs taken and notes met at `tick`
    // and the entries of later ticks (a "× N" is cut short).
    void rewind(std::int64_t tick);

    const std::vector<Entry>& entries() const { return entries_; } // oldest first
    void clear() { entries_.clear(); }

  private:
    std::vector<Entry> entries_;
};

// The log of a record's history up to the tick the lab shows, kept up to date a step at a
// time: after each call into the session, follow(record, session.shownTick()). Moving back
// drops entries; a new history (Record::revision) builds the log again.
class Explainer {
  public:
    void follow(const Record& record, std::int64_t tick);
    const Log& log() const { return log_; }

  private:
    void rebuild(const Record& record);
    void rewind(const Record& record, std::int64_t tick);
    void noteUpTo(const Record& record, std::size_t inputs);

    Log log_;
    Game game_;                  // the record's game at tick_, after `inputsDone_` inputs
    std::int64_t tick_ = -1;     // -1: nothing followed yet
    std::size_t inputsDone_ = 0; // the record's inputs the log has explained
    std::size_t notesDone_ = 0;  // and its notes
    std::uint64_t revision_ = 0;
    const Record* record_ = nullptr;
};

} // namespace velmora::ui
