// SPDX-License-Identifier: MIT
// The lab's core without a window: a recorded game restored at every tick, the script
// written and read back, the comparison of two states on every kind of turn, the log, and
// the parser's errors.
#include "explain.h"
#include "record.h"
#include "script.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace velmora::ui {
namespace {

// A float's bits (std::bit_cast, where every library has it).
std::uint32_t bits(float x) {
    std::uint32_t value;
    std::memcpy(&value, &x, sizeof value);
    return value;
}

// Every field of two games, bit for bit: the first difference, named.
::testing::AssertionResult sameGame(const Game& a, const Game& b) {
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

Game activated() {
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

void expectRestoresEveryTick(const Record& record, const std::vector<Game>& live) {
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
        const Record read = Record::fromScript(parseScript(writeScript(played.record)));
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
        Record::fromScript(parseScript("tick 5\npick 40000\ntick\n")); // tests/traces/overflow.txt
    EXPECT_EQ(record.lastTick(), 5);
    ASSERT_NE(record.failingInput(), nullptr);
    EXPECT_EQ(record.failingInput()->text, "40000");
    EXPECT_EQ(writeScript(record), "activate\ntick 5\npick 40000\n");
    // A game that ends: nothing after its last tick.
    const Record over = Record::fromScript(parseScript("activate\ntick 9999\npick 200\n"));
    EXPECT_EQ(over.lastTick(), 265);
    EXPECT_TRUE(over.at(265).gameOver);
    EXPECT_TRUE(over.inputs().empty());
}

// The tick from a game set up by `place`, explained.
struct Turn {
    Game before;
    Game after;
    std::vector<std::string> changes; // as text, the ball's move left out as a log does
    std::string why;
};
template <typename Place> Turn turn(Place place) {
    Turn turn{activated(), {}, {}, {}};
    place(turn.before);
    turn.after = turn.before;
    turn.after.Timer_Timer();
    Log log;
    log.ticked(1, turn.before, turn.after);
    if (!log.entries().empty()) {
        for (const Change& change : log.entries()[0].changes) {
            turn.changes.push_back(change.name + ": " + change.before + " → " + change.after);
        }
    }
    turn.why = whyTurned(turn.before, turn.after);
    return turn;
}
void placeBall(Game& game, float left, float top, Integer velY, Integer velX) {
    game.shaP.Left = left;
    game.shaP.Top = top;
    game.velY = velY;
    game.velX = velX;
}
using Strings = std::vector<std::string>;

TEST(Compare, SaysWhyEachKindOfTurnTurnedTheBall) {
    const Turn left = turn([](Game& g) { placeBall(g, 0, 4000, 60, -30); });
    EXPECT_EQ(left.changes, Strings{"velX: -30 → 30"});
    EXPECT_EQ(left.why, "La palla tocca la parete sinistra (shaP.Left 0): velX diventa 30, verso "
                        "destra.");
    const Turn right = turn([](Game& g) { placeBall(g, 9600, 4000, 60, 30); });
    EXPECT_EQ(right.changes, Strings{"velX: 30 → -30"});
    EXPECT_NE(right.why.find("parete destra (shaP.Left + shaP.Width 9855, il campo 9855)"),
              std::string::npos);
    const Turn ceiling = turn([](Game& g) { placeBall(g, 4000, 0, -60, 0); });
    EXPECT_EQ(ceiling.changes, Strings{"velY: -60 → 60"});
    EXPECT_NE(ceiling.why.find("soffitto"), std::string::npos);

    // The paddle at 7080: its thirds' marks 7080, 7565, 8050, 8535; the ball's centre is
    // its Left + 127.5, its bottom 30 twips into the paddle.
    const Turn onLeft = turn([](Game& g) { placeBall(g, 7172.5, 7215, 60, 30); });
    EXPECT_EQ(onLeft.changes, (Strings{"velY: 60 → -60", "velX: 30 → -30"}));
    EXPECT_EQ(onLeft.why, "La palla cade sul terzo sinistro della racchetta: il suo centro, 7300, "
                          "sta tra 7080 e 7565 (i segni dei terzi: 7080, 7565, 8050, 8535); velY "
                          "cambia segno e velX diventa -30.");
    const Turn onMiddle = turn([](Game& g) { placeBall(g, 7672.5, 7215, 60, 0); });
    EXPECT_EQ(onMiddle.changes, Strings{"velY: 60 → -60"});
    EXPECT_NE(onMiddle.why.find("terzo centrale della racchetta: il suo centro, 7800, sta tra "
                                "7565 e 8050"),
              std::string::npos);
    EXPECT_NE(onMiddle.why.find("velX resta 0"), std::string::npos);
    const Turn onRight = turn([](Game& g) { placeBall(g, 8172.5, 7215, 60, -30); });
    EXPECT_NE(onRight.why.find("terzo destro della racchetta: il suo centro, 8300, sta tra 8050 "
                               "e 8535"),
              std::string::npos);

    const Turn brick = turn([](Game& g) { placeBall(g, 700, 1500, -60, 0); });
    EXPECT_EQ(brick.changes,
              (Strings{"velY: -60 → 60", "punti: 0 → 1", "lblPunti.Caption: \"\" → \"1\"",
                       "shaX(12).Visible: True → False"}));
    EXPECT_EQ(brick.why, "La palla colpisce il mattone shaX(12), il primo della riga 2: il "
                         "mattone sparisce, velY cambia segno e punti sale a 1.");
    const Turn last = turn([](Game& g) { placeBall(g, 9000, 1200, -60, 0); });
    EXPECT_NE(last.why.find("shaX(11), il dodicesimo della riga 1"), std::string::npos);

    const Turn fall = turn([](Game& g) { placeBall(g, 1000, 8200, 60, 0); });
    EXPECT_EQ(fall.changes, Strings{"gameOver: False → True"});
    EXPECT_NE(fall.why.find("la partita è finita"), std::string::npos);

    const Turn straight = turn([](Game& g) { placeBall(g, 4000, 4000, 60, 30); });
    EXPECT_TRUE(straight.changes.empty());
    EXPECT_EQ(straight.why, "");
}

TEST(Log, CollapsesTicksThatOnlyMoveTheBallAndSkipsInputsThatChangeNothing) {
    Log log;
    Game loaded;
    loaded.Form_Load();
    Game game = activated();
    log.activated(loaded, game);
    Game before;
    for (std::int64_t t = 1; t <= 83; ++t) {
        before = game;
        game.Timer_Timer();
        log.ticked(t, before, game);
    }
    const Input hover = Input::mouse(Input::Kind::Move, 0, 100, 100);
    before = game;
    apply(game, hover);
    log.took(83, hover, before, game);
    const Input press = Input::mouse(Input::Kind::Down, 1, 7800.5f, 7700);
    before = game;
    apply(game, press);
    log.took(83, press, before, game);
    std::string all;
    for (const Entry& entry : log.entries()) {
        all += text(entry);
    }
    EXPECT_EQ(all, "tick 0: Form_Activate\n"
                   "  shaX.Count: 1 → 57\n"
                   "tick 1–82: Timer_Timer × 82\n"
                   "tick 83: Timer_Timer\n"
                   "  velY: 60 → -60\n"
                   "  velX: 0 → 30\n"
                   "  La palla cade sul terzo destro della racchetta: il suo centro, 8408, sta "
                   "tra 8050 e 8535 (i segni dei terzi: 7080, 7565, 8050, 8535); velY cambia "
                   "segno e velX diventa 30.\n"
                   "tick 83: frame_MouseDown(1, 0, 7800.5, 7700)\n"
                   "  xPresa: 0 → 7800\n");
}

// The log kept a step at a time, backwards too and across a new history, is the log built
// in one go.
TEST(Explainer, FollowingStepByStepGivesTheLogBuiltInOneGo) {
    const auto texts = [](const Log& log) {
        std::string all;
        for (const Entry& entry : log.entries()) {
            all += text(entry);
        }
        return all;
    };
    const auto fresh = [&](const Record& record, std::int64_t tick) {
        Explainer explainer;
        explainer.follow(record, tick);
        return texts(explainer.log());
    };
    RecordedGame played(5);
    played.start();
    played.play(1200);
    Record& record = played.record;
    Explainer explainer;
    std::mt19937 random(11);
    for (int n = 0; n < 40; ++n) {
        const auto tick = std::uniform_int_distribution<std::int64_t>(0, record.lastTick())(random);
        explainer.follow(record, n % 3 == 0 ? tick : std::min(tick, 5 + tick % 7));
        explainer.follow(record, tick);
        ASSERT_EQ(texts(explainer.log()), fresh(record, tick)) << "tick " << tick;
    }
    // A drag at a past tick: a new history from there.
    const std::int64_t past = 300;
    explainer.follow(record, 700);
    Game game = record.at(past);
    record.take(past, Input::mouse(Input::Kind::Down, 1, game.shaB.Left + 10, 7700), game);
    ASSERT_TRUE(
        record.take(past, Input::mouse(Input::Kind::Move, 1, game.shaB.Left + 500, 7700), game));
    for (int t = 0; t < 50; ++t) {
        game.Timer_Timer();
        record.ticked(game);
    }
    explainer.follow(record, record.lastTick());
    EXPECT_EQ(texts(explainer.log()), fresh(record, record.lastTick()));
    EXPECT_NE(texts(explainer.log()).find("frame_MouseMove"), std::string::npos);
    // Another game in the same record: the log is that game's.
    record = Record::fromScript(parseScript("activate\ntick 10\n"));
    explainer.follow(record, 10);
    EXPECT_EQ(texts(explainer.log()), fresh(record, 10));
}

TEST(Script, RefusesABadLineWithItsNumberAndReason) {
    struct Bad {
        const char* line;
        ScriptError::Kind kind;
        const char* reason;
    };
    const Bad bad[] = {
        {"tick 0", ScriptError::Kind::TickCountBelowOne, "tick count must be at least 1"},
        {"tick -3", ScriptError::Kind::TickCountBelowOne, "tick count must be at least 1"},
        {"tick 1x", ScriptError::Kind::NotAWholeNumber, "'1x' is not a whole number"},
        {"tick 99999999999999999999", ScriptError::Kind::NotAWholeNumber,
         "'99999999999999999999' is not a whole number"},
        {"tick 5 6", ScriptError::Kind::ExtraWords, "extra words after 'tick'"},
        {"activate now", ScriptError::Kind::ExtraWords, "extra words after 'activate'"},
        {"down 1 7100", ScriptError::Kind::MissingWords, "missing words after 'down'"},
        {"up 1 7100 7700 0", ScriptError::Kind::ExtraWords, "extra words after 'up'"},
        {"down 40000 1 1", ScriptError::Kind::ButtonOutOfRange,
         "button value 40000 is out of range"},
        {"move 1.5 7800 7700", ScriptError::Kind::NotAWholeNumber, "'1.5' is not a whole number"},
        {"move 1 0x1D4C 7700", ScriptError::Kind::NotADecimalNumber,
         "'0x1D4C' is not a decimal number"},
        {"move 1 7800 inf", ScriptError::Kind::NotADecimalNumber, "'inf' is not a decimal number"},
        {"move 1 1e39 7700", ScriptError::Kind::NotADecimalNumber,
         "'1e39' is not a decimal number"},
        {"pick", ScriptError::Kind::MissingWords, "missing words after 'pick'"},
        {"dump all", ScriptError::Kind::ExtraWords, "extra words after 'dump'"},
        {"jump 3", ScriptError::Kind::UnknownCommand, "unknown command 'jump'"},
    };
    for (const Bad& line : bad) {
        try {
            parseLine(line.line);
            ADD_FAILURE() << line.line << " was read";
        } catch (const ScriptError& error) {
            EXPECT_EQ(error.kind, line.kind) << line.line;
            EXPECT_EQ(error.reason(), line.reason) << line.line;
        }
    }
    // A whole script: the first bad line, counted with the comments and blank lines.
    try {
        parseScript("activate\r\n# comment\n\n  tick 2\r\nmove 1 7800 7700 x\nbad\n");
        ADD_FAILURE() << "the script was read";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.line, 5);
        EXPECT_EQ(error.reasonInItalian(), "parole di troppo dopo 'move'");
    }
    const Script script = parseScript("activate\r\npick 200  \r\n\tdown 1 +7800 77e2");
    ASSERT_EQ(script.size(), 3u);
    EXPECT_EQ(script[1].command.input.text, "200  "); // the rest of the line, blanks kept
    EXPECT_EQ(script[2].line, 3);
    EXPECT_EQ(commandLine(script[2].command), "down 1 7800 7700");

    // Read as a game, played as the window plays it: its activation first, and no longer
    // than the longest game.
    const auto gameError = [](const char* text) {
        try {
            Record::fromScript(parseScript(text), 1000);
        } catch (const ScriptError& error) {
            return error.reason() + " at " + std::to_string(error.line);
        }
        return std::string("read");
    };
    EXPECT_EQ(Record::fromScript(parseScript("tick 5\nactivate\ntick 5\n")).at(10).shaX.Count(),
              57);
    EXPECT_EQ(Record::fromScript(parseScript("")).lastTick(), 0);
    // Picked 0, the ball stands still for ever: the game would never end.
    EXPECT_EQ(gameError("activate\npick 0\ntick 999\ntick 2\n"),
              "a game has at most 1000 ticks at 4");
    EXPECT_EQ(gameError("activate\ntick 999999999999\n"), "read"); // it ends at tick 265
}

TEST(Script, PositionsAreWrittenSoTheyReadBackAsTheSameFloats) {
    std::mt19937 random(3);
    for (int n = 0; n < 2000; ++n) {
        const std::uint32_t pattern =
            std::uniform_int_distribution<std::uint32_t>(0, 0x4b800000)(random); // 0 .. 2^24
        float x;
        std::memcpy(&x, &pattern, sizeof x);
        const float y = -std::nextafter(x, 0.0f);
        Command command{Command::Kind::Input, 1, Input::mouse(Input::Kind::Move, 1, x, y)};
        const std::optional<Command> read = parseLine(commandLine(command));
        ASSERT_TRUE(read);
        ASSERT_EQ(bits(read->input.x), bits(x));
        ASSERT_EQ(bits(read->input.y), bits(y));
    }
}

// The state line's and the script's numbers are the C library's %.9g, written without it:
// the same text for the values of a game and for the floats at the ends of the range.
TEST(Script, NumbersAreWrittenAsPrintfWritesNineDigits) {
    const auto printfText = [](float x) {
        if (std::isnan(x)) { // as glibc and musl write it; Windows' C library drops the sign
            return std::string(std::signbit(x) ? "-nan" : "nan");
        }
        char text[32];
        std::snprintf(text, sizeof text, "%.9g", static_cast<double>(x));
        return std::string(text);
    };
    const float edges[] = {0.0f,
                           -0.0f,
                           1.0f,
                           -1.0f,
                           0.5f,
                           8280.0f,
                           7812.5f,
                           7080.33301f,
                           1.0f / 3,
                           1e-4f,
                           9.9999997e-5f,
                           1e-5f,
                           123456792.0f,
                           999999936.0f,
                           1e9f,
                           1.5e10f,
                           16777215.0f,
                           33554430.0f,
                           0.000123456791f,
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::denorm_min(),
                           std::nextafter(std::numeric_limits<float>::min(), 0.0f),
                           std::numeric_limits<float>::infinity(),
                           -std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN(),
                           -std::numeric_limits<float>::quiet_NaN()};
    for (const float x : edges) {
        EXPECT_EQ(twipsText(x), printfText(x)) << "bits " << bits(x);
    }
    // Any float, by its bits; and the halves, quarters and tenths a game's positions take.
    std::mt19937 random(5);
    for (int n = 0; n < 100000; ++n) {
        const std::uint32_t pattern = std::uniform_int_distribution<std::uint32_t>()(random);
        float x;
        std::memcpy(&x, &pattern, sizeof x);
        const float position = static_cast<float>(n - 50000) / 40;
        ASSERT_EQ(twipsText(x), printfText(x)) << "bits " << pattern;
        ASSERT_EQ(twipsText(position), printfText(position));
    }
}

} // namespace
} // namespace velmora::ui
