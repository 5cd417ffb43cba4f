// SPDX-License-Identifier: MIT
// One game of Velmora: the playfield, its pieces, the game numbers and what the game
// window shows of them, with the window's event handlers as methods.
//
// A window (or a test, or the simulator) turns each of its events into one call here and
// then shows the fields. The rules call nothing outside: the one thing they signal is the
// end of the game, through `gameOver`.
#pragma once

#include "numeric.h"
#include "shape.h"

#include <array>
#include <string>
#include <vector>

namespace velmora {

inline constexpr Integer brickCount = 57;

// The pyramid's six rows, from the top: each row's first brick. A row is one brick shorter
// than the row above: 12 + 11 + ... + 7 = 57.
inline constexpr std::array<Integer, 6> rowFirst{0, 12, 23, 33, 42, 50};

struct Label {
    std::string Caption;
};

struct Timer {
    int Interval = 0; // milliseconds; 0 means the timer does not tick
};

struct ComboBox {
    std::vector<std::string> List;
    std::string Text;
};

// What the rules decide on, measured as they measure it: the lab shows and explains the same.

// The paddle's thirds: its left edge and the end of each third, each mark rounded before the
// next third is added to it. The third under the ball's centre sets where the ball goes.
std::array<Integer, 4> paddleThirds(const Shape& paddle);

// The ball's bottom edge within the paddle's height: the ball tests nothing else that tick.
bool levelWithPaddle(const Shape& ball, const Shape& paddle);

// The row of a brick, 0 for the top one.
std::size_t rowOf(Integer brick);

class Game {
  public:
    // The design-time layout: one brick, the ball and the paddle in their places.
    Frame frame{9855, 8295};
    Shape shaP{8280, 2280, 255, 375, true};
    Shape shaB{7080, 7560, 1455, 375, true};
    ShapeArray<brickCount> shaX{Shape{240, 1080, 735, 255, true}};

    Integer velY = 0;       // vertical ball step per tick; positive moves down
    Integer velX = 0;       // horizontal ball step per tick: -30, 0 or 30
    Integer intervallo = 0; // the timer interval the game asks for, in ms
    Integer xPresa = 0;     // x where the paddle drag last took hold; 0: no drag
    Integer punti = 0;      // bricks knocked out in this game

    Label lblPunti;
    ComboBox cmbVel;
    Timer timer;

    // Set by the tick on which the ball's centre reaches the floor. The window then shows
    // "Game Over !" and closes; the tick's move has finished by then.
    bool gameOver = false;

    // Window events.
    void Form_Load();     // starts the game: numbers, score, timer, speed list
    void Form_Activate(); // the first one builds the brick pyramid
    void Timer_Timer() { MuoviPalla(); }
    void frame_MouseDown(Integer Button, Integer Shift, float X, float Y);
    void frame_MouseMove(Integer Button, Integer Shift, float X, float Y);
    void frame_MouseUp(Integer Button, Integer Shift, float X, float Y);
    void cmbVel_Click();

    // The ball step of one tick, and the brick test it makes on the way.
    void MuoviPalla();
    void ControllaBlocchi();

  private:
    void buildPyramid();
    bool isOnPaddle(float X, float Y) const;
};

} // namespace velmora
