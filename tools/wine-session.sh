#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# One Wine session for a run of tests:
#   tools/wine-session.sh start    makes the prefix, starts its server and Wine's helper
#                                  processes (services, explorer...), and leaves them running
#   tools/wine-session.sh stop     ends the server and every process in it, and waits for that
# Every Windows program started in between joins the running server: it starts at once, and
# what it prints is its own. Left to itself, each program would start a server and helpers
# of its own, which inherit its output (where a helper's crash message then lands) and hold
# it open for seconds after the program ends. Here the helpers write to build/wine-session.log
# (or VELMORA_WINE_LOG) instead.
# The helpers draw on the X display they start on (DISPLAY), and a program later started in
# the session sees that display's screen: a test on a screen of its own starts a session of
# its own, there.
# VELMORA_WINE names the runner (tools/wine64.sh by default), which makes the prefix when
# called with nothing, runs a program when called with one, and runs the prefix's wineserver
# when called with --server and its options.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
wine=${VELMORA_WINE:-$here/wine64.sh}
log=${VELMORA_WINE_LOG:-$here/../build/wine-session.log}
stop() {
    "$wine" --server -k 2>/dev/null || true # no server running is fine
    "$wine" --server -w
}
case ${1:-} in
start)
    "$wine" # the prefix, made once
    stop    # a session left over from an interrupted run
    mkdir -p "$(dirname "$log")"
    echo "== $(date -u '+%F %T') session started, display ${DISPLAY:-none}" >>"$log"
    # The server stays up to 5 minutes without a program, so that one test's end does not end
    # it before the next test starts, and a run interrupted before its stop does not leave
    # it behind for good.
    setsid "$wine" --server -p300 </dev/null >>"$log" 2>&1
    # A boot of the ready prefix starts the helpers, which stay while the server does.
    setsid "$wine" wineboot </dev/null >>"$log" 2>&1
    ;;
stop) stop ;;
*)
    echo "usage: $0 start|stop" >&2
    exit 2
    ;;
esac
