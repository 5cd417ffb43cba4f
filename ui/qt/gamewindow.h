// SPDX-License-Identifier: MIT
// frmVelmora, the game window: the playfield and the controls at the bottom, shown modally
// from the start window, one game a showing. Each of its events becomes one call of the
// game's rules, after which the window shows the game's state again.
#pragma once

#include "game.h"
#include "ticktimer.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace velmora::ui {

class Platform;
class Playfield;
class SpeedBox;

class GameWindow : public QDialog {
    Q_OBJECT

  public:
    // The timer reads the steady clock, or `clock` where a test moves the time by hand.
    GameWindow(Platform& platform, QWidget* parent = nullptr, const TickClock* clock = nullptr);

    const Game& game() const { return game_; }
    Game& game() { return game_; } // for tests that set up a position
    bool isTicking() const { return timer_.isActive(); }

    // The window's events. A tick that arrives once the timer has stopped is dropped.
    void Timer_Timer();
    void frame_MouseDown(Qt::MouseButtons buttons, QPointF position);
    void frame_MouseMove(Qt::MouseButtons buttons, QPointF position);
    void frame_MouseUp(Qt::MouseButtons buttons, QPointF position);
    void cmbVel_Click();

    // However the window goes (Chiudi, its close button, Escape, game over), it goes
    // through here, and its timer stops with it.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Form_Load();
    void Form_Activate();
    template <typename Handler> void run(Handler&& handler);
    using MouseHandler = void (Game::*)(Integer Button, Integer Shift, float X, float Y);
    void mouseEvent(MouseHandler handler, Qt::MouseButtons buttons, QPointF position);
    void fail(const QString& description);
    void showState();

    Platform& platform_;
    Game game_;
    SteadyTickClock steadyClock_;
    TickTimer timer_;
    bool activated_ = false;
    bool failed_ = false; // a run-time error is ending the program

    Playfield* frame_;
    SpeedBox* cmbVel_;
    QLabel* lblPunti_;
    QPushButton* cmdFine_;
};

} // namespace velmora::ui
