#!/usr/bin/env bash
# Installs the Debian packages Velmora needs to build, test and run, if any are missing.
# As root (or through sudo) it runs apt-get; otherwise it prints the line to run and fails.
set -eu

packages=(
    cmake make g++                         # the build
    libgtest-dev libbenchmark-dev          # tests and benchmarks
    qt6-base-dev                           # the windows (Qt 6 Widgets, with its JPEG plugin)
    fonts-liberation                       # a sans-serif as wide as the windows' own font
    xvfb xauth xdotool x11-utils bc        # the end-to-end test and measurements under a virtual X server
)

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
    echo "Install them with:  sudo apt-get update && sudo ${install[*]}" >&2
    exit 1
fi
echo "Installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" "${install[@]}"
