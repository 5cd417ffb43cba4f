// SPDX-License-Identifier: MIT
#include "playfield.h"

#include "drawing.h"
#include "guard.h"
#include "platform.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace velmora::qt {

Integer buttonValue(Qt::MouseButtons buttons) {
    return ui::buttonValue(buttons.testFlag(Qt::LeftButton), buttons.testFlag(Qt::RightButton),
                           buttons.testFlag(Qt::MiddleButton));
}

Playfield::Playfield(const Game& game, QWidget* parent, Fail fail)
    : QFrame(parent), game_(game), fail_(std::move(fail)) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, qtColour(ui::game::playfieldColour));
    colours.setColor(QPalette::WindowText, qtColour(ui::game::outlineColour)); // the frame's too
    setPalette(colours);
    setFocusPolicy(Qt::NoFocus);
}

void Playfield::repaintPlace(const velmora::Shape& place) {
    const ui::Rect area = ui::repaintArea(place, scale_);
    update(area.Left, area.Top, area.Width, area.Height);
}

// Qt's painting is a callback of the platform: nothing thrown may leave it.
void Playfield::paintEvent(QPaintEvent* event) {
    if (failed_) {
        return;
    }
    ui::guarded([&] { paint(event->rect()); },
                [this](const std::string& message) {
                    failed_ = true;
                    fail_(message);
                });
}

void Playfield::paint(const QRect& area) {
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(QPen(qtColour(ui::game::outlineColour), 1));
    ui::drawPlayfield(game_, [&](const ui::Figure& figure) {
        const QRectF box(scale_.pixels(figure.Left), scale_.pixels(figure.Top),
                         scale_.pixels(figure.Width), scale_.pixels(figure.Height));
        if (!ui::reaches(figure, {area.x(), area.y(), area.width(), area.height()}, scale_)) {
            return;
        }
        // The outline runs along the inside of the figure's box.
        const QRectF inside = box.adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setBrush(qtColour(figure.fill));
        painter.setRenderHint(QPainter::Antialiasing, figure.kind != ui::Figure::Rectangle);
        switch (figure.kind) {
        case ui::Figure::RoundedRectangle: // corners as a share of the box
            painter.drawRoundedRect(inside, figure.cornerWidth / figure.Width * 100,
                                    figure.cornerHeight / figure.Height * 100, Qt::RelativeSize);
            break;
        case ui::Figure::Circle:
            painter.drawEllipse(inside);
            break;
        case ui::Figure::Rectangle:
            painter.drawRect(inside);
            break;
        }
    });
}

// A press and a release report the one button that changed.
void Playfield::mousePressEvent(QMouseEvent* event) {
    emit mouseDown(buttonValue(event->button()), scale_.twips(event->position().x()),
                   scale_.twips(event->position().y()));
}

// While a button is held the playfield keeps the mouse, so moves beyond its edges still
// come here, with positions outside it.
void Playfield::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMove(buttonValue(event->buttons()), scale_.twips(event->position().x()),
                   scale_.twips(event->position().y()));
}

void Playfield::mouseReleaseEvent(QMouseEvent* event) {
    emit mouseUp(buttonValue(event->button()), scale_.twips(event->position().x()),
                 scale_.twips(event->position().y()));
}

} // namespace velmora::qt
