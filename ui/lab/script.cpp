// SPDX-License-Identifier: MIT
#include "script.h"

#include "numbertext.h"

#include <algorithm>
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
    return ScriptError{kind, std::string(word), 0, 0};
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The line up to its comment: a '#' that begins a word, and the blanks before it.
std::string_view withoutComment(std::string_view line) {
    for (std::size_t at = 0; at < line.size(); ++at) {
        if (line[at] == '#' && (at == 0 || isBlank(line[at - 1]))) {
            line = line.substr(0, at);
            while (!line.empty() && isBlank(line.back())) {
                line.remove_suffix(1);
            }
            break;
        }
    }
    return line;
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

// Drops a leading '+', which is a sign only before a digit or a point: false for "+-1", "++1".
bool withoutPlus(std::string_view& word) {
    if (word.starts_with('+')) {
        word.remove_prefix(1);
        return !word.starts_with('-') && !word.starts_with('+');
    }
    return true;
}

// Reads a whole word as a number: std::errc{} for one, result_out_of_range for a number the
// type cannot hold, invalid_argument for anything else.
template <typename Number> std::errc readNumber(std::string_view word, Number& value) {
    if (!withoutPlus(word)) {
        return std::errc::invalid_argument;
    }
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (word.empty() || end != word.data() + word.size()) {
        return std::errc::invalid_argument;
    }
    return error;
}

#if !defined(__cpp_lib_to_chars)
// A C++ library whose from_chars reads no floating point (emscripten's): strtof reads what
// from_chars would, once the word is known to be a plain decimal number, and rounds the same.
template <> std::errc readNumber<float>(std::string_view word, float& value) {
    if (!withoutPlus(word)) { // as every other number reads it
        return std::errc::invalid_argument;
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
        return std::errc::invalid_argument;
    }
    errno = 0;
    value = std::strtof(std::string(word).c_str(), nullptr);
    if (errno == ERANGE && (value == 0.0f || std::isinf(value))) {
        return std::errc::result_out_of_range;
    }
    return {};
}
#endif

std::int64_t parseCount(std::string_view word) {
    long long count = 0;
    const std::errc error = readNumber(word, count);
    if (error == std::errc::result_out_of_range) {
        throw bad(ScriptError::Kind::NumberOutOfRange, word);
    }
    if (error != std::errc{}) {
        throw bad(ScriptError::Kind::NotAWholeNumber, word);
    }
    if (count < 1) {
        throw bad(ScriptError::Kind::TickCountBelowOne);
    }
    return count;
}

// A whole number in low..high, or `outOfRange` with the word `named`; a decimal is not one.
long long parseWhole(std::string_view word, long long low, long long high,
                     ScriptError::Kind outOfRange, std::string_view named) {
    long long value = 0;
    const std::errc error = readNumber(word, value);
    if (error != std::errc{} && error != std::errc::result_out_of_range) {
        throw bad(ScriptError::Kind::NotAWholeNumber, word);
    }
    if (error != std::errc{} || value < low || value > high) {
        throw bad(outOfRange, named);
    }
    return value;
}

// A button's value, or an Integer of the code: -32768..32767.
Integer parseInteger(std::string_view word, ScriptError::Kind outOfRange) {
    return static_cast<Integer>(parseWhole(word, std::numeric_limits<Integer>::min(),
                                           std::numeric_limits<Integer>::max(), outOfRange, word));
}

// A position in twips, read straight to single precision (no detour through double).
float parseTwips(std::string_view word) {
    float value = 0;
    const std::errc error = readNumber(word, value);
    if (error == std::errc::result_out_of_range) {
        throw bad(ScriptError::Kind::NumberOutOfRange, word);
    }
    if (error != std::errc{} || !std::isfinite(value)) {
        throw bad(ScriptError::Kind::NotADecimalNumber, word);
    }
    return value;
}

constexpr std::string_view brickBefore = "shaX(", brickAfter = ").Visible";

// NAME VALUE of "set": the name decides what the value must be.
Assignment parseAssignment(std::string_view name, std::string_view value) {
    using Variable = Assignment::Variable;
    Assignment assignment;
    const auto known = std::find(variableNames.begin(), variableNames.end(), name);
    if (known != variableNames.end()) {
        assignment.variable = static_cast<Variable>(known - variableNames.begin());
    } else if (name.size() > brickBefore.size() + brickAfter.size() &&
               name.starts_with(brickBefore) && name.ends_with(brickAfter)) {
        assignment.variable = Variable::shaXVisible;
        const std::string_view index =
            name.substr(brickBefore.size(), name.size() - brickBefore.size() - brickAfter.size());
        const long long brick = parseWhole(index, 0, brickCount - 1, ScriptError::Kind::NoSuchBrick,
                                           name); // no game has it
        assignment.brick = static_cast<Integer>(brick);
    } else {
        throw bad(ScriptError::Kind::UnknownName, name);
    }
    switch (assignment.variable) {
    case Variable::velY:
    case Variable::velX:
    case Variable::intervallo:
    case Variable::xPresa:
    case Variable::punti:
        assignment.whole = parseInteger(value, ScriptError::Kind::IntegerOutOfRange);
        break;
    case Variable::shaPLeft:
    case Variable::shaPTop:
    case Variable::shaBLeft:
    case Variable::shaBTop:
        // -0 is 0: a position is written, shown and recorded as the number it stands for.
        assignment.twips = parseTwips(value) + 0.0f;
        break;
    case Variable::shaXVisible:
        if (value != "True" && value != "False") {
            throw bad(ScriptError::Kind::NotTrueOrFalse, value);
        }
        assignment.visible = value == "True";
        break;
    }
    return assignment;
}

void expectWords(const std::vector<std::string_view>& words, std::size_t count) {
    if (words.size() < count) {
        throw bad(ScriptError::Kind::MissingWords, words[0]);
    }
    if (words.size() > count) {
        throw bad(ScriptError::Kind::ExtraWords, words[0]);
    }
}

// The length of the UTF-8 sequence at `at`, or 0 where none begins (RFC 3629: no overlong
// form, no surrogate, nothing past U+10FFFF).
std::size_t sequenceAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) {
        return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0u;
    };
    const unsigned lead = byte(0);
    const auto follows = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xbf) {
        return byte(i) >= low && byte(i) <= high;
    };
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xc2 && lead <= 0xdf) {
        return follows(1) ? 2 : 0;
    }
    if (lead >= 0xe0 && lead <= 0xef) {
        const unsigned low = lead == 0xe0 ? 0xa0 : 0x80;
        const unsigned high = lead == 0xed ? 0x9f : 0xbf;
        return follows(1, low, high) && follows(2) ? 3 : 0;
    }
    if (lead >= 0xf0 && lead <= 0xf4) {
        const unsigned low = lead == 0xf0 ? 0x90 : 0x80;
        const unsigned high = lead == 0xf4 ? 0x8f : 0xbf;
        return follows(1, low, high) && follows(2) && follows(3) ? 4 : 0;
    }
    return 0;
}

constexpr char hexDigits[] = "0123456789ABCDEF";

// Refuses a line that is not UTF-8 text, or holds a NUL.
void checkText(std::string_view line) {
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t length = sequenceAt(line, at);
        const auto column = static_cast<long>(at + 1);
        if (length == 0) {
            const auto code = static_cast<unsigned char>(line[at]);
            const char word[] = {'0', 'x', hexDigits[code / 16], hexDigits[code % 16], '\0'};
            throw ScriptError{ScriptError::Kind::NotUtf8, word, 0, column};
        }
        if (line[at] == '\0') {
            throw ScriptError{ScriptError::Kind::NulByte, {}, 0, column};
        }
        at += length;
    }
}

// A character a reader cannot see, or cannot tell from a blank: controls, the format
// characters, the spaces that are no ' ', the byte order mark, the variation selectors.
bool invisible(char32_t c) {
    return c < 0x20 || (c >= 0x7f && c <= 0xa0) || c == 0xad || c == 0x34f || c == 0x61c ||
           c == 0x115f || c == 0x1160 || c == 0x17b4 || c == 0x17b5 || c == 0x3164 || c == 0xffa0 ||
           (c >= 0x180b && c <= 0x180f) || (c >= 0x2000 && c <= 0x200f) ||
           (c >= 0x2028 && c <= 0x202f) || (c >= 0x205f && c <= 0x206f) || c == 0x3000 ||
           (c >= 0xfe00 && c <= 0xfe0f) || c == 0xfeff || (c >= 0xfff0 && c <= 0xfffb) ||
           (c >= 0xe0000 && c <= 0xe0fff);
}

// The word as written, for a message: each invisible character as "<U+FEFF>", and no more than
// 40 characters, then "…". The word is UTF-8 (checkText has read its line).
std::string shown(std::string_view word) {
    constexpr int longest = 40;
    std::string text;
    int characters = 0;
    for (std::size_t at = 0; at < word.size();) {
        if (characters++ == longest) {
            return text + "…";
        }
        const std::size_t length = std::max<std::size_t>(sequenceAt(word, at), 1);
        const auto byte = [&](std::size_t i) {
            return char32_t{static_cast<unsigned char>(word[at + i])};
        };
        char32_t c = length == 1 ? byte(0) : byte(0) & (0x7fu >> length);
        for (std::size_t i = 1; i < length; ++i) {
            c = c << 6 | (byte(i) & 0x3fu);
        }
        if (invisible(c)) {
            std::string digits;
            for (char32_t rest = c; rest != 0 || digits.size() < 4; rest >>= 4) {
                digits.insert(digits.begin(), hexDigits[rest & 0xf]);
            }
            text += "<U+" + digits + ">";
        } else {
            text += word.substr(at, length);
        }
        at += length;
    }
    return text;
}

std::string quoted(const std::string& word) {
    std::string text = "'";
    text += shown(word);
    return text += "'";
}

} // namespace

std::string ScriptError::reason() const {
    switch (kind) {
    case Kind::NotAWholeNumber:
        return quoted(word) + " is not a whole number";
    case Kind::TickCountBelowOne:
        return "tick count must be at least 1";
    case Kind::ButtonOutOfRange:
        return "button value " + shown(word) + " is out of range";
    case Kind::NotADecimalNumber:
        return quoted(word) + " is not a decimal number";
    case Kind::NumberOutOfRange:
        return quoted(word) + " is out of range";
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
    case Kind::NotUtf8:
        return "not UTF-8 text: byte " + word + " at column " + std::to_string(column);
    case Kind::Utf16:
        return "the script is UTF-16 text: save it as UTF-8";
    case Kind::NulByte:
        return "a NUL byte at column " + std::to_string(column) + ": a script is text";
    case Kind::LineTooLong:
        return "a line has at most " + word + " bytes";
    case Kind::UnknownName:
        return "unknown name " + quoted(word) +
               ": set velY, velX, intervallo, xPresa, punti, shaP.Left, shaP.Top, shaB.Left, "
               "shaB.Top or shaX(I).Visible";
    case Kind::IntegerOutOfRange:
        return quoted(word) + " is out of range: an Integer holds -32768 to 32767";
    case Kind::NoSuchBrick:
        return quoted(word) + " is no brick: the pyramid's are shaX(0) to shaX(56)";
    case Kind::NotTrueOrFalse:
        return quoted(word) + " is neither True nor False";
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
        return "il valore del pulsante " + shown(word) + " è fuori dai limiti";
    case Kind::NotADecimalNumber:
        return quoted(word) + " non è un numero decimale";
    case Kind::NumberOutOfRange:
        return quoted(word) + " è fuori dai limiti";
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
    case Kind::NotUtf8:
        return "testo non UTF-8: il byte " + word + " alla colonna " + std::to_string(column);
    case Kind::Utf16:
        return "lo script è testo UTF-16: salvalo come UTF-8";
    case Kind::NulByte:
        return "un byte NUL alla colonna " + std::to_string(column) + ": uno script è testo";
    case Kind::LineTooLong:
        return "una riga ha al massimo " + word + " byte";
    case Kind::UnknownName:
        return "nome sconosciuto " + quoted(word) +
               ": set cambia velY, velX, intervallo, xPresa, punti, shaP.Left, shaP.Top, "
               "shaB.Left, shaB.Top o shaX(I).Visible";
    case Kind::IntegerOutOfRange:
        return quoted(word) + " è fuori dai limiti: un Integer va da -32768 a 32767";
    case Kind::NoSuchBrick:
        return quoted(word) +
               " non è un mattone: quelli della piramide vanno da shaX(0) a shaX(56)";
    case Kind::NotTrueOrFalse:
        return quoted(word) + " non è né True né False";
    }
    return {};
}

std::optional<Command> parseLine(std::string_view line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos && line[first] == '#') {
        Command note;
        note.kind = Command::Kind::Note;
        note.note = line.substr(first + 1);
        return note;
    }
    line = withoutComment(line);
    const std::vector<std::string_view> words = splitWords(line);
    if (words.empty()) {
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
        const Integer button = parseInteger(words[1], ScriptError::Kind::ButtonOutOfRange);
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
        // The text is the rest of the line, blanks inside and after it included, up to a comment.
        command.kind = Command::Kind::Input;
        command.input = Input::pick(
            std::string(line.substr(static_cast<std::size_t>(words[1].data() - line.data()))));
    } else if (name == "set") {
        expectWords(words, 3);
        command.kind = Command::Kind::Input;
        command.input = Input::set(parseAssignment(words[1], words[2]));
    } else if (name == "dump") {
        expectWords(words, 1);
        command.kind = Command::Kind::Dump;
    } else {
        throw bad(ScriptError::Kind::UnknownCommand, name);
    }
    return command;
}

void ScriptReader::feed(std::string_view piece) {
    text_.erase(0, read_);
    read_ = 0;
    text_ += piece;
}

void ScriptReader::end() {
    ended_ = true;
}

std::optional<ScriptLine> ScriptReader::next() {
    static constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";
    while (true) {
        const std::string_view text = std::string_view(text_).substr(read_);
        if (!started_) {
            if (text.size() < byteOrderMark.size() && !ended_) {
                return std::nullopt; // too short yet to tell a byte order mark
            }
            started_ = true;
            if (text.starts_with(byteOrderMark)) {
                read_ += byteOrderMark.size();
                continue;
            }
            if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
                throw ScriptError{ScriptError::Kind::Utf16, {}, 1, 0};
            }
        }
        if (afterCr_ && !text.empty()) {
            afterCr_ = false;
            if (text.front() == '\n') { // "\r\n": one line end
                ++read_;
                continue;
            }
        }
        std::size_t end = text.find_first_of("\r\n", searched_);
        if (end == std::string_view::npos || end > longestLine) {
            if (std::min(text.size(), end) > longestLine) {
                throw ScriptError{ScriptError::Kind::LineTooLong, std::to_string(longestLine),
                                  line_ + 1, 0};
            }
            if (!ended_ || text.empty()) {
                searched_ = text.size();
                return std::nullopt; // the line has not ended yet, or there is none
            }
            end = text.size();
        }
        const std::string_view line = text.substr(0, end);
        read_ += std::min(end + 1, text.size());
        searched_ = 0;
        afterCr_ = end < text.size() && text[end] == '\r';
        ++line_;
        try {
            checkText(line);
            std::optional<Command> command = parseLine(line);
            if (!command) {
                continue;
            }
            const Command::Kind kind = command->kind;
            if (kind == Command::Kind::Activate && begun_) {
                throw bad(ScriptError::Kind::LateActivate);
            }
            begun_ = begun_ || kind == Command::Kind::Tick || kind == Command::Kind::Input;
            return ScriptLine{line_, std::move(*command)};
        } catch (ScriptError& error) {
            error.line = line_;
            throw;
        }
    }
}

Script parseScript(std::string_view text) {
    Script script;
    ScriptReader reader;
    reader.feed(text);
    reader.end();
    while (std::optional<ScriptLine> line = reader.next()) {
        script.push_back(std::move(*line));
    }
    return script;
}

Record playScript(const Script& script, std::int64_t longest) {
    Record record;
    Game game;
    game.Form_Load();
    const auto firstCommand =
        std::find_if(script.begin(), script.end(), [](const ScriptLine& line) {
            return line.command.kind != Command::Kind::Note;
        });
    const bool activated =
        firstCommand != script.end() && firstCommand->command.kind == Command::Kind::Activate;
    if (activated) {
        play(game, Step::activation());
    }
    record.start(game, activated);
    bool ended = false; // by game over or a run-time error: only the notes after it are read
    for (auto line = script.begin(); line != script.end(); ++line) {
        const Command& command = line->command;
        if (command.kind == Command::Kind::Note) {
            record.note(command.note, activated && line < firstCommand);
            continue;
        }
        if (ended) {
            continue;
        }
        try {
            switch (command.kind) {
            case Command::Kind::Activate: // at the start again: only the first builds anything
                play(game, Step::activation());
                break;
            case Command::Kind::Dump:
            case Command::Kind::Note:
                break;
            case Command::Kind::Tick:
                for (std::int64_t n = 0; n < command.count && !game.gameOver; ++n) {
                    if (record.lastTick() == longest) {
                        throw ScriptError{ScriptError::Kind::TooLong, std::to_string(longest),
                                          line->line, 0};
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
            ended = true; // the failing input is kept; a failing tick comes again when played
        }
        ended = ended || game.gameOver;
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
    case Command::Kind::Note:
        return "#" + command.note;
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
    case Input::Kind::Set:
        return "set " + nameOf(input.assignment) + " " + valueOf(input.assignment);
    }
    return std::string(name) + " " + std::to_string(input.button) + " " + twipsText(input.x) + " " +
           twipsText(input.y);
}

std::string nameOf(const Assignment& assignment) {
    if (assignment.variable == Assignment::Variable::shaXVisible) {
        return std::string(brickBefore) + std::to_string(assignment.brick) +
               std::string(brickAfter);
    }
    return std::string(variableNames[static_cast<std::size_t>(assignment.variable)]);
}

std::string valueOf(const Assignment& assignment) {
    using Variable = Assignment::Variable;
    switch (assignment.variable) {
    case Variable::shaPLeft:
    case Variable::shaPTop:
    case Variable::shaBLeft:
    case Variable::shaBTop:
        return twipsText(assignment.twips);
    case Variable::shaXVisible:
        return assignment.visible ? "True" : "False";
    case Variable::velY:
    case Variable::velX:
    case Variable::intervallo:
    case Variable::xPresa:
    case Variable::punti:
        break;
    }
    return std::to_string(assignment.whole);
}

std::string writeScript(const Record& record) {
    std::string script;
    std::int64_t ticks = 0;
    const auto tickTo = [&](std::int64_t tick) {
        if (tick > ticks) {
            script += commandLine({Command::Kind::Tick, tick - ticks, {}, {}}) + "\n";
            ticks = tick;
        }
    };
    // The notes that stand before the record's `inputs`-th input, at `tick` or before.
    const std::vector<Note>& notes = record.notes();
    auto note = notes.begin();
    const auto notesBefore = [&](std::int64_t tick, std::size_t inputs) {
        for (; note != notes.end() && note->tick <= tick && note->inputs <= inputs; ++note) {
            tickTo(note->tick);
            script += "#";
            script += note->text;
            script += "\n";
        }
    };
    notesBefore(-1, 0);
    script += record.activated() ? "activate\n" : "";
    const std::vector<TimedInput>& inputs = record.inputs();
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        notesBefore(inputs[i].tick, i);
        tickTo(inputs[i].tick);
        script += commandLine({Command::Kind::Input, 1, inputs[i].input, {}}) + "\n";
    }
    notesBefore(record.lastTick(), inputs.size());
    tickTo(record.lastTick());
    if (const Input* failing = record.failingInput()) {
        script += commandLine({Command::Kind::Input, 1, *failing, {}}) + "\n";
    }
    return script;
}

} // namespace velmora::ui
