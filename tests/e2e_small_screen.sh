#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A game window too large for the screen is drawn smaller, whole: the real program on a
# small virtual screen under openbox. The game window, frame included, must be whole on the
# screen, in the layout's proportions, and a drag with the real pointer must move the paddle.
#   tests/e2e_small_screen.sh WIDTHxHEIGHT PROGRAM...
# e.g. QT_SCALE_FACTOR=1.5 tests/e2e_small_screen.sh 1024x768 build/release/ui/qt/velmora
#      tests/e2e_small_screen.sh 800x600 tools/wine64.sh build/windows-x64/ui/win32/Velmora.exe
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
"$@" &
pid=$!
trap 'kill $pid $wm 2>/dev/null || true' EXIT

start=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
expect_start_active "at start"
xdotool key Return
wait_for 100 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '$game_title')\" ]" ||
    fail "Enter started no game"
game=$(visible "$game_title")
# Framed, the window may be fitted once more: wait until it stands still.
placed=""
for _ in $(seq 20); do
    sleep 0.3
    now=$(client "$game")
    [ "$now" = "$placed" ] && break
    placed=$now
done
read -r x y w h <<<"$placed"
read -r l r t b < <(xprop -id "$game" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}')
[ $((x - l)) -ge 0 ] && [ $((y - t)) -ge 0 ] && [ $((x + w + r)) -le "$screen_width" ] &&
    [ $((y + h + b)) -le "$screen_height" ] ||
    fail "the game window ($w x $h at $x,$y, frame $l $r $t $b) is not whole on $screen"
# 10080 x 9045 twips: the same proportions, to a pixel.
slack=$((w * 9045 - h * 10080))
[ "${slack#-}" -le 10080 ] || fail "the game window is $w x $h, not in the layout's proportions"
echo "game window: $w x $h, whole on the $screen screen, in proportion"

# A place of the game window given in twips, in the screen's pixels from its top left.
px() { echo $(($1 * w / 10080)); }
grip_x=$(px $((120 + 7800))) grip_y=$(px $((120 + 7750)))
expect_colour "$game" "$grip_x" "$grip_y" c0ffc0 "the paddle"
xdotool mousemove --sync $((x + grip_x)) $((y + grip_y)) mousedown 1
for step in 1 2 3 4; do
    xdotool mousemove --sync $((x + grip_x - step * $(px 300))) $((y + grip_y))
done
xdotool mouseup 1
sleep 0.2
expect_colour "$game" "$grip_x" "$grip_y" ffffff "where the paddle was"
expect_colour "$game" "$(px $((120 + 7800 - 1200)))" "$grip_y" c0ffc0 "the dragged paddle"
echo "the paddle follows a drag"
