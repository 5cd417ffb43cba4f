#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that Velmora needs, if any are missing:
#   install-deps.sh game    what building and playing the game needs
#   install-deps.sh windows what cross-building Velmora.exe for Windows needs
#   install-deps.sh web     what the game for the browser needs, and node to run its tests
#   install-deps.sh test    all of that, and what the tests, benchmarks and package checks need
#   install-deps.sh windows-x86 what the 32-bit Velmora.exe's tests under 32-bit Wine need
# As root (or through sudo) it runs apt-get; otherwise it prints the line to run as root.
set -eu

game=(
    cmake make g++                          # the build
    qt6-base-dev                            # the windows (Qt 6 Widgets, with its JPEG plugin)
    fonts-liberation                        # a sans-serif as wide as the windows' own font
)
windows=(
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix # Velmora.exe, 32- and 64-bit
    cmake make                              # the build
    googletest                              # GoogleTest's sources, built for Windows too
    zip                                     # the archives players download
    wixl msitools faketime                  # the MSI packages schools deploy, built at a fixed
                                            # date and read
)
web=(
    cmake make                              # the build
    emscripten nodejs                       # the game as WebAssembly; node runs its tests
    googletest                              # GoogleTest's sources, built for WebAssembly
    zip                                     # the archive players download
)
test=(
    libgtest-dev libbenchmark-dev           # tests and benchmarks
    g++-multilib qemu-user                  # the rules as a 32-bit x86 program, run by
                                            # qemu-i386 where the kernel cannot
    clang-format                            # the format check
    clang libclang-rt-dev                   # the script reader's fuzz test (libFuzzer)
    xvfb xauth xdotool x11-utils openbox bc # the game played under a virtual X server
    dpkg-dev file lintian man-db bsdextrautils # the Debian package, built and checked
    desktop-file-utils appstream            # the desktop entry's and the metadata's validators
    "${windows[@]}" wine wine64 icoutils imagemagick # Velmora.exe checked and played under Wine
    "${web[@]}" chromium chromium-driver python3-selenium # the web page played in a browser
)
# Wine itself comes with a Debian system of its own, under build/, made with debootstrap.
windows_x86=(
    "${windows[@]}" cmake make googletest   # Velmora.exe and its tests, 32-bit
    debootstrap                             # the system that holds 32-bit Wine
    xvfb xauth xdotool x11-utils openbox imagemagick # the program played under a virtual X server
)

case "${1:-}" in
game) packages=("${game[@]}") ;;
windows) packages=("${windows[@]}") ;;
web) packages=("${web[@]}") ;;
windows-x86) packages=("${windows_x86[@]}") ;;
test) packages=("${game[@]}" "${test[@]}") ;;
*)
    echo "usage: $0 game|windows|web|test|windows-x86" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

install=(apt-get install -y --no-install-recommends "${missing[@]}")
if [ "$(id -u)" -eq 0 ]; then
    sudo=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    sudo=(sudo)
else
    echo "Velmora needs these Debian packages: ${missing[*]}" >&2
    echo "Install them as root with:  apt-get update && ${install[*]}" >&2
    exit 1
fi
echo "Installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" "${install[@]}"
