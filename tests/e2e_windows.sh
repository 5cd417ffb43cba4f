#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Velmora.exe (64-bit) under Wine, on a virtual X server with a real window manager
# (openbox), used as a person would, with real clicks and keys (XTEST): the start window and
# "GIOCA"; a game left alone ends with "Game Over !" after about 4.1 s; Enter on the message
# brings back the start window with the keyboard; the playfield's colours; a paddle drag;
# minimise and restore with the ball still moving; "Chiudi"; every game window opening active;
# a game that ends minimised, after which the start window is back; Alt+F4 on the game; a pick
# of speed 20 from the list, which makes the game last past the time it would have ended;
# "Fine", with exit status 0. It runs in a Wine session of its own where the runner keeps one
# (VELMORA_WINE names the runner: tools/wine64.sh by default, or tools/wine32.sh for the
# 32-bit program), and waits for each state it checks. A busy machine, or an emulator, can
# only make a game last longer: only its least time is checked.
#   tests/e2e_windows.sh build/windows-x64/ui/win32/Velmora.exe
set -euo pipefail
if [ -z "${VELMORA_IN_XVFB:-}" ]; then
    VELMORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

exe=$1
here=$(dirname "$0")
# shellcheck source=tests/e2e_lib.sh
source "$here/e2e_lib.sh"
start_window_manager
wine_session start
"$wine" "$exe" &
pid=$!
trap 'kill $pid $wm 2>/dev/null || true; wine_session stop' EXIT

# A picture of the playfield, to tell whether anything moved.
playfield_shot() {
    local x y w h
    read -r x y w h < <(client "$1")
    import -window root -crop "657x553+$((x + 8))+$((y + 8))" -depth 8 rgb:- | md5sum
}
now_ms() { date +%s%3N; }
open_game() {
    wait_for 100 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '$game_title')\" ]" ||
        fail "$1 started no game"
    game=$(visible "$game_title")
    opened=$(now_ms)
    # The window manager's active window, whose title bar is lit and which Alt+F4 closes.
    expect_active "$game" "$1: the game window"
}
box_seen() { xdotool search --onlyvisible --name '^Velmora$' | grep -vx "$start" >/dev/null; }
# The "Game Over !" box, once it has the keyboard.
box_active() {
    local box
    box=$(xdotool search --onlyvisible --name '^Velmora$' | grep -vx "$start" | head -n 1)
    expect_active "$box" "$1: the message box"
}
# Waits up to 5 s for a part of the screen (WxH+X+Y) to change from the picture $2 of it.
region() { import -window root -crop "$1" -depth 8 rgb:- | md5sum; }
changed() { [ "$(region "$1")" != "$2" ]; }
# Opens the speed box's list with its arrow, and waits until it is drawn (below the box).
open_speed_list() {
    local x y before
    read -r x y _ _ < <(client "$game")
    before=$(region "120x120+$((x + 80))+$((y + 570))")
    click_in "$game" 152 578
    wait_for 50 changed "120x120+$((x + 80))+$((y + 570))" "$before" || fail "the speed list did not open"
}
shown() { xwininfo -id "$1" | grep -q IsViewable; }
hidden() { xwininfo -id "$1" | grep -q IsUnMapped; }

start=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
expect_start_active "at start"
read -r _ _ width height < <(client "$start")
[ "$width" -eq 420 ] && [ "$height" -eq 242 ] || fail "the start window is $width x $height"
echo "start window: 420 x 242, active"

# GIOCA with the real pointer; the game is left alone.
click_in "$start" 59 40
open_game "a click on GIOCA"
# A game left alone ends on tick 265, about 4.1 s in; a busy machine can only make it later,
# so only the least time is checked (the measured times are in the README).
wait_for 300 box_seen || fail "the game never ended"
took=$(($(now_ms) - opened))
[ "$took" -ge 3500 ] || fail "the game ended after $took ms, before 4100"
box=$(xdotool search --onlyvisible --name '^Velmora$' | grep -vx "$start" | head -n 1)
read -r _ _ box_width _ < <(client "$box")
[ "$box_width" -ge 200 ] || fail "the message box is $box_width px wide: its title does not fit"
echo "\"Game Over !\" after $took ms, $box_width px wide"
box_active "after the game"
xdotool key Return
wait_for 30 gone "$game_title" || fail "the game window stayed after Game Over"
expect_start_active "after Game Over"
echo "Enter on the message: the start window has the keyboard again"

# Enter on the focused GIOCA: colours, a drag, minimise and restore, then Chiudi.
xdotool key Return
open_game "Enter on GIOCA"
expect_colour "$game" 48 88 c0ffff "brick 0"
expect_colour "$game" 300 400 ffffff "the playfield"
expect_colour "$game" 528 524 c0ffc0 "the paddle"
read -r x y _ _ < <(client "$game")
xdotool mousemove --sync $((x + 528)) $((y + 524)) mousedown 1
xdotool mousemove --sync $((x + 548)) $((y + 524)) mousemove --sync $((x + 568)) $((y + 524))
xdotool mouseup 1
expect_colour "$game" 495 524 ffffff "where the paddle was"
expect_colour "$game" 600 524 c0ffc0 "the dragged paddle"
echo "colours as designed; the paddle follows a drag"
xdotool windowminimize --sync "$game"
sleep 0.5
xdotool windowactivate --sync "$game"
wait_for 50 shown "$game" || fail "the restored game window is not shown"
before=$(playfield_shot "$game")
moved() {
    local now
    now=$(playfield_shot "$game") && [ "$now" != "$before" ]
}
wait_for 50 moved || fail "after minimise and restore the ball stands still"
echo "minimised and restored: the ball still moves"
# The playfield's outline (window-text black), whole on its four sides while the ball moves,
# once the restored window is drawn again.
outline() { # its 2 x 553 + 2 x 657 pixels, one a line
    local x y
    read -r x y _ _ < <(client "$game")
    for crop in 1x553+8+8 1x553+664+8 657x1+8+8 657x1+8+560; do
        import -window root -crop "${crop%%+*}+$((x + $(cut -d+ -f2 <<<"$crop")))+$((y + ${crop##*+}))" \
            -depth 8 txt:- | sed 1d
    done
}
whole() {
    local pixels
    pixels=$(outline)
    [ "$(wc -l <<<"$pixels")" -eq 2420 ] && ! grep -qv '#000000' <<<"$pixels"
}
wait_for 50 whole || fail "$(outline | grep -vc '#000000') of the playfield's outline's pixels are not black"
echo "the playfield's outline is whole"
click_in "$game" 632 580 # Chiudi
wait_for 30 gone "$game_title" || fail "Chiudi did not close the game window"
expect_start_active "after Chiudi"
echo "Chiudi closes the game"

# The window manager minimises the start window with the game window; after a game that ended
# minimised and its message, the start window is back, active, with GIOCA focused.
xdotool key Return
open_game "Enter on GIOCA"
xdotool windowminimize --sync "$game"
wait_for 20 hidden "$start" || fail "the start window stayed shown"
wait_for 300 box_seen || fail "the minimised game never ended"
box_active "after the minimised game"
xdotool key Return
wait_for 20 shown "$start" || fail "after a game that ended minimised the start window is hidden"
expect_start_active "after a game that ended minimised"
xdotool key Return
open_game "Enter after a game that ended minimised"
echo "a game that ends minimised brings back the start window, with GIOCA focused"
xdotool key alt+F4
wait_for 30 gone "$game_title" || fail "Alt+F4 did not close the game window"
expect_start_active "after Alt+F4"
echo "every game window opens active; Alt+F4 closes it"

# Speed 20, picked from the open list: the ball falls a third as fast, so the game, which
# alone ends on tick 265 (4.1 s), is still on at 5.5 s.
xdotool key Return
open_game "Enter on GIOCA"
open_speed_list
xdotool key Up Up Return # from 60 to 20
while [ $(($(now_ms) - opened)) -lt 5500 ]; do sleep 0.1; done
box_seen && fail "the game at speed 20 ended as soon as one at speed 60"
xdotool key Escape
wait_for 30 gone "$game_title" || fail "Escape did not close the game window"
echo "speed 20 picked from the list: the game goes on"

expect_start_active "before Fine"
click_in "$start" 364 204 # Fine
status=0
wait $pid || status=$?
trap - EXIT
kill $wm 2>/dev/null || true
wine_session stop
echo "exit status $status"
[ "$status" -eq 0 ]
