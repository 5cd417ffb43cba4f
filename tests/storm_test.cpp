// SPDX-License-Identifier: MIT
// A storm of real Qt events on the real game window, from a seeded random source: mouse
// presses, moves and releases anywhere (and nowhere) with every button combination, picks,
// typing and Enter in the speed box, Tab, Enter, Space and Escape, minimise and restore,
// ticks, and closing at random moments, the game-over message's included. After every event
// the window must be alive and the game whole.
//
// VELMORA_STORM_SEEDS and VELMORA_STORM_EVENTS set how many seeds and events a seed
// (`make soak` asks for many more than `make test`); VELMORA_STORM_FIRST_SEED replays one.
#include "gamewindow.h"
#include "window_support.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <memory>
#include <random>

namespace velmora::qt {
namespace {

int fromEnvironment(const char* name, int fallback) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// The rules' invariants, as a game in any state must keep them.
void expectAWholeGame(const GameWindow& window) {
    const Game& game = window.game();
    ASSERT_EQ(game.shaX.Count(), brickCount);
    int knockedOut = 0;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        knockedOut += game.shaX(i).Visible ? 0 : 1;
    }
    EXPECT_EQ(game.punti, knockedOut);
    const QString score = window.findChild<QLabel*>("lblPunti")->text();
    EXPECT_EQ(score, game.punti == 0 ? QString() : QString::number(game.punti));
    EXPECT_TRUE(game.velX == -30 || game.velX == 0 || game.velX == 30) << game.velX;
    const int speed = std::abs(int{game.velY});
    EXPECT_TRUE(speed % 20 == 0 && speed >= 20 && speed <= 200) << game.velY;
    EXPECT_GT(game.shaB.Left, 0);
    EXPECT_LT(Dbl(game.shaB.Left) + Dbl(game.shaB.Width), Dbl(game.frame.Width));
    EXPECT_EQ(game.shaB.Top, 7560);
    EXPECT_GE(game.xPresa, 0);
}

// Time stands still for the window's own timer: every tick is one the storm sends, so a
// seed plays the same storm every time.
class StoppedClock final : public ui::TickClock {
  public:
    std::chrono::nanoseconds now() const override { return {}; }
};

class Storm {
  public:
    explicit Storm(unsigned seed) : random_(seed) {}

    // Plays games until `events` events have been sent; returns how many games there were.
    int play(int events) {
        int games = 0;
        while (sent_ < events && !::testing::Test::HasFatalFailure()) {
            ++games;
            playOneGame(events);
        }
        return games;
    }

  private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    bool chance(int percent) { return pick(100) < percent; }

    void playOneGame(int events) {
        FakePlatform platform;
        auto window = std::make_unique<GameWindow>(platform, nullptr, &clock_);
        window->show();
        window_ = window.get();
        bool messageOpen = false;
        platform.whileMessageOpen = [&] {
            messageOpen = true;
            const Shape ball = window_->game().shaP;
            EXPECT_FALSE(window_->isTicking()) << "ticking while the message is open";
            for (int n = pick(4); n > 0; --n) {
                sendOne(); // the message box is modal, but a test can still reach the window
            }
            EXPECT_EQ(window_->game().shaP.Top, ball.Top)
                << "a tick ran while the message was open";
            EXPECT_EQ(window_->game().shaP.Left, ball.Left);
            messageOpen = false;
        };

        while (sent_ < events && window->isVisible()) {
            sendOne();
            if (::testing::Test::HasFatalFailure()) {
                return;
            }
            ASSERT_LE(platform.messages.count(QStringLiteral("Game Over !")), 1);
            ASSERT_EQ(platform.messages.size(),
                      platform.messages.count(QStringLiteral("Game Over !")))
                << platform.messages.join(" | ").toStdString();
            ASSERT_TRUE(platform.exitStatuses.empty());
            expectAWholeGame(*window);
        }
        // Gone: by Chiudi, Escape, Enter or Space on Chiudi, the close button or game over.
        if (!window->isVisible()) {
            EXPECT_FALSE(window->isTicking());
            EXPECT_EQ(platform.messages.empty(), !window->game().gameOver);
            const Shape ball = window->game().shaP;
            window->Timer_Timer(); // a tick already on its way
            processEventsFor(1);
            EXPECT_EQ(window->game().shaP.Top, ball.Top) << "a tick ran after the close";
        }
        window_ = nullptr;
    }

    QPointF anywhere() {
        switch (pick(20)) {
        case 0:
            return {std::numeric_limits<double>::quiet_NaN(), 500};
        case 1:
            return {300, std::numeric_limits<double>::infinity()};
        case 2:
            return {-1e300, 1e300};
        default: // mostly on or near the paddle, where the drag happens
            if (chance(60)) {
                return {std::uniform_real_distribution<double>(440, 600)(random_),
                        std::uniform_real_distribution<double>(500, 535)(random_)};
            }
            return {std::uniform_real_distribution<double>(-50, 720)(random_),
                    std::uniform_real_distribution<double>(-50, 620)(random_)};
        }
    }

    Qt::MouseButtons someButtons() {
        static constexpr Qt::MouseButton each[] = {Qt::LeftButton, Qt::RightButton,
                                                   Qt::MiddleButton};
        Qt::MouseButtons held;
        const int mask = chance(70) ? 1 : pick(8);
        for (int i = 0; i < 3; ++i) {
            if (mask & (1 << i)) {
                held |= each[i];
            }
        }
        return held;
    }

    void key(Qt::Key which) {
        QWidget* target = window_->focusWidget() ? window_->focusWidget() : window_;
        QTest::keyClick(target, which);
    }

    void sendOne() {
        ++sent_;
        GameWindow& window = *window_;
        auto* frame = window.findChild<QWidget*>("frame");
        auto* speeds = window.findChild<QComboBox*>("cmbVel");
        switch (pick(16)) {
        case 0:
        case 1: {
            const Qt::MouseButton button = chance(80) ? Qt::LeftButton : Qt::RightButton;
            sendMouse(frame, QEvent::MouseButtonPress, anywhere(), button, button | someButtons());
            break;
        }
        case 2:
        case 3:
        case 4:
            sendMouse(frame, QEvent::MouseMove, anywhere(), Qt::NoButton, someButtons());
            break;
        case 5: {
            const Qt::MouseButton button = chance(80) ? Qt::LeftButton : Qt::MiddleButton;
            sendMouse(frame, QEvent::MouseButtonRelease, anywhere(), button, Qt::NoButton);
            break;
        }
        case 6: // a pick with the arrow keys
            speeds->setFocus();
            QTest::keyClick(speeds, chance(50) ? Qt::Key_Down : Qt::Key_Up);
            break;
        case 7: // typed text, perhaps an entry, perhaps Enter after it
            speeds->setFocus();
            QTest::keyClicks(speeds, QString::number(pick(12) * 20 + pick(2) * 7));
            if (chance(50)) {
                QTest::keyClick(speeds, Qt::Key_Return);
            }
            break;
        case 8: {
            static constexpr Qt::Key keys[] = {Qt::Key_Tab, Qt::Key_Return, Qt::Key_Space,
                                               Qt::Key_Escape, Qt::Key_Backtab};
            // Escape, and Enter or Space on Chiudi, end the game: rarer than the rest.
            const Qt::Key which = keys[pick(5)];
            if (which == Qt::Key_Tab || which == Qt::Key_Backtab || chance(15)) {
                key(which);
            }
            break;
        }
        case 9: { // minimised and restored, as a window system does it: the game goes on
            const bool ticking = window.isTicking();
            if (chance(50)) {
                window.setWindowState(Qt::WindowMinimized);
                processEventsFor(1);
                window.setWindowState(Qt::WindowNoState);
            } else {
                QHideEvent hidden;
                QApplication::sendEvent(&window, &hidden);
                QShowEvent shown;
                QApplication::sendEvent(&window, &shown);
            }
            EXPECT_EQ(window.isTicking(), ticking) << "minimise and restore changed the ticking";
            break;
        }
        case 10:
            if (chance(3)) {
                window.close();
            }
            break;
        case 11:
            processEventsFor(1); // paints, and whatever else is queued
            break;
        default: // ticks, as the timer delivers them; many, so that games end
            for (int n = pick(40); n > 0 && window.isTicking(); --n) {
                window.Timer_Timer();
            }
            break;
        }
    }

    std::mt19937 random_;
    StoppedClock clock_;
    GameWindow* window_ = nullptr;
    int sent_ = 0;
};

TEST(EventStorm, TheGameWindowSurvivesThousandsOfRandomEvents) {
    const int seeds = fromEnvironment("VELMORA_STORM_SEEDS", 3);
    const int events = fromEnvironment("VELMORA_STORM_EVENTS", 3000);
    const int first = fromEnvironment("VELMORA_STORM_FIRST_SEED", 1);
    for (int seed = first; seed < first + seeds; ++seed) {
        SCOPED_TRACE(::testing::Message()
                     << "storm seed " << seed << " (replay with VELMORA_STORM_FIRST_SEED=" << seed
                     << " VELMORA_STORM_SEEDS=1)");
        const int games = Storm(static_cast<unsigned>(seed)).play(events);
        EXPECT_GE(games, 1);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "the storm failed with seed " << seed;
            return;
        }
    }
}

} // namespace
} // namespace velmora::qt
