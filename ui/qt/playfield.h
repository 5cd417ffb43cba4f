// SPDX-License-Identifier: MIT
// The playfield: a white frame that draws the bricks, the ball and the paddle from the
// game's state, and reports mouse events with their buttons and their place in twips. The
// shapes get no mouse events of their own; the game's handlers test the pointer against them.
#pragma once

#include "game.h"
#include "units.h"

#include <QFrame>
#include <functional>
#include <string>

namespace velmora::qt {

class Playfield : public QFrame {
    Q_OBJECT

  public:
    // What the painting throws goes to `fail`, with the guard's message (guard.h).
    using Fail = std::function<void(const std::string& message)>;
    Playfield(const Game& game, QWidget* parent, Fail fail);

    void setScale(const ui::Scale& scale) { scale_ = scale; }
    // Paints again the part of the playfield where a shape was or is (its place in twips).
    void repaintPlace(const velmora::Shape& place);

  signals:
    void mouseDown(Integer button, float xTwips, float yTwips);
    void mouseMove(Integer button, float xTwips, float yTwips);
    void mouseUp(Integer button, float xTwips, float yTwips);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void paint(const QRect& area);

    const Game& game_;
    Fail fail_;
    bool failed_ = false; // the painting failed once: it draws nothing more
    ui::Scale scale_;
};

// The button value the game's mouse handlers take: 1 left, 2 right, 4 middle, added up
// when several are held.
Integer buttonValue(Qt::MouseButtons buttons);

} // namespace velmora::qt
