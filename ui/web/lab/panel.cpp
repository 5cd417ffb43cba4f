// SPDX-License-Identifier: MIT
// The lab's panel beside the game window, in velmora-lab only. Its lab (lab.h) records each
// showing (or plays the one a file brought) and asks the session to pause, step and show
// past ticks; the panel keeps the log up to the tick shown, draws the marks over the
// playfield, and gives lab.js its contents as one JSON text. It only asks and reads.
#include "panel.h"

#include "codeview.h"
#include "explain.h"
#include "lab.h"
#include "numbertext.h"
#include "script.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <emscripten.h>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

// clang-format off
EM_JS(void, labPanelChanged, (), { VelmoraLab.changed(); });
// clang-format on

namespace {

using namespace velmora;
using namespace velmora::ui;
using namespace velmora::ui::web;

constexpr std::int64_t pathTicks = 64; // the ball's path over this many ticks

// The values the panel lists, in its order; a change from the step before is marked.
constexpr std::array<const char*, 10> valueNames = {
    "velY",      "velX",     "intervallo", "xPresa",   "punti",
    "shaP.Left", "shaP.Top", "shaB.Left",  "shaB.Top", "mattoni rimasti"};
// Each is a float or a 16-bit whole number, which a float holds exactly.
using Values = std::array<double, valueNames.size()>;

Values valuesOf(const Game& game) {
    int standing = 0;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        standing += game.shaX(i).Visible ? 1 : 0;
    }
    return {Dbl(game.velY),       Dbl(game.velX),
            Dbl(game.intervallo), Dbl(game.xPresa),
            Dbl(game.punti),      Dbl(game.shaP.Left),
            Dbl(game.shaP.Top),   Dbl(game.shaB.Left),
            Dbl(game.shaB.Top),   static_cast<double>(standing)};
}

static_assert(brickCount <= 64, "a bit of a standing mask for each brick");
std::uint64_t standingOf(const Game& game) {
    std::uint64_t bits = 0;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        bits |= game.shaX(i).Visible ? std::uint64_t{1} << i : 0;
    }
    return bits;
}

void appendJson(std::string& out, std::string_view text) {
    out += '"';
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (const auto code = static_cast<unsigned>(static_cast<unsigned char>(c));
                   code < 0x20) {
            out += "\\u00";
            out += "0123456789abcdef"[code / 16];
            out += "0123456789abcdef"[code % 16];
        } else {
            out += c;
        }
    }
    out += '"';
}

// The box a segment of the path runs through, for a repaint.
Shape boxOf(const Point& from, const Point& to) {
    const double left = std::min(from.x, to.x);
    const double top = std::min(from.y, to.y);
    return {static_cast<float>(left), static_cast<float>(top),
            static_cast<float>(std::abs(to.x - from.x)),
            static_cast<float>(std::abs(to.y - from.y)), true};
}

class Panel {
  public:
    void showing(Session& session) {
        session.setClockDivisor(divisor_); // the speed chosen, from the first tick
        if (!shownAgain_) {
            tally_ = {}; // a new game; a game shown again keeps its tally
        }
        showings_ += shownAgain_ ? 0 : 1;
        shownAgain_ = false;
        sent_.clear();
        if (brought_) {
            lab_.play(session, std::move(*brought_));
            brought_.reset();
        } else {
            lab_.keep(session);
        }
        explainer_ = Explainer{};
        path_.clear();
        standing_.clear();
        shown_ = -1;
        revision_ = 0;
        hitBrick_ = -1;
        now_ = before_ = valuesOf(session.game());
        stopNote_.clear();
        chosen_.reset();
        codeWhere_ = {-1, 0, 0};
    }

    void changed() {
        const Session* session = lab_.session();
        if (!session) {
            return;
        }
        const std::int64_t tick = lab_.shownTick();
        explainer_.follow(lab_.record(), tick);
        followCode(tick);
        const Game& game = session->game();
        const Values values = valuesOf(game);
        if (values != now_ || tick != shown_) {
            before_ = now_;
            now_ = values;
        }
        followMarks(tick, game);
        labPanelChanged();
    }

    // "Al prossimo evento" and "Prevedi": where the run stopped, said when the log has no
    // entry for it (no event within the search, or nothing after the tick shown).
    Event runOn(bool toInputs) {
        const Event event = toInputs ? lab_.runToNextEvent() : lab_.runToNextTurn();
        stopNote_.clear();
        if (event.kind == Event::Kind::Bound) {
            stopNote_ = "Nessun evento nei prossimi " + std::to_string(Lab::eventSearch) +
                        " tick: la palla non cambia direzione.";
        } else if (event.kind == Event::Kind::End) {
            stopNote_ = lab_.session()->game().gameOver
                            ? "Dopo questo tick non succede più nulla: la partita è finita."
                            : "La partita ha già il massimo di tick (" + std::to_string(mostTicks) +
                                  "): non va oltre.";
        }
        stopAt_ = where();
        return event;
    }
    void forgetStopNote() { stopNote_.clear(); }
    // Said only where the run stopped: a drag there, or any move, makes it the past.
    std::string stopNote() const { return stopAt_ == where() ? stopNote_ : std::string(); }

    // "Prevedi"'s tally for the game shown: the predictions judged, and those right in all
    // their parts.
    struct Tally {
        std::int64_t right = 0;
        std::int64_t judged = 0;
    };
    Tally& tally() { return tally_; }

    LabMarks marks() const { return {hitBrick_, {path_.data(), path_.size()}}; }

    // The window of a game that has closed, at its end or by "Chiudi", shown again to be
    // watched: a new showing plays the same history, at the tick shown. False once Velmora
    // has ended.
    bool showAgain() {
        const std::int64_t tick = lab_.shownTick();
        bring(lab_.record());
        shownAgain_ = true;
        if (!openGameWindow()) {
            shownAgain_ = false;
            forgetBrought();
            return false;
        }
        lab_.showTick(tick);
        return true;
    }

    // The game of a file, which the next showing plays; forgotten if there is none.
    void bring(Record record) { brought_ = std::move(record); }
    void forgetBrought() { brought_.reset(); }

    // The clock's speed (one of Session::clockDivisors), kept from showing to showing.
    void setClockDivisor(int divisor) {
        const auto& known = Session::clockDivisors;
        if (std::find(known.begin(), known.end(), divisor) == known.end()) {
            return;
        }
        divisor_ = divisor;
        if (Session* session = labSession()) {
            session->setClockDivisor(divisor);
        }
    }
    int clockDivisor() const { return divisor_; }
    std::int64_t showings() const { return showings_; }

    // The log's entries lab.js does not hold as they are now, oldest first, from the index
    // returned: lab.js keeps what it was sent, and a step changes only the log's end (its
    // newest "× N" grows, or entries after the tick shown go), so it gets only that end.
    std::size_t logChangedFrom() {
        const std::vector<Entry>& entries = explainer_.log().entries();
        std::size_t from = std::min(entries.size(), sent_.size());
        while (from > 0 && std::hash<std::string>{}(text(entries[from - 1])) != sent_[from - 1]) {
            --from;
        }
        sent_.resize(from);
        for (std::size_t i = from; i < entries.size(); ++i) {
            sent_.push_back(std::hash<std::string>{}(text(entries[i])));
        }
        return from;
    }

    // The step "Codice" shows: the one a log entry chose, while the lab stays where that
    // took it; an input just given at the tick shown; else the tick's own.
    Shown codeStep() const {
        return chosen_ && chosenAt_ == where() ? *chosen_ : Shown::at(record(), lab_.shownTick());
    }
    void chooseCode(const Shown& step) {
        chosen_ = step;
        chosenAt_ = where();
    }

    Lab& lab() { return lab_; }
    const Record& record() const { return lab_.record(); }
    const Explainer& explainer() const { return explainer_; }
    const Values& values() const { return now_; }
    const Values& valuesBefore() const { return before_; }

  private:
    // The ball's path and the brick hit on the last step. A step on by one tick adds the
    // ball's centre; any other move (back, the slider, a new history) rebuilds both from the
    // record, and repaints the whole playfield.
    void followMarks(std::int64_t tick, const Game& game) {
        const Integer hitBefore = hitBrick_;
        const Record& record = lab_.record();
        if (tick == shown_ + 1 && record.revision() == revision_ && !path_.empty()) {
            path_.push_back(ballCentre(game.shaP));
            standing_.push_back(standingOf(game));
            repaintPlayfield(boxOf(path_[path_.size() - 2], path_.back()));
            if (path_.size() > pathTicks + 1) {
                const Shape dropped = boxOf(path_[0], path_[1]);
                path_.erase(path_.begin());
                standing_.erase(standing_.begin());
                repaintPlayfield(dropped); // without it, now
            }
        } else if (tick == shown_ && record.revision() == revision_ && !path_.empty()) {
            // An input at the tick shown: the path is the same, the last place may move.
            path_.back() = ballCentre(game.shaP);
            standing_.back() = standingOf(game);
        } else {
            rebuild(tick, game);
            repaintAll();
        }
        shown_ = tick;
        revision_ = record.revision();
        hitBrick_ = -1;
        if (standing_.size() >= 2) {
            const std::uint64_t knocked = standing_[standing_.size() - 2] & ~standing_.back();
            for (Integer i = 0; i < brickCount && knocked; ++i) {
                if (knocked & (std::uint64_t{1} << i)) {
                    hitBrick_ = i;
                    break;
                }
            }
        }
        if (hitBrick_ != hitBefore) {
            for (const Integer brick : {hitBefore, hitBrick_}) {
                if (brick >= 0 && brick < game.shaX.Count()) {
                    repaintPlayfield(game.shaX(brick));
                }
            }
        }
    }

    // An input taken at the tick shown (a drag, "Cambia un valore") is what "Codice" shows.
    void followCode(std::int64_t tick) {
        const std::vector<TimedInput>& inputs = record().inputs();
        if (where() != codeWhere_ && std::get<0>(codeWhere_) == tick && !inputs.empty() &&
            inputs.back().tick == tick) {
            chooseCode({Shown::Kind::Input, tick, inputs.size() - 1});
        }
        codeWhere_ = where();
    }

    void rebuild(std::int64_t tick, const Game& game) {
        const Record& record = lab_.record();
        path_.clear();
        standing_.clear();
        const std::int64_t first = std::max<std::int64_t>(0, tick - pathTicks);
        if (tick > record.lastTick()) {
            return;
        }
        Game past = record.at(first);
        for (std::int64_t t = first; t < tick; ++t) {
            if (t > first) {
                record.restore(t, past);
            }
            path_.push_back(ballCentre(past.shaP));
            standing_.push_back(standingOf(past));
        }
        path_.push_back(ballCentre(game.shaP));
        standing_.push_back(standingOf(game));
    }

    static void repaintAll() {
        repaintPlayfield({0, 0, static_cast<float>(game::frame.place.Width),
                          static_cast<float>(game::frame.place.Height), true});
    }

    Lab lab_;
    std::optional<Record> brought_; // "Apri una partita": the game the next showing plays
    Explainer explainer_;
    std::vector<Point> path_;             // the ball's centres, oldest first
    std::vector<std::uint64_t> standing_; // the bricks standing at the same ticks
    std::int64_t shown_ = -1;
    std::uint64_t revision_ = 0;
    Integer hitBrick_ = -1;
    Values now_{};
    Values before_{};
    int divisor_ = 1;
    std::int64_t showings_ = 0; // the games shown: "GIOCA" or a file, not one shown again
    bool shownAgain_ = false;
    std::string stopNote_;
    // The tick shown, its history and the inputs taken: what a stop's note belongs to.
    using Where = std::tuple<std::int64_t, std::uint64_t, std::size_t>;
    Where where() const {
        return {lab_.shownTick(), lab_.record().revision(), lab_.record().inputs().size()};
    }
    Where stopAt_;
    std::optional<Shown> chosen_;
    Where chosenAt_;
    Where codeWhere_;
    Tally tally_;
    std::vector<std::size_t> sent_; // what lab.js holds of the log: each entry's text hashed
};

Panel panel;
std::string reply;    // the last text handed to lab.js
std::string received; // a script lab.js hands over

// `before`, then the number as the state line prints one.
void appendNumber(const char* before, double value) {
    reply += before;
    reply += twipsText(ToSingle(value)); // exact: each of the values is a float
}

void appendNumber(const char* before, std::int64_t value) {
    reply += before;
    reply += std::to_string(value);
}

// Numbers into a JSON array already open: a comma before each but its first.
void appendNumbers(std::initializer_list<std::int64_t> values) {
    for (const std::int64_t value : values) {
        appendNumber(reply.back() == '[' ? "" : ",", value);
    }
}

} // namespace

void web::labShowing(Session& session) {
    panel.showing(session);
}

void web::labChanged() {
    panel.changed();
}

LabMarks web::labMarks() {
    return panel.marks();
}

extern "C" {

// The panel's contents: {"divisor", "showing", and with a game: "paused", "open", "over",
// "tick", "last", "values": [[name, value, changed], ...], "state", "logCount", "logFrom",
// "log": [the entries from logFrom on, oldest first], "stop": why "Al prossimo evento" or
// "Prevedi" stopped where the log says nothing, "right" and "of": "Prevedi"'s tally}. lab.js keeps
// the log's entries and replaces those from logFrom. Written piece by piece into `reply`: appends,
// not sums, keep this small in the download.
EMSCRIPTEN_KEEPALIVE const char* velmora_lab_view() {
    fromLab([&] {
        const Session* session = panel.lab().session();
        reply.clear();
        appendNumber("{\"divisor\":", std::int64_t{panel.clockDivisor()});
        appendNumber(",\"showing\":", panel.showings());
        if (session) {
            reply += ",\"paused\":";
            reply += session->isPaused() ? "true" : "false";
            reply += ",\"open\":";
            reply += session->isClosed() ? "false" : "true";
            reply += ",\"over\":";
            reply += session->game().gameOver ? "true" : "false";
            appendNumber(",\"tick\":", panel.lab().shownTick());
            appendNumber(",\"last\":", panel.record().lastTick());
            reply += ",\"values\":[";
            for (std::size_t i = 0; i < valueNames.size(); ++i) {
                reply += i ? ",[" : "[";
                appendJson(reply, valueNames[i]);
                appendNumber(",", panel.values()[i]);
                reply += panel.values()[i] != panel.valuesBefore()[i] ? ",true]" : ",false]";
            }
            reply += "],\"state\":";
            appendJson(reply, stateLine(session->game()));
            const std::vector<Entry>& entries = panel.explainer().log().entries();
            const std::size_t from = panel.logChangedFrom();
            appendNumber(",\"logCount\":", static_cast<std::int64_t>(entries.size()));
            appendNumber(",\"logFrom\":", static_cast<std::int64_t>(from));
            reply += ",\"log\":[";
            for (std::size_t i = from; i < entries.size(); ++i) {
                reply += i > from ? "," : "";
                appendJson(reply, text(entries[i]));
            }
            reply += "],\"stop\":";
            appendJson(reply, panel.stopNote());
            appendNumber(",\"right\":", panel.tally().right);
            appendNumber(",\"of\":", panel.tally().judged);
        }
        reply += "}";
    });
    return reply.c_str();
}

// "Codice"'s text, sent once: the rules' files as this build compiled them and their
// functions: {"files": [[path, [line, ...]], ...], "functions": [[name, file, first, last], ...]}.
EMSCRIPTEN_KEEPALIVE const char* velmora_lab_sources() {
    fromLab([] {
        reply = "{\"files\":[";
        for (const code::SourceFile& file : code::sources()) {
            reply += reply.back() == '[' ? "[" : ",[";
            appendJson(reply, file.path);
            reply += ",[";
            for (const std::string_view line : file.lines) {
                reply += reply.back() == '[' ? "" : ",";
                appendJson(reply, line);
            }
            reply += "]]";
        }
        reply += "],\"functions\":[";
        for (const code::Function& function : code::functions()) {
            reply += reply.back() == '[' ? "[" : ",[";
            appendJson(reply, function.name);
            appendNumber(",", std::int64_t{function.file});
            appendNumbers({function.first, function.last});
            reply += "]";
        }
        reply += "]}";
    });
    return reply.c_str();
}

// The step "Codice" shows, played again: {"tick", "call", "handler", "entry": its entry in the
// log (-1: none), "lines": [file, line, count, ...], "tests": [file, line, times true, times
// false, ...], "decides": [file, line] or [], "locals": [[file, line, text], ...], "called":
// [name, ...]}; {} before any game.
EMSCRIPTEN_KEEPALIVE const char* velmora_lab_code() {
    fromLab([] {
        reply = "{}";
        if (!panel.lab().session()) {
            return;
        }
        const Shown step = panel.codeStep();
        const CodeStep code = codeOf(panel.record(), step);
        const std::optional<std::size_t> entry =
            entryOf(panel.record(), panel.explainer().log().entries(), step);
        reply.clear();
        appendNumber("{\"tick\":", step.tick);
        reply += ",\"call\":";
        appendJson(reply, code.call);
        reply += ",\"handler\":";
        appendJson(reply, code.handler);
        appendNumber(",\"entry\":", entry ? static_cast<std::int64_t>(*entry) : -1);
        reply += ",\"lines\":[";
        for (const code::LineRun& run : code.lines) {
            appendNumbers({run.file, run.line, run.count});
        }
        reply += "],\"tests\":[";
        for (const CodeStep::Test& test : code.tests) {
            appendNumbers({test.at.file, test.at.line, test.whenTrue, test.whenFalse});
        }
        reply += "],\"decides\":[";
        if (code.decides) {
            appendNumbers({code.decides->file, code.decides->line});
        }
        reply += "],\"locals\":[";
        for (const CodeStep::Local& local : code.locals) {
            reply += reply.back() == '[' ? "[" : ",[";
            appendNumbers({local.at.file, local.at.line});
            reply += ",";
            appendJson(reply, local.text);
            reply += "]";
        }
        reply += "],\"called\":[";
        for (const std::string_view name : code.called) {
            reply += reply.back() == '[' ? "" : ",";
            appendJson(reply, name);
        }
        reply += "]}";
    });
    return reply.c_str();
}

// The clock's controls (ClockControl), one function for all four.
EMSCRIPTEN_KEEPALIVE void velmora_lab_control(int control, double value) {
    fromLab([&] {
        Lab& lab = panel.lab();
        // A game whose window has closed is shown again by a move along its history.
        const auto kind = static_cast<ClockControl>(control);
        const bool movesAlong = kind == ClockControl::Step || kind == ClockControl::Show ||
                                kind == ClockControl::NextEvent ||
                                (kind == ClockControl::Pause && value == 0);
        const Session* session = labSession();
        if (session && session->isClosed() && movesAlong && !panel.showAgain()) {
            return;
        }
        // Whatever the page hands over is checked before it is used as a whole number. Before
        // any game only the clock's speed is kept, for the first.
        panel.forgetStopNote();
        switch (kind) {
        case ClockControl::Pause:
            if (value != 0) {
                lab.pause();
            } else {
                lab.resume();
            }
            break;
        case ClockControl::Step:
            if (value != 0) {
                lab.stepForward();
            } else {
                lab.stepBack();
            }
            break;
        case ClockControl::Show:
            if (const auto tick = wholeNumberIn(value, 0, mostTicks)) {
                lab.pause();
                lab.showTick(*tick);
            }
            break;
        case ClockControl::Divisor:
            if (const auto divisor = wholeNumberIn(value, Session::clockDivisors.front(),
                                                   Session::clockDivisors.back())) {
                panel.setClockDivisor(static_cast<int>(*divisor));
            }
            break;
        case ClockControl::NextEvent:
            if (lab.session()) {
                panel.runOn(true);
            }
            break;
        }
        labChanged();
    });
}

// "Perché?": the log's entry `index` (oldest first) shown: the lab at its tick, paused, as the
// slider shows one, and "Codice" on its step. A note, or an entry the log does not hold,
// changes nothing.
EMSCRIPTEN_KEEPALIVE void velmora_lab_entry(double index) {
    fromLab([&] {
        const std::vector<Entry>& log = panel.explainer().log().entries();
        const auto entry = wholeNumberIn(index, 0, static_cast<std::int64_t>(log.size()) - 1);
        const std::optional<Shown> step =
            entry ? stepOf(panel.record(), log, static_cast<std::size_t>(*entry)) : std::nullopt;
        if (!step) {
            return;
        }
        velmora_lab_control(static_cast<int>(ClockControl::Show), static_cast<double>(step->tick));
        panel.chooseCode(*step);
        labChanged();
    });
}

// "Prevedi": the student's velX and velY after the next turn and the brick it knocks out (-1:
// none), judged against the rules on the way to it. The reply: {"judged": false} when no turn
// came (the panel's "stop" says why), with "refused": true when the numbers are no 16-bit
// whole numbers or no brick's (nothing runs then); else {"judged": true, "tick", "parts": [[name,
// predicted, true value, right],
// ...], "why"}. The tally (the view's "right" of "of") counts a prediction right when all its
// parts are.
EMSCRIPTEN_KEEPALIVE const char* velmora_lab_predict(double velX, double velY, double brick) {
    fromLab([&] {
        reply = "{\"judged\":false}";
        const auto x = wholeNumberIn(velX, -32768, 32767);
        const auto y = wholeNumberIn(velY, -32768, 32767);
        const auto hit = wholeNumberIn(brick, -1, brickCount - 1);
        const Session* session = labSession();
        if (!x || !y || !hit) {
            reply = "{\"judged\":false,\"refused\":true}";
            return;
        }
        if (!session || (session->isClosed() && !panel.showAgain())) {
            return;
        }
        const Prediction prediction{static_cast<Integer>(*x), static_cast<Integer>(*y),
                                    static_cast<Integer>(*hit)};
        const Event event = panel.runOn(false);
        labChanged();
        const std::optional<Judgement> judged = judge(prediction, event);
        if (!judged) {
            return;
        }
        auto& [right, of] = panel.tally();
        right += judged->right() ? 1 : 0;
        ++of;
        reply.clear();
        appendNumber("{\"judged\":true,\"tick\":", event.tick);
        reply += ",\"parts\":[";
        const auto part = [](const char* name, Integer predicted, Integer truth, bool ok) {
            reply += reply.back() == '[' ? "[\"" : ",[\"";
            reply += name;
            appendNumber("\",", std::int64_t{predicted});
            appendNumber(",", std::int64_t{truth});
            reply += ok ? ",true]" : ",false]";
        };
        part("velX", prediction.velX, event.velX, judged->velX);
        part("velY", prediction.velY, event.velY, judged->velY);
        part("shaX", prediction.brick, event.brick, judged->brick);
        reply += "],\"why\":";
        appendJson(reply, event.why);
        reply += "}";
    });
    return reply.c_str();
}

// "Salva la partita": the game so far as a script for velmora-sim.
EMSCRIPTEN_KEEPALIVE const char* velmora_lab_script() {
    fromLab([&] { reply = panel.lab().session() ? writeScript(panel.record()) : ""; });
    return reply.c_str();
}

// Room for a script of `bytes` bytes, which lab.js writes into: the file's bytes as they
// are, NULs and all. None (0) when there is no memory for it: the guard has then ended
// Velmora.
EMSCRIPTEN_KEEPALIVE char* velmora_lab_receive(int bytes) {
    char* room = nullptr;
    fromLab([&] {
        received.assign(static_cast<std::size_t>(std::max(bytes, 0)), '\0');
        room = received.data();
    });
    return room;
}

// "Apri una partita": the script received is read whole, every byte of it; a bad one is
// refused with its line and the reason ("riga 3: ..."), and nothing changes; so is any while
// a run-time error is ending Velmora. A good one opens the game window on its game, at tick
// 0, paused. Returns the refusal, or "" when it opened.
EMSCRIPTEN_KEEPALIVE const char* velmora_lab_open() {
    reply.clear();
    fromLab([] {
        if (const Session* session = labSession(); session && session->hasFailed()) {
            reply = "Velmora si sta chiudendo per un errore di run-time";
            return;
        }
        try {
            panel.bring(playScript(parseScript(received)));
        } catch (const ScriptError& error) {
            reply = (error.line > 0 ? "riga " + std::to_string(error.line) + ": " : std::string()) +
                    error.reasonInItalian();
            return;
        }
        if (!openGameWindow()) {
            panel.forgetBrought();
            reply = "Velmora è terminato";
            return;
        }
        labChanged();
    });
    return reply.c_str();
}

// "Cambia un valore": the text received, "NAME VALUE", read by the script's reader as the line
// "set NAME VALUE" (every byte of it checked there), and taken by the session as the player's
// input at the tick shown: at a past tick it starts a new history, as a drag does. A text that
// does not read is refused, and nothing changes. Returns the refusal in Italian, or "".
EMSCRIPTEN_KEEPALIVE const char* velmora_lab_set() {
    reply.clear();
    fromLab([] {
        Session* session = labSession();
        if (!session || session->hasFailed()) {
            reply = session ? "Velmora si sta chiudendo per un errore di run-time"
                            : "Nessuna partita: prima GIOCA o Apri una partita";
            return;
        }
        if (received.find_first_of("\r\n") != std::string::npos) {
            reply = "un valore si cambia con una riga sola: NOME VALORE";
            return;
        }
        Input assignment;
        try {
            ScriptReader reader;
            reader.feed("set ");
            reader.feed(received);
            reader.end();
            assignment = reader.next()->command.input; // "set" and more: a line, or refused
        } catch (const ScriptError& error) {
            reply = error.reasonInItalian();
            return;
        }
        if (session->game().gameOver) {
            reply =
                "la partita è finita a questo tick: torna a un tick prima per cambiare un valore";
            return;
        }
        if (session->isClosed() && !panel.showAgain()) {
            return;
        }
        labSession()->take(assignment);
        labChanged();
    });
    return reply.c_str();
}

} // extern "C"
