// SPDX-License-Identifier: MIT
// velmora-sim: plays a game without a window. Reads a script of window events from
// standard input, one command a line (the language is in ui/script.h), and prints the
// game's state after each command:
//
//   activate            the window's activation (the first builds the pyramid)
//   tick [N]            N ball steps (default 1), stopping early at game over
//   down|move|up B X Y  a mouse event on the playfield: button B, position X,Y in twips
//   pick TEXT           the user picks TEXT in the speed box
//   dump                one line per brick
//
// With --explain, each state line is followed by what the command did, as the lab's log
// tells it (ui/explain.h), each line two spaces in.
//
// Blank lines and lines starting with '#' are skipped. Exit status: 0 at the end of the
// script or after game over, 1 on a run-time error of the rules, 2 on bad input.

#include "explain.h"
#include "game.h"
#include "script.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

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

// Runs one command, writing into `log` what it did if asked; returns false when it prints
// no state line.
bool run(Game& game, const ui::Command& command, ui::Log* log, std::int64_t& ticks) {
    Game before;
    switch (command.kind) {
    case ui::Command::Kind::Activate:
        if (log != nullptr) {
            before = game;
        }
        game.Form_Activate();
        if (log != nullptr) {
            log->activated(before, game);
        }
        break;
    case ui::Command::Kind::Tick:
        for (std::int64_t n = 0; n < command.count && !game.gameOver; ++n) {
            if (log != nullptr) {
                before = game;
            }
            game.Timer_Timer();
            ++ticks;
            if (log != nullptr) {
                log->ticked(ticks, before, game);
            }
        }
        break;
    case ui::Command::Kind::Input:
        if (log != nullptr) {
            before = game;
        }
        ui::apply(game, command.input);
        if (log != nullptr) {
            log->took(ticks, command.input, before, game);
        }
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

    std::int64_t ticks = 0; // since the start, as the log counts them
    std::string line;
    for (long lineNumber = 1; std::getline(std::cin, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        try {
            const std::optional<ui::Command> command = ui::parseLine(line);
            if (command && run(game, *command, logged, ticks)) {
                std::printf("%s\n", ui::stateLine(game).c_str());
            }
        } catch (const ui::ScriptError& bad) {
            std::fflush(stdout);
            std::fprintf(stderr, "velmora-sim: line %ld: %s\n", lineNumber, bad.reason().c_str());
            return 2;
        } catch (const velmora::RunTimeError& error) {
            printLog(log); // what ran before the error
            std::printf("error: %s\n", error.what());
            return 1;
        }
        printLog(log);
        if (game.gameOver) {
            return 0;
        }
    }
    return 0;
}
