// SPDX-License-Identifier: MIT
#include "startwindow.h"

#include "gamewindow.h"
#include "platform.h"
#include "twips.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <cmath>

namespace velmora::qt {

StartWindow::StartWindow(Platform& platform, QWidget* parent)
    : QWidget(parent), platform_(platform) {
    using namespace ui::start;
    setWindowTitle(text(caption));
    ignoreHeldKeys();

    Image1_ = new QLabel(this);
    cmdGioca_ = new QPushButton(text(cmdGioca.caption), this);
    cmdFine_ = new QPushButton(text(cmdFine.caption), this);
    fitAndCentre(*this, clientWidth, clientHeight,
                 [this](const ui::Scale& scale) { layOut(scale); });

    // Enter, like Space, presses the button that has the focus; "GIOCA" has it first.
    cmdGioca_->setAutoDefault(true);
    cmdFine_->setAutoDefault(true);
    applyTabOrder(*this, tabOrder);
    cmdGioca_->setFocus();
    connect(cmdGioca_, &QPushButton::clicked, this, &StartWindow::cmdGioca_Click);
    connect(cmdFine_, &QPushButton::clicked, this, &StartWindow::cmdFine_Click);
}

// The picture at its own size, 400 x 225 at scale 1, with the buttons over it. On a
// high-density screen Qt takes the picture drawn at twice the size (avvio@2x.jpg), so it
// stays sharp; on a screen too small for the window it shrinks with everything else.
void StartWindow::layOut(const ui::Scale& scale) {
    using namespace ui::start;
    setFont(qtFont(ui::dialogFont, scale));
    const QSize pictureSize(static_cast<int>(std::lround(pictureWidth * scale.factor())),
                            static_cast<int>(std::lround(pictureHeight * scale.factor())));
    Image1_->setPixmap(
        QIcon(QStringLiteral(":/velmora/avvio.jpg")).pixmap(pictureSize, devicePixelRatioF()));
    place(Image1_, Image1, scale);
    place(cmdGioca_, cmdGioca, scale);
    cmdGioca_->setFont(qtFont(cmdGioca.font, scale));
    place(cmdFine_, cmdFine, scale);
    resize(twipsRect({0, 0, clientWidth, clientHeight}, scale).size());
}

// When the game window has gone, this window comes back on the screen and takes the
// keyboard, with "GIOCA" focused, so that Enter or Space starts the next game. A window
// manager that minimises the game window may minimise this one with it, and one that sees
// the message box and the game window vanish together may not give the keyboard back.
void StartWindow::cmdGioca_Click() {
    {
        GameWindow game(platform_, this);
        game.exec();
    }
    if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
    cmdGioca_->setFocus();
}

void StartWindow::cmdFine_Click() {
    platform_.quit(0);
}

} // namespace velmora::qt
