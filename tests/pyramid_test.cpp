// SPDX-License-Identifier: MIT
#include "test_support.h"

namespace velmora {
namespace {

struct Row {
    Integer first, last;
    float top, left, right; // the first brick's Left, the last brick's right edge
};

constexpr Row rows[] = {
    {0, 11, 1080, 240, 9610},       {12, 22, 1385, 657.5, 9242.5}, {23, 32, 1690, 1075, 8875},
    {33, 41, 1995, 1492.5, 8507.5}, {42, 49, 2300, 1910, 8140},    {50, 56, 2605, 2327.5, 7772.5},
};

TEST(Pyramid, StartsWithTheDesignTimeBrickOnly) {
    const Game game = loadedGame();
    ASSERT_EQ(game.shaX.Count(), 1);
    EXPECT_TRUE(game.shaX(0).Visible);
}

TEST(Pyramid, BuildsSixRowsOfFiftySevenVisibleBricks) {
    const Game game = activatedGame();
    ASSERT_EQ(game.shaX.Count(), 57);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.first);
        EXPECT_EQ(game.shaX(row.first).Left, row.left);
        EXPECT_EQ(Dbl(game.shaX(row.last).Left) + 735, row.right);
        for (Integer i = row.first; i <= row.last; ++i) {
            const Shape& brick = game.shaX(i);
            EXPECT_TRUE(brick.Visible) << i;
            EXPECT_EQ(brick.Top, row.top) << i;
            EXPECT_EQ(brick.Width, 735) << i;
            EXPECT_EQ(brick.Height, 255) << i;
            if (i > row.first) {
                EXPECT_EQ(brick.Left - game.shaX(static_cast<Integer>(i - 1)).Left, 785) << i;
            }
        }
    }
    EXPECT_EQ(game.shaX(11).Left, 8875);
    EXPECT_EQ(game.shaX(12).Left, 657.5); // half a brick in, not rounded
}

TEST(Pyramid, BricksFollowElementZero) {
    // The builder reads each brick's size from the bricks, not from constants.
    Game game = loadedGame();
    game.shaX(0).Width = 400;
    game.shaX(0).Height = 100;
    game.shaX(0).Top = 500;
    game.Form_Activate();
    EXPECT_EQ(game.shaX(1).Left, 690);  // 240 + 400 + 50
    EXPECT_EQ(game.shaX(12).Left, 490); // 240 + 200 + 50
    EXPECT_EQ(game.shaX(12).Top, 650);  // 500 + 100 + 50
    EXPECT_EQ(game.shaX(56).Height, 100);
    EXPECT_EQ(game.shaX(56).Top, 1250);
}

TEST(Pyramid, IsBuiltOnlyOnTheFirstActivation) {
    Game game = activatedGame();
    game.shaX(5).Visible = false;
    game.Form_Activate();
    EXPECT_EQ(game.shaX.Count(), 57);
    EXPECT_FALSE(game.shaX(5).Visible);
}

TEST(ShapeArray, CreatesHiddenCopiesOfElementZeroInOrder) {
    ShapeArray<3> bricks{Shape{10, 20, 30, 40, true}};
    bricks.Load(1);
    EXPECT_EQ(bricks.Count(), 2);
    EXPECT_EQ(bricks(1).Left, 10);
    EXPECT_EQ(bricks(1).Height, 40);
    EXPECT_FALSE(bricks(1).Visible);

    EXPECT_EQ(errorOf([&] { bricks.Load(1); }), ErrorKind::ElementExists);
    EXPECT_EQ(errorOf([&] { bricks.Load(0); }), ErrorKind::ElementExists);
    EXPECT_EQ(errorOf([&] { bricks(2); }), ErrorKind::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { bricks(-1); }), ErrorKind::SubscriptOutOfRange);
    bricks.Load(2);
    EXPECT_EQ(errorOf([&] { bricks.Load(3); }), ErrorKind::SubscriptOutOfRange);
}

} // namespace
} // namespace velmora
