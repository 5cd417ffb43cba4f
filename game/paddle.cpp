// SPDX-License-Identifier: MIT
#include "game.h"

namespace velmora {

namespace {
constexpr Integer leftButton = 1;
}

// The playfield receives the mouse events for the shapes inside it, so the handlers
// test the pointer against the paddle themselves. Edges count as on the paddle.
bool Game::isOnPaddle(float X, float Y) const {
    return Y <= ToSingle(farEdge(shaB.Top, shaB.Height)) && Y >= shaB.Top &&
           X <= ToSingle(farEdge(shaB.Left, shaB.Width)) && X >= shaB.Left;
}

void Game::frame_MouseDown(Integer Button, Integer /*Shift*/, float X, float Y) {
    if (Button == leftButton && isOnPaddle(X, Y)) {
        xPresa = CInt(X);
    }
}

// Moves the paddle by the pointer's travel since the last hold, but only while the
// pointer is on it, and only if the paddle stays strictly inside the playfield;
// a move that would not is refused whole.
void Game::frame_MouseMove(Integer Button, Integer /*Shift*/, float X, float Y) {
    if (Button != leftButton || xPresa <= 0 || !isOnPaddle(X, Y)) {
        return;
    }
    const Integer move = CInt(Sum(Dbl(X), -Dbl(xPresa)));
    const bool allowed =
        (move > 0 && ToSingle(Sum(farEdge(shaB.Left, shaB.Width), Dbl(move))) < frame.Width) ||
        (move < 0 && ToSingle(Sum(Dbl(move), Dbl(shaB.Left))) > 0);
    if (allowed) {
        shaB.Left = ToSingle(Sum(Dbl(move), Dbl(shaB.Left)));
        xPresa = CInt(X);
    }
}

// Only a release on the paddle ends the drag; released elsewhere, the anchor stays.
void Game::frame_MouseUp(Integer Button, Integer /*Shift*/, float X, float Y) {
    if (Button == leftButton && xPresa > 0 && isOnPaddle(X, Y)) {
        xPresa = 0;
    }
}

} // namespace velmora
