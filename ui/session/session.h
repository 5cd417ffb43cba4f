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
// Every step of the game, the activation, a tick or an input, is played by `play` (play.h).
// Whoever watches the game from outside the window, as the lab does, attaches a
// SessionWatcher before the activation, and may then pause the clock, step and restore.
// Without one every front end plays as it always has.
#pragma once

#include "game.h"
#include "guard.h"
#include "play.h"
#include "redraw.h"
#include "tickschedule.h"

#include <array>
#include <string>
#include <vector>

namespace velmora::ui {

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

// The session's moments, told to whoever watches the game, inside the session's guarded
// run. The watcher plays each step it is given on the game, with `play`, and may keep what it
// saw; it may also play another sequence's step in its place (a history played back).
class SessionWatcher {
  public:
    virtual ~SessionWatcher() = default;
    // The window has appeared and `game` has been activated.
    virtual void activated(Game& game) = 0;
    // A tick is due on `game`.
    virtual void tick(Game& game) = 0;
    // The player's input is due on `game`.
    virtual void take(Game& game, const Input& input) = 0;
};

class SessionSeam; // the tests' way in

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
    // Any other input of the player's, as the lab's change of a value; none once the game
    // shown is over.
    void take(const Input& input);
    void messageDismissed();
    void closing();

    // One tick now, as the timer's would be; dropped once the timer has stopped.
    void tick();

    // Ends the program as a run-time error in the session's own calls would: for what a front
    // end's own work for this window (its painting) threw, with the guard's message.
    void fail(const std::string& message);

    const Game& game() const { return game_; }
    bool isTicking() const { return ticking_; }
    bool hasFailed() const { return failed_; }
    bool isOver() const { return overShown_; } // "Game Over !" has been shown
    bool isClosed() const { return closed_; }

    // For a watcher, before activate(): it is told of every step from the activation on.
    void watch(SessionWatcher& watcher);

    // Pausing stops the clock; resuming starts it again, unless the game shown has ended.
    void pause();
    void resume();
    bool isPaused() const { return paused_; }
    // One tick now, paused or not, as long as the game shown is on: the tick can end it.
    void step();
    // Puts another state of this game in place, shown at once: `put(game)` changes the game
    // in place. A state whose game is over is only looked at: the clock stays stopped, the
    // game takes no input, and "Game Over !" is not shown again; it is shown when a tick
    // ends the game, live or along a history played back.
    template <typename Put> void restore(Put&& put);
    // The clock's ticks at 64 / divisor a second, a divisor of these (any other is ignored).
    static constexpr std::array<int, 4> clockDivisors = {1, 2, 4, 8};
    void setClockDivisor(int divisor);
    int clockDivisor() const { return divisor_; }

  private:
    friend class SessionSeam;
    template <typename Work> void run(Work&& work);
    void runTicks(int count, bool evenIfStopped);
    void showState();
    void showSpeedIfChanged(const std::string& shown);
    void startTimer();
    void stopTimer();
    void endIfOver();

    GameView& view_;
    const TickClock& clock_;
    Game game_;
    Redraw redraw_{game_};
    TickSchedule schedule_;
    std::string shownScore_;
    SessionWatcher* watcher_ = nullptr;
    bool activated_ = false;
    bool ticking_ = false;
    bool paused_ = false;
    bool closed_ = false;    // the window has gone
    bool failed_ = false;    // a run-time error is ending the program
    bool overShown_ = false; // "Game Over !" has been shown
    enum class AfterMessage { Nothing, Close, EndProgram } afterMessage_ = AfterMessage::Nothing;
    int divisor_ = 1;
    int beats_ = 0; // the clock's ticks since the last one the game took
};

// Runs one event's whole work, the showing of the new state included, in the guard: whatever
// it throws ends the program, with a message. After a failure nothing more runs.
template <typename Work> void Session::run(Work&& work) {
    if (failed_) {
        return;
    }
    guarded(
        [&] {
            work();
            showState();
        },
        [this](const std::string& message) { fail(message); });
}

template <typename Put> void Session::restore(Put&& put) {
    if (overShown_ && !closed_) {
        return; // the game has ended, and its message is on its way
    }
    run([&] {
        const std::string speedShown = game_.cmbVel.Text;
        put(game_);
        showSpeedIfChanged(speedShown);
    });
    if (game_.gameOver) {
        stopTimer();
    } else if (!paused_ && !closed_ && activated_ && !ticking_) {
        startTimer(); // back from an ended state, the clock goes on as it went before
    }
}

} // namespace velmora::ui
