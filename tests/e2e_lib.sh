# SPDX-License-Identifier: MIT
# Shared by the end-to-end tests: a real window manager on the virtual X server, and ways
# to find windows and use them as a person would, with the real pointer and keyboard (XTEST).
# Sourced, not run; the caller runs under xvfb-run.

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts openbox and waits up to 30 s until it manages the screen; its process id is in $wm.
start_window_manager() {
    local log
    log=$(mktemp)
    openbox >"$log" 2>&1 &
    wm=$!
    for _ in $(seq 300); do
        # What xdotool needs to tell the active window.
        xprop -root _NET_SUPPORTED 2>/dev/null | grep -q _NET_ACTIVE_WINDOW && { rm -f "$log"; return 0; }
        kill -0 $wm 2>/dev/null || break
        sleep 0.1
    done
    cat "$log" >&2
    rm -f "$log"
    fail "the window manager did not start"
}

# Waits until `check` succeeds, for up to N tenths of a second.
wait_for() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
gone() { [ -z "$(visible "$1")" ]; }
game_title='^Velmora \('

# The client area's place on the screen: x y width height.
client() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'; }

# Clicks at a point of a window's client area, with the real pointer.
click_in() {
    local x y w h
    read -r x y w h < <(client "$1")
    xdotool mousemove --sync $((x + $2)) $((y + $3)) click 1
}

# Waits until the window $start is the active one.
expect_start_active() { expect_active "$start" "$1: the start window"; }

# The colour of a pixel of a window's client area, as rrggbb.
colour_at() {
    local x y w h
    read -r x y w h < <(client "$1")
    import -window root -crop "1x1+$((x + $2))+$((y + $3))" -depth 8 txt:- |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'A-F' 'a-f'
}
# Waits up to 5 s for a pixel to have a colour: a busy machine draws late.
expect_colour() { # window x y rrggbb what
    local seen
    for _ in $(seq 50); do
        seen=$(colour_at "$1" "$2" "$3")
        [ "$seen" = "$4" ] && return 0
        sleep 0.1
    done
    fail "$5 at ($2, $3) is #$seen, not #$4"
}

# Waits up to 5 s for the window $1 to be the active one; $2 says which it is.
expect_active() {
    wait_for 50 bash -c "[ \"\$(xdotool getactivewindow)\" = $1 ]" ||
        fail "$2 is not active (active: $(xdotool getactivewindow getwindowname))"
}

# Velmora.exe's tests run it under Wine (VELMORA_WINE, tools/wine64.sh by default), in a
# Wine session of their own on this virtual screen, ended before the screen goes: the
# session's helpers draw on the screen they started on.
wine=${VELMORA_WINE:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tools/wine64.sh}
# A Wine session of the test's own, on its screen. The 32-bit runner needs none: each of its
# programs runs with a server of its own, on the screen it is started on.
wine_session() {
    case $wine in
    */wine32.sh) ;;
    *) VELMORA_WINE=$wine "$(dirname "${BASH_SOURCE[0]}")/../tools/wine-session.sh" "$1" ;;
    esac
}
# Runs a Windows program in a Wine session of its own on this screen, which ends with it;
# returns the program's status.
run_in_wine_session() {
    local status=0
    wine_session start
    "$wine" "$@" || status=$?
    wine_session stop
    return $status
}
