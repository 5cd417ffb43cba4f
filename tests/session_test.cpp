// SPDX-License-Identifier: MIT
// The game session with a view of its own that shows nothing, and a clock the test moves by
// hand: the sequences every front end relies on, the tick schedule, and the shared
// arithmetic of scales and places.
#include "drawing.h"
#include "guard.h"
#include "input.h"
#include "session_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace velmora::ui {
namespace {

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

    // A second without a wake-up: the ticks missed are skipped, but for a catch-up of
    // three (a tick a wake-up late by less than four periods has missed), not delivered in a
    // burst.
    clock.time = start + 1s + TickSchedule::resolution;
    session.wake();
    EXPECT_EQ(ticks(), 2340 + 4 * 60);
    EXPECT_EQ(view.wait, 16);

    // Late wake-ups, 0 to 9 ms each, lose no tick over the next second.
    const nanoseconds from = clock.time;
    const float top = ticks();
    SessionSeam::game(session).velY = 1; // slow enough to stay in the open for a second
    for (int n = 0; clock.time - from < 1s; ++n) {
        wakeWhenAsked(std::chrono::milliseconds(n * 7 % 10));
    }
    EXPECT_EQ(ticks() - top, (clock.time - from) / TickSchedule::resolution);
}

TEST_F(SessionTest, ALateWakeCatchesUpOnAtMostThreeMissedTicks) {
    started();
    SessionSeam::game(session).velY = 1; // slow enough to stay in the open
    const auto top = [&] { return session.game().shaP.Top; };

    // Late by 2.5 periods: the tick due and the two missed, as whole ticks of the rules,
    // then the state shown once: the ball where it was and where it is.
    view.repainted.clear();
    wakeWhenAsked(TickSchedule::resolution * 5 / 2);
    EXPECT_EQ(top(), 2280 + 3);
    ASSERT_EQ(view.repainted.size(), 2u);
    EXPECT_EQ(view.repainted[0].Top, 2280);
    EXPECT_EQ(view.repainted[1].Top, 2283);
    EXPECT_EQ(view.wait, 8); // the schedule holds: half a period to the next tick

    // Late by 4 periods or more: four ticks, the rest skipped, however long the stall.
    wakeWhenAsked(TickSchedule::resolution * 4);
    EXPECT_EQ(top(), 2283 + 4);
    wakeWhenAsked(1h);
    EXPECT_EQ(top(), 2287 + 4);

    // A slow machine whose wake-ups come 1 to 3 periods late loses no tick in a second.
    const nanoseconds from = clock.time;
    const float before = top();
    for (int n = 0; clock.time - from < 1s; ++n) {
        wakeWhenAsked(TickSchedule::resolution * (1 + n % 3) + 3ms);
    }
    EXPECT_EQ(top() - before, (clock.time - from) / TickSchedule::resolution);
}

TEST_F(SessionTest, GameOverEndsACatchUp) {
    started();
    placeBall(1000, 8100, 60); // far from the paddle: the second tick ends the game
    Game alone = session.game();
    alone.Timer_Timer();
    alone.Timer_Timer();
    ASSERT_TRUE(alone.gameOver);
    view.holdMessages = true;
    wakeWhenAsked(TickSchedule::resolution * 3); // four ticks due
    EXPECT_TRUE(session.game().gameOver);
    EXPECT_EQ(session.game().shaP.Top, alone.shaP.Top); // no tick after the one that ended it
    EXPECT_EQ(view.messages, std::vector<std::string>{"Game Over !"});
    EXPECT_FALSE(session.isTicking());
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

// The one guard that the session and every front end's callbacks use.
TEST(Guard, TurnsWhatWasThrownIntoTheItalianMessage) {
    std::vector<std::string> shown;
    const auto fail = [&](const std::string& message) { shown.push_back(message); };
    EXPECT_TRUE(guarded([] {}, fail));
    EXPECT_FALSE(guarded([] { throw RunTimeError(ErrorKind::SubscriptOutOfRange); }, fail));
    EXPECT_FALSE(guarded([] { throw std::bad_alloc(); }, fail));
    EXPECT_FALSE(guarded([] { throw PlatformError("impossibile creare la finestra (X)"); }, fail));
    EXPECT_FALSE(guarded([] { throw 42; }, fail));
    EXPECT_EQ(shown,
              (std::vector<std::string>{"Errore di run-time: indice fuori dell'intervallo",
                                        "Errore di run-time: memoria esaurita",
                                        "Errore di run-time: impossibile creare la finestra (X)",
                                        "Errore di run-time: errore interno"}));
}

TEST_F(SessionTest, AFrontEndsOwnFailureEndsTheProgramTheSessionsWay) {
    started();
    view.holdMessages = true;
    guarded([] { throw std::bad_alloc(); }, // a front end's painting, say
            [&](const std::string& message) { session.fail(message); });
    session.fail("Errore di run-time: errore interno"); // another, while the first is open
    EXPECT_EQ(view.messages, std::vector<std::string>{"Errore di run-time: memoria esaurita"});
    EXPECT_FALSE(session.isTicking());
    EXPECT_TRUE(view.exitStatuses.empty()); // not before the message is dismissed
    session.messageDismissed();
    EXPECT_EQ(view.exitStatuses, std::vector<int>{1});
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
    SessionSeam::game(session).velY = -60;
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

// A watcher's work runs in the session's guard, as the rest does: an error there ends the
// program the session's way, and nothing is thrown back at the front end.
TEST_F(SessionTest, AWatchersErrorAtTheActivationEndsTheProgramTheSessionsWay) {
    struct Failing final : SessionWatcher {
        void activated(Game& /*game*/) override { raise(ErrorKind::Overflow); }
        void tick(Game& game) override { play(game, Step::tick()); }
        void take(Game& game, const Input& input) override { play(game, Step::of(input)); }
    } watcher;
    session.load();
    session.watch(watcher);
    EXPECT_NO_THROW(session.activate());
    EXPECT_EQ(view.messages, std::vector<std::string>{"Errore di run-time: overflow"});
    EXPECT_FALSE(session.isTicking());
    EXPECT_EQ(view.exitStatuses, std::vector<int>{1});
}

// What a page hands over is checked before any cast: a cast of NaN, an infinity or a value
// out of range to a whole number is undefined.
TEST(PlatformNumbers, NaNInfinitiesFractionsAndValuesOutOfRangeAreRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(wholeNumberIn(0, 0, 10), 0);
    EXPECT_EQ(wholeNumberIn(10, 0, 10), 10);
    EXPECT_EQ(wholeNumberIn(1e7, 0, 10'000'000), 10'000'000);
    for (const double bad : {nan, inf, -inf, -1.0, 11.0, 2.5, 1e300, -1e300}) {
        EXPECT_FALSE(wholeNumberIn(bad, 0, 10)) << bad;
    }
    EXPECT_EQ(numberIn(1.5, 0.25, 16), 1.5);
    for (const double bad : {nan, inf, -inf, 0.0, 17.0}) {
        EXPECT_FALSE(numberIn(bad, 0.25, 16)) << bad;
    }
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

// Every front end repaints a figure in an area its outline reaches into, and only there: a
// figure one pixel off its edges still reaches it, one of two pixels does not.
TEST(DrawingRecipe, AFigureIsDrawnWhereItsOutlineReachesTheArea) {
    const Scale scale; // 15 twips a pixel: the figure spans pixels 10 to 20 both ways
    const Figure figure{Figure::Rectangle, 150, 150, 150, 150, game::paddleColour};
    struct Backwards { // a box drawn from its far corner, as a segment may be
        double Left = 300, Top = 300, Width = -150, Height = -150;
    } backwards;
    for (const Rect& near : {Rect{21, 12, 4, 4}, Rect{5, 12, 4, 4}, Rect{12, 21, 4, 4},
                             Rect{12, 5, 4, 4}, Rect{0, 0, 40, 40}}) {
        EXPECT_TRUE(reaches(figure, near, scale)) << near.Left << "," << near.Top;
        EXPECT_TRUE(reaches(backwards, near, scale)) << near.Left << "," << near.Top;
    }
    for (const Rect& far :
         {Rect{22, 12, 4, 4}, Rect{4, 12, 4, 4}, Rect{12, 22, 4, 4}, Rect{12, 4, 4, 4}}) {
        EXPECT_FALSE(reaches(figure, far, scale)) << far.Left << "," << far.Top;
        EXPECT_FALSE(reaches(backwards, far, scale)) << far.Left << "," << far.Top;
    }
}

TEST(KeyPolicy, OnePressOneActionAndEscapeClosesOnlyTheGameWindow) {
    EXPECT_EQ(keyAction({Key::Enter, false, true, false}), KeyAction::PressFocused);
    EXPECT_EQ(keyAction({Key::Space, true, true, false}), KeyAction::None);  // held
    EXPECT_EQ(keyAction({Key::Enter, false, false, true}), KeyAction::None); // in the speed box
    EXPECT_EQ(keyAction({Key::Escape, false, false, true}), KeyAction::CloseGameWindow);
    EXPECT_EQ(keyAction({Key::Escape, false, true, false}), KeyAction::None);
}

// A finger holds the paddle within its reach above and below the band, across the paddle
// only; a mouse or a pen is taken where it is.
TEST(ContactPolicy, AFingerNearThePaddleLandsOnItsMiddleLineAMouseWhereItIs) {
    const Shape paddle{7080, 7560, 1455, 375, true}; // its middle line at 7747.5
    const float reach = 180;
    EXPECT_EQ(contactY(Pointer::Finger, paddle, 7800, 7400, reach), 7747.5f);
    EXPECT_EQ(contactY(Pointer::Finger, paddle, 7800, 7380, reach), 7747.5f); // at the reach
    EXPECT_EQ(contactY(Pointer::Finger, paddle, 7800, 8115, reach), 7747.5f);
    EXPECT_EQ(contactY(Pointer::Finger, paddle, 7800, 7379, reach), 7379.0f); // beyond it
    EXPECT_EQ(contactY(Pointer::Finger, paddle, 7000, 7400, reach), 7400.0f); // beside it
    EXPECT_EQ(contactY(Pointer::Mouse, paddle, 7800, 7400, reach), 7400.0f);
    EXPECT_EQ(contactY(Pointer::Pen, paddle, 7800, 7400, reach), 7400.0f);
}

} // namespace
} // namespace velmora::ui
