// SPDX-License-Identifier: MIT
// What `velmora-sim --lines` prints, with the lines that ran taken from GCC's own coverage
// counts instead: the rules are built from game/*.cpp with --coverage -O0, and after each
// command the counts are written out, read by gcov and cleared. lines_check.sh compares the
// two for the same scripts.
//
//   lines_gcov OBJECTS SOURCES < script   OBJECTS: the directory the rules' objects are built
//                                         in; SOURCES: the top of the source, which holds game/

#include "game.h"
#include "play.h"
#include "script.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>

extern "C" void __gcov_dump();
extern "C" void __gcov_reset();

namespace ui = velmora::ui;
namespace fs = std::filesystem;

namespace {

// The lines gcov counts as run since the last call, as velmora-sim prints them.
void printLinesRun(const fs::path& objects, const std::string& sources) {
    __gcov_dump();
    // Only the files under the source's top directory: the rules', not the library's.
    std::string command = "gcov --stdout --relative-only --source-prefix '" + sources + "'";
    std::vector<fs::path> counts;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(objects)) {
        if (entry.path().extension() == ".gcda") {
            counts.push_back(entry.path());
            command += " '" + entry.path().string() + "'";
        }
    }
    std::set<std::tuple<std::string, int, std::string>> lines;
    FILE* gcov = popen((command + " 2>/dev/null").c_str(), "r");
    std::string file; // the game/*.cpp file whose lines these are; none for a header's
    for (char buffer[4096]; std::fgets(buffer, sizeof buffer, gcov) != nullptr;) {
        // "   count:  line:text", the count "-" for no code and "#####" for none run.
        const std::string line(buffer, std::strcspn(buffer, "\n"));
        const std::size_t first = line.find(':');
        const std::size_t second = line.find(':', first + 1);
        if (second == std::string::npos ||
            line.find_first_not_of(" 0123456789", first + 1) < second) {
            continue; // a header of a function's own counts, or a line between them
        }
        const std::string count = line.substr(line.find_first_not_of(' '), first);
        const int number = std::stoi(line.substr(first + 1, second - first - 1));
        std::string text = line.substr(second + 1);
        if (number == 0 && text.starts_with("Source:")) {
            file = text.starts_with("Source:game/") && text.ends_with(".cpp") ? text.substr(7) : "";
        } else if (!file.empty() && number > 0 && count[0] >= '0' && count[0] <= '9') {
            text.erase(0, text.find_first_not_of(" \t"));
            lines.emplace(file, number, text);
        }
    }
    pclose(gcov);
    for (const auto& [path, number, text] : lines) {
        std::printf("  > %s:%d: %s\n", path.c_str(), number, text.c_str());
    }
    for (const fs::path& path : counts) {
        fs::remove(path); // the next dump would add to it
    }
    __gcov_reset();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: lines_gcov OBJECTS SOURCES < script\n");
        return 2;
    }
    const fs::path objects = argv[1];
    const std::string sources = argv[2];
    __gcov_reset();
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(objects)) {
        if (entry.path().extension() == ".gcda") {
            fs::remove(entry.path());
        }
    }
    velmora::Game game;
    game.Form_Load();
    std::printf("%s\n", ui::stateLine(game).c_str());
    printLinesRun(objects, sources);

    ui::ScriptReader reader;
    reader.feed(std::string(std::istreambuf_iterator<char>(std::cin), {}));
    reader.end();
    std::int64_t ticks = 0;
    try {
        while (const std::optional<ui::ScriptLine> line = reader.next()) {
            const ui::Command& command = line->command;
            switch (command.kind) {
            case ui::Command::Kind::Activate:
                ui::play(game, ui::Step::activation());
                break;
            case ui::Command::Kind::Tick:
                for (std::int64_t n = 0; n < command.count && !game.gameOver; ++n) {
                    if (ticks == ui::mostTicks) {
                        return 2; // longer than any game: velmora-sim refuses it
                    }
                    ui::play(game, ui::Step::tick());
                    ++ticks;
                }
                break;
            case ui::Command::Kind::Input:
                ui::play(game, ui::Step::of(command.input));
                break;
            case ui::Command::Kind::Dump:
            case ui::Command::Kind::Note:
                continue; // no state line, and no rules run
            }
            std::printf("%s\n", ui::stateLine(game).c_str());
            printLinesRun(objects, sources);
            if (game.gameOver) {
                return 0;
            }
        }
    } catch (const ui::ScriptError&) {
        return 2; // refused where velmora-sim refuses it, which says why
    } catch (const velmora::RunTimeError& error) {
        std::printf("error: %s\n", error.what());
        printLinesRun(objects, sources);
        return 1;
    }
    return 0;
}
