// SPDX-License-Identifier: MIT
#include "application.h"

#include "gamewindow.h"
#include "guard.h"
#include "platform.h"
#include "twips.h"

namespace velmora::qt {

Application::Application(int& argc, char** argv, Platform& platform)
    : QApplication(argc, argv), platform_(platform) {}

bool Application::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    ui::guarded([&] { handled = QApplication::notify(receiver, event); },
                [this](const std::string& message) { fail(message); });
    return handled;
}

// While a game window is open, its session ends the program, as for a run-time error of the
// game: the timer stops first, and the one message has the game window for parent.
void Application::fail(const std::string& message) {
    for (QWidget* window : topLevelWidgets()) {
        if (auto* game = qobject_cast<GameWindow*>(window)) {
            game->fail(message);
            return;
        }
    }
    if (failed_) {
        return; // one message; the program is ending already
    }
    failed_ = true;
    platform_.message(activeWindow(), text(message));
    platform_.quit(1);
}

} // namespace velmora::qt
