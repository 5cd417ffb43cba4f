#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays a trace script through the simulator and compares what it prints, and its exit
# status, with the recorded trace beside the script (NAME.txt -> NAME.out).
# With --record, writes the recording instead.
set -u
sim=$1 script=$2 mode=${3:-}
expected=${script%.txt}.out
actual=$("$sim" < "$script" 2>&1; echo "exit $?")
if [ "$mode" = --record ]; then
    printf '%s\n' "$actual" > "$expected"
    exit 0
fi
diff -u "$expected" <(printf '%s\n' "$actual")
