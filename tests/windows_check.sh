#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks Velmora.exe as Windows will see it: a GUI program for its processor, needing no
# DLL but Windows' own, with the version record, the icon, the start pictures and the
# manifest (per-monitor DPI awareness, common controls 6) stored in it.
#   tests/windows_check.sh x86|x64 Velmora.exe
set -euo pipefail
kind=$1 exe=$2
assets=$(dirname "$0")/../assets
fail() {
    echo "FAIL: $exe: $*" >&2
    exit 1
}

case $kind in
x86) expected='PE32, i386, GUI' format=pei-i386 magic='010b\s+\(PE32\)' objdump=i686-w64-mingw32-objdump ;;
x64) expected='PE32+, x86-64, GUI' format=pei-x86-64 magic='020b\s+\(PE32\+\)' objdump=x86_64-w64-mingw32-objdump ;;
*) fail "kind $kind is neither x86 nor x64" ;;
esac
headers=$("$objdump" -p "$exe")
grep -q "file format $format\$" <<<"$headers" || fail "is not of the format $format"
grep -qE "^Magic\s+$magic$" <<<"$headers" || fail "is not $expected"
grep -qF '(Windows GUI)' <<<"$headers" || fail "is not a Windows GUI program"

# Windows' own DLLs only: no libstdc++, libgcc or libwinpthread beside the program.
while read -r dll; do
    case ${dll,,} in
    kernel32.dll | user32.dll | gdi32.dll | comctl32.dll | ole32.dll | oleaut32.dll | msvcrt.dll) ;;
    *) fail "needs $dll" ;;
    esac
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")

resource() { wrestool -x --raw --type="$1" --name="$2" "$exe"; }
# The version record: its strings are UTF-16, its numbers in the fixed part after 0xfeef04bd.
strings=$(resource 16 1 | iconv -f UTF-16LE -t UTF-8 2>/dev/null | tr -c '[:print:]' '\n' | grep -a .)
for field in ProductName=Velmora InternalName=Velmora OriginalFilename=Velmora.exe \
    FileVersion=1.00 ProductVersion=1.00; do
    printf '%s\n' "$strings" | grep -A1 -x "${field%%=*}" | tail -n 1 | grep -qx "${field#*=}" ||
        fail "the version record has no ${field%%=*} \"${field#*=}\""
done
printf '%s\n' "$strings" | grep -qx 040904b0 || fail "the version record is not US English, Unicode"
resource 16 1 | od -An -tx4 -v | tr -s ' \n' ' ' |
    grep -q 'feef04bd 00010000 00010000 00000000 00010000 00000000' ||
    fail "the version record's numbers are not 1.0.0.0"

# The icon as wrestool puts it together again: the file's bytes, then padding.
wrestool -x --type=14 --name=IDI_VELMORA "$exe" | head -c "$(stat -c %s "$assets/velmora.ico")" |
    cmp -s - "$assets/velmora.ico" || fail "the icon is not assets/velmora.ico"
resource 10 101 | cmp -s - "$assets/avvio.jpg" || fail "the start picture is not assets/avvio.jpg"
resource 10 102 | cmp -s - "$assets/avvio@2x.jpg" || fail "the 2x picture is not assets/avvio@2x.jpg"
manifest=$(resource 24 1)
grep -q 'PerMonitorV2' <<<"$manifest" || fail "the manifest asks for no per-monitor DPI awareness"
grep -q 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' <<<"$manifest" ||
    fail "the manifest asks for no common controls 6"
echo "$exe: $expected, Windows' DLLs only; version 1.00 (1.0.0.0), icon, pictures and manifest"
