// SPDX-License-Identifier: MIT
// The script language: the parser's errors, a script read as a game (as velmora-sim reads it),
// and numbers written so they read back as the same floats.
#include "lab_support.h"
#include "numbertext.h"
#include "script.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <random>
#include <string>

namespace velmora::ui {
namespace {

TEST(Script, RefusesABadLineWithItsNumberAndReason) {
    struct Bad {
        const char* line;
        ScriptError::Kind kind;
        const char* reason;
    };
    const Bad bad[] = {
        {"tick 0", ScriptError::Kind::TickCountBelowOne, "tick count must be at least 1"},
        {"tick -3", ScriptError::Kind::TickCountBelowOne, "tick count must be at least 1"},
        {"tick 1x", ScriptError::Kind::NotAWholeNumber, "'1x' is not a whole number"},
        {"tick 99999999999999999999", ScriptError::Kind::NotAWholeNumber,
         "'99999999999999999999' is not a whole number"},
        {"tick 5 6", ScriptError::Kind::ExtraWords, "extra words after 'tick'"},
        {"activate now", ScriptError::Kind::ExtraWords, "extra words after 'activate'"},
        {"down 1 7100", ScriptError::Kind::MissingWords, "missing words after 'down'"},
        {"up 1 7100 7700 0", ScriptError::Kind::ExtraWords, "extra words after 'up'"},
        {"down 40000 1 1", ScriptError::Kind::ButtonOutOfRange,
         "button value 40000 is out of range"},
        {"move 1.5 7800 7700", ScriptError::Kind::NotAWholeNumber, "'1.5' is not a whole number"},
        {"move 1 0x1D4C 7700", ScriptError::Kind::NotADecimalNumber,
         "'0x1D4C' is not a decimal number"},
        {"move 1 7800 inf", ScriptError::Kind::NotADecimalNumber, "'inf' is not a decimal number"},
        {"move 1 1e39 7700", ScriptError::Kind::NotADecimalNumber,
         "'1e39' is not a decimal number"},
        {"pick", ScriptError::Kind::MissingWords, "missing words after 'pick'"},
        {"dump all", ScriptError::Kind::ExtraWords, "extra words after 'dump'"},
        {"jump 3", ScriptError::Kind::UnknownCommand, "unknown command 'jump'"},
    };
    for (const Bad& line : bad) {
        try {
            parseLine(line.line);
            ADD_FAILURE() << line.line << " was read";
        } catch (const ScriptError& error) {
            EXPECT_EQ(error.kind, line.kind) << line.line;
            EXPECT_EQ(error.reason(), line.reason) << line.line;
        }
    }
    // A whole script: the first bad line, counted with the comments and blank lines.
    try {
        parseScript("activate\r\n# comment\n\n  tick 2\r\nmove 1 7800 7700 x\nbad\n");
        ADD_FAILURE() << "the script was read";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.line, 5);
        EXPECT_EQ(error.reasonInItalian(), "parole di troppo dopo 'move'");
    }
    const Script script = parseScript("activate\r\npick 200  \r\n\tdown 1 +7800 77e2");
    ASSERT_EQ(script.size(), 3u);
    EXPECT_EQ(script[1].command.input.text, "200  "); // the rest of the line, blanks kept
    EXPECT_EQ(script[2].line, 3);
    EXPECT_EQ(commandLine(script[2].command), "down 1 7800 7700");

    // Read as a game, played as the window plays it: the activation, if any, first, and no
    // longer than the longest game.
    const auto gameError = [](const char* text) {
        try {
            playScript(parseScript(text), 1000);
        } catch (const ScriptError& error) {
            return error.reason() + " at " + std::to_string(error.line);
        }
        return std::string("read");
    };
    EXPECT_EQ(gameError("activate\nactivate\ntick 5\n# late\n\nactivate\n"),
              "'activate' must come before the first tick or input at 6");
    EXPECT_EQ(gameError("pick 200\nactivate\n"),
              "'activate' must come before the first tick or input at 2");
    EXPECT_EQ(playScript(parseScript("tick 5\n")).at(5).shaX.Count(), 1); // the rules alone
    EXPECT_EQ(playScript(parseScript("")).lastTick(), 0);
    // Picked 0, the ball stands still for ever: the game would never end.
    EXPECT_EQ(gameError("activate\npick 0\ntick 999\ntick 2\n"),
              "a game has at most 1000 ticks at 4");
    EXPECT_EQ(gameError("activate\ntick 999999999999\n"), "read"); // it ends at tick 265
}

// The lab and velmora-sim read one script as one game: every golden trace's last state is
// the lab's at its last tick.
TEST(Script, TheLabPlaysEveryTraceToTheStateVelmoraSimPrints) {
    if (!std::filesystem::is_directory(VELMORA_TRACES_DIR)) {
        GTEST_SKIP() << "the traces are not on this system's file system (node's)";
    }
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VELMORA_TRACES_DIR)) {
        std::filesystem::path out = entry.path();
        if (out.extension() != ".out" || out.stem().extension() == ".explain") {
            continue;
        }
        std::ifstream printed(out);
        std::string line, last;
        while (std::getline(printed, line)) {
            last = line.starts_with("velY=") || line.starts_with("error:") ? line : last;
        }
        std::ifstream scriptFile(std::filesystem::path(out).replace_extension(".txt"));
        const std::string text{std::istreambuf_iterator<char>(scriptFile), {}};
        Script script;
        try {
            script = parseScript(text);
        } catch (const ScriptError&) {
            continue; // refused by both: the traces of bad input say how
        }
        const Record record = playScript(script);
        const Game game = record.at(record.lastTick());
        if (last.starts_with("error:")) { // the history ends at the input that raised it
            EXPECT_NE(record.failingInput(), nullptr) << out;
        } else {
            EXPECT_EQ(stateLine(game), last) << out;
        }
        ++compared;
    }
    EXPECT_GE(compared, 5);
}

TEST(Script, PositionsAreWrittenSoTheyReadBackAsTheSameFloats) {
    std::mt19937 random(3);
    for (int n = 0; n < 2000; ++n) {
        const std::uint32_t pattern =
            std::uniform_int_distribution<std::uint32_t>(0, 0x4b800000)(random); // 0 .. 2^24
        float x;
        std::memcpy(&x, &pattern, sizeof x);
        const float y = -std::nextafter(x, 0.0f);
        Command command{Command::Kind::Input, 1, Input::mouse(Input::Kind::Move, 1, x, y)};
        const std::optional<Command> read = parseLine(commandLine(command));
        ASSERT_TRUE(read);
        ASSERT_EQ(bits(read->input.x), bits(x));
        ASSERT_EQ(bits(read->input.y), bits(y));
    }
}

// The state line's and the script's numbers are the C library's %.9g, written without it:
// the same text for the values of a game and for the floats at the ends of the range.
TEST(Script, NumbersAreWrittenAsPrintfWritesNineDigits) {
    const auto printfText = [](float x) {
        if (std::isnan(x)) { // as glibc and musl write it; Windows' C library drops the sign
            return std::string(std::signbit(x) ? "-nan" : "nan");
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(x));
        return std::string(text);
    };
    const float edges[] = {0.0f,
                           -0.0f,
                           1.0f,
                           -1.0f,
                           0.5f,
                           8280.0f,
                           7812.5f,
                           7080.33301f,
                           1.0f / 3,
                           1e-4f,
                           9.9999997e-5f,
                           1e-5f,
                           123456792.0f,
                           999999936.0f,
                           1e9f,
                           1.5e10f,
                           16777215.0f,
                           33554430.0f,
                           0.000123456791f,
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::denorm_min(),
                           std::nextafter(std::numeric_limits<float>::min(), 0.0f),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(),
                           -std::numeric_limits<float>::quiet_NaN()};
    for (const float x : edges) {
        EXPECT_EQ(twipsText(x), printfText(x)) << "bits " << bits(x);
    }
    // Any float, by its bits; and the halves, quarters and tenths a game's positions take.
    std::mt19937 random(5);
    for (int n = 0; n < 100000; ++n) {
        const std::uint32_t pattern = std::uniform_int_distribution<std::uint32_t>()(random);
        float x;
        std::memcpy(&x, &pattern, sizeof x);
        const float position = static_cast<float>(n - 50000) / 40;
        ASSERT_EQ(twipsText(x), printfText(x)) << "bits " << pattern;
        ASSERT_EQ(twipsText(position), printfText(position));
    }
}

} // namespace
} // namespace velmora::ui
