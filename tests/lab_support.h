// SPDX-License-Identifier: MIT
// What the lab's tests share: two games compared field by field and bit for bit, and a
// seeded hand that plays a recorded game as a person does.
#pragma once

#include "record.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace velmora::ui {

// A float's bits (std::bit_cast, where every library has it).
inline std::uint32_t bits(float x) {
    std::uint32_t value;
    std::memcpy(&value, &x, sizeof value);
    return value;
}

// Every field of two games, bit for bit: the first difference, named.
inline ::testing::AssertionResult sameGame(const Game& a, const Game& b) {
    std::string differs;
    const auto shape = [&](const std::string& name, const Shape& s, const Shape& t) {
        if (differs.empty() && (bits(s.Left) != bits(t.Left) || bits(s.Top) != bits(t.Top) ||
                                bits(s.Width) != bits(t.Width) ||
                                bits(s.Height) != bits(t.Height) || s.Visible != t.Visible)) {
            differs = name;
        }
    };
    const auto field = [&](const char* name, bool same) {
        if (differs.empty() && !same) {
            differs = name;
        }
    };
    field("frame", bits(a.frame.Width) == bits(b.frame.Width) &&
                       bits(a.frame.Height) == bits(b.frame.Height));
    shape("shaP", a.shaP, b.shaP);
    shape("shaB", a.shaB, b.shaB);
    field("shaX.Count", a.shaX.Count() == b.shaX.Count());
    for (Integer i = 0; i < a.shaX.Count() && differs.empty(); ++i) {
        shape("shaX(" + std::to_string(i) + ")", a.shaX(i), b.shaX(i));
    }
    field("velY", a.velY == b.velY);
    field("velX", a.velX == b.velX);
    field("intervallo", a.intervallo == b.intervallo);
    field("xPresa", a.xPresa == b.xPresa);
    field("punti", a.punti == b.punti);
    field("lblPunti", a.lblPunti.Caption == b.lblPunti.Caption);
    field("cmbVel.List", a.cmbVel.List == b.cmbVel.List);
    field("cmbVel.Text", a.cmbVel.Text == b.cmbVel.Text);
    field("timer", a.timer.Interval == b.timer.Interval);
    field("gameOver", a.gameOver == b.gameOver);
    if (differs.empty()) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << differs << " differs";
}

inline Game activated() {
    Game game;
    game.Form_Load();
    game.Form_Activate();
    return game;
}

// A seeded hand that plays as a person does: it lets the ball run, now and then drags the
// paddle (to under the falling ball, mostly) or picks a speed, and hovers to no effect.
// It records as the session does, and keeps the live game at every tick.
class RecordedGame {
  public:
    explicit RecordedGame(unsigned seed) : random_(seed) {}

    void start() {
        game = activated();
        record.start(game);
        live.assign(1, game);
    }

    void play(int ticks) {
        for (int n = 0; n < ticks && !game.gameOver; ++n) {
            const bool falling = game.velY > 0 && game.shaP.Top > 5000;
            if (uniform(0, 9) == 0 && !falling) { // while the ball falls, the hand waits for it
                randomInput();
            }
            if (falling && !caught_) {
                dragUnderTheBall();
            }
            if (game.velY < 0) {
                caught_ = false;
            }
            game.Timer_Timer();
            record.ticked(game);
            live.push_back(game);
        }
    }

    // The hand takes the paddle out of the ball's way: it falls and the game ends.
    void letItFall() {
        for (int n = 0; n < 20000 && !game.gameOver; ++n) {
            if (game.velY > 0 && game.shaP.Top > 5000 && !caught_) {
                caught_ = true;
                const bool ballOnTheRight = game.shaP.Left > 4800;
                dragTo(ballOnTheRight ? 1 : 9855 - 1455 - 1);
            }
            if (game.velY < 0) {
                caught_ = false;
            }
            game.Timer_Timer();
            record.ticked(game);
            live.push_back(game);
        }
    }

    Game game;
    Record record;
    std::vector<Game> live; // live[t]: the game at tick t, after its inputs

  private:
    int uniform(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random_);
    }
    float twips(double low, double high) {
        return static_cast<float>(std::uniform_real_distribution<double>(low, high)(random_));
    }
    void take(const Input& input) {
        record.take(record.lastTick(), input, game);
        live.back() = game;
    }
    void randomInput() {
        const float y = twips(7400, 8000);
        switch (uniform(0, 4)) {
        case 0:
            take(Input::pick(game.cmbVel.List[static_cast<std::size_t>(uniform(0, 9))]));
            break;
        case 1:
            take(Input::mouse(Input::Kind::Move, 0, twips(0, 9855), y)); // a hover
            break;
        case 2:
            take(Input::mouse(Input::Kind::Down, static_cast<Integer>(uniform(1, 2)),
                              twips(6000, 9000), y));
            break;
        case 3:
            take(Input::mouse(Input::Kind::Move, 1, game.xPresa + twips(-400, 400), y));
            break;
        default:
            take(Input::mouse(Input::Kind::Up, 1, twips(6000, 9000), y));
            break;
        }
    }
    // Where the ball comes down (a copy of the game plays on), then down on the paddle,
    // moves of at most 600 twips to put some third of it there, and up.
    void dragUnderTheBall() {
        caught_ = true;
        Game ahead = game;
        while (Dbl(ahead.shaP.Top) + 375 < 7560 && !ahead.gameOver) {
            ahead.Timer_Timer();
        }
        const double centre = Dbl(ahead.shaP.Left) + 127.5;
        dragTo(std::clamp(centre - twips(50, 1405), 1.0, 9855.0 - 1455 - 1));
    }
    void dragTo(double target) {
        double pointer = Dbl(game.shaB.Left) + 700;
        take(Input::mouse(Input::Kind::Down, 1, static_cast<float>(pointer), 7700));
        double distance = target - Dbl(game.shaB.Left);
        while (std::abs(distance) >= 1) {
            const double step = std::clamp(distance, -600.0, 600.0);
            pointer += step;
            distance -= step;
            take(Input::mouse(Input::Kind::Move, 1, static_cast<float>(pointer), 7700));
        }
        take(Input::mouse(Input::Kind::Up, 1, static_cast<float>(pointer), 7700));
    }

    std::mt19937 random_;
    bool caught_ = false;
};

inline void expectRestoresEveryTick(const Record& record, const std::vector<Game>& live) {
    ASSERT_EQ(record.lastTick() + 1, static_cast<std::int64_t>(live.size()));
    for (std::int64_t t = 0; t <= record.lastTick(); ++t) {
        ASSERT_TRUE(sameGame(record.at(t), live[static_cast<std::size_t>(t)])) << "tick " << t;
    }
    // Restored in place, in any order: nothing of the tick before stays behind.
    std::vector<std::int64_t> ticks(live.size());
    for (std::size_t t = 0; t < ticks.size(); ++t) {
        ticks[t] = static_cast<std::int64_t>(t);
    }
    std::shuffle(ticks.begin(), ticks.end(), std::mt19937(7));
    Game game = record.atStart();
    for (const std::int64_t t : ticks) {
        record.restore(t, game);
        ASSERT_TRUE(sameGame(game, live[static_cast<std::size_t>(t)])) << "tick " << t;
    }
}

} // namespace velmora::ui
