// SPDX-License-Identifier: MIT
// Helpers for driving the real windows with real Qt events, headless.
#pragma once

#include "platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <vector>

namespace velmora::qt {

// Stands in for the desktop: records messages and the end of the program, and shows
// nothing. `whileMessageOpen` runs in place of the modal message's wait for OK.
class FakePlatform final : public Platform {
  public:
    void message(QWidget* parent, const QString& text) override {
        messages << text;
        parents.push_back(parent);
        if (whileMessageOpen) {
            whileMessageOpen();
        }
    }
    void quit(int status) override { exitStatuses.push_back(status); }

    QStringList messages;
    std::vector<QWidget*> parents;
    std::vector<int> exitStatuses;
    std::function<void()> whileMessageOpen;
};

// Sends a mouse event to a widget at a position in its own pixels.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF position, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, position, widget->mapToGlobal(position), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Makes `window` the application's active window (none with nullptr), as the window system
// does when the user goes to it. Qt 6.5 deprecated this call for programs, which should ask
// the window system instead, but a test must be able to say what the window system did.
inline void setActiveWindow(QWidget* window) {
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    QApplication::setActiveWindow(window);
    QT_WARNING_POP
}

// Lets the event loop run for a while, timers included.
inline void processEventsFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

} // namespace velmora::qt
