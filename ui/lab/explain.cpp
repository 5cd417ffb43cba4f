// SPDX-License-Identifier: MIT
#include "explain.h"

#include "numbertext.h"
#include "record.h"
#include "script.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace velmora::ui {

namespace {

// A brick's place in its row, with its article: "l'" before a vowel.
constexpr std::array<const char*, 12> ordinals{
    "il primo",   "il secondo", "il terzo", "il quarto", "il quinto",    "il sesto",
    "il settimo", "l'ottavo",   "il nono",  "il decimo", "l'undicesimo", "il dodicesimo"};

std::string number(Integer value) {
    return std::to_string(value);
}
std::string truth(bool value) {
    return value ? "True" : "False";
}
// The pieces of a text, joined in one go: in the browser's build a chain of sums costs
// several times the code.
std::string joined(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces) {
        text += piece;
    }
    return text;
}

std::string quoted(const std::string& text) {
    return joined({"\"", text, "\""});
}
std::string listed(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        text += joined({text.empty() ? "" : ", ", quoted(item)});
    }
    return joined({"{", text, "}"});
}

template <typename Value, typename Show>
void note(std::vector<Change>& changes, std::string name, const Value& before, const Value& after,
          Show show) {
    if (!(before == after)) {
        changes.push_back({std::move(name), show(before), show(after)});
    }
}

std::string brickSentence(const Game& after, Integer brick) {
    const std::size_t row = rowOf(brick);
    const auto place = static_cast<std::size_t>(brick - rowFirst[row]);
    return joined({"La palla colpisce il mattone shaX(", number(brick), "), ", ordinals[place],
                   " della riga ", std::to_string(row + 1),
                   ": il mattone sparisce, velY cambia segno e punti sale a ", number(after.punti),
                   "."});
}

// The paddle's thirds as the rules measure them; the ball's centre is rounded too.
std::string paddleSentence(const Game& before, const Game& after) {
    const Integer centre = CInt(middle(before.shaP.Left, before.shaP.Width));
    const std::array<Integer, 4> marks = paddleThirds(before.shaB);
    const char* thirds[] = {"sinistro", "centrale", "destro"};
    const std::string marksText = joined(
        {number(marks[0]), ", ", number(marks[1]), ", ", number(marks[2]), ", ", number(marks[3])});
    const std::string velX =
        joined({before.velX == after.velX ? "velX resta " : "velX diventa ", number(after.velX)});
    for (std::size_t i = 0; i < 3; ++i) {
        if (marks[i] <= centre && centre <= marks[i + 1]) {
            return joined(
                {"La palla cade sul terzo ", thirds[i], " della racchetta: il centro della palla, ",
                 number(centre), ", sta tra ", number(marks[i]), " e ", number(marks[i + 1]),
                 " (i confini dei terzi: ", marksText, "); velY cambia segno e ", velX, "."});
        }
    }
    return joined({"La palla cade sulla racchetta, ma il centro della palla, ", number(centre),
                   ", sta fuori dai terzi (i confini: ", marksText, "); velY cambia segno e ", velX,
                   "."});
}

} // namespace

std::vector<Change> compare(const Game& before, const Game& after) {
    std::vector<Change> changes;
    const auto twips = [](float value) { return twipsText(value); };
    note(changes, "velY", before.velY, after.velY, number);
    note(changes, "velX", before.velX, after.velX, number);
    note(changes, "intervallo", before.intervallo, after.intervallo, number);
    note(changes, "timer.Interval", before.timer.Interval, after.timer.Interval,
         [](int milliseconds) { return std::to_string(milliseconds); });
    note(changes, "xPresa", before.xPresa, after.xPresa, number);
    note(changes, "punti", before.punti, after.punti, number);
    note(changes, "lblPunti.Caption", before.lblPunti.Caption, after.lblPunti.Caption, quoted);
    note(changes, "cmbVel.List", before.cmbVel.List, after.cmbVel.List, listed);
    note(changes, "cmbVel.Text", before.cmbVel.Text, after.cmbVel.Text, quoted);
    note(changes, "shaP.Left", before.shaP.Left, after.shaP.Left, twips);
    note(changes, "shaP.Top", before.shaP.Top, after.shaP.Top, twips);
    note(changes, "shaB.Left", before.shaB.Left, after.shaB.Left, twips);
    note(changes, "shaB.Top", before.shaB.Top, after.shaB.Top, twips); // only an assignment
    const Integer both = std::min(before.shaX.Count(), after.shaX.Count());
    for (Integer i = 0; i < both; ++i) {
        if (before.shaX(i).Visible != after.shaX(i).Visible) { // named only when it changed
            note(changes, joined({"shaX(", number(i), ").Visible"}), before.shaX(i).Visible,
                 after.shaX(i).Visible, truth);
        }
    }
    note(changes, "shaX.Count", before.shaX.Count(), after.shaX.Count(), number);
    note(changes, "gameOver", before.gameOver, after.gameOver, truth);
    return changes;
}

std::string whyTurned(const Game& before, const Game& after) {
    if (after.gameOver && !before.gameOver) { // the centre the rules test, not rounded
        return joined({"Il centro della palla, ",
                       twipsText(ToSingle(middle(before.shaP.Top, before.shaP.Height))),
                       ", raggiunge il fondo del campo, ", twipsText(before.frame.Height),
                       ", senza la racchetta sotto: la partita è finita."});
    }
    const Integer bricks = std::min(before.shaX.Count(), after.shaX.Count());
    for (Integer i = 0; i < bricks; ++i) {
        if (before.shaX(i).Visible && !after.shaX(i).Visible) {
            return brickSentence(after, i);
        }
    }
    if (before.velY != after.velY) {
        if (levelWithPaddle(before.shaP, before.shaB)) {
            return paddleSentence(before, after);
        }
        if (before.shaP.Top <= 0) {
            return joined({"La palla arriva al soffitto (shaP.Top = ", twipsText(before.shaP.Top),
                           "): velY cambia segno, da ", number(before.velY), " a ",
                           number(after.velY), ", e la palla scende."});
        }
    } else if (before.velX != after.velX) {
        if (before.shaP.Left <= 0) {
            return joined(
                {"La palla tocca la parete sinistra (shaP.Left = ", twipsText(before.shaP.Left),
                 "): velX diventa ", number(after.velX), " e la palla va verso destra."});
        }
        return joined({"La palla tocca la parete destra (shaP.Left + shaP.Width = ",
                       twipsText(ToSingle(farEdge(before.shaP.Left, before.shaP.Width))),
                       ", la larghezza del campo ", twipsText(before.frame.Width),
                       "): velX diventa ", number(after.velX), " e la palla va verso sinistra."});
    }
    return {};
}

std::string_view handlerOf(const Input& input) {
    switch (input.kind) {
    case Input::Kind::Down:
        return "frame_MouseDown";
    case Input::Kind::Move:
        return "frame_MouseMove";
    case Input::Kind::Up:
        return "frame_MouseUp";
    case Input::Kind::Pick:
        return "cmbVel_Click";
    case Input::Kind::Set:
        break;
    }
    return {}; // an assignment from outside runs no handler
}

std::string callOf(const Input& input) {
    switch (input.kind) {
    case Input::Kind::Pick:
        return std::string(handlerOf(input));
    case Input::Kind::Set: // as the code would write it
        return joined({nameOf(input.assignment), " = ", valueOf(input.assignment)});
    default:
        return joined({handlerOf(input), "(", number(input.button), ", 0, ", twipsText(input.x),
                       ", ", twipsText(input.y), ")"});
    }
}

std::string text(const Entry& entry) {
    const bool run = entry.times > 1;
    std::string lines = joined({"tick ", run ? std::to_string(entry.tick - entry.times + 1) : "",
                                run ? "–" : "", std::to_string(entry.tick), ": ", entry.call,
                                run ? " × " : "", run ? std::to_string(entry.times) : "", "\n"});
    for (const Change& change : entry.changes) {
        lines += joined({"  ", change.name, ": ", change.before, " → ", change.after, "\n"});
    }
    if (!entry.why.empty()) {
        lines += joined({"  ", entry.why, "\n"});
    }
    return lines;
}

void Log::loaded(const Game& before, const Game& after) {
    entries_.push_back({0, "Form_Load", 1, compare(before, after), {}});
}

void Log::activated(const Game& before, const Game& after) {
    std::vector<Change> changes = compare(before, after);
    if (!changes.empty()) {
        entries_.push_back({0, "Form_Activate", 1, std::move(changes), {}});
    }
}

void Log::ticked(std::int64_t tick, const Game& before, const Game& after) {
    std::vector<Change> changes = compare(before, after);
    std::erase_if(changes, [](const Change& change) { return change.name.starts_with("shaP."); });
    std::string why = whyTurned(before, after);
    const bool onlyMoved = changes.empty() && why.empty();
    if (onlyMoved && !entries_.empty()) {
        Entry& last = entries_.back();
        if (last.call == "Timer_Timer" && last.changes.empty() && last.why.empty() &&
            last.tick == tick - 1) {
            last.tick = tick;
            ++last.times;
            return;
        }
    }
    entries_.push_back({tick, "Timer_Timer", 1, std::move(changes), std::move(why)});
}

void Log::took(std::int64_t tick, const Input& input, const Game& before, const Game& after) {
    std::vector<Change> changes = compare(before, after);
    if (!changes.empty()) {
        entries_.push_back({tick, callOf(input), 1, std::move(changes), {}});
    }
}

void Log::noted(std::int64_t tick, const std::string& note) {
    const std::size_t first = note.find_first_not_of(" \t");
    if (first != std::string::npos) {
        const std::size_t last = note.find_last_not_of(" \t");
        entries_.push_back(
            {tick,
             joined({"Nota: ", std::string_view(note).substr(first, last + 1 - first)}),
             1,
             {},
             {}});
    }
}

void Log::rewind(std::int64_t tick) {
    while (!entries_.empty() && entries_.back().tick >= tick) {
        Entry& last = entries_.back();
        if (last.tick == tick && (last.call == "Timer_Timer" || last.call.starts_with("Form_"))) {
            break; // the tick itself stays (at 0, the load and the activation); its inputs go
        }
        if (last.times > 1 && last.tick - last.times < tick) { // a run that began by `tick`
            last.times -= last.tick - tick;
            last.tick = tick;
            break;
        }
        entries_.pop_back();
    }
}

void Explainer::follow(const Record& record, std::int64_t tick) {
    tick = std::clamp<std::int64_t>(tick, 0, record.lastTick());
    std::int64_t from = tick; // the log holds up to here, its inputs apart
    if (record_ != &record || tick_ < 0 ||
        (record.revision() != revision_ && record.revisionBefore() != revision_)) {
        rebuild(record);
    } else if (record.revision() != revision_) {
        from = std::min(from, record.forgotAfter()); // one new history: it began there
    }
    revision_ = record.revision();
    if (from < tick_) {
        rewind(record, from);
    }
    const std::vector<TimedInput>& inputs = record.inputs();
    Game before;
    while (true) {
        for (; inputsDone_ < inputs.size() && inputs[inputsDone_].tick == tick_; ++inputsDone_) {
            noteUpTo(record, inputsDone_);
            before = game_;
            play(game_, Step::of(inputs[inputsDone_].input));
            log_.took(tick_, inputs[inputsDone_].input, before, game_);
        }
        noteUpTo(record, inputsDone_);
        if (tick_ >= tick) {
            break;
        }
        before = game_;
        play(game_, Step::tick());
        ++tick_;
        log_.ticked(tick_, before, game_);
    }
}

// Back to the game at `tick` before its inputs, which are explained again: those the log
// knew may have been followed by others of a new history.
void Explainer::rewind(const Record& record, std::int64_t tick) {
    log_.rewind(tick);
    if (tick == 0) {
        game_ = record.atStart();
    } else {
        game_ = record.at(tick - 1);
        play(game_, Step::tick());
    }
    tick_ = tick;
    const std::vector<TimedInput>& inputs = record.inputs();
    inputsDone_ = static_cast<std::size_t>(
        std::lower_bound(inputs.begin(), inputs.end(), tick,
                         [](const TimedInput& timed, std::int64_t t) { return timed.tick < t; }) -
        inputs.begin());
    const std::vector<Note>& notes = record.notes();
    notesDone_ = static_cast<std::size_t>(
        std::lower_bound(notes.begin(), notes.end(), tick,
                         [](const Note& note, std::int64_t t) { return note.tick < t; }) -
        notes.begin());
}

// The notes that stand at the tick followed, before its `inputs`-th input of the record.
void Explainer::noteUpTo(const Record& record, std::size_t inputs) {
    const std::vector<Note>& notes = record.notes();
    for (; notesDone_ < notes.size() && notes[notesDone_].tick == tick_ &&
           notes[notesDone_].inputs <= inputs;
         ++notesDone_) {
        log_.noted(tick_, notes[notesDone_].text);
    }
}

void Explainer::rebuild(const Record& record) {
    record_ = &record;
    revision_ = record.revision();
    log_.clear();
    const Game blank;
    Game loaded = blank;
    loaded.Form_Load();
    log_.loaded(blank, loaded);
    game_ = record.atStart();
    const std::vector<Note>& notes = record.notes();
    for (notesDone_ = 0; notesDone_ < notes.size() && notes[notesDone_].tick < 0; ++notesDone_) {
        log_.noted(0, notes[notesDone_].text); // before the activation
    }
    log_.activated(loaded, game_);
    tick_ = 0;
    inputsDone_ = 0;
}

} // namespace velmora::ui
