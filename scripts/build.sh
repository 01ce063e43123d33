#!/usr/bin/env bash
# Builds the program and its tools into build/ (release with debug info).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRURORODODE_TESTS=OFF
cmake --build "$root/build"
