// SPDX-License-Identifier: MIT
// Random play: thousands of seeded random window events, with the game's invariants
// checked after each one.
#include "test_support.h"

#include <random>

namespace velmora {
namespace {

int hiddenBricks(const Game& game) {
    int hidden = 0;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        hidden += game.shaX(i).Visible ? 0 : 1;
    }
    return hidden;
}

void checkInvariants(const Game& game) {
    ASSERT_EQ(game.punti, hiddenBricks(game));
    ASSERT_TRUE(game.shaX.Count() == 1 || game.shaX.Count() == 57) << game.shaX.Count();
    ASSERT_TRUE(game.velX == -30 || game.velX == 0 || game.velX == 30) << game.velX;
    ASSERT_GT(game.shaB.Left, 0);
    ASSERT_LT(Dbl(game.shaB.Left) + Dbl(game.shaB.Width), game.frame.Width);
    ASSERT_EQ(game.shaB.Top, 7560);
    // A ball never gets more than two of its largest steps above the ceiling.
    ASSERT_GT(game.shaP.Top, -400);
    ASSERT_EQ(game.lblPunti.Caption, game.punti == 0 ? "" : std::to_string(game.punti));
}

class RandomPlay : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomPlay, KeepsTheInvariants) {
    std::mt19937 random(GetParam());
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    Game game = loadedGame();
    int games = 0;
    for (int command = 0; command < 4000; ++command) {
        const float x =
            static_cast<float>(uniform(-500, 10500)) + 0.25f * static_cast<float>(uniform(0, 3));
        const float y = static_cast<float>(uniform(7400, 8000));
        const auto button = static_cast<Integer>(uniform(0, 3) == 0 ? uniform(0, 4) : 1);
        switch (uniform(0, 9)) {
        case 0:
            game.Form_Activate();
            break;
        case 1:
        case 2:
            game.frame_MouseDown(button, 0, x, y);
            break;
        case 3:
        case 4: {
            // Drags mostly stay near the anchor, as a hand does.
            const float near = static_cast<float>(game.xPresa + uniform(-300, 300));
            game.frame_MouseMove(button, 0, uniform(0, 4) == 0 ? x : near, y);
            break;
        }
        case 5:
            game.frame_MouseUp(button, 0, x, y);
            break;
        case 6:
            game.cmbVel.Text = game.cmbVel.List[static_cast<std::size_t>(uniform(0, 9))];
            game.cmbVel_Click();
            break;
        default:
            for (int tick = uniform(1, 60); tick > 0 && !game.gameOver; --tick) {
                game.MuoviPalla();
                checkInvariants(game);
            }
        }
        checkInvariants(game);
        if (game.gameOver) {
            ASSERT_GE(Dbl(game.shaP.Top) - game.velY + 187.5, game.frame.Height);
            game = loadedGame();
            ++games;
        }
    }
    RecordProperty("games", games);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomPlay, ::testing::Values(1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u));

} // namespace
} // namespace velmora

namespace velmora {
namespace {

// The brick test as first written: the horizontal test first, every value computed where
// it is used. The game's version must hit the same brick in every state.
void straightforwardControllaBlocchi(Game& game) {
    const Shape& ball = game.shaP;
    const Integer xs = CInt(ball.Left);
    const Integer xd = CInt(Dbl(ball.Width) + Dbl(ball.Left));
    for (Integer i = 0; i <= Subtract(game.shaX.Count(), 1); i = Add(i, 1)) {
        const Shape& brick = game.shaX(i);
        if (!brick.Visible) {
            continue;
        }
        const Integer bs = CInt(brick.Left);
        const Integer bd = CInt(Dbl(brick.Width) + Dbl(brick.Left));
        if (!((bs <= xs && xs <= bd) || (bs <= xd && xd <= bd))) {
            continue;
        }
        const float brickBottom = ToSingle(Dbl(brick.Height) + Dbl(brick.Top));
        const float ballBottom = ToSingle(Dbl(ball.Height) + Dbl(ball.Top));
        const bool hit = game.velY < 1 ? ball.Top >= brick.Top && brickBottom >= ball.Top
                                       : ballBottom >= brick.Top && brickBottom >= ballBottom;
        if (hit) {
            game.velY = Negate(game.velY);
            game.punti = Add(game.punti, 1);
            game.lblPunti.Caption = std::to_string(game.punti);
            game.shaX(i).Visible = false;
            return;
        }
    }
}

TEST(BrickTest, HitsWhatTheStraightforwardVersionHits) {
    std::mt19937 random(42);
    const auto uniform = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(random);
    };
    Game game = activatedGame();
    int hits = 0;
    for (int round = 0; round < 200000; ++round) {
        if (round % 1000 == 0) {
            game = activatedGame();
        }
        // Anywhere over the pyramid, on whole, half and quarter twips, either way.
        game.shaP.Left =
            static_cast<float>(uniform(-400, 10000)) + 0.25f * static_cast<float>(uniform(0, 3));
        game.shaP.Top =
            static_cast<float>(uniform(600, 3000)) + 0.25f * static_cast<float>(uniform(0, 3));
        game.velY = static_cast<Integer>(uniform(-2, 2) * 60);
        const Integer before = game.punti;
        Game expected = game;
        straightforwardControllaBlocchi(expected);
        game.ControllaBlocchi();
        hits += expected.punti != before ? 1 : 0;
        ASSERT_EQ(game.velY, expected.velY) << round;
        ASSERT_EQ(game.punti, expected.punti) << round;
        for (Integer i = 0; i < game.shaX.Count(); ++i) {
            ASSERT_EQ(game.shaX(i).Visible, expected.shaX(i).Visible) << round << " brick " << i;
        }
    }
    EXPECT_GT(hits, 10000); // the rounds hit bricks often, not just miss them
}

} // namespace
} // namespace velmora
