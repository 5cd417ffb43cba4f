// SPDX-License-Identifier: MIT
#include "application.h"
#include "platform.h"
#include "startwindow.h"
#include "version.h"

#include <QIcon>
#include <cstdio>
#include <optional>

int main(int argc, char* argv[]) {
    // Without a graphical session Qt would abort with advice that does not help; say why.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        std::fputs("velmora: no graphical session: start me from a desktop (DISPLAY and "
                   "WAYLAND_DISPLAY are not set)\n",
                   stderr);
        return 1;
    }
    velmora::qt::DesktopPlatform desktop;
    velmora::qt::Application app(argc, argv, desktop);
    QApplication::setApplicationName(QString::fromUtf8(velmora::ui::programTitle));
    QApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION_TEXT));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velmora/velmora.ico")));

    // The start window is made by the event loop's first event, so that even its making runs
    // in the application's guard.
    std::optional<velmora::qt::StartWindow> start;
    QMetaObject::invokeMethod(
        &app,
        [&] {
            start.emplace(desktop);
            start->show();
        },
        Qt::QueuedConnection);
    return QApplication::exec();
}
