#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the real program under a virtual X server and uses it as a person would:
# "GIOCA", the game window appears; "Chiudi", it goes; "Fine", the program ends with 0.
set -euo pipefail
if [ -z "${VELMORA_IN_XVFB:-}" ]; then
    VELMORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

app=$1
"$app" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

# Clicks at a point given in the window's own pixels.
click() { xdotool mousemove --sync --window "$1" "$2" "$3" click 1; }

start=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
click "$start" 60 45                                   # GIOCA
game=$(xdotool search --sync --onlyvisible --name '^Velmora \(' | head -n 1)
echo "game window shown: $(xdotool getwindowname "$game")"
click "$game" 632 580                                  # Chiudi
for _ in $(seq 50); do
    xdotool search --onlyvisible --name '^Velmora \(' >/dev/null || break
    sleep 0.1
done
if xdotool search --onlyvisible --name '^Velmora \(' >/dev/null; then
    echo "the game window did not close" >&2
    exit 1
fi
click "$start" 364 204                                 # Fine
status=0
wait $pid || status=$?
trap - EXIT
echo "exit status $status"
[ "$status" -eq 0 ]
