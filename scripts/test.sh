#!/usr/bin/env bash
# Sets up a fresh machine, builds everything with clang, AddressSanitizer and
# UBSan, and runs the whole test suite, fuzzing and the check that the
# committed artwork is what its generator draws included. Before the tests
# run, everything (tests and benchmarks too) is also built with GCC, the
# distribution's compiler, with warnings as errors: that build is only
# compiled, not run. Ends with ctest's summary.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

build="$root/build-test"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DRURORODODE_TESTS=ON -DRURORODODE_SANITIZE=ON -DRURORODODE_FUZZ=ON -DRURORODODE_ARTWORK=ON
cmake --build "$build"

# GCC: no sanitizers, no optimisation and no debug information, to keep it
# quick (build type None adds no flags). Unoptimised, it gives the warnings
# a developer's debug build gives, without GCC 12's optimiser-driven false
# positives (-Wrestrict on string concatenation). The fuzz target is
# clang's alone and stays out.
gcc_build="$root/build-gcc"
CC=gcc CXX=g++ cmake -S "$root" -B "$gcc_build" -G Ninja \
    -DCMAKE_BUILD_TYPE=None -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
    -DRURORODODE_TESTS=ON -DRURORODODE_BENCH=ON -DRURORODODE_SANITIZE=OFF -DRURORODODE_FUZZ=OFF \
    -DRURORODODE_ARTWORK=ON
cmake --build "$gcc_build"

# The Debian package, built in build-package/ and checked as a user meets it.
"$root/scripts/check-package.sh" "$build/tests/tools/write_thumbnail_fixtures"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd "$build"
ctest --output-on-failure -j"$(nproc)" "$@"
