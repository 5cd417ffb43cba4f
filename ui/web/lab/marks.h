// SPDX-License-Identifier: MIT
// The lab's marks over the playfield, drawn after its figures: the ball's box, which the
// rules test, with a cross at its centre; the paddle's thirds, at the marks the rules round
// them to; the brick hit on the last step outlined; the ball's path, through the centres of
// its box on the last ticks, oldest first. Only the browser's lab draws them (lab.js).
#pragma once

#include "drawing.h"

#include <span>

namespace velmora::ui::web {

struct Point {
    double x, y; // twips
};

// The middle of the ball's box, where the rules look for the paddle under it.
inline Point ballCentre(const Shape& ball) {
    return {Dbl(ball.Left) + Dbl(ball.Width) / 2, Dbl(ball.Top) + Dbl(ball.Height) / 2};
}

// A mark, drawn in `fill` without filling anything: a box's edge, or the line from
// (Left, Top) to (Left + Width, Top + Height). Its kinds follow the playfield's figures'.
struct Mark {
    enum Kind { Outline = Figure::Rectangle + 1, Segment };
    Kind kind;
    double Left, Top, Width, Height; // twips; a segment's width and height may be negative
    Colour fill;
    double cornerWidth = 0, cornerHeight = 0; // none: as a figure has them
};

struct LabMarks {
    Integer hitBrick = -1; // or a brick's index
    std::span<const Point> path;
};

inline constexpr Colour labColour{0, 0, 192};
inline constexpr Colour hitColour{224, 0, 0};
inline constexpr double centreMark = 90; // twips each way from the ball's centre

template <typename Draw> void drawLabMarks(const Game& game, const LabMarks& marks, Draw&& draw) {
    for (std::size_t i = 1; i < marks.path.size(); ++i) {
        const Point& from = marks.path[i - 1];
        const Point& to = marks.path[i];
        draw(Mark{Mark::Segment, from.x, from.y, to.x - from.x, to.y - from.y, labColour});
    }
    if (marks.hitBrick >= 0 && marks.hitBrick < game.shaX.Count()) {
        const Shape& brick = game.shaX(marks.hitBrick);
        draw(Mark{Mark::Outline, Dbl(brick.Left), Dbl(brick.Top), Dbl(brick.Width),
                  Dbl(brick.Height), hitColour});
    }
    if (game.shaB.Visible) {
        const Shape& paddle = game.shaB;
        const std::array<Integer, 4> thirds = paddleThirds(paddle);
        for (const Integer mark : {thirds[1], thirds[2]}) {
            draw(Mark{Mark::Segment, Dbl(mark), Dbl(paddle.Top), 0, Dbl(paddle.Height), labColour});
        }
    }
    if (game.shaP.Visible) {
        const Shape& ball = game.shaP;
        draw(Mark{Mark::Outline, Dbl(ball.Left), Dbl(ball.Top), Dbl(ball.Width), Dbl(ball.Height),
                  labColour});
        const Point centre = ballCentre(ball);
        draw(Mark{Mark::Segment, centre.x - centreMark, centre.y, 2 * centreMark, 0, labColour});
        draw(Mark{Mark::Segment, centre.x, centre.y - centreMark, 0, 2 * centreMark, labColour});
    }
}

} // namespace velmora::ui::web
