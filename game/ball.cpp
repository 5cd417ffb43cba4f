// SPDX-License-Identifier: MIT
#include "game.h"

namespace velmora {

namespace {

// True when `low <= x <= high`.
bool within(Integer x, Integer low, Integer high) {
    return low <= x && x <= high;
}

} // namespace

std::array<Integer, 4> paddleThirds(const Shape& paddle) {
    std::array<Integer, 4> marks{CInt(paddle.Left), 0, 0, 0};
    for (std::size_t i = 1; i < marks.size(); ++i) {
        marks[i] = CInt(Sum(Third(paddle.Width), Dbl(marks[i - 1])));
    }
    return marks;
}

bool levelWithPaddle(const Shape& ball, const Shape& paddle) {
    const float ballBottom = ToSingle(farEdge(ball.Top, ball.Height));
    return ballBottom >= paddle.Top && ToSingle(farEdge(paddle.Top, paddle.Height)) >= ballBottom;
}

// One tick: at most one bounce (paddle, floor, left wall, right wall, ceiling or a brick,
// in that order), then the ball moves by (velX, velY) whatever happened.
void Game::MuoviPalla() {
    const Integer ballCentre = CInt(middle(shaP.Left, shaP.Width));
    const auto [x0, x1, x2, x3] = paddleThirds(shaB);

    if (levelWithPaddle(shaP, shaB)) {
        const float centre = ToSingle(middle(shaP.Left, shaP.Width));
        const bool overPaddle =
            centre >= shaB.Left && ToSingle(farEdge(shaB.Left, shaB.Width)) >= centre;
        // Only a falling ball turns at the paddle. A ball whose bottom is already inside the
        // paddle's band (it fell beside it, or came in from the side, and the paddle slid
        // under it) is on its way up after one turn and must not be sent back down.
        if (overPaddle && velY > 0) {
            // The third under the ball's centre sets the horizontal step.
            velY = Negate(velY);
            if (within(ballCentre, x0, x1)) {
                velX = -30;
            } else if (within(ballCentre, x1, x2)) {
                velX = 0;
            } else if (within(ballCentre, x2, x3)) {
                velX = 30;
            }
        }
        // Level with the paddle, the ball tests nothing else this tick.
    } else if (ToSingle(middle(shaP.Top, shaP.Height)) >= frame.Height) {
        gameOver = true; // the ball's centre has reached the floor
    } else if (shaP.Left <= 0) {
        velX = 30; // set, not negated, so a ball still past the wall cannot stick there
    } else if (ToSingle(farEdge(shaP.Left, shaP.Width)) >= frame.Width) {
        velX = -30;
    } else if (shaP.Top > 0) {
        ControllaBlocchi();
    } else if (velY < 0) {
        // Only a rising ball turns at the ceiling. A ball still at or above it on a later
        // tick is already on its way down and must not be sent back up.
        velY = Negate(velY);
    }

    shaP.Top = ToSingle(Sum(Dbl(velY), Dbl(shaP.Top)));
    shaP.Left = ToSingle(Sum(Dbl(velX), Dbl(shaP.Left)));
}

// Knocks out the first visible brick, in index order, that the ball touches: its leading
// edge (top when rising or still, bottom when falling) within the brick's height, and one
// of its two vertical edges, rounded, within the brick's rounded width.
//
// This runs on most ticks, over every brick, so the height goes first: it needs no rounding
// to integers and rules out every row but one. Neither test changes anything, so their
// order does not change which brick is hit.
void Game::ControllaBlocchi() {
    const Integer xs = CInt(shaP.Left);
    const Integer xd = CInt(farEdge(shaP.Left, shaP.Width));
    const bool rising = velY < 1;
    const float leadingEdge = rising ? shaP.Top : ToSingle(farEdge(shaP.Top, shaP.Height));
    const Integer last = Subtract(shaX.Count(), 1); // the count is read once

    for (Integer i = 0; i <= last; i = Add(i, 1)) {
        const Shape& brick = shaX(i);
        if (!brick.Visible || !(leadingEdge >= brick.Top &&
                                ToSingle(farEdge(brick.Top, brick.Height)) >= leadingEdge)) {
            continue;
        }
        const Integer bs = CInt(brick.Left);
        const Integer bd = CInt(farEdge(brick.Left, brick.Width));
        if (within(xs, bs, bd) || within(xd, bs, bd)) {
            velY = Negate(velY);
            punti = Add(punti, 1);
            lblPunti.Caption = std::to_string(punti);
            shaX(i).Visible = false;
            return;
        }
    }
}

} // namespace velmora
