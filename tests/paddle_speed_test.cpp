// SPDX-License-Identifier: MIT
#include "test_support.h"

namespace velmora {
namespace {

constexpr Integer left = 1;
constexpr float onPaddleY = 7700; // the start paddle spans 7080..8535 x 7560..7935

TEST(PaddleDrag, PressMoveReleaseOnThePaddle) {
    Game game = activatedGame();
    game.frame_MouseDown(left, 0, 7800, onPaddleY);
    EXPECT_EQ(game.xPresa, 7800);
    game.frame_MouseMove(left, 0, 7500, onPaddleY);
    EXPECT_EQ(game.shaB.Left, 6780);
    EXPECT_EQ(game.shaB.Top, 7560); // sideways only
    EXPECT_EQ(game.xPresa, 7500);
    game.frame_MouseMove(left, 0, 7620.4f, 7935); // on the bottom edge; 120.4 rounds to 120
    EXPECT_EQ(game.shaB.Left, 6900);
    EXPECT_EQ(game.xPresa, 7620);
    game.frame_MouseUp(left, 0, 7620, onPaddleY);
    EXPECT_EQ(game.xPresa, 0);
    game.frame_MouseMove(left, 0, 7700, onPaddleY); // no drag any more
    EXPECT_EQ(game.shaB.Left, 6900);
}

TEST(PaddleDrag, ThePaddlesEdgesCountAsOnIt) {
    Game game = activatedGame();
    game.frame_MouseDown(left, 0, 7080, 7560);
    EXPECT_EQ(game.xPresa, 7080);
    game.frame_MouseDown(left, 0, 8535, 7935);
    EXPECT_EQ(game.xPresa, 8535);
    game.xPresa = 0;
    game.frame_MouseDown(left, 0, 8535.01f, 7700);
    game.frame_MouseDown(left, 0, 7100, 7559.9f);
    EXPECT_EQ(game.xPresa, 0);
}

TEST(PaddleDrag, AMoveToTheRightWallIsRefusedWhole) {
    Game game = activatedGame();
    game.frame_MouseDown(left, 0, 7100, onPaddleY);
    game.frame_MouseMove(left, 0, 8420, onPaddleY); // right edge would be exactly 9855
    EXPECT_EQ(game.shaB.Left, 7080);
    EXPECT_EQ(game.xPresa, 7100);
    game.frame_MouseMove(left, 0, 8419, onPaddleY); // right edge 9854
    EXPECT_EQ(game.shaB.Left, 8399);
    EXPECT_EQ(game.xPresa, 8419);
}

TEST(PaddleDrag, AMoveToTheLeftWallIsRefusedWhole) {
    Game game = activatedGame();
    game.shaB.Left = 100;
    game.frame_MouseDown(left, 0, 1500, onPaddleY);
    game.frame_MouseMove(left, 0, 1400, onPaddleY); // Left would be 0
    EXPECT_EQ(game.shaB.Left, 100);
    EXPECT_EQ(game.xPresa, 1500);
    game.frame_MouseMove(left, 0, 1401, onPaddleY);
    EXPECT_EQ(game.shaB.Left, 1);
}

TEST(PaddleDrag, AMoveThatRoundsToNothingKeepsTheAnchor) {
    Game game = activatedGame();
    game.frame_MouseDown(left, 0, 7800, onPaddleY);
    game.frame_MouseMove(left, 0, 7800.5f, onPaddleY); // CInt(0.5) = 0
    EXPECT_EQ(game.shaB.Left, 7080);
    EXPECT_EQ(game.xPresa, 7800);
}

TEST(PaddleDrag, OffThePaddleTheDragWaitsAndThenJumps) {
    Game game = activatedGame();
    game.frame_MouseDown(left, 0, 7800, onPaddleY);
    game.frame_MouseMove(left, 0, 7000, onPaddleY); // off the paddle: nothing
    game.frame_MouseUp(left, 0, 7000, onPaddleY);   // released off it: the anchor stays
    EXPECT_EQ(game.shaB.Left, 7080);
    EXPECT_EQ(game.xPresa, 7800);
    game.frame_MouseMove(left, 0, 7200, onPaddleY); // back on it: the whole 600 at once
    EXPECT_EQ(game.shaB.Left, 6480);
    EXPECT_EQ(game.xPresa, 7200);
}

TEST(PaddleDrag, OnlyTheLeftButtonAloneDrags) {
    for (Integer button : {Integer{0}, Integer{2}, Integer{3}, Integer{4}, Integer{-1}}) {
        Game game = activatedGame();
        game.frame_MouseDown(button, 0, 7800, onPaddleY);
        EXPECT_EQ(game.xPresa, 0) << button;
        game.frame_MouseDown(left, 0, 7800, onPaddleY);
        game.frame_MouseMove(button, 0, 7500, onPaddleY);
        EXPECT_EQ(game.shaB.Left, 7080) << button;
        game.frame_MouseUp(button, 0, 7800, onPaddleY);
        EXPECT_EQ(game.xPresa, 7800) << button;
    }
}

TEST(PaddleDrag, APressThatRoundsToZeroNeverStartsADrag) {
    Game game = activatedGame();
    game.shaB.Left = 0.25f;
    game.frame_MouseDown(left, 0, 0.4f, onPaddleY);
    EXPECT_EQ(game.xPresa, 0);
    game.frame_MouseMove(left, 0, 600, onPaddleY);
    EXPECT_EQ(game.shaB.Left, 0.25f);
}

TEST(SpeedPick, ChangesTheSizeOfTheVerticalStepAndKeepsItsDirection) {
    Game game = activatedGame();
    game.velX = 30;
    game.cmbVel.Text = "20";
    game.cmbVel_Click();
    EXPECT_EQ(game.velY, 20); // still falling
    game.velY = -60;
    game.cmbVel.Text = "200";
    game.cmbVel_Click();
    EXPECT_EQ(game.velY, -200); // still rising
    EXPECT_EQ(game.velX, 30);
}

TEST(SpeedPick, ReadsTheTextAsANumberAndRoundsIt) {
    Game game = activatedGame();
    game.cmbVel.Text = "60.5";
    game.cmbVel_Click();
    EXPECT_EQ(game.velY, 60);
    game.cmbVel.Text = "fast";
    game.cmbVel_Click();
    EXPECT_EQ(game.velY, 0);
    game.cmbVel.Text = "80";
    game.cmbVel_Click(); // a still ball counts as rising
    EXPECT_EQ(game.velY, -80);
    game.cmbVel.Text = "40000";
    EXPECT_EQ(errorOf([&] { game.cmbVel_Click(); }), ErrorKind::Overflow);
    EXPECT_EQ(game.velY, -80);
}

} // namespace
} // namespace velmora
