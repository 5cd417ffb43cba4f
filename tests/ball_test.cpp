// SPDX-License-Identifier: MIT
#include "test_support.h"

namespace velmora {
namespace {

// Puts the ball at (left, top) with the given steps.
void placeBall(Game& game, float left, float top, Integer velX, Integer velY) {
    game.shaP.Left = left;
    game.shaP.Top = top;
    game.velX = velX;
    game.velY = velY;
}

TEST(GameStart, SetsTheNumbersScoreTimerAndSpeedList) {
    const Game game = loadedGame();
    EXPECT_EQ(game.velY, 60);
    EXPECT_EQ(game.velX, 0);
    EXPECT_EQ(game.xPresa, 0);
    EXPECT_EQ(game.punti, 0);
    EXPECT_EQ(game.lblPunti.Caption, ""); // empty, not "0"
    EXPECT_EQ(game.intervallo, 1);
    EXPECT_EQ(game.timer.Interval, 1);
    EXPECT_EQ(game.cmbVel.List, (std::vector<std::string>{"20", "40", "60", "80", "100", "120",
                                                          "140", "160", "180", "200"}));
    EXPECT_EQ(game.cmbVel.Text, "60");
    EXPECT_FALSE(game.gameOver);
    EXPECT_EQ(Dbl(game.shaP.Width) / 2 + Dbl(game.shaP.Left), 8407.5); // the ball's centre
    EXPECT_EQ(Dbl(game.shaP.Height) / 2 + Dbl(game.shaP.Top), 2467.5);
}

TEST(BallStep, FallsStraightOntoTheRightThirdOfThePaddle) {
    Game game = activatedGame();
    for (int tick = 1; tick <= 82; ++tick) {
        game.MuoviPalla();
        ASSERT_EQ(game.velY, 60) << tick;
    }
    EXPECT_EQ(game.shaP.Top, 7200); // its bottom, 7575, is now within the paddle's height
    game.MuoviPalla();              // tick 83: c = 8408 lies in (8050, 8535]
    EXPECT_EQ(game.velY, -60);
    EXPECT_EQ(game.velX, 30);
    EXPECT_EQ(game.shaP.Top, 7140); // the bounce takes effect in the same tick
    EXPECT_EQ(game.shaP.Left, 8310);
}

TEST(BallStep, ThePaddlesThirdsIncludeBothEnds) {
    // Start paddle: x0 = 7080, x1 = 7565, x2 = 8050, x3 = 8535. A ball centre is Left + 127.5.
    const struct {
        float centre;
        Integer velX;
    } cases[] = {
        {7080, -30},   {7564.6f, -30}, {7565, -30}, // on x1: the left third wins
        {7566, 0},     {8050, 0},                   // on x2: the middle third wins
        {8050.6f, 30}, {8535, 30},
    };
    for (const auto& [centre, velX] : cases) {
        Game game = activatedGame();
        placeBall(game, ToSingle(Dbl(centre) - 127.5), 7300, 99, 60);
        game.MuoviPalla();
        EXPECT_EQ(game.velX, velX) << centre;
        EXPECT_EQ(game.velY, -60) << centre;
    }
}

TEST(BallStep, ACentreRoundedPastTheLastMarkKeepsTheHorizontalStep) {
    // Paddle 7080.5..8535.5 has marks 7080, 7565, 8050, 8535 (7080.5 rounds to even).
    // A centre on its right edge is over the paddle but rounds to 8536, beyond x3.
    Game game = activatedGame();
    game.shaB.Left = 7080.5f;
    placeBall(game, 8408, 7300, -30, 60); // centre 8535.5
    game.MuoviPalla();
    EXPECT_EQ(game.velY, -60);
    EXPECT_EQ(game.velX, -30);
}

TEST(BallStep, LevelWithThePaddleButBesideItTestsNothingElse) {
    Game game = activatedGame();
    placeBall(game, 0, 7300, -30, 60); // at the left wall, bottom within the paddle's height
    game.MuoviPalla();
    EXPECT_EQ(game.velX, -30); // the wall was not tested
    EXPECT_EQ(game.velY, 60);
    EXPECT_EQ(game.shaP.Left, -30);
    EXPECT_EQ(game.shaP.Top, 7360);
}

// The paddle slid under a falling ball whose bottom is already inside its band: the ball
// turns once and rises out of the band, neither shaking in place nor sliding off an end.
TEST(BallStep, OnlyAFallingBallTurnsAtThePaddle) {
    Game game = activatedGame();
    placeBall(game, 7100, 7425, 99, 60); // bottom 7800, deep in the band 7560..7935; left third
    game.MuoviPalla();
    EXPECT_EQ(game.velY, -60);
    EXPECT_EQ(game.velX, -30);
    for (float top : {7305.0f, 7245.0f, 7185.0f, 7125.0f}) { // level with it for three ticks
        game.MuoviPalla();
        EXPECT_EQ(game.shaP.Top, top);
        EXPECT_EQ(game.velY, -60);
    }
    EXPECT_EQ(game.shaP.Left, 6950);
}

TEST(BallStep, EndsTheGameWhenTheBallsCentreReachesTheFloor) {
    Game game = activatedGame();
    placeBall(game, 1000, 8107, 0, 60); // centre 8294.5, just above the floor at 8295
    game.MuoviPalla();
    EXPECT_FALSE(game.gameOver);
    placeBall(game, 1000, 8107.5, 30, 60); // centre exactly on the floor
    game.MuoviPalla();
    EXPECT_TRUE(game.gameOver);
    EXPECT_EQ(game.shaP.Top, 8167.5); // the tick's move still happens
    EXPECT_EQ(game.shaP.Left, 1030);
}

TEST(BallStep, WallsSetTheHorizontalStep) {
    Game game = activatedGame();
    placeBall(game, -10, 4000, -30, 60);
    game.MuoviPalla();
    EXPECT_EQ(game.velX, 30);
    EXPECT_EQ(game.shaP.Left, 20);

    placeBall(game, 9600, 4000, 30, -60); // right edge exactly on the frame's width
    game.MuoviPalla();
    EXPECT_EQ(game.velX, -30);
    EXPECT_EQ(game.shaP.Left, 9570);
    EXPECT_EQ(game.velY, -60);
}

TEST(BallStep, AWallTakesTheTickBeforeTheCeiling) {
    Game game = activatedGame();
    placeBall(game, 0, 0, -30, -60);
    game.MuoviPalla();
    EXPECT_EQ(game.velX, 30);
    EXPECT_EQ(game.velY, -60); // the ceiling waits for a later tick
    game.MuoviPalla();         // Left 30, Top -60: now the ceiling
    EXPECT_EQ(game.velY, 60);
    EXPECT_EQ(game.shaP.Top, 0);
}

TEST(BallStep, ARisingBallBouncesOffTheCeilingAwayFromTheWalls) {
    Game game = activatedGame();
    placeBall(game, 5000, 20, 0, -60);
    game.MuoviPalla();
    EXPECT_EQ(game.shaP.Top, -40);
    game.MuoviPalla();
    EXPECT_EQ(game.velY, 60);
    EXPECT_EQ(game.shaP.Top, 20);
}

TEST(BallStep, ABallInACornerComesBackDownFromAboveTheCeiling) {
    Game game = activatedGame();
    placeBall(game, 30, 30, -30, -60);
    const float expectedTops[] = {-30, -90, -30, 30, 90};
    for (float top : expectedTops) {
        game.MuoviPalla();
        EXPECT_EQ(game.shaP.Top, top);
    }
    EXPECT_EQ(game.velY, 60);
}

TEST(BallStep, ASlowerSpeedAboveTheCeilingStillBringsTheBallDown) {
    Game game = activatedGame();
    placeBall(game, 5000, -190, 0, -200);
    game.cmbVel.Text = "20";
    game.cmbVel_Click();
    ASSERT_EQ(game.velY, -20);
    for (int tick = 0; tick < 10; ++tick) {
        game.MuoviPalla();
        EXPECT_EQ(game.velY, 20) << tick;
    }
    EXPECT_EQ(game.shaP.Top, 10);
}

TEST(Bricks, ARisingBallKnocksOutTheBrickItsTopTouches) {
    Game game = loadedGame(); // before the pyramid: only brick 0, 240..975 x 1080..1335
    placeBall(game, 300, 1335, 0, -60);
    game.MuoviPalla();
    EXPECT_FALSE(game.shaX(0).Visible);
    EXPECT_EQ(game.punti, 1);
    EXPECT_EQ(game.lblPunti.Caption, "1");
    EXPECT_EQ(game.velY, 60);
    EXPECT_EQ(game.shaP.Top, 1395);
    game.MuoviPalla(); // a hidden brick is not hit again
    EXPECT_EQ(game.punti, 1);
}

TEST(Bricks, TheLeadingEdgeFollowsTheDirection) {
    Game game = loadedGame();
    placeBall(game, 300, 1335.5f, 0, -60); // top just below the brick
    game.ControllaBlocchi();
    EXPECT_EQ(game.punti, 0);
    placeBall(game, 300, 705, 0, 60); // falling: bottom edge 1080 on the brick's top
    game.ControllaBlocchi();
    EXPECT_EQ(game.punti, 1);
    EXPECT_EQ(game.velY, -60);
}

TEST(Bricks, ABallThatIsNotMovingVerticallyCountsAsRising) {
    Game game = loadedGame();
    placeBall(game, 300, 1200, 30, 0);
    game.ControllaBlocchi();
    EXPECT_EQ(game.punti, 1);
    EXPECT_EQ(game.velY, 0);
}

TEST(Bricks, TheLowerIndexWinsAndEachCallTakesOneBrick) {
    Game game = activatedGame();
    placeBall(game, 900, 1300, 0, -60); // its edges in brick 0 (240..975) and brick 1 (1025..)
    game.ControllaBlocchi();
    EXPECT_FALSE(game.shaX(0).Visible);
    EXPECT_TRUE(game.shaX(1).Visible);
    game.velY = -60;
    game.ControllaBlocchi();
    EXPECT_FALSE(game.shaX(1).Visible);
    EXPECT_EQ(game.punti, 2);
    EXPECT_EQ(game.lblPunti.Caption, "2");
}

TEST(Bricks, OverlapIsTestedOnTheBallsRoundedEdges) {
    Game game = activatedGame();
    game.shaX(0).Visible = false;
    placeBall(game, 769.4f, 1300, 0, -60); // right edge 1024.4 rounds short of brick 1
    game.ControllaBlocchi();
    EXPECT_EQ(game.punti, 0);
    placeBall(game, 769.6f, 1300, 0, -60); // right edge 1024.6 rounds onto its left edge
    game.ControllaBlocchi();
    EXPECT_FALSE(game.shaX(1).Visible);
}

TEST(Bricks, ABrickNarrowerThanTheBallBetweenItsEdgesIsMissed) {
    Game game = loadedGame();
    game.shaX(0).Width = 100; // 240..340, inside the ball's 200..455
    placeBall(game, 200, 1200, 0, -60);
    game.ControllaBlocchi();
    EXPECT_TRUE(game.shaX(0).Visible);
}

TEST(Bricks, ABallLeftAloneEndsTheGame) {
    Game game = activatedGame();
    int ticks = 0;
    while (!game.gameOver && ticks < 100000) {
        game.MuoviPalla();
        ++ticks;
    }
    EXPECT_TRUE(game.gameOver);
    int hidden = 0;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        hidden += game.shaX(i).Visible ? 0 : 1;
    }
    EXPECT_EQ(game.punti, hidden);
    EXPECT_GT(game.punti, 0);
}

} // namespace
} // namespace velmora
