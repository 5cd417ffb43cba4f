// SPDX-License-Identifier: MIT
// The script language of velmora-sim, read, played and written, and the state line it
// prints. The simulator and the lab's page read and play one language the same way: a script
// is one showing of the game window, played step by step by `play` (play.h).
//
//   activate            the window's activation (the first builds the pyramid)
//   tick [N]            N ball steps (default 1), stopping early at game over
//   down|move|up B X Y  a mouse event on the playfield: button B, position X,Y in twips
//   pick TEXT           the user picks TEXT in the speed box (the rest of the line)
//   dump                one line per brick
//
// Blank lines and lines starting with '#' are no command. The window activates once, as it
// appears: "activate" stands before the first tick or input, or nowhere. A script without it
// plays the rules alone, in a window that never appeared: the design-time brick, no pyramid.
#pragma once

#include "game.h"
#include "play.h"
#include "record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ui {

struct Command {
    enum class Kind { Activate, Tick, Input, Dump };
    Kind kind = Kind::Activate;
    std::int64_t count = 1; // Tick: how many
    ui::Input input;        // Input
};

// What is wrong with a script, and where. `word` is the word the reason quotes.
struct ScriptError {
    enum class Kind {
        NotAWholeNumber,   // "'W' is not a whole number"
        TickCountBelowOne, // "tick count must be at least 1"
        ButtonOutOfRange,  // "button value W is out of range"
        NotADecimalNumber, // "'W' is not a decimal number"
        MissingWords,      // "missing words after 'W'"
        ExtraWords,        // "extra words after 'W'"
        UnknownCommand,    // "unknown command 'W'"
        TooLong,           // "a game has at most W ticks" (playScript)
        LateActivate,      // "'activate' must come before the first tick or input"
    };
    Kind kind = Kind::UnknownCommand;
    std::string word;
    long line = 0; // counted from 1; 0 while the line is not known yet

    std::string reason() const;          // in English, as velmora-sim prints it
    std::string reasonInItalian() const; // the same, for the page: "riga N: " + this
};

// Reads one line (its '\r', if any, already removed). Returns no command for a blank line or
// a comment; throws ScriptError, with no line number, for a bad one.
std::optional<Command> parseLine(std::string_view line);

// Reads a script a line at a time, as velmora-sim reads its input, with the checks that
// need the lines before: a late "activate" is refused. Throws ScriptError with the line.
class ScriptReader {
  public:
    std::optional<Command> next(std::string_view line);
    long line() const { return line_; } // the last line read, counted from 1

  private:
    long line_ = 0;
    bool begun_ = false; // a tick or an input has been read
};

struct ScriptLine {
    long line; // where the command stands in the text
    Command command;
};
using Script = std::vector<ScriptLine>;

// Reads a whole script (lines end in "\n" or "\r\n"); throws ScriptError at its first bad line.
Script parseScript(std::string_view text);

// The longest game a script may hold: over 43 hours at 64 ticks a second.
inline constexpr std::int64_t mostTicks = 10'000'000;

// The game of a script, played as the game window plays it, into a record: "dump" changes
// nothing; it ends at game over. An input that raises a run-time error ends it too, kept as
// the record's `failingInput()`; a tick that raises one ends it before that tick (which
// raises it again when the session plays it). Throws ScriptError past `longest` ticks.
Record playScript(const Script& script, std::int64_t longest = mostTicks);

// The state as velmora-sim prints it after each command, without the line's end:
//   velY=60 velX=0 xPresa=0 punti=0 score="" ball=8280,2280 paddle=7080,7560 bricks=1:1 over=0
std::string stateLine(const Game& game);

// The command as a line of the script: "down 1 7800 7700", "pick 200", "tick 82".
std::string commandLine(const Command& command);

// The record's history as a script: "activate" (if the window appeared), then its inputs with "tick
// N" between them, then the ticks after the last one; velmora-sim replays it to the same states,
// bit for bit.
std::string writeScript(const Record& record);

} // namespace velmora::ui
