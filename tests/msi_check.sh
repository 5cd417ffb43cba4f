#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows Installer packages, as a school deploys them (after make windows).
# The 32-bit one, read with msiinfo: an Intel (32-bit) package installing the 32-bit
# Velmora.exe into Program Files (x86), with the shortcut, the icon and the upgrade rules.
# The 64-bit one under Wine, in a prefix of this test's own (build/msi-check), on a virtual X
# server with openbox: a silent install puts Velmora.exe in Program Files\Velmora, the
# shortcut "Velmora" with the red-disc icon in the Start menu's Programs and the entry in
# Add/Remove Programs; the shortcut opens the start window; a silent uninstall leaves no file
# and no registry entry behind; and a later version replaces this one. Built again, the
# package comes out the same.
#   tests/msi_check.sh
set -euo pipefail
if [ -z "${VELMORA_IN_XVFB:-}" ]; then
    VELMORA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi
cd "$(dirname "$0")/.."
# shellcheck source=tests/e2e_lib.sh
source tests/e2e_lib.sh
msi=velmora-1.00-windows-x64.msi
upgrade_code='{73E45AC8-D404-4B81-9AD6-2012412E2A22}'
table() { msiinfo export "$1" "$2" | tr -d '\r' | sed 1,3d; } # its rows, tab-separated
property() { table "$1" Property | awk -F'\t' -v p="$2" '$1 == p {print $2}'; }

# The 32-bit package.
x86=velmora-1.00-windows-x86.msi
msiinfo suminfo "$x86" | grep -qx 'Template: Intel;1033' || fail "$x86 is not a 32-bit package"
tables=$(msiinfo tables "$x86")
for t in File Component Directory Feature Shortcut Icon Property Upgrade LaunchCondition; do
    grep -qx "$t" <<<"$tables" || fail "$x86 has no $t table"
done
table "$x86" Directory | grep -qx $'INSTALLDIR\tProgramFilesFolder\tVelmora' ||
    fail "$x86 does not install into Program Files (x86)\\Velmora"
table "$x86" Directory | grep -q ProgramFiles64Folder && fail "$x86 names the 64-bit Program Files"
table "$x86" Component | awk -F'\t' 'int($4 / 256) % 2 {exit 1}' || fail "$x86 has a 64-bit component"
table "$x86" Shortcut | awk -F'\t' '$2 == "ProgramMenuFolder" && $3 == "Velmora" &&
    $5 == "[#Velmora.exe]" && $9 == "velmora.ico" {found = 1} END {exit !found}' ||
    fail "$x86 has no Start-menu shortcut \"Velmora\" to Velmora.exe with the icon"
[ "$(property "$x86" ProductVersion)" = 1.00 ] && [ "$(property "$x86" ARPPRODUCTICON)" = velmora.ico ] &&
    [ "$(property "$x86" UpgradeCode)" = "$upgrade_code" ] || fail "$x86: wrong version, icon or upgrade code"
[ "$(property "$x86" ProductCode)" != "$(property "$msi" ProductCode)" ] ||
    fail "the two packages are one product"
table "$x86" Upgrade | grep -qx "$upgrade_code"$'\t\t1.00\t\t1\t\tWIX_UPGRADE_DETECTED' ||
    fail "$x86 replaces no earlier version"
work=$(mktemp -d)
msiextract -C "$work" "$x86" >/dev/null
cmp -s "$work/Program Files/Velmora/Velmora.exe" build/windows-x86/ui/win32/Velmora.exe ||
    fail "$x86 does not hold the 32-bit Velmora.exe"
rm -rf "$work"
echo "$x86: Intel;1033, Velmora.exe (32-bit) in Program Files (x86)\\Velmora, shortcut, icon, upgrades"

# The 64-bit package under Wine, after one built again, which must come out the same.
work=$PWD/build/msi-check
rm -rf "$work"
mkdir -p "$work"
bash tools/build-msi.sh x64 1.00 "$work/again.msi" >/dev/null
cmp -s "$work/again.msi" "$msi" || fail "$msi built again is not the same"
export VELMORA_WINEPREFIX=$work/prefix
# Shortcuts in the prefix make no menu entries on this machine's desktop.
export XDG_DATA_HOME=$work/share XDG_CONFIG_HOME=$work/config
drive=$VELMORA_WINEPREFIX/drive_c
product_code=$(property "$msi" ProductCode)
uninstall_key="HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$product_code"
# Windows Installer's own record of the products it installed.
products='HKLM\Software\Classes\Installer\Products'
wine() { timeout 120 tools/wine64.sh "$@"; }
value() { wine reg query "$1" /v "$2" | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
# The files in the prefix, but Windows Installer's own folder, which every Windows has and the
# first install makes in a fresh prefix.
files() { (cd "$drive" && find . | grep -vx './windows/Installer' | LC_ALL=C sort); }

start_window_manager
stop() {
    kill "$wm" 2>/dev/null || true
    WINEPREFIX=$VELMORA_WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null || true
    WINEPREFIX=$VELMORA_WINEPREFIX /usr/lib/wine/wineserver -w || true
}
trap stop EXIT
timeout 300 tools/wine64.sh # a fresh prefix
files >"$work/before"

wine msiexec /i "$msi" /qn || fail "the silent install failed"
installed="$drive/Program Files/Velmora"
cmp -s "$installed/Velmora.exe" build/windows-x64/ui/win32/Velmora.exe ||
    fail "Program Files\\Velmora holds no 64-bit Velmora.exe"
cmp -s <(sed 's/$/\r/' LICENSE) "$installed/LICENSE.txt" || fail "the licence is not installed"
# Per machine, the Start menu's Programs are all users' on Windows; Wine keeps one for both.
mapfile -t links < <(find "$drive" -path '*/Start Menu/Programs/Velmora.lnk')
[ ${#links[@]} -eq 1 ] || fail "${#links[@]} shortcuts \"Velmora\" in the Start menu's Programs"
strings "${links[0]}" | grep -qxF 'C:\Program Files\Velmora\Velmora.exe' ||
    fail "the shortcut does not open C:\\Program Files\\Velmora\\Velmora.exe"
icon="C:\\windows\\Installer\\$product_code\\velmora.ico"
strings -e l "${links[0]}" | grep -qF "$icon" || fail "the shortcut's icon is not $icon"
cmp -s "$drive/windows/Installer/$product_code/velmora.ico" assets/velmora.ico ||
    fail "$icon is not the red disc"
wine reg query "$products" /s | tr -d '\r' | awk '$1 == "ProductIcon" {print $3}' | grep -qxF "$icon" ||
    fail "Add/Remove Programs shows no icon"
for entry in DisplayName=Velmora DisplayVersion=1.00 'Publisher=The Velmora developers' \
    "UninstallString=MsiExec.exe /X$product_code"; do
    [ "$(value "$uninstall_key" "${entry%%=*}")" = "${entry#*=}" ] ||
        fail "Add/Remove Programs has no ${entry%%=*} \"${entry#*=}\""
done
echo "$msi: installed silently; Velmora.exe, its licence, the shortcut with the red disc and the Add/Remove Programs entry are there"

# The shortcut opens the start window; "Fine" closes it.
wine start /unix "${links[0]}"
start_seen() { [ -n "$(visible '^Velmora$')" ]; }
wait_for 300 start_seen ||
    fail "the shortcut opened no start window"
start=$(visible '^Velmora$')
expect_start_active "opened from the shortcut"
click_in "$start" 364 204 # Fine
wait_for 100 gone '^Velmora$' || fail "Fine did not close the installed Velmora.exe"
echo "the shortcut opens the installed Velmora.exe's start window"

wine msiexec /x "$msi" /qn || fail "the silent uninstall failed"
left() { # what remains of the package: files, and its entries in the registry
    files | diff "$work/before" - | sed -n 's/^> /file /p'
    wine reg query "$uninstall_key" >/dev/null 2>&1 && echo "key $uninstall_key"
    wine reg query "$products" /s 2>/dev/null | grep -q Velmora && echo "a product under $products"
    return 0
}
remains=$(left)
[ -z "$remains" ] || fail "the uninstall left behind: $remains"
echo "uninstalled silently: no file and no registry entry left"

# A later version replaces this one, and its own uninstall again leaves nothing.
later=$work/velmora-1.01-windows-x64.msi
bash tools/build-msi.sh x64 1.01 "$later" >/dev/null
wine msiexec /i "$msi" /qn && wine msiexec /i "$later" /qn || fail "1.00, then 1.01, did not install"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "1.01 left 1.00 installed beside it"
[ "$(value "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$(property "$later" ProductCode)" \
    DisplayVersion)" = 1.01 ] || fail "1.01 is not in Add/Remove Programs"
wine msiexec /x "$later" /qn || fail "the silent uninstall of 1.01 failed"
remains=$(left)
[ -z "$remains" ] || fail "1.01's uninstall left behind: $remains"
echo "1.01 replaces 1.00, and its uninstall leaves nothing"

# The registry as Wine saves it when its server stops (saved since the first install): no trace
# of Velmora.
stop
trap - EXIT
[ "$VELMORA_WINEPREFIX/system.reg" -nt "$work/before" ] || fail "Wine saved no registry"
! grep -il -E "velmora|${product_code:1:8}" "$VELMORA_WINEPREFIX"/*.reg ||
    fail "the saved registry still names Velmora (above)"
echo "the saved registry names Velmora nowhere"
