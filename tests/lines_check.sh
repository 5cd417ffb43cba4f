#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Holds `velmora-sim --lines` to GCC's coverage counts: for each golden trace and for a few
# random games, the lines it prints after each command must be the lines gcov counts as run
# by that command (lines_gcov, the rules built with --coverage -O0).
#   lines_check.sh VELMORA_SIM LINES_GCOV OBJECTS SOURCES
set -u
sim=$1 gcov_lines=$2 objects=$3 sources=$4 traces=$4/tests/traces
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A random game: activated or not, ticks of every length, drags on and off the paddle, picks
# of odd texts, and changes of the values that reach the walls, the floor, the ceiling, the
# bricks and the run-time errors.
random_game() {
    awk -v seed="$1" 'BEGIN {
        srand(seed)
        if (rand() < 0.8) print "activate"
        split("20|60|200|-40|1e400|1e-400|abc|0|1.5e2| 80", picks, "|")
        split("velX velY shaP.Left shaP.Top shaB.Left punti", names, " ")
        split("-30 0 30 -200 200 10 9700 32767 -32768 1200", values, " ")
        for (n = 0; n < 150; n++) {
            r = rand()
            if (r < 0.45) print "tick " (rand() < 0.6 ? 1 : int(rand() * 300) + 1)
            else if (r < 0.55) print "pick " picks[int(rand() * 10) + 1]
            else if (r < 0.7) print "set " names[int(rand() * 6) + 1] " " values[int(rand() * 10) + 1]
            else if (r < 0.75) print "set shaX(" int(rand() * 57) ").Visible " (rand() < 0.5 ? "True" : "False")
            else {
                split("down move up", kinds, " ")
                print kinds[int(rand() * 3) + 1] " " (rand() < 0.9 ? 1 : 2) " " int(6500 + rand() * 3000) " " int(7400 + rand() * 600)
            }
        }
    }'
}

failed=0
scripts=()
for script in "$traces"/*.txt; do
    scripts+=("$script")
done
for seed in $(seq 1 30); do
    random_game "$seed" > "$work/random_$seed.txt"
    scripts+=("$work/random_$seed.txt")
done
for script in "${scripts[@]}"; do
    "$sim" --lines < "$script" 2>/dev/null | grep -v '^brick ' > "$work/sim.out"
    "$gcov_lines" "$objects" "$sources" < "$script" 2>/dev/null > "$work/gcov.out"
    commands=$(grep -vc '^  > ' "$work/gcov.out")
    if ! diff -u "$work/gcov.out" "$work/sim.out" > "$work/diff"; then
        echo "FAIL $(basename "$script"): velmora-sim --lines (+) and gcov (-) differ"
        head -40 "$work/diff"
        failed=1
    else
        echo "ok   $(basename "$script"): $commands commands"
    fi
done
exit $failed
