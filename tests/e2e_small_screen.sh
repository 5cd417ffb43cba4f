#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A game window too large for the screen is drawn smaller, whole: the real program on a
# small virtual screen under openbox. The game window, frame included, must be whole on the
# screen, in the layout's proportions, and a drag with the real pointer must move the paddle.
# With VELMORA_WINE (a Wine runner, tools/wine64.sh), the program is a Windows one, run
# under Wine in a session of its own. Sizes are measured as drawn, on any Wine or Qt.
#   tests/e2e_small_screen.sh WIDTHxHEIGHT PROGRAM...
# e.g. QT_SCALE_FACTOR=1.5 tests/e2e_small_screen.sh 1024x768 build/release/ui/qt/velmora
#      VELMORA_WINE=tools/wine64.sh tests/e2e_small_screen.sh 800x600 build/windows-x64/ui/win32/Velmora.exe
set -euo pipefail
screen=$1
shift
if [ -z "${VELMORA_IN_XVFB:-}" ]; then
    VELMORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" "$screen" "$@"
fi
screen_width=${screen%x*}
screen_height=${screen#*x}
# shellcheck source=tests/e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
start_window_manager
if [ -n "${VELMORA_WINE:-}" ]; then
    wine_session start
    set -- "$wine" "$@"
fi
"$@" &
pid=$!
trap 'kill $pid $wm 2>/dev/null || true; [ -z "${VELMORA_WINE:-}" ] || wine_session stop' EXIT

start=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
# "Game Over !", in a window of its own.
over() { xdotool search --onlyvisible --name '^Velmora$' | grep -vx "$start" >/dev/null; }

# The client area and the frame as drawn: x y width height, left right top bottom.
placed() { echo "$(client "$game") $(xprop -id "$game" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}')"; }
# Framed, whole on the screen, and in the layout's proportions (10080 x 9045 twips, to a
# pixel). The window is fitted again once it is framed: this waits for that.
fitted() {
    local x y w h l r t b
    read -r x y w h l r t b <<<"$(placed)"
    [[ "$l $r $t $b" =~ ^[0-9]+\ [0-9]+\ [0-9]+\ [0-9]+$ ]] && [ $((x - l)) -ge 0 ] && [ $((y - t)) -ge 0 ] &&
        [ $((x + w + r)) -le "$screen_width" ] && [ $((y + h + b)) -le "$screen_height" ] &&
        slack=$((w * 9045 - h * 10080)) && [ "${slack#-}" -le 10080 ]
}
# A place of the game window given in twips, in the screen's pixels from its top left.
px() { echo $(($1 * w / 10080)); }

# One game from the start window: its window fitted, and the paddle dragged. Fails if the
# game ended before the paddle followed the drag (a very busy machine is that slow, or the
# paddle does not follow); the caller then plays another.
play() {
    expect_start_active "at the start of game $1"
    xdotool key Return
    wait_for 100 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '$game_title')\" ]" ||
        fail "Enter started no game"
    game=$(visible "$game_title")
    wait_for 100 fitted || fail "the game window ($(placed): x y w h, frame l r t b) is not whole on $screen, in proportion"
    read -r x y w h l r t b <<<"$(placed)"
    echo "game window: $w x $h, frame $l $r $t $b, whole on the $screen screen, in proportion"

    # The slowest speed, 20, picked from the list (its arrow, then Up Up Return: the keys
    # come after the click, and the program takes them in that order), makes the game last
    # three times as long as the 4 s of one left alone.
    xdotool mousemove --sync $((x + $(px 2280))) $((y + $(px 8670))) click 1 key Up Up Return
    # The paddle is 1455 twips wide from 7080 in the playfield (at 120, 120): it is held at
    # 720 twips from its left, and dragged left in four steps. Each move counts only while
    # the pointer is on the paddle, so each step waits for the paddle to be drawn where the
    # last took it: the right end it left is the playfield's white.
    grip_x=$(px $((120 + 7800))) grip_y=$(px $((120 + 7750)))
    local right step k
    right=$(px $((120 + 7080 + 1455))) step=$(px 300)
    expect_colour "$game" "$grip_x" "$grip_y" c0ffc0 "the paddle"
    xdotool mousemove --sync $((x + grip_x)) $((y + grip_y)) mousedown 1
    for k in 1 2 3 4; do
        xdotool mousemove --sync $((x + grip_x - k * step)) $((y + grip_y))
        left_behind() { [ "$(colour_at "$game" $((right - k * step + step / 2)) "$grip_y")" = ffffff ] || over; }
        wait_for 50 left_behind
        if over; then
            xdotool mouseup 1
            echo "game $1 ended before the paddle followed step $k of the drag; another"
            expect_active "$(xdotool search --onlyvisible --name '^Velmora$' | grep -vx "$start" | head -n 1)" "the message"
            xdotool key Return
            wait_for 50 gone "$game_title" || fail "the game window stayed after its end"
            return 1
        fi
        expect_colour "$game" $((right - k * step + step / 2)) "$grip_y" ffffff "step $k: the paddle's old right end"
    done
    xdotool mouseup 1
    expect_colour "$game" "$grip_x" "$grip_y" ffffff "where the paddle was"
    expect_colour "$game" "$(px $((120 + 7800 - 1200)))" "$grip_y" c0ffc0 "the dragged paddle"
}
play 1 || play 2 || play 3 || fail "in three games, each ended before the paddle followed the drag"
echo "the paddle follows a drag"
