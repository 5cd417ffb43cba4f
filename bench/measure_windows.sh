#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Measures Velmora.exe (64-bit) under Wine, on a virtual X server with a window manager
# (openbox), beside bench/bare_window.cpp, a bare window that moves a disc 64 times a second:
#   - CPU: the program's own Wine process (the wine64 loader, Velmora.exe inside it) and the
#     prefix's wineserver, user and system time from /proc, over the play of games left
#     alone, from each game window's map to its "Game Over !" box's map; then the same two
#     for the bare window over the same wall time. Wine's helper processes of the prefix
#     (explorer.exe, services.exe, ...) and the X server are not counted: they are shown
#     apart;
#   - the tick rate: a game left alone ends on a tick the simulator names, so the time from
#     the game window's map to the "Game Over !" box's map gives ticks a second.
# Each game starts with Enter on "GIOCA" and its message goes with Enter. Numbers for the
# README: nothing here passes or fails.
# Usage: bench/measure_windows.sh [GAMES]   (default 8, about a minute and a half in all),
# after make windows; make measure-windows runs both.
set -euo pipefail
if [ -z "${VELMORA_IN_XVFB:-}" ]; then
    VELMORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
cd "$(dirname "$0")/.."
games=${1:-8}
build=build/windows-x64
app=${VELMORA_EXE:-$build/ui/win32/Velmora.exe} # another build of it, to compare
bare_window=$build/bench/bare_window.exe
export WINEPREFIX=$PWD/build/wineprefix
export VELMORA_WINEPREFIX=$WINEPREFIX
cmake --build --preset windows-x64 --target bare_window >/dev/null
tools/wine64.sh # the prefix, made once
# shellcheck source=tests/e2e_lib.sh
source tests/e2e_lib.sh
start_window_manager

# The tick on which a game left alone ends.
last_tick=$({ echo activate; yes tick | head -n 5000; } | tools/wine64.sh "$build/tools/velmora-sim.exe" |
    grep -n 'over=1' | cut -d: -f1 || true)
last_tick=$((last_tick - 2)) # the state lines of the loaded game and of the activation
/usr/lib/wine/wineserver -w  # each program below starts with a wineserver of its own

# Every top-level window the X server maps (openbox's frame around it), with the time it was
# seen, one line each on descriptor 3: read as they come, with no polling.
maps=$(mktemp -u)
mkfifo "$maps"
stdbuf -oL xev -root -event substructure 2>/dev/null | while IFS= read -r line; do
    case $line in
    MapNotify*) seen=$EPOCHREALTIME ;;
    *"override NO"*) [ -n "${seen:-}" ] && echo "$seen ${line##*window }" | cut -d, -f1; seen= ;;
    esac
done >"$maps" &
watcher=$!
exec 3<"$maps"
rm "$maps"
pid=
server=()
helpers=()
trap 'kill $pid $watcher $wm 2>/dev/null || true; /usr/lib/wine/wineserver -k 2>/dev/null || true' EXIT

# The prefix's processes besides the program's own (started as $pid): the wineserver and
# Wine's helpers, found again before each measurement.
find_processes() {
    local dir
    server=()
    helpers=()
    for dir in /proc/[0-9]*; do
        [ "${dir#/proc/}" != "$pid" ] || continue
        tr '\0' '\n' 2>/dev/null <"$dir/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        if [[ $(readlink "$dir/exe") == */wineserver* ]]; then
            server+=("$dir")
        else
            helpers+=("$dir")
        fi
    done
}
x_server=/proc/$(pgrep -f "^Xvfb $DISPLAY " | head -n 1)
# The time, then clock ticks of user and system time: the program, the wineserver, the
# helpers and the X server. Builtins only, so that reading takes no time to speak of.
ticks_of() {
    local dir line total=0
    for dir in "$@"; do
        read -r line <"$dir/stat"
        read -r -a fields <<<"${line##*) }"
        total=$((total + fields[11] + fields[12]))
    done
    echo "$total"
}
cpu_ticks() {
    echo "$EPOCHREALTIME $(ticks_of "/proc/$pid") $(ticks_of "${server[@]}")" \
        "$(ticks_of "${helpers[@]}") $(ticks_of "$x_server")"
}

# Adds what was used between two readings of cpu_ticks to the array named: seconds, then
# clock ticks of each kind of process.
add_span() {
    local -n sums=$1
    local -a from to
    read -r -a from <<<"$2"
    read -r -a to <<<"$3"
    sums[0]=$(echo "${sums[0]} + ${to[0]} - ${from[0]}" | bc -l)
    for i in 1 2 3 4; do sums[i]=$((sums[i] + to[i] - from[i])); done
}

# Velmora.exe: the games, each started with Enter on the focused "GIOCA".
tools/wine64.sh "$app" &
pid=$!
read -r -u 3 _ _ # the start window
start=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
played=0
total_ticks=0
velmora=(0 0 0 0 0)
moving=(0 0 0 0 0) # the same, from half a second after each map: the window shown
for _ in $(seq "$games"); do
    wait_for 50 bash -c "[ \"\$(xdotool getactivewindow)\" = $start ]" ||
        fail "the start window is not active"
    find_processes
    xdotool key Return
    read -r -u 3 game_shown _
    before=$(cpu_ticks)
    sleep 0.5
    moving_from=$(cpu_ticks)
    read -r -u 3 over_shown _
    after=$(cpu_ticks)
    add_span velmora "$before" "$after"
    add_span moving "$moving_from" "$after"
    played=$(echo "$played + $over_shown - $game_shown" | bc -l)
    total_ticks=$((total_ticks + last_tick))
    wait_for 50 bash -c "xdotool getactivewindow getwindowname | grep -qx Velmora &&
        [ \"\$(xdotool getactivewindow)\" != $start ]" || fail "the message box is not active"
    xdotool key Return # OK
    wait_for 50 gone "$game_title" || fail "the game window stayed after Game Over"
done
wait_for 50 bash -c "[ \"\$(xdotool getactivewindow)\" = $start ]" || fail "no start window"
click_in "$start" 364 204 # Fine
wait "$pid"
/usr/lib/wine/wineserver -w

# The bare window, for the same wall time, from half a second after its map.
tools/wine64.sh "$bare_window" &
pid=$!
read -r -u 3 _ _
sleep 0.5
find_processes
bare=(0 0 0 0 0)
before=$(cpu_ticks)
sleep "${velmora[0]}"
add_span bare "$before" "$(cpu_ticks)"
kill "$pid"
/usr/lib/wine/wineserver -k

hz=$(getconf CLK_TCK)
share() { echo "100 * $1 / $hz / $2" | bc -l; } # clock ticks over seconds: % of one core
report() { # name, then what add_span summed
    printf '%-12s %5.1f%% of one core (program %.1f%%, wineserver %.1f%%) over %.1f s;' \
        "$1" "$(share "($3 + $4)" "$2")" "$(share "$3" "$2")" "$(share "$4" "$2")" "$2"
    printf ' apart: helpers %.1f%%, X server %.1f%%\n' "$(share "$5" "$2")" "$(share "$6" "$2")"
}
printf 'tick rate: %.2f ticks a second (%d games, %d ticks in %.2f s)\n' \
    "$(echo "$total_ticks / $played" | bc -l)" "$games" "$total_ticks" "$played"
echo "CPU of the program's own Wine process and the wineserver:"
report Velmora.exe "${velmora[@]}"
report "bare window" "${bare[@]}"
rate() { local -n spans=$1; echo "(${spans[1]} + ${spans[2]}) / ${spans[0]}"; }
printf 'Velmora.exe / bare window: %.2f\n' "$(echo "($(rate velmora)) / ($(rate bare))" | bc -l)"
echo "From half a second after each map, when the window has been drawn whole:"
report Velmora.exe "${moving[@]}"
printf 'Velmora.exe / bare window: %.2f\n' "$(echo "($(rate moving)) / ($(rate bare))" | bc -l)"
