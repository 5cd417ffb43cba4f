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
#include <QWindow>
#include <array>

namespace velmora::qt {

void DesktopPlatform::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(ui::programTitle), text, QMessageBox::Ok,
                    parent);
    // A message box sizes itself to its text; a spacer across its grid holds it wider.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        grid->addItem(new QSpacerItem(ui::messageMinimumWidth, 0), grid->rowCount(), 0, 1,
                      grid->columnCount());
    }
    box.exec();
}

void DesktopPlatform::quit(int status) {
    QCoreApplication::exit(status);
}

QFont qtFont(const ui::Font& font, const ui::Scale& scale) {
    QStringList families;
    for (const char* family : ui::fontFamilies) {
        families << QString::fromUtf8(family);
    }
    QFont qt;
    qt.setFamilies(families);
    qt.setStyleHint(QFont::SansSerif);
    qt.setPointSizeF(font.points * scale.factor());
    qt.setBold(font.bold);
    return qt;
}

QColor qtColour(const ui::Colour& colour) {
    return {colour.red, colour.green, colour.blue};
}

namespace {

// Fits a window to its screen and keeps it there: at the start, once the window system has
// framed it (when the frame's size is known), and whenever it goes to another screen.
class ScreenFit final : public QObject {
  public:
    ScreenFit(QWidget& window, int clientWidthTwips, int clientHeightTwips, LayOut layOut)
        : QObject(&window), window_(window), clientWidth_(clientWidthTwips),
          clientHeight_(clientHeightTwips), layOut_(std::move(layOut)) {
        window.installEventFilter(this);
        fit(true);
    }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !watchingScreens_ && window_.windowHandle()) {
            watchingScreens_ = true;
            // On another screen the window keeps its place, unless it must shrink or may grow.
            // Qt sends this signal straight from the window system, outside any event: queued,
            // the fit runs as an event, in the application's guard.
            connect(
                window_.windowHandle(), &QWindow::screenChanged, this, [this] { fit(false); },
                Qt::QueuedConnection);
        }
        const bool framed =
            window_.isVisible() && window_.frameGeometry().size() != window_.geometry().size();
        if (!placedFramed_ && framed &&
            (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            placedFramed_ = true;
            fit(true);
        }
        return false;
    }

  private:
    void fit(bool centre) {
        const QScreen* screen = window_.screen();
        if (!screen) {
            return;
        }
        const QRect available = screen->availableGeometry();
        // Before the window system frames the window its frame is the client area.
        const QSize frame = window_.frameGeometry().size() - window_.geometry().size();
        const ui::Scale scale =
            ui::fittingScale(ui::Scale(), clientWidth_, clientHeight_, frame.width(),
                             frame.height(), available.width(), available.height());
        if (!laidOut_ || scale.pixelsPerInch() != scale_.pixelsPerInch()) {
            laidOut_ = true;
            scale_ = scale;
            layOut_(scale);
            centre = true;
        }
        if (!centre) {
            return;
        }
        const ui::Rect place =
            ui::centred({available.x(), available.y(), available.width(), available.height()},
                        window_.width() + frame.width(), window_.height() + frame.height());
        window_.move(place.Left, place.Top); // a window's position is its frame's
    }

    QWidget& window_;
    int clientWidth_;
    int clientHeight_;
    LayOut layOut_;
    ui::Scale scale_;
    bool laidOut_ = false;
    bool placedFramed_ = false;
    bool watchingScreens_ = false;
};

} // namespace

void fitAndCentre(QWidget& window, int clientWidthTwips, int clientHeightTwips, LayOut layOut) {
    new ScreenFit(window, clientWidthTwips, clientHeightTwips, std::move(layOut));
}

ui::Key uiKey(int qtKey) {
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ui::Key::Enter;
    case Qt::Key_Space:
        return ui::Key::Space;
    case Qt::Key_Escape:
        return ui::Key::Escape;
    default:
        return ui::Key::Other;
    }
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
        if (!ui::repeatsPressNothing(uiKey(key))) {
            return nullptr;
        }
        for (HeldKey& held : keys_) {
            if (held.key == key) {
                return &held;
            }
        }
        return nullptr;
    }

    // The keys that press buttons, each with the time of its last release.
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

} // namespace velmora::qt
