// SPDX-License-Identifier: MIT
// Helpers shared by the rules tests.
#pragma once

#include "game.h"

#include <gtest/gtest.h>

namespace velmora {

// The kind of run-time error an operation raises; a test failure if it raises none.
template <typename Operation> ErrorKind errorOf(Operation&& operation) {
    try {
        operation();
    } catch (const RunTimeError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no run-time error";
    return ErrorKind::InvalidFloat;
}

// A game as the window leaves it after loading, and after its first activation.
inline Game loadedGame() {
    Game game;
    game.Form_Load();
    return game;
}
inline Game activatedGame() {
    Game game = loadedGame();
    game.Form_Activate();
    return game;
}

} // namespace velmora
