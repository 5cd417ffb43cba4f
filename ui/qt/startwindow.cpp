// SPDX-License-Identifier: MIT
#include "startwindow.h"

#include "gamewindow.h"
#include "platform.h"
#include "twips.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace velmora::ui {

StartWindow::StartWindow(Platform& platform, QWidget* parent)
    : QWidget(parent), platform_(platform) {
    setWindowTitle(text(start::caption));
    setFont(qtFont(dialogFont));
    resize(twipsRect({0, 0, start::clientWidth, start::clientHeight}).size());
    ignoreHeldKeys();

    // The picture at its own size, 400 x 225; the buttons stand over it. On a high-density
    // screen Qt takes the picture drawn at twice the size (avvio@2x.jpg), so it stays sharp.
    auto* Image1 = new QLabel(this);
    const QSize pictureSize(start::pictureWidth, start::pictureHeight);
    Image1->setPixmap(
        QIcon(QStringLiteral(":/velmora/avvio.jpg")).pixmap(pictureSize, devicePixelRatioF()));
    place(Image1, start::Image1);

    cmdGioca_ = new QPushButton(text(start::cmdGioca.caption), this);
    place(cmdGioca_, start::cmdGioca);
    cmdGioca_->setFont(qtFont(start::cmdGioca.font));

    cmdFine_ = new QPushButton(text(start::cmdFine.caption), this);
    place(cmdFine_, start::cmdFine);

    // Enter, like Space, presses the button that has the focus; "GIOCA" has it first.
    cmdGioca_->setAutoDefault(true);
    cmdFine_->setAutoDefault(true);
    applyTabOrder(*this, start::tabOrder);
    cmdGioca_->setFocus();
    connect(cmdGioca_, &QPushButton::clicked, this, &StartWindow::cmdGioca_Click);
    connect(cmdFine_, &QPushButton::clicked, this, &StartWindow::cmdFine_Click);

    centreOnScreen(*this);
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

} // namespace velmora::ui
