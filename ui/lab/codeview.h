// SPDX-License-Identifier: MIT
// The code that ran on one step of a record's history, as the lab's "Codice" shows it: the
// handler, the lines lit with their counts, each condition tested and how it came out, the
// condition that decided the step, and the locals that decided, beside their lines.
//
// The step is played again on a copy of the game just before it, between code::forget() and
// code::linesRun(), so it lights exactly its own lines and leaves no count behind for anyone
// else. Only a program linked with the counted rules (velmora_game_counted) sees any line.
//
//   const CodeStep code = codeOf(lab.record(), Shown::ofTick(lab.shownTick()));
#pragma once

#include "code.h"
#include "explain.h"
#include "record.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ui {

// One step of the history, as the log names it: the form's load or activation (tick 0), a
// tick's Timer_Timer, or an input of the record's (its index in record.inputs()).
struct Shown {
    enum class Kind { Load, Activate, Tick, Input };
    Kind kind = Kind::Tick;
    std::int64_t tick = 0;
    std::size_t input = 0;

    static Shown ofTick(std::int64_t tick) { return {Kind::Tick, tick, 0}; }
    bool operator==(const Shown&) const = default;
    // What the lab shows at `tick` by default: the tick's Timer_Timer; at tick 0 the
    // activation, or the load of a game never activated.
    static Shown at(const Record& record, std::int64_t tick);
};

// A place in the rules' source: a file of code::sources() and a line of it, from 1.
struct SourceLine {
    std::uint8_t file = 0;
    std::uint16_t line = 0;
    bool operator==(const SourceLine&) const = default;
};

struct CodeStep {
    std::string call; // as the log heads it: "Timer_Timer", "frame_MouseUp(1, 0, 7500, 7000)"
    std::string_view handler; // the function that runs it: "MuoviPalla"; empty for an assignment
    std::vector<code::LineRun> lines; // lit, by file and line
    struct Test {
        SourceLine at;
        std::uint32_t whenTrue = 0;
        std::uint32_t whenFalse = 0;
    };
    std::vector<Test> tests; // each condition tested, by file and line
    // The condition that chose the step's course (the paddle's third, a wall, the ceiling,
    // the brick, the fall, a press on the paddle...), if one did.
    std::optional<SourceLine> decides;
    struct Local {
        SourceLine at;    // the line that declares it
        std::string text; // "ballCentre = 4215"
    };
    std::vector<Local> locals;            // in the order the rules run them
    std::vector<std::string_view> called; // the other functions whose lines ran, in source order
};

// Plays `step` of the record's history again and tells what ran. `step` must be in the
// history: a tick up to record.lastTick(), an input of record.inputs().
CodeStep codeOf(const Record& record, const Shown& step);

// The step an entry of the record's log tells (the last tick of a "Timer_Timer × N"); none
// for a note.
std::optional<Shown> stepOf(const Record& record, const std::vector<Entry>& log, std::size_t entry);
// The entry of the log that tells `step`, if the log holds one.
std::optional<std::size_t> entryOf(const Record& record, const std::vector<Entry>& log,
                                   const Shown& step);

} // namespace velmora::ui
