// SPDX-License-Identifier: MIT
// The game session with a view of its own that shows nothing, and a clock the test moves by
// hand: the sequences every front end relies on, the tick schedule, and the shared
// arithmetic of scales and places.
#include "drawing.h"
#include "input.h"
#include "record.h"
#include "script.h"
#include "session.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::ui {
namespace {

using namespace std::chrono_literals;
using std::chrono::nanoseconds;

class HandClock final : public TickClock {
  public:
    nanoseconds now() const override { return time; }
    nanoseconds time{5s}; // any start: the schedule counts from its start
};

// Records what the session asks; a message is dismissed at once, as a desktop's box that
// waits for OK returns, unless the test holds it open.
class FakeView final : public GameView {
  public:
    void showScore(const std::string& caption) override { scores.push_back(caption); }
    void fillSpeedList(const std::vector<std::string>& list, const std::string& text) override {
        speeds = list;
        speedText = text;
    }
    void focusFirstControl() override { ++focusCalls; }
    void repaintPlayfield(const Shape& place) override { repainted.push_back(place); }
    void wakeIn(int milliseconds) override { wait = milliseconds; }
    void stopWaking() override { wait = -1; }
    void showMessage(const std::string& text) override {
        messages.push_back(text);
        tickingWhileOpen = session->isTicking();
        if (!holdMessages) {
            session->messageDismissed();
        }
    }
    void closeWindow() override {
        ++closes;
        session->closing();
    }
    void endProgram(int status) override { exitStatuses.push_back(status); }

    Session* session = nullptr;
    std::vector<std::string> scores, speeds, messages;
    std::string speedText;
    std::vector<Shape> repainted;
    std::vector<int> exitStatuses;
    int focusCalls = 0, closes = 0, wait = -1;
    bool holdMessages = false, tickingWhileOpen = false;
};

class SessionTest : public ::testing::Test {
  protected:
    SessionTest() { view.session = &session; }

    void started() {
        session.load();
        session.activate();
    }
    // Moves the clock on to the time the session asked to be woken, plus `late`, and wakes it.
    void wakeWhenAsked(nanoseconds late = 0ns) {
        clock.time += std::chrono::milliseconds(view.wait) + late;
        session.wake();
    }
    void placeBall(float left, float top, Integer velY) {
        session.game().shaP.Left = left;
        session.game().shaP.Top = top;
        session.game().velY = velY;
    }

    HandClock clock;
    FakeView view;
    Session session{view, clock};
};

TEST_F(SessionTest, LoadsThenBuildsThePyramidAndStartsTheTimerOnTheFirstActivation) {
    session.load();
    EXPECT_EQ(view.speeds.size(), 10u);
    EXPECT_EQ(view.speedText, "60");
    EXPECT_EQ(view.scores, std::vector<std::string>{""});
    EXPECT_FALSE(session.isTicking()); // no tick before the pyramid
    EXPECT_EQ(view.wait, -1);
    session.activate();
    EXPECT_EQ(session.game().shaX.Count(), 57);
    EXPECT_EQ(view.focusCalls, 1);
    EXPECT_TRUE(session.isTicking());
    EXPECT_EQ(view.wait, 16);                  // 1/64 s, rounded up, though the game asks for 1 ms
    EXPECT_EQ(view.repainted.size(), 2u * 56); // each new brick: where it was, where it is
    session.activate();                        // a later activation builds nothing more
    EXPECT_EQ(session.game().shaX.Count(), 57);
    EXPECT_EQ(view.focusCalls, 1);
}

TEST_F(SessionTest, TicksAtMostSixtyFourTimesASecondOnAScheduleThatDoesNotDrift) {
    started();
    const nanoseconds start = clock.time;
    const auto ticks = [&] { return session.game().shaP.Top; };
    clock.time = start + 15'624'999ns;
    session.wake(); // woken early: no tick, and a short wait for the rest
    EXPECT_EQ(ticks(), 2280);
    EXPECT_EQ(view.wait, 1);
    clock.time = start + TickSchedule::resolution;
    session.wake();
    EXPECT_EQ(ticks(), 2340);
    EXPECT_EQ(view.wait, 16);

    // A second without a wake-up: the ticks missed are skipped, not delivered in a burst.
    clock.time = start + 1s + TickSchedule::resolution;
    session.wake();
    EXPECT_EQ(ticks(), 2400);
    EXPECT_EQ(view.wait, 16);

    // Late wake-ups, 0 to 9 ms each, lose no tick over the next second.
    const nanoseconds from = clock.time;
    const float top = ticks();
    session.game().velY = 1; // slow enough to stay in the open for a second
    for (int n = 0; clock.time - from < 1s; ++n) {
        wakeWhenAsked(std::chrono::milliseconds(n * 7 % 10));
    }
    EXPECT_EQ(ticks() - top, (clock.time - from) / TickSchedule::resolution);
}

TEST_F(SessionTest, GameOverStopsTheTimerShowsOneMessageAndThenCloses) {
    started();
    placeBall(1000, 8100, 60); // far from the paddle, its centre 7.5 twips above the floor
    view.holdMessages = true;
    for (int tick = 0; tick < 3 && !session.game().gameOver; ++tick) {
        session.tick();
    }
    EXPECT_TRUE(session.game().gameOver);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Game Over !"});
    EXPECT_FALSE(view.tickingWhileOpen);
    EXPECT_EQ(view.wait, -1);
    const float top = session.game().shaP.Top;
    session.tick(); // a tick already on its way, and a wake-up
    session.wake();
    EXPECT_EQ(session.game().shaP.Top, top);
    EXPECT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.closes, 0); // the window stays until the message is dismissed
    session.messageDismissed();
    EXPECT_EQ(view.closes, 1);
    EXPECT_TRUE(view.exitStatuses.empty());
}

TEST_F(SessionTest, ARunTimeErrorShowsTheItalianMessageThenEndsTheProgram) {
    started();
    session.speedPicked("40000"); // beyond the game's 16-bit numbers
    EXPECT_EQ(view.messages, std::vector<std::string>{"Errore di run-time: overflow"});
    EXPECT_EQ(view.exitStatuses, std::vector<int>{1});
    EXPECT_FALSE(session.isTicking());
    EXPECT_TRUE(session.hasFailed());
    session.mouseDown(1, 7800, 7700); // nothing more runs
    EXPECT_EQ(session.game().xPresa, 0);
    EXPECT_EQ(view.closes, 0);
}

TEST_F(SessionTest, ShowsOnlyWhatChangedAfterEachEvent) {
    started();
    view.repainted.clear();
    session.mouseDown(1, 7800, 7700); // takes hold: nothing moves
    EXPECT_TRUE(view.repainted.empty());
    session.mouseMove(1, 7500, 7700);
    ASSERT_EQ(view.repainted.size(), 2u); // the paddle, where it was and where it is
    EXPECT_EQ(view.repainted[0].Left, 7080);
    EXPECT_EQ(view.repainted[1].Left, 6780);

    placeBall(300, 1335, -60); // rising into brick 0
    view.repainted.clear();
    session.tick();
    EXPECT_EQ(view.scores.back(), "1");
    EXPECT_EQ(view.repainted.size(), 4u); // the ball twice, brick 0 twice
    const std::size_t scoresShown = view.scores.size();
    session.tick(); // the score stands: it is not shown again
    EXPECT_EQ(view.scores.size(), scoresShown);
}

TEST_F(SessionTest, APickKeepsTheDirectionAndClosingStopsTheTicks) {
    started();
    session.game().velY = -60;
    session.speedPicked("200");
    EXPECT_EQ(session.game().velY, -200);
    session.closing();
    EXPECT_FALSE(session.isTicking());
    EXPECT_EQ(view.wait, -1);
    const float top = session.game().shaP.Top;
    session.wake();
    session.tick();
    EXPECT_EQ(session.game().shaP.Top, top);
}

// The lab: a record attached before the activation, and the session's time controls.
class LabTest : public SessionTest {
  protected:
    void recorded() {
        session.load();
        session.keepRecord(record);
        session.activate();
    }
    void played(const char* script) {
        record = Record::fromScript(parseScript(script));
        session.load();
        session.playRecord(record);
        session.activate();
    }
    void wakes(int times) {
        for (int n = 0; n < times; ++n) {
            wakeWhenAsked();
        }
    }
    // The game shown is the record's at the tick shown, whatever the way it came there.
    void expectShowsTheRecordAt(std::int64_t tick) {
        EXPECT_EQ(session.shownTick(), tick);
        const Game expected = record.at(tick);
        EXPECT_EQ(stateLine(session.game()), stateLine(expected)) << "tick " << tick;
        EXPECT_EQ(session.game().cmbVel.Text, expected.cmbVel.Text);
    }
    float ballTicks() const { return (session.game().shaP.Top - 2280) / 60; }

    Record record;
};

TEST_F(LabTest, PausesStepsBackAndResumesAlongTheHistoryThenLive) {
    recorded();
    wakes(10);
    EXPECT_EQ(record.lastTick(), 10);
    expectShowsTheRecordAt(10);
    session.pause();
    EXPECT_TRUE(session.isPaused());
    EXPECT_EQ(view.wait, -1); // no wake-up while paused
    session.wake();
    session.tick();
    EXPECT_EQ(session.shownTick(), 10);

    session.stepForward();
    session.stepForward();
    EXPECT_EQ(record.lastTick(), 12); // new ticks at the end of the history
    expectShowsTheRecordAt(12);
    view.repainted.clear();
    session.stepBack();
    session.stepBack();
    session.stepBack();
    expectShowsTheRecordAt(9);
    EXPECT_EQ(ballTicks(), 9);
    EXPECT_EQ(view.repainted.size(), 6u); // the ball, from where it was to where it is, each step
    EXPECT_EQ(record.lastTick(), 12);     // going back changes no history
    session.showTick(0);
    expectShowsTheRecordAt(0);
    session.showTick(500);
    expectShowsTheRecordAt(12);

    // Resumed at 4: the rest of the history at the clock's pace, then live.
    session.showTick(4);
    session.resume();
    EXPECT_FALSE(session.isPaused());
    wakes(8);
    expectShowsTheRecordAt(12);
    EXPECT_EQ(record.lastTick(), 12);
    wakes(1);
    EXPECT_EQ(record.lastTick(), 13);
    expectShowsTheRecordAt(13);
}

TEST_F(LabTest, AnInputAtAPastTickStartsANewHistoryThereAndAHoverDoesNot) {
    recorded();
    session.mouseDown(1, 7800, 7700); // a hold at tick 0
    wakes(30);
    session.pause();
    session.showTick(5);
    session.mouseMove(0, 7000, 7700); // no button: it changes nothing
    session.mouseUp(1, 100, 100);     // off the paddle: the hold stays
    EXPECT_EQ(record.lastTick(), 30);
    session.mouseMove(1, 7700, 7700); // the paddle 100 to the left, at tick 5
    EXPECT_EQ(record.lastTick(), 5);
    ASSERT_EQ(record.inputs().size(), 2u);
    EXPECT_EQ(record.inputsAt(5).size(), 1u);
    EXPECT_EQ(session.game().shaB.Left, 6980);
    expectShowsTheRecordAt(5);
    session.resume();
    wakes(3);
    EXPECT_EQ(record.lastTick(), 8);
    expectShowsTheRecordAt(8);
    EXPECT_EQ(record.at(8).shaB.Left, 6980);
}

TEST_F(LabTest, PausedBeforeTheWindowAppearsItStartsPaused) {
    session.load();
    session.keepRecord(record);
    session.pause();
    session.activate();
    EXPECT_FALSE(session.isTicking());
    EXPECT_EQ(view.wait, -1);
    session.stepForward();
    EXPECT_EQ(record.lastTick(), 1);
    expectShowsTheRecordAt(1);
}

TEST_F(LabTest, TheClockDivisorSlowsTheTicksAndOnlyOneTwoFourOrEight) {
    recorded();
    session.setClockDivisor(4);
    wakes(8);
    EXPECT_EQ(session.shownTick(), 2);
    session.setClockDivisor(3); // not a speed of the lab's
    EXPECT_EQ(session.clockDivisor(), 4);
    session.setClockDivisor(1);
    wakes(3);
    EXPECT_EQ(session.shownTick(), 5);
    EXPECT_EQ(ballTicks(), 5);
}

TEST_F(LabTest, AGameFromAScriptIsShownAtTickZeroPausedAndPlaysBackThenGoesOnLive) {
    played("activate\ntick 3\npick 200\ntick 2\n");
    EXPECT_TRUE(session.isPaused());
    EXPECT_FALSE(session.isTicking());
    expectShowsTheRecordAt(0);
    EXPECT_EQ(record.lastTick(), 5);
    session.resume();
    wakes(3);
    EXPECT_EQ(view.speedText, "200"); // the history's pick is shown in the box
    EXPECT_EQ(session.game().velY, 200);
    wakes(2);
    expectShowsTheRecordAt(5);
    session.showTick(1);
    EXPECT_EQ(view.speedText, "60");
    session.showTick(5);
    wakes(1);
    EXPECT_EQ(record.lastTick(), 6); // after the script's last command, the player's game
}

TEST_F(LabTest, AScriptThatRaisesEndsAsTheGameDoesWhenPlaybackReachesIt) {
    played("activate\ntick 5\npick 40000\ntick\n");
    view.holdMessages = true;
    session.resume();
    wakes(5);
    expectShowsTheRecordAt(5);
    EXPECT_TRUE(view.messages.empty());
    wakes(1);
    EXPECT_EQ(view.messages, std::vector<std::string>{"Errore di run-time: overflow"});
    EXPECT_TRUE(session.hasFailed());
    session.messageDismissed();
    EXPECT_EQ(view.exitStatuses, std::vector<int>{1});
}

TEST_F(LabTest, AStepOntoTheFallEndsTheGameThenTheHistoryStaysToLookAt) {
    played("activate\ntick 9999\n"); // left alone, the ball falls on tick 265
    session.showTick(264);
    session.stepForward();
    EXPECT_EQ(view.messages, std::vector<std::string>{"Game Over !"});
    EXPECT_EQ(view.closes, 1);
    session.resume();
    session.stepBack();
    expectShowsTheRecordAt(264);
    session.stepForward();
    expectShowsTheRecordAt(265);
    session.stepForward(); // nothing after the end
    expectShowsTheRecordAt(265);
    EXPECT_EQ(view.messages.size(), 1u);
}

TEST_F(SessionTest, WithoutARecordTheLabsControlsDoNothing) {
    started();
    session.pause();
    session.stepForward();
    session.showTick(0);
    EXPECT_FALSE(session.isPaused());
    EXPECT_TRUE(session.isTicking());
    EXPECT_EQ(session.game().shaP.Top, 2280);
    wakeWhenAsked();
    EXPECT_EQ(session.game().shaP.Top, 2340);
    EXPECT_EQ(session.shownTick(), 0);
}

TEST(Scale, TwipsAndPixelsAtEveryScaleMeetExactly) {
    EXPECT_EQ(Scale(96).twips(520), 7800); // 15 twips a pixel
    EXPECT_EQ(Scale(144).twips(780), 7800);
    EXPECT_EQ(Scale(96).wholePixels(Rect{3360, 8520, 975, 375}).Width, 65);
    // A shrunk window: the pointer lands in twips exactly where the shape was drawn.
    const Scale small(71);
    const double left = small.pixels(7080);
    EXPECT_EQ(small.twips(left), 7080);
}

TEST(FittingScale, AWindowThatDoesNotFitIsDrawnAtTheLargestScaleThatDoes) {
    // The game window, 10080 x 9045 twips, with a 6 x 30 pixel frame.
    const auto fit = [](double screen, int width, int height) {
        return fittingScale(Scale(screen), 10080, 9045, 6, 30, width, height).pixelsPerInch();
    };
    EXPECT_EQ(fit(96, 1920, 1050), 96);  // fits: the screen's own scale, unchanged
    EXPECT_EQ(fit(96, 800, 570), 85);    // 800 x 600 less a panel: 540 pixels for 9045 twips
    EXPECT_EQ(fit(144, 1024, 738), 112); // 1024 x 768 at 150%
    EXPECT_EQ(fit(192, 1280, 994), 153); // 1280 x 1024 at 200%
    EXPECT_EQ(fit(96, 360, 640), 50);    // a phone, upright: the width decides
    EXPECT_EQ(fit(96, 10, 10), 1);       // no room at all: the smallest scale

    const Rect area{0, 30, 800, 570};
    const Rect middle = centred(area, 400, 300);
    EXPECT_EQ(middle.Left, 200);
    EXPECT_EQ(middle.Top, 165);
    const Rect large = centred(area, 900, 700); // its title bar stays on the screen
    EXPECT_EQ(large.Left, 0);
    EXPECT_EQ(large.Top, 30);
}

TEST(DrawingRecipe, BricksThenTheBallAsACircleThenThePaddle) {
    Game game;
    game.Form_Load();
    game.Form_Activate();
    game.shaX(3).Visible = false;
    std::vector<Figure> figures;
    drawPlayfield(game, [&](const Figure& figure) { figures.push_back(figure); });
    ASSERT_EQ(figures.size(), 56u + 2);
    EXPECT_EQ(figures.front().kind, Figure::RoundedRectangle);
    EXPECT_EQ(figures.front().cornerWidth, 735 * 0.25);
    const Figure& ball = figures[56];
    EXPECT_EQ(ball.kind, Figure::Circle);
    EXPECT_EQ(ball.Width, 255);
    EXPECT_EQ(ball.Top, 2280 + 60); // in the middle of its 375-twip box
    EXPECT_EQ(figures.back().kind, Figure::Rectangle);
    EXPECT_EQ(figures.back().Left, 7080);
}

TEST(KeyPolicy, OnePressOneActionAndEscapeClosesOnlyTheGameWindow) {
    EXPECT_EQ(keyAction({Key::Enter, false, true, false}), KeyAction::PressFocused);
    EXPECT_EQ(keyAction({Key::Space, true, true, false}), KeyAction::None);  // held
    EXPECT_EQ(keyAction({Key::Enter, false, false, true}), KeyAction::None); // in the speed box
    EXPECT_EQ(keyAction({Key::Escape, false, false, true}), KeyAction::CloseGameWindow);
    EXPECT_EQ(keyAction({Key::Escape, false, true, false}), KeyAction::None);
}

} // namespace
} // namespace velmora::ui
