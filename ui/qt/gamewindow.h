// SPDX-License-Identifier: MIT
// frmVelmora, the game window: the playfield and the controls at the bottom, shown modally
// from the start window, one game a showing. It creates its widgets and forwards their
// events to the game session, which runs the game and tells the window what to show.
#pragma once

#include "session.h"
#include "units.h"

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

namespace velmora::qt {

class Platform;
class Playfield;
class SpeedBox;

class GameWindow : public QDialog, private ui::GameView {
    Q_OBJECT

  public:
    // The session reads the steady clock, or `clock` where a test moves the time by hand.
    GameWindow(Platform& platform, QWidget* parent = nullptr, const ui::TickClock* clock = nullptr);

    const Game& game() const { return session_.game(); }
    bool isTicking() const { return session_.isTicking(); }

    // A tick now, as the timer's; one that arrives once the timer has stopped is dropped.
    void Timer_Timer() { session_.tick(); }
    // A pick from the speed list: the box's text is the entry picked.
    void cmbVel_Click();

    // Ends the program as a run-time error in the session's calls does, with the guard's
    // message: for what the window's own work for an event threw (Application).
    void fail(const std::string& message) { session_.fail(message); }

    // However the window goes (Chiudi, its close button, Escape, game over), it goes
    // through here, and its timer stops with it.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void layOut(const ui::Scale& scale);

    // What the session asks of the window.
    void showScore(const std::string& caption) override;
    void fillSpeedList(const std::vector<std::string>& list, const std::string& text) override;
    void focusFirstControl() override;
    void repaintPlayfield(const Shape& place) override;
    void wakeIn(int milliseconds) override;
    void stopWaking() override;
    void showMessage(const std::string& text) override;
    void closeWindow() override;
    void endProgram(int status) override;

    friend class ui::SessionSeam; // the tests' way to set up a position
    Platform& platform_;
    ui::SteadyClock steadyClock_;
    ui::Session session_;
    QTimer wakeUp_;

    Playfield* frame_;
    SpeedBox* cmbVel_;
    QLabel* lblPunti_;
    QPushButton* cmdFine_;
};

} // namespace velmora::qt
