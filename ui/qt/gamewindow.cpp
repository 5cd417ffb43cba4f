// SPDX-License-Identifier: MIT
#include "gamewindow.h"

#include "platform.h"
#include "playfield.h"
#include "speedbox.h"
#include "twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <new>

namespace velmora::ui {

GameWindow::GameWindow(Platform& platform, QWidget* parent, const TickClock* clock)
    : QDialog(parent), platform_(platform), timer_(clock ? *clock : steadyClock_) {
    setWindowTitle(text(game::caption));
    setFont(qtFont(dialogFont));
    resize(twipsRect({0, 0, game::clientWidth, game::clientHeight}).size());
    ignoreHeldKeys();

    frame_ = new Playfield(game_, this);
    place(frame_, game::frame);

    auto* Label1 = new QLabel(text(game::Label1.caption), this);
    place(Label1, game::Label1);

    cmbVel_ = new SpeedBox(this);
    place(cmbVel_, game::cmbVel);

    auto* Label2 = new QLabel(text(game::Label2.caption), this);
    place(Label2, game::Label2);

    // Red text on the window-background colour, in a thin frame of the same red.
    lblPunti_ = new QLabel(this);
    place(lblPunti_, game::lblPunti);
    lblPunti_->setAlignment(Qt::AlignCenter);
    lblPunti_->setFont(qtFont(game::lblPunti.font));
    lblPunti_->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblPunti_->setLineWidth(1);
    QPalette scoreColours = lblPunti_->palette();
    scoreColours.setColor(QPalette::Text, qtColour(game::scoreColour));
    lblPunti_->setPalette(scoreColours);
    lblPunti_->setForegroundRole(QPalette::Text);
    lblPunti_->setBackgroundRole(QPalette::Base);
    lblPunti_->setAutoFillBackground(true);

    cmdFine_ = new QPushButton(text(game::cmdFine.caption), this);
    place(cmdFine_, game::cmdFine);
    // Enter presses the focused button only, never a default one from inside the speed box.
    cmdFine_->setAutoDefault(false);

    // The playfield takes no focus, so "Chiudi" is the first stop, then the speed box.
    applyTabOrder(*this, game::tabOrder);

    connect(cmdFine_, &QPushButton::clicked, this, &QDialog::close);
    connect(frame_, &Playfield::mouseDown, this, &GameWindow::frame_MouseDown);
    connect(frame_, &Playfield::mouseMove, this, &GameWindow::frame_MouseMove);
    connect(frame_, &Playfield::mouseUp, this, &GameWindow::frame_MouseUp);
    connect(cmbVel_, &SpeedBox::picked, this, &GameWindow::cmbVel_Click);
    connect(&timer_, &TickTimer::timeout, this, &GameWindow::Timer_Timer);

    centreOnScreen(*this);
    Form_Load();
}

// Runs one handler's whole work, the showing of the new state included. Whatever it throws
// ends the program here, at the edge of the event, with a message: nothing crosses Qt's
// event handling.
template <typename Handler> void GameWindow::run(Handler&& handler) {
    if (failed_) {
        return;
    }
    try {
        handler();
        showState();
    } catch (const RunTimeError& error) {
        fail(text(describeInItalian(error.kind())));
    } catch (const std::bad_alloc&) {
        fail(text(outOfMemory));
    } catch (...) {
        fail(text(internalError));
    }
}

void GameWindow::fail(const QString& description) {
    failed_ = true;
    timer_.stop();
    platform_.message(this, text(runTimeErrorMessage) + description);
    platform_.quit(1);
}

void GameWindow::showState() {
    frame_->refresh();
    lblPunti_->setText(QString::fromStdString(game_.lblPunti.Caption));
}

void GameWindow::Form_Load() {
    run([this] {
        game_.Form_Load();
        cmbVel_->setList(game_.cmbVel.List, game_.cmbVel.Text);
    });
}

// The pyramid is built, and the timer started, when the window first appears, so the
// first tick always finds the pyramid standing. The timer then runs until the window goes:
// minimising, covering or moving the window does not stop the game.
void GameWindow::Form_Activate() {
    run([this] {
        game_.Form_Activate();
        cmdFine_->setFocus();
        timer_.start(game_.timer.Interval);
    });
}

void GameWindow::Timer_Timer() {
    if (!timer_.isActive()) {
        return;
    }
    run([this] { game_.Timer_Timer(); });
    if (game_.gameOver && timer_.isActive()) {
        timer_.stop(); // no tick while the message is open, and none after
        platform_.message(this, text(gameOverMessage));
        close();
    }
}

// A mouse event of the playfield: its buttons and its place, in twips, as the rules take them.
void GameWindow::mouseEvent(MouseHandler handler, Qt::MouseButtons buttons, QPointF position) {
    run([&] {
        (game_.*handler)(buttonValue(buttons), 0, toTwips(position.x()), toTwips(position.y()));
    });
}

void GameWindow::frame_MouseDown(Qt::MouseButtons buttons, QPointF position) {
    mouseEvent(&Game::frame_MouseDown, buttons, position);
}

void GameWindow::frame_MouseMove(Qt::MouseButtons buttons, QPointF position) {
    mouseEvent(&Game::frame_MouseMove, buttons, position);
}

void GameWindow::frame_MouseUp(Qt::MouseButtons buttons, QPointF position) {
    mouseEvent(&Game::frame_MouseUp, buttons, position);
}

void GameWindow::cmbVel_Click() {
    run([this] {
        game_.cmbVel.Text = cmbVel_->currentText().toStdString();
        game_.cmbVel_Click();
    });
}

void GameWindow::done(int result) {
    timer_.stop();
    QDialog::done(result);
}

void GameWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        Form_Activate();
    }
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        }
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velmora::ui
