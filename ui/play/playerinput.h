// SPDX-License-Identifier: MIT
// One input of the player's to the game window, and the one way it reaches the rules. The
// session, the lab's record (when it replays a history) and velmora-sim all call `apply`, so
// a replayed input does exactly what the live one did.
#pragma once

#include "game.h"

#include <string>

namespace velmora::ui {

struct Input {
    enum class Kind { Down, Move, Up, Pick };
    Kind kind = Kind::Down;
    Integer button = 0; // Down, Move, Up: the buttons held, as the rules count them
    float x = 0;        // the pointer's place on the playfield, in twips
    float y = 0;
    std::string text; // Pick: the entry picked in the speed box

    static Input mouse(Kind kind, Integer button, float x, float y) {
        return {kind, button, x, y, {}};
    }
    static Input pick(std::string text) { return {Kind::Pick, 0, 0, 0, std::move(text)}; }
};

// The handler the input runs, with its arguments as the window passes them (no Shift key).
void apply(Game& game, const Input& input);

} // namespace velmora::ui
