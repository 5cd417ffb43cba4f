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

// A game left alone knocks out shaX(41) on tick 166. The browser's test checks the turns'
// deciding lines and the locals at the paddle; this, what it cannot see.
TEST(CodeView, TheBrickLoopsTestsAreCountedAndNothingIsLeftCounted) {
    const Record record = playScript(parseScript("activate\ntick 166\n"));
    const CodeStep brick = codeOf(record, Shown::ofTick(166));
    // Nothing of the replay, nor of measuring the locals, is left for the next reader.
    EXPECT_TRUE(code::linesRun().empty());
    ASSERT_TRUE(brick.decides);
    EXPECT_NE(textOf(*brick.decides).find("within(xs, bs, bd)"), std::string::npos);
    // The loop tested bricks 0 to 41 and stopped at 41: its skip was tested 42 times, and
    // held on all but the bricks at the ball's height, each of which the brick test tried.
    const auto skip = std::find_if(brick.tests.begin(), brick.tests.end(), [](const auto& test) {
        return textOf(test.at).find("!brick.Visible") != std::string_view::npos;
    });
    const auto hit = std::find_if(brick.tests.begin(), brick.tests.end(),
                                  [&](const auto& test) { return test.at == *brick.decides; });
    ASSERT_NE(skip, brick.tests.end());
    ASSERT_NE(hit, brick.tests.end());
    EXPECT_EQ(skip->whenTrue + skip->whenFalse, 42U);
    EXPECT_GT(skip->whenTrue, 0U);
    EXPECT_EQ(hit->whenTrue, 1U);
    EXPECT_EQ(hit->whenTrue + hit->whenFalse, skip->whenFalse);
    const std::string bs = "bs = " + std::to_string(CInt(record.at(165).shaX(41).Left));
    EXPECT_TRUE(std::any_of(brick.locals.begin(), brick.locals.end(),
                            [&](const auto& local) { return local.text == bs; }));
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
