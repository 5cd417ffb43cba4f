// SPDX-License-Identifier: MIT
// The script language of velmora-sim, read and written, and the state line it prints. The
// simulator and the lab's page read and print one language the same way.
//
//   activate            the window's activation (the first builds the pyramid)
//   tick [N]            N ball steps (default 1), stopping early at game over
//   down|move|up B X Y  a mouse event on the playfield: button B, position X,Y in twips
//   pick TEXT           the user picks TEXT in the speed box (the rest of the line)
//   dump                one line per brick
//
// Blank lines and lines starting with '#' are no command.
#pragma once

#include "game.h"
#include "playerinput.h"

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
        TooLong,           // "a game has at most W ticks" (Record::fromScript)
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

struct ScriptLine {
    long line; // where the command stands in the text
    Command command;
};
using Script = std::vector<ScriptLine>;

// Reads a whole script (lines end in "\n" or "\r\n"); throws ScriptError at its first bad line.
Script parseScript(std::string_view text);

// The state as velmora-sim prints it after each command, without the line's end:
//   velY=60 velX=0 xPresa=0 punti=0 score="" ball=8280,2280 paddle=7080,7560 bricks=1:1 over=0
std::string stateLine(const Game& game);

// A number of single precision as the script and the state line print it: %.9g, which reads
// back as the same float.
std::string twipsText(float value);

// The command as a line of the script: "down 1 7800 7700", "pick 200", "tick 82".
std::string commandLine(const Command& command);

class Record;
// The record's history as a script: "activate", then its inputs with "tick N" between them,
// then the ticks after the last one; velmora-sim replays it to the same states, bit for bit.
std::string writeScript(const Record& record);

} // namespace velmora::ui
