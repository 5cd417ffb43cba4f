#include "platform.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QScreen>
#include <QWidget>

namespace velmora::ui {

void DesktopPlatform::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), text, QMessageBox::Ok, parent);
    box.exec();
}

void DesktopPlatform::quit(int status) {
    QCoreApplication::exit(status);
}

QFont dialogFont(qreal points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void centreOnScreen(QWidget& window) {
    if (const QScreen* screen = window.screen()) {
        QRect place({}, window.size());
        place.moveCenter(screen->availableGeometry().center());
        window.move(place.topLeft());
    }
}

} // namespace velmora::ui
