// SPDX-License-Identifier: MIT
#include "platform.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QSpacerItem>
#include <QWidget>

namespace velmora::ui {

void DesktopPlatform::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Velmora"), text, QMessageBox::Ok, parent);
    // A message box sizes itself to its text; a spacer across its grid holds it wider.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(messageMinimumWidth, 0), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
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

namespace {

void placeFrameInTheMiddle(QWidget& window) {
    const QScreen* screen = window.screen();
    if (!screen) {
        return;
    }
    const QRect available = screen->availableGeometry();
    QRect frame = window.frameGeometry(); // before the window system frames it: the client area
    frame.moveCenter(available.center());
    // Too large for the screen: the title bar, at the top left, stays where it can be reached.
    frame.moveTop(std::max(frame.top(), available.top()));
    frame.moveLeft(std::max(frame.left(), available.left()));
    window.move(frame.topLeft()); // a window's position is its frame's
}

// The frame's size is known only once the window system has framed the shown window: then
// the window is placed once more, with its frame, and this goes.
class CentreWhenFramed final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<QWidget*>(watched);
        const bool framed = window && window->isVisible() &&
                            window->frameGeometry().size() != window->geometry().size();
        if (framed && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            window->removeEventFilter(this);
            deleteLater();
            placeFrameInTheMiddle(*window);
        }
        return false;
    }
};

} // namespace

void centreOnScreen(QWidget& window) {
    placeFrameInTheMiddle(window);
    window.installEventFilter(new CentreWhenFramed(&window));
}

namespace {

class HeldKeyFilter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->isAutoRepeat() &&
                (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                 key->key() == Qt::Key_Space)) {
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void ignoreHeldKeys() {
    static QPointer<HeldKeyFilter> filter;
    if (!filter) {
        filter = new HeldKeyFilter(qApp); // lives as long as the application
        qApp->installEventFilter(filter);
    }
}

} // namespace velmora::ui
