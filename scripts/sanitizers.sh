#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan and runs
# the whole suite there, leak detection on. Leaks inside system libraries are suppressed in
# scripts/lsan.supp, each with its reason.
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR="$PWD"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQORVEX_ASAN=ON >/dev/null
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=0"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-asan
# The course builder's coverage tests read the full code table: slow under the sanitizers, and
# the same code runs at full speed in the plain build.
../scripts/ctest-twice.sh "${QORVEX_SECOND_RUNS:-/dev/null}" --output-on-failure --timeout 900 -j2
