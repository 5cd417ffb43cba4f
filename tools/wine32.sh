#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a 32-bit Windows program under Debian 13's 32-bit Wine, in the chroot that
# `make test-windows-x86` builds (build/wine32), in the project's own throwaway prefix
# (build/wineprefix-x86, or VELMORA_WINEPREFIX), made on first use. Standard input, standard
# output and the exit status pass through. Where the kernel refuses 32-bit programs, Wine runs
# through qemu-i386 (tools/wine32-env.sh). The program and the files it reads are under the
# project or /tmp, the folders the chroot sees. With no program, it only makes the prefix.
# Run as root.
#   tools/wine32.sh build/windows-x86/ui/win32/Velmora.exe
set -eu
project=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${VELMORA_WINE32_WAY:-}" ]; then
    # On its own: in a namespace of its own, which ends when the program's Wine server does.
    export VELMORA_WINE32_ALONE=1
    exec "$project/tools/wine32-env.sh" "$0" "$@"
fi

export WINEPREFIX=${VELMORA_WINEPREFIX:-$project/build/wineprefix-x86}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" # no offer to install .NET or Gecko
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR=$WINEPREFIX.runtime
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
# In the chroot, from the same folder where the chroot sees it, else from its root.
case $PWD in
"$project" | "$project"/* | /tmp | /tmp/*) dir=$PWD ;;
*) dir=/ ;;
esac
in_chroot=(chroot "$project/build/wine32" /usr/bin/env -C "$dir")
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    "${in_chroot[@]}" /usr/lib/wine/wine wineboot --init >/dev/null 2>&1
    "${in_chroot[@]}" /usr/lib/wine/wineserver -w
fi
[ $# -gt 0 ] || exit 0 # with no program, only the prefix is made
[ -n "${VELMORA_WINE32_ALONE:-}" ] || exec "${in_chroot[@]}" /usr/lib/wine/wine "$@"
status=0
"${in_chroot[@]}" /usr/lib/wine/wine "$@" || status=$?
"${in_chroot[@]}" /usr/lib/wine/wineserver -w # nothing of the program's stays behind
exit $status
