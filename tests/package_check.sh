#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the Debian package as the desktop will see it: lintian finds no error; its
# control record; installed into a scratch root, the program, the desktop entry, the
# icons, the metadata and the manual are where the desktop looks, and the desktop entry and
# the metadata pass their own validators.
#   tests/package_check.sh velmora_1.00-1_amd64.deb
set -euo pipefail
deb=$1
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors"
echo "lintian: no errors"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = velmora ] || fail "package name $(field Package)"
[ "$(field Version)" = 1.00-1 ] || fail "version $(field Version)"
[ "$(field Section)" = games ] || fail "section $(field Section)"
case "$(field Depends)" in
*libqt6widgets6*libstdc++6*) ;;
*) fail "Depends does not name the program's libraries: $(field Depends)" ;;
esac
echo "control: $(field Package) $(field Version), section $(field Section)"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
# The scratch root has none of the libraries: their check belongs to a real install.
dpkg --root="$root" --force-depends --force-not-root --log=/dev/null -i "$deb" >/dev/null 2>&1 ||
    fail "dpkg could not install the package"

expect_file() {
    [ -f "$root/$1" ] || fail "$1 is not installed"
}
expect_file usr/games/velmora
[ -x "$root/usr/games/velmora" ] || fail "the program is not executable"
expect_file usr/share/applications/io.github.velmora.Velmora.desktop
expect_file usr/share/metainfo/io.github.velmora.Velmora.metainfo.xml
expect_file usr/share/icons/hicolor/scalable/apps/velmora.svg
for size in 16 24 32 48 64 128 256; do
    expect_file "usr/share/icons/hicolor/${size}x${size}/apps/velmora.png"
done
expect_file usr/share/man/man6/velmora.6.gz
expect_file usr/share/doc/velmora/copyright
grep -q '^License: MIT' "$root/usr/share/doc/velmora/copyright" || fail "the copyright file names no MIT licence"
echo "installed: program, desktop entry, metadata, icons, manual, copyright"

desktop-file-validate "$root/usr/share/applications/io.github.velmora.Velmora.desktop"
grep -qx "Icon=velmora" "$root/usr/share/applications/io.github.velmora.Velmora.desktop" || fail "the desktop entry names another icon"
grep -qx "Exec=/usr/games/velmora" "$root/usr/share/applications/io.github.velmora.Velmora.desktop" ||
    fail "the desktop entry does not start /usr/games/velmora"
echo "desktop entry: valid"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/io.github.velmora.Velmora.metainfo.xml"
grep -q '<release version="1.00"' "$root/usr/share/metainfo/io.github.velmora.Velmora.metainfo.xml" || fail "the metadata's release is not 1.00"
manual=$(MANWIDTH=80 man -l "$root/usr/share/man/man6/velmora.6.gz" 2>/dev/null | col -b)
grep -q 'velmora - brick-breaker game' <<<"$manual" || fail "the manual does not render"
grep -q 'takes no options' <<<"$manual" || fail "the manual does not say it takes no options"
echo "manual: renders in section 6"
echo "package check passed"
