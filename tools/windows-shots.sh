#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Redraws the README's pictures of Velmora.exe under Wine: both windows, with their frames,
# at 96 and at 192 dots per inch (Wine's LogPixels), on a virtual X server with openbox.
#   tools/windows-shots.sh build/windows-x64/ui/win32/Velmora.exe docs
set -euo pipefail
if [ -z "${VELMORA_IN_XVFB:-}" ]; then
    VELMORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 2560x1600x24" bash "$0" "$@"
fi
exe=$1 out=$2
here=$(dirname "$0")
# shellcheck source=tests/e2e_lib.sh
source "$here/../tests/e2e_lib.sh"
start_window_manager
trap 'kill $wm 2>/dev/null || true' EXIT

# A window with its frame, as the window manager draws it.
shot() {
    local x y w h l r t b
    read -r x y w h < <(client "$1")
    read -r l r t b < <(xprop -id "$1" _NET_FRAME_EXTENTS | tr -d ',' | awk '{print $3, $4, $5, $6}')
    import -window root -crop "$((w + l + r))x$((h + t + b))+$((x - l))+$((y - t))" "$2"
}

for dpi in 96 192; do
    export VELMORA_WINEPREFIX=$PWD/build/wineprefix-$dpi
    "$here/wine64.sh" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null
    suffix=$([ $dpi = 96 ] && echo "" || echo "-2x")
    "$here/wine64.sh" "$exe" &
    pid=$!
    start=$(xdotool search --sync --onlyvisible --name '^Velmora$' | head -n 1)
    sleep 1
    shot "$start" "$out/windows-start-window$suffix.png"
    xdotool key Return
    wait_for 50 bash -c "[ -n \"\$(xdotool search --onlyvisible --name '$game_title')\" ]"
    sleep 1
    shot "$(visible "$game_title")" "$out/windows-game-window$suffix.png"
    xdotool key Escape
    sleep 0.5
    xdotool key Tab space # Fine
    wait $pid
    WINEPREFIX=$VELMORA_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
done
