// SPDX-License-Identifier: MIT
// The script language: the parser's errors, a script read as a game (as velmora-sim reads it),
// and numbers written so they read back as the same floats.
#include "explain.h"
#include "lab_support.h"
#include "numbertext.h"
#include "script.h"

#include <algorithm>
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
        {"tick 99999999999999999999", ScriptError::Kind::NumberOutOfRange,
         "'99999999999999999999' is out of range"},
        {"tick 5#", ScriptError::Kind::NotAWholeNumber, "'5#' is not a whole number"},
        {"down +-1 7800 7700", ScriptError::Kind::NotAWholeNumber, "'+-1' is not a whole number"},
        {"down 99999999999999999999 1 1", ScriptError::Kind::ButtonOutOfRange,
         "button value 99999999999999999999 is out of range"},
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
        {"move 1 1e39 7700", ScriptError::Kind::NumberOutOfRange, "'1e39' is out of range"},
        {"move 1 +-7700 7700", ScriptError::Kind::NotADecimalNumber,
         "'+-7700' is not a decimal number"},
        {"pick", ScriptError::Kind::MissingWords, "missing words after 'pick'"},
        {"pick   # veloce", ScriptError::Kind::MissingWords, "missing words after 'pick'"},
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

// What the one reader makes of a text, given whole (as the lab gives it) or in pieces of
// `piece` bytes cut anywhere (as velmora-sim reads): each line read, or the refusal.
std::string readInPieces(std::string_view text, std::size_t piece) {
    ScriptReader reader;
    std::string read;
    try {
        const auto drain = [&] {
            while (const std::optional<ScriptLine> line = reader.next()) {
                read += std::to_string(line->line) + " " + commandLine(line->command) + "\n";
            }
        };
        for (std::size_t at = 0; at < text.size(); at += piece) {
            reader.feed(text.substr(at, piece));
            drain();
        }
        reader.end();
        drain();
    } catch (const ScriptError& error) {
        read += "line " + std::to_string(error.line) + ": " + error.reason();
    }
    return read;
}

std::string readAlike(std::string_view text) {
    const std::string whole = readInPieces(text, std::max<std::size_t>(text.size(), 1));
    for (const std::size_t piece : {1u, 2u, 3u, 5u}) {
        EXPECT_EQ(readInPieces(text, piece), whole) << "in pieces of " << piece;
    }
    return whole;
}

TEST(Script, ReadsLineEndsByteOrderMarkAndCommentsAlikeWholeOrInPieces) {
    // A byte order mark is nothing; "\r\n", "\n" and a lone "\r" end a line.
    EXPECT_EQ(readAlike("\xEF\xBB\xBF"
                        "activate\r\ntick 2\rpick 60\r\r\n\ntick\n"),
              "1 activate\n2 tick 2\n3 pick 60\n6 tick 1\n");
    // A comment after any command; a pick's text ends before it; a '#' in a word is text.
    EXPECT_EQ(readAlike("tick 40 # il primo rimbalzo\npick 60 # veloce\npick 6#0\t#x\n"
                        "pick 60  \n  # una nota  \n#\n"),
              "1 tick 40\n2 pick 60\n3 pick 6#0\n4 pick 60  \n5 # una nota  \n6 #\n");
    // What is not UTF-8 text, refused with its line.
    const std::string nul("activate\ntick 5\n\0salta 3\n", 25);
    EXPECT_EQ(readAlike(nul),
              "1 activate\n2 tick 5\nline 3: a NUL byte at column 1: a script is text");
    EXPECT_EQ(readAlike(std::string("\0junk", 5)),
              "line 1: a NUL byte at column 1: a script is text");
    EXPECT_EQ(readAlike("\xFF\xFE"
                        "a\0c\0"),
              "line 1: the script is UTF-16 text: save it as UTF-8");
    EXPECT_EQ(readAlike("tick\npick \xC0\x80\n"),
              "1 tick 1\nline 2: not UTF-8 text: byte 0xC0 at column 6");
    EXPECT_EQ(readAlike("pick \xED\xA0\x80"), "line 1: not UTF-8 text: byte 0xED at column 6");
    EXPECT_EQ(readAlike("pick \xF4\x90\x80\x80"), "line 1: not UTF-8 text: byte 0xF4 at column 6");
    EXPECT_EQ(readAlike("pick caf\xC3"), "line 1: not UTF-8 text: byte 0xC3 at column 9");
    EXPECT_EQ(readAlike("\xEF\xBB"), "line 1: not UTF-8 text: byte 0xEF at column 1");
    // The word as written, its invisible characters made visible, a long one cut.
    EXPECT_EQ(readAlike("tick\n\xEF\xBB\xBFtick\n"),
              "1 tick 1\nline 2: unknown command '<U+FEFF>tick'");
    EXPECT_EQ(readAlike("tick\xC2\xA0"
                        "40"),
              "line 1: unknown command 'tick<U+00A0>40'");
    EXPECT_EQ(readAlike("tick \x1B[2J\x7F"), "line 1: '<U+001B>[2J<U+007F>' is not a whole number");
    EXPECT_EQ(readAlike("\xE2\x80\x8B"
                        "città"),
              "line 1: unknown command '<U+200B>città'");
    EXPECT_EQ(readAlike(std::string(100000, 'x') + " 3"),
              "line 1: unknown command '" + std::string(40, 'x') + "…'");
    try {
        parseScript("tick\n\xEF\xBB\xBFtick\n");
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.reasonInItalian(), "comando sconosciuto '<U+FEFF>tick'");
    }
    // A line longer than any file the lab opens: velmora-sim does not wait for its end.
    ScriptReader reader;
    reader.feed(std::string(longestLine + 1, 'x'));
    EXPECT_THROW(reader.next(), ScriptError);
}

// A teacher's notes stand where they were written: the record keeps them, the log tells them,
// and a game saved, opened and saved again is the same text.
TEST(Script, NotesStandWhereTheyWereAndASavedGameSavesToTheSameText) {
    const std::string annotated = "# La prima lezione\n"
                                  "activate\n"
                                  "tick 40\n"
                                  "# a metà strada\n"
                                  "down 1 7800 7700\n"
                                  "#  la racchetta si sposta\n"
                                  "move 1 7500 7700\n"
                                  "tick 43\n"
                                  "#\n"
                                  "pick 200\n";
    const std::string ended = "tick 999999\n"
                              "# dopo la fine\n";
    const Record record = playScript(parseScript(annotated + ended));
    ASSERT_GT(record.lastTick(), 83);
    const std::string saved = writeScript(record);
    EXPECT_EQ(saved,
              annotated + "tick " + std::to_string(record.lastTick() - 83) + "\n# dopo la fine\n");
    EXPECT_EQ(writeScript(playScript(parseScript(saved))), saved);
    // A pick followed by two CRs is a pick and a blank line, saved as the pick alone.
    const std::string picked = writeScript(playScript(parseScript("activate\npick 200\r\r")));
    EXPECT_EQ(picked, "activate\npick 200\n");
    EXPECT_EQ(writeScript(playScript(parseScript(picked))), picked);

    // The log tells each note with words at its tick, where it stands among the inputs, and
    // tells it once however the slider comes there.
    const auto notesTold = [](const Explainer& explainer) {
        std::string told;
        for (const Entry& entry : explainer.log().entries()) {
            told += text(entry).substr(0, text(entry).find('\n')) + "|";
        }
        return told;
    };
    Explainer explainer;
    explainer.follow(record, 40);
    EXPECT_EQ(notesTold(explainer), "tick 0: Form_Load|tick 0: Nota: La prima lezione|"
                                    "tick 0: Form_Activate|"
                                    "tick 1–40: Timer_Timer × 40|tick 40: Nota: a metà strada|"
                                    "tick 40: frame_MouseDown(1, 0, 7800, 7700)|"
                                    "tick 40: Nota: la racchetta si sposta|"
                                    "tick 40: frame_MouseMove(1, 0, 7500, 7700)|");
    const std::string atForty = notesTold(explainer);
    explainer.follow(record, record.lastTick());
    EXPECT_NE(notesTold(explainer).find("|tick 83: cmbVel_Click|"), std::string::npos);
    EXPECT_TRUE(notesTold(explainer).ends_with(": Nota: dopo la fine|"));
    explainer.follow(record, 40);
    EXPECT_EQ(notesTold(explainer), atForty);
    explainer.follow(record, 0);
    explainer.follow(record, 40);
    EXPECT_EQ(notesTold(explainer), atForty);

    // A new history forgets the notes after its tick, as it forgets the inputs.
    Record changed = record;
    changed.forgetAfter(40);
    EXPECT_EQ(writeScript(changed), annotated.substr(0, annotated.find("tick 43")));
    changed.forgetAfter(39);
    EXPECT_EQ(writeScript(changed), "# La prima lezione\nactivate\ntick 39\n");
}

// The lab and velmora-sim read one script as one game: every golden trace's last state is
// the lab's at its last tick, and a script velmora-sim refuses the lab refuses at the same
// line for the same reason.
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
            last = line.starts_with("velY=") || line.starts_with("error:") ||
                           line.starts_with("velmora-sim: ")
                       ? line
                       : last;
        }
        std::ifstream scriptFile(std::filesystem::path(out).replace_extension(".txt"),
                                 std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(scriptFile), {}};
        Record record;
        try {
            record = playScript(parseScript(text));
        } catch (const ScriptError& error) {
            EXPECT_EQ("velmora-sim: line " + std::to_string(error.line) + ": " + error.reason(),
                      last)
                << out;
            ++compared;
            continue;
        }
        const Game game = record.at(record.lastTick());
        if (last.starts_with("error:")) { // the history ends at the input that raised it
            EXPECT_NE(record.failingInput(), nullptr) << out;
        } else {
            EXPECT_EQ(stateLine(game), last) << out;
        }
        ++compared;
    }
    EXPECT_GE(compared, 11);
}

// "set NAME VALUE": each name changes its value and nothing else, within the value's limits, and
// a game with sets is saved, read and saved again to the same bytes.
TEST(Script, SetAssignsOneValueWithinItsLimitsAndSavesToTheSameText) {
    struct Set {
        const char* line;
        const char* written; // as a save writes it
        const char* change;  // what the log says it did to a game just activated
    };
    const Set sets[] = {
        {"set velY -32768", "set velY -32768", "velY: 60 → -32768"},
        {"set velX +32767", "set velX 32767", "velX: 0 → 32767"},
        {"set intervallo 0", "set intervallo 0", "intervallo: 1 → 0"},
        {"set xPresa 7800 # presa", "set xPresa 7800", "xPresa: 0 → 7800"},
        {"set punti 10", "set punti 10", "punti: 0 → 10"}, // the caption stays ""
        {"set shaP.Left 8280.5", "set shaP.Left 8280.5", "shaP.Left: 8280 → 8280.5"},
        {"set shaP.Top -1.4e2", "set shaP.Top -140", "shaP.Top: 2280 → -140"},
        {"set shaB.Left 7080.3", "set shaB.Left 7080.2998", "shaB.Left: 7080 → 7080.2998"},
        {"set shaB.Top\t7000", "set shaB.Top 7000", "shaB.Top: 7560 → 7000"},
        {"set shaX(0).Visible False", "set shaX(0).Visible False", "shaX(0).Visible: True → False"},
        {"set shaX(+56).Visible False", "set shaX(56).Visible False",
         "shaX(56).Visible: True → False"},
    };
    for (const Set& set : sets) {
        const std::optional<Command> command = parseLine(set.line);
        ASSERT_TRUE(command) << set.line;
        EXPECT_EQ(commandLine(*command), set.written);
        Game game = activated();
        const Game before = game;
        play(game, Step::of(command->input));
        const std::vector<Change> changes = compare(before, game);
        ASSERT_EQ(changes.size(), 1u) << set.line;
        EXPECT_EQ(changes[0].name + ": " + changes[0].before + " → " + changes[0].after,
                  set.change);
    }
    const struct {
        const char* line;
        const char* reason;
    } refused[] = {
        {"set velY 32768", "'32768' is out of range: an Integer holds -32768 to 32767"},
        {"set punti -32769", "'-32769' is out of range: an Integer holds -32768 to 32767"},
        {"set velX 1.5", "'1.5' is not a whole number"},
        {"set shaP.Left 1e39", "'1e39' is out of range"},
        {"set shaB.Top nan", "'nan' is not a decimal number"},
        {"set shaX(3).Visible true", "'true' is neither True nor False"},
        {"set shaX(57).Visible True",
         "'shaX(57).Visible' is no brick: the pyramid's are shaX(0) to shaX(56)"},
        {"set shaX(1.5).Visible True", "'1.5' is not a whole number"},
        {"set shaX().Visible True",
         "unknown name 'shaX().Visible': set velY, velX, intervallo, xPresa, punti, shaP.Left, "
         "shaP.Top, shaB.Left, shaB.Top or shaX(I).Visible"},
        {"set vely 3", "unknown name 'vely': set velY, velX, intervallo, xPresa, punti, "
                       "shaP.Left, shaP.Top, shaB.Left, shaB.Top or shaX(I).Visible"},
        {"set velY", "missing words after 'set'"},
    };
    for (const auto& line : refused) {
        try {
            parseLine(line.line);
            ADD_FAILURE() << line.line << " was read";
        } catch (const ScriptError& error) {
            EXPECT_EQ(error.reason(), line.reason) << line.line;
        }
    }
    try {
        parseScript("activate\nset velY 40000\n");
        ADD_FAILURE() << "velY 40000 was read";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.line, 2);
        EXPECT_EQ(error.reasonInItalian(),
                  "'40000' è fuori dai limiti: un Integer va da -32768 a 32767");
    }

    // Saved as the history holds it: a set that changes nothing is not kept.
    const std::string played = "activate\ntick 40\nset velX 30\nset velX 30\n"
                               "set shaX(3).Visible False\nset punti 10\ntick 2\n"
                               "set shaB.Top 7560.3\ntick 5\n";
    const Record record = playScript(parseScript(played));
    EXPECT_EQ(record.at(42).lblPunti.Caption, "");
    const std::string saved = writeScript(record);
    EXPECT_EQ(saved, "activate\ntick 40\nset velX 30\nset shaX(3).Visible False\nset punti 10\n"
                     "tick 2\nset shaB.Top 7560.2998\ntick 5\n");
    EXPECT_EQ(writeScript(playScript(parseScript(saved))), saved);
    // A brick the game has not built: the rules' own run-time error, kept where it stands.
    const Record rulesAlone = playScript(parseScript("tick 2\nset shaX(5).Visible False\n"));
    ASSERT_NE(rulesAlone.failingInput(), nullptr);
    EXPECT_EQ(writeScript(rulesAlone), "tick 2\nset shaX(5).Visible False\n");
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
