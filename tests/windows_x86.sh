#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The 32-bit Velmora.exe played under 32-bit Wine. Builds once, under build/wine32, a minimal
# Debian 13 system (debootstrap) with the i386 architecture added there alone, Wine's 32-bit
# build (wine32:i386) and qemu-user's static qemu-i386; builds the windows-x86 preset; makes
# its Wine prefix; and runs its tests there (ctest --preset windows-x86: the rules tests, the
# game session's, the golden traces, and Velmora.exe played on a virtual X server), natively
# where the kernel runs 32-bit programs, else through qemu-i386 in a private user namespace
# (tools/wine32-env.sh says how). Then it checks that no mount and no process is left.
# Nothing changes on the host but build/. Run as root:
#   make test-windows-x86
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD/build/wine32
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

if [ "$(id -u)" -ne 0 ]; then
    echo "$0 builds a Debian system with debootstrap and runs it with chroot: run it as root" >&2
    exit 1
fi
bash tools/install-deps.sh windows-x86

if [ ! -x "$root/usr/lib/wine/wine" ]; then
    began=$(date +%s)
    rm -rf "$root"
    debootstrap --variant=minbase --include=qemu-user trixie "$root" "$mirror"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    # Some i386 packages run their own programs as they install, so apt runs where those run;
    # in a user namespace apt's download user is not mapped: it downloads as root.
    tools/wine32-env.sh chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive bash -c "dpkg --add-architecture i386 && \
        apt-get -q -o APT::Sandbox::User=root update && \
        apt-get -q -y -o APT::Sandbox::User=root install --no-install-recommends \
            wine32:i386 fonts-liberation fonts-dejavu-core && apt-get clean"
    echo "32-bit Wine $(chroot "$root" dpkg-query -W -f '${Version}' wine32:i386) set up" \
        "in $(($(date +%s) - began)) s"
fi

cmake --preset windows-x86
cmake --build --preset windows-x86

# In the namespace: the prefix, made once before the tests (a new prefix's first program waits
# until Wine has made it, which under qemu-i386 takes longer than a test waits for a window);
# then the tests with no window, with one Wine server and its services started before them,
# detached from their output (a service that ends with the server prints under qemu-i386,
# and the traces compare what is printed), and stopped after them; then the window tests,
# whose own programs start the server and the services on each test's X server (services
# started with no X server leave the programs a screen of the wrong size), ending with them.
export VELMORA_WINEPREFIX=$PWD/build/wineprefix-x86
namespace=$PWD/build/wine32-namespace
began=$(date +%s)
status=0
tools/wine32-env.sh bash -c '
    set -u
    readlink /proc/self/ns/mnt >"$1"
    echo "== the 32-bit programs run $([ "$VELMORA_WINE32_WAY" = native ] && echo natively ||
        echo "through qemu-i386 in a private user namespace: this kernel refuses them")"
    began=$(date +%s)
    tools/wine32.sh || exit 1
    echo "the Wine prefix: made in $(($(date +%s) - began)) s"
    in_chroot=(chroot build/wine32 env WINEPREFIX="$VELMORA_WINEPREFIX" WINEDEBUG=-all
        XDG_RUNTIME_DIR="$VELMORA_WINEPREFIX.runtime" WINEDLLOVERRIDES="mscoree,mshtml=")
    stop_server() {
        "${in_chroot[@]}" /usr/lib/wine/wineserver -k 2>/dev/null
        "${in_chroot[@]}" /usr/lib/wine/wineserver -w
    }
    "${in_chroot[@]}" /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1
    # A query of the service manager starts the services, and no desktop process.
    setsid "${in_chroot[@]}" /usr/lib/wine/wine sc query </dev/null >/dev/null 2>&1
    status=0
    ctest --preset windows-x86 -LE e2e || status=$?
    stop_server
    ctest --preset windows-x86 -L e2e || status=$?
    stop_server
    exit $status
' wine32-leg "$namespace" || status=$?
echo "the tests under 32-bit Wine: $(($(date +%s) - began)) s, status $status"

# Nothing is left: no mount of the chroot, no process in its namespace or its root.
left=$(grep -c " $root/" /proc/self/mountinfo || true)
[ "$left" -eq 0 ] || { echo "FAIL: $left mounts of $root are left" >&2; exit 1; }
for process in /proc/[0-9]*; do
    if [ "$(readlink "$process/ns/mnt" 2>/dev/null)" = "$(cat "$namespace")" ] ||
        [ "$(readlink "$process/root" 2>/dev/null)" = "$root" ]; then
        echo "FAIL: a process is left behind: $(tr '\0' ' ' <"$process/cmdline")" >&2
        exit 1
    fi
done
exit $status
