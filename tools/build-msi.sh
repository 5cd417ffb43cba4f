#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Windows Installer package velmora-VERSION-windows-ARCH.msi from
# build/windows-ARCH's Velmora.exe and packaging/windows/velmora.wxs, with Debian's wixl.
# The package is the same from build to build of the same sources:
#   - its files carry one date, and wixl runs with the clock stopped at it (faketime), as
#     wixl writes the time it runs into the package's summary: the date is SOURCE_DATE_EPOCH,
#     or else this version's date in packaging/changelog.Debian;
#   - its ProductCode is made from the version and the processor, so every build of 1.00 for
#     x64 is the same product, and a later version a new one, which replaces it;
#   - its PackageCode, which must differ between packages that differ, is made from the
#     package's own bytes.
#   tools/build-msi.sh x86|x64 VERSION [OUT.msi]
set -euo pipefail
arch=${1:-} version=${2:-}
cd "$(dirname "$0")/.."
out=${3:-velmora-$version-windows-$arch.msi}
stage=build/msi-$arch-$version
case $arch:$version in
x86:?*) template='Intel;1033' ;;
x64:?*) template='x64;1033' ;;
*)
    echo "usage: $0 x86|x64 VERSION [OUT.msi]" >&2
    exit 2
    ;;
esac
upgrade_code=73E45AC8-D404-4B81-9AD6-2012412E2A22 # as in velmora.wxs

# A name-based UUID (RFC 4122, version 5: SHA-1), in the upper case Windows Installer wants.
uuid5() { # namespace name
    local hex variant
    hex=$({
        printf '%b' "$(sed 's/-//g; s/../\\x&/g' <<<"$1")"
        printf '%s' "$2"
    } | sha1sum | cut -c1-32)
    variant=$(printf %x $(((0x${hex:16:1} & 0x3) | 0x8)))
    hex=${hex:0:12}5${hex:13:3}$variant${hex:17:15}
    echo "${hex:0:8}-${hex:8:4}-${hex:12:4}-${hex:16:4}-${hex:20:12}" | tr a-f A-F
}

changelog_date=$(sed -n 's/^ -- .*>  //p' packaging/changelog.Debian | head -n 1)
epoch=${SOURCE_DATE_EPOCH:-$(date -d "$changelog_date" +%s)}
stopped_clock() { TZ=UTC faketime -f "@$(date -u -d "@$epoch" '+%Y-%m-%d %H:%M:%S') x0" "$@"; }

rm -rf "$stage" "$out"
mkdir -p "$stage"
cp "build/windows-$arch/ui/win32/Velmora.exe" "$stage/"
sed 's/$/\r/' LICENSE >"$stage/LICENSE.txt"
touch -d "@$epoch" "$stage"/*

product_code=$(uuid5 "$upgrade_code" "Velmora $version $arch")
# wixl takes no PackageCode: it draws one at random, which the second step replaces.
stopped_clock wixl -a "$arch" -D Arch="$arch" -D Version="$version" \
    -D ProductCode="$product_code" -D Stage="$stage" -D Icon=assets/velmora.ico \
    -o "$stage/velmora.msi" packaging/windows/velmora.wxs
# The summary's PackageCode, from the package as it is with a blank one in its place.
stopped_clock msibuild "$stage/velmora.msi" -s "Velmora $version, a brick-breaker game" \
    "The Velmora developers" "$template" "{00000000-0000-0000-0000-000000000000}"
package_code=$(uuid5 "$upgrade_code" "$(sha256sum <"$stage/velmora.msi" | cut -d' ' -f1)")
stopped_clock msibuild "$stage/velmora.msi" -s "Velmora $version, a brick-breaker game" \
    "The Velmora developers" "$template" "{$package_code}"
mv "$stage/velmora.msi" "$out"
echo "$out: ProductCode {$product_code}, PackageCode {$package_code}"
