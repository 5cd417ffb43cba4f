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
    GameWindow(Platform& platform, QWidget* parent = nullptr);

    const Game& game() const { return game_; }
    Game& game() { return game_; } // for tests that set up a position
    bool isTicking() const { return timer_.isActive(); }

    // The window's events.
    void Timer_Timer();
    void frame_MouseDown(Integer button, float x, float y);
    void frame_MouseMove(Integer button, float x, float y);
    void frame_MouseUp(Integer button, float x, float y);
    void cmbVel_Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void Form_Load();
    void Form_Activate();
    template <typename Handler> void run(Handler&& handler);
    void showState();

    Platform& platform_;
    Game game_;
    TickTimer timer_;
    bool activated_ = false;
    bool failed_ = false; // a run-time error is ending the program

    Playfield* frame_;
    SpeedBox* cmbVel_;
    QLabel* lblPunti_;
    QPushButton* cmdFine_;
};

} // namespace velmora::ui
