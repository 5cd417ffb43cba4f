// SPDX-License-Identifier: MIT
// The lab at work on a game session: recording the game as it plays, pausing, stepping back
// and forth, resuming along the history and then live, and playing back a script.
#include "lab.h"
#include "lab_support.h"
#include "script.h"
#include "session_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::ui {
namespace {

// The lab attached before the activation, asking the session to pause, step and restore.
class LabTest : public SessionTest {
  protected:
    void recorded() {
        session.load();
        lab.keep(session);
        session.activate();
    }
    void played(const char* script) {
        session.load();
        lab.play(session, playScript(parseScript(script)));
        session.activate();
    }
    void wakes(int times) {
        for (int n = 0; n < times; ++n) {
            wakeWhenAsked();
        }
    }
    // The game shown is the record's at the tick shown, whatever the way it came there.
    void expectShowsTheRecordAt(std::int64_t tick) {
        EXPECT_EQ(lab.shownTick(), tick);
        const Game expected = record().at(tick);
        EXPECT_EQ(stateLine(session.game()), stateLine(expected)) << "tick " << tick;
        EXPECT_EQ(session.game().cmbVel.Text, expected.cmbVel.Text);
    }
    float ballTicks() const { return (session.game().shaP.Top - 2280) / 60; }
    const Record& record() const { return lab.record(); }

    Lab lab;
};

TEST_F(LabTest, PausesStepsBackAndResumesAlongTheHistoryThenLive) {
    recorded();
    wakes(10);
    EXPECT_EQ(record().lastTick(), 10);
    expectShowsTheRecordAt(10);
    lab.pause();
    EXPECT_TRUE(session.isPaused());
    EXPECT_EQ(view.wait, -1); // no wake-up while paused
    session.wake();
    session.tick();
    EXPECT_EQ(lab.shownTick(), 10);

    lab.stepForward();
    lab.stepForward();
    EXPECT_EQ(record().lastTick(), 12); // new ticks at the end of the history
    expectShowsTheRecordAt(12);
    view.repainted.clear();
    lab.stepBack();
    lab.stepBack();
    lab.stepBack();
    expectShowsTheRecordAt(9);
    EXPECT_EQ(ballTicks(), 9);
    EXPECT_EQ(view.repainted.size(), 6u); // the ball, from where it was to where it is, each step
    EXPECT_EQ(record().lastTick(), 12);   // going back changes no history
    lab.showTick(0);
    expectShowsTheRecordAt(0);
    lab.showTick(500);
    expectShowsTheRecordAt(12);

    // Resumed at 4: the rest of the history at the clock's pace, then live.
    lab.showTick(4);
    lab.resume();
    EXPECT_FALSE(session.isPaused());
    wakes(8);
    expectShowsTheRecordAt(12);
    EXPECT_EQ(record().lastTick(), 12);
    wakes(1);
    EXPECT_EQ(record().lastTick(), 13);
    expectShowsTheRecordAt(13);
}

TEST_F(LabTest, AnInputAtAPastTickStartsANewHistoryThereAndAHoverDoesNot) {
    recorded();
    session.mouseDown(1, 7800, 7700); // a hold at tick 0
    wakes(30);
    lab.pause();
    lab.showTick(5);
    session.mouseMove(0, 7000, 7700); // no button: it changes nothing
    session.mouseUp(1, 100, 100);     // off the paddle: the hold stays
    EXPECT_EQ(record().lastTick(), 30);
    session.mouseMove(1, 7700, 7700); // the paddle 100 to the left, at tick 5
    EXPECT_EQ(record().lastTick(), 5);
    ASSERT_EQ(record().inputs().size(), 2u);
    EXPECT_EQ(record().inputsAt(5).size(), 1u);
    EXPECT_EQ(session.game().shaB.Left, 6980);
    expectShowsTheRecordAt(5);
    lab.resume();
    wakes(3);
    EXPECT_EQ(record().lastTick(), 8);
    expectShowsTheRecordAt(8);
    EXPECT_EQ(record().at(8).shaB.Left, 6980);
}

// A value set is the player's input: at a past tick it starts a new history there, and the
// history keeps what it set, the score's caption left as it was, whichever way it is shown.
TEST_F(LabTest, ASetAtAPastTickStartsANewHistoryAndLeavesTheScoresCaption) {
    recorded();
    wakes(90);
    lab.pause();
    lab.showTick(40);
    const auto set = [&](const char* line) { session.take(parseLine(line)->input); };
    set("set punti 10");
    set("set shaB.Top 7000");
    EXPECT_EQ(record().lastTick(), 40);
    ASSERT_EQ(record().inputsAt(40).size(), 2u);
    EXPECT_EQ(session.game().punti, 10);
    EXPECT_EQ(session.game().lblPunti.Caption, "");
    EXPECT_TRUE(view.scores.empty() || view.scores.back().empty());
    set("set punti 10"); // the value it holds: no input
    EXPECT_EQ(record().inputsAt(40).size(), 2u);

    // Played on past a snapshot, and shown again from it: the game the sets made.
    lab.resume();
    wakes(30);
    Game expected = activated();
    for (int tick = 0; tick < 40; ++tick) {
        play(expected, Step::tick());
    }
    expected.punti = 10;
    expected.shaB.Top = 7000;
    for (int tick = 40; tick < 66; ++tick) {
        play(expected, Step::tick());
    }
    lab.showTick(66);
    EXPECT_EQ(stateLine(session.game()), stateLine(expected));
    expectShowsTheRecordAt(66);
    EXPECT_EQ(writeScript(record()),
              "activate\ntick 40\nset punti 10\nset shaB.Top 7000\ntick 30\n");
}

TEST_F(LabTest, PausedBeforeTheWindowAppearsItStartsPaused) {
    session.load();
    lab.keep(session);
    lab.pause();
    session.activate();
    EXPECT_FALSE(session.isTicking());
    EXPECT_EQ(view.wait, -1);
    lab.stepForward();
    EXPECT_EQ(record().lastTick(), 1);
    expectShowsTheRecordAt(1);
}

TEST_F(LabTest, TheClockDivisorSlowsTheTicksAndOnlyOneTwoFourOrEight) {
    recorded();
    session.setClockDivisor(4);
    wakes(8);
    EXPECT_EQ(lab.shownTick(), 2);
    session.setClockDivisor(3); // not a speed of the lab's
    EXPECT_EQ(session.clockDivisor(), 4);
    session.setClockDivisor(1);
    wakes(3);
    EXPECT_EQ(lab.shownTick(), 5);
    EXPECT_EQ(ballTicks(), 5);
}

TEST_F(LabTest, AGameFromAScriptIsShownAtTickZeroPausedAndPlaysBackThenGoesOnLive) {
    played("activate\ntick 3\npick 200\ntick 2\n");
    EXPECT_TRUE(session.isPaused());
    EXPECT_FALSE(session.isTicking());
    expectShowsTheRecordAt(0);
    EXPECT_EQ(record().lastTick(), 5);
    lab.resume();
    wakes(3);
    EXPECT_EQ(view.speedText, "200"); // the history's pick is shown in the box
    EXPECT_EQ(session.game().velY, 200);
    wakes(2);
    expectShowsTheRecordAt(5);
    lab.showTick(1);
    EXPECT_EQ(view.speedText, "60");
    lab.showTick(5);
    wakes(1);
    EXPECT_EQ(record().lastTick(), 6); // after the script's last command, the player's game
}

// A script that never activates the window is the rules alone, in the lab as in velmora-sim:
// the game window shows its one brick, though the window itself did appear.
TEST_F(LabTest, AScriptWithoutActivateIsShownWithItsOneBrick) {
    played("tick 3\n");
    expectShowsTheRecordAt(0);
    EXPECT_EQ(session.game().shaX.Count(), 1);
    lab.showTick(3);
    expectShowsTheRecordAt(3);
    EXPECT_EQ(writeScript(record()), "tick 3\n");
}

TEST_F(LabTest, AScriptThatRaisesEndsAsTheGameDoesWhenPlaybackReachesIt) {
    played("activate\ntick 5\npick 40000\ntick\n");
    view.holdMessages = true;
    lab.resume();
    wakes(5);
    expectShowsTheRecordAt(5);
    EXPECT_TRUE(view.messages.empty());
    wakes(1);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Errore di run-time: overflow"});
    EXPECT_TRUE(session.hasFailed());
    session.messageDismissed();
    EXPECT_EQ(view.exitStatuses, std::vector<int>{1});
}

// A game that ended is watched again: moving onto its last tick shows the fall without a
// second "Game Over !", and the game at its end takes no input; only a tick that ends the
// game as it is played, live or played back by "Riprendi", shows the message, once.
TEST_F(LabTest, AnEndedGameIsWatchedAgainAndGameOverComesOnlyWhenTheFallIsPlayed) {
    played("activate\ntick 9999\n"); // left alone, the ball falls on tick 265
    EXPECT_EQ(record().lastTick(), 265);
    lab.showTick(264);
    lab.stepForward();
    expectShowsTheRecordAt(265);
    EXPECT_TRUE(session.game().gameOver);
    lab.showTick(0);
    lab.showTick(265);
    lab.stepForward(); // nothing after the end
    lab.resume();
    session.step();
    session.mouseDown(1, 7800, 7700);
    expectShowsTheRecordAt(265);
    EXPECT_TRUE(record().inputs().empty());
    EXPECT_FALSE(session.isTicking());
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(view.closes, 0);

    lab.stepBack();
    expectShowsTheRecordAt(264);
    lab.showTick(200);
    lab.resume(); // played back, the fall ends the game as it did
    wakes(65);
    expectShowsTheRecordAt(265);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Game Over !"});
    EXPECT_EQ(view.closes, 1);

    lab.stepBack(); // the window has gone: its history is still there to move along
    expectShowsTheRecordAt(264);
    lab.stepForward();
    expectShowsTheRecordAt(265);
    EXPECT_EQ(view.messages.size(), 1u);
}

TEST_F(LabTest, ALiveTickAtTheHistorysEndThatFallsEndsTheGameOnce) {
    recorded();
    lab.pause();
    for (int n = 0; n < 300; ++n) {
        lab.stepForward();
    }
    EXPECT_EQ(record().lastTick(), 265);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Game Over !"});
}

// A game grows no longer than a script may hold: at the longest, the lab pauses it, and what
// "Salva la partita" writes still opens.
TEST_F(LabTest, AGameReachingTheLongestPausesThereAndStillSaves) {
    const std::string longest = "activate\npick 0\ntick " + std::to_string(mostTicks) + "\n";
    played(longest.c_str()); // picked 0, the ball stands still for ever
    lab.showTick(mostTicks - 1);
    lab.resume();
    wakes(3);
    expectShowsTheRecordAt(mostTicks);
    EXPECT_TRUE(session.isPaused());
    lab.stepForward();
    lab.resume();
    wakes(2);
    expectShowsTheRecordAt(mostTicks);
    EXPECT_EQ(record().lastTick(), mostTicks);
    EXPECT_EQ(writeScript(playScript(parseScript(writeScript(record())))), longest);
}

// The tick after `tick` on which a game left alone turns the ball, knocks out a brick or ends,
// found by watching the game's own fields, not by the lab's sentences.
std::int64_t nextChange(std::int64_t tick) {
    Game game = playScript(parseScript("activate\ntick " + std::to_string(tick) + "\n")).at(tick);
    for (Game before = game;; before = game) {
        game.Timer_Timer();
        ++tick;
        if (game.velX != before.velX || game.velY != before.velY || game.punti != before.punti ||
            game.gameOver) {
            return tick;
        }
    }
}

// "Al prossimo evento" along the history as the slider moves, then on live to the fall; its
// next stop is the next tick that changes the ball's course, whichever way it is reached.
// "Prevedi" is judged part by part against the turn's truth.
TEST_F(LabTest, RunsToTheNextTurnAlongTheHistoryThenLiveAndJudgesAPrediction) {
    recorded();
    wakes(20);
    lab.showTick(0);
    Event event = lab.runToNextEvent();
    EXPECT_EQ(event.kind, Event::Kind::Turn);
    expectShowsTheRecordAt(83); // the first bounce, on the paddle's right third
    EXPECT_EQ(record().lastTick(), 83);
    EXPECT_TRUE(session.isPaused());
    EXPECT_TRUE(event.why.starts_with("La palla cade sul terzo destro")) << event.why;
    EXPECT_TRUE(judge({30, -60, -1}, event)->right());
    const Judgement wrong = *judge({0, -60, 3}, event);
    EXPECT_TRUE(!wrong.velX && wrong.velY && !wrong.brick && !wrong.right());

    Integer bricks = 0;
    // A wall, a brick, the fall, live; bounded, so that a lab that never ends fails here.
    for (int turns = 0; turns < 10 && !session.game().gameOver; ++turns) {
        const std::int64_t expected = nextChange(lab.shownTick());
        event = lab.runToNextEvent();
        ASSERT_EQ(event.kind, Event::Kind::Turn);
        expectShowsTheRecordAt(expected);
        EXPECT_EQ(event.velY, session.game().velY);
        if (event.brick >= 0) {
            ++bricks;
            EXPECT_TRUE(record().at(expected - 1).shaX(event.brick).Visible);
            EXPECT_FALSE(session.game().shaX(event.brick).Visible);
            EXPECT_FALSE(judge({event.velX, event.velY, -1}, event)->brick);
        }
    }
    EXPECT_EQ(bricks, 1);
    EXPECT_EQ(lab.shownTick(), 265);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Game Over !"}); // played, once
    lab.showTick(84); // back along the history: the same stops
    EXPECT_EQ(lab.runToNextEvent().tick, nextChange(84));
    EXPECT_EQ(lab.runToNextEvent().kind, Event::Kind::Turn);
    lab.showTick(200); // and the fall along the history is only shown
    EXPECT_EQ(lab.runToNextEvent().tick, 265);
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(lab.runToNextEvent().kind, Event::Kind::End); // nothing after it
}

TEST_F(LabTest, RunsToTheNextInputOfTheHistoryUnlessOnlyATurnIsAsked) {
    played("activate\ntick 30\npick 200\ntick 100\n");
    EXPECT_EQ(lab.runToNextEvent().kind, Event::Kind::Input);
    expectShowsTheRecordAt(30);
    const Event turn = lab.runToNextEvent();
    lab.showTick(0);
    const Event event = lab.runToNextTurn(); // on past the pick, to the same turn
    EXPECT_EQ(event.tick, turn.tick);
    EXPECT_TRUE(event.tick > 30 && event.tick < 83); // faster after the pick
    EXPECT_EQ(event.velY, -200);
    expectShowsTheRecordAt(event.tick);
}

// A ball that stands still never turns: the search stops after its bound, live, and at the
// longest game a script holds.
TEST_F(LabTest, AStillBallStopsTheSearchAfterItsBound) {
    played("activate\npick 0\ntick 10\n");
    const Event event = lab.runToNextEvent();
    EXPECT_EQ(event.kind, Event::Kind::Bound);
    expectShowsTheRecordAt(Lab::eventSearch);
    EXPECT_EQ(record().lastTick(), Lab::eventSearch);
    EXPECT_FALSE(judge({}, event).has_value()); // no turn: nothing to judge
}

TEST_F(LabTest, TheSearchStopsAtTheLongestGame) {
    played(("activate\npick 0\ntick " + std::to_string(mostTicks) + "\n").c_str());
    lab.showTick(mostTicks - 100);
    EXPECT_EQ(lab.runToNextEvent().kind, Event::Kind::End);
    expectShowsTheRecordAt(mostTicks);
}

// A tick that raises a run-time error (a value out of range, as a script may leave one) is
// not played ahead on the copy: the session plays it, and Velmora ends as the game does.
TEST_F(LabTest, ATickThatRaisesIsPlayedByTheSessionAndEndsAsTheGameDoes) {
    Game game = playScript(parseScript("activate\n")).atStart();
    game.shaP.Left = 40000; // its centre is no 16-bit whole number
    Record record;
    record.start(game);
    session.load();
    lab.play(session, std::move(record));
    session.activate();
    view.holdMessages = true;
    EXPECT_EQ(lab.runToNextEvent().kind, Event::Kind::End);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Errore di run-time: overflow"});
}

} // namespace
} // namespace velmora::ui
