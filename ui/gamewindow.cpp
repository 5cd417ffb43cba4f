#include "gamewindow.h"

#include "platform.h"
#include "playfield.h"
#include "speedbox.h"
#include "twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace velmora::ui {

GameWindow::GameWindow(Platform& platform, QWidget* parent) : QDialog(parent), platform_(platform) {
    setWindowTitle(QStringLiteral("Velmora (un esempio didattico di programmazione)"));
    setFont(dialogFont(8.25, false));
    resize(twipsRect(0, 0, 10080, 9045).size());

    frame_ = new Playfield(game_, this);
    place(frame_, "frame", twipsRect(120, 120, 9855, 8295));

    auto* Label1 = new QLabel(QStringLiteral("Velocità :"), this);
    place(Label1, "Label1", twipsRect(360, 8640, 735, 255));

    cmbVel_ = new SpeedBox(this);
    place(cmbVel_, "cmbVel", twipsRect(1200, 8520, 1215, 315));

    auto* Label2 = new QLabel(QStringLiteral("Punti :"), this);
    place(Label2, "Label2", twipsRect(2760, 8640, 495, 255));

    lblPunti_ = new QLabel(this);
    place(lblPunti_, "lblPunti", twipsRect(3360, 8520, 975, 375));
    lblPunti_->setAlignment(Qt::AlignCenter);
    lblPunti_->setFont(dialogFont(13.5, true));
    // Red on the window-background colour, in a thin black frame.
    lblPunti_->setStyleSheet(QStringLiteral(
        "QLabel { color: rgb(255, 0, 0); background: palette(base); border: 1px solid black; }"));

    cmdFine_ = new QPushButton(QStringLiteral("Chiudi"), this);
    place(cmdFine_, "cmdFine", twipsRect(9120, 8520, 735, 375));
    // Enter presses the focused button only, never a default one from inside the speed box.
    cmdFine_->setAutoDefault(false);

    // The playfield takes no focus, so "Chiudi" is the first stop, then the speed box.
    QWidget::setTabOrder(cmdFine_, cmbVel_);

    connect(cmdFine_, &QPushButton::clicked, this, &QDialog::close);
    connect(frame_, &Playfield::mouseDown, this, &GameWindow::frame_MouseDown);
    connect(frame_, &Playfield::mouseMove, this, &GameWindow::frame_MouseMove);
    connect(frame_, &Playfield::mouseUp, this, &GameWindow::frame_MouseUp);
    connect(cmbVel_, &SpeedBox::picked, this, &GameWindow::cmbVel_Click);
    connect(&timer_, &TickTimer::timeout, this, &GameWindow::Timer_Timer);

    centreOnScreen(*this);
    Form_Load();
}

// Runs one handler of the rules. A run-time error ends the program here, at the edge of
// the event, so that no exception crosses Qt's event handling.
template <typename Handler> void GameWindow::run(Handler&& handler) {
    if (failed_) {
        return;
    }
    try {
        handler();
    } catch (const RunTimeError& error) {
        failed_ = true;
        timer_.stop();
        platform_.message(this, QStringLiteral("Errore di run-time: %1").arg(error.what()));
        platform_.quit(1);
        return;
    }
    showState();
}

void GameWindow::showState() {
    frame_->refresh();
    // The score's text is digits; compared in place, it costs nothing on the many ticks
    // that leave it as it was.
    const std::string& score = game_.lblPunti.Caption;
    const QLatin1String shown(score.data(), static_cast<qsizetype>(score.size()));
    if (lblPunti_->text() != shown) {
        lblPunti_->setText(shown);
    }
}

void GameWindow::Form_Load() {
    run([this] { game_.Form_Load(); });
    cmbVel_->setList(game_.cmbVel.List, game_.cmbVel.Text);
}

// The pyramid is built, and the timer started, when the window first appears, so the
// first tick always finds the pyramid standing.
void GameWindow::Form_Activate() {
    run([this] { game_.Form_Activate(); });
    cmdFine_->setFocus();
    timer_.start(game_.timer.Interval);
}

void GameWindow::Timer_Timer() {
    run([this] { game_.Timer_Timer(); });
    if (game_.gameOver && timer_.isActive()) {
        timer_.stop(); // no tick while the message is open, and none after
        platform_.message(this, QStringLiteral("Game Over !"));
        close();
    }
}

void GameWindow::frame_MouseDown(Integer button, float x, float y) {
    run([&] { game_.frame_MouseDown(button, 0, x, y); });
}

void GameWindow::frame_MouseMove(Integer button, float x, float y) {
    run([&] { game_.frame_MouseMove(button, 0, x, y); });
}

void GameWindow::frame_MouseUp(Integer button, float x, float y) {
    run([&] { game_.frame_MouseUp(button, 0, x, y); });
}

void GameWindow::cmbVel_Click() {
    game_.cmbVel.Text = cmbVel_->currentText().toStdString();
    run([this] { game_.cmbVel_Click(); });
}

void GameWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!activated_) {
        activated_ = true;
        Form_Activate();
    }
}

// However the window goes (Chiudi, its close button, Escape, game over), its timer stops.
void GameWindow::hideEvent(QHideEvent* event) {
    timer_.stop();
    QDialog::hideEvent(event);
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
