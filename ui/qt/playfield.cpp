// SPDX-License-Identifier: MIT
#include "playfield.h"

#include "platform.h"
#include "twips.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace velmora::ui {

namespace {

// Pixels a shape covers on screen, with room for its border and smoothing.
QRect screenArea(const Shape& shape) {
    return pixelRect(shape).toAlignedRect().adjusted(-1, -1, 1, 1);
}

// A shape's border runs along the inside of its box.
QRectF insideBorder(const QRectF& box) {
    return box.adjusted(0.5, 0.5, -0.5, -0.5);
}

// The ball is a circle as wide as its box, in the middle of the box's height.
QRectF ballCircle(const Shape& ball) {
    const double diameter = std::min(ball.Width, ball.Height);
    const QRectF box = pixelRect(ball);
    QRectF circle(0, 0, diameter / twipsPerPixel, diameter / twipsPerPixel);
    circle.moveCenter(box.center());
    return circle;
}

} // namespace

Integer buttonValue(Qt::MouseButtons buttons) {
    return buttonValue(buttons.testFlag(Qt::LeftButton), buttons.testFlag(Qt::RightButton),
                       buttons.testFlag(Qt::MiddleButton));
}

Playfield::Playfield(const Game& game, QWidget* parent)
    : QFrame(parent), game_(game), redraw_(game) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, qtColour(game::playfieldColour));
    setPalette(colours);
    setFocusPolicy(Qt::NoFocus);
}

void Playfield::refresh() {
    redraw_.changed([this](const velmora::Shape& shape) { update(screenArea(shape)); });
}

void Playfield::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));

    painter.setBrush(qtColour(game::brickColour));
    for (Integer i = 0; i < game_.shaX.Count(); ++i) {
        const velmora::Shape& brick = game_.shaX(i);
        const QRectF box = pixelRect(brick);
        if (brick.Visible && event->rect().intersects(box.toAlignedRect())) {
            painter.drawRoundedRect(insideBorder(box), game::brickCornerWidth * 100,
                                    game::brickCornerHeight * 100, Qt::RelativeSize);
        }
    }
    if (game_.shaP.Visible) {
        painter.setBrush(qtColour(game::ballColour));
        painter.drawEllipse(insideBorder(ballCircle(game_.shaP)));
    }
    if (game_.shaB.Visible) {
        painter.setBrush(qtColour(game::paddleColour));
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawRect(insideBorder(pixelRect(game_.shaB)));
    }
}

// A press and a release report the one button that changed.
void Playfield::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(event->button(), event->position());
}

// While a button is held the playfield keeps the mouse, so moves beyond its edges still
// come here, with positions outside it.
void Playfield::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(event->buttons(), event->position());
}

void Playfield::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(event->button(), event->position());
}

} // namespace velmora::ui
