// SPDX-License-Identifier: MIT
// The playfield: a white frame that draws the bricks, the ball and the paddle from the
// game's state, and reports mouse events with their buttons and their position in its own
// logical pixels. The shapes get no mouse events
// of their own; the game's handlers test the pointer against them.
#pragma once

#include "game.h"
#include "redraw.h"

#include <QFrame>

namespace velmora::ui {

class Playfield : public QFrame {
    Q_OBJECT

  public:
    Playfield(const Game& game, QWidget* parent);

    // Schedules a repaint of whatever moved, appeared or vanished since the last call.
    void refresh();

  signals:
    void mouseDown(Qt::MouseButtons buttons, QPointF position);
    void mouseMove(Qt::MouseButtons buttons, QPointF position);
    void mouseUp(Qt::MouseButtons buttons, QPointF position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    const Game& game_;
    Redraw redraw_;
};

// The button value the game's mouse handlers take: 1 left, 2 right, 4 middle, added up
// when several are held.
Integer buttonValue(Qt::MouseButtons buttons);

} // namespace velmora::ui
