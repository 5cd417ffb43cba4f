// SPDX-License-Identifier: MIT
// The script language of velmora-sim, read, played and written, and the state line it
// prints. The simulator and the lab's page read and play one language the same way: a script
// is one showing of the game window, played step by step by `play` (play.h).
//
//   activate            the window's activation (the first builds the pyramid)
//   tick [N]            N ball steps (default 1), stopping early at game over
//   down|move|up B X Y  a mouse event on the playfield: button B, position X,Y in twips
//   pick TEXT           the user picks TEXT in the speed box (the rest of the line)
//   set NAME VALUE      NAME = VALUE, as an assignment in the code: velY, velX, intervallo,
//                       xPresa, punti (whole numbers, -32768..32767), shaP.Left, shaP.Top,
//                       shaB.Left, shaB.Top (decimals, read to single), shaX(I).Visible (True
//                       or False; I in 0..56, and a brick the game has not built is the rules'
//                       own run-time error)
//   dump                one line per brick
//   # TEXT              a note: a teacher's words, kept where they stand (no command)
//
// A script is UTF-8 text; a byte order mark at its start is read as nothing, and a line ends
// at "\n", "\r\n" or a lone "\r". A '#' that begins a word begins a comment, which runs to the
// line's end, after any command; a line that is only a comment is a note. So a pick's text
// ends before the blanks of a " #", and a '#' inside a word is text ("pick 6#0"). Blank lines
// are nothing. The window activates once, as it appears: "activate" stands before the first
// tick or input, or nowhere. A script without it plays the rules alone, in a window that never
// appeared: the design-time brick, no pyramid.
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
    enum class Kind { Activate, Tick, Input, Dump, Note };
    Kind kind = Kind::Activate;
    std::int64_t count = 1; // Tick: how many
    ui::Input input;        // Input
    std::string note = {};  // Note: the text after the '#', as written
};

// What is wrong with a script, and where. `word` is the word the reason quotes, shown with
// its invisible characters made visible ("<U+FEFF>") and cut after 40 characters.
struct ScriptError {
    enum class Kind {
        NotAWholeNumber,   // "'W' is not a whole number"
        TickCountBelowOne, // "tick count must be at least 1"
        ButtonOutOfRange,  // "button value W is out of range"
        NotADecimalNumber, // "'W' is not a decimal number"
        NumberOutOfRange,  // "'W' is out of range"
        MissingWords,      // "missing words after 'W'"
        ExtraWords,        // "extra words after 'W'"
        UnknownCommand,    // "unknown command 'W'"
        TooLong,           // "a game has at most W ticks" (playScript, velmora-sim)
        LateActivate,      // "'activate' must come before the first tick or input"
        NotUtf8,           // "not UTF-8 text: byte W at column C"
        Utf16,             // "the script is UTF-16 text: save it as UTF-8"
        NulByte,           // "a NUL byte at column C: a script is text"
        LineTooLong,       // "a line has at most W bytes"
        UnknownName,       // "unknown name 'W': set velY, velX, ... or shaX(I).Visible"
        IntegerOutOfRange, // "'W' is out of range: an Integer holds -32768 to 32767"
        NoSuchBrick,       // "'W' is no brick: the pyramid's are shaX(0) to shaX(56)"
        NotTrueOrFalse,    // "'W' is neither True nor False"
    };
    Kind kind = Kind::UnknownCommand;
    std::string word;
    long line = 0;   // counted from 1; 0 while the line is not known yet
    long column = 0; // NotUtf8, NulByte: the byte's, counted from 1

    std::string reason() const;          // in English, as velmora-sim prints it
    std::string reasonInItalian() const; // the same, for the page: "riga N: " + this
};

// Reads one line of UTF-8 text without its line end. Returns no command for a blank line;
// throws ScriptError, with no line number, for a bad one.
std::optional<Command> parseLine(std::string_view line);

struct ScriptLine {
    long line; // where the command stands in the text
    Command command;
};
using Script = std::vector<ScriptLine>;

// The one reader of the language, for velmora-sim and the lab: it takes the text whole or in
// pieces as they come, splits it into lines, refuses what is not text, and reads each line,
// with the checks that need the lines before: a late "activate" is refused.
//
//   reader.feed(piece) ... reader.end();   while (auto line = reader.next()) ...
//
// next() gives the commands and notes of the lines read whole so far, one at a time, and
// throws ScriptError, with the line, at the first bad one.
class ScriptReader {
  public:
    void feed(std::string_view piece);
    void end(); // no more text: the last line needs no line end
    std::optional<ScriptLine> next();

  private:
    std::string text_;         // what is fed and not yet read
    std::size_t read_ = 0;     // of text_
    std::size_t searched_ = 0; // after read_: the bytes known to hold no line end
    bool ended_ = false;
    bool started_ = false; // the byte order mark, if any, has been passed
    bool afterCr_ = false; // the last line ended in '\r': a '\n' next is its end too
    long line_ = 0;
    bool begun_ = false; // a tick or an input has been read
};

// Reads a whole script; throws ScriptError at its first bad line.
Script parseScript(std::string_view text);

// The longest line, in bytes: a line is held whole until it ends, and one that never ends
// must not take all of velmora-sim's memory. The lab opens no file over 1 MB: only
// velmora-sim meets it.
inline constexpr std::size_t longestLine = 1 << 20;

// The longest game a script may hold (and the lab records): 26 minutes at 64 ticks a second,
// 7.9 times the whole game of bench/whole_game.txt. The lab in a browser opens one and shows
// its last tick, whose log it writes whole, within a second (README, the script language).
inline constexpr std::int64_t mostTicks = 100'000;

// The game of a script, played as the game window plays it, into a record with its notes:
// "dump" changes nothing; it ends at game over (the notes after it are kept). An input that
// raises a run-time error ends it too, kept as the record's `failingInput()`; a tick that
// raises one ends it before that tick (which raises it again when the session plays it).
// Throws ScriptError past `longest` ticks.
Record playScript(const Script& script, std::int64_t longest = mostTicks);

// The state as velmora-sim prints it after each command, without the line's end:
//   velY=60 velX=0 xPresa=0 punti=0 score="" ball=8280,2280 paddle=7080,7560 bricks=1:1 over=0
std::string stateLine(const Game& game);

// The command as a line of the script: "down 1 7800 7700", "pick 200", "tick 82",
// "set shaX(3).Visible False".
std::string commandLine(const Command& command);

// An assignment's two sides as the code writes them: "shaX(3).Visible" and "False", "velX"
// and "30", "shaP.Left" and "8280.5".
std::string nameOf(const Assignment& assignment);
std::string valueOf(const Assignment& assignment);

// The record's history as a script: "activate" (if the window appeared), then its inputs with "tick
// N" between them, then the ticks after the last one, and each note where it stands;
// velmora-sim replays it to the same states, bit for bit. Read and written again, it is the
// same text.
std::string writeScript(const Record& record);

} // namespace velmora::ui
