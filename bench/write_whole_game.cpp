// SPDX-License-Identifier: MIT
// Writes the benchmarks' whole game (12,699 ticks, the pyramid cleared, then the fall) as a
// script for velmora-sim and the lab's "Apri una partita": bench/whole_game.txt.
//   ./build/release/bench/write_whole_game > bench/whole_game.txt
#include "script.h"
#include "whole_game.h"

#include <iostream>

int main() {
    std::cout << velmora::ui::writeScript(velmora::bench::recordedWholeGame());
    return 0;
}
