#!/usr/bin/env bash
# Sets up a fresh machine, builds everything with clang, AddressSanitizer and
# UBSan, and runs the whole test suite, fuzzing included. Ends with ctest's
# summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

build="$root/build-test"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRURORODODE_TESTS=ON -DRURORODODE_SANITIZE=ON -DRURORODODE_FUZZ=ON
cmake --build "$build"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
