// SPDX-License-Identifier: MIT
// How the playfield is drawn, for every front end: the visible bricks, then the ball, then
// the paddle, each filled with its colour and outlined by a thin line of the desktop's
// window-text colour along the inside of its box. Figures are in twips; a front end draws
// them at its scale with its own pen.
#pragma once

#include "game.h"
#include "layout.h"

#include <algorithm>
#include <cmath>

namespace velmora::ui {

struct Figure {
    enum Kind { RoundedRectangle, Circle, Rectangle };
    Kind kind;
    double Left, Top, Width, Height; // twips
    Colour fill;
    // A rounded rectangle's corners: the width and height of their ellipses, in twips.
    double cornerWidth = 0, cornerHeight = 0;
};

// The ball is a circle as wide as its box's smaller side, in the middle of the box.
inline Figure ballFigure(const Shape& ball) {
    const double diameter = std::min(Dbl(ball.Width), Dbl(ball.Height));
    return {Figure::Circle,
            Dbl(ball.Left) + (Dbl(ball.Width) - diameter) / 2,
            Dbl(ball.Top) + (Dbl(ball.Height) - diameter) / 2,
            diameter,
            diameter,
            game::ballColour};
}

// Calls `draw(figure)` for each figure of the playfield, in the order they are painted.
// Nothing is allocated: a front end may call this on every repaint.
template <typename Draw> void drawPlayfield(const Game& game, Draw&& draw) {
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        const Shape& brick = game.shaX(i);
        if (brick.Visible) {
            draw(Figure{Figure::RoundedRectangle, Dbl(brick.Left), Dbl(brick.Top), Dbl(brick.Width),
                        Dbl(brick.Height), game::brickColour,
                        Dbl(brick.Width) * game::brickCornerWidth,
                        Dbl(brick.Height) * game::brickCornerHeight});
        }
    }
    if (game.shaP.Visible) {
        draw(ballFigure(game.shaP));
    }
    if (game.shaB.Visible) {
        const Shape& paddle = game.shaB;
        draw(Figure{Figure::Rectangle, Dbl(paddle.Left), Dbl(paddle.Top), Dbl(paddle.Width),
                    Dbl(paddle.Height), game::paddleColour});
    }
}

// Whether a figure (or a lab's mark, which has the same fields) drawn at the scale reaches
// into the area of pixels being repainted: its box, which may run leftwards or upwards,
// widened by a pixel for its outline and the smoothing of its edges.
template <typename Drawn> bool reaches(const Drawn& figure, const Rect& area, const Scale& scale) {
    const double x0 = scale.pixels(figure.Left);
    const double x1 = scale.pixels(figure.Left + figure.Width);
    const double y0 = scale.pixels(figure.Top);
    const double y1 = scale.pixels(figure.Top + figure.Height);
    return std::max(x0, x1) + 1 >= area.Left && std::min(x0, x1) - 1 <= area.Left + area.Width &&
           std::max(y0, y1) + 1 >= area.Top && std::min(y0, y1) - 1 <= area.Top + area.Height;
}

// The pixels to repaint for a shape that moved: its box at the scale, widened by two pixels
// for its outline and the smoothing of its edges.
inline Rect repaintArea(const Shape& shape, const Scale& scale) {
    const auto left = static_cast<int>(std::floor(scale.pixels(Dbl(shape.Left)))) - 2;
    const auto top = static_cast<int>(std::floor(scale.pixels(Dbl(shape.Top)))) - 2;
    const auto right =
        static_cast<int>(std::ceil(scale.pixels(Dbl(shape.Left) + Dbl(shape.Width)))) + 2;
    const auto bottom =
        static_cast<int>(std::ceil(scale.pixels(Dbl(shape.Top) + Dbl(shape.Height)))) + 2;
    return {left, top, right - left, bottom - top};
}

} // namespace velmora::ui
