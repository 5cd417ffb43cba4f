// SPDX-License-Identifier: MIT
// The one reading of a game's sequence: the window's activation, the timer's ticks and the
// player's inputs, each played on the game as the window plays it. The session plays the
// live game with it; the lab's record, its replay and its explanation, and velmora-sim play
// their scripts with it, so that one sequence is one game wherever it is played.
#pragma once

#include "playerinput.h"

namespace velmora::ui {

struct Step {
    enum class Kind { Activate, Tick, Input };
    Kind kind = Kind::Tick;
    Input input; // Input: the player's

    static Step activation() { return {Kind::Activate, {}}; }
    static Step tick() { return {Kind::Tick, {}}; }
    static Step of(Input input) { return {Kind::Input, std::move(input)}; }
};

// Plays `step` on `game`: the activation (the first builds the pyramid), one tick, or the
// input's handler. A game that is over takes no more ticks: returns false for one, and
// true for every step played. A run-time error of the rules is thrown on.
bool play(Game& game, const Step& step);

} // namespace velmora::ui
