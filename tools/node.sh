#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a program built with emscripten (PROGRAM.js beside PROGRAM.wasm) under node.
# Emscripten 3.1.6 (Debian 12) loads its .wasm with fetch() whenever fetch exists, and
# node's own fetch takes no file paths: where node can hide its fetch, it is hidden.
# Newer emscripten reads the file itself, so there the flag changes nothing.
set -eu
node=$(command -v node || command -v nodejs)
if "$node" --no-experimental-fetch -e '' 2>/dev/null; then
    exec "$node" --no-experimental-fetch "$@"
fi
exec "$node" "$@"
