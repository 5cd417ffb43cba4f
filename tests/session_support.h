// SPDX-License-Identifier: MIT
// A game session for tests: a view of its own that shows nothing, a clock the test moves by
// hand, and the tests' way into its game.
#pragma once

#include "session.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace velmora::ui {

// The one way in, for tests, to set up a position in a session's game.
class SessionSeam {
  public:
    static Game& game(Session& session) { return session.game_; }
    // A front end's game window, which holds its session as `session_`.
    template <typename Window> static Game& game(Window& window) { return game(window.session_); }
};

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
        Game& game = SessionSeam::game(session);
        game.shaP.Left = left;
        game.shaP.Top = top;
        game.velY = velY;
    }

    HandClock clock;
    FakeView view;
    Session session{view, clock};
};

} // namespace velmora::ui
