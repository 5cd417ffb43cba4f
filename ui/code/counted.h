// SPDX-License-Identifier: MIT
// What the counted copy of the rules calls on the lines it runs (count_lines.cpp writes the
// calls in): a count for each line of each file of game/*.cpp, read by code.h's linesRun().
#pragma once

#include "code.h"

#include <cstdint>
#include <type_traits>

namespace velmora::code {

// One count per line of each file, by its index in sources(); [file][0] is not a line.
extern std::uint32_t* const lineCounts[];

// Constant-evaluated, as a constexpr function of the rules may be, it counts nothing.
constexpr void ran(int file, int line) {
    if (!std::is_constant_evaluated()) {
        ++lineCounts[file][line];
    }
}

// `Ran{file, line} ->* operand` counts the line when the operand is evaluated, and is the
// operand: it binds tighter than any comparison or logic around it.
struct Ran {
    int file;
    int line;
};
template <typename T> constexpr T operator->*(Ran at, T value) {
    ran(at.file, at.line);
    return value;
}

// Counts a function's closing line on every way out of it, a run-time error's included.
struct RanOnLeaving {
    int file;
    int line;
    ~RanOnLeaving() { ran(file, line); }
};

} // namespace velmora::code
