#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Plays a trace script through the simulator and compares what it prints, and its exit
# status, with the recorded trace beside the script (NAME.txt -> NAME.out). With --explain,
# the simulator explains each command, and the trace is NAME.explain.out.
# With --record, writes the recording instead. VELMORA_RUN_WITH names a program that runs
# the simulator (an emulator such as qemu-i386, or wine), if it cannot run by itself.
set -u
sim=$1 script=$2
shift 2
explain='' record=''
for option in "$@"; do
    case $option in
    --explain) explain=--explain ;;
    --record) record=yes ;;
    *) echo "run_trace.sh: unknown option $option" >&2; exit 2 ;;
    esac
done
expected=${script%.txt}${explain:+.explain}.out
# shellcheck disable=SC2086 # the runner may be a command with its own words
actual=$(${VELMORA_RUN_WITH:-} "$sim" $explain < "$script" 2>&1 | tr -d '\r'; echo "exit ${PIPESTATUS[0]}")
if [ -n "$record" ]; then
    printf '%s\n' "$actual" > "$expected"
    exit 0
fi
diff -u "$expected" <(printf '%s\n' "$actual")
