#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures the running game from outside, under a virtual X server:
#   - start-up: from launch to the start window being mapped;
#   - the tick rate: games left alone end on a tick the simulator names exactly, so the
#     time from the game window's appearance to the "Game Over !" box gives ticks a second;
#   - the CPU the process uses while games play, and its peak resident memory.
# Usage: bench/measure_game.sh [GAMES]   (default 15, about a minute of play)
set -euo pipefail
if [ -z "${VELMORA_IN_XVFB:-}" ]; then
    VELMORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
cd "$(dirname "$0")/.."
games=${1:-15}
app=build/release/ui/qt/velmora
sim=build/release/tools/velmora-sim

# The tick on which a game left alone ends.
last_tick=$({ echo activate; yes tick | head -n 5000; } | "$sim" | grep -n 'over=1' | cut -d: -f1 || true)
last_tick=$((last_tick - 2)) # the state lines of the loaded game and of the activation

# Every top-level window the X server maps, with the time it was seen.
maps=$(mktemp)
stdbuf -oL xev -root -event substructure 2>/dev/null | while IFS= read -r line; do
    case $line in
    MapNotify*) seen=$EPOCHREALTIME ;;
    *"override NO"*) [ -n "${seen:-}" ] && echo "$seen ${line##*window }" | cut -d, -f1 >>"$maps"; seen= ;;
    esac
done &
watcher=$!
sleep 0.5

# Waits for the N-th mapped window and prints its time and id.
wait_for_map() {
    until [ "$(wc -l <"$maps")" -ge "$1" ]; do sleep 0.002; done
    sed -n "$1p" "$maps"
}

launched=$EPOCHREALTIME
"$app" &
pid=$!
trap 'kill $pid $watcher 2>/dev/null || true; rm -f "$maps"' EXIT
read -r shown start < <(wait_for_map 1)
startup_ms=$(echo "($shown - $launched) * 1000" | bc -l)

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
cpu_before=$(cpu_ticks)
play_started=$EPOCHREALTIME
played=0
total_ticks=0
maps_seen=1
for _ in $(seq "$games"); do
    xdotool mousemove --sync --window "$start" 60 45 click 1       # GIOCA
    read -r game_shown _ < <(wait_for_map $((maps_seen + 1)))
    read -r over_shown box < <(wait_for_map $((maps_seen + 2)))
    maps_seen=$((maps_seen + 2))
    played=$(echo "$played + $over_shown - $game_shown" | bc -l)
    total_ticks=$((total_ticks + last_tick))
    xdotool mousemove --sync --window "$box" 20 20 key Return          # OK
    while xdotool search --onlyvisible --name '^Velmora \(' >/dev/null; do sleep 0.01; done
done
play_ended=$EPOCHREALTIME
cpu_after=$(cpu_ticks)
peak_kb=$(awk '/VmHWM/ { print $2 }' "/proc/$pid/status")
xdotool mousemove --sync --window "$start" 364 204 click 1          # Fine
wait $pid

hz=$(getconf CLK_TCK)
wall=$(echo "$play_ended - $play_started" | bc -l)
printf 'start-up to start window shown: %.0f ms\n' "$startup_ms"
printf 'tick rate: %.2f ticks a second (%d games, %d ticks in %.2f s)\n' \
    "$(echo "$total_ticks / $played" | bc -l)" "$games" "$total_ticks" "$played"
printf 'CPU while playing: %.1f%% of one core (%.1f s of play)\n' \
    "$(echo "100 * ($cpu_after - $cpu_before) / $hz / $wall" | bc -l)" "$wall"
printf 'peak resident memory: %.1f MB\n' "$(echo "$peak_kb / 1024" | bc -l)"
