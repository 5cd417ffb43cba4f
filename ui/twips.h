// SPDX-License-Identifier: MIT
// Twips, the unit of the game's layout and of its rules: 1/1440 inch, so 15 twips to a
// logical pixel at 96 dots per inch. Qt scales logical pixels to the screen.
#pragma once

#include "numeric.h"
#include "shape.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QWidget>

namespace velmora::ui {

inline constexpr int twipsPerPixel = 15;

// A control's design-time place, given in twips (all multiples of 15).
inline QRect twipsRect(int left, int top, int width, int height) {
    return {left / twipsPerPixel, top / twipsPerPixel, width / twipsPerPixel,
            height / twipsPerPixel};
}

// Puts a control at its place, under its name in the layout.
inline void place(QWidget* control, const char* name, const QRect& where) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(where);
}

inline QRectF pixelRect(const Shape& shape) {
    return {Dbl(shape.Left) / twipsPerPixel, Dbl(shape.Top) / twipsPerPixel,
            Dbl(shape.Width) / twipsPerPixel, Dbl(shape.Height) / twipsPerPixel};
}

// A position in logical pixels as the rules take it: twips, in single precision. A position
// beyond 2^24 twips either way (over a kilometre of screen), or none at all from a broken
// device or a made-up event, is nowhere near the paddle: it is clamped to that limit, and
// means just that to the rules.
inline float toTwips(qreal pixels) {
    constexpr double limit = 16777216; // 2^24: single precision still holds every whole twip
    const double twips = pixels * twipsPerPixel;
    if (twips > limit) {
        return static_cast<float>(limit);
    }
    if (!(twips >= -limit)) { // NaN too
        return static_cast<float>(-limit);
    }
    return ToSingle(twips);
}

} // namespace velmora::ui
