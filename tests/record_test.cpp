// SPDX-License-Identifier: MIT
// The lab's record: a recorded game restored at every tick, bit for bit, and only the inputs
// that change the game kept.
#include "lab_support.h"
#include "record.h"
#include "script.h"

#include <gtest/gtest.h>
#include <string>

namespace velmora::ui {
namespace {

TEST(Record, RestoresEveryTickOfARandomGameBitForBit) {
    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        RecordedGame played(seed);
        played.start();
        played.play(4000);
        ASSERT_GT(played.record.lastTick(), 1000); // the hand keeps the ball in play a while
        ASSERT_GT(played.record.inputs().size(), 100u);
        ASSERT_GT(played.game.punti, 0);
        expectRestoresEveryTick(played.record, played.live);

        // A new history from a past tick: what came after is forgotten, what was at it kept.
        const std::int64_t from = played.record.lastTick() / 2;
        const std::size_t kept = played.record.inputs().size() -
                                 static_cast<std::size_t>(std::count_if(
                                     played.record.inputs().begin(), played.record.inputs().end(),
                                     [&](const TimedInput& timed) { return timed.tick > from; }));
        played.record.forgetAfter(from);
        EXPECT_EQ(played.record.inputs().size(), kept);
        played.live.resize(static_cast<std::size_t>(from) + 1);
        played.game = played.live.back();
        played.play(1500);
        played.letItFall();
        ASSERT_TRUE(played.game.gameOver);
        expectRestoresEveryTick(played.record, played.live);

        // Written as a script and read back: the same history.
        const Record read = playScript(parseScript(writeScript(played.record)));
        EXPECT_EQ(read.lastTick(), played.record.lastTick());
        ASSERT_EQ(read.inputs().size(), played.record.inputs().size());
        expectRestoresEveryTick(read, played.live);
    }
}

TEST(Record, KeepsOnlyInputsThatChangeTheGame) {
    Record record;
    Game game = activated();
    record.start(game);
    for (int t = 0; t < 100; ++t) {
        game.Timer_Timer();
        record.ticked(game);
    }
    Game past = record.at(40);
    // A hover at tick 40, no button held: the future stays.
    EXPECT_FALSE(record.take(40, Input::mouse(Input::Kind::Move, 0, 7800, 7700), past));
    EXPECT_FALSE(record.take(40, Input::pick("60"), past)); // the speed it has
    EXPECT_EQ(record.lastTick(), 100);
    // A press on the paddle at tick 40 starts a new history there.
    EXPECT_TRUE(record.take(40, Input::mouse(Input::Kind::Down, 1, 7800, 7700), past));
    EXPECT_EQ(record.lastTick(), 40);
    ASSERT_EQ(record.inputsAt(40).size(), 1u);
    EXPECT_TRUE(sameGame(record.at(40), past));
    // A pick of the same speed in other words is a new text, and kept.
    EXPECT_TRUE(record.take(40, Input::pick("60.0"), past));
    EXPECT_EQ(record.at(40).cmbVel.Text, "60.0");
    EXPECT_EQ(record.at(0).cmbVel.Text, "60");
}

TEST(Record, AScriptThatRaisesKeepsTheFailingInputAndWritesItBack) {
    const Record record =
        playScript(parseScript("tick 5\npick 40000\ntick\n")); // tests/traces/overflow.txt
    EXPECT_EQ(record.lastTick(), 5);
    ASSERT_NE(record.failingInput(), nullptr);
    EXPECT_EQ(record.failingInput()->text, "40000");
    EXPECT_EQ(writeScript(record), "tick 5\npick 40000\n"); // never activated, as it was read
    // A game that ends: nothing after its last tick.
    const Record over = playScript(parseScript("activate\ntick 9999\npick 200\n"));
    EXPECT_EQ(over.lastTick(), 265);
    EXPECT_TRUE(over.at(265).gameOver);
    EXPECT_TRUE(over.inputs().empty());
}

} // namespace
} // namespace velmora::ui
