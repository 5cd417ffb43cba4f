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
// With --lines, each state line (and a run-time error's line) is followed, after what
// --explain writes, by the lines of game/*.cpp that the command ran, each once, by file and
// line, as the lab's "Codice" lights them (ui/code/code.h):
//
//   > game/ball.cpp:56: velX = 30; // set, not negated, so a ball still past the wall ...
//
// The input is read by the lab's reader (ScriptReader), a piece at a time, and each line is
// played as soon as it has been read. Exit status: 0 at the end of the script or after game
// over, 1 on a run-time error of the rules, 2 on bad input or a game longer than the
// longest (mostTicks).

#include "code.h"
#include "explain.h"
#include "game.h"
#include "play.h"
#include "script.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

using velmora::Game;
using velmora::Integer;
namespace ui = velmora::ui;
namespace code = velmora::code;

namespace {

// The lines of the rules run by the command being played, when asked for: only the rules'
// own steps count, not what the log works out after each.
class LinesRun {
  public:
    explicit LinesRun(bool wanted) : wanted_(wanted) {}
    // Plays the step, counting its lines if wanted.
    bool play(Game& game, const ui::Step& step) {
        beforeStep();
        const bool stepped = ui::play(game, step);
        afterStep();
        return stepped;
    }
    void beforeStep() const {
        if (wanted_) {
            code::forget();
        }
    }
    void afterStep() {
        if (wanted_) {
            for (const code::LineRun& run : code::linesRun()) {
                lines_.emplace(run.file, run.line);
            }
        }
    }
    void print() {
        for (const auto& [file, line] : lines_) {
            const code::SourceFile& source = code::sources()[file];
            const std::string_view text = source.lines[line - 1];
            const std::size_t indent = std::min(text.find_first_not_of(" \t"), text.size());
            std::printf("  > %.*s:%zu: %.*s\n", static_cast<int>(source.path.size()),
                        source.path.data(), line, static_cast<int>(text.size() - indent),
                        text.data() + indent);
        }
        lines_.clear();
    }

  private:
    bool wanted_;
    std::set<std::pair<std::size_t, std::size_t>> lines_; // file, line
};

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
bool played(Game& game, const ui::Step& step, ui::Log* log, LinesRun& lines, std::int64_t ticks) {
    if (log == nullptr) {
        return lines.play(game, step);
    }
    const Game before = game; // copied only for the log
    if (!lines.play(game, step)) {
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
bool run(Game& game, const ui::ScriptLine& line, ui::Log* log, LinesRun& lines,
         std::int64_t& ticks) {
    const ui::Command& command = line.command;
    switch (command.kind) {
    case ui::Command::Kind::Activate:
        played(game, ui::Step::activation(), log, lines, ticks);
        break;
    case ui::Command::Kind::Tick:
        for (std::int64_t n = 0; n < command.count && !game.gameOver; ++n) {
            if (ticks == ui::mostTicks) {
                throw ui::ScriptError{ui::ScriptError::Kind::TooLong, std::to_string(ui::mostTicks),
                                      line.line, 0};
            }
            if (played(game, ui::Step::tick(), log, lines, ticks)) {
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
        played(game, ui::Step::of(command.input), log, lines, ticks);
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
    bool explain = false;
    bool showLines = false;
    for (int i = 1; i < argc; ++i) {
        const bool isExplain = std::strcmp(argv[i], "--explain") == 0;
        const bool isLines = std::strcmp(argv[i], "--lines") == 0;
        if ((!isExplain && !isLines) || (isExplain && explain) || (isLines && showLines)) {
            std::fprintf(stderr, "usage: velmora-sim [--explain] [--lines] < script\n");
            return 2;
        }
        explain = explain || isExplain;
        showLines = showLines || isLines;
    }
    ui::Log log;
    ui::Log* const logged = explain ? &log : nullptr;
    LinesRun lines(showLines);
    Game game;
    lines.beforeStep();
    game.Form_Load();
    lines.afterStep();
    std::printf("%s\n", ui::stateLine(game).c_str());
    if (explain) {
        log.loaded(Game{}, game);
        printLog(log);
    }
    lines.print();

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
                if (run(game, *line, logged, lines, ticks)) {
                    std::printf("%s\n", ui::stateLine(game).c_str());
                }
                printLog(log);
                lines.print();
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
            lines.afterStep(); // and the lines that ran up to it
            lines.print();
            return 1;
        }
        if (count == 0) {
            return 0;
        }
    }
}
