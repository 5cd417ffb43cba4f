// SPDX-License-Identifier: MIT
// How the playfield is drawn, for every front end: the visible bricks, then the ball, then
// the paddle, each filled with its colour and outlined by a thin line of the desktop's
// window-text colour along the inside of its box. Figures are in twips; a front end draws
// them at its scale with its own pen.
#pragma once

#include "game.h"
#include "layout.h"

#include <algorithm>
#include <array>
#include <span>

namespace velmora::ui {

struct Figure {
    // The lab adds the last two, drawn in `fill` without filling anything: a box's edge,
    // and the line from (Left, Top) to (Left + Width, Top + Height).
    enum Kind { RoundedRectangle, Circle, Rectangle, Outline, Segment };
    Kind kind;
    double Left, Top, Width, Height; // twips; a segment's width and height may be negative
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

struct Point {
    double x, y; // twips
};

// The middle of the ball's box, where the rules look for the paddle under it.
inline Point ballCentre(const Shape& ball) {
    return {Dbl(ball.Left) + Dbl(ball.Width) / 2, Dbl(ball.Top) + Dbl(ball.Height) / 2};
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

// The paddle's marks, as the rules measure its thirds: its left edge and the end of each
// third, each rounded before the next third is added to it.
inline std::array<Integer, 4> paddleMarks(const Shape& paddle) {
    std::array<Integer, 4> marks{CInt(paddle.Left), 0, 0, 0};
    for (std::size_t i = 1; i < marks.size(); ++i) {
        marks[i] = CInt(Sum(Third(paddle.Width), Dbl(marks[i - 1])));
    }
    return marks;
}

// The lab's marks over the playfield, drawn after its figures: the ball's box, which the
// rules test, with a cross at its centre; the paddle's thirds, at the marks the rules round
// them to; the brick hit on the last step outlined (`hitBrick`, or -1); the ball's path,
// through the centres of its box on the last ticks, oldest first.
struct LabMarks {
    Integer hitBrick = -1;
    std::span<const Point> path;
};

inline constexpr Colour labColour{0, 0, 192};
inline constexpr Colour hitColour{224, 0, 0};
inline constexpr double centreMark = 90; // twips each way from the ball's centre

template <typename Draw> void drawLabMarks(const Game& game, const LabMarks& marks, Draw&& draw) {
    for (std::size_t i = 1; i < marks.path.size(); ++i) {
        const Point& from = marks.path[i - 1];
        const Point& to = marks.path[i];
        draw(Figure{Figure::Segment, from.x, from.y, to.x - from.x, to.y - from.y, labColour});
    }
    if (marks.hitBrick >= 0 && marks.hitBrick < game.shaX.Count()) {
        const Shape& brick = game.shaX(marks.hitBrick);
        draw(Figure{Figure::Outline, Dbl(brick.Left), Dbl(brick.Top), Dbl(brick.Width),
                    Dbl(brick.Height), hitColour});
    }
    if (game.shaB.Visible) {
        const Shape& paddle = game.shaB;
        const std::array<Integer, 4> thirds = paddleMarks(paddle);
        for (const Integer mark : {thirds[1], thirds[2]}) {
            draw(Figure{Figure::Segment, Dbl(mark), Dbl(paddle.Top), 0, Dbl(paddle.Height),
                        labColour});
        }
    }
    if (game.shaP.Visible) {
        const Shape& ball = game.shaP;
        draw(Figure{Figure::Outline, Dbl(ball.Left), Dbl(ball.Top), Dbl(ball.Width),
                    Dbl(ball.Height), labColour});
        const Point centre = ballCentre(ball);
        draw(
            Figure{Figure::Segment, centre.x - centreMark, centre.y, 2 * centreMark, 0, labColour});
        draw(
            Figure{Figure::Segment, centre.x, centre.y - centreMark, 0, 2 * centreMark, labColour});
    }
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
