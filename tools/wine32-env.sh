#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs COMMAND with the chroot of 32-bit Wine (build/wine32, which `make test-windows-x86`
# builds) ready for tools/wine32.sh. COMMAND runs in a private mount namespace, in which the
# host's /proc, /sys, /dev, /tmp (the X server's socket, xvfb-run's cookie) and the project are
# mounted into the chroot at their own paths: every mount ends with the namespace's last
# process, and none is ever seen by the rest of the machine. Where the kernel refuses 32-bit
# programs, the namespace is also a private user namespace whose own binfmt_misc runs i386
# programs through the chroot's qemu-i386; nothing is registered for the whole machine.
# VELMORA_WINE32_WAY tells COMMAND which way it is (native or qemu-i386). Run as root.
#   tools/wine32-env.sh COMMAND [ARGS]
set -eu
project=$(cd "$(dirname "$0")/.." && pwd)
root=$project/build/wine32

if [ -z "${VELMORA_WINE32_WAY:-}" ]; then
    [ "$(id -u)" -eq 0 ] || { echo "$0: run me as root (for chroot and mount)" >&2; exit 1; }
    [ -x "$root/usr/bin/qemu-i386" ] ||
        { echo "$0: no 32-bit Wine here yet: make test-windows-x86 builds it" >&2; exit 1; }
    # The smallest 32-bit program: exit(0) through int 0x80. A kernel that refuses it fails
    # the exec, or kills the program at its system call.
    probe=$project/build/wine32-probe
    elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'
    elf+='\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00'
    elf+='\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'
    elf+='\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
    elf+='\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
    printf "$elf" >"$probe"
    chmod +x "$probe"
    if ("$probe"; exit $?) >/dev/null 2>&1; then
        export VELMORA_WINE32_WAY=native
        exec unshare --mount --propagation private "$0" "$@"
    fi
    export VELMORA_WINE32_WAY=qemu-i386
    exec unshare --user --map-root-user --mount --propagation private "$0" "$@"
fi

# In the namespace.
if [ "$VELMORA_WINE32_WAY" = qemu-i386 ]; then
    # Flag F: the kernel opens qemu-i386 now, so that it runs inside the chroot too.
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf ':velmora-i386:M::%s:%s:%s:F\n' \
        '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00' \
        '\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff' \
        "$root/usr/bin/qemu-i386" >/proc/sys/fs/binfmt_misc/register
fi
for fs in /proc /sys /dev /tmp; do mount --rbind "$fs" "$root$fs"; done
mkdir -p "$root$project"
mount --bind "$project" "$root$project"
# A desktop session's X cookie, where the session keeps it (xvfb-run's is under /tmp).
cookie=${XAUTHORITY:-${HOME:-/root}/.Xauthority}
case $cookie in
/tmp/* | "$project"/*) ;;
*)
    if [ -f "$cookie" ]; then
        mkdir -p "$root$(dirname "$cookie")" && touch "$root$cookie"
        mount --bind "$cookie" "$root$cookie"
        export XAUTHORITY=$cookie
    fi
    ;;
esac
exec "$@"
