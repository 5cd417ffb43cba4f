// SPDX-License-Identifier: MIT
// One input of the player's to the game window, and the one way it reaches the rules. The
// session, the lab's record (when it replays a history) and velmora-sim all call `apply`, so
// a replayed input does exactly what the live one did.
#pragma once

#include "game.h"

#include <array>
#include <string>
#include <string_view>

namespace velmora::ui {

// A value set from outside the code, as an assignment in it would set it (the lab's "Cambia
// un valore"): that variable or property, and nothing else. A new `punti` leaves the score's
// caption as it was, and a new `intervallo` the timer.
struct Assignment {
    enum class Variable {
        velY,
        velX,
        intervallo,
        xPresa,
        punti,
        shaPLeft,
        shaPTop,
        shaBLeft,
        shaBTop,
        shaXVisible, // shaX(brick).Visible
    };

    Variable variable = Variable::velY;
    Integer brick = 0;    // shaXVisible
    Integer whole = 0;    // the five Integers
    float twips = 0;      // the four positions
    bool visible = false; // shaXVisible
};

// The names "set NAME VALUE" takes, as the code writes them, in the order of
// Assignment::Variable; shaX(I).Visible, the last, names its brick.
inline constexpr std::array<std::string_view, 9> variableNames = {
    "velY",      "velX",     "intervallo", "xPresa",  "punti",
    "shaP.Left", "shaP.Top", "shaB.Left",  "shaB.Top"};

struct Input {
    enum class Kind { Down, Move, Up, Pick, Set };
    Kind kind = Kind::Down;
    Integer button = 0; // Down, Move, Up: the buttons held, as the rules count them
    float x = 0;        // the pointer's place on the playfield, in twips
    float y = 0;
    std::string text;        // Pick: the entry picked in the speed box
    Assignment assignment{}; // Set

    static Input mouse(Kind kind, Integer button, float x, float y) {
        return {kind, button, x, y, {}, {}};
    }
    static Input pick(std::string text) { return {Kind::Pick, 0, 0, 0, std::move(text), {}}; }
    static Input set(const Assignment& assignment) { return {Kind::Set, 0, 0, 0, {}, assignment}; }
};

// The handler the input runs, with its arguments as the window passes them (no Shift key);
// for a Set, the assignment. A brick past shaX.Count() is the rules' own run-time error.
void apply(Game& game, const Input& input);

} // namespace velmora::ui
