// SPDX-License-Identifier: MIT
#include "script.h"

#include "numbertext.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace velmora::ui {

namespace {

ScriptError bad(ScriptError::Kind kind, std::string_view word = {}) {
    return ScriptError{kind, std::string(word), 0};
}

std::vector<std::string_view> splitWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t at = 0;
    while (true) {
        at = line.find_first_not_of(" \t", at);
        if (at == std::string_view::npos) {
            return words;
        }
        const std::size_t end = std::min(line.find_first_of(" \t", at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end;
    }
}

template <typename Number> std::optional<Number> parseWhole(std::string_view word) {
    if (!word.empty() && word.front() == '+') {
        word.remove_prefix(1);
    }
    Number value{};
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size() || word.empty()) {
        return std::nullopt;
    }
    return value;
}

#if !defined(__cpp_lib_to_chars)
// A C++ library whose from_chars reads no floating point (emscripten's): strtof reads what
// from_chars would, once the word is known to be a plain decimal number, and rounds the same.
template <> std::optional<float> parseWhole<float>(std::string_view word) {
    if (!word.empty() && word.front() == '+') { // as every other number reads it
        word.remove_prefix(1);
    }
    const auto digitsFrom = [&](std::size_t& at) {
        const std::size_t start = at;
        while (at < word.size() && word[at] >= '0' && word[at] <= '9') {
            ++at;
        }
        return at - start;
    };
    std::size_t at = word.starts_with('-') ? 1 : 0;
    std::size_t digits = digitsFrom(at);
    if (at < word.size() && word[at] == '.') {
        digits += digitsFrom(++at);
    }
    if (digits > 0 && at < word.size() && (word[at] == 'e' || word[at] == 'E')) {
        at += word.substr(at + 1).starts_with('-') || word.substr(at + 1).starts_with('+') ? 2 : 1;
        digits = digitsFrom(at);
    }
    if (digits == 0 || at != word.size()) {
        return std::nullopt;
    }
    errno = 0;
    const float value = std::strtof(std::string(word).c_str(), nullptr);
    if (errno == ERANGE && (value == 0.0f || std::isinf(value))) {
        return std::nullopt;
    }
    return value;
}
#endif

std::int64_t parseCount(std::string_view word) {
    const auto count = parseWhole<long long>(word);
    if (!count) {
        throw bad(ScriptError::Kind::NotAWholeNumber, word);
    }
    if (*count < 1) {
        throw bad(ScriptError::Kind::TickCountBelowOne);
    }
    return *count;
}

Integer parseButton(std::string_view word) {
    const auto button = parseWhole<int>(word);
    if (!button) {
        throw bad(ScriptError::Kind::NotAWholeNumber, word);
    }
    if (*button < std::numeric_limits<Integer>::min() ||
        *button > std::numeric_limits<Integer>::max()) {
        throw bad(ScriptError::Kind::ButtonOutOfRange, word);
    }
    return static_cast<Integer>(*button);
}

// A position in twips, read straight to single precision (no detour through double).
float parseTwips(std::string_view word) {
    const auto value = parseWhole<float>(word);
    if (!value || !std::isfinite(*value)) {
        throw bad(ScriptError::Kind::NotADecimalNumber, word);
    }
    return *value;
}

void expectWords(const std::vector<std::string_view>& words, std::size_t count) {
    if (words.size() < count) {
        throw bad(ScriptError::Kind::MissingWords, words[0]);
    }
    if (words.size() > count) {
        throw bad(ScriptError::Kind::ExtraWords, words[0]);
    }
}

std::string quoted(const std::string& word) {
    return "'" + word + "'";
}

} // namespace

std::string ScriptError::reason() const {
    switch (kind) {
    case Kind::NotAWholeNumber:
        return quoted(word) + " is not a whole number";
    case Kind::TickCountBelowOne:
        return "tick count must be at least 1";
    case Kind::ButtonOutOfRange:
        return "button value " + word + " is out of range";
    case Kind::NotADecimalNumber:
        return quoted(word) + " is not a decimal number";
    case Kind::MissingWords:
        return "missing words after " + quoted(word);
    case Kind::ExtraWords:
        return "extra words after " + quoted(word);
    case Kind::UnknownCommand:
        return "unknown command " + quoted(word);
    case Kind::TooLong:
        return "a game has at most " + word + " ticks";
    case Kind::LateActivate:
        return "'activate' must come before the first tick or input";
    }
    return {};
}

std::string ScriptError::reasonInItalian() const {
    switch (kind) {
    case Kind::NotAWholeNumber:
        return quoted(word) + " non è un numero intero";
    case Kind::TickCountBelowOne:
        return "il numero di tick deve essere almeno 1";
    case Kind::ButtonOutOfRange:
        return "il valore del pulsante " + word + " è fuori dai limiti";
    case Kind::NotADecimalNumber:
        return quoted(word) + " non è un numero decimale";
    case Kind::MissingWords:
        return "mancano parole dopo " + quoted(word);
    case Kind::ExtraWords:
        return "parole di troppo dopo " + quoted(word);
    case Kind::UnknownCommand:
        return "comando sconosciuto " + quoted(word);
    case Kind::TooLong:
        return "una partita dura al massimo " + word + " tick";
    case Kind::LateActivate:
        return "'activate' va prima del primo tick e del primo input";
    }
    return {};
}

std::optional<Command> parseLine(std::string_view line) {
    const std::vector<std::string_view> words = splitWords(line);
    if (words.empty() || words[0].front() == '#') {
        return std::nullopt;
    }
    const std::string_view name = words[0];
    Command command;
    if (name == "activate") {
        expectWords(words, 1);
        command.kind = Command::Kind::Activate;
    } else if (name == "tick") {
        command.kind = Command::Kind::Tick;
        command.count = words.size() > 1 ? parseCount(words[1]) : 1;
        expectWords(words, words.size() > 1 ? 2 : 1);
    } else if (name == "down" || name == "move" || name == "up") {
        expectWords(words, 4);
        const Integer button = parseButton(words[1]);
        const float x = parseTwips(words[2]);
        const float y = parseTwips(words[3]);
        const Input::Kind kind = name == "down"   ? Input::Kind::Down
                                 : name == "move" ? Input::Kind::Move
                                                  : Input::Kind::Up;
        command.kind = Command::Kind::Input;
        command.input = Input::mouse(kind, button, x, y);
    } else if (name == "pick") {
        if (words.size() < 2) {
            throw bad(ScriptError::Kind::MissingWords, name);
        }
        // The text is the rest of the line, blanks inside and after it included.
        command.kind = Command::Kind::Input;
        command.input = Input::pick(
            std::string(line.substr(static_cast<std::size_t>(words[1].data() - line.data()))));
    } else if (name == "dump") {
        expectWords(words, 1);
        command.kind = Command::Kind::Dump;
    } else {
        throw bad(ScriptError::Kind::UnknownCommand, name);
    }
    return command;
}

std::optional<Command> ScriptReader::next(std::string_view text) {
    ++line_;
    try {
        std::optional<Command> command = parseLine(text);
        if (command && command->kind == Command::Kind::Activate && begun_) {
            throw bad(ScriptError::Kind::LateActivate);
        }
        if (command &&
            (command->kind == Command::Kind::Tick || command->kind == Command::Kind::Input)) {
            begun_ = true;
        }
        return command;
    } catch (ScriptError& error) {
        error.line = line_;
        throw;
    }
}

Script parseScript(std::string_view text) {
    Script script;
    ScriptReader reader;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        if (std::optional<Command> command = reader.next(line)) {
            script.push_back({reader.line(), std::move(*command)});
        }
        at = end + 1;
    }
    return script;
}

Record playScript(const Script& script, std::int64_t longest) {
    Record record;
    Game game;
    game.Form_Load();
    const bool activated =
        !script.empty() && script.front().command.kind == Command::Kind::Activate;
    if (activated) {
        play(game, Step::activation());
    }
    record.start(game, activated);
    for (const ScriptLine& line : script) {
        const Command& command = line.command;
        try {
            switch (command.kind) {
            case Command::Kind::Activate: // at the start again: only the first builds anything
                play(game, Step::activation());
                break;
            case Command::Kind::Dump:
                break;
            case Command::Kind::Tick:
                for (std::int64_t n = 0; n < command.count && !game.gameOver; ++n) {
                    if (record.lastTick() == longest) {
                        throw ScriptError{ScriptError::Kind::TooLong, std::to_string(longest),
                                          line.line};
                    }
                    play(game, Step::tick());
                    record.ticked(game);
                }
                break;
            case Command::Kind::Input:
                record.take(record.lastTick(), command.input, game);
                break;
            }
        } catch (const RunTimeError&) {
            return record; // the failing input is kept; a failing tick comes again when played
        }
        if (game.gameOver) {
            break;
        }
    }
    return record;
}

std::string stateLine(const Game& game) {
    std::string visible;
    for (Integer i = 0; i < game.shaX.Count(); ++i) {
        visible += game.shaX(i).Visible ? '1' : '0';
    }
    return "velY=" + std::to_string(game.velY) + " velX=" + std::to_string(game.velX) +
           " xPresa=" + std::to_string(game.xPresa) + " punti=" + std::to_string(game.punti) +
           " score=\"" + game.lblPunti.Caption + "\" ball=" + twipsText(game.shaP.Left) + "," +
           twipsText(game.shaP.Top) + " paddle=" + twipsText(game.shaB.Left) + "," +
           twipsText(game.shaB.Top) + " bricks=" + std::to_string(game.shaX.Count()) + ":" +
           visible + " over=" + (game.gameOver ? "1" : "0");
}

std::string commandLine(const Command& command) {
    switch (command.kind) {
    case Command::Kind::Activate:
        return "activate";
    case Command::Kind::Tick:
        return "tick " + std::to_string(command.count);
    case Command::Kind::Dump:
        return "dump";
    case Command::Kind::Input:
        break;
    }
    const Input& input = command.input;
    const char* name = "pick";
    switch (input.kind) {
    case Input::Kind::Down:
        name = "down";
        break;
    case Input::Kind::Move:
        name = "move";
        break;
    case Input::Kind::Up:
        name = "up";
        break;
    case Input::Kind::Pick:
        return "pick " + input.text;
    }
    return std::string(name) + " " + std::to_string(input.button) + " " + twipsText(input.x) + " " +
           twipsText(input.y);
}

std::string writeScript(const Record& record) {
    std::string script = record.activated() ? "activate\n" : "";
    std::int64_t ticks = 0;
    const auto tickTo = [&](std::int64_t tick) {
        if (tick > ticks) {
            script += commandLine({Command::Kind::Tick, tick - ticks, {}}) + "\n";
            ticks = tick;
        }
    };
    for (const TimedInput& timed : record.inputs()) {
        tickTo(timed.tick);
        script += commandLine({Command::Kind::Input, 1, timed.input}) + "\n";
    }
    tickTo(record.lastTick());
    if (const Input* failing = record.failingInput()) {
        script += commandLine({Command::Kind::Input, 1, *failing}) + "\n";
    }
    return script;
}

} // namespace velmora::ui
