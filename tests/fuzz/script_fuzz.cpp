// SPDX-License-Identifier: MIT
// The script reader under libFuzzer: whatever the bytes, it reads a script or refuses it with
// a ScriptError and nothing else; read whole or in two pieces, it reads the same; a refusal's
// message is short, printable UTF-8; and a script that reads, played and written, reads again
// as the same game and writes to the same text.
#include "script.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace {

using namespace velmora::ui;

// Long enough for a few bounces; short enough for many runs a second.
constexpr std::int64_t longest = 4000;

void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "script_fuzz: it should hold: %s\n", what);
        std::abort(); // libFuzzer keeps the input that broke it
    }
}

// What a reading came to: the script, or where and why it was refused.
using Reading = std::variant<Script, ScriptError>;

Reading readInPieces(std::string_view text, std::size_t cut) {
    ScriptReader reader;
    Script script;
    try {
        reader.feed(text.substr(0, cut));
        while (std::optional<ScriptLine> line = reader.next()) {
            script.push_back(std::move(*line));
        }
        reader.feed(text.substr(cut));
        reader.end();
        while (std::optional<ScriptLine> line = reader.next()) {
            script.push_back(std::move(*line));
        }
    } catch (const ScriptError& error) {
        return error;
    }
    return script;
}

std::string linesOf(const Script& script) {
    std::string lines;
    for (const ScriptLine& line : script) {
        lines += std::to_string(line.line) + " " + commandLine(line.command) + "\n";
    }
    return lines;
}

// Short printable UTF-8: no control byte, and what the reader takes for text.
bool printable(const std::string& message) {
    for (const char c : message) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            return false;
        }
    }
    try {
        parseScript(message);
    } catch (const ScriptError& error) {
        return message.size() <= 512 && error.kind != ScriptError::Kind::NotUtf8 &&
               error.kind != ScriptError::Kind::Utf16;
    }
    return message.size() <= 512;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Reading whole;
    try {
        whole = parseScript(text);
    } catch (const ScriptError& error) {
        whole = error;
    }
    const Reading pieces = readInPieces(text, size == 0 ? 0 : data[0] % (size + 1));
    if (const auto* error = std::get_if<ScriptError>(&whole)) {
        const auto* same = std::get_if<ScriptError>(&pieces);
        require(same && same->kind == error->kind && same->line == error->line &&
                    same->reason() == error->reason(),
                "refused alike, whole and in pieces");
        require(error->line >= 1, "a refusal names its line");
        require(printable(error->reason()) && printable(error->reasonInItalian()),
                "a refusal's message is short and printable");
        return 0;
    }
    const Script& script = std::get<Script>(whole);
    require(std::holds_alternative<Script>(pieces) &&
                linesOf(std::get<Script>(pieces)) == linesOf(script),
            "read alike, whole and in pieces");
    Record record;
    try {
        record = playScript(script, longest);
    } catch (const ScriptError& error) {
        require(error.kind == ScriptError::Kind::TooLong, "only a long game is refused in play");
        return 0;
    }
    const std::string written = writeScript(record);
    Record again;
    try {
        again = playScript(parseScript(written), longest);
    } catch (const ScriptError&) {
        require(false, "a written script reads and plays");
    }
    require(writeScript(again) == written, "written again, the same text");
    require(again.lastTick() == record.lastTick() &&
                stateLine(again.at(again.lastTick())) == stateLine(record.at(record.lastTick())),
            "the same game");
    return 0;
}
