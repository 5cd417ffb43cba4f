#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The README's two commands on a fresh Debian system: builds a minimal one of the release
# SUITE (trixie, Debian 13, by default) under build/debian-SUITE with debootstrap, clones the
# project's committed state into it, and there runs `make run`, which with no display must
# print its one line and fail, and then `make test`. Run as root, on a machine that reaches
# Debian's archive:
#   make test-debian13              (tests/debian_chroot.sh trixie)
set -euo pipefail
cd "$(dirname "$0")/.."
suite=${1:-trixie}
root=$PWD/build/debian-$suite
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

if [ "$(id -u)" -ne 0 ]; then
    echo "$0 builds a Debian system with debootstrap and chroot: run it as root" >&2
    exit 1
fi
for tool in debootstrap:debootstrap ip:iproute2; do
    command -v "${tool%:*}" >/dev/null ||
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${tool#*:}"
done

# The system is made once and kept; each run gets a fresh clone.
if [ ! -x "$root/usr/bin/make" ]; then
    rm -rf "$root"
    debootstrap --variant=minbase --include=make "$suite" "$root" "$mirror"
fi

# The system's own file systems; /dev is the host's, whose changes do not flow back.
mounted=()
cleanup() {
    for target in "${mounted[@]}"; do umount -R -l "$target" 2>/dev/null || true; done
}
trap cleanup EXIT
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount -t sysfs sysfs "$root/sys" && mounted+=("$root/sys")
mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" && mounted+=("$root/dev")
mount -t tmpfs tmpfs "$root/tmp" && mounted+=("$root/tmp")
cp /etc/resolv.conf "$root/etc/resolv.conf"

rm -rf "$root/root/velmora"
git clone -q --no-hardlinks "$PWD" "$root/root/velmora"

trixie=(chroot "$root" env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
    LANG=C.UTF-8 bash -c)
in_trixie() { "${trixie[@]}" "cd /root/velmora && $1"; }
# The tests run in a network of their own, with only the loopback: an X server's abstract
# socket is per network, and the system's /tmp is its own, so a virtual X server that a test
# starts there would otherwise take a display number that one of this machine's X servers
# already has, and the test's clients would talk to that one. Their packages come first,
# from the archive, as `make test` itself would install them.
alone_in_trixie() {
    unshare --net sh -c 'ip link set lo up && exec "$@"' sh "${trixie[@]}" "cd /root/velmora && $1"
}

echo "== Debian $(cat "$root/etc/debian_version"): make run, with no display"
status=0
output=$(in_trixie "make run" 2>&1) || status=$?
printf '%s\n' "$output" | tail -n 3
[ "$status" -ne 0 ] || { echo "FAIL: make run succeeded without a display" >&2; exit 1; }
printf '%s\n' "$output" | grep -qx "velmora: no graphical session: .*" ||
    { echo "FAIL: make run did not say why it could not start" >&2; exit 1; }

echo "== Debian $(cat "$root/etc/debian_version"): make test"
in_trixie "bash tools/install-deps.sh test"
alone_in_trixie "make test"
echo "make run and make test: as expected on Debian $(cat "$root/etc/debian_version")"
