// SPDX-License-Identifier: MIT
#include "codeview.h"

#include "explain.h"
#include "numbertext.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <span>
#include <tuple>

namespace velmora::ui {

Shown Shown::at(const Record& record, std::int64_t shownTick) {
    if (shownTick > 0) {
        return ofTick(shownTick);
    }
    return {record.activated() ? Kind::Activate : Kind::Load, 0, 0};
}

namespace {

std::uint32_t countOf(const std::vector<code::LineRun>& lines, std::uint8_t file,
                      std::uint16_t line) {
    const auto found = std::lower_bound(lines.begin(), lines.end(), std::tuple(file, line),
                                        [](const code::LineRun& run, const auto& place) {
                                            return std::tuple(run.file, run.line) < place;
                                        });
    return found != lines.end() && found->file == file && found->line == line ? found->count : 0;
}

const code::Function* functionNamed(std::string_view name) {
    for (const code::Function& function : code::functions()) {
        if (function.name == name) {
            return &function;
        }
    }
    return nullptr;
}

bool insideOf(const code::Function& function, std::uint8_t file, std::uint16_t line) {
    return function.file == file && function.first <= line && line <= function.last;
}

// The first line of `function` that names `local` as a word of its own: the one that
// declares it, in this code.
std::optional<SourceLine> declared(std::string_view function, std::string_view local) {
    const code::Function* found = functionNamed(function);
    if (found == nullptr) {
        return std::nullopt;
    }
    const auto word = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
    };
    const std::span<const std::string_view> lines = code::sources()[found->file].lines;
    for (std::uint16_t line = found->first; line <= found->last && line <= lines.size(); ++line) {
        const std::string_view text = lines[line - 1];
        for (std::size_t at = text.find(local); at != std::string_view::npos;
             at = text.find(local, at + 1)) {
            const std::size_t end = at + local.size();
            if ((at == 0 || !word(text[at - 1])) && (end == text.size() || !word(text[end]))) {
                return SourceLine{found->file, line};
            }
        }
    }
    return std::nullopt;
}

// The game just before `step`, as the record played it.
Game gameBefore(const Record& record, const Shown& step) {
    Game game;
    if (step.kind == Shown::Kind::Activate) {
        game.Form_Load();
    } else if (step.kind == Shown::Kind::Tick) {
        game = record.at(step.tick - 1);
    } else if (step.kind == Shown::Kind::Input) {
        const std::int64_t tick = record.inputs()[step.input].tick;
        game = tick == 0 ? record.atStart() : record.at(tick - 1);
        if (tick > 0) {
            play(game, Step::tick());
        }
        const std::span<const TimedInput> inputs = record.inputsAt(tick);
        const std::size_t first = static_cast<std::size_t>(inputs.data() - record.inputs().data());
        for (std::size_t i = first; i < step.input; ++i) {
            play(game, Step::of(record.inputs()[i].input));
        }
    }
    return game;
}

// The values MuoviPalla and ControllaBlocchi decided on, measured on the game before the
// tick with the rules' own functions, each beside the line that declares it, where it ran.
void noteLocals(CodeStep& code, const Game& before, const Game& after) {
    const auto note = [&](std::string_view function, std::string_view local, std::string text) {
        const std::optional<SourceLine> at = declared(function, local);
        if (at && countOf(code.lines, at->file, at->line) > 0) {
            code.locals.push_back({*at, std::move(text)});
        }
    };
    const auto number = [](Integer value) { return std::to_string(value); };
    const Shape& ball = before.shaP;
    note("MuoviPalla", "ballCentre", "ballCentre = " + number(CInt(middle(ball.Left, ball.Width))));
    const std::array<Integer, 4> marks = paddleThirds(before.shaB);
    note("MuoviPalla", "x0",
         "x0 = " + number(marks[0]) + ", x1 = " + number(marks[1]) + ", x2 = " + number(marks[2]) +
             ", x3 = " + number(marks[3]));
    note("levelWithPaddle", "ballBottom",
         "ballBottom = " + twipsText(ToSingle(farEdge(ball.Top, ball.Height))));
    note("ControllaBlocchi", "xs", "xs = " + number(CInt(ball.Left)));
    note("ControllaBlocchi", "xd", "xd = " + number(CInt(farEdge(ball.Left, ball.Width))));
    const Integer bricks = std::min(before.shaX.Count(), after.shaX.Count());
    for (Integer i = 0; i < bricks; ++i) {
        if (before.shaX(i).Visible && !after.shaX(i).Visible) { // the brick the tick hit
            const Shape& brick = before.shaX(i);
            note("ControllaBlocchi", "i", "i = " + number(i));
            note("ControllaBlocchi", "bs", "bs = " + number(CInt(brick.Left)));
            note("ControllaBlocchi", "bd",
                 "bd = " + number(CInt(farEdge(brick.Left, brick.Width))));
            break;
        }
    }
}

} // namespace

CodeStep codeOf(const Record& record, const Shown& step) {
    CodeStep code;
    Game game = gameBefore(record, step);
    const Game before = game;
    // Counted from here to the read just after: this step's lines and no one else's; and
    // forgotten at the end, so that none is left for whoever reads the lines next.
    code::forget();
    switch (step.kind) {
    case Shown::Kind::Load:
        game.Form_Load();
        code.call = code.handler = "Form_Load";
        break;
    case Shown::Kind::Activate:
        play(game, Step::activation());
        code.call = code.handler = "Form_Activate";
        break;
    case Shown::Kind::Tick:
        play(game, Step::tick());
        code.call = "Timer_Timer";
        code.handler = "MuoviPalla"; // Timer_Timer, in game.h, only calls it
        break;
    case Shown::Kind::Input: {
        const Input& input = record.inputs()[step.input].input;
        play(game, Step::of(input));
        code.call = callOf(input);
        code.handler = handlerOf(input);
        break;
    }
    }
    code.lines = code::linesRun();

    const code::Function* handler = functionNamed(code.handler);
    // The condition that chose the step's course: of those true exactly once (a test in a
    // loop that held on several passes chose nothing), the innermost: one in a function the
    // handler called before one of the handler's own, and the last of its function.
    std::tuple<bool, std::uint8_t, std::uint16_t> deepest{};
    for (const code::Condition& condition : code::conditions()) {
        const std::uint32_t tested = countOf(code.lines, condition.file, condition.line);
        if (tested == 0) {
            continue;
        }
        const std::uint32_t held = countOf(code.lines, condition.file, condition.whenTrue);
        code.tests.push_back({{condition.file, condition.line}, held, tested - held});
        const bool called =
            handler == nullptr || !insideOf(*handler, condition.file, condition.line);
        const std::tuple place{called, condition.file, condition.line};
        if (held == 1 && (!code.decides || place > deepest)) {
            code.decides = SourceLine{condition.file, condition.line};
            deepest = place;
        }
    }
    for (const code::Function& function : code::functions()) {
        if (&function == handler) {
            continue;
        }
        const bool ran = std::any_of(code.lines.begin(), code.lines.end(), [&](const auto& run) {
            return insideOf(function, run.file, run.line);
        });
        if (ran) {
            code.called.push_back(function.name);
        }
    }
    if (step.kind == Shown::Kind::Tick) {
        noteLocals(code, before, game);
    }
    code::forget(); // the lines of the step, and of paddleThirds measuring its locals
    return code;
}

namespace {
bool isInput(const Entry& entry) {
    return entry.call != "Timer_Timer" && !entry.call.starts_with("Form_") &&
           !entry.call.starts_with("Nota: ");
}
} // namespace

// Every input of the record changed the game, so each has its entry, in the record's order.
std::optional<Shown> stepOf(const Record& record, const std::vector<Entry>& log,
                            std::size_t entry) {
    const Entry& told = log[entry];
    if (told.call == "Form_Load" || told.call == "Form_Activate") {
        return Shown{told.call == "Form_Load" ? Shown::Kind::Load : Shown::Kind::Activate, 0, 0};
    }
    if (told.call == "Timer_Timer") {
        return Shown::ofTick(told.tick);
    }
    if (!isInput(told)) {
        return std::nullopt;
    }
    std::size_t before = 0; // the tick's inputs told before this one
    for (std::size_t i = entry; i-- > 0 && log[i].tick == told.tick;) {
        before += isInput(log[i]) ? 1U : 0U;
    }
    const std::span<const TimedInput> inputs = record.inputsAt(told.tick);
    if (before >= inputs.size()) {
        return std::nullopt;
    }
    return Shown{Shown::Kind::Input, told.tick,
                 static_cast<std::size_t>(inputs.data() - record.inputs().data()) + before};
}

std::optional<std::size_t> entryOf(const Record& record, const std::vector<Entry>& log,
                                   const Shown& step) {
    for (std::size_t i = log.size(); i-- > 0 && log[i].tick >= step.tick;) {
        if (stepOf(record, log, i) == step) {
            return i;
        }
    }
    return std::nullopt;
}

} // namespace velmora::ui
