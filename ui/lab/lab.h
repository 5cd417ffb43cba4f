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
//   lab.runToNextEvent()                               "Al prossimo evento"
//   judge(prediction, lab.runToNextTurn())             "Prevedi"
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
#include <optional>
#include <string>

namespace velmora::ui {

// Where "Al prossimo evento" or "Prevedi" stopped, paused, and why there.
struct Event {
    enum class Kind {
        Turn,  // a tick whose entry says why: a turn of the ball, a brick, the fall
        Input, // the history's next input (or the one that raised a run-time error)
        End,   // nothing comes after: the game has ended (by a fall or a run-time error), or
               // holds the most ticks a script may
        Bound, // `eventSearch` ticks and none of the above: a ball that never turns
    };
    Kind kind = Kind::End;
    std::int64_t tick = 0; // the tick shown now
    // For a turn: the ball's steps just after the tick, the brick it knocked out (-1: none)
    // and the sentence of why (whyTurned).
    Integer velX = 0;
    Integer velY = 0;
    Integer brick = -1;
    std::string why;
};

// "Prevedi": what the student expects of the next turn, and each part of it judged against
// what the rules did.
struct Prediction {
    Integer velX = 0;
    Integer velY = 0;
    Integer brick = -1; // none
};
struct Judgement {
    bool velX = false;
    bool velY = false;
    bool brick = false;
    bool right() const { return velX && velY && brick; }
};
// Judged only when `event` is a turn; otherwise there is nothing to judge.
std::optional<Judgement> judge(const Prediction& prediction, const Event& event);

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

    // "Al prossimo evento": from the tick shown, on to the next tick whose entry says why or
    // the next input of the history, whichever comes first, and paused there. Along the
    // history it moves as the slider does; past its end it plays live ticks, and the last of
    // them may end the game ("Game Over !"). At most `eventSearch` ticks on.
    Event runToNextEvent();
    // "Prevedi": the same, to the next tick whose entry says why only; the inputs on the way
    // are played as the history has them.
    Event runToNextTurn();
    // A ball standing still never turns: the search gives up after this many ticks, 100 s of
    // the clock at 64 ticks a second, far more than any turn takes at the slowest speed.
    static constexpr std::int64_t eventSearch = 6400;

    const Record& record() const { return record_; }
    // The session of the showing, open or closed; none before the first.
    const Session* session() const { return session_; }

  private:
    void attach(Session& session);
    Event runOn(bool toInputs);
    void activated(Game& game) override;
    void tick(Game& game) override;
    void take(Game& game, const Input& input) override;

    Session* session_ = nullptr;
    Record record_;
    bool playing_ = false; // the record was made before this showing
    std::int64_t shown_ = 0;
};

} // namespace velmora::ui
