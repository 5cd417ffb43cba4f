// SPDX-License-Identifier: MIT
// velmora-sim: plays a game without a window. Reads a script of window events from
// standard input, one command a line, and prints the game's state after each command.
//
//   activate            the window's activation (the first builds the pyramid)
//   tick [N]            N ball steps (default 1), stopping early at game over
//   down|move|up B X Y  a mouse event on the playfield: button B, position X,Y in twips
//   pick TEXT           the user picks TEXT in the speed box
//   dump                one line per brick
//
// Blank lines and lines starting with '#' are skipped. Exit status: 0 at the end of the
// script or after game over, 1 on a run-time error of the rules, 2 on bad input.

#include "game.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using velmora::Game;
using velmora::Integer;

namespace {

struct BadInput {
    std::string what;
};

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) {
            return words;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
}

template <typename Number> std::optional<Number> parseWhole(std::string_view word) {
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
    }
    Number value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size() || word.empty()) {
        return std::nullopt;
    }
    return value;
}

#if !defined(__cpp_lib_to_chars)
// A C++ library whose from_chars reads no floating point (emscripten's): strtof reads what
// from_chars would, once the word is known to be a plain decimal number, and rounds the same.
template <> std::optional<float> parseWhole<float>(std::string_view word) {
    const auto digitsFrom = [&](std::size_t& at) {
        const std::size_t start = at;
        while (at < word.size() && word[at] >= '0' && word[at] <= '9') {
            ++at;
        }
        return at - start;
    };
    std::size_t at = word.starts_with('-') ? 1 : 0;
    std::size_t digits = digitsFrom(at);
    if (at < word.size() && word[at] == '.') {
        digits += digitsFrom(++at);
    }
    if (digits > 0 && at < word.size() && (word[at] == 'e' || word[at] == 'E')) {
        at += word.substr(at + 1).starts_with('-') || word.substr(at + 1).starts_with('+') ? 2 : 1;
        digits = digitsFrom(at);
    }
    if (digits == 0 || at != word.size()) {
        return std::nullopt;
    }
    errno = 0;
    const float value = std::strtof(std::string(word).c_str(), nullptr);
    if (errno == ERANGE && (value == 0.0f || std::isinf(value))) {
        return std::nullopt;
    }
    return value;
}
#endif

long long parseCount(std::string_view word) {
    const auto count = parseWhole<long long>(word);
    if (!count) {
        throw BadInput{"'" + std::string(word) + "' is not a whole number"};
    }
    if (*count < 1) {
        throw BadInput{"tick count must be at least 1"};
    }
    return *count;
}

Integer parseButton(std::string_view word) {
    const auto button = parseWhole<int>(word);
    if (!button) {
        throw BadInput{"'" + std::string(word) + "' is not a whole number"};
    }
    if (*button < std::numeric_limits<Integer>::min() ||
        *button > std::numeric_limits<Integer>::max()) {
        throw BadInput{"button value " + std::string(word) + " is out of range"};
    }
    return static_cast<Integer>(*button);
}

// A position in twips, read straight to single precision (no detour through double).
float parseTwips(std::string_view word) {
    const auto value = parseWhole<float>(word);
    if (!value || !std::isfinite(*value)) {
        throw BadInput{"'" + std::string(word) + "' is not a decimal number"};
    }
    return *value;
}

void printStateLine(const Game& game) {
    std::string visible;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        visible += game.shaX(i).Visible ? '1' : '0';
    }
    std::printf("velY=%d velX=%d xPresa=%d punti=%d score=\"%s\" ball=%.9g,%.9g "
                "paddle=%.9g,%.9g bricks=%d:%s over=%d\n",
                game.velY, game.velX, game.xPresa, game.punti, game.lblPunti.Caption.c_str(),
                velmora::Dbl(game.shaP.Left), velmora::Dbl(game.shaP.Top),
                velmora::Dbl(game.shaB.Left), velmora::Dbl(game.shaB.Top), game.shaX.Count(),
                visible.c_str(), game.gameOver ? 1 : 0);
}

void printBricks(const Game& game) {
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        const velmora::Shape& brick = game.shaX(i);
        std::printf("brick %d %.9g,%.9g,%.9g,%.9g %d\n", i, velmora::Dbl(brick.Left),
                    velmora::Dbl(brick.Top), velmora::Dbl(brick.Width), velmora::Dbl(brick.Height),
                    brick.Visible ? 1 : 0);
    }
}

void expectWords(const std::vector<std::string_view>& words, std::size_t count) {
    if (words.size() < count) {
        throw BadInput{"missing words after '" + std::string(words[0]) + "'"};
    }
    if (words.size() > count) {
        throw BadInput{"extra words after '" + std::string(words[0]) + "'"};
    }
}

// Runs one command; returns false when it printed no state line.
bool run(Game& game, std::string_view line, const std::vector<std::string_view>& words) {
    const std::string_view command = words[0];
    if (command == "activate") {
        expectWords(words, 1);
        game.Form_Activate();
    } else if (command == "tick") {
        const long long count = words.size() > 1 ? parseCount(words[1]) : 1;
        expectWords(words, words.size() > 1 ? 2 : 1);
        for (long long n = 0; n < count && !game.gameOver; ++n) {
            game.Timer_Timer();
        }
    } else if (command == "down" || command == "move" || command == "up") {
        expectWords(words, 4);
        const Integer button = parseButton(words[1]);
        const float x = parseTwips(words[2]);
        const float y = parseTwips(words[3]);
        const Integer noShift = 0;
        if (command == "down") {
            game.frame_MouseDown(button, noShift, x, y);
        } else if (command == "move") {
            game.frame_MouseMove(button, noShift, x, y);
        } else {
            game.frame_MouseUp(button, noShift, x, y);
        }
    } else if (command == "pick") {
        if (words.size() < 2) {
            throw BadInput{"missing words after 'pick'"};
        }
        // The text is the rest of the line, blanks inside and after it included.
        game.cmbVel.Text =
            std::string(line.substr(static_cast<std::size_t>(words[1].data() - line.data())));
        game.cmbVel_Click();
    } else if (command == "dump") {
        expectWords(words, 1);
        printBricks(game);
        return false;
    } else {
        throw BadInput{"unknown command '" + std::string(command) + "'"};
    }
    return true;
}

} // namespace

int main() {
    Game game;
    game.Form_Load();
    printStateLine(game);

    std::string line;
    for (long lineNumber = 1; std::getline(std::cin, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        const std::vector<std::string_view> words = splitWords(line);
        if (words.empty() || words[0].front() == '#') {
            continue;
        }
        try {
            if (run(game, line, words)) {
                printStateLine(game);
            }
        } catch (const BadInput& bad) {
            std::fflush(stdout);
            std::fprintf(stderr, "velmora-sim: line %ld: %s\n", lineNumber, bad.what.c_str());
            return 2;
        } catch (const velmora::RunTimeError& error) {
            std::printf("error: %s\n", error.what());
            return 1;
        }
        if (game.gameOver) {
            return 0;
        }
    }
    return 0;
}
