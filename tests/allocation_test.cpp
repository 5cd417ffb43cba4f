// SPDX-License-Identifier: MIT
// A game under way allocates nothing: every tick and mouse event works in place, and so does
// the session's wake-up, which every front end runs on every tick.
#include "session.h"
#include "test_support.h"

#include <cstdlib>
#include <new>

namespace {
long allocations = 0;
}

void* operator new(std::size_t size) {
    ++allocations;
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}
// Every form of new and delete that the program may use is replaced together, so that
// whatever a library allocates is released by the matching function.
void* operator new[](std::size_t size) {
    return operator new(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace velmora {
namespace {

TEST(Allocation, ALongGameAllocatesNothingOnceStarted) {
    Game game = activatedGame();
    const long before = allocations;
    for (int tick = 0; tick < 20000 && !game.gameOver; ++tick) {
        // Keep the paddle under the ball, a different third of it now and then, and drag it
        // a little on every tick.
        const double offsets[] = {-1100, -600, -100};
        game.shaB.Left = ToSingle(Dbl(game.shaP.Left) + offsets[tick / 400 % 3]);
        const float grip = game.shaB.Left + 700;
        game.frame_MouseDown(1, 0, grip, 7700);
        game.frame_MouseMove(1, 0, grip + (tick % 2 == 0 ? 5.0f : -5.0f), 7700);
        game.frame_MouseUp(1, 0, grip, 7700);
        game.Timer_Timer();
    }
    EXPECT_EQ(allocations - before, 0);
    EXPECT_GT(game.punti, 9); // the score's text grew to two digits on the way
}

// A view that shows nothing and keeps nothing.
class QuietView final : public ui::GameView {
  public:
    void showScore(const std::string& /*caption*/) override { ++scores; }
    void fillSpeedList(const std::vector<std::string>& /*list*/,
                       const std::string& /*text*/) override {}
    void focusFirstControl() override {}
    void repaintPlayfield(const Shape& /*place*/) override { ++repaints; }
    void wakeIn(int milliseconds) override { wait = milliseconds; }
    void stopWaking() override { wait = -1; }
    void showMessage(const std::string& /*text*/) override { ++messages; }
    void closeWindow() override {}
    void endProgram(int /*status*/) override {}

    int scores = 0, repaints = 0, messages = 0, wait = -1;
};

class HandClock final : public ui::TickClock {
  public:
    std::chrono::nanoseconds now() const override { return time; }
    std::chrono::nanoseconds time{};
};

TEST(Allocation, EveryWakeOfAGameSessionAllocatesNothing) {
    QuietView view;
    HandClock clock;
    ui::Session session(view, clock);
    session.load();
    session.activate();
    session.mouseDown(1, 7800, 7700); // a hold on the paddle, then a drag on every wake
    const long before = allocations;
    int wakes = 0;
    for (; wakes < 200 && view.wait >= 0; ++wakes) {
        clock.time += std::chrono::milliseconds(view.wait) + std::chrono::milliseconds(wakes % 3);
        session.wake();
        session.mouseMove(1, wakes % 2 == 0 ? 7805.0f : 7800.0f, 7700);
    }
    EXPECT_EQ(allocations - before, 0);
    EXPECT_EQ(wakes, 200);
    EXPECT_GT(view.repaints, 200); // the ball moved on every wake, and was shown
}

} // namespace
} // namespace velmora
