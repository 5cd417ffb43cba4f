// SPDX-License-Identifier: MIT
// The rules' source as this build compiled it, and which of its lines ran: what the lab's
// "Codice" shows and `velmora-sim --lines` prints.
//
// The build reads game/*.cpp and writes its text here as a table, and a counted copy of the
// rules, with a count on each line that runs code (as GCC's coverage counts lines). Only the
// programs linked with that copy (velmora_game_counted: velmora-sim and the lab) count; the
// plain game is built from game/ as it stands and counts nothing.
//
//   forget();  ui::play(game, step);  for (const LineRun& run : linesRun()) ...
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace velmora::code {

struct SourceFile {
    std::string_view path;                   // "game/ball.cpp"
    std::span<const std::string_view> lines; // as written; lines[0] is line 1
};
// The files of game/*.cpp, by path.
std::span<const SourceFile> sources();

// A line that ran since the last forget(), and how many times.
struct LineRun {
    std::uint8_t file; // index into sources()
    std::uint16_t line;
    std::uint32_t count;
};
void forget();
std::vector<LineRun> linesRun(); // by file and line

// A condition that chooses what runs next: an `if` or `else if`, on `line` (where it starts),
// and the first line that runs when it is true. Taken `whenTrue`'s count times, and not
// taken the rest of `line`'s count.
struct Condition {
    std::uint8_t file;
    std::uint16_t line;
    std::uint16_t whenTrue;
};
std::span<const Condition> conditions();

// Each function of the files: its name as written ("MuoviPalla", "within"), and its lines,
// from the one that names it to its closing brace.
struct Function {
    std::string_view name;
    std::uint8_t file;
    std::uint16_t first;
    std::uint16_t last;
};
std::span<const Function> functions();

} // namespace velmora::code
