// SPDX-License-Identifier: MIT
// velmora-sim: plays a game without a window. Reads a script of window events from
// standard input, one command a line (the language is in ui/lab/script.h), plays each step
// as the game window and the lab play it (ui/play/play.h), and prints the game's state after
// each command:
//
//   activate            the window's activation, which builds the pyramid; only before
//                       the first tick or input (without it: the rules alone, one brick)
//   tick [N]            N ball steps (default 1), stopping early at game over
//   down|move|up B X Y  a mouse event on the playfield: button B, position X,Y in twips
//   pick TEXT           the user picks TEXT in the speed box
//   set NAME VALUE      NAME = VALUE, as an assignment in the code (velY, shaP.Left, ...)
//   dump                one line per brick
//   # TEXT              a note: no command
//
// With --explain, each state line is followed by what the command did, as the lab's log
// tells it (ui/lab/explain.h), each line two spaces in; the first, by what Form_Load set,
// and a note where it stands.
//
// The input is read by the lab's reader (ScriptReader), a piece at a time, and each line is
// played as soon as it has been read. Exit status: 0 at the end of the script or after game
// over, 1 on a run-time error of the rules, 2 on bad input or a game longer than the
// longest (mostTicks).

#include "explain.h"
#include "game.h"
#include "play.h"
#include "script.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using velmora::Game;
using velmora::Integer;
namespace ui = velmora::ui;

namespace {

void printBricks(const Game& game) {
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        const velmora::Shape& brick = game.shaX(i);
        std::printf("brick %d %.9g,%.9g,%.9g,%.9g %d\n", i, velmora::Dbl(brick.Left),
                    velmora::Dbl(brick.Top), velmora::Dbl(brick.Width), velmora::Dbl(brick.Height),
                    brick.Visible ? 1 : 0);
    }
}

// Plays one step, writing into `log` what it did if asked; false for a tick refused at game
// over.
bool played(Game& game, const ui::Step& step, ui::Log* log, std::int64_t ticks) {
    if (log == nullptr) {
        return ui::play(game, step);
    }
    const Game before = game; // copied only for the log
    if (!ui::play(game, step)) {
        return false;
    }
    switch (step.kind) {
    case ui::Step::Kind::Activate:
        log->activated(before, game);
        break;
    case ui::Step::Kind::Tick:
        log->ticked(ticks + 1, before, game);
        break;
    case ui::Step::Kind::Input:
        log->took(ticks, step.input, before, game);
        break;
    }
    return true;
}

// Runs one command; returns false when it prints no state line. Throws ScriptError past the
// longest game.
bool run(Game& game, const ui::ScriptLine& line, ui::Log* log, std::int64_t& ticks) {
    const ui::Command& command = line.command;
    switch (command.kind) {
    case ui::Command::Kind::Activate:
        played(game, ui::Step::activation(), log, ticks);
        break;
    case ui::Command::Kind::Tick:
        for (std::int64_t n = 0; n < command.count && !game.gameOver; ++n) {
            if (ticks == ui::mostTicks) {
                throw ui::ScriptError{ui::ScriptError::Kind::TooLong, std::to_string(ui::mostTicks),
                                      line.line, 0};
            }
            if (played(game, ui::Step::tick(), log, ticks)) {
                ++ticks;
            }
        }
        break;
    case ui::Command::Kind::Note:
        if (log != nullptr) {
            log->noted(ticks, command.note);
        }
        return false;
    case ui::Command::Kind::Input:
        played(game, ui::Step::of(command.input), log, ticks);
        break;
    case ui::Command::Kind::Dump:
        printBricks(game);
        return false;
    }
    return true;
}

void printLog(ui::Log& log) {
    for (const ui::Entry& entry : log.entries()) {
        const std::string lines = ui::text(entry);
        for (std::size_t at = 0; at < lines.size();) {
            const std::size_t end = lines.find('\n', at);
            std::printf("  %s\n", lines.substr(at, end - at).c_str());
            at = end + 1;
        }
    }
    log.clear();
}

// The next piece of the script, NULs and all: up to a '\n', so that a line typed is played at
// once, or 64 KB; empty at the end of the input.
std::size_t readPiece(std::string& piece) {
    piece.clear();
    for (int c = 0; piece.size() < (1 << 16) && c != '\n' && (c = std::getc(stdin)) != EOF;) {
        piece += static_cast<char>(c);
    }
    return piece.size();
}

} // namespace

int main(int argc, char** argv) {
    const bool explain = argc == 2 && std::strcmp(argv[1], "--explain") == 0;
    if (argc > 1 && !explain) {
        std::fprintf(stderr, "usage: velmora-sim [--explain] < script\n");
        return 2;
    }
    ui::Log log;
    ui::Log* const logged = explain ? &log : nullptr;
    Game game;
    game.Form_Load();
    std::printf("%s\n", ui::stateLine(game).c_str());
    if (explain) {
        log.loaded(Game{}, game);
        printLog(log);
    }

    std::int64_t ticks = 0; // since the start, as the log counts them
#ifdef _WIN32
    // The script's bytes as they are, as the lab reads a file: in text mode Windows' C library
    // would turn "\r\n" into "\n" and end the input at a Ctrl+Z.
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    ui::ScriptReader reader;
    std::string piece;
    while (true) {
        const std::size_t count = readPiece(piece);
        if (count > 0) {
            reader.feed(piece);
        } else if (std::ferror(stdin)) {
            std::fprintf(stderr, "velmora-sim: cannot read the script: %s\n", std::strerror(errno));
            return 2;
        } else {
            reader.end();
        }
        try {
            while (const std::optional<ui::ScriptLine> line = reader.next()) {
                if (run(game, *line, logged, ticks)) {
                    std::printf("%s\n", ui::stateLine(game).c_str());
                }
                printLog(log);
                if (game.gameOver) {
                    return 0;
                }
            }
        } catch (const ui::ScriptError& bad) {
            printLog(log); // what ran before the refusal
            std::fflush(stdout);
            std::fprintf(stderr, "velmora-sim: line %ld: %s\n", bad.line, bad.reason().c_str());
            return 2;
        } catch (const velmora::RunTimeError& error) {
            printLog(log); // what ran before the error
            std::printf("error: %s\n", error.what());
            return 1;
        }
        if (count == 0) {
            return 0;
        }
    }
}
