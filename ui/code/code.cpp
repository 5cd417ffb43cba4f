// SPDX-License-Identifier: MIT
#include "code.h"

#include "counted.h"

#include <algorithm>

namespace velmora::code {

void forget() {
    for (std::size_t file = 0; file < sources().size(); ++file) {
        std::fill_n(lineCounts[file], sources()[file].lines.size() + 1, 0U);
    }
}

std::vector<LineRun> linesRun() {
    std::vector<LineRun> run;
    for (std::size_t file = 0; file < sources().size(); ++file) {
        for (std::size_t line = 1; line <= sources()[file].lines.size(); ++line) {
            if (lineCounts[file][line] > 0) {
                run.push_back({static_cast<std::uint8_t>(file), static_cast<std::uint16_t>(line),
                               lineCounts[file][line]});
            }
        }
    }
    return run;
}

} // namespace velmora::code
