#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The real program under a virtual X server and a real window manager (openbox), used as a
# person would, with real key presses and clicks (XTEST): both windows centred with their
# frames; Enter starts a game; a minimised and restored game still ends by itself; a held
# Enter on "Game Over !" starts nothing; a held Enter on "GIOCA" starts one game and a held
# Space on "Chiudi" ends it, nothing more; a game that ends while minimised brings the start
# window back; after every game the start window has the keyboard; "Fine" ends the program
# with status 0. Both cores are kept busy throughout, as held keys misbehave most on a
# busy machine.
set -euo pipefail
if [ -z "${VELMORA_IN_XVFB:-}" ]; then
    VELMORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

app=$1
busy=()
for _ in 1 2; do
    bash -c 'while :; do :; done' &
    busy+=($!)
done
# shellcheck source=tests/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_window_manager
"$app" &
pid=$!
trap 'kill $pid $wm "${busy[@]}" 2>/dev/null || true' EXIT

# The frame's extents: left right top bottom.
extents() { xprop -id "$1" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}'; }

# Twice the centre of the window $1 with its frame: x y.
centre() {
    local x y w h l r t b
    read -r x y w h < <(client "$1")
    read -r l r t b < <(extents "$1")
    echo $(((x - l) * 2 + w + l + r)) $(((y - t) * 2 + h + t + b))
}
centred() {
    local cx cy
    read -r cx cy < <(centre "$1")
    [ $((cx - 1024)) -ge -2 ] && [ $((cx - 1024)) -le 2 ] && [ $((cy - 768)) -ge -2 ] && [ $((cy - 768)) -le 2 ]
}
# Waits up to 5 s for the window, framed and placed, to be centred.
expect_centred() {
    local cx cy
    wait_for 50 centred "$1" || {
        read -r cx cy < <(centre "$1")
        fail "$2: frame centred at ($((cx / 2)), $((cy / 2))), not (512, 384)"
    }
    echo "$2: frame centred"
}
box() { xdotool search --onlyvisible --name '^Velmora$' | grep -vx "$start" | head -n 1; }
games() { xdotool search --onlyvisible --name "$game_title" 2>/dev/null | wc -l; }

start=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
wait_for 50 bash -c "xprop -id $start _NET_FRAME_EXTENTS | grep -q =" || fail "the start window has no frame"
expect_centred "$start" "start window"
expect_start_active "at start"

# Enter on "GIOCA"; minimise and restore the game; it still ends by itself in about 4 s.
xdotool key Return
wait_for 50 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '$game_title')\" ]" || fail "Enter started no game"
game=$(visible "$game_title")
expect_centred "$game" "game window"
xdotool windowminimize --sync "$game"
sleep 0.5 # minimised for a while
xdotool windowactivate --sync "$game"
echo "game window minimised and restored"
box_seen() { xdotool search --onlyvisible --name '^Velmora$' | grep -vx "$start" >/dev/null; }
no_box() { ! box_seen; }
list_open() { xdotool search --onlyvisible --class velmora | grep -vx -e "$start" -e "$game" >/dev/null; }
list_closed() { ! list_open; }
wait_for 300 box_seen || fail "after minimise and restore the game never ended"
box=$(xdotool search --onlyvisible --name '^Velmora$' | grep -vx "$start" | head -n 1)
read -r _ _ box_width _ < <(client "$box")
[ "$box_width" -ge 200 ] || fail "the message box is $box_width px wide: its title does not fit"
echo "\"Game Over !\" shown, $box_width px wide"

# Enter held for 2 s on the message: it goes, and no game starts by itself.
expect_active "$box" "the message box"
xdotool keydown Return
sleep 2
xdotool keyup Return
wait_for 50 gone "$game_title" || fail "the game window stayed after Game Over"
wait_for 50 no_box || fail "the message box is still open"
expect_start_active "after Game Over"
gone "$game_title" || fail "a held Enter started a game"
echo "held Enter: one action"

# Enter held for 2 s on "GIOCA": one game, which the repeats do not close through "Chiudi".
pressed=$(date +%s%N)
xdotool keydown Return
wait_for 100 bash -c "[ \"\$(xdotool search --onlyvisible --name '$game_title' | wc -l)\" -ge 1 ]" ||
    fail "a held Enter on GIOCA started no game"
while [ $(($(date +%s%N) - pressed)) -lt 2000000000 ]; do sleep 0.1; done
[ "$(games)" -eq 1 ] || fail "a held Enter on GIOCA: $(games) game windows while it was held"
xdotool keyup Return
expect_active "$(visible "$game_title")" "the game window after the held Enter"
[ "$(games)" -eq 1 ] || fail "a held Enter on GIOCA: $(games) game windows after it was let go"
xdotool key Return # Chiudi
wait_for 30 gone "$game_title" || fail "Enter on Chiudi did not end the game"
# Space held for 2 s on "Chiudi" of a new game, well before it ends by itself: the game ends
# (when the first repeat lets the button go, or at the latest when the key does), and no
# other starts.
expect_start_active "after the held Enter"
xdotool key Return
wait_for 50 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '$game_title')\" ]" || fail "Enter started no game"
held=$(visible "$game_title")
expect_active "$held" "the new game window"
others() { xdotool search --onlyvisible --name "$game_title" 2>/dev/null | grep -vx "$held" | wc -l; }
xdotool keydown space
sleep 2
[ "$(others)" -eq 0 ] || fail "a held Space on Chiudi started a game while it was held"
xdotool keyup space
wait_for 50 gone "$game_title" || fail "a held Space on Chiudi: $(games) game windows after it was let go"
expect_start_active "after the held keys"
echo "held Enter and Space: one action each"

# A game minimised and left to end: the start window, which the window manager hid with it,
# is back on the screen and active once "Game Over !" is dismissed.
xdotool key Return
wait_for 50 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '$game_title')\" ]" || fail "Enter started no game"
xdotool windowminimize --sync "$(visible "$game_title")"
wait_for 300 box_seen || fail "the minimised game never ended"
expect_active "$(box)" "the message box of the minimised game"
xdotool key Return
wait_for 20 bash -c "xwininfo -id $start | grep -q IsViewable" || fail "the start window is not on the screen"
expect_start_active "after a game that ended minimised"
echo "a game that ended minimised: the start window is back"

# Games ended with Enter on "Chiudi", one of them after a pick from the speed list.
for round in 1 2 3; do
    xdotool key Return
    wait_for 50 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '$game_title')\" ]" ||
        fail "round $round: Enter started no game"
    game=$(visible "$game_title")
    if [ "$round" -eq 2 ]; then
        # A click needs the window in its place; the open list is a window of its own.
        expect_active "$game" "round 2: the game window"
        wait_for 50 centred "$game" || fail "round 2: the game window is not in its place"
        click_in "$game" 152 578 # the speed box's arrow
        wait_for 50 list_open || fail "round 2: the speed list did not open"
        xdotool key Down Return # a pick from the open list
        wait_for 50 list_closed || fail "round 2: the speed list stayed open"
        click_in "$game" 632 580 # Chiudi
    else
        expect_active "$game" "round $round: the game window"
        xdotool key Return
    fi
    wait_for 50 gone "$game_title" || fail "round $round: the game window did not close"
    expect_start_active "after round $round"
done
echo "the start window had the keyboard after every game"

click_in "$start" 364 204 # Fine
status=0
wait $pid || status=$?
trap - EXIT
kill $wm "${busy[@]}" 2>/dev/null || true
echo "exit status $status"
[ "$status" -eq 0 ]
