#include "platform.h"
#include "startwindow.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velmora/velmora.ico")));

    velmora::ui::DesktopPlatform desktop;
    velmora::ui::StartWindow start(desktop);
    start.show();
    return QApplication::exec();
}
