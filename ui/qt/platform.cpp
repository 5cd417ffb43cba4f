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
#include <array>

namespace velmora::ui {

void DesktopPlatform::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(programTitle), text, QMessageBox::Ok,
                    parent);
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

QFont qtFont(const Font& font) {
    QStringList families;
    for (const char* family : fontFamilies) {
        families << QString::fromUtf8(family);
    }
    QFont qt;
    qt.setFamilies(families);
    qt.setStyleHint(QFont::SansSerif);
    qt.setPointSizeF(font.points);
    qt.setBold(font.bold);
    return qt;
}

QColor qtColour(const Colour& colour) {
    return {colour.red, colour.green, colour.blue};
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

// Tells a held key's repeats from new presses. Qt marks a repeat as such when the window
// system does. X11 sends each repeat of a held key as a release and a press with the same
// timestamp, and Qt marks that pair only if the press has already arrived when it handles
// the release, which on a busy machine it often has not. So a press that comes at the very
// time of the same key's last release is a repeat too: no hand lets go of a key and presses
// it again within one millisecond. (Events made up by a program carry no time, 0.)
class HeldKeyFilter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) {
            return QObject::eventFilter(watched, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        HeldKey* held = find(key->key());
        if (!held) {
            return QObject::eventFilter(watched, event);
        }
        const quint64 time = key->timestamp();
        if (event->type() == QEvent::KeyRelease) {
            held->releasedAt = time;
            return key->isAutoRepeat();
        }
        return key->isAutoRepeat() || (time != 0 && time == held->releasedAt);
    }

  private:
    struct HeldKey {
        int key;
        quint64 releasedAt = 0;
    };

    HeldKey* find(int key) {
        for (HeldKey& held : keys_) {
            if (held.key == key) {
                return &held;
            }
        }
        return nullptr;
    }

    // The keys that press buttons.
    std::array<HeldKey, 3> keys_{{{Qt::Key_Return}, {Qt::Key_Enter}, {Qt::Key_Space}}};
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
