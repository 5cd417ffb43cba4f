// SPDX-License-Identifier: MIT
// "Codice"'s reading of a step: what decided it, how each condition came out, the locals, and
// the step a log entry tells. The lines themselves are checked against velmora-sim --lines by
// the browser's test.
#include "codeview.h"
#include "script.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::ui {
namespace {

std::string_view textOf(SourceLine at) {
    return code::sources()[at.file].lines[at.line - 1U];
}

std::string decidingText(const CodeStep& code) {
    return code.decides ? std::string(textOf(*code.decides)) : "(none)";
}

// A game left alone turns at the paddle's right third on tick 83, at the right wall on 127,
// knocks out shaX(41) on 166 and falls on 265.
class CodeViewTest : public ::testing::Test {
  protected:
    const Record record = playScript(parseScript("activate\ntick 265\n"));
};

TEST_F(CodeViewTest, MarksTheConditionThatDecidedEachTurn) {
    const CodeStep bounce = codeOf(record, Shown::ofTick(83));
    EXPECT_EQ(bounce.call, "Timer_Timer");
    EXPECT_EQ(bounce.handler, "MuoviPalla");
    EXPECT_NE(decidingText(bounce).find("within(ballCentre, x2, x3)"), std::string::npos)
        << decidingText(bounce);
    EXPECT_NE(decidingText(codeOf(record, Shown::ofTick(127))).find("frame.Width"),
              std::string::npos);
    EXPECT_NE(decidingText(codeOf(record, Shown::ofTick(265))).find("frame.Height"),
              std::string::npos);
    // A tick that only moves the ball decides at MuoviPalla's brick test, not at the brick
    // loop's skip, which held on every pass.
    EXPECT_NE(decidingText(codeOf(record, Shown::ofTick(100))).find("shaP.Top > 0"),
              std::string::npos);
    // Nothing of the replays is left counted for whoever reads the lines next.
    EXPECT_TRUE(code::linesRun().empty());
}

TEST_F(CodeViewTest, TheBrickTellsEachTestOfTheLoopAndTheLocalsThatDecided) {
    const CodeStep brick = codeOf(record, Shown::ofTick(166));
    EXPECT_NE(decidingText(brick).find("within(xs, bs, bd)"), std::string::npos)
        << decidingText(brick);
    EXPECT_NE(std::find(brick.called.begin(), brick.called.end(), "ControllaBlocchi"),
              brick.called.end());
    // The loop tested bricks 0 to 41 and stopped at 41: its skip was tested 42 times, and
    // held on all but the bricks at the ball's height.
    const auto skip = std::find_if(brick.tests.begin(), brick.tests.end(), [](const auto& test) {
        return textOf(test.at).find("continue") != std::string_view::npos ||
               textOf(test.at).find("!brick.Visible") != std::string_view::npos;
    });
    ASSERT_NE(skip, brick.tests.end());
    EXPECT_EQ(skip->whenTrue + skip->whenFalse, 42U);
    EXPECT_GT(skip->whenTrue, 0U);
    EXPECT_GT(skip->whenFalse, 0U);
    const auto hit = std::find_if(brick.tests.begin(), brick.tests.end(),
                                  [&](const auto& test) { return test.at == *brick.decides; });
    ASSERT_NE(hit, brick.tests.end());
    EXPECT_EQ(hit->whenTrue, 1U);
    EXPECT_EQ(hit->whenFalse, skip->whenFalse - 1);

    std::vector<std::string> locals;
    for (const CodeStep::Local& local : brick.locals) {
        locals.push_back(local.text);
    }
    EXPECT_NE(std::find(locals.begin(), locals.end(), "i = 41"), locals.end());
    const Shape& hitBrick = record.at(165).shaX(41);
    EXPECT_NE(
        std::find(locals.begin(), locals.end(), "bs = " + std::to_string(CInt(hitBrick.Left))),
        locals.end());
    // At the paddle, the ball's centre and the thirds' marks of the log's sentence.
    std::vector<std::string> atPaddle;
    for (const CodeStep::Local& local : codeOf(record, Shown::ofTick(83)).locals) {
        atPaddle.push_back(local.text);
    }
    EXPECT_NE(std::find(atPaddle.begin(), atPaddle.end(), "ballCentre = 8408"), atPaddle.end());
    EXPECT_NE(
        std::find(atPaddle.begin(), atPaddle.end(), "x0 = 7080, x1 = 7565, x2 = 8050, x3 = 8535"),
        atPaddle.end());
}

TEST(CodeViewEntries, ALogEntryShowsItsStepAndARunOfTicksItsLast) {
    const Record record = playScript(parseScript("activate\ntick 40\npick 120\ntick 2\n"));
    Explainer explainer;
    explainer.follow(record, record.lastTick());
    const std::vector<Entry>& log = explainer.log().entries();
    // Form_Load, Form_Activate, "tick 1–40: Timer_Timer × 40", "tick 40: cmbVel_Click", ...
    ASSERT_GE(log.size(), 4U);
    EXPECT_EQ(stepOf(record, log, 0), (Shown{Shown::Kind::Load, 0, 0}));
    EXPECT_EQ(stepOf(record, log, 1), (Shown{Shown::Kind::Activate, 0, 0}));
    ASSERT_EQ(log[2].times, 40);
    EXPECT_EQ(stepOf(record, log, 2), Shown::ofTick(40));
    EXPECT_EQ(entryOf(record, log, Shown::ofTick(40)), 2U);
    const CodeStep last = codeOf(record, Shown::ofTick(40));
    const code::Function* muovi = nullptr;
    for (const code::Function& function : code::functions()) {
        muovi = function.name == "MuoviPalla" ? &function : muovi;
    }
    ASSERT_NE(muovi, nullptr);
    const auto opened = std::find_if(last.lines.begin(), last.lines.end(), [&](const auto& run) {
        return run.file == muovi->file && run.line == muovi->first;
    });
    ASSERT_NE(opened, last.lines.end());
    EXPECT_EQ(opened->count, 1U); // one tick's lines, not forty's

    ASSERT_EQ(log[3].call, "cmbVel_Click");
    const std::optional<Shown> pick = stepOf(record, log, 3);
    EXPECT_EQ(pick, (Shown{Shown::Kind::Input, 40, 0}));
    const CodeStep picked = codeOf(record, *pick);
    EXPECT_EQ(picked.handler, "cmbVel_Click");
    EXPECT_EQ(entryOf(record, log, *pick), 3U);
}

} // namespace
} // namespace velmora::ui
