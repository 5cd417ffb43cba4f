// SPDX-License-Identifier: MIT
// The lab at work on one showing of the game window: it records the game as the session
// plays it, or plays back a record made before (playScript, script.h), and asks the session
// to pause, step and put back past ticks. The session calls it at its moments, as its
// SessionWatcher; the front end never sees it. Without a Lab the session plays as it always
// has.
//
//   Lab lab;                                          // kept by the page, it outlives the session
//   session.load(); lab.keep(session); session.activate();            // "GIOCA" with the lab
//   session.load(); lab.play(session, record); session.activate();    // "Apri una partita"
//   lab.pause() / resume(), session.isPaused()         "Pausa", "Riprendi"
//   lab.stepForward() / stepBack()                     "Un tick avanti", "Un tick indietro"
//   lab.showTick(t), lab.shownTick()                   the slider "Tick", 0..record().lastTick()
//   session.setClockDivisor(1|2|4|8)                   64, 32, 16 or 8 ticks a second
//   writeScript(lab.record())                          "Salva la partita" (script.h)
//   Explainer::follow(lab.record(), lab.shownTick())   the log up to the tick shown (explain.h)
//
// The game the session shows is always the record's game at the tick shown: each step either
// plays the history's next tick and its inputs, or a live tick that extends it. A player's
// input at a past tick starts a new history there, if it changes the game. Once the window
// has closed (game over, "Chiudi"), the steps and the slider still move along its history,
// and the page may show it again: a new showing that plays this record (play()). A game is
// never recorded past the longest a script holds (mostTicks, script.h): there the lab pauses
// it, and it plays no further.
#pragma once

#include "record.h"
#include "session.h"

#include <cstdint>

namespace velmora::ui {

class Lab final : public SessionWatcher {
  public:
    // Before session.activate(): records this showing from its activation.
    void keep(Session& session);
    // Before session.activate(): plays `record`, shown at tick 0, paused.
    void play(Session& session, Record record);

    // Pausing stops the ticks; resuming plays on from the tick shown: the rest of the
    // history at the clock's pace, then live. Neither does anything once the game has ended.
    void pause();
    void resume();
    // One tick on: the history's next tick, shown as the slider shows it, or a new tick at
    // its end, which can end the game ("Game Over !").
    void stepForward();
    void stepBack();
    // The game as it was at `tick`, 0..record().lastTick() (clamped). The history stays as
    // it was. The last tick of a game that ended is shown as it ended, with no message: the
    // game is watched again, and "Game Over !" came when it was played.
    void showTick(std::int64_t tick);
    std::int64_t shownTick() const { return shown_; }

    const Record& record() const { return record_; }
    // The session of the showing, open or closed; none before the first.
    const Session* session() const { return session_; }

  private:
    void attach(Session& session);
    void activated(Game& game) override;
    void tick(Game& game) override;
    void take(Game& game, const Input& input) override;

    Session* session_ = nullptr;
    Record record_;
    bool playing_ = false; // the record was made before this showing
    std::int64_t shown_ = 0;
};

} // namespace velmora::ui
