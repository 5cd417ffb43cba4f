// SPDX-License-Identifier: MIT
// Twips on Qt's logical pixels, which Qt scales to the screen: 15 twips to a pixel, or
// more where a window is drawn smaller to fit its screen.
#pragma once

#include "layout.h"
#include "shape.h"

#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QWidget>

namespace velmora::qt {

// A control's design-time place at the window's scale.
inline QRect twipsRect(const ui::Rect& place, const ui::Scale& scale) {
    const ui::Rect pixels = scale.wholePixels(place);
    return {pixels.Left, pixels.Top, pixels.Width, pixels.Height};
}

// Puts a control at its place, under its name in the layout.
inline void place(QWidget* control, const ui::Control& design, const ui::Scale& scale) {
    control->setObjectName(QString::fromLatin1(design.name));
    control->setGeometry(twipsRect(design.place, scale));
}

// Sets the window's tab order as the layout gives it; controls that take no focus are passed.
template <std::size_t Count>
void applyTabOrder(QWidget& window, const std::array<const ui::Control*, Count>& order) {
    QWidget* previous = nullptr;
    for (const ui::Control* control : order) {
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

inline QString text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

} // namespace velmora::qt
