// SPDX-License-Identifier: MIT
// One showing of the game window, for every front end: the game, its tick schedule and
// what moved, and the sequences between the rules and the window. A front end creates its
// controls, implements GameView, and forwards its events here, one call each:
//
//   the window is created          load()           (the state, the speed list)
//   the window first appears       activate()       (the pyramid, the focus, the timer)
//   the wait asked by wakeIn ends  wake()           (the ticks due, if any)
//   the playfield's mouse events   mouseDown/Move/Up (button value, position in twips)
//   a pick from the speed list     speedPicked()
//   the message's OK               messageDismissed()
//   the window goes, however       closing()
//
// Each call runs its whole work, the showing of the new state included, inside the guard
// (guard.h): a run-time error of the rules stops the timer, shows the Italian message and
// then ends the program with status 1. Nothing is thrown back at the front end.
//
// The lab (record.h) attaches a record before the activation, and then asks the session to
// pause, step and show past ticks. Without a record every front end plays as it always has.
#pragma once

#include "game.h"
#include "playerinput.h"
#include "redraw.h"
#include "tickschedule.h"

#include <string>
#include <vector>

namespace velmora::ui {

class Record;

// What the session asks of the front end's game window.
class GameView {
  public:
    virtual ~GameView() = default;

    virtual void showScore(const std::string& caption) = 0;
    // Fills the speed list and shows `text`; neither counts as a pick.
    virtual void fillSpeedList(const std::vector<std::string>& list, const std::string& text) = 0;
    // The game starts with the focus on "Chiudi", the first control that takes it.
    virtual void focusFirstControl() = 0;
    // Paints this part of the playfield (twips) again, from the game's state.
    virtual void repaintPlayfield(const Shape& place) = 0;
    // Calls Session::wake() once, after `milliseconds`; a new call replaces the old one.
    virtual void wakeIn(int milliseconds) = 0;
    virtual void stopWaking() = 0;
    // A modal message titled "Velmora", with OK only. Once the player has dismissed it,
    // the front end calls Session::messageDismissed(): a front end whose message box waits
    // does so when the box returns, one that cannot wait when OK is pressed.
    virtual void showMessage(const std::string& text) = 0;
    // Closes the game window; the front end then calls Session::closing().
    virtual void closeWindow() = 0;
    // Ends the program at once, with the exit status.
    virtual void endProgram(int status) = 0;
};

class Session {
  public:
    Session(GameView& view, const TickClock& clock);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void load();
    void activate(); // the first call only
    void wake();
    void mouseDown(Integer button, float xTwips, float yTwips);
    void mouseMove(Integer button, float xTwips, float yTwips);
    void mouseUp(Integer button, float xTwips, float yTwips);
    void speedPicked(const std::string& entry);
    void messageDismissed();
    void closing();

    // One tick now, as the timer's would be; dropped once the timer has stopped.
    void tick();

    // Ends the program as a run-time error in the session's own calls would: for what a front
    // end's own work for this window (its painting) threw, with the guard's message.
    void fail(const std::string& message);

    const Game& game() const { return game_; }
    Game& game() { return game_; } // for tests that set up a position
    bool isTicking() const { return ticking_; }
    bool hasFailed() const { return failed_; }

    // The lab. Before activate(): keepRecord records this showing from tick 0; playRecord
    // plays a record made before (Record::fromScript), shown at tick 0, paused.
    void keepRecord(Record& record);
    void playRecord(Record& record);
    // Pausing stops the ticks; resuming plays on from the tick shown: the rest of the
    // history at the clock's pace, then live. Neither does anything once the game has ended.
    void pause();
    void resume();
    bool isPaused() const { return paused_; }
    // One tick on: along the history, or a new tick at its end, which can end the game.
    void stepForward();
    void stepBack();
    // The game as it was at `tick`, 0..lastTick() (clamped). The history stays as it was; a
    // player's input at a past tick starts a new one there. Shown while the window is open,
    // the last tick of a game that ended ends this one as the fall does ("Game Over !").
    void showTick(std::int64_t tick);
    std::int64_t shownTick() const { return shown_; }
    // The timer's ticks at 64 / divisor a second: 1, 2, 4 or 8 (any other is ignored).
    void setClockDivisor(int divisor);
    int clockDivisor() const { return divisor_; }
    const Record* record() const { return record_; }

  private:
    template <typename Work> void run(Work&& work);
    void runTicks(int count);
    void showState();
    void startTimer();
    void stopTimer();
    void take(const Input& input);
    // The lab's side of a tick, an input and the activation, when a record is attached.
    bool labTickDue();
    void labTick();
    void labTake(const Input& input);
    void labActivated();
    void labShow(std::int64_t tick);
    void endIfOver();

    GameView& view_;
    const TickClock& clock_;
    Game game_;
    Redraw redraw_{game_};
    TickSchedule schedule_;
    std::string shownScore_;
    bool activated_ = false;
    bool ticking_ = false;
    bool failed_ = false;    // a run-time error is ending the program
    bool overShown_ = false; // "Game Over !" has been shown
    enum class AfterMessage { Nothing, Close, EndProgram } afterMessage_ = AfterMessage::Nothing;

    // The lab's: the record, and where the game stands in it.
    class Lab;
    const Lab* lab_ = nullptr; // set with the record
    Record* record_ = nullptr;
    bool playing_ = false; // the record was made before this showing
    bool paused_ = false;
    bool closed_ = false; // the window has gone: the record is only looked at
    std::int64_t shown_ = 0;
    int divisor_ = 1;
    int beats_ = 0; // the timer's ticks since the last one the game took
};

} // namespace velmora::ui
