// SPDX-License-Identifier: MIT
#include "gamewindow.h"
#include "window_support.h"

#include <gtest/gtest.h>

namespace velmora::qt {
namespace {

// A clock that can break: reading it then fails as the rules' arithmetic would. The session
// reads it when the game window's timer wakes it, outside the session's own guard.
class BreakingClock final : public ui::TickClock {
  public:
    std::chrono::nanoseconds now() const override {
        if (broken) {
            raise(ErrorKind::Overflow);
        }
        return {};
    }
    bool broken = false;
};

// A handler's failure ends the program as the session's run-time errors do (Application).
TEST(EventGuard, AFailingWakeUpEndsTheGameAsTheSessionsErrorsDo) {
    FakePlatform platform;
    BreakingClock clock;
    GameWindow window(platform, nullptr, &clock);
    window.show(); // the timer starts
    clock.broken = true;
    processEventsFor(100); // the wake-up's time, and a few ticks' more
    EXPECT_EQ(platform.messages, QStringList{"Errore di run-time: overflow"});
    EXPECT_EQ(platform.parents, std::vector<QWidget*>{&window});
    EXPECT_EQ(platform.exitStatuses, std::vector<int>{1});
    EXPECT_FALSE(window.isTicking());
}

} // namespace
} // namespace velmora::qt
