// SPDX-License-Identifier: MIT
// Writes, as JavaScript, the numbers that the page's scripts and the program both use, from
// the program's own headers: with "page" those page.js reads, with "lab" those lab.js reads.
// Run by node at build time, its lines go in below each script's placeholder line
// (numbers.cmake), so the scripts keep none of these numbers by hand.
#include "controls.h"
#include "drawing.h"
#include "input.h"
#include "marks.h"
#include "panel.h"
#include "playerinput.h"
#include "tickschedule.h"
#include "units.h"

#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace {

using namespace velmora::ui;
using namespace velmora::ui::web;

template <typename Enum> constexpr int number(Enum value) {
    return static_cast<int>(value);
}

void write(const char* name, int value) {
    std::printf("    const %s = %d;\n", name, value);
}

// An enumeration, as an object of its members' names and numbers.
void write(const char* name, std::initializer_list<std::pair<const char*, int>> members) {
    std::printf("    const %s = {", name);
    const char* comma = "";
    for (const auto& [member, value] : members) {
        std::printf("%s%s: %d", comma, member, value);
        comma = ", ";
    }
    std::printf("};\n");
}

// A colour as CSS writes it.
void write(const char* name, const Colour& colour) {
    std::printf("    const %s = \"rgb(%d, %d, %d)\";\n", name, colour.red, colour.green,
                colour.blue);
}

void writePage() {
    write("twipsPerPixel", twipsPerPixel);
    write("startWindow", startWindow);
    write("gameWindow", gameWindow);
    write("pictureId", controlId(start::Image1));
    write("Figure", {{"RoundedRectangle", Figure::RoundedRectangle},
                     {"Circle", Figure::Circle},
                     {"Rectangle", Figure::Rectangle}});
    write("InputKind", {{"Down", number(Input::Kind::Down)},
                        {"Move", number(Input::Kind::Move)},
                        {"Up", number(Input::Kind::Up)}});
    write("Key", {{"Enter", number(Key::Enter)},
                  {"Space", number(Key::Space)},
                  {"Escape", number(Key::Escape)}});
    write("Pointer", {{"Mouse", number(Pointer::Mouse)},
                      {"Pen", number(Pointer::Pen)},
                      {"Finger", number(Pointer::Finger)}});
    write("outlineColour", game::outlineColour);
    write("scoreColour", game::scoreColour);
    write("scoreBackgroundColour", game::scoreBackgroundColour);
    write("scoreBorderColour", game::scoreBorderColour);
    write("KeyAction", {{"PressFocused", number(KeyAction::PressFocused)},
                        {"CloseGameWindow", number(KeyAction::CloseGameWindow)}});
}

void writeLab() {
    write("gameWindow", gameWindow);
    write("Mark", {{"Outline", Mark::Outline}, {"Segment", Mark::Segment}});
    write("ClockControl", {{"Pause", number(ClockControl::Pause)},
                           {"Step", number(ClockControl::Step)},
                           {"Show", number(ClockControl::Show)},
                           {"Divisor", number(ClockControl::Divisor)},
                           {"NextEvent", number(ClockControl::NextEvent)}});
    std::printf("    const clockDivisors = [");
    for (const int divisor : Session::clockDivisors) {
        std::printf(divisor == Session::clockDivisors.front() ? "%d" : ", %d", divisor);
    }
    std::printf("];\n");
    write("ticksPerSecond", ticksPerSecond);
    write("brickCount", velmora::brickCount); // shaX(0) to shaX(brickCount - 1)
    std::printf("    const variableNames = [");
    for (const std::string_view name : variableNames) {
        std::printf(name == variableNames.front() ? "\"%.*s\"" : ", \"%.*s\"",
                    static_cast<int>(name.size()), name.data());
    }
    std::printf("];\n");
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view script = argc == 2 ? argv[1] : "";
    if (script == "page") {
        writePage();
    } else if (script == "lab") {
        writeLab();
    } else {
        std::fprintf(stderr, "usage: velmora-numbers page|lab\n");
        return 2;
    }
    return 0;
}
