// SPDX-License-Identifier: MIT
// What the lab explains: the comparison of two states on every kind of turn, in Italian as
// it is written, the log from Form_Load on, and the log followed a step at a time.
#include "explain.h"
#include "lab_support.h"
#include "record.h"
#include "script.h"

#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace velmora::ui {
namespace {

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

std::string texts(const Log& log) {
    std::string all;
    for (const Entry& entry : log.entries()) {
        all += text(entry);
    }
    return all;
}

// The first article, or article and preposition in one, that a vowel follows unelided ("il
// ottavo", "della altezza"), or an "l'" before a consonant; empty when there is none.
std::string articleSlip(const std::string& text) {
    static const std::regex slip(
        R"(\b(il|lo|la|(d|n|su)(el|ello|ella)|al|allo|alla|dal|dallo|dalla) [aeiou]|\bl'[^aeiouh])",
        std::regex::icase);
    std::smatch found;
    return std::regex_search(text, found, slip) ? found.str() : std::string{};
}

TEST(Compare, SaysWhyEachKindOfTurnTurnedTheBall) {
    const Turn left = turn([](Game& g) { placeBall(g, 0, 4000, 60, -30); });
    EXPECT_EQ(left.changes, Strings{"velX: -30 → 30"});
    EXPECT_EQ(left.why, "La palla tocca la parete sinistra (shaP.Left = 0): velX diventa 30 e la "
                        "palla va verso destra.");
    const Turn right = turn([](Game& g) { placeBall(g, 9600, 4000, 60, 30); });
    EXPECT_EQ(right.changes, Strings{"velX: 30 → -30"});
    EXPECT_EQ(right.why, "La palla tocca la parete destra (shaP.Left + shaP.Width = 9855, la "
                         "larghezza del campo 9855): velX diventa -30 e la palla va verso "
                         "sinistra.");
    const Turn ceiling = turn([](Game& g) { placeBall(g, 4000, 0, -60, 0); });
    EXPECT_EQ(ceiling.changes, Strings{"velY: -60 → 60"});
    EXPECT_EQ(ceiling.why, "La palla arriva al soffitto (shaP.Top = 0): velY cambia segno, da -60 "
                           "a 60, e la palla scende.");

    // The paddle at 7080: its thirds' marks 7080, 7565, 8050, 8535; the ball's centre is
    // its Left + 127.5, its bottom 30 twips into the paddle.
    const Turn onLeft = turn([](Game& g) { placeBall(g, 7172.5, 7215, 60, 30); });
    EXPECT_EQ(onLeft.changes, (Strings{"velY: 60 → -60", "velX: 30 → -30"}));
    EXPECT_EQ(onLeft.why, "La palla cade sul terzo sinistro della racchetta: il centro della "
                          "palla, 7300, sta tra 7080 e 7565 (i confini dei terzi: 7080, 7565, "
                          "8050, 8535); velY cambia segno e velX diventa -30.");
    const Turn onMiddle = turn([](Game& g) { placeBall(g, 7672.5, 7215, 60, 0); });
    EXPECT_EQ(onMiddle.changes, Strings{"velY: 60 → -60"});
    EXPECT_NE(onMiddle.why.find("terzo centrale della racchetta: il centro della palla, 7800, "
                                "sta tra 7565 e 8050"),
              std::string::npos);
    EXPECT_NE(onMiddle.why.find("velX resta 0"), std::string::npos);
    const Turn onRight = turn([](Game& g) { placeBall(g, 8172.5, 7215, 60, -30); });
    EXPECT_NE(onRight.why.find("terzo destro della racchetta: il centro della palla, 8300, sta "
                               "tra 8050 e 8535"),
              std::string::npos);

    const Turn brick = turn([](Game& g) { placeBall(g, 700, 1500, -60, 0); });
    EXPECT_EQ(brick.changes,
              (Strings{"velY: -60 → 60", "punti: 0 → 1", "lblPunti.Caption: \"\" → \"1\"",
                       "shaX(12).Visible: True → False"}));
    EXPECT_EQ(brick.why, "La palla colpisce il mattone shaX(12), il primo della riga 2: il "
                         "mattone sparisce, velY cambia segno e punti sale a 1.");
    const Turn last = turn([](Game& g) { placeBall(g, 9000, 1200, -60, 0); });
    EXPECT_NE(last.why.find("shaX(11), il dodicesimo della riga 1"), std::string::npos);
    // A paddle at 7080.5 (its marks round to 7080 and 8535) under a ball whose centre, 8535.5,
    // is still over it but rounds to 8536.
    const Turn outside = turn([](Game& g) {
        placeBall(g, 8408, 7215, 60, 30);
        g.shaB.Left = 7080.5f;
    });
    EXPECT_EQ(outside.why, "La palla cade sulla racchetta, ma il centro della palla, 8536, sta "
                           "fuori dai terzi (i confini: 7080, 7565, 8050, 8535); velY cambia "
                           "segno e velX resta 30.");

    const Turn fall = turn([](Game& g) { placeBall(g, 1000, 8200, 60, 0); });
    EXPECT_EQ(fall.changes, Strings{"gameOver: False → True"});
    EXPECT_EQ(fall.why, "Il centro della palla, 8387.5, raggiunge il fondo del campo, 8295, "
                        "senza la racchetta sotto: la partita è finita.");

    const Turn straight = turn([](Game& g) { placeBall(g, 4000, 4000, 60, 30); });
    EXPECT_TRUE(straight.changes.empty());
    EXPECT_EQ(straight.why, "");
}

// Every brick's sentence names its place in the row with the article Italian puts before it,
// and no sentence of a whole game leaves an article unelided before a vowel.
TEST(Compare, WritesItalianArticlesAsTheyAreWritten) {
    const Game before = activated();
    const auto knockedOut = [&](Integer brick) {
        Game after = before;
        after.shaX(brick).Visible = false;
        after.punti = 1;
        return whyTurned(before, after);
    };
    for (Integer brick = 0; brick < brickCount; ++brick) {
        EXPECT_EQ(articleSlip(knockedOut(brick)), "") << knockedOut(brick);
    }
    EXPECT_NE(knockedOut(19).find("shaX(19), l'ottavo della riga 2:"), std::string::npos);
    EXPECT_NE(knockedOut(10).find("shaX(10), l'undicesimo della riga 1:"), std::string::npos);

    RecordedGame played(3);
    played.start();
    played.play(3000);
    played.letItFall();
    Explainer explainer;
    explainer.follow(played.record, played.record.lastTick());
    const std::string log = texts(explainer.log());
    EXPECT_NE(log.find("la partita è finita"), std::string::npos);
    EXPECT_EQ(articleSlip(log), "");
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
                   "  La palla cade sul terzo destro della racchetta: il centro della palla, "
                   "8408, sta tra 8050 e 8535 (i confini dei terzi: 7080, 7565, 8050, 8535); velY "
                   "cambia segno e velX diventa 30.\n"
                   "tick 83: frame_MouseDown(1, 0, 7800.5, 7700)\n"
                   "  xPresa: 0 → 7800\n");
}

// The log kept a step at a time, backwards too and across a new history, is the log built
// in one go.
TEST(Explainer, FollowingStepByStepGivesTheLogBuiltInOneGo) {
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
    record = playScript(parseScript("activate\ntick 10\n"));
    explainer.follow(record, 10);
    EXPECT_EQ(texts(explainer.log()), fresh(record, 10));
}

// The log begins where the game does: what Form_Load set, then the pyramid built. Both stay
// when the log moves back to tick 0; a script of the rules alone has the load only.
TEST(Explainer, BeginsWithWhatFormLoadSet) {
    const std::string loaded = "tick 0: Form_Load\n"
                               "  velY: 0 → 60\n"
                               "  intervallo: 0 → 1\n"
                               "  timer.Interval: 0 → 1\n"
                               "  cmbVel.List: {} → {\"20\", \"40\", \"60\", \"80\", \"100\", "
                               "\"120\", \"140\", \"160\", \"180\", \"200\"}\n"
                               "  cmbVel.Text: \"\" → \"60\"\n";
    Explainer explainer;
    const Record activated = playScript(parseScript("activate\ntick 100\n"));
    explainer.follow(activated, 100);
    EXPECT_TRUE(texts(explainer.log()).starts_with(loaded + "tick 0: Form_Activate\n"));
    explainer.follow(activated, 0);
    EXPECT_EQ(texts(explainer.log()), loaded + "tick 0: Form_Activate\n  shaX.Count: 1 → 57\n");

    const Record rulesAlone = playScript(parseScript("tick 50\n"));
    explainer.follow(rulesAlone, 50);
    EXPECT_EQ(texts(explainer.log()), loaded + "tick 1–50: Timer_Timer × 50\n");
    explainer.follow(rulesAlone, 0);
    EXPECT_EQ(texts(explainer.log()), loaded);
}

} // namespace
} // namespace velmora::ui
