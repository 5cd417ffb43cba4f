#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a 64-bit Windows program under Wine, in the project's own throwaway prefix
# (build/wineprefix, or VELMORA_WINEPREFIX), made on first use. Wine's 64-bit loader is
# called directly: it runs on every machine here, where the `wine` launcher may look for a
# 32-bit Wine that a kernel without 32-bit support cannot run. With no program, it only
# makes the prefix; with --server and its options, it runs the prefix's wineserver
# (tools/wine-session.sh uses both).
set -eu
export WINEPREFIX=${VELMORA_WINEPREFIX:-$(cd "$(dirname "$0")/.." && pwd)/build/wineprefix}
export WINEDEBUG=-all
# No offer to install .NET or Gecko, and no entries in this machine's own desktop menus for
# the shortcuts a program installs in the prefix.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# Without a session's runtime folder, newer Wine's display probe complains on standard error,
# which the traces compare: give it one of its own.
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR=$WINEPREFIX.runtime
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
if [ "${1:-}" = --server ]; then # the server needs no prefix made: stopping none is fine
    shift
    exec /usr/lib/wine/wineserver "$@"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
    /usr/lib/wine/wineserver -w
fi
[ $# -gt 0 ] || exit 0 # with no program, only the prefix is made
exec /usr/lib/wine/wine64 "$@"
