// SPDX-License-Identifier: MIT
// Twips on Qt's logical pixels, 15 to a pixel, which Qt scales to the screen.
#pragma once

#include "layout.h"
#include "shape.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QWidget>

namespace velmora::ui {

// A control's design-time place, given in twips (all multiples of 15).
inline QRect twipsRect(const Rect& place) {
    return {place.Left / twipsPerPixel, place.Top / twipsPerPixel, place.Width / twipsPerPixel,
            place.Height / twipsPerPixel};
}

// Puts a control at its place, under its name in the layout.
inline void place(QWidget* control, const Control& design) {
    control->setObjectName(QString::fromLatin1(design.name));
    control->setGeometry(twipsRect(design.place));
}

// Sets the window's tab order as the layout gives it; controls that take no focus are passed.
template <std::size_t Count>
void applyTabOrder(QWidget& window, const std::array<const Control*, Count>& order) {
    QWidget* previous = nullptr;
    for (const Control* control : order) {
        auto* widget = window.findChild<QWidget*>(QString::fromLatin1(control->name));
        if (!widget || widget->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous) {
            QWidget::setTabOrder(previous, widget);
        }
        previous = widget;
    }
}

inline QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

inline QRectF pixelRect(const Shape& shape) {
    return {Dbl(shape.Left) / twipsPerPixel, Dbl(shape.Top) / twipsPerPixel,
            Dbl(shape.Width) / twipsPerPixel, Dbl(shape.Height) / twipsPerPixel};
}

// A position in logical pixels as the rules take it.
inline float toTwips(qreal pixels) {
    return pointerTwips(pixels * twipsPerPixel);
}

} // namespace velmora::ui
