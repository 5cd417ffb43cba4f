// SPDX-License-Identifier: MIT
// velmora-count-lines: run by the build on the rules' source, game/*.cpp. Writes to standard
// output either
//
//   count_lines table    < files   the text of every file, and its conditions and functions,
//                                  as tables in C++ (code.h); `files` is each file's path on a
//                                  line that starts with '\x01', then its text
//   count_lines counted F < file   the file again, line for line, with a count of each line
//                                  that runs code (counted.h); F is its index in the table
//
// A line counts when it runs as GCC's coverage counts it at -O0 (gcov), and the test
// lines_check holds the two to each other. Line by line, that is:
//   - a function's first line, on entry; its closing brace when the function returns
//     without a `return` of its own, or on every way out when it has a local that is
//     destroyed there (a std::string or std::vector);
//   - a statement's first line, when it starts, unless the line ends in `=` (the value's
//     first line counts instead); `case` labels, when jumped to; `else if` on its test;
//   - a statement's further lines: when it starts, unless the line before ends in `&&` or
//     `||` and this line has none of its own at that depth: then when the line's first call
//     runs (GCC puts a plain comparison's test on the operator's line), and never without one;
//   - a lambda's closing line, when the statement that makes it starts.
// Only what these files are written with is read: braces on the line they belong to, no
// block comments, a function's signature on one line.

#include <iostream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The line without its comment, and with the insides of its string and character literals
// blanked, so that braces, brackets and operators in them are not read as code.
std::string codeOf(std::string_view line) {
    std::string code;
    char quote = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quote != 0) {
            if (c == '\\') {
                code += "  ";
                ++i;
                continue;
            }
            code += c == quote ? c : ' ';
            quote = c == quote ? 0 : quote;
        } else if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            break;
        } else {
            code += c;
            quote = c == '"' || c == '\'' ? c : 0;
        }
    }
    while (!code.empty() && (code.back() == ' ' || code.back() == '\t')) {
        code.pop_back();
    }
    return code;
}

std::size_t indentOf(std::string_view code) {
    const std::size_t at = code.find_first_not_of(" \t");
    return at == std::string_view::npos ? code.size() : at;
}

// The parts, one after the other.
template <typename... Parts> std::string cat(const Parts&... parts) {
    std::string text;
    ((text += parts), ...);
    return text;
}

bool startsWith(std::string_view text, std::string_view start) {
    return text.substr(0, start.size()) == start;
}
bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Whether `code` has `&&` or `||` at paren depth `depth`, counted from `startDepth`.
bool hasLogicAt(std::string_view code, int startDepth, int depth) {
    int at = startDepth;
    for (std::size_t i = 0; i + 1 < code.size(); ++i) {
        if (code[i] == '(') {
            ++at;
        } else if (code[i] == ')') {
            --at;
        } else if (at == depth && ((code[i] == '&' && code[i + 1] == '&') ||
                                   (code[i] == '|' && code[i + 1] == '|'))) {
            return true;
        }
    }
    return false;
}

bool isNamePart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == ':';
}

// Where the first call on the line starts, with its qualified name (`std::min(`); npos if
// there is none.
std::size_t firstCall(std::string_view code) {
    for (std::size_t at = code.find('('); at != std::string_view::npos;
         at = code.find('(', at + 1)) {
        std::size_t start = at;
        while (start > 0 && isNamePart(code[start - 1])) {
            --start;
        }
        if (start < at) {
            return start;
        }
    }
    return std::string_view::npos;
}

struct Condition {
    int line;
    int whenTrue = 0;
};
struct Function {
    std::string name;
    int first;
    int last = 0;
};

// One file read: where each count goes, and what the table says of it.
struct Reading {
    std::map<int, std::map<std::size_t, std::string>> inserts; // line -> column -> text
    std::vector<Condition> conditions;
    std::vector<Function> functions;
};

class Reader {
  public:
    Reader(int file, const std::vector<std::string>& lines) : file_(file), lines_(lines) {}
    Reading read();

  private:
    // What a brace opened.
    enum class Scope { Namespace, Function, Lambda, Block };
    struct Open {
        Scope scope;
        int line;
        std::size_t bodyColumn = 0; // just inside the brace
        bool returns = false;       // a `return` of its own
        bool destroysLocal = false; // a local destroyed at its closing brace
        std::size_t function = 0;   // its place in functions
        int statementLine = 0;      // a lambda's: where the statement that makes it starts
        std::size_t statementColumn = 0;
    };

    std::string count(int line) const {
        return cat("velmora::code::ran(", std::to_string(file_), ", ", std::to_string(line), ")");
    }
    void insert(int line, std::size_t column, const std::string& text) {
        reading_.inserts[line][column] += text;
    }
    // A count of `line` where the statement being read starts.
    void countAtStatement(int line) {
        insert(statementLine_, statementColumn_,
               count(line) + (statementInCondition_ ? ", " : "; "));
        counted(line);
    }
    // The first line counted after a condition's opening brace runs when it is true.
    void counted(int line) {
        if (awaitingWhenTrue_) {
            reading_.conditions.back().whenTrue = line;
            awaitingWhenTrue_ = false;
        }
    }
    Open* innermost(Scope a, Scope b) {
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
            if (it->scope == a || it->scope == b) {
                return &*it;
            }
        }
        return nullptr;
    }
    bool inFunction() { return innermost(Scope::Function, Scope::Function) != nullptr; }
    void readStatement(int number, const std::string& code);
    void readBraces(int number, const std::string& code, bool function);
    void close(int number, std::size_t column);

    int file_;
    const std::vector<std::string>& lines_;
    Reading reading_;
    std::vector<Open> open_;
    std::string previous_; // the last line of code read in a function
    int parens_ = 0;       // paren depth at the end of it, within its statement
    int statementLine_ = 0;
    std::size_t statementColumn_ = 0;
    bool statementInCondition_ = false;
    bool conditionOpen_ = false; // a condition read, its opening brace not yet
    bool awaitingWhenTrue_ = false;
};

Reading Reader::read() {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const std::string code = codeOf(lines_[i]);
        const std::string_view text = std::string_view(code).substr(indentOf(code));
        if (text.empty() || text[0] == '#') {
            continue;
        }
        if (!inFunction()) {
            const bool function = text.find('(') != std::string_view::npos &&
                                  (endsWith(text, "{") || endsWith(text, "{}")) &&
                                  !startsWith(text, "namespace");
            if (function) {
                std::string name(text.substr(0, text.find('(')));
                name = name.substr(name.find_last_of(" :") + 1);
                reading_.functions.push_back({name, number});
                counted(number);
            }
            readBraces(number, code, function);
            previous_.clear();
            parens_ = 0;
            continue;
        }
        readStatement(number, code);
    }
    return reading_;
}

void Reader::readStatement(int number, const std::string& code) {
    const std::size_t indent = indentOf(code);
    const std::string_view text = std::string_view(code).substr(indent);
    const std::string_view before = previous_;
    const bool continues = !before.empty() && !endsWith(before, ";") && !endsWith(before, "{") &&
                           !endsWith(before, "}") && !endsWith(before, ":");
    if (continues) {
        // An operand after `&&` or `||` runs only when the operator needs it; any other line
        // of a statement runs with it.
        const bool logic = endsWith(before, "&&") || endsWith(before, "||");
        if (logic && !hasLogicAt(text, parens_, parens_)) {
            // GCC puts a plain comparison's test on the operator's line: the line runs when
            // its first call does, and a line with none never counts.
            const std::size_t call = firstCall(code);
            if (call != std::string::npos) {
                insert(number, call,
                       cat("velmora::code::Ran{", std::to_string(file_), ", ",
                           std::to_string(number), "} ->* "));
                counted(number);
            }
        } else {
            countAtStatement(number);
        }
    } else {
        statementLine_ = number;
        statementColumn_ = indent;
        statementInCondition_ = false;
        if (startsWith(text, "}")) {
            const std::size_t elseIf = text.find("else if (");
            if (elseIf != std::string_view::npos) {
                // Counted on its test: first thing in the condition.
                statementColumn_ = indent + elseIf + std::string_view("else if (").size();
                statementInCondition_ = true;
                reading_.conditions.push_back({number});
                countAtStatement(number);
                conditionOpen_ = true;
            }
        } else if (startsWith(text, "case ") || startsWith(text, "default:")) {
            insert(number, indent + text.rfind(':') + 1, cat(" ", count(number), ";"));
            counted(number);
        } else {
            if (startsWith(text, "if (")) {
                reading_.conditions.push_back({number});
            }
            if (!endsWith(text, "=")) {
                countAtStatement(number);
            }
            conditionOpen_ = conditionOpen_ || startsWith(text, "if (");
            if (startsWith(text, "return")) {
                innermost(Scope::Function, Scope::Lambda)->returns = true;
            }
            if (startsWith(text, "std::string ") || startsWith(text, "const std::string ") ||
                startsWith(text, "std::vector<")) {
                innermost(Scope::Function, Scope::Function)->destroysLocal = true;
            }
        }
    }
    // The paren depth the next line starts at, within this statement.
    parens_ = continues ? parens_ : 0;
    for (const char c : text) {
        parens_ += c == '(' ? 1 : c == ')' ? -1 : 0;
    }
    if (conditionOpen_ && endsWith(text, "{")) {
        conditionOpen_ = false;
        awaitingWhenTrue_ = true;
    }
    previous_ = text;
    readBraces(number, code, false);
}

// Opens and closes the scopes of the braces on the line; `function` when the line's last
// brace opens a function's body.
void Reader::readBraces(int number, const std::string& code, bool function) {
    const std::size_t last = code.find_last_of('{');
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (code[i] == '{') {
            Scope scope = Scope::Block;
            if (startsWith(std::string_view(code).substr(indentOf(code)), "namespace")) {
                scope = Scope::Namespace;
            } else if (function && i == last) {
                scope = Scope::Function;
            } else if (i == last && code.find("](") != std::string::npos) {
                scope = Scope::Lambda;
            }
            Open open{scope, number, i + 1};
            open.statementLine = statementLine_;
            open.statementColumn = statementColumn_;
            if (scope == Scope::Function || scope == Scope::Lambda) {
                insert(number, i + 1, cat(" ", count(number), ";"));
                open.function = reading_.functions.size() - 1;
            }
            open_.push_back(open);
        } else if (code[i] == '}') {
            close(number, i);
        }
    }
}

void Reader::close(int number, std::size_t column) {
    const Open open = open_.back();
    open_.pop_back();
    if (open.scope == Scope::Lambda) {
        // Made by the statement that holds it.
        insert(open.statementLine, open.statementColumn, count(number) + "; ");
    } else if (open.scope == Scope::Function) {
        reading_.functions[open.function].last = number;
        if (open.line == number) {
            return; // a body on the line that names the function: counted on entry
        }
        if (open.destroysLocal) {
            // Its locals are destroyed on every way out, a run-time error's included.
            insert(open.line, open.bodyColumn,
                   cat(" velmora::code::RanOnLeaving counted{", std::to_string(file_), ", ",
                       std::to_string(number), "};"));
        } else if (!open.returns) {
            insert(number, column, count(number) + "; ");
        }
        previous_.clear();
    }
}

std::vector<std::string> linesOf(std::istream& in) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

void writeCounted(int file, const std::vector<std::string>& lines) {
    const Reading reading = Reader(file, lines).read();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string line = lines[i];
        const auto inserts = reading.inserts.find(static_cast<int>(i) + 1);
        if (inserts != reading.inserts.end()) {
            // From the right, so that each column still means the line as written.
            for (auto it = inserts->second.rbegin(); it != inserts->second.rend(); ++it) {
                line.insert(it->first, it->second);
            }
        }
        std::cout << line << '\n';
    }
}

std::string literal(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted + '"';
}

void writeTable(std::istream& in) {
    std::vector<std::string> paths;
    std::vector<std::vector<std::string>> files;
    for (std::string line : linesOf(in)) {
        if (!line.empty() && line[0] == '\x01') {
            paths.push_back(line.substr(1));
            files.emplace_back();
        } else if (!files.empty()) {
            files.back().push_back(line);
        }
    }
    std::cout << "// Written by velmora-count-lines from the rules' source: do not edit.\n"
                 "#include \"counted.h\"\n\nnamespace velmora::code {\n\nnamespace {\n\n";
    std::string conditions;
    std::string functions;
    for (std::size_t f = 0; f < files.size(); ++f) {
        std::cout << "constexpr std::string_view file" << f << "[] = {\n";
        for (const std::string& line : files[f]) {
            std::cout << "    " << literal(line) << ",\n";
        }
        std::cout << "};\n";
        const Reading reading = Reader(static_cast<int>(f), files[f]).read();
        for (const Condition& condition : reading.conditions) {
            conditions += cat("    {", std::to_string(f), ", ", std::to_string(condition.line),
                              ", ", std::to_string(condition.whenTrue), "},\n");
        }
        for (const Function& function : reading.functions) {
            functions +=
                cat("    {", literal(function.name), ", ", std::to_string(f), ", ",
                    std::to_string(function.first), ", ", std::to_string(function.last), "},\n");
        }
    }
    std::cout << "\nconstexpr SourceFile files[] = {\n";
    for (std::size_t f = 0; f < files.size(); ++f) {
        std::cout << "    {" << literal(paths[f]) << ", file" << f << "},\n";
    }
    std::cout << "};\nconstexpr Condition conditionTable[] = {\n"
              << conditions << "};\nconstexpr Function functionTable[] = {\n"
              << functions << "};\n\n";
    for (std::size_t f = 0; f < files.size(); ++f) {
        std::cout << "std::uint32_t counts" << f << "[" << files[f].size() + 1 << "];\n";
    }
    std::cout << "\n} // namespace\n\nstd::uint32_t* const lineCounts[] = {";
    for (std::size_t f = 0; f < files.size(); ++f) {
        std::cout << (f > 0 ? ", " : "") << "counts" << f;
    }
    std::cout << "};\n\n"
              << "std::span<const SourceFile> sources() {\n    return files;\n}\n"
              << "std::span<const Condition> conditions() {\n    return conditionTable;\n}\n"
              << "std::span<const Function> functions() {\n    return functionTable;\n}\n\n"
              << "} // namespace velmora::code\n";
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "table" && argc == 2) {
        writeTable(std::cin);
        return 0;
    }
    if (mode == "counted" && argc == 3) {
        writeCounted(std::stoi(argv[2]), linesOf(std::cin));
        return 0;
    }
    std::cerr << "usage: velmora-count-lines table < files\n"
                 "       velmora-count-lines counted FILE < file\n";
    return 2;
}
